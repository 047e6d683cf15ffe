#pragma once
// When reminders are shown: given the alarms of a window of time, what the gadget
// has already done with them, the instant it last looked and the instant now, what
// to show now and when to look again. The clock is read by the caller, as the wall
// clock tells it: after a change of time, of zone or a wake from sleep the caller
// resolves the alarms again and asks anew, so nothing here counts elapsed time.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "reminders/alarm.h"

namespace reminders {

// What the gadget did with one alarm.
struct Mark {
    enum class Kind { Shown, Snoozed, Dismissed };
    Kind kind = Kind::Shown;
    UnixSeconds fires = 0;  // the alarm's own instant, by which an old mark is forgotten
    UnixSeconds until = 0;  // Snoozed: when it is shown again
    bool operator==(const Mark&) const = default;
};

// What the gadget keeps between two looks, and across restarts.
struct KeptState {
    std::optional<UnixSeconds> lastLooked;  // none before the first look
    std::map<std::string, Mark> marks;      // by AlarmId
    // The last local day whose wishes to the contacts were shown (reminders/wishes.h).
    std::optional<agendas::LocalDate> wished;
    bool operator==(const KeptState&) const = default;
};

// A reminder that fell more than this before the look that finds it was missed (the
// machine slept or was off): a timer is late by far less on a busy machine.
inline constexpr UnixSeconds kLateAfter = 2 * 60;
// A missed reminder older than this is not shown at all.
inline constexpr UnixSeconds kOldestMissed = 24 * 60 * 60;
// Up to this many missed reminders are shown each on its own, more as one summary.
inline constexpr std::size_t kMissedShownApart = 3;

// One notification: one alarm, or the missed alarms it names.
struct Notice {
    std::vector<Alarm> alarms;  // in the order they fell
    bool missed = false;        // fell while the gadget was not looking
    bool Summary() const { return alarms.size() > 1; }
};

struct Plan {
    std::vector<Notice> show;         // in the order they fell
    std::optional<UnixSeconds> wake;  // the next instant a reminder falls; none: no timer
};

// What to show at `now`: the alarms that fell since the last look (a snoozed one at
// the end of its snooze), neither shown nor dismissed; each on its own when it falls
// on time, the missed ones each on its own up to kMissedShownApart, otherwise one
// summary naming them; none older than kOldestMissed. An alarm that fell before the
// last look was known then or was never the gadget's to show (a calendar added
// later): it is not shown. Without a last look, or with one after `now` (the clock
// was put back), nothing is missed.
Plan PlanReminders(const std::vector<Alarm>& alarms, const KeptState& kept, UnixSeconds now);

// The marks a shown plan leaves: its notices shown, `now` the last look.
void MarkShown(KeptState& kept, const Plan& plan, UnixSeconds now);
// The user's answers to a notice: shown again at `until`, or never again.
void MarkSnoozed(KeptState& kept, const Notice& notice, UnixSeconds until);
void MarkDismissed(KeptState& kept, const Notice& notice);
// Forgets the marks that no alarm still within reach needs: those of alarms that fell
// more than two days before `now`, snoozes included once they have ended as long ago.
void ForgetOldMarks(KeptState& kept, UnixSeconds now);

}  // namespace reminders
