#include "reminders/scheduler.h"

#include <algorithm>
#include <tuple>

namespace reminders {

namespace {

// The mark kept for this very firing of the alarm. One kept for another instant is
// that of an event since moved (or its alarm changed): it says nothing of the new one.
const Mark* MarkOf(const Alarm& alarm, const KeptState& kept) {
    const auto mark = kept.marks.find(alarm.id);
    return mark != kept.marks.end() && mark->second.fires == alarm.fires ? &mark->second : nullptr;
}

// When the alarm is next due, or none when it never is again.
std::optional<UnixSeconds> DueAt(const Alarm& alarm, const KeptState& kept) {
    const Mark* mark = MarkOf(alarm, kept);
    if (mark == nullptr) return alarm.fires;
    if (mark->kind == Mark::Kind::Snoozed) return mark->until;
    return std::nullopt;
}

bool Snoozed(const Alarm& alarm, const KeptState& kept) {
    const Mark* mark = MarkOf(alarm, kept);
    return mark != nullptr && mark->kind == Mark::Kind::Snoozed;
}

}  // namespace

Plan PlanReminders(const std::vector<Alarm>& alarms, const KeptState& kept, UnixSeconds now) {
    struct Due {
        UnixSeconds at;
        const Alarm* alarm;
    };
    std::vector<Due> onTime, missed;
    Plan plan;
    // Without a last look, or with one the clock has since been put back before, only
    // what falls now is the gadget's to show. A snooze it set is its own to end,
    // whenever it last looked.
    const UnixSeconds since = kept.lastLooked && *kept.lastLooked <= now ? *kept.lastLooked : now - kLateAfter;
    for (const Alarm& alarm : alarms) {
        const std::optional<UnixSeconds> at = DueAt(alarm, kept);
        if (!at) continue;
        if (*at > now) {
            plan.wake = std::min(plan.wake.value_or(*at), *at);
            continue;
        }
        if (*at <= since && !Snoozed(alarm, kept)) continue;
        if (now - *at > kOldestMissed) continue;
        (now - *at > kLateAfter ? missed : onTime).push_back({*at, &alarm});
    }
    const auto earlier = [](const Due& a, const Due& b) {
        return std::tie(a.at, a.alarm->startsAt, a.alarm->id) < std::tie(b.at, b.alarm->startsAt, b.alarm->id);
    };
    std::sort(missed.begin(), missed.end(), earlier);
    std::sort(onTime.begin(), onTime.end(), earlier);
    if (missed.size() > kMissedShownApart) {
        Notice summary{.alarms = {}, .missed = true};
        for (const Due& due : missed) summary.alarms.push_back(*due.alarm);
        plan.show.push_back(std::move(summary));
    } else {
        for (const Due& due : missed) plan.show.push_back({.alarms = {*due.alarm}, .missed = true});
    }
    for (const Due& due : onTime) plan.show.push_back({.alarms = {*due.alarm}, .missed = false});
    return plan;
}

void MarkShown(KeptState& kept, const Plan& plan, UnixSeconds now) {
    for (const Notice& notice : plan.show) {
        for (const Alarm& alarm : notice.alarms) {
            kept.marks[alarm.id] = {.kind = Mark::Kind::Shown, .fires = alarm.fires, .until = 0};
        }
    }
    kept.lastLooked = now;
}

void MarkSnoozed(KeptState& kept, const Notice& notice, UnixSeconds until) {
    for (const Alarm& alarm : notice.alarms) {
        kept.marks[alarm.id] = {.kind = Mark::Kind::Snoozed, .fires = alarm.fires, .until = until};
    }
}

void MarkDismissed(KeptState& kept, const Notice& notice) {
    for (const Alarm& alarm : notice.alarms) {
        kept.marks[alarm.id] = {.kind = Mark::Kind::Dismissed, .fires = alarm.fires, .until = 0};
    }
}

void ForgetOldMarks(KeptState& kept, UnixSeconds now) {
    // Two days: beyond kOldestMissed, so that a mark outlives every look that may
    // still find its alarm.
    constexpr UnixSeconds kKept = 2 * kOldestMissed;
    std::erase_if(kept.marks, [&](const auto& entry) {
        const Mark& mark = entry.second;
        return std::max(mark.fires, mark.until) < now - kKept;
    });
}

}  // namespace reminders
