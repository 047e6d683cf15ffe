#pragma once
// The safety net of the user's calendars: before the gadget replaces or removes a file
// of theirs, the file's bytes as read are kept in a folder of the day under
// $XDG_STATE_HOME/solvane/sauvegardes/ (« 2026-12-10/ »), named by the time, the
// event's title and the file's own name (« 18-30-05 Piscine -- 1F3A….ics »), and a
// line of that folder's `index.txt` says where the file was. Any change can be undone
// by copying the kept file back. Folders older than kKeptDays are removed, and while
// the whole is past kLargestSafetyNetBytes the oldest kept files, today's as well.

#include <cstdint>
#include <string>

#include "calendar/french_words.h"

namespace agendas {

inline constexpr int kKeptDays = 30;
inline constexpr std::uintmax_t kLargestSafetyNetBytes = 200 * calendar::kMegabyte;

// The folder in the state folder given ($XDG_STATE_HOME or its default).
std::string SafetyNetFolder(const std::string& stateFolder);

// Keeps `bytes`, the file at `path` before a change of the event `title` at `now`
// (seconds since 1970, read in the process's zone). False when it could not be kept:
// the change is then not made.
bool KeepBeforeChange(const std::string& netFolder, const std::string& path, const std::string& bytes,
                      const std::string& title, std::int64_t now);

// Removes what is past the bounds, never the file `justKept` (its path).
void TrimSafetyNet(const std::string& netFolder, std::int64_t now, const std::string& justKept = {});

}  // namespace agendas
