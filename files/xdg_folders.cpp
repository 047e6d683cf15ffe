#include "files/xdg_folders.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

namespace files {

namespace {

struct XdgRow {
    XdgKind kind;
    const char* variable;
    const char* underHome;
};

// The variables of the XDG Base Directory rules (freedesktop.org, 0.8) and their defaults.
constexpr XdgRow kXdgRows[] = {
    {.kind = XdgKind::Config, .variable = "XDG_CONFIG_HOME", .underHome = "/.config"},
    {.kind = XdgKind::Cache, .variable = "XDG_CACHE_HOME", .underHome = "/.cache"},
    {.kind = XdgKind::State, .variable = "XDG_STATE_HOME", .underHome = "/.local/state"},
    {.kind = XdgKind::Data, .variable = "XDG_DATA_HOME", .underHome = "/.local/share"},
};

const XdgRow& RowOf(XdgKind kind) {
    for (const XdgRow& row : kXdgRows) {
        if (row.kind == kind) return row;
    }
    return kXdgRows[0];
}

}  // namespace

std::string XdgFolder(XdgKind kind, const char* variable, const char* home) {
    if (variable != nullptr && variable[0] == '/') return variable;
    if (home != nullptr && home[0] != '\0') return std::string(home) + RowOf(kind).underHome;
    return {};
}

bool MakeOwnFolder(const std::string& folder) {
    if (folder.empty()) return false;
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(folder).parent_path(), ignored);
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return false;
    struct stat status = {};
    return stat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

std::string XdgFolder(XdgKind kind) { return XdgFolder(kind, std::getenv(RowOf(kind).variable), std::getenv("HOME")); }

}  // namespace files
