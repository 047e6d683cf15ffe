#pragma once
// The safety net of the user's calendars: before the gadget replaces or removes a file
// of theirs, the file's bytes as read are kept in a folder of the day under
// $XDG_STATE_HOME/solvane/sauvegardes/ (« 2026-12-10/ »), named by the time, the
// event's title and the file's own name (« 18-30-05 Piscine -- 1F3A….ics »), and a
// line of that folder's `index.txt` says where the file was. Any change can be undone
// by copying the kept file back. Folders older than kKeptDays are removed, and the
// oldest ones too while the whole is past kLargestSafetyNetBytes.

#include <cstdint>
#include <string>

namespace agendas {

inline constexpr int kKeptDays = 30;
inline constexpr std::uintmax_t kLargestSafetyNetBytes = 200 * 1024 * 1024;

// The folder in the state folder given ($XDG_STATE_HOME or its default).
std::string SafetyNetFolder(const std::string& stateFolder);

// Keeps `bytes`, the file at `path` before a change of the event `title` at `now`
// (seconds since 1970, read in the process's zone). False when it could not be kept:
// the change is then not made.
bool KeepBeforeChange(const std::string& netFolder, const std::string& path, const std::string& bytes,
                      const std::string& title, std::int64_t now);

// Removes what is past the bounds; the folder of `now`'s day is always kept.
void TrimSafetyNet(const std::string& netFolder, std::int64_t now);

}  // namespace agendas
