#include "namedays/day_facts.h"

#include <utility>

#include "calendar/leap_year.h"
#include "calendar/moon.h"
#include "calendar/numbers.h"
#include "calendar/time_change.h"
#include "calendar/week_number.h"
#include "namedays/name_day_lookup.h"
#include "namedays/shown_text.h"

namespace namedays {

namespace {

// The first of a month is written "1er", as French writes it.
std::string WrittenDate(calendar::SerialDate date, int day, const calendar::LocaleNames& names) {
    return calendar::FormatDate(date, "dddd d", names) + (day == 1 ? "er" : "") +
           calendar::FormatDate(date, " mmmm yyyy", names);
}

// "fête" begins with an ASCII letter, which capitalises alone.
std::string NameDayLine(const DayFacts& facts) {
    return "F" + std::string(kNameDayWords.substr(1)) + " : " + ShownText(*facts.nameDay);
}

// French puts 0 and 1 in the singular.
std::string MoonLine(const DayFacts& facts) {
    return "Lune : " + calendar::NumberText(facts.moonAge) + (facts.moonAge <= 1 ? " jour" : " jours");
}

// A JSON string: the quote, the backslash and the control characters escaped, the
// rest kept as UTF-8.
std::string JsonString(const std::string& text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string json = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            json += '\\';
            json += c;
        } else if (byte < 0x20) {
            json += "\\u00";
            json += kHex[byte >> 4];
            json += kHex[byte & 0xF];
        } else {
            json += c;
        }
    }
    return json + '"';
}

std::string JsonStringOrNull(const std::optional<std::string>& text) { return text ? JsonString(*text) : "null"; }

// The phase as an object: its French name and its local time HH:MM.
std::string PhaseJson(const std::optional<calendar::PhaseOfDay>& phase) {
    if (!phase) return "null";
    return "{\"nom\":" + JsonString(std::string(phase->name)) +
           ",\"heure\":" + JsonString(calendar::PhaseClock(*phase, ":")) + "}";
}

// The lines that follow the holiday in the text and the tooltip.
std::string AlmanacLines(const DayFacts& facts) {
    std::string lines;
    if (facts.timeChange) lines += *facts.timeChange + '\n';
    if (facts.moonPhase) lines += calendar::MoonPhaseSentence(*facts.moonPhase) + '\n';
    return lines;
}

std::string TwoDigits(int n) { return (n < 10 ? "0" : "") + calendar::NumberText(n); }

}  // namespace

std::string IsoDate(const DayFacts& facts) {
    return calendar::NumberText(facts.year) + '-' + TwoDigits(facts.month) + '-' + TwoDigits(facts.day);
}

YearFacts FactsOfYear(calendar::Int16 year, calendar::Region region) {
    return {.year = year.value(),
            .leapYear = calendar::IsLeapYear(year),
            .leapYearSentence = calendar::LeapYearSentence(year),
            .holidays = calendar::HolidaysOf(region, year)};
}

DayFacts FactsOfDay(calendar::Int16 year, int month, int day, const std::vector<std::string>& nameDays,
                    const calendar::LocaleNames& names, calendar::Region region) {
    using namespace calendar;
    const SerialDate date = MakeDate(year, month, day);
    YearFacts ofYear = FactsOfYear(year, region);
    DayFacts facts;
    facts.year = year.value();
    facts.month = month;
    facts.day = day;
    facts.writtenDate = WrittenDate(date, day, names);
    facts.dayOfYear = static_cast<int>(DayOfYear(year, date));
    facts.week = WeekNumber(date).value();
    facts.leapYear = ofYear.leapYear;
    facts.leapYearSentence = std::move(ofYear.leapYearSentence);

    facts.nameDayPosition = NameDayPosition(facts.leapYear, year, month, date);
    const auto position = static_cast<std::size_t>(facts.nameDayPosition);
    if (position < nameDays.size() && !nameDays[position].empty()) facts.nameDay = nameDays[position];

    for (const Holiday& holiday : ofYear.holidays) {
        if (holiday.date != date) continue;
        const std::string name(holiday.row->name);
        facts.holiday = facts.holiday ? *facts.holiday + " et " + name : name;
    }
    if (const std::optional<TimeChange> change = TimeChangeOn(year.value(), month, day))
        facts.timeChange = TimeChangeSentence(*change);
    facts.moonPhase = MoonPhaseOn(year.value(), month, day);
    facts.moonAge = MoonPictureNumber(year, month, day).value();
    return facts;
}

std::string FactsText(const DayFacts& facts) {
    std::string text = facts.writtenDate + '\n';
    text += calendar::NumberText(facts.dayOfYear) + (facts.dayOfYear == 1 ? "er" : "e") + " jour de l'année, semaine " +
            calendar::NumberText(facts.week) + '\n';
    if (facts.nameDay) text += NameDayLine(facts) + '\n';
    if (facts.holiday) text += "Jour férié : " + *facts.holiday + '\n';
    text += AlmanacLines(facts);
    text += MoonLine(facts) + '\n';
    return text + facts.leapYearSentence + '\n';
}

std::string FactsJson(const DayFacts& facts) {
    using calendar::NumberText;
    return "{\"date\":" + JsonString(IsoDate(facts)) + ",\"jour_de_l_annee\":" + NumberText(facts.dayOfYear) +
           ",\"semaine\":" + NumberText(facts.week) + ",\"fete\":" + JsonStringOrNull(facts.nameDay) +
           ",\"ferie\":" + JsonStringOrNull(facts.holiday) +
           ",\"changement_d_heure\":" + JsonStringOrNull(facts.timeChange) +
           ",\"phase\":" + PhaseJson(facts.moonPhase) + ",\"lune\":" + NumberText(facts.moonAge) +
           ",\"bissextile\":" + (facts.leapYear ? "true" : "false") + ",\"texte\":" + JsonString(facts.writtenDate) +
           "}";
}

std::string FactsWaybar(const DayFacts& facts) {
    const std::string text = facts.holiday   ? *facts.holiday
                             : facts.nameDay ? ShownText(*facts.nameDay)
                                             : facts.writtenDate;
    std::string tooltip = FactsText(facts);
    tooltip.pop_back();  // the lines, without the last line end
    return "{\"text\":" + JsonString(text) + ",\"tooltip\":" + JsonString(tooltip) +
           ",\"class\":" + (facts.holiday ? "\"ferie\"" : "\"jour\"") + ",\"alt\":" + JsonString(IsoDate(facts)) + "}";
}

std::string FactsTooltip(const DayFacts& facts) {
    std::string text = facts.writtenDate;
    if (facts.nameDay) text += '\n' + NameDayLine(facts);
    if (facts.holiday) text += '\n' + *facts.holiday;
    return text + '\n' + AlmanacLines(facts) + MoonLine(facts);
}

}  // namespace namedays
