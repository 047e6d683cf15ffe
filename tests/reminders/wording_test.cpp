#include <gtest/gtest.h>

#include "reminders/wording.h"

namespace reminders {
namespace {

// 10 December 2026, 13:50 UTC; the local readings below are the test's own.
constexpr UnixSeconds kNow = 1796910600;
constexpr agendas::LocalDate kToday{2026, 12, 10};

Alarm MeetingAt(agendas::LocalTime start, UnixSeconds away, std::optional<std::string> place, bool wholeDays = false) {
    return Alarm{.id = "x",
                 .fires = kNow,
                 .startsAt = kNow + away,
                 .start = start,
                 .wholeDays = wholeDays,
                 .title = "Réunion d'équipe",
                 .place = std::move(place),
                 .kind = Alarm::Kind::Display};
}

TEST(ReminderWording, SummaryAndBodySayWhenAndWhere) {
    struct Row {
        const char* what;
        Alarm alarm;
        const char* summary;
        const char* body;
    };
    const agendas::LocalTime at14{2026, 12, 10, 14, 0};
    const Row rows[] = {
        {"ten minutes ahead, with a place", MeetingAt(at14, 600, "Salle B"), "14 h 00 Réunion d'équipe",
         "dans 10 min — Salle B"},
        {"a timer a little late still says ten minutes", MeetingAt(at14, 571, std::nullopt), "14 h 00 Réunion d'équipe",
         "dans 10 min"},
        {"an empty place is no place", MeetingAt(at14, 3600, ""), "14 h 00 Réunion d'équipe", "dans 1 h"},
        {"an hour and a half", MeetingAt({2026, 12, 10, 9, 5}, 5400, std::nullopt), "09 h 05 Réunion d'équipe",
         "dans 1 h 30"},
        {"minutes under ten keep two digits", MeetingAt(at14, 3900, std::nullopt), "14 h 00 Réunion d'équipe",
         "dans 1 h 05"},
        {"at the start", MeetingAt(at14, 20, std::nullopt), "14 h 00 Réunion d'équipe", "maintenant"},
        {"begun", MeetingAt(at14, -300, "Salle B"), "14 h 00 Réunion d'équipe", "il y a 5 min — Salle B"},
        {"a day ahead by the clock is tomorrow by the date", MeetingAt({2026, 12, 11, 14, 0}, 86400, std::nullopt),
         "14 h 00 Réunion d'équipe", "demain"},
        {"three days ahead", MeetingAt({2026, 12, 13, 8, 0}, 3 * 86400 - 6 * 3600, std::nullopt),
         "08 h 00 Réunion d'équipe", "dans 3 jours"},
        {"a whole day today", MeetingAt({2026, 12, 10, 0, 0}, -50000, std::nullopt, true), "Réunion d'équipe",
         "aujourd'hui"},
        {"a whole day tomorrow", MeetingAt({2026, 12, 11, 0, 0}, 36000, "Lyon", true), "Réunion d'équipe",
         "demain — Lyon"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(AlarmSummary(row.alarm), row.summary) << row.what;
        EXPECT_EQ(AlarmBody(row.alarm, kNow, kToday), row.body) << row.what;
    }
}

TEST(ReminderWording, AMissedSummaryCountsAndNamesThem) {
    Notice notice{.alarms = {}, .missed = true};
    for (int hour = 8; hour < 18; ++hour) {
        Alarm alarm = MeetingAt({2026, 12, 10, hour, 30}, 0, std::nullopt);
        alarm.title = "Point " + std::to_string(hour);
        notice.alarms.push_back(alarm);
    }
    EXPECT_EQ(NoticeSummary(notice), "10 rappels manqués");
    EXPECT_EQ(NoticeBody(notice, kNow, kToday),
              "08 h 30 Point 8\n09 h 30 Point 9\n10 h 30 Point 10\n11 h 30 Point 11\n12 h 30 Point 12\n"
              "13 h 30 Point 13\n14 h 30 Point 14\n15 h 30 Point 15\net 2 autres");
    notice.alarms.resize(kNamedInSummary + 1);
    EXPECT_TRUE(NoticeBody(notice, kNow, kToday).ends_with("\net 1 autre"));
}

}  // namespace
}  // namespace reminders
