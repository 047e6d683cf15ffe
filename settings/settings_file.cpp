#include "settings/settings_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <climits>
#include <filesystem>

#include "files/bounded_read.h"
#include "files/descriptor.h"
#include "files/write_beside.h"
#include "files/xdg_folders.h"

namespace settings {

namespace {

// Saves made again because another program saved first; past this many, the system
// is too busy for the save, which fails as a refused one does.
constexpr int kMostAttempts = 50;

// What the room of files found, as settings.
struct SettingsReading {
    Reading reading;
    files::FileIdentity identity;
    int mode = files::kUmaskMode;  // of the file read
};

// `name` in the folder `folder` opened, read as ReadSettings does.
SettingsReading ReadAt(int folder, const std::string& name) {
    files::FileReading file = files::ReadOrdinaryFileAt(folder, name, std::size_t(kLargestSettingsBytes));
    SettingsReading read{.reading = {}, .identity = file.identity, .mode = int(file.mode & 07777)};
    switch (file.found) {
    case files::FileReading::Found::Missing: read.reading.state = Reading::State::Missing; break;
    case files::FileReading::Found::DanglingLink:
    case files::FileReading::Found::NotAFile: read.reading.state = Reading::State::NotAFile; break;
    case files::FileReading::Found::TooLarge:
    case files::FileReading::Found::Unreadable: read.reading.state = Reading::State::Unreadable; break;
    case files::FileReading::Found::Read:
        std::optional<IniText> text = IniText::Parse(file.bytes);
        read.reading.state = text ? Reading::State::Read : Reading::State::Unreadable;
        if (text) read.reading.text = std::move(*text);
        break;
    }
    return read;
}

// Where a write goes: the folder and the name of the file that is replaced.
struct Target {
    std::filesystem::path folder;
    std::string name;
};

// The file a write replaces: the path itself, or the target of a link to an ordinary
// file of the user's own; none when something else stands there.
std::optional<Target> WriteTarget(const std::filesystem::path& path) {
    struct stat status = {};
    if (lstat(path.c_str(), &status) != 0) {
        return Target{.folder = path.parent_path(), .name = path.filename()};  // created, or failing, below
    }
    if (S_ISREG(status.st_mode)) return Target{.folder = path.parent_path(), .name = path.filename()};
    if (!S_ISLNK(status.st_mode)) return std::nullopt;
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved) == nullptr) return std::nullopt;  // dangling, or a loop
    if (stat(resolved, &status) != 0 || !S_ISREG(status.st_mode) || status.st_uid != geteuid()) return std::nullopt;
    const std::filesystem::path target = resolved;
    return Target{.folder = target.parent_path(), .name = target.filename()};
}

std::string Refused(const std::string& path) { return "les réglages ne peuvent pas être écrits dans " + path + "."; }

std::string NotKeptSentence(const std::string& path) {
    return path +
           " n'est pas un fichier ordinaire de l'utilisateur : rien n'y est écrit, et les réglages ne seront "
           "pas retenus.";
}

}  // namespace

std::string ConfigFolder(const char* xdgConfigHome, const char* home) {
    return files::XdgFolder(files::XdgKind::Config, xdgConfigHome, home);
}

namespace {

std::string InConfigFolder(const std::string& folder) { return folder.empty() ? folder : folder + "/solvane"; }

std::string SettingsIn(const std::string& folder) { return folder.empty() ? folder : folder + "/solvane.conf"; }

}  // namespace

std::string SettingsFolder(const char* xdgConfigHome, const char* home) {
    return InConfigFolder(ConfigFolder(xdgConfigHome, home));
}

std::string SettingsFilePath(const char* xdgConfigHome, const char* home) {
    return SettingsIn(SettingsFolder(xdgConfigHome, home));
}

std::string ConfigFolder() { return files::XdgFolder(files::XdgKind::Config); }

std::string SettingsFolder() { return InConfigFolder(ConfigFolder()); }

std::string SettingsFilePath() { return SettingsIn(SettingsFolder()); }

