#include "agendas/safety_net.h"

#include <sys/stat.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <vector>

#include "files/bounded_read.h"
#include "files/write_beside.h"

namespace agendas {

namespace {

namespace fs = std::filesystem;

std::tm LocalOf(std::int64_t now) {
    const std::time_t seconds = std::time_t(now);
    std::tm local{};
    localtime_r(&seconds, &local);
    return local;
}

std::string Formatted(const std::tm& local, const char* format) {
    char text[32];
    return std::string(text, std::strftime(text, sizeof text, format, &local));
}

// A title as part of a file name: no slash, no control character, no leading dot,
// at most 60 bytes cut on a character's start.
std::string NamePart(const std::string& title) {
    std::string part;
    for (const char c : title) part += (c == '/' || (unsigned char)c < 0x20 || c == 0x7F) ? '_' : c;
    while (!part.empty() && part.front() == '.') part.erase(0, 1);
    if (part.size() > 60) {
        std::size_t cut = 60;
        while (cut > 0 && ((unsigned char)part[cut] & 0xC0) == 0x80) --cut;
        part.resize(cut);
    }
    return part.empty() ? "sans titre" : part;
}

// The day folders, "AAAA-MM-JJ", oldest first.
std::vector<fs::path> DayFolders(const std::string& netFolder) {
    std::vector<fs::path> days;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(netFolder, error)) {
        const std::string name = entry.path().filename();
        if (name.size() == 10 && name[4] == '-' && name[7] == '-' && entry.is_directory(error)) days.push_back(entry);
    }
    std::sort(days.begin(), days.end());
    return days;
}

std::uintmax_t SizeOf(const fs::path& folder) {
    std::uintmax_t size = 0;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        if (entry.is_regular_file(error)) size += entry.file_size(error);
    }
    return size;
}

}  // namespace

std::string SafetyNetFolder(const std::string& stateFolder) {
    return stateFolder.empty() ? std::string() : stateFolder + "/solvane/sauvegardes";
}

bool KeepBeforeChange(const std::string& netFolder, const std::string& path, const std::string& bytes,
                      const std::string& title, std::int64_t now) {
    if (netFolder.empty()) return false;
    const std::tm local = LocalOf(now);
    const std::string day = netFolder + "/" + Formatted(local, "%Y-%m-%d");
    std::error_code error;
    fs::create_directories(day, error);
    fs::permissions(netFolder, fs::perms::owner_all, error);
    const std::string stem = Formatted(local, "%H-%M-%S") + " " + NamePart(title) + " -- ";
    const std::string file = fs::path(path).filename();
    std::string kept;
    for (int number = 1; number <= 99 && kept.empty(); ++number) {
        const std::string name = stem + (number == 1 ? "" : std::to_string(number) + " ") + file;
        if (files::WriteBeside(day + "/" + name, bytes, {.mode = 0600, .replace = false}).status ==
            files::WriteResult::Status::Written) {
            kept = name;
        }
    }
    if (kept.empty()) return false;
    // The index is rewritten whole, as every file of the program; it is small (a line a change).
    const std::string index = day + "/index.txt";
    const files::FileReading before = files::ReadOrdinaryFile(index, 4 * 1024 * 1024);
    const std::string line = Formatted(local, "%H:%M:%S") + "\t" + kept + "\t" + path + "\t" + NamePart(title) + "\n";
    files::WriteBeside(index, before.bytes + line, {.mode = 0600});
    TrimSafetyNet(netFolder, now);
    return true;
}

void TrimSafetyNet(const std::string& netFolder, std::int64_t now) {
    const std::string today = Formatted(LocalOf(now), "%Y-%m-%d");
    const std::string oldest = Formatted(LocalOf(now - std::int64_t(kKeptDays) * 86400), "%Y-%m-%d");
    std::vector<fs::path> days = DayFolders(netFolder);
    std::vector<std::uintmax_t> sizes;
    std::uintmax_t total = 0;
    for (const fs::path& day : days) total += sizes.emplace_back(SizeOf(day));
    std::error_code error;
    for (std::size_t at = 0; at < days.size(); ++at) {
        const std::string name = days[at].filename();
        if (name == today) break;
        if (name >= oldest && total <= kLargestSafetyNetBytes) continue;
        fs::remove_all(days[at], error);
        total -= sizes[at];
    }
}

}  // namespace agendas
