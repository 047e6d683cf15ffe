#pragma once
// When a subscription is fetched, and what a fetch does to its copy in the cache:
// the same rules for the window and the terminal, which share the cache. A
// subscription is due when it was never fetched, or its last fetch (by either
// program, whatever its end) is kFetchInterval old; the user may ask for one at any
// time. A fetch that fails keeps the copy that was there: what was shown stays.

#include <atomic>
#include <chrono>
#include <string>

#include "calendar/local_zone.h"
#include "subscriptions/cache.h"
#include "subscriptions/fetch.h"

namespace subscriptions {

inline constexpr std::chrono::minutes kFetchInterval{30};

// Whether `record` is due at `now`. A last fetch in the future (the clock was set
// back) makes it due too.
bool IsDue(const Record& record, calendar::UnixSeconds now);
// When it is next due: `now` or later.
calendar::UnixSeconds NextDue(const Record& record, calendar::UnixSeconds now);

struct Refreshed {
    Record record;
    bool copyChanged = false;  // a new calendar replaced the copy
};

// Fetches `address` now, conditionally on the copy's version, and writes the
// outcome to the cache in `folder`. A fetch stopped by `stop` changes nothing.
Refreshed Refresh(const std::string& folder, const std::string& address, calendar::UnixSeconds now,
                  const FetchLimits& limits = {}, const std::atomic<bool>* stop = nullptr);

// The clock, in the seconds that the cache counts.
calendar::UnixSeconds Now();

}  // namespace subscriptions
