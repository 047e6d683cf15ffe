#pragma once
// When a subscription is fetched, and what a fetch does to its copy in the cache:
// the same rules for the window and the terminal, which share the cache. A
// subscription is due when it was never fetched, or its last fetch (by either
// program, whatever its end) is kFetchInterval old; the user may ask for one at any
// time. A fetch that fails keeps the copy that was there: what was shown stays.

#include <chrono>
#include <map>
#include <string>
#include <vector>

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

// Starts fetching `address` among `fetches`, conditionally on the version of its
// copy in `folder`, under the address itself as key.
void StartRefresh(Fetches& fetches, const std::string& folder, const std::string& address,
                  const FetchLimits& limits = {});
// Writes to the cache in `folder` what the fetch of `address` started at `started`
// brought, and returns the record.
Refreshed WriteOutcome(const std::string& folder, const std::string& address, calendar::UnixSeconds started,
                       const Fetched& fetched);

// Fetches `address` now and writes the outcome.
Refreshed Refresh(const std::string& folder, const std::string& address, calendar::UnixSeconds now,
                  const FetchLimits& limits = {});
// Fetches each of `addresses` at once and writes each outcome as it comes; returns
// after `longest` at the latest, with the outcomes that came. A fetch still under
// way then is abandoned and changes nothing.
std::map<std::string, Refreshed> RefreshAll(const std::string& folder, const std::vector<std::string>& addresses,
                                            std::chrono::milliseconds longest, const FetchLimits& limits = {});

// The clock, in the seconds that the cache counts.
calendar::UnixSeconds Now();

}  // namespace subscriptions
