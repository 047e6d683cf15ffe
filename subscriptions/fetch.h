#pragma once
// One fetch of a subscription's address over HTTP or HTTPS, with the limits that
// keep a hostile or broken server from holding the program: an answer larger than
// kLargestAnswerBytes is refused, one that takes longer than kLongestFetch in all is
// cut, more than kMostRedirects redirects stop it, a certificate the system does not
// trust is an error, and only http and https are followed. The request is
// conditional (If-None-Match, If-Modified-Since) when the last answer gave an ETag
// or a Last-Modified date. Several fetches run at once on one thread (`Fetches`),
// each within its own limits: a server that never ends its answer holds no other.

#include <atomic>
#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "calendar/french_words.h"

namespace subscriptions {

inline constexpr std::size_t kLargestAnswerBytes = 20 * calendar::kMegabyte;
inline constexpr std::chrono::seconds kLongestFetch{60};
inline constexpr std::chrono::seconds kLongestConnection{15};
inline constexpr int kMostRedirects = 5;
// An ETag or a Last-Modified date is a few dozen bytes; a longer one (libcurl lets
// a header line reach 100 KB) is not kept, and the next request is not conditional
// on it: the cache's record of the address must stay small enough to be read back.
inline constexpr std::size_t kLongestValidatorBytes = 1024;

struct FetchLimits {
    std::size_t largestBytes = kLargestAnswerBytes;
    std::chrono::milliseconds longest = kLongestFetch;
    std::chrono::milliseconds connection = kLongestConnection;
    int redirects = kMostRedirects;
};

// What the server said of the version it sent, to ask it next time whether it has
// changed; either may be empty.
struct Validators {
    std::string etag;
    std::string lastModified;
    bool operator==(const Validators&) const = default;
};

struct Fetched {
    enum class Kind {
        Fresh,        // a calendar: `body` and its `validators`
        NotModified,  // the server's answer 304: the copy kept is still its version
        Offline,      // no server answered at the address: the network or the server is away
        Failed,       // an answer that is refused, or an error; `sentence` says which
    };
    Kind kind = Kind::Failed;
    std::string body;
    Validators validators;
    std::string sentence;  // French, lower case, ending with a full stop
};

// Fetches `address`, asking whether the version of `previous` has changed when it
// names one, and waits for the end.
Fetched Fetch(const std::string& address, const Validators& previous, const FetchLimits& limits = {});

// Fetches under way together, driven by the thread that waits for them (libcurl's
// multi interface): one connection each, no thread of their own. Destroyed, it
// abandons those under way at once; nothing they received is kept.
class Fetches {
public:
    Fetches();
    ~Fetches();
    Fetches(const Fetches&) = delete;
    Fetches& operator=(const Fetches&) = delete;

    // Starts fetching `address`, as Fetch does; `key` names it when it ends.
    void Add(const std::string& key, const std::string& address, const Validators& previous,
             const FetchLimits& limits = {});
    // Waits until a fetch ends, `longest` has passed or Wake is called, and returns
    // those that ended, in the order they did, with their key.
    std::vector<std::pair<std::string, Fetched>> Wait(std::chrono::milliseconds longest);
    // Ends a Wait under way, or the next one, at once; from any thread.
    void Wake();
    // Whether no fetch is under way, nor has ended without Wait returning it.
    bool Empty() const;
    // Whether the fetch of `key` is under way.
    bool UnderWay(const std::string& key) const;

    struct Transfer;  // one fetch under way: its handle and what it has received

private:
    std::vector<std::unique_ptr<Transfer>> transfers_;
    std::vector<std::pair<std::string, Fetched>> ended_;  // those that could not start
    std::atomic<void*> multi_ = nullptr;                  // made at the first Add
    std::atomic<bool> woken_ = false;
};

// Whether `body` is an iCalendar text: BEGIN:VCALENDAR first, after a byte order
// mark and blank lines. A page of HTML from a captive portal or a login form is not.
bool LooksLikeICalendar(const std::string& body);

}  // namespace subscriptions
