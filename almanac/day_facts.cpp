#include "almanac/day_facts.h"

#include <utility>

#include "calendar/french_words.h"
#include "calendar/leap_year.h"
#include "calendar/local_zone.h"
#include "calendar/moon.h"
#include "calendar/numbers.h"
#include "calendar/time_change.h"
#include "calendar/utf8_text.h"
#include "calendar/week_number.h"
#include "namedays/name_day_lookup.h"
#include "reminders/wishes.h"

namespace almanac {

namespace {

std::string WrittenDate(calendar::SerialDate date, int day, const calendar::LocaleNames& names) {
    return calendar::FormatDate(date, "dddd ", names) + calendar::DayOfMonthText(day) +
           calendar::FormatDate(date, " mmmm yyyy", names);
}

// "fête" begins with an ASCII letter, which capitalises alone.
std::string NameDayLine(const DayFacts& facts) {
    return "F" + std::string(kNameDayWords.substr(1)) + " : " + calendar::ShownText(*facts.nameDay);
}

// French puts 0 and 1 in the singular.
std::string MoonLine(const DayFacts& facts) {
    return "Lune : " + calendar::NumberText(facts.moonAge) + (facts.moonAge <= 1 ? " jour" : " jours");
}

// The celebrations' names, " et " between two.
std::string CelebrationNames(const DayFacts& facts) {
    std::string names;
    for (const std::string& name : facts.celebrations) names += (names.empty() ? "" : " et ") + name;
    return names;
}

// A time of an event on `day`: « 14 h 00 », with the date when it is another day
// (« 9 mai 01 h 00 »); the end at 00:00 of the next day is « 24 h 00 ».
std::string EventClock(const agendas::LocalTime& time, const agendas::LocalDate& day, bool end,
                       const calendar::LocaleNames& names) {
    if (time.Date() == day) return calendar::ClockText(time.hour, time.minute, " h ");
    if (end && time.hour == 0 && time.minute == 0 && time.Date() == agendas::NextDay(day)) return "24 h 00";
    return calendar::DateInWords(time.day, time.month, time.year != day.year ? std::optional(time.year) : std::nullopt,
                                 names) +
           " " + calendar::ClockText(time.hour, time.minute, " h ");
}

std::vector<std::string> EventLines(const std::vector<agendas::Event>& events, const agendas::LocalDate& day,
                                    const calendar::LocaleNames& names) {
    std::vector<std::string> lines;
    for (const agendas::Event& event : events) {
        if (lines.size() == kMostEventLines && events.size() > kMostEventLines) {
            const std::size_t others = events.size() - kMostEventLines;
            lines.push_back("et " + calendar::NumberText(int(others)) + (others == 1 ? " autre" : " autres"));
            break;
        }
        switch (event.kind) {
        case agendas::Event::Kind::Birthday: lines.push_back(event.title); break;
        case agendas::Event::Kind::AllDay: lines.push_back("Toute la journée : " + event.title); break;
        case agendas::Event::Kind::Timed:
            lines.push_back(EventClock(event.start, day, false, names) +
                            (event.end == event.start ? "" : " – " + EventClock(event.end, day, true, names)) + " " +
                            event.title);
            break;
        }
    }
    return lines;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + '\n';
    return text;
}

// The lines that follow the holiday in the text and the tooltip.
std::string AlmanacLines(const DayFacts& facts) {
    std::string lines = Joined(facts.eventLines);
    if (facts.timeChange) lines += *facts.timeChange + '\n';
    if (facts.sun) lines += calendar::SunSentence(*facts.sun) + '\n';
    if (facts.season) lines += calendar::SeasonSentence(*facts.season) + '\n';
    if (facts.moonPhase) lines += calendar::MoonPhaseSentence(*facts.moonPhase) + '\n';
    return lines;
}

}  // namespace

std::string EventLine(const agendas::Event& event, const calendar::LocaleNames& names) {
    return EventLines({event}, event.start.Date(), names).front();
}

std::string WrittenDateOf(int year, int month, int day, const calendar::LocaleNames& names) {
    return WrittenDate(calendar::MakeDate(year, month, day), day, names);
}

YearFacts FactsOfYear(calendar::Int16 year, calendar::Region region) {
    return {.year = year.value(),
            .leapYear = calendar::IsLeapYear(year),
            .leapYearSentence = calendar::LeapYearSentence(year),
            .holidays = calendar::HolidaysOf(region, year)};
}

DayFacts FactsOfDay(calendar::Int16 year, int month, int day, const FactsSources& sources) {
    using namespace calendar;
    const SerialDate date = MakeDate(year, month, day);
    YearFacts ofYear = FactsOfYear(year, sources.region);
    DayFacts facts;
    facts.year = year.value();
    facts.month = month;
    facts.day = day;
    facts.writtenDate = WrittenDate(date, day, sources.names);
    facts.dayOfYear = static_cast<int>(DayOfYear(year, date));
    facts.week = WeekNumber(date).value();
    facts.leapYear = ofYear.leapYear;
    facts.leapYearSentence = std::move(ofYear.leapYearSentence);

    facts.nameDayPosition = namedays::NameDayPosition(facts.leapYear, year, month, date);
    const auto position = static_cast<std::size_t>(facts.nameDayPosition);
    if (position < sources.nameDays.size() && !sources.nameDays[position].empty())
        facts.nameDay = sources.nameDays[position];

    for (const Holiday& holiday : ofYear.holidays) {
        if (holiday.date != date) continue;
        const std::string name(holiday.row->name);
        facts.holiday = facts.holiday ? *facts.holiday + " et " + name : name;
    }
    for (const std::string_view name : CelebrationsOn(sources.region, year, date))
        facts.celebrations.emplace_back(name);
    if (const std::optional<TimeChange> change = TimeChangeOn(year.value(), month, day))
        facts.timeChange = TimeChangeSentence(*change);
    if (sources.place) {
        facts.place = sources.place;
        facts.sun = SunOn(year.value(), month, day, sources.place->coordinates);
        facts.season = SeasonOn(year.value(), month, day, sources.place->coordinates.latitude);
    }
    facts.moonPhase = MoonPhaseOn(year.value(), month, day);
    facts.moonAge = MoonPictureNumber(year, month, day).value();
    if (sources.agenda != nullptr) {
        const agendas::LocalDate local{year.value(), month, day};
        if (const agendas::SharedEvents* events = sources.agenda->On(local)) {
            for (const std::shared_ptr<const agendas::Event>& event : *events) facts.events.push_back(*event);
            facts.eventLines = EventLines(facts.events, local, sources.names);
        }
        if (facts.nameDay) {
            std::vector<reminders::Person> people;
            for (const agendas::Contact& contact : sources.agenda->contacts)
                people.push_back(reminders::PersonOf(contact));
            facts.nameDayWishes = reminders::NameDayWishes(*facts.nameDay, people);
        }
    }
    return facts;
}

std::string FactsText(const DayFacts& facts) {
    std::string text = facts.writtenDate + '\n';
    text +=
        calendar::OrdinalText(facts.dayOfYear) + " jour de l'année, semaine " + calendar::NumberText(facts.week) + '\n';
    if (facts.nameDay) text += NameDayLine(facts) + '\n';
    if (facts.holiday) text += "Jour férié : " + *facts.holiday + '\n';
    if (!facts.celebrations.empty()) text += "Célébration : " + CelebrationNames(facts) + '\n';
    text += AlmanacLines(facts);
    text += MoonLine(facts) + '\n';
    return text + facts.leapYearSentence + '\n';
}

std::string FactsTooltip(const DayFacts& facts) {
    std::string text = facts.writtenDate;
    if (facts.nameDay) text += '\n' + NameDayLine(facts);
    if (!facts.nameDayWishes.empty()) text += '\n' + facts.nameDayWishes;
    if (facts.holiday) text += '\n' + *facts.holiday;
    if (!facts.celebrations.empty()) text += '\n' + CelebrationNames(facts);
    return text + '\n' + AlmanacLines(facts) + MoonLine(facts);
}

}  // namespace almanac
