#include "namedays/day_facts.h"

#include "calendar/holidays.h"
#include "calendar/leap_year.h"
#include "calendar/moon.h"
#include "calendar/numbers.h"
#include "calendar/week_number.h"
#include "namedays/name_day_lookup.h"

namespace namedays {

namespace {

// The first of a month is written "1er", as French writes it.
std::string WrittenDate(calendar::SerialDate date, int day, const calendar::LocaleNames& names) {
    return calendar::FormatDate(date, "dddd d", names) + (day == 1 ? "er" : "") +
           calendar::FormatDate(date, " mmmm yyyy", names);
}

// "fête" begins with an ASCII letter, which capitalises alone.
std::string NameDayLine(const DayFacts& facts) {
    return "F" + std::string(kNameDayWords.substr(1)) + " : " + *facts.nameDay;
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

std::string TwoDigits(int n) { return (n < 10 ? "0" : "") + calendar::NumberText(n); }

}  // namespace

DayFacts FactsOfDay(calendar::Int16 year, int month, int day, const std::vector<std::string>& nameDays,
                    const calendar::LocaleNames& names) {
    using namespace calendar;
    const SerialDate date = MakeDate(year, month, day);
    DayFacts facts;
    facts.year = year.value();
    facts.month = month;
    facts.day = day;
    facts.writtenDate = WrittenDate(date, day, names);
    facts.dayOfYear = static_cast<int>(DayOfYear(year, date));
    facts.week = WeekNumber(date).value();
    facts.leapYear = IsLeapYear(year);
    facts.leapYearSentence = LeapYearSentence(year);

    // The name day is found as the window finds it, from its leap-year line.
    const std::optional<int> position = NameDayPosition(facts.leapYearSentence, year, month, date);
    if (position && *position < static_cast<int>(nameDays.size()) && !nameDays[*position].empty()) {
        facts.nameDay = nameDays[*position];
    }

    const std::vector<std::string_view> holidays = HolidaysOn(year, date);
    for (const std::string_view name : holidays) {
        facts.holiday = facts.holiday ? *facts.holiday + " et " + std::string(name) : std::string(name);
    }
    facts.moonAge = MoonPictureNumber(year, month, day).value();
    return facts;
}

std::string FactsText(const DayFacts& facts) {
    std::string text = facts.writtenDate + '\n';
    text += calendar::NumberText(facts.dayOfYear) + (facts.dayOfYear == 1 ? "er" : "e") + " jour de l'année, semaine " +
            calendar::NumberText(facts.week) + '\n';
    if (facts.nameDay) text += NameDayLine(facts) + '\n';
    if (facts.holiday) text += "Jour férié : " + *facts.holiday + '\n';
    text += MoonLine(facts) + '\n';
    return text + facts.leapYearSentence + '\n';
}

std::string FactsJson(const DayFacts& facts) {
    using calendar::NumberText;
    const std::string date = NumberText(facts.year) + '-' + TwoDigits(facts.month) + '-' + TwoDigits(facts.day);
    return "{\"date\":" + JsonString(date) + ",\"jour_de_l_annee\":" + NumberText(facts.dayOfYear) +
           ",\"semaine\":" + NumberText(facts.week) + ",\"fete\":" + JsonStringOrNull(facts.nameDay) +
           ",\"ferie\":" + JsonStringOrNull(facts.holiday) + ",\"lune\":" + NumberText(facts.moonAge) +
           ",\"bissextile\":" + (facts.leapYear ? "true" : "false") + ",\"texte\":" + JsonString(facts.writtenDate) +
           "}";
}

std::string FactsTooltip(const DayFacts& facts) {
    std::string text = facts.writtenDate;
    if (facts.nameDay) text += '\n' + NameDayLine(facts);
    if (facts.holiday) text += '\n' + *facts.holiday;
    return text + '\n' + MoonLine(facts);
}

}  // namespace namedays
