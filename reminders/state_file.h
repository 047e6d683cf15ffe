#pragma once
// The one place where the reminders touch the disk: a small file of the user's state
// folder, read within a bound and replaced whole.

#include <string>
#include <string_view>

namespace reminders {

// The largest state file read: thousands of marks take a few hundred kilobytes.
inline constexpr std::size_t kLargestStateFile = 1024 * 1024;

// Reads `folder`/`name` into `bytes`: an ordinary file only (never a FIFO or a
// device, never waited on), at most kLargestStateFile bytes. False otherwise.
bool ReadStateFile(const std::string& folder, std::string_view name, std::string& bytes);

// Writes `bytes` to a new file beside `folder`/`name`, fsync, renames it over the
// old one and fsyncs the folder, which it first makes (0700) when missing. The file
// is the user's alone (0600). False when any step fails; the old file then stays.
bool WriteStateFile(const std::string& folder, std::string_view name, const std::string& bytes);

}  // namespace reminders
