#include "agendas/ics/zones.h"

#include <sys/stat.h>
#include <unicode/ucal.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <unordered_map>
#include <unordered_set>

#include "agendas/ics_reader.h"
#include "calendar/french_words.h"

namespace agendas {

namespace {

// The IANA name of a Windows zone name, in ICU's copy of CLDR's table (its world
// region, "001"); empty when it is none.
std::string IanaOfWindows(std::string_view name) {
    if (name.empty() || name.size() > 64 || std::ranges::any_of(name, [](char c) { return (unsigned char)c > 127; }))
        return {};
    const std::u16string windows(name.begin(), name.end());
    char16_t iana[128];
    UErrorCode status = U_ZERO_ERROR;
    const std::int32_t length =
        ucal_getTimeZoneIDForWindowsID(windows.data(), std::int32_t(windows.size()), nullptr, iana, 128, &status);
    if (U_FAILURE(status) || length <= 0 || length >= 128) return {};
    return std::string(iana, iana + length);  // ASCII, as every IANA name
}

// The offset from UTC, in seconds, in force in `zone` at `instant`.
long long OffsetAt(icaltimezone* zone, long long instant) {
    icaltimetype utc = icaltime_from_timet_with_zone(time_t(instant), 0, icaltimezone_get_utc_timezone());
    int daylight = 0;
    return icaltimezone_get_utc_offset_of_utc_time(zone, &utc, &daylight);
}

// The offset of a zone from a day before day `day` (counted from 1970-01-01) to two
// days after it, where no change of time comes near that day: the offsets a day
// before it, at its middle and two days after it are the same, and no zone changes
// twice in a day and a half. It is the offset of every instant of that UTC day, and
// of every wall time of that day in the zone. Each day is asked once of libical,
// whose search through a zone's changes costs as much as a hundred lookups here;
// under libicalMutex, as every call. The days are kept by runs of 64 of one zone,
// and the run last used is found again without a lookup: the instances of a series
// in a month fall in one or two.
constexpr int kRunDays = 64;
struct ZoneRun {
    const icaltimezone* zone;
    long long run;
    bool operator==(const ZoneRun&) const = default;
};
struct ZoneRunHash {
    std::size_t operator()(const ZoneRun& key) const noexcept {
        return std::hash<const void*>{}(key.zone) ^ std::hash<long long>{}(key.run) * 0x9e3779b97f4a7c15ULL;
    }
};
constexpr std::int32_t kNotAsked = INT32_MIN, kNoSingle = INT32_MIN + 1;
constexpr long long kNoSingleOffset = 1LL << 62;
using DayRun = std::array<std::int32_t, kRunDays>;
constexpr std::size_t kMostZoneRuns = 1'600;  // some 270 years of one zone, 400 kB
std::unordered_map<ZoneRun, DayRun, ZoneRunHash> dayOffsets;
ZoneRun lastRun{nullptr, 0};
DayRun* lastDays = nullptr;

void ForgetRuns() {
    dayOffsets.clear();
    lastDays = nullptr;
}

long long DayOffset(icaltimezone* zone, long long day) {
    const long long run = calendar::FloorDivide(day, kRunDays);
    if (lastDays == nullptr || lastRun.zone != zone || lastRun.run != run) {
        if (dayOffsets.size() >= kMostZoneRuns) ForgetRuns();
        const auto [slot, added] = dayOffsets.try_emplace({zone, run});
        if (added) slot->second.fill(kNotAsked);
        lastRun = {zone, run};
        lastDays = &slot->second;
    }
    std::int32_t& offset = (*lastDays)[std::size_t(day - run * kRunDays)];
    if (offset == kNotAsked) {
        const long long midnight = day * 86400, before = OffsetAt(zone, midnight - 86400);
        const bool single =
            OffsetAt(zone, midnight + 43200) == before && OffsetAt(zone, midnight + 2 * 86400) == before;
        offset = single ? std::int32_t(before) : kNoSingle;
    }
    return offset == kNoSingle ? kNoSingleOffset : offset;
}

// Whether `name` is written as a zone of the zoneinfo folder is: parts of letters,
// digits, « _ », « + » and « - » between single slashes ("America/Argentina/Salta",
// "Etc/GMT+1"). libical opens the file of that name in the folder for a name its list
// lacks; a « . » or « .. » part, an empty one or a leading slash would let a calendar
// open any file (a FIFO blocks the reading forever), or load the same zone again
// under each new spelling, never freed.
bool IsPlainZoneName(std::string_view name) {
    constexpr std::size_t kLongestZoneName = 64;  // the longest IANA name has 32
    if (name.empty() || name.size() > kLongestZoneName) return false;
    bool partBegun = false;
    for (const char c : name) {
        if (c == '/') {
            if (!partBegun) return false;
            partBegun = false;
        } else if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '+' ||
                   c == '-') {
            partBegun = true;
        } else {
            return false;
        }
    }
    return partBegun;
}

// Whether libical's list of zones holds `name` (zone.tab's names, for Debian's libical
// that reads the system's zoneinfo, and those it has added since), read again when
// it has grown.
bool IsListedZone(const std::string& name) {
    static std::unordered_set<std::string> listed;
    static std::size_t listedFrom = 0;
    icalarray* zones = icaltimezone_get_builtin_timezones();
    if (zones == nullptr) return false;
    if (zones->num_elements != listedFrom) {
        listed.clear();
        for (std::size_t at = 0; at < zones->num_elements; ++at) {
            const char* location =
                icaltimezone_get_location(static_cast<icaltimezone*>(icalarray_element_at(zones, at)));
            if (location != nullptr) listed.emplace(location);
        }
        listedFrom = zones->num_elements;
    }
    return listed.contains(name);
}

// Whether the zoneinfo folder holds an ordinary file of that plain name, which
// libical then reads: an older name that tzdata keeps ("US/Eastern", "Asia/Calcutta").
bool IsZoneFile(const std::string& name) {
    const char* folder = icaltzutil_get_zone_directory();
    if (folder == nullptr) return false;
    struct stat status = {};
    return stat((std::string(folder) + "/" + name).c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

}  // namespace

void ForgetZoneDays() { ForgetRuns(); }

long long WallSecondsAt(icaltimezone* zone, long long instant) {
    const long long day = calendar::FloorDivide(instant, 86400);
    if (const long long offset = DayOffset(zone, day); offset != kNoSingleOffset) return instant + offset;
    return instant + OffsetAt(zone, instant);
}

icaltimezone* BuiltinZone(std::string_view name, std::size_t& unlistedLeft) {
    if (name == "UTC" || name == "GMT") return icaltimezone_get_utc_timezone();
    // libical's own TZIDs ("/freeassociation.sourceforge.net/Europe/Paris") end in the
    // zone's name, which is checked as any other.
    constexpr std::string_view kLibicalPrefix = "/freeassociation.sourceforge.net/";
    const bool prefixed = name.starts_with(kLibicalPrefix);
    const std::string location(prefixed ? name.substr(kLibicalPrefix.size()) : name);
    if (!IsPlainZoneName(location)) return nullptr;
    if (!IsListedZone(location)) {
        if (unlistedLeft == 0 || !IsZoneFile(location)) return nullptr;
        --unlistedLeft;
    }
    return prefixed ? icaltimezone_get_builtin_timezone_from_tzid(std::string(name).c_str())
                    : icaltimezone_get_builtin_timezone(location.c_str());
}

icaltimezone* ZoneNames::Named(const char* tzid) {
    if (tzid == nullptr || *tzid == '\0') return nullptr;
    if (const auto known = known_.find(std::string_view(tzid)); known != known_.end()) return known->second;
    icaltimezone* zone = icalcomponent_get_timezone(root_, tzid);
    if (zone == nullptr) zone = BuiltinZone(tzid, unlistedLeft_);
    if (zone == nullptr) {
        if (const std::string iana = IanaOfWindows(tzid); !iana.empty()) zone = BuiltinZone(iana, unlistedLeft_);
    }
    if (zone == nullptr) unknown_.emplace_back(tzid);
    known_.emplace(tzid, zone);
    return zone;
}

void ZoneNames::Say(std::vector<std::string>& problems) const {
    if (unknown_.empty()) return;
    problems.push_back(unknown_.size() == 1 ? "nomme un fuseau horaire inconnu, « " + unknown_.front() +
                                                  " » : ses heures sont lues telles qu'elles sont écrites"
                                            : "nomme des fuseaux horaires inconnus, « " + unknown_.front() + " » et " +
                                                  calendar::CountText(unknown_.size() - 1) +
                                                  (unknown_.size() == 2 ? " autre" : " autres") +
                                                  " : leurs heures sont lues telles qu'elles sont écrites");
}

long long ZonedInstant(const icaltimetype& time) {
    return ZonedInstantOfWall(WallSeconds(time), icaltime_is_utc(time) ? nullptr : time.zone);
}

long long ZonedInstantOfWall(long long seconds, const icaltimezone* constZone) {
    auto* zone = const_cast<icaltimezone*>(constZone);
    if (zone == nullptr || zone == icaltimezone_get_utc_timezone()) return seconds;
    const long long day = calendar::FloorDivide(seconds, 86400);
    if (const long long offset = DayOffset(zone, day); offset != kNoSingleOffset) return seconds - offset;
    // The offsets a day before and a day after: no zone changes twice in two days.
    const long long before = OffsetAt(zone, seconds - 86400), after = OffsetAt(zone, seconds + 86400);
    if (OffsetAt(zone, seconds - before) == before) return seconds - before;  // the first of a repeated hour
    if (OffsetAt(zone, seconds - after) == after) return seconds - after;
    return seconds - before;  // skipped: read with the offset before, later by the gap
}

}  // namespace agendas
