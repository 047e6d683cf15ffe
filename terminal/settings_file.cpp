#include "terminal/settings_file.h"

#include <sys/stat.h>
#include <cstdlib>
#include <fstream>

namespace {

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

}  // namespace

std::string ConfigFolder(const char* xdgConfigHome, const char* home) {
    if (xdgConfigHome != nullptr && xdgConfigHome[0] == '/') return xdgConfigHome;
    if (home != nullptr && home[0] != '\0') return std::string(home) + "/.config";
    return {};
}

std::string SettingsFolder(const char* xdgConfigHome, const char* home) {
    const std::string folder = ConfigFolder(xdgConfigHome, home);
    return folder.empty() ? folder : folder + "/solvane";
}

std::string SettingsFilePath(const char* xdgConfigHome, const char* home) {
    const std::string folder = SettingsFolder(xdgConfigHome, home);
    return folder.empty() ? folder : folder + "/solvane.conf";
}

std::string SettingsFolder() { return SettingsFolder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME")); }

std::string SettingsFilePath() { return SettingsFilePath(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME")); }

std::optional<std::string> SettingsValue(const std::string& path, std::string_view key) {
    // Only an ordinary file of a sensible size: a pipe or a device in its place would
    // hold the answer up.
    struct stat status = {};
    if (path.empty() || stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode) ||
        status.st_size > kLargestSettingsBytes) {
        return std::nullopt;
    }
    std::ifstream file(path, std::ios::binary);
    bool inGroup = false;
    for (std::string line; std::getline(file, line);) {
        const std::string_view text = Trimmed(line);
        if (text.starts_with('[')) {
            inGroup = text == "[" + std::string(kSettingsGroup) + "]";
            continue;
        }
        const auto equals = text.find('=');
        if (!inGroup || equals == std::string_view::npos || Trimmed(text.substr(0, equals)) != key) continue;
        std::string_view value = Trimmed(text.substr(equals + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
        return std::string(value);
    }
    return std::nullopt;
}
