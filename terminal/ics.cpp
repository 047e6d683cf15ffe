#include "terminal/ics.h"

#include <ctime>

#include "almanac/day_facts.h"
#include "calendar/format_date.h"
#include "calendar/holidays.h"
#include "calendar/numbers.h"
#include "calendar/serial_date.h"
#include "calendar/utf8_text.h"

namespace {

std::string Digits(int n, int width) {
    std::string text = calendar::NumberText(n);
    return std::string(static_cast<std::size_t>(width) - std::min<std::size_t>(text.size(), width), '0') + text;
}

std::string IcsDate(int year, int month, int day) { return Digits(year, 4) + Digits(month, 2) + Digits(day, 2); }

// TEXT values escape the backslash, the semicolon, the comma and the line end (RFC
// 5545, 3.3.11).
std::string EscapedText(const std::string& text) {
    std::string escaped;
    for (const char c : text) {
        if (c == '\\' || c == ';' || c == ',') escaped += '\\';
        if (c == '\n') {
            escaped += "\\n";
        } else {
            escaped += c;
        }
    }
    return escaped;
}

// A content line folded after at most 75 octets, each further piece after a CRLF and
// one blank (RFC 5545, 3.1); a fold never falls inside a UTF-8 character.
std::string Folded(const std::string& line) {
    std::string folded;
    std::size_t room = 75;
    for (std::size_t at = 0; at < line.size();) {
        std::size_t length = 1;  // the UTF-8 character starting at `at`
        while (at + length < line.size() && (static_cast<unsigned char>(line[at + length]) & 0xC0) == 0x80) ++length;
        if (length > room) {
            folded += "\r\n ";
            room = 74;
        }
        folded.append(line, at, length);
        room -= length;
        at += length;
    }
    return folded + "\r\n";
}

}  // namespace

std::vector<CalendarEvent> HolidayEvents(int year, calendar::Region region) {
    using namespace calendar;
    std::vector<CalendarEvent> events;
    for (const Holiday& holiday : HolidaysOf(region, year)) {
        events.push_back({.year = year,
                          .month = MonthOf(holiday.date).value(),
                          .day = DayOf(holiday.date).value(),
                          .key = std::string(holiday.row->key),
                          .summary = std::string(holiday.row->name)});
    }
    return events;
}

std::vector<CalendarEvent> NameDayEvents(int year, const std::vector<std::string>& nameDays) {
    using namespace calendar;
    std::vector<CalendarEvent> events;
    const SerialDate first = MakeDate(year, 1, 1);
    for (SerialDate date = first; YearOf(date) == year; date = date + 1) {
        const int month = MonthOf(date).value();
        const int day = DayOf(date).value();
        const almanac::DayFacts facts =
            almanac::FactsOfDay(year, month, day, {.nameDays = nameDays, .names = FrenchNames()});
        if (!facts.nameDay) continue;
        events.push_back({.year = year,
                          .month = month,
                          .day = day,
                          .key = "fete",
                          .summary = "Fête : " + calendar::ShownText(*facts.nameDay)});
    }
    return events;
}

std::string ICalendar(const std::vector<CalendarEvent>& events, const std::string& title, const std::string& stamp) {
    std::string file = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Solvane//Solvane " SOLVANE_VERSION
                       "//FR\r\nCALSCALE:GREGORIAN\r\n" +
                       Folded("X-WR-CALNAME:" + EscapedText(title));
    for (const CalendarEvent& event : events) {
        const std::string date = IcsDate(event.year, event.month, event.day);
        file += "BEGIN:VEVENT\r\n" + Folded("UID:" + date + "-" + event.key + "@solvane") + "DTSTAMP:" + stamp +
                "\r\nDTSTART;VALUE=DATE:" + date + "\r\n";
        // The day after 9999-12-31 has no four-digit year: a duration says the same.
        if (event.year == 9999 && event.month == 12 && event.day == 31) {
            file += "DURATION:P1D\r\n";
        } else {
            const calendar::SerialDate next = calendar::MakeDate(event.year, event.month, event.day + 1);
            file += "DTEND;VALUE=DATE:" +
                    IcsDate(calendar::YearOf(next).value(), calendar::MonthOf(next).value(),
                            calendar::DayOf(next).value()) +
                    "\r\n";
        }
        file += Folded("SUMMARY:" + EscapedText(event.summary)) + "TRANSP:TRANSPARENT\r\nEND:VEVENT\r\n";
    }
    return file + "END:VCALENDAR\r\n";
}

std::string CurrentStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    return IcsDate(utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday) + 'T' + Digits(utc.tm_hour, 2) +
           Digits(utc.tm_min, 2) + Digits(utc.tm_sec, 2) + 'Z';
}
