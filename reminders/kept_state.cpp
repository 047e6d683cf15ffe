#include "reminders/kept_state.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "files/bounded_read.h"
#include "files/file_identity.h"
#include "files/write_beside.h"
#include "files/xdg_folders.h"

namespace reminders {

namespace {

constexpr std::string_view kHeader = "solvane-rappels 1";
constexpr std::string_view kFileName = "rappels.etat";

bool Instant(const std::string& word, UnixSeconds& instant) {
    if (word.empty() || word.find_first_not_of("0123456789") != std::string::npos) return false;
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(word.c_str(), &end, 10);
    if (errno != 0 || *end != '\0') return false;
    instant = value;
    return true;
}

}  // namespace

std::string KeptStateText(const KeptState& kept) {
    std::ostringstream text;
    text << kHeader << "\n";
    if (kept.lastLooked) text << "vu " << *kept.lastLooked << "\n";
    if (kept.wished) {
        char date[40];
        std::snprintf(date, sizeof date, "%04d-%02d-%02d", kept.wished->year, kept.wished->month, kept.wished->day);
        text << "voeux " << date << "\n";
    }
    for (const auto& [id, mark] : kept.marks) {
        switch (mark.kind) {
        case Mark::Kind::Shown: text << "montre " << mark.fires; break;
        case Mark::Kind::Snoozed: text << "reporte " << mark.fires << " " << mark.until; break;
        case Mark::Kind::Dismissed: text << "ignore " << mark.fires; break;
        }
        text << " " << id << "\n";
    }
    return text.str();
}

KeptState ParseKeptState(std::string_view text) {
    KeptState kept;
    std::istringstream lines{std::string(text)};
    std::string line;
    if (!std::getline(lines, line) || line != kHeader) return kept;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string kind, first, second, id, extra;
        words >> kind >> first;
        Mark mark;
        if (kind == "vu") {
            UnixSeconds instant = 0;
            if (Instant(first, instant) && !(words >> extra)) kept.lastLooked = instant;
            continue;
        }
        if (kind == "voeux") {
            agendas::LocalDate day;
            char end = 0;
            if (std::sscanf(first.c_str(), "%4d-%2d-%2d%c", &day.year, &day.month, &day.day, &end) == 3 &&
                !(words >> extra)) {
                kept.wished = day;
            }
            continue;
        }
        if (kind == "reporte") {
            words >> second;
            if (!Instant(second, mark.until)) continue;
            mark.kind = Mark::Kind::Snoozed;
        } else if (kind == "montre") {
            mark.kind = Mark::Kind::Shown;
        } else if (kind == "ignore") {
            mark.kind = Mark::Kind::Dismissed;
        } else {
            continue;
        }
        if (!Instant(first, mark.fires) || !(words >> id) || (words >> extra)) continue;
        kept.marks[id] = mark;
    }
    return kept;
}

std::string StateFolder() {
    const std::string state = files::XdgFolder(files::XdgKind::State);
    return state.empty() ? state : state + "/solvane";
}

KeptState ReadKeptState(const std::string& folder) {
    if (folder.empty()) return {};
    const files::FileReading reading =
        files::ReadOrdinaryFile(folder + "/" + std::string(kFileName), kLargestStateFile);
    if (reading.found != files::FileReading::Found::Read) return {};
    return ParseKeptState(reading.bytes);
}

bool WriteKeptState(const std::string& folder, const KeptState& kept) {
    if (!files::MakeOwnFolder(folder)) return false;
    const std::string path = folder + "/" + std::string(kFileName);
    // Anything but an ordinary file in its place (a FIFO, a device, a link) was put
    // there by the user, and stays, as in the settings file's place.
    struct stat status = {};
    if (files::StatusAt(AT_FDCWD, path, false, status) && !S_ISREG(status.st_mode)) return false;
    const files::WriteResult written = files::WriteBeside(path, KeptStateText(kept), {.mode = 0600});
    return written.status == files::WriteResult::Status::Written;
}

}  // namespace reminders
