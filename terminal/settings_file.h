#pragma once
// Where the gadget keeps its settings, one file for the window and the terminal:
// $XDG_CONFIG_HOME/solvane/solvane.conf, or ~/.config/solvane/solvane.conf. It is an
// INI file of plain ASCII keys in the one group [solvane], so that a small reader
// finds a key without Qt.

#include <optional>
#include <string>
#include <string_view>

// The group that holds every key of the file.
inline constexpr std::string_view kSettingsGroup = "solvane";

// The key of the region whose public holidays add to the nation's: a region's ASCII
// key ("alsace-moselle"), as calendar::RegionKey gives it.
inline constexpr std::string_view kRegionSettingKey = "region";

// The file holds a handful of short lines; a larger one is not the gadget's, and is
// not read.
inline constexpr long kLargestSettingsBytes = 64 * 1024;

// The folder of the user's configuration files: `xdgConfigHome` when it is an
// absolute path (the XDG Base Directory rule ignores a relative one), otherwise
// `home`/.config; empty when neither is given. Either argument may be null.
std::string ConfigFolder(const char* xdgConfigHome, const char* home);

// The gadget's folder in the folder above, and its settings file there; empty when
// there is none.
std::string SettingsFolder(const char* xdgConfigHome, const char* home);
std::string SettingsFilePath(const char* xdgConfigHome, const char* home);

// The same, from XDG_CONFIG_HOME and HOME of the environment.
std::string SettingsFolder();
std::string SettingsFilePath();

// The value of `key` in the group [solvane] of the INI file at `path`, its blanks
// around trimmed and its quotes, if any, removed; none when the file is missing,
// not an ordinary file, larger than kLargestSettingsBytes or without the key.
std::optional<std::string> SettingsValue(const std::string& path, std::string_view key);