std::vector<std::string> FoldersOfTheFile(const std::string& path) {
    if (path.empty()) return {};
    std::vector<std::string> folders{std::filesystem::path(path).parent_path()};
    struct stat status = {};
    char resolved[PATH_MAX];
    if (lstat(path.c_str(), &status) == 0 && S_ISLNK(status.st_mode) && realpath(path.c_str(), resolved) != nullptr &&
        stat(resolved, &status) == 0 && S_ISREG(status.st_mode)) {
        folders.push_back(std::filesystem::path(resolved).parent_path());
    }
    return folders;
}

Reading ReadSettings(const std::string& path) {
    if (path.empty()) return {};
    return ReadAt(AT_FDCWD, path).reading;
}

std::optional<std::string> SettingsValue(const std::string& path, std::string_view key) {
    const Reading reading = ReadSettings(path);
    return reading.text.Value(kGroup, key);
}

std::vector<AgendaEntry> AgendaEntries(const IniText& text) {
    std::vector<AgendaEntry> agendas;
    for (const IniText::ArrayEntry& entry : text.Array(kAgendasGroup)) {
        AgendaEntry agenda;
        for (const auto& [key, value] : entry) {
            if (key == kAgendaSourceKey) agenda.source = value;
            if (key == kAgendaNameKey) agenda.name = value;
            if (key == kAgendaWritableKey) agenda.writable = value == "true";
        }
        if (!agenda.source.empty()) agendas.push_back(std::move(agenda));
    }
    return agendas;
}

std::vector<AgendaEntry> AgendaEntries(const std::string& path) { return AgendaEntries(ReadSettings(path).text); }

void SetAgendaEntries(IniText& text, const std::vector<AgendaEntry>& entries) {
    std::vector<IniText::ArrayEntry> array;
    for (const AgendaEntry& entry : entries) {
        IniText::ArrayEntry written;
        if (!entry.name.empty()) written.emplace_back(kAgendaNameKey, entry.name);
        written.emplace_back(kAgendaSourceKey, entry.source);
        if (entry.writable) written.emplace_back(kAgendaWritableKey, "true");
        array.push_back(std::move(written));
    }
    text.SetArray(kAgendasGroup, array);
}

WriteOutcome UpdateSettings(const std::string& path, const std::function<void(IniText&)>& change) {
    const std::optional<Target> target = WriteTarget(path);
    if (!target) return {.state = WriteOutcome::State::NotKept, .sentence = NotKeptSentence(path)};
    std::error_code ignored;
    std::filesystem::create_directories(target->folder, ignored);
    const files::Descriptor folder(open(target->folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.IsOpen()) return {.state = WriteOutcome::State::Failed, .sentence = Refused(path)};

    // The new file is made from what the file holds, then put in its place only if no
    // other program has saved in between (the folder's lock held for that check and
    // the rename); otherwise made again from what that one wrote.
    for (int attempt = 0; attempt < kMostAttempts; ++attempt) {
        const SettingsReading read = ReadAt(folder.Get(), target->name);
        if (read.reading.state == Reading::State::NotAFile) {
            return {.state = WriteOutcome::State::NotKept, .sentence = NotKeptSentence(path)};
        }
        IniText text = read.reading.text;
        change(text);
        const bool unreadable = read.reading.state == Reading::State::Unreadable;
        // The new file takes the mode of the one it replaces, but of an unreadable one,
        // whose mode may be what made it so.
        const files::WriteResult written =
            files::WriteBeside(folder.Get(), target->name, text.Text(),
                               {.mode = read.reading.state == Reading::State::Read ? read.mode : files::kUmaskMode,
                                .expected = read.identity,
                                .replace = true,
                                .lockFolder = true,
                                .keepAsideSuffix = unreadable ? ".illisible" : ""});
        if (written.status == files::WriteResult::Status::Changed) continue;
        if (written.status == files::WriteResult::Status::Failed) {
            return {.state = WriteOutcome::State::Failed, .sentence = Refused(path)};
        }
        if (written.keptAside.empty()) return {.state = WriteOutcome::State::Written, .sentence = ""};
        return {.state = WriteOutcome::State::Written,
                .sentence = path + " ne se lisait pas comme des réglages : il est gardé tel quel dans " +
                            (target->folder / written.keptAside).string() + ", et les réglages repartent de zéro."};
    }
    return {.state = WriteOutcome::State::Failed, .sentence = Refused(path)};
}

}  // namespace settings
