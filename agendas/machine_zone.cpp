#include "agendas/machine_zone.h"

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "files/bounded_read.h"

namespace agendas {

namespace {

namespace fs = std::filesystem;

// A zone file of tzdata is a few kilobytes; its first bytes say what it is (RFC 8536).
constexpr std::size_t kLargestZoneFile = 1024 * 1024;
constexpr int kMostLinks = 16;

std::optional<std::string> ZoneFileBytes(const std::string& path) {
    files::FileReading reading = files::ReadOrdinaryFile(path, kLargestZoneFile);
    if (reading.found != files::FileReading::Found::Read || !reading.bytes.starts_with("TZif")) return std::nullopt;
    return std::move(reading.bytes);
}

// A relative path with no « . » or « .. » part: a name within the database.
bool IsNameWithin(const fs::path& name) {
    if (name.empty() || name.is_absolute()) return false;
    for (const fs::path& part : name) {
        if (part.empty() || part == "." || part == "..") return false;
    }
    return true;
}

// The name in the database of the file at `path`: the path itself when it lies in the
// database, else the first link on its way that leads there.
std::string NameInDatabase(const std::string& path, const std::string& database) {
    std::error_code error;
    const fs::path realDatabase = fs::canonical(database, error);
    if (error) return {};
    fs::path at = fs::path(path).lexically_normal();
    for (int link = 0; link <= kMostLinks; ++link) {
        fs::path name = at.lexically_relative(database);
        // tzdata's « posix/ » holds the same zones; « right/ » the same wall clocks.
        if (const std::string first = name.begin() != name.end() ? name.begin()->string() : "";
            first == "posix" || first == "right") {
            name = name.lexically_relative(first);
        }
        // A name of the database that leads out of it (« localtime », a link to
        // /etc/localtime) is not the zone's.
        const fs::path real = fs::canonical(at, error);
        if (IsNameWithin(name) && !error && IsNameWithin(real.lexically_relative(realDatabase))) return name;
        const fs::path target = fs::read_symlink(at, error);
        if (error) return {};
        at = (target.is_absolute() ? target : at.parent_path() / target).lexically_normal();
    }
    return {};
}

}  // namespace

std::string ZoneNameOf(const ZoneFiles& files) {
    std::string path = files.localtime;
    if (files.tz != nullptr) {
        std::string zone = files.tz[0] == ':' ? files.tz + 1 : files.tz;
        if (zone.empty()) zone = "UTC";  // as the C library reads an empty TZ
        path = zone.front() == '/' ? zone : files.database + "/" + zone;
    }
    const std::optional<std::string> read = ZoneFileBytes(path);
    if (!read) return {};
    if (std::string name = NameInDatabase(path, files.database); !name.empty()) return name;
    // A copy of a zone file: Debian keeps its name beside it.
    const files::FileReading timezone = files::ReadOrdinaryFile(files.timezone, 256);
    if (timezone.found != files::FileReading::Found::Read) return {};
    const std::string name = timezone.bytes.substr(0, timezone.bytes.find_first_of(" \t\r\n"));
    if (!IsNameWithin(name) || ZoneFileBytes(files.database + "/" + name) != read) return {};
    return name;
}

std::string MachineZoneName() {
    ZoneFiles files{.tz = std::getenv("TZ")};
    if (const char* folder = std::getenv("TZDIR"); folder != nullptr && folder[0] == '/') files.database = folder;
    return ZoneNameOf(files);
}

}  // namespace agendas
