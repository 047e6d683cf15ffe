#include <gtest/gtest.h>

#include "reminders/scheduler.h"

namespace reminders {
namespace {

constexpr UnixSeconds kNoon = 1796904000;  // 10 December 2026, 12:00 UTC
constexpr UnixSeconds kMinute = 60, kHour = 3600;

Alarm At(const std::string& id, UnixSeconds fires) {
    return Alarm{.id = id,
                 .fires = fires,
                 .startsAt = fires + 10 * kMinute,
                 .start = {},
                 .wholeDays = false,
                 .title = id,
                 .place = std::nullopt,
                 .kind = Alarm::Kind::Display};
}

// The plan as one line: each notice's ids, « ! » before a missed one, then the wake.
std::string Written(const Plan& plan) {
    std::string text;
    for (const Notice& notice : plan.show) {
        text += notice.missed ? "!" : "";
        for (const Alarm& alarm : notice.alarms) text += alarm.id + (&alarm == &notice.alarms.back() ? "" : "+");
        text += " ";
    }
    return text + (plan.wake ? "wake " + std::to_string((*plan.wake - kNoon) / kMinute) : "no wake");
}

TEST(ReminderPlan, WhatIsShownAndWhenTheGadgetWakes) {
    const auto snoozed = [](UnixSeconds fires, UnixSeconds until) {
        return Mark{.kind = Mark::Kind::Snoozed, .fires = fires, .until = until};
    };
    struct Row {
        const char* what;
        std::vector<Alarm> alarms;
        KeptState kept;
        const char* plan;  // at noon; wake in minutes from noon
    };
    const Mark shown{.kind = Mark::Kind::Shown, .fires = kNoon, .until = 0};
    const Mark dismissed{.kind = Mark::Kind::Dismissed, .fires = kNoon + kMinute, .until = 0};
    const KeptState aMinuteAgo{.lastLooked = kNoon - kMinute, .marks = {}, .wished = {}};
    const KeptState beforeSleep{.lastLooked = kNoon - 5 * kHour, .marks = {}, .wished = {}};
    const Row rows[] = {
        {"the timer falls on the alarm", {At("a", kNoon), At("b", kNoon + 5 * kMinute)}, aMinuteAgo, "a wake 5"},
        {"two at once are two notices", {At("b", kNoon), At("a", kNoon)}, aMinuteAgo, "a b no wake"},
        {"a timer late by seconds is on time",
         {At("a", kNoon - 50)},
         {.lastLooked = kNoon - 70, .marks = {}, .wished = {}},
         "a no wake"},
        {"after sleep, up to three missed each on its own",
         {At("c", kNoon - kHour), At("a", kNoon - 3 * kHour), At("b", kNoon - 2 * kHour)},
         beforeSleep,
         "!a !b !c no wake"},
        {"after sleep, four missed are one summary in the order they fell",
         {At("d", kNoon - kHour), At("a", kNoon - 4 * kHour), At("c", kNoon - 2 * kHour), At("b", kNoon - 3 * kHour),
          At("e", kNoon + kHour)},
         beforeSleep,
         "!a+b+c+d wake 60"},
        {"missed ones come before the one falling now",
         {At("now", kNoon), At("late", kNoon - kHour)},
         beforeSleep,
         "!late now no wake"},
        {"older than a day is not shown",
         {At("old", kNoon - 24 * kHour - 1), At("day", kNoon - 24 * kHour)},
         {.lastLooked = kNoon - 30 * kHour, .marks = {}, .wished = {}},
         "!day no wake"},
        {"what fell before the last look is not the gadget's to show",
         {At("a", kNoon - 5 * kMinute)},
         aMinuteAgo,
         "no wake"},
        {"the first look misses nothing", {At("a", kNoon - 5 * kMinute), At("b", kNoon)}, {}, "b no wake"},
        {"a clock put back misses nothing",
         {At("a", kNoon - 5 * kMinute), At("b", kNoon)},
         {.lastLooked = kNoon + kHour, .marks = {}, .wished = {}},
         "b no wake"},
        {"shown and dismissed are never shown again, nor woken for",
         {At("a", kNoon), At("b", kNoon + kMinute)},
         {.lastLooked = kNoon - kHour, .marks = {{"a", shown}, {"b", dismissed}}, .wished = {}},
         "no wake"},
        {"an event moved after its reminder was shown or dismissed is reminded at its new time",
         {At("a", kNoon), At("b", kNoon + 5 * kMinute)},
         {.lastLooked = kNoon - kMinute,
          .marks = {{"a", {.kind = Mark::Kind::Shown, .fires = kNoon - kHour, .until = 0}},
                    {"b", {.kind = Mark::Kind::Dismissed, .fires = kNoon - kHour, .until = 0}}},
          .wished = {}},
         "a wake 5"},
        {"an event moved after its reminder was snoozed is reminded at its new time, not at the snooze's end",
         {At("a", kNoon + kHour)},
         {.lastLooked = kNoon - kMinute,
          .marks = {{"a", snoozed(kNoon - 5 * kMinute, kNoon + 5 * kMinute)}},
          .wished = {}},
         "wake 60"},
        {"a snooze wakes at its end, not at the alarm",
         {At("a", kNoon - 5 * kMinute), At("b", kNoon + kHour)},
         {.lastLooked = kNoon - kMinute,
          .marks = {{"a", snoozed(kNoon - 5 * kMinute, kNoon + 5 * kMinute)}},
          .wished = {}},
         "wake 5"},
        {"an ended snooze is shown, even before the last look",
         {At("a", kNoon - 15 * kMinute)},
         {.lastLooked = kNoon - kMinute,
          .marks = {{"a", snoozed(kNoon - 15 * kMinute, kNoon - 3 * kMinute)}},
          .wished = {}},
         "!a no wake"},
    };
    for (const Row& row : rows) EXPECT_EQ(Written(PlanReminders(row.alarms, row.kept, kNoon)), row.plan) << row.what;
}

// A look marks what it showed: the next look, at once or after a restart that read
// the same marks, shows none of it again, and snoozing brings it back once.
TEST(ReminderPlan, NothingIsShownTwice) {
    const std::vector<Alarm> alarms{At("a", kNoon - kHour), At("b", kNoon), At("c", kNoon + kHour)};
    KeptState kept{.lastLooked = kNoon - 2 * kHour, .marks = {}, .wished = {}};
    Plan plan = PlanReminders(alarms, kept, kNoon);
    ASSERT_EQ(Written(plan), "!a b wake 60");
    MarkShown(kept, plan, kNoon);
    EXPECT_EQ(Written(PlanReminders(alarms, kept, kNoon)), "wake 60");
    MarkSnoozed(kept, plan.show[1], kNoon + 10 * kMinute);
    EXPECT_EQ(Written(PlanReminders(alarms, kept, kNoon + kMinute)), "wake 10");
    plan = PlanReminders(alarms, kept, kNoon + 10 * kMinute);
    ASSERT_EQ(Written(plan), "b wake 60");
    MarkShown(kept, plan, kNoon + 10 * kMinute);
    MarkDismissed(kept, {.alarms = {alarms[2]}, .missed = false});
    EXPECT_EQ(Written(PlanReminders(alarms, kept, kNoon + 2 * kHour)), "no wake");

    ForgetOldMarks(kept, kNoon + 47 * kHour);
    EXPECT_EQ(kept.marks.size(), 3u) << "marks outlive every look that may still find their alarm";
    ForgetOldMarks(kept, kNoon + 50 * kHour);
    EXPECT_TRUE(kept.marks.empty());
}

TEST(ReminderPlan, AnAlarmsNameIsOneWordThatTellsItsPartsApart) {
    const std::string names[] = {
        AlarmId("a/b", "", 0, 0),
        AlarmId("a", "b", 0, 0),
        AlarmId("a", "20261210T140000", 0, 0),
        AlarmId("a", "20261210T140000", 1, 0),
        AlarmId("a", "20261210T140000", 0, 1),
        AlarmId("a b\nc%", "", 0, 0),
        AlarmId("a%20b%0Ac%25", "", 0, 0),
    };
    for (std::size_t i = 0; i < std::size(names); ++i) {
        EXPECT_EQ(names[i].find_first_of(" \t\r\n"), std::string::npos) << names[i];
        for (std::size_t j = 0; j < i; ++j) EXPECT_NE(names[i], names[j]);
    }
}

}  // namespace
}  // namespace reminders
