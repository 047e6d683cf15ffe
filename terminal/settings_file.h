#pragma once
// Where the gadget keeps its settings, one file for the window and the terminal:
// $XDG_CONFIG_HOME/solvane/solvane.conf, or ~/.config/solvane/solvane.conf. It is an
// INI file of plain ASCII keys in the one group [solvane], so that a small reader
// finds a key without Qt.

#include <string>
#include <string_view>

// The group that holds every key of the file.
inline constexpr std::string_view kSettingsGroup = "solvane";

// The folder of the user's configuration files: `xdgConfigHome` when it is an
// absolute path (the XDG Base Directory rule ignores a relative one), otherwise
// `home`/.config; empty when neither is given. Either argument may be null.
std::string ConfigFolder(const char* xdgConfigHome, const char* home);

// The settings file of the folder above; empty when there is none.
std::string SettingsFilePath(const char* xdgConfigHome, const char* home);

// The same, from XDG_CONFIG_HOME and HOME of the environment.
std::string SettingsFilePath();
