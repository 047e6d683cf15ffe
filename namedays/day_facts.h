#pragma once
// What the gadget knows of one day, in French: the date written out, its number in
// the year and its week, its name day, its public holiday, the moon's age and whether
// its year is a leap year. The tooltip of a day in the window's calendar and the
// terminal's --texte and --json say these facts; each comes from the function that
// the window's panels use for the same fact.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/format_date.h"
#include "calendar/int16.h"

namespace namedays {

// The words before a name day, in the window's panel and, capitalised, in the
// facts of a day.
inline constexpr std::string_view kNameDayWords = "fête à souhaiter";

struct DayFacts {
    int year = 0, month = 0, day = 0;
    std::string writtenDate;             // "dimanche 14 juillet 2024", "lundi 1er janvier 2024"
    int dayOfYear = 0;                   // 1..366
    int week = 0;                        // ISO 8601, 1..53
    std::optional<std::string> nameDay;  // none where the list lacks the day or leaves it empty
    std::optional<std::string> holiday;  // the holidays' names, " et " between two
    int moonAge = 0;                     // whole days, 0..29, as the moon picture shows it
    bool leapYear = false;
    std::string leapYearSentence;  // as the window's leap-year line says it
};

// The facts of a day of the years the calendar offers (calendar::kFirstCalendarYear
// to kLastCalendarYear); `nameDays` is the name-day list as read from
// fetes.txt, and `names` gives the day and month names.
DayFacts FactsOfDay(calendar::Int16 year, int month, int day, const std::vector<std::string>& nameDays,
                    const calendar::LocaleNames& names);

// One fact a line, ended by a line end each: what --texte prints.
std::string FactsText(const DayFacts& facts);

// One JSON object on one line, without the line end: what --json prints.
std::string FactsJson(const DayFacts& facts);

// The lines of a day's tooltip in the calendar: the date, the name day, the holiday
// and the moon, without a final line end.
std::string FactsTooltip(const DayFacts& facts);

}  // namespace namedays
