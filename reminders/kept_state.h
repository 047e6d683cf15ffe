#pragma once
// What the gadget keeps of its reminders across restarts, in the user's state folder
// ($XDG_STATE_HOME/solvane, or ~/.local/state/solvane), never in the calendars: the
// last look and, by alarm, whether it was shown, snoozed or dismissed. A small text,
// one fact a line, that a person can read:
//
//   solvane-rappels 1
//   vu 1796904000
//   montre 1796903400 uid/20261210T140000/0/0
//   reporte 1796903400 1796904600 uid//0/0
//   ignore 1796903400 uid//1/0
//   voeux 2026-12-10
//
// (instants in seconds since 1970 UTC; « reporte » gives the alarm's instant, then
// the snooze's end; « voeux », the last local day whose wishes were shown). A line that does not read is skipped, and
// so is a file of another version: a few reminders shown again cost less than none shown.

#include <string>
#include <string_view>

#include "reminders/scheduler.h"

namespace reminders {

std::string KeptStateText(const KeptState& kept);
KeptState ParseKeptState(std::string_view text);

// The largest state file read: thousands of marks take a few hundred kilobytes.
inline constexpr std::size_t kLargestStateFile = 1024 * 1024;

// The folder: solvane in the XDG state folder (files/xdg_folders.h); empty when
// there is none.
std::string StateFolder();

// The state kept in `folder` (rappels.etat), an ordinary file read within
// kLargestStateFile; an empty state when there is none or it cannot be read.
KeptState ReadKeptState(const std::string& folder);
// Replaces it whole through files/write_beside.h, the user's alone (0600) in a folder
// made for the user alone (0700), so that a reader never sees half of it; false when
// the folder cannot be made or written.
bool WriteKeptState(const std::string& folder, const KeptState& kept);

}  // namespace reminders
