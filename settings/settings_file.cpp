#include "settings/settings_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace settings {

namespace {

// A descriptor closed at the end of its scope.
struct Descriptor {
    int fd = -1;
    explicit Descriptor(int opened) : fd(opened) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd >= 0) close(fd);
    }
};

// Another program saving holds the folder's lock for a rename; a lock held longer is
// not waited for past this, so that the window never hangs on it.
constexpr auto kLongestLockWait = std::chrono::milliseconds(250);
constexpr auto kLockRetry = std::chrono::milliseconds(2);
// Saves made again because another program saved first; past this many, the system
// is too busy for the save, which fails as a refused one does.
constexpr int kMostAttempts = 50;

// Reads an ordinary file already opened, at most kLargestSettingsBytes of it.
Reading ReadOpened(int fd) {
    struct stat status = {};
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) return {.state = Reading::State::NotAFile, .text = {}};
    std::string bytes;
    char buffer[8192];
    for (;;) {
        const ssize_t count = read(fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) return {.state = Reading::State::Unreadable, .text = {}};
        if (count == 0) break;
        bytes.append(buffer, std::size_t(count));
        if (bytes.size() > std::size_t(kLargestSettingsBytes)) return {.state = Reading::State::Unreadable, .text = {}};
    }
    std::optional<IniText> text = IniText::Parse(bytes);
    if (!text) return {.state = Reading::State::Unreadable, .text = {}};
    return {.state = Reading::State::Read, .text = std::move(*text)};
}

// `name` in the folder `folder` opened, read as ReadSettings does. Only an ordinary
// file is opened: opening a device can have effects of its own, and a FIFO waits
// for a writer.
Reading ReadAt(int folder, const char* name) {
    struct stat status = {};
    if (fstatat(folder, name, &status, 0) != 0) {
        if (errno != ENOENT) return {.state = Reading::State::Unreadable, .text = {}};
        const bool link = fstatat(folder, name, &status, AT_SYMLINK_NOFOLLOW) == 0;  // a dangling link
        return {.state = link ? Reading::State::NotAFile : Reading::State::Missing, .text = {}};
    }
    if (!S_ISREG(status.st_mode)) return {.state = Reading::State::NotAFile, .text = {}};
    if (status.st_size > kLargestSettingsBytes) return {.state = Reading::State::Unreadable, .text = {}};
    const Descriptor file(openat(folder, name, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.fd < 0) return {.state = Reading::State::Unreadable, .text = {}};
    return ReadOpened(file.fd);
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

// Waits for the folder's lock a short while; writes without it past that.
void LockFolder(int folder) {
    const auto giveUp = std::chrono::steady_clock::now() + kLongestLockWait;
    while (flock(folder, LOCK_EX | LOCK_NB) != 0 && (errno == EWOULDBLOCK || errno == EINTR) &&
           std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(kLockRetry);
    }
}

bool WriteAll(int fd, const std::string& bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t count = write(fd, bytes.data() + done, bytes.size() - done);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) return false;
        done += std::size_t(count);
    }
    return true;
}

// The mode of a new file that replaces none: the umask's.
constexpr int kUmaskMode = -1;

