#pragma once
// A year's holidays or name days as an iCalendar file (RFC 5545), for a calendar
// program to import: one all-day event a day, each with an identifier that the same
// year always gives again, so that a second import updates rather than doubles.

#include <string>
#include <vector>

#include "calendar/regional_holidays.h"

struct CalendarEvent {
    int year = 0, month = 0, day = 0;
    std::string key;      // ASCII, what the event is ("fete-nationale", "fete"), part of its UID
    std::string summary;  // UTF-8, shown as the event's title
};

// The public holidays that `region` keeps in `year` (calendar::HolidaysOf), the
// nation's first, under their French names.
std::vector<CalendarEvent> HolidayEvents(int year, calendar::Region region = calendar::Region::National);

// « Fête : Camille » on each day of `year` that has a name in `nameDays` (the list as
// read from fetes.txt), its control characters shown as blanks.
std::vector<CalendarEvent> NameDayEvents(int year, const std::vector<std::string>& nameDays);

// The whole file: CRLF line ends, lines folded at 75 octets without cutting a UTF-8
// character, texts escaped. `stamp` is the moment the file is written, in UTC, as
// AAAAMMJJTHHMMSSZ; `title` names the calendar.
std::string ICalendar(const std::vector<CalendarEvent>& events, const std::string& title, const std::string& stamp);

// The current moment in UTC, as ICalendar wants its stamp.
std::string CurrentStamp();
