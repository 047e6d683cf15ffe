#include "reminders/kept_state.h"

#include <cerrno>
#include <cstdlib>
#include <sstream>

#include "reminders/state_file.h"

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

std::string StateFolder(const char* xdgStateHome, const char* home) {
    if (xdgStateHome != nullptr && xdgStateHome[0] == '/') return std::string(xdgStateHome) + "/solvane";
    if (home != nullptr && home[0] != '\0') return std::string(home) + "/.local/state/solvane";
    return {};
}

std::string StateFolder() { return StateFolder(std::getenv("XDG_STATE_HOME"), std::getenv("HOME")); }

KeptState ReadKeptState(const std::string& folder) {
    std::string bytes;
    if (folder.empty() || !ReadStateFile(folder, kFileName, bytes)) return {};
    return ParseKeptState(bytes);
}

bool WriteKeptState(const std::string& folder, const KeptState& kept) {
    return !folder.empty() && WriteStateFile(folder, kFileName, KeptStateText(kept));
}

}  // namespace reminders
