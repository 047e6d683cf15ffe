#include "subscriptions/keeper.h"

#include <pthread.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <map>
#include <utility>

namespace subscriptions {

namespace {

// `record`, read from the cache, with the later of its last fetch and the one the
// keeper remembers, `attempted`; a time in the future there (the clock was set
// back) yields to the one remembered.
Record WithLastAttempt(Record record, const std::map<std::string, calendar::UnixSeconds>& attempted,
                       calendar::UnixSeconds now) {
    const auto remembered = attempted.find(record.address);
    if (remembered != attempted.end() && (record.attempted < remembered->second || record.attempted > now)) {
        record.attempted = remembered->second;
    }
    return record;
}

}  // namespace

Keeper::Keeper(std::string folder, Listener listener, FetchLimits limits)
    : folder_(std::move(folder)), listener_(std::move(listener)), limits_(limits) {}

Keeper::~Keeper() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
        stop_ = true;
    }
    wake_.notify_all();
    fetches_.Wake();
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
    fetches_.Wake();
}

void Keeper::RefreshNow() {
    {
        const std::lock_guard lock(mutex_);
        forced_ = true;
    }
    wake_.notify_all();
    fetches_.Wake();
}

void Keeper::Run() {
    // Named for ps, top and the idle measures, which count this thread's wake-ups.
    pthread_setname_np(pthread_self(), "abonnements");
    std::map<std::string, calendar::UnixSeconds> started;  // of the fetches under way
    // The last fetch of each address, remembered here as well as in the cache: when
    // the cache refuses its record (a full disk, a folder that cannot be written),
    // the address would otherwise look due again at once, and be fetched again and
    // again without a pause.
    std::map<std::string, calendar::UnixSeconds> attempted;
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        // The due subscriptions, read from the cache afresh: the other program may
        // have fetched one in the meantime. A fetch under way answers « Actualiser »
        // for its own address.
        const std::vector<std::string> addresses = addresses_;
        const bool forced = std::exchange(forced_, false);
        lock.unlock();
        const calendar::UnixSeconds now = Now();
        calendar::UnixSeconds next = 0;
        for (const std::string& address : addresses) {
            if (fetches_.UnderWay(address)) continue;
            const Record record = WithLastAttempt(ReadRecord(folder_, address), attempted, now);
            if (forced || IsDue(record, now)) {
                StartRefresh(fetches_, folder_, address, limits_);
                started[address] = attempted[address] = now;
            } else {
                const calendar::UnixSeconds due = NextDue(record, now);
                next = next == 0 ? due : std::min(next, due);
            }
        }
        if (!fetches_.Empty()) {
            // Until one ends, another is due, or the keeper is asked something.
            const auto longest = next == 0 ? std::chrono::hours(1) : std::chrono::seconds(next - now);
            for (const auto& [address, fetched] :
                 fetches_.Wait(std::chrono::duration_cast<std::chrono::milliseconds>(longest))) {
                if (stop_) break;
                const calendar::UnixSeconds fetchStarted = started[address];
                started.erase(address);
                // A subscription removed while it was fetched leaves no record and is not
                // announced: nobody shows it any more. Added again, it is due as the cache says.
                lock.lock();
                const bool kept = std::find(addresses_.begin(), addresses_.end(), address) != addresses_.end();
                lock.unlock();
                if (kept) {
                    listener_(address, WriteOutcome(folder_, address, fetchStarted, fetched));
                } else {
                    attempted.erase(address);
                }
            }
            lock.lock();
            continue;
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
