#pragma once
// One fetch of a subscription's address over HTTP or HTTPS, with the limits that
// keep a hostile or broken server from holding the program: an answer larger than
// kLargestAnswerBytes is refused, one that takes longer than kLongestFetch in all is
// cut, more than kMostRedirects redirects stop it, a certificate the system does not
// trust is an error, and only http and https are followed. The request is
// conditional (If-None-Match, If-Modified-Since) when the last answer gave an ETag
// or a Last-Modified date. It blocks: the window runs it on a thread of its own.

#include <atomic>
#include <chrono>
#include <cstddef>
#include <string>

namespace subscriptions {

inline constexpr std::size_t kLargestAnswerBytes = 20 * 1000 * 1000;  // 20 Mo
inline constexpr std::chrono::seconds kLongestFetch{60};
inline constexpr std::chrono::seconds kLongestConnection{15};
inline constexpr int kMostRedirects = 5;

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
        Stopped,      // the program asked the fetch to stop
    };
    Kind kind = Kind::Failed;
    std::string body;
    Validators validators;
    std::string sentence;  // French, lower case, ending with a full stop
};

// Fetches `address`, asking whether the version of `previous` has changed when it
// names one. `stop`, when given, ends a fetch under way within about a second of
// being set.
Fetched Fetch(const std::string& address, const Validators& previous, const FetchLimits& limits = {},
              const std::atomic<bool>* stop = nullptr);

// Whether `body` is an iCalendar text: BEGIN:VCALENDAR first, after a byte order
// mark and blank lines. A page of HTML from a captive portal or a login form is not.
bool LooksLikeICalendar(const std::string& body);

}  // namespace subscriptions
