#pragma once
// The machine's zone by its IANA name, the TZID of the timed events the gadget writes.
// It is the zone the C library reads for every local time the gadget shows
// (calendar/local_zone.h: TZ, else /etc/localtime), named: a series written in a zone
// of another name, or in UTC, would move from the times shown at a change of time.

#include <string>

namespace agendas {

// Where the C library finds the zone, and where Debian names it.
struct ZoneFiles {
    const char* tz = nullptr;                      // TZ; null when unset
    std::string localtime = "/etc/localtime";      // read when TZ is unset
    std::string timezone = "/etc/timezone";        // Debian's name of the zone, one line
    std::string database = "/usr/share/zoneinfo";  // TZDIR, or tzdata's folder
};

// The name of the zone file the C library reads: TZ's name (« Europe/Paris »,
// « :Europe/Paris »), or the name in the database of the file that TZ's path or
// /etc/localtime is, or leads to by links (« posix/ » and « right/ » left out); for a
// copied file, the name /etc/timezone gives when its file in the database holds the
// same bytes. Empty when none names it: a POSIX rule (« CET-1CEST,M3.5.0,M10.5.0/3 »),
// a copy that /etc/timezone does not name, nothing there.
std::string ZoneNameOf(const ZoneFiles& files);

// ZoneNameOf the process's TZ and TZDIR and the system's files.
std::string MachineZoneName();

}  // namespace agendas
