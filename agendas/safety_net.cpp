#include "agendas/safety_net.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
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

// The calendar file's name as the end of a kept name of at most `room` bytes: a vdir
// names its files after their UIDs, which have no bound. A longer one is cut on a
// character's start, its extension kept; the index keeps the whole path.
std::string FilePart(const std::string& file, std::size_t room) {
    if (file.size() <= room) return file;
    const std::size_t dot = file.rfind('.');
    const std::string extension = dot != std::string::npos && file.size() - dot <= 8 ? file.substr(dot) : "";
    const std::string cutMark = "…";
    std::size_t cut = room - std::min(room, extension.size() + cutMark.size());
    while (cut > 0 && ((unsigned char)file[cut] & 0xC0) == 0x80) --cut;
    return file.substr(0, cut) + cutMark + extension;
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

struct KeptFile {
    fs::path path;
    std::uintmax_t size = 0;
};

// A day folder's kept files, oldest first (their names begin with the time they were
// kept), and the size of its index.
struct KeptDay {
    fs::path folder;
    std::vector<KeptFile> files;
    std::uintmax_t indexSize = 0;
};

KeptDay KeptDayOf(const fs::path& folder) {
    KeptDay day{.folder = folder, .files = {}, .indexSize = 0};
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        if (!entry.is_regular_file(error)) continue;
        const std::uintmax_t size = entry.file_size(error);
        if (error) continue;
        if (entry.path().filename() == "index.txt") {
            day.indexSize = size;
        } else {
            day.files.push_back({entry.path(), size});
        }
    }
    std::ranges::sort(day.files, {}, &KeptFile::path);
    return day;
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
    // The kept name fits the folder's bound with the « 99 » of the last one tried.
    const long longest = pathconf(day.c_str(), _PC_NAME_MAX);
    const std::size_t nameMax = longest > 0 ? std::size_t(longest) : NAME_MAX;
    const std::string file = FilePart(fs::path(path).filename(), nameMax - std::min(nameMax, stem.size() + 3));
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
    TrimSafetyNet(netFolder, now, day + "/" + kept);
    return true;
}

void TrimSafetyNet(const std::string& netFolder, std::int64_t now, const std::string& justKept) {
    const std::string today = Formatted(LocalOf(now), "%Y-%m-%d");
    const std::string oldest = Formatted(LocalOf(now - std::int64_t(kKeptDays) * 86400), "%Y-%m-%d");
    std::vector<fs::path> days = DayFolders(netFolder);
    std::error_code error;
    std::erase_if(days, [&](const fs::path& day) {
        const bool old = day.filename() != today && day.filename() < oldest;
        if (old) fs::remove_all(day, error);
        return old;
    });
    std::vector<KeptDay> kept;
    std::uintmax_t total = 0;
    for (const fs::path& day : days) {
        const KeptDay& read = kept.emplace_back(KeptDayOf(day));
        total += read.indexSize;
        for (const KeptFile& file : read.files) total += file.size;
    }
    // Past the bound, the oldest kept files go first, today's too; a day left without
    // one goes with its index.
    for (const KeptDay& day : kept) {
        if (total <= kLargestSafetyNetBytes) break;
        std::size_t left = day.files.size();
        for (const KeptFile& file : day.files) {
            if (total <= kLargestSafetyNetBytes) break;
            if (file.path == justKept || !fs::remove(file.path, error)) continue;
            total -= file.size;
            --left;
        }
        if (left == 0 && day.folder.filename() != today) {
            fs::remove_all(day.folder, error);
            total -= day.indexSize;
        }
    }
}

}  // namespace agendas