// A new file in `folder` holding `bytes`, with the mode `mode` (or kUmaskMode),
// flushed to the disk; its name, or none.
std::optional<std::string> NewFile(int folder, const std::string& name, const std::string& bytes, int mode) {
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 16; ++attempt) {
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        const std::string temporary = "." + name + "." + std::to_string(getpid()) + "-" + std::to_string(++counter) +
                                      "-" + std::to_string(stamp % 1'000'000);
        const Descriptor file(
            openat(folder, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
        if (file.fd < 0 && errno == EEXIST) continue;
        if (file.fd < 0) return std::nullopt;
        const bool written = (mode == kUmaskMode || fchmod(file.fd, mode_t(mode)) == 0) && WriteAll(file.fd, bytes) &&
                             fsync(file.fd) == 0;
        if (written) return temporary;
        unlinkat(folder, temporary.c_str(), 0);
        return std::nullopt;
    }
    return std::nullopt;
}

// Keeps the file `name` under a name of its own beside it, without copying it: a
// second name first, the rename of the new file then takes the first. Its name, or
// none when no name was free or the system refused.
std::optional<std::string> KeepAside(int folder, const std::string& name) {
    for (int number = 1; number <= 9; ++number) {
        const std::string kept = name + ".illisible" + (number == 1 ? "" : "-" + std::to_string(number));
        if (linkat(folder, name.c_str(), folder, kept.c_str(), 0) == 0) return kept;
        if (errno == EEXIST) continue;
        // A file system without hard links: renamed, the file's place stays empty until the rename below.
        if (renameat2(folder, name.c_str(), folder, kept.c_str(), RENAME_NOREPLACE) == 0) return kept;
        if (errno != EEXIST) return std::nullopt;
    }
    return std::nullopt;
}

std::string Refused(const std::string& path) { return "les réglages ne peuvent pas être écrits dans " + path + "."; }

std::string NotKeptSentence(const std::string& path) {
    return path +
           " n'est pas un fichier ordinaire de l'utilisateur : rien n'y est écrit, et les réglages ne seront "
           "pas retenus.";
}

// Which file stands at a name: a save puts another inode there, and its rename
// changes the status time of the one it moves; a file edited in place changes its
// size or its status time too.
struct FileIdentity {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    long long changedSeconds = 0;
    long changedNanoseconds = 0;
    int mode = 0;
    bool operator==(const FileIdentity&) const = default;
};

FileIdentity IdentityAt(int folder, const char* name) {
    struct stat status = {};
    if (fstatat(folder, name, &status, AT_SYMLINK_NOFOLLOW) != 0) return {};
    return {.exists = true,
            .device = status.st_dev,
            .inode = status.st_ino,
            .size = status.st_size,
            .changedSeconds = status.st_ctim.tv_sec,
            .changedNanoseconds = status.st_ctim.tv_nsec,
            .mode = int(status.st_mode & 07777)};
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

std::string ConfigFolder() { return ConfigFolder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME")); }

std::string SettingsFolder() { return SettingsFolder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME")); }

std::string SettingsFilePath() { return SettingsFilePath(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME")); }

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
    return ReadAt(AT_FDCWD, path.c_str());
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
        array.push_back(std::move(written));
    }
    text.SetArray(kAgendasGroup, array);
}

WriteOutcome UpdateSettings(const std::string& path, const std::function<void(IniText&)>& change) {
    const std::optional<Target> target = WriteTarget(path);
    if (!target) return {.state = WriteOutcome::State::NotKept, .sentence = NotKeptSentence(path)};
    std::error_code ignored;
    std::filesystem::create_directories(target->folder, ignored);
    const Descriptor folder(open(target->folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.fd < 0) return {.state = WriteOutcome::State::Failed, .sentence = Refused(path)};
    const char* name = target->name.c_str();

    // The new file is made from what the file holds, then put in its place only if no
    // other program has saved in between; otherwise made again from what that one
    // wrote. The folder's lock is held only for that check and the rename, never
    // while a file is written to the disk.
    for (int attempt = 0; attempt < kMostAttempts; ++attempt) {
        const FileIdentity before = IdentityAt(folder.fd, name);
        const Reading reading = ReadAt(folder.fd, name);
        if (reading.state == Reading::State::NotAFile) {
            return {.state = WriteOutcome::State::NotKept, .sentence = NotKeptSentence(path)};
        }
        IniText text = reading.text;
        change(text);
        // The new file takes the mode of the one it replaces, but of an unreadable one,
        // whose mode may be what made it so.
        const int mode = reading.state == Reading::State::Read && before.exists ? before.mode : kUmaskMode;
        const std::optional<std::string> temporary = NewFile(folder.fd, target->name, text.Text(), mode);
        if (!temporary) return {.state = WriteOutcome::State::Failed, .sentence = Refused(path)};

        LockFolder(folder.fd);
        if (IdentityAt(folder.fd, name) != before) {
            flock(folder.fd, LOCK_UN);
            unlinkat(folder.fd, temporary->c_str(), 0);
            continue;
        }
        std::optional<std::string> kept;
        if (reading.state == Reading::State::Unreadable) kept = KeepAside(folder.fd, target->name);
        const bool renamed = (reading.state != Reading::State::Unreadable || kept) &&
                             renameat(folder.fd, temporary->c_str(), folder.fd, name) == 0;
        flock(folder.fd, LOCK_UN);
        if (!renamed) {
            unlinkat(folder.fd, temporary->c_str(), 0);
            return {.state = WriteOutcome::State::Failed, .sentence = Refused(path)};
        }
        if (!kept) return {.state = WriteOutcome::State::Written, .sentence = ""};
        return {.state = WriteOutcome::State::Written,
                .sentence = path + " ne se lisait pas comme des réglages : il est gardé tel quel dans " +
                            (target->folder / *kept).string() + ", et les réglages repartent de zéro."};
    }
    return {.state = WriteOutcome::State::Failed, .sentence = Refused(path)};
}

}  // namespace settings
