// An event written by the gadget's writer and read back by its reader gives back the
// same event: its title and place whatever their bytes (commas, semicolons,
// backslashes, quotes, long lines that libical folds), its day or its times
// in the machine's zone, and the count of a repetition. The first bytes choose the
// fields, the rest is the title and, after a zero byte, the place.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string>
#include <string_view>

#include "agendas/event_writing.h"
#include "agendas/ics/reader.h"
#include "agendas/ics/writer.h"
#include "fuzz_checks.h"

namespace {

constexpr std::size_t kFieldBytes = 6;

std::time_t LocalSeconds(const agendas::LocalTime& time) {
    std::tm local{};
    local.tm_year = time.year - 1900;
    local.tm_mon = time.month - 1;
    local.tm_mday = time.day;
    local.tm_hour = time.hour;
    local.tm_min = time.minute;
    local.tm_isdst = -1;
    return std::mktime(&local);
}

agendas::LocalTime WallOf(std::time_t seconds) {
    std::tm local{};
    localtime_r(&seconds, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min};
}

agendas::LocalTime Plus(const agendas::LocalTime& time, int minutes) {
    std::tm local{};
    local.tm_year = time.year - 1900;
    local.tm_mon = time.month - 1;
    local.tm_mday = time.day;
    local.tm_hour = time.hour;
    local.tm_min = time.minute + minutes;
    timegm(&local);  // normalised as a wall reading, whatever the zone
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min};
}

// A wall time the zone skips (a change to summer time) has no instant of its own:
// RFC 5545 moves it on, so it reads back later.
bool Skipped(const agendas::LocalTime& time) { return WallOf(LocalSeconds(time)) != time; }

// Text the reader gives back as it was written: UTF-8, without the line ends that
// iCalendar has no escape for but "\n", nor the other controls, which libical leaves out.
bool RoundTrips(std::string_view text) {
    for (const char c : text) {
        if ((static_cast<unsigned char>(c) < 0x20 && c != '\n' && c != '\t') || c == 0x7F) return false;
    }
    return fuzz::IsUtf8(text);
}

// libical's reader drops the blanks around a value (those that end its line, those
// after its colon).
std::string WithoutOuterBlanks(std::string text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.pop_back();
    const std::size_t first = text.find_first_not_of(" \t");
    return first == std::string::npos ? std::string() : text.substr(first);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("TZ", "Europe/Paris", 1);
    tzset();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < kFieldBytes) return 0;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string_view rest = input.substr(kFieldBytes);
    const std::size_t zero = rest.find('\0');
    agendas::EventFields fields;
    fields.title = std::string(rest.substr(0, zero));
    if (zero != std::string_view::npos && zero + 1 < rest.size()) fields.place = std::string(rest.substr(zero + 1));
    fields.wholeDay = (data[0] & 1) != 0;
    static constexpr agendas::QuickRepetition kRepetitions[] = {
        agendas::QuickRepetition::None, agendas::QuickRepetition::Daily, agendas::QuickRepetition::Weekly,
        agendas::QuickRepetition::Monthly, agendas::QuickRepetition::Yearly};
    fields.repetition = kRepetitions[(data[0] >> 1) % 5];
    const int count = data[0] >> 5;  // [0, 7]: none, or that many
    if (fields.repetition != agendas::QuickRepetition::None && count > 0) fields.repeatCount = count;
    const int day = (data[1] * 256 + data[2]) % 1461;  // [0, 1460]: 2027 to 2030
    const int minute = (data[3] % 96) * 15;            // [0, 1425]
    const agendas::LocalTime midnight = Plus({2027, 1, 1, 0, 0}, day * 1440);
    fields.start = fields.wholeDay ? midnight : Plus(midnight, minute);
    fields.end = fields.wholeDay ? Plus(midnight, (data[4] % 4) * 1440) : Plus(fields.start, 15 + data[4] * 15);
    // A TZID and its VTIMEZONE one time in eight: libical's holds every change since
    // 1891, which takes most of a run to write and read. Otherwise UTC.
    const std::string zone = data[5] % 8 == 1 ? "Europe/Paris" : "";
    // The gadget refuses to write a start the change of time skips, read after its end.
    if (!agendas::SkippedStartRefusal(fields).empty()) return 0;

    const agendas::TextChange written = agendas::LibicalWriter().NewFile(fields, "FUZZ-UID", {.now = 0, .zone = zone});
    std::string problem;
    const auto calendar = agendas::LibicalReader().Read(written.text, std::nullopt, true, problem);
    if (!calendar) fuzz::Fail("the file written is no calendar: " + problem, input);
    // The days from the start to a week past the last occurrence the count allows.
    const int days = fields.repeatCount ? *fields.repeatCount * 7 + 7 : 7;
    const agendas::LocalTime last = Plus(midnight, days * 1440);
    const agendas::Window window{
        .first = midnight.Date(), .next = last.Date(), .start = LocalSeconds(midnight), .end = LocalSeconds(last)};
    const agendas::Expansion expansion = calendar->Expand(window);
    if (expansion.occurrences.empty()) fuzz::Fail("the event written is not read back", input);
    const agendas::Occurrence& first = expansion.occurrences.front();
    const std::string title(first.title), location(first.location.value_or(""));
    if (RoundTrips(fields.title) && WithoutOuterBlanks(title) != WithoutOuterBlanks(fields.title))
        fuzz::Fail("another title read back: « " + title + " » (" + std::to_string(title.size()) + " bytes, not " +
                       std::to_string(fields.title.size()) + ")",
                   input);
    const std::string place = WithoutOuterBlanks(fields.place.value_or(""));
    if (RoundTrips(place) && WithoutOuterBlanks(location) != place) {
        fuzz::Fail("another place read back: « " + location + " »", input);
    }
    if (first.allDay != fields.wholeDay) fuzz::Fail("a whole day read as timed, or the reverse", input);
    if (fields.wholeDay) {
        if (first.startWall != fields.start || first.endWall != Plus(fields.end, 1440)) {
            fuzz::Fail("other days read back", input);
        }
    } else if ((!Skipped(fields.start) && WallOf(first.startInstant) != fields.start) ||
               (!Skipped(fields.end) && WallOf(first.endInstant) != fields.end)) {
        fuzz::Fail("other times read back", input);
    }
    // Daily and weekly counts end within the window; no rule gives more than its count.
    const bool countable =
        fields.repetition == agendas::QuickRepetition::Daily || fields.repetition == agendas::QuickRepetition::Weekly;
    if (fields.repeatCount && countable && int(expansion.occurrences.size()) != *fields.repeatCount) {
        fuzz::Fail("another count of occurrences read back", input);
    }
    if (fields.repetition == agendas::QuickRepetition::None && expansion.occurrences.size() != 1) {
        fuzz::Fail("a single event read back more than once", input);
    }
    return 0;
}
