// The readers of the user's agendas where no other program reads the same way: the
// birthdays of contacts, the lines a day shows, --json's events, and what libical's
// companion in the oracle test reads otherwise (an UNTIL that falls on an instance).

#include <gtest/gtest.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "agendas/agenda.h"
#include "agendas/contacts.h"
#include "agendas/ics/reader.h"
#include "almanac/day_facts.h"
#include "terminal/day_json.h"
#include "tests/namedays/temp_folder.h"

namespace {

using agendas::Birthday;
using agendas::Event;
using agendas::LocalTime;

struct CardRow {
    const char* what;
    const char* text;
    std::vector<Birthday> birthdays;
};

// vCard 4.0 (RFC 6350 6.2.5) and the 2.1 and 3.0 forms address books still write.
const CardRow kCardRows[] = {
    {"a full date, FN",
     "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Léa Martin\r\nBDAY:19910508\r\nEND:VCARD\r\n",
     {{"Léa Martin", 5, 8, 1991}}},
    {"a date with dashes, LF lines", "BEGIN:VCARD\nFN:Paul\nBDAY:1980-12-31\nEND:VCARD\n", {{"Paul", 12, 31, 1980}}},
    {"no year, --MMDD", "BEGIN:VCARD\r\nFN:Inès\r\nBDAY:--0229\r\nEND:VCARD\r\n", {{"Inès", 2, 29, std::nullopt}}},
    {"no year, --MM-DD", "BEGIN:VCARD\r\nFN:Inès\r\nBDAY:--02-03\r\nEND:VCARD\r\n", {{"Inès", 2, 3, std::nullopt}}},
    {"the year 1604 that means none",
     "BEGIN:VCARD\r\nFN:Zoé\r\nBDAY;X-APPLE-OMIT-YEAR=1604:1604-07-14\r\nEND:VCARD\r\n",
     {{"Zoé", 7, 14, std::nullopt}}},
    {"a date and time, its date",
     "BEGIN:VCARD\r\nFN:Max\r\nBDAY:2001-03-04T00:00:00Z\r\nEND:VCARD\r\n",
     {{"Max", 3, 4, 2001}}},
    {"VALUE=date, lower-case names",
     "begin:vcard\r\nfn:Éloïse\r\nbday;value=date:2010-01-02\r\nend:vcard\r\n",
     {{"Éloïse", 1, 2, 2010}}},
    {"N alone: given then family name",
     "BEGIN:VCARD\r\nN:Durand;Paul;;;\r\nBDAY:--0508\r\nEND:VCARD\r\n",
     {{"Paul Durand", 5, 8, std::nullopt}}},
    {"a folded FN, escapes",
     "BEGIN:VCARD\r\nFN:Jean-Ba\r\n ptiste\\, dit Jeannot\r\nBDAY:19700101\r\nEND:VCARD\r\n",
     {{"Jean-Baptiste, dit Jeannot", 1, 1, 1970}}},
    {"vCard 2.1 quoted-printable",
     "BEGIN:VCARD\r\nVERSION:2.1\r\nFN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:L=C3=A9a\r\nBDAY:19990909\r\nEND:"
     "VCARD\r\n",
     {{"Léa", 9, 9, 1999}}},
    {"a grouped property", "BEGIN:VCARD\r\nFN:Ana\r\nitem1.BDAY:2000-06-15\r\nEND:VCARD\r\n", {{"Ana", 6, 15, 2000}}},
    {"two cards, one without BDAY",
     "BEGIN:VCARD\r\nFN:Sans\r\nEND:VCARD\r\nBEGIN:VCARD\r\nFN:Avec\r\nBDAY:--1225\r\nEND:VCARD\r\n",
     {{"Avec", 12, 25, std::nullopt}}},
    {"dates that do not exist",
     "BEGIN:VCARD\r\nFN:A\r\nBDAY:2001-02-29\r\nEND:VCARD\r\nBEGIN:VCARD\r\nFN:B\r\n"
     "BDAY:--0431\r\nEND:VCARD\r\nBEGIN:VCARD\r\nFN:C\r\nBDAY:19901301\r\nEND:VCARD\r\n",
     {}},
    {"a card never ended", "BEGIN:VCARD\r\nFN:Coupé\r\nBDAY:19900101\r\n", {}},
    // Cards vobject does not read: Latin-1 bytes with no CHARSET, a charset iconv does not know.
    {"Latin-1 bytes without CHARSET, read as Windows-1252",
     "BEGIN:VCARD\r\nVERSION:2.1\r\nFN:Fran\xE7ois \x8Cuvre\x81\r\nBDAY:19800304\r\nEND:VCARD\r\n",
     {{"François Œuvre\uFFFD", 3, 4, 1980}}},
    {"a charset unknown, UTF-8 bytes kept, others read as Windows-1252",
     "BEGIN:VCARD\r\nFN;CHARSET=X-INCONNU;QUOTED-PRINTABLE:L=C3=A9a=E9\r\nBDAY:--0102\r\nEND:VCARD\r\n",
     {{"Léaé", 1, 2, std::nullopt}}},
    {"bytes that are not of the CHARSET said",
     "BEGIN:VCARD\r\nFN;CHARSET=UTF-8:No\xEBl\r\nBDAY:--1225\r\nEND:VCARD\r\n",
     {{"Noël", 12, 25, std::nullopt}}},
};

TEST(Contacts, BirthdaysAreReadFromEachFormOfBDAY) {
    for (const CardRow& row : kCardRows) EXPECT_EQ(agendas::BirthdaysOf(row.text), row.birthdays) << row.what;
}

// Cards that no address book writes, each as long as an ordinary card whose FN fills
// the same bytes: read in a processor time of the same order, not one that grows
// with the square of their length.
struct LongCardRow {
    const char* what;
    std::string (*make)();
};

const std::string kCardEnd = "\r\nBDAY:19910508\r\nEND:VCARD\r\n";

const LongCardRow kLongCardRows[] = {
    {"an FN after 400,000 blanks", [] { return "BEGIN:VCARD\r\nFN:" + std::string(400'000, ' ') + "Léa" + kCardEnd; }},
    // Each line ends in « = », which ends a quoted-printable line: whether the line so
    // far is one is asked at every line.
    {"200,000 folded lines ending in « = », without a colon",
     [] {
         std::string card = "BEGIN:VCARD\r\nX-NOTE";
         for (int line = 0; line < 200'000; ++line) card += "\r\n note=";
         return card + "\r\nFN:Léa" + kCardEnd;
     }},
    {"20,000 quoted-printable soft breaks after 100 kB of parameters",
     [] {
         std::string card = "BEGIN:VCARD\r\nVERSION:2.1\r\nFN;X-NOTE=" + std::string(100'000, 'a') +
                            ";ENCODING=QUOTED-PRINTABLE:L=C3=A9a";
         for (int line = 0; line < 20'000; ++line) card += "=\r\n";
         return card + kCardEnd;
     }},
};

// The least processor time of three readings of the text.
double ReadingSeconds(const std::string& text) {
    const auto seconds = [] {
        timespec now{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
        return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
    };
    double least = 1e9;
    for (int reading = 0; reading < 3; ++reading) {
        const double before = seconds();
        const std::vector<Birthday> birthdays = agendas::BirthdaysOf(text);
        least = std::min(least, seconds() - before);
        EXPECT_FALSE(birthdays.empty());
    }
    return least;
}

TEST(Contacts, ALongCardIsReadAsQuicklyAsAnOrdinaryOneOfItsSize) {
    for (const LongCardRow& row : kLongCardRows) {
        const std::string text = row.make();
        EXPECT_EQ(agendas::BirthdaysOf(text), (std::vector<Birthday>{{"Léa", 5, 8, 1991}})) << row.what;
        const std::string head = "BEGIN:VCARD\r\nFN:";
        const std::string ordinary = head + std::string(text.size() - head.size() - kCardEnd.size(), 'a') + kCardEnd;
        const double spent = ReadingSeconds(text), usual = ReadingSeconds(ordinary);
        std::printf("%-62s %7.1f ms, %5.1f ms for an ordinary card\n", row.what, spent * 1000, usual * 1000);
        // Linear readings of the same bytes differ by their kind of bytes, a few times
        // at most.
        EXPECT_LT(spent, 10 * usual) << row.what;
    }
}

struct BirthdayRow {
    const char* what;
    Birthday birthday;
    int year;
    std::optional<std::pair<int, std::string>> shown;  // the day of February or the month, and the title
};

TEST(Contacts, ABirthdayFallsOnItsDayWithItsAge) {
    const BirthdayRow rows[] = {
        {"34 years", {"Léa", 5, 8, 1991}, 2025, std::make_pair(8, "Anniversaire : Léa (34 ans)")},
        {"one year, singular", {"Léa", 5, 8, 2024}, 2025, std::make_pair(8, "Anniversaire : Léa (1 an)")},
        {"the day of birth, no age", {"Léa", 5, 8, 2025}, 2025, std::make_pair(8, "Anniversaire : Léa")},
        {"before birth, nothing", {"Léa", 5, 8, 2026}, 2025, std::nullopt},
        {"no year, no age", {"Inès", 2, 3, std::nullopt}, 2025, std::make_pair(3, "Anniversaire : Inès")},
        {"29 February on the 28th in a common year",
         {"Bis", 2, 29, 2000},
         2025,
         std::make_pair(28, "Anniversaire : Bis (25 ans)")},
        {"29 February on its day in a leap year",
         {"Bis", 2, 29, 2000},
         2024,
         std::make_pair(29, "Anniversaire : Bis (24 ans)")},
        {"29 February in 2100, not leap", {"Bis", 2, 29, std::nullopt}, 2100, std::make_pair(28, "Anniversaire : Bis")},
    };
    for (const BirthdayRow& row : rows) {
        const std::optional<Event> event = agendas::BirthdayIn(row.birthday, row.year, "Contacts");
        ASSERT_EQ(event.has_value(), row.shown.has_value()) << row.what;
        if (!event) continue;
        EXPECT_EQ(event->start.day, row.shown->first) << row.what;
        EXPECT_EQ(event->title, row.shown->second) << row.what;
        EXPECT_EQ(event->kind, Event::Kind::Birthday) << row.what;
    }
}

Event Timed(LocalTime start, LocalTime end, const char* title) {
    return {.kind = Event::Kind::Timed,
            .start = start,
            .end = end,
            .title = title,
            .location = {},
            .agenda = "A",
            .alarms = {}};
}

Event WholeDays(LocalTime first, LocalTime last, const char* title) {
    return {.kind = Event::Kind::AllDay,
            .start = first,
            .end = last,
            .title = title,
            .location = {},
            .agenda = "A",
            .alarms = {}};
}

// The events as an answer holds them.
agendas::SharedEvents Shared(const std::vector<Event>& events) {
    agendas::SharedEvents shared;
    for (const Event& event : events) shared.push_back(std::make_shared<const Event>(event));
    return shared;
}

// The lines the facts of 8 May 2025 show for the events given.
std::vector<std::string> LinesOf(const std::vector<Event>& events) {
    agendas::AgendaDays days{.first = {2025, 5, 8}, .last = {2025, 5, 8}, .days = {}, .problems = {}, .contacts = {}};
    days.days[{2025, 5, 8}] = Shared(events);
    const almanac::DayFacts facts =
        almanac::FactsOfDay(2025, 5, 8, {.nameDays = {}, .names = calendar::FrenchNames(), .agenda = &days});
    return facts.eventLines;
}

TEST(EventLines, EachKindOfEventHasItsLine) {
    const struct {
        const char* what;
        Event event;
        const char* line;
    } rows[] = {
        {"a time", Timed({2025, 5, 8, 14, 0}, {2025, 5, 8, 15, 30}, "Réunion d'équipe"),
         "14 h 00 – 15 h 30 Réunion d'équipe"},
        {"no length", Timed({2025, 5, 8, 9, 5}, {2025, 5, 8, 9, 5}, "Rappel"), "09 h 05 Rappel"},
        {"from the day before", Timed({2025, 5, 7, 23, 0}, {2025, 5, 8, 1, 0}, "Soirée"),
         "7 mai 23 h 00 – 01 h 00 Soirée"},
        {"into the day after", Timed({2025, 5, 8, 23, 0}, {2025, 5, 9, 1, 0}, "Soirée"),
         "23 h 00 – 9 mai 01 h 00 Soirée"},
        {"to midnight", Timed({2025, 5, 8, 22, 0}, {2025, 5, 9, 0, 0}, "Fin"), "22 h 00 – 24 h 00 Fin"},
        {"from another year, the first of a month", Timed({2024, 12, 1, 8, 0}, {2025, 6, 1, 8, 0}, "Long"),
         "1er décembre 2024 08 h 00 – 1er juin 08 h 00 Long"},
        {"whole days", WholeDays({2025, 5, 7}, {2025, 5, 9}, "Vacances de Noël"),
         "Toute la journée : Vacances de Noël"},
        {"a birthday",
         {.kind = Event::Kind::Birthday,
          .start = {2025, 5, 8},
          .end = {2025, 5, 8},
          .title = "Anniversaire : Léa (34 ans)",
          .location = {},
          .agenda = "C",
          .alarms = {}},
         "Anniversaire : Léa (34 ans)"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(LinesOf({row.event}), std::vector<std::string>{row.line}) << row.what;
    }
}

TEST(EventLines, PastEightLinesOneLineCountsTheOthers) {
    for (const int count : {8, 9, 11}) {
        std::vector<Event> events;
        for (int at = 0; at < count; ++at)
            events.push_back(Timed({2025, 5, 8, 8 + at, 0}, {2025, 5, 8, 8 + at, 30}, "É"));
        const std::vector<std::string> lines = LinesOf(events);
        ASSERT_EQ(lines.size(), count == 8 ? 8U : 9U) << count;
        EXPECT_EQ(lines.front(), "08 h 00 – 08 h 30 É");
        if (count > 8) {
            EXPECT_EQ(lines.back(), count == 9 ? "et 1 autre" : "et 3 autres");
        }
    }
}

TEST(EventLines, TheTextAndTheTooltipListTheEventsAfterTheHoliday) {
    agendas::AgendaDays days{.first = {2025, 5, 8}, .last = {2025, 5, 8}, .days = {}, .problems = {}, .contacts = {}};
    days.days[{2025, 5, 8}] = Shared({Timed({2025, 5, 8, 14, 0}, {2025, 5, 8, 15, 30}, "Réunion")});
    const almanac::DayFacts facts =
        almanac::FactsOfDay(2025, 5, 8, {.nameDays = {}, .names = calendar::FrenchNames(), .agenda = &days});
    const std::string text = almanac::FactsText(facts), tooltip = almanac::FactsTooltip(facts);
    EXPECT_NE(text.find("Jour férié : Victoire 1945\n14 h 00 – 15 h 30 Réunion\nLune"), std::string::npos) << text;
    EXPECT_NE(tooltip.find("Victoire 1945\n14 h 00 – 15 h 30 Réunion\nLune"), std::string::npos) << tooltip;
    // The contacts to wish on the day's name day come under it in the tooltip.
    std::vector<std::string> nameDays(366);
    nameDays[128] = "Désiré";  // 8 May, in the list's leap-year layout
    days.contacts = {{.name = "Dr Roy", .givenName = "DESIRE", .birthday = std::nullopt},
                     {.name = "Désirée Roy", .givenName = {}, .birthday = std::nullopt}};
    const std::string wished = almanac::FactsTooltip(
        almanac::FactsOfDay(2025, 5, 8, {.nameDays = nameDays, .names = calendar::FrenchNames(), .agenda = &days}));
    EXPECT_NE(wished.find("Fête à souhaiter : Désiré\nBonne fête à Dr Roy\nVictoire 1945"), std::string::npos)
        << wished;
    // The day after has none.
    const almanac::DayFacts next =
        almanac::FactsOfDay(2025, 5, 9, {.nameDays = {}, .names = calendar::FrenchNames(), .agenda = &days});
    EXPECT_TRUE(next.events.empty());
}

TEST(EventJson, EventsAreObjectsOfLocalTimesOrDates) {
    agendas::AgendaDays days{.first = {2025, 5, 8}, .last = {2025, 5, 8}, .days = {}, .problems = {}, .contacts = {}};
    Event meeting = Timed({2025, 5, 8, 14, 0}, {2025, 5, 8, 15, 30}, "Réunion \"A\"");
    meeting.location = "Salle 3";
    days.days[{2025, 5, 8}] = Shared({WholeDays({2025, 5, 7}, {2025, 5, 9}, "Congrès"), meeting});
    const almanac::DayFacts facts =
        almanac::FactsOfDay(2025, 5, 9, {.nameDays = {}, .names = calendar::FrenchNames(), .agenda = &days});
    EXPECT_NE(FactsJson(facts).find("\"evenements\":[]}"), std::string::npos);
    const almanac::DayFacts day =
        almanac::FactsOfDay(2025, 5, 8, {.nameDays = {}, .names = calendar::FrenchNames(), .agenda = &days});
    EXPECT_NE(FactsJson(day).find(
                  "\"evenements\":[{\"debut\":\"2025-05-07\",\"fin\":\"2025-05-09\",\"journee\":true,\"titre\":"
                  "\"Congrès\",\"lieu\":null,\"agenda\":\"A\"},{\"debut\":\"2025-05-08T14:00\",\"fin\":\"2025-05-08T15:"
                  "30\",\"journee\":false,\"titre\":\"Réunion \\\"A\\\"\",\"lieu\":\"Salle 3\",\"agenda\":\"A\"}]}"),
              std::string::npos)
        << FactsJson(day);
    // The status bar: a holiday first, then a day with events.
    EXPECT_NE(FactsWaybar(day).find("\"class\":\"ferie\""), std::string::npos);
    days.days[{2025, 5, 12}] = Shared({Timed({2025, 5, 12, 14, 0}, {2025, 5, 12, 15, 30}, "Réunion \"A\"")});
    const std::string monday = FactsWaybar(
        almanac::FactsOfDay(2025, 5, 12, {.nameDays = {}, .names = calendar::FrenchNames(), .agenda = &days}));
    EXPECT_NE(monday.find("\"class\":\"evenement\""), std::string::npos) << monday;
    EXPECT_NE(monday.find("14 h 00 – 15 h 30 Réunion \\\"A\\\""), std::string::npos) << monday;
}

// The days of `text` in May 2025 in Paris, as the agenda reads one file.
std::map<agendas::LocalDate, std::vector<Event>> MayOf(const std::string& text) {
    namedays::testing::TempFolder folder;
    const auto path = folder.Write("a.ics", text);
    agendas::Agenda agenda({agendas::SourceOf(path.string())}, [](std::string&) { return &agendas::LibicalReader(); });
    agendas::AgendaDays days = agenda.DaysBetween({2025, 5, 1}, {2025, 5, 31});
    EXPECT_TRUE(days.problems.empty()) << days.problems.front();
    std::map<agendas::LocalDate, std::vector<Event>> may;
    for (const auto& [day, events] : days.days) {
        for (const auto& event : events) may[day].push_back(*event);
    }
    return may;
}

TEST(IcsReading, AnUntilOnAnInstanceEndsWithThatInstance) {
    setenv("TZ", "Europe/Paris", 1);
    tzset();
    // RFC 5545 3.3.10: the UNTIL value, when it falls on an instance, is the last one.
    const auto days = MayOf(
        "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nUID:u\r\nDTSTART;TZID=Europe/Paris:20250505T090000\r\nDURATION:PT1H\r\n"
        "RRULE:FREQ=DAILY;UNTIL=20250507T070000Z\r\nSUMMARY:Jusqu'au 7\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    EXPECT_TRUE(days.contains({2025, 5, 7}));
    EXPECT_FALSE(days.contains({2025, 5, 8}));
    EXPECT_EQ(days.size(), 3U);
}

TEST(IcsReading, ATextWithoutCalendarOrCutShortSaysSo) {
    namedays::testing::TempFolder folder;
    const auto empty = folder.Write("vide.ics", "");
    const auto cut = folder.Write("coupe.ics",
                                  "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nUID:1\r\nDTSTART:20250508T100000Z\r\nSUMMARY:"
                                  "Entier\r\nEND:VEVENT\r\nBEGIN:VEVENT\r\nUID:2\r\nDTSTART:2025050");
    agendas::Agenda agenda({agendas::SourceOf(empty.string()), agendas::SourceOf(cut.string())},
                           [](std::string&) { return &agendas::LibicalReader(); });
    const agendas::AgendaDays days = agenda.DaysBetween({2025, 5, 1}, {2025, 5, 31});
    ASSERT_EQ(days.problems.size(), 2U);
    EXPECT_EQ(days.problems[0], "L'agenda « vide » : « " + empty.string() + " » n'est pas un agenda iCalendar.");
    EXPECT_EQ(days.problems[1],
              "L'agenda « coupe » : « " + cut.string() + " » est tronqué : ses derniers évènements manquent.");
    ASSERT_NE(days.On({2025, 5, 8}), nullptr);
    EXPECT_EQ(days.On({2025, 5, 8})->front()->title, "Entier");
}

// The occurrences of May 2025 in Paris, one line each: « 05-07 12:00–12:30 Titre »,
// then the problems said.
std::vector<std::string> MayLinesOf(const std::string& events) {
    namedays::testing::TempFolder folder;
    const auto path = folder.Write("a.ics", "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n" + events + "END:VCALENDAR\r\n");
    agendas::Agenda agenda({agendas::SourceOf(path.string())}, [](std::string&) { return &agendas::LibicalReader(); });
    const agendas::AgendaDays days = agenda.DaysBetween({2025, 5, 1}, {2025, 5, 31});
    std::vector<std::string> lines;
    for (const auto& [day, each] : days.days) {
        for (const auto& shared : each) {
            const Event& event = *shared;
            char line[160];
            std::snprintf(line, sizeof line, "%02d-%02d %02d:%02d–%02d:%02d %s", day.month, day.day, event.start.hour,
                          event.start.minute, event.end.hour, event.end.minute, event.title.c_str());
            lines.emplace_back(line);
        }
    }
    const std::string after = ".ics » ";  // the sentence after the file's name
    for (const std::string& problem : days.problems)
        lines.push_back(problem.substr(problem.find(after) + after.size()));
    return lines;
}

// Where python3-recurring-ical-events does not read the file (the oracle test reads
// the rest): RFC 5545's own text gives the answer.
TEST(IcsReading, PeriodsReplacementsOfTheFutureAndUnknownZonesFollowRfc5545) {
    const std::string daily =
        "BEGIN:VEVENT\r\nUID:s\r\nSUMMARY:Avant\r\nDTSTART;TZID=Europe/Paris:20250512T090000\r\n"
        "DURATION:PT1H\r\nRRULE:FREQ=DAILY;COUNT=5\r\nEND:VEVENT\r\n";
    const auto future = [](const std::string& more) {
        return "BEGIN:VEVENT\r\nUID:s\r\nSUMMARY:Après\r\nRECURRENCE-ID;RANGE=THISANDFUTURE;TZID=Europe/Paris:"
               "20250514T090000\r\nDTSTART;TZID=Europe/Paris:20250514T110000\r\nDURATION:PT2H\r\n" +
               more + "END:VEVENT\r\n";
    };
    const struct {
        const char* what;
        std::string events;
        std::vector<std::string> lines;
    } rows[] = {
        // 3.8.5.2: an RDATE of VALUE=PERIOD gives the instance's start and its own
        // end or duration, not the first event's length.
        {"a PERIOD to its end, and one for its duration",
         "BEGIN:VEVENT\r\nUID:p\r\nSUMMARY:P\r\nDTSTART;TZID=Europe/Paris:20250505T090000\r\nDURATION:PT1H\r\n"
         "RDATE;VALUE=PERIOD:20250507T100000Z/20250507T103000Z\r\n"
         "RDATE;VALUE=PERIOD;TZID=Europe/Paris:20250509T140000/PT3H\r\nEND:VEVENT\r\n",
         {"05-05 09:00–10:00 P", "05-07 12:00–12:30 P", "05-09 14:00–17:00 P"}},
        // 3.8.4.4: with RANGE=THISANDFUTURE the instance and every later one move by
        // the same time and take the replacement's duration; its properties are theirs.
        {"THISANDFUTURE moves the later instances",
         daily + future(""),
         {"05-12 09:00–10:00 Avant", "05-13 09:00–10:00 Avant", "05-14 11:00–13:00 Après", "05-15 11:00–13:00 Après",
          "05-16 11:00–13:00 Après"}},
        // A later replacement of one instance, named by its RRULE time, still wins.
        {"a single replacement after THISANDFUTURE",
         daily + future("") +
             "BEGIN:VEVENT\r\nUID:s\r\nSUMMARY:Seul\r\nRECURRENCE-ID;TZID=Europe/Paris:20250515T090000\r\n"
             "DTSTART;TZID=Europe/Paris:20250515T160000\r\nDURATION:PT1H\r\nEND:VEVENT\r\n",
         {"05-12 09:00–10:00 Avant", "05-13 09:00–10:00 Avant", "05-14 11:00–13:00 Après", "05-15 16:00–17:00 Seul",
          "05-16 11:00–13:00 Après"}},
        {"a cancelled THISANDFUTURE ends the series",
         daily + future("STATUS:CANCELLED\r\n"),
         {"05-12 09:00–10:00 Avant", "05-13 09:00–10:00 Avant"}},
        // 3.2.19: a TZID must name a VTIMEZONE of the file; a name nobody knows leaves
        // the hour as written, and says so.
        {"an unknown TZID, at the written hour",
         "BEGIN:VEVENT\r\nUID:m\r\nSUMMARY:M\r\nDTSTART;TZID=Heure de Mars:20250505T090000\r\nDURATION:PT1H\r\n"
         "END:VEVENT\r\nBEGIN:VEVENT\r\nUID:n\r\nSUMMARY:N\r\nDTSTART;TZID=Heure de Mars:20250506T090000\r\n"
         "END:VEVENT\r\n",
         {"05-05 09:00–10:00 M", "05-06 09:00–09:00 N",
          "nomme un fuseau horaire inconnu, « Heure de Mars » : ses heures sont lues telles qu'elles sont écrites."}},
        {"two unknown TZIDs",
         "BEGIN:VEVENT\r\nUID:m\r\nSUMMARY:M\r\nDTSTART;TZID=Heure de Mars:20250505T090000\r\nEND:VEVENT\r\n"
         "BEGIN:VEVENT\r\nUID:n\r\nSUMMARY:N\r\nDTSTART;TZID=Heure de Vénus:20250506T090000\r\nEND:VEVENT\r\n",
         {"05-05 09:00–09:00 M", "05-06 09:00–09:00 N",
          "nomme des fuseaux horaires inconnus, « Heure de Mars » et 1 autre : leurs heures sont lues telles "
          "qu'elles sont écrites."}},
        // 3.3.5: a wall time that a change of time skips is read later by the gap;
        // the series' instances that then stand for one instant are one (3.8.5.3),
        // even when a later one comes back to it out of order.
        {"instances that a skipped hour makes one",
         "BEGIN:VTIMEZONE\r\nTZID:Essai\r\nBEGIN:STANDARD\r\nDTSTART:20000101T000000\r\nTZOFFSETFROM:+0000\r\n"
         "TZOFFSETTO:+0000\r\nEND:STANDARD\r\nBEGIN:DAYLIGHT\r\nDTSTART:20250511T020000\r\nTZOFFSETFROM:+0000\r\n"
         "TZOFFSETTO:+0100\r\nEND:DAYLIGHT\r\nEND:VTIMEZONE\r\nBEGIN:VEVENT\r\nUID:g\r\nSUMMARY:G\r\n"
         "DTSTART;TZID=Essai:20250511T013000\r\nDURATION:PT10M\r\nRRULE:FREQ=HOURLY;BYMINUTE=0,30;COUNT=5\r\n"
         "END:VEVENT\r\n",
         {"05-11 03:30–03:40 G", "05-11 04:00–04:10 G", "05-11 04:30–04:40 G"}},
        // 3.1: a line is folded anywhere, a component's BEGIN and END lines too, and
        // read unfolded.
        {"lines folded anywhere",
         "BEGIN:VEV\r\n ENT\r\nUID:f\r\nSUMMARY:Pli\r\n é\r\nDTSTART;TZID=Europe/Paris:20250507T1\r\n\t00000\r\n"
         "DURATION:PT1H\r\nEND:VEV\r\n ENT\r\n",
         {"05-07 10:00–11:00 Plié"}},
    };
    setenv("TZ", "Europe/Paris", 1);
    tzset();
    for (const auto& row : rows) EXPECT_EQ(MayLinesOf(row.events), row.lines) << row.what;
}

}  // namespace
