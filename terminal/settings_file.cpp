#include "terminal/settings_file.h"

#include <cstdlib>

std::string ConfigFolder(const char* xdgConfigHome, const char* home) {
    if (xdgConfigHome != nullptr && xdgConfigHome[0] == '/') return xdgConfigHome;
    if (home != nullptr && home[0] != '\0') return std::string(home) + "/.config";
    return {};
}

std::string SettingsFilePath(const char* xdgConfigHome, const char* home) {
    const std::string folder = ConfigFolder(xdgConfigHome, home);
    return folder.empty() ? folder : folder + "/solvane/solvane.conf";
}

std::string SettingsFilePath() { return SettingsFilePath(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME")); }
