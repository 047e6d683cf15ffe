#pragma once
// Keeps a list of subscriptions fetched in the background, on a thread of its own:
// each when it is due (refresh.h), all at once when asked. The fetches run
// together, each within its own limits: one that is slow delays no other, nor one
// that becomes due or is added meanwhile. With no fetch under way the thread sleeps
// until the next one is due, with no wake-up in between. The window
// and `solvane --suivre` each run one; both share the cache, and so the interval:
// a subscription that the other program fetched is not fetched again before its time.

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "subscriptions/fetch.h"
#include "subscriptions/refresh.h"

namespace subscriptions {

class Keeper {
public:
    // Called on the keeper's thread as each fetch ends, with the address and its
    // outcome; not for an address no longer kept, whose outcome is not written either.
    using Listener = std::function<void(const std::string& address, const Refreshed& refreshed)>;

    // Fetches into the cache in `folder`. No thread runs until there is an address.
    Keeper(std::string folder, Listener listener, FetchLimits limits = {});
    // Abandons the fetches under way and waits for the thread.
    ~Keeper();
    Keeper(const Keeper&) = delete;
    Keeper& operator=(const Keeper&) = delete;

    // The subscriptions to keep; those that are due are fetched at once.
    void SetAddresses(std::vector<std::string> addresses);
    // Fetches every subscription now, whatever its time.
    void RefreshNow();

private:
    void Run();

    const std::string folder_;
    const Listener listener_;
    const FetchLimits limits_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::vector<std::string> addresses_;  // under mutex_
    bool forced_ = false;                 // under mutex_: RefreshNow was asked
    bool stopping_ = false;               // under mutex_
    std::atomic<bool> stop_ = false;      // stopping_, for the thread between fetches' ends
    Fetches fetches_;                     // the thread's own; its Wait is woken by the others
    std::thread thread_;
};

}  // namespace subscriptions
