#pragma once
// What the gadget knows of one day and of its year, in French: the date written out,
// its number in the year and its week, its name day and that name's entry in the
// list, its public holidays (the nation's, and a region's own, or another country's)
// and its celebrations, the change of time, the sun at a place, the equinox or
// solstice and the moon's principal phase that fall on it in the local zone, the moon's age;
// and of the year, whether it is a leap year and the holidays it keeps. These are
// computed here once for every reader: the window's panels, the tooltip of a day in
// the window's calendar (and the screen readers' description of its cell), and the
// terminal's --texte, --json, --waybar and --ics-fetes. The window only writes them
// into its controls. The holidays have their French names, not the panel's
// captions; wherever the name day is shown as text its control characters are
// blanks (see calendar/utf8_text.h), and JSON escapes them.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "agendas/agenda.h"
#include "agendas/event.h"
#include "calendar/format_date.h"
#include "calendar/holidays.h"
#include "calendar/int16.h"
#include "calendar/moon_phases.h"
#include "calendar/places.h"
#include "calendar/seasons.h"
#include "calendar/sunrise_sunset.h"

namespace almanac {

// The words before a name day, in the window's panel and, capitalised, in the
// facts of a day.
inline constexpr std::string_view kNameDayWords = "fête à souhaiter";

struct YearFacts {
    int year = 0;
    bool leapYear = false;
    std::string leapYearSentence;             // "L'année 2024 est bissextile.", the window's leap-year line
    std::vector<calendar::Holiday> holidays;  // those the region keeps, as calendar::HolidaysOf gives them
};

// The facts of a year of the calendar; `region` adds its own public holidays to the
// nation's.
YearFacts FactsOfYear(calendar::Int16 year, calendar::Region region = calendar::Region::National);

struct DayFacts {
    int year = 0, month = 0, day = 0;
    std::string writtenDate;             // "dimanche 14 juillet 2024", "lundi 1er janvier 2024"
    int dayOfYear = 0;                   // 1..366
    int week = 0;                        // ISO 8601, 1..53
    int nameDayPosition = 0;             // the day's entry in the name-day list (name_day_lookup.h), 0..365
    std::optional<std::string> nameDay;  // none where the list lacks the day or leaves it empty
    // « Bonne fête à Camille Martin et à Camille Durand »: the contacts of the agendas
    // whose given name is one of the name day's (reminders/wishes.h); empty when none.
    std::string nameDayWishes;
    std::optional<std::string> holiday;     // the holidays' names, " et " between two
    std::vector<std::string> celebrations;  // the names of the day's celebrations (Fête des mères), no day off
    // « Passage à l'heure d'été : à 2 h il est 3 h » on the day the local zone changes
    // its offset; none on other days and in zones without changes.
    std::optional<std::string> timeChange;
    // Where the sun and the seasons are reckoned, its sun, and the equinox or solstice
    // of the local day named for its hemisphere; none of the three when no place was
    // given.
    std::optional<calendar::Place> place;
    std::optional<calendar::SunOfDay> sun;
    std::optional<calendar::SeasonOfDay> season;
    std::optional<calendar::PhaseOfDay> moonPhase;  // the principal phase of the local day
    int moonAge = 0;                                // whole days, 0..29, as the moon picture shows it
    bool leapYear = false;                          // those of FactsOfYear
    std::string leapYearSentence;
    // The user's events on the day, in the order it lists them, and their lines:
    // « 14 h 00 – 15 h 30 Réunion d'équipe », « Toute la journée : Vacances de Noël »,
    // « Anniversaire : Léa (34 ans) »; an event that began the day before or ends the
    // day after says that date, « 23 h 00 – 9 mai 01 h 00 Soirée »; past
    // kMostEventLines, one line « et 3 autres ».
    std::vector<agendas::Event> events;
    std::vector<std::string> eventLines;
};

inline constexpr std::size_t kMostEventLines = 8;

// What a day's facts are computed from besides its date: what was read from disk
// and what the user chose. Each new kind of day (a place's sun, the user's own
// events) comes in here, so that every reader asks FactsOfDay alike.
struct FactsSources {
    std::span<const std::string> nameDays = {};  // the name-day list as read from fetes.txt; empty when none was read
    calendar::LocaleNames names;                 // the day and month names
    calendar::Region region = calendar::Region::National;  // whose public holidays and celebrations
    // Where the sun and the seasons are reckoned: the place chosen, otherwise the
    // region's chef-lieu. None for a reader that shows neither (the panels, the name
    // days' calendar): a day's sun costs a tenth of a millisecond.
    std::optional<calendar::Place> place = {};
    const agendas::AgendaDays* agenda = nullptr;  // the user's events of the days around; none when null
};

// The facts of a day of the years the calendar offers (calendar::kFirstCalendarYear
// to kLastCalendarYear). The change of time and the moon's phase are those of the
// process's time zone.
DayFacts FactsOfDay(calendar::Int16 year, int month, int day, const FactsSources& sources);

// One fact a line, ended by a line end each: what --texte prints. The celebrations
// are one line, « Célébration : Fête des mères »; the events come after them, in the
// text as in the tooltip.
std::string FactsText(const DayFacts& facts);
// One event's line as FactsText writes it on the day it starts, and a date as its
// first line writes it (« jeudi 18 décembre 2026 »).
std::string EventLine(const agendas::Event& event, const calendar::LocaleNames& names);
std::string WrittenDateOf(int year, int month, int day, const calendar::LocaleNames& names);

// The lines of a day's tooltip in the calendar: the date, the name day and the
// contacts to wish on it, the holiday,
// the celebrations, the events, the change of time, the sun, the season, the moon's
// phase and age, without a final line end.
std::string FactsTooltip(const DayFacts& facts);

}  // namespace almanac
