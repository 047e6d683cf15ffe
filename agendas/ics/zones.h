#pragma once
// The zone a TZID names, and the instant that a wall time there stands for.

#include <libical/ical.h>

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/civil_days.h"

namespace agendas {

// The zones outside libical's list that one calendar may name: libical reads each
// from its file and keeps it, some 90 kB, for the whole process.
inline constexpr std::size_t kMostUnlistedZones = 16;

// The zone of libical that `name` names: one of its list, or one more of the system's
// zoneinfo while `unlistedLeft` allows, which it then lessens. None for a name not
// written as a zone's is (« Europe/./Paris », « ../../etc/passwd »): libical would
// open that file, whatever it is. Under libicalMutex, as every call to libical.
icaltimezone* BuiltinZone(std::string_view name, std::size_t& unlistedLeft);

// A time's wall reading, its zone left aside, as seconds from 1970-01-01 00:00 read
// as UTC; a date at its midnight. Counted in proleptic Gregorian days, so that a
// birthday of 1604 or a series of 1890 reads as it is written: libical's own count
// (icaltime_as_timet) gives -1 for any year before 1902.
inline long long WallSeconds(const icaltimetype& time) {
    const long long day = calendar::DaysFromCivil(time.year, time.month, time.day);
    if (time.is_date) return day * 86400;
    return day * 86400 + time.hour * 3600LL + time.minute * 60LL + time.second;
}

// The other way: the time, without zone, whose WallSeconds are `wall` (a date at its
// midnight when `isDate`), as icaltime_from_timet_with_zone(wall, isDate, nullptr)
// gives it without the C library's lock and gmtime_r, at every occurrence.
inline icaltimetype WallTime(long long wall, bool isDate) {
    icaltimetype time = icaltime_null_time();
    const long long day = calendar::FloorDivide(wall, 86400), second = wall - day * 86400;
    const calendar::CivilDate date = calendar::CivilFromDays(day);
    time.year = int(date.year);
    time.month = date.month;
    time.day = date.day;
    time.is_date = isDate ? 1 : 0;
    if (!isDate) {
        time.hour = int(second / 3600);
        time.minute = int(second % 3600 / 60);
        time.second = int(second % 60);
    }
    return time;
}

// The zones that the TZIDs of one calendar name, each looked up once: the file's own
// VTIMEZONE, an IANA name of the system's zoneinfo (which Debian's libical reads), or
// a Windows name as Outlook writes it (« Romance Standard Time »), which ICU's table
// turns into the IANA one. A name that none of them knows reads as floating, and is
// said.
class ZoneNames {
public:
    explicit ZoneNames(icalcomponent* root) : root_(root) {}
    // None for an empty or unknown name.
    icaltimezone* Named(const char* tzid);
    // « nomme un fuseau horaire inconnu, « Heure de Mars » : … », when some name was
    // unknown.
    void Say(std::vector<std::string>& problems) const;

private:
    icalcomponent* root_;
    std::map<std::string, icaltimezone*, std::less<>> known_;
    std::vector<std::string> unknown_;
    // How many more zones outside libical's list the calendar may have it read.
    std::size_t unlistedLeft_ = kMostUnlistedZones;
};

// The instant of a time in UTC or in its zone. A wall time that a change of time
// skips is moved forward by the gap, and one that it repeats is the first of the
// two (RFC 5545 3.3.5: both read with the offset in force before the change).
long long ZonedInstant(const icaltimetype& time);
// The same for the wall time `wall` (WallSeconds) in `zone`, read as UTC without one.
long long ZonedInstantOfWall(long long wall, const icaltimezone* zone);

// The wall time in `zone` at `instant`, in seconds counted as if it were UTC.
long long WallSecondsAt(icaltimezone* zone, long long instant);

// ZonedInstant and WallSecondsAt remember each zone's offset day by day: a zone it has known is freed.
void ForgetZoneDays();

}  // namespace agendas
