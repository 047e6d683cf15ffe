#include "subscriptions/keeper.h"

#include <pthread.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <utility>

namespace subscriptions {

Keeper::Keeper(std::string folder, Listener listener, FetchLimits limits)
    : folder_(std::move(folder)), listener_(std::move(listener)), limits_(limits) {}

Keeper::~Keeper() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
        stop_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void Keeper::SetAddresses(std::vector<std::string> addresses) {
    {
        const std::lock_guard lock(mutex_);
        if (addresses == addresses_) return;  // nothing to wake the thread for
        addresses_ = std::move(addresses);
        if (!thread_.joinable() && !addresses_.empty()) thread_ = std::thread(&Keeper::Run, this);
    }
    wake_.notify_all();
}

void Keeper::RefreshNow() {
    {
        const std::lock_guard lock(mutex_);
        forced_ = true;
    }
    wake_.notify_all();
}

void Keeper::Run() {
    // Named for ps, top and the idle measures, which count this thread's wake-ups.
    pthread_setname_np(pthread_self(), "abonnements");
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        // The due subscriptions, read from the cache afresh: the other program may
        // have fetched one in the meantime.
        const std::vector<std::string> addresses = addresses_;
        const bool forced = std::exchange(forced_, false);
        lock.unlock();
        calendar::UnixSeconds next = 0;
        for (const std::string& address : addresses) {
            if (stop_) break;
            const calendar::UnixSeconds now = Now();
            Record record = ReadRecord(folder_, address);
            if (forced || IsDue(record, now)) {
                const Refreshed refreshed = Refresh(folder_, address, now, limits_, &stop_);
                if (stop_) break;
                listener_(address, refreshed);
                record = refreshed.record;
            }
            const calendar::UnixSeconds due = NextDue(record, Now());
            next = next == 0 ? due : std::min(next, due);
        }
        lock.lock();
        // Asked for again while fetching (new addresses, « Actualiser »): at once.
        if (stopping_ || forced_ || addresses_ != addresses) continue;
        if (next == 0) {
            wake_.wait(lock);
        } else {
            wake_.wait_until(lock, std::chrono::system_clock::from_time_t(std::time_t(next)));
        }
    }
}

}  // namespace subscriptions
