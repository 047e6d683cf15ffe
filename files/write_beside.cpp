#include "files/write_beside.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "files/descriptor.h"

namespace files {

namespace {

// Another program saving holds the folder's lock for a rename; a lock held longer is
// not waited for past this, so that the window never hangs on it.
constexpr auto kLongestLockWait = std::chrono::milliseconds(250);
constexpr auto kLockRetry = std::chrono::milliseconds(2);

// Waits for the folder's lock a short while; goes on without it past that.
void LockFolder(int folder) {
    const auto giveUp = std::chrono::steady_clock::now() + kLongestLockWait;
    while (flock(folder, LOCK_EX | LOCK_NB) != 0 && (errno == EWOULDBLOCK || errno == EINTR) &&
           std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(kLockRetry);
    }
}

class FolderLock {
public:
    FolderLock(int folder, bool wanted) : folder_(wanted ? folder : -1) {
        if (folder_ >= 0) LockFolder(folder_);
    }
    ~FolderLock() {
        if (folder_ >= 0) flock(folder_, LOCK_UN);
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int folder_;
};

bool WriteAll(int fd, std::string_view bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t count = write(fd, bytes.data() + done, bytes.size() - done);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) return false;
        done += std::size_t(count);
    }
    return true;
}

// A new file in `folder` beside `name`, holding `pieces` with the mode `mode` (or
// kUmaskMode), flushed to the disk; its name, or none, and its identity in `identity`.
std::optional<std::string> NewFile(int folder, const std::string& name, std::span<const std::string_view> pieces,
                                   int mode, FileIdentity& identity) {
    static std::atomic<unsigned> counter = 0;
    // A name as long as the folder allows still has a temporary beside it: the name's
    // part in it is cut (on a character's start) so that the whole fits.
    const long longest = fpathconf(folder, _PC_NAME_MAX);
    const std::size_t nameMax = longest > 0 ? std::size_t(longest) : NAME_MAX;
    for (int attempt = 0; attempt < 16; ++attempt) {
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        const std::string suffix = "." + std::to_string(getpid()) + "-" + std::to_string(++counter) + "-" +
                                   std::to_string(stamp % 1'000'000) + ".tmp";  // at most 33 bytes
        std::size_t kept = std::min(name.size(), nameMax - std::min(nameMax, suffix.size() + 1));
        while (kept > 0 && kept < name.size() && (static_cast<unsigned char>(name[kept]) & 0xC0) == 0x80) --kept;
        const std::string temporary = "." + name.substr(0, kept) + suffix;
        const int created = mode == kUmaskMode ? 0666 : mode & 0777;
        Descriptor file(
            openat(folder, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode_t(created)));
        if (!file.IsOpen() && errno == EEXIST) continue;
        if (!file.IsOpen()) return std::nullopt;
        struct stat status = {};
        const bool written =
            (mode == kUmaskMode || fchmod(file.Get(), mode_t(mode)) == 0) &&
            std::ranges::all_of(pieces, [&](std::string_view piece) { return WriteAll(file.Get(), piece); }) &&
            fsync(file.Get()) == 0 && fstat(file.Get(), &status) == 0 && close(file.Release()) == 0;
        // A rename or a link keeps the inode, the size and the modification time.
        identity = IdentityOf(status);
        if (written) return temporary;
        unlinkat(folder, temporary.c_str(), 0);
        return std::nullopt;
    }
    return std::nullopt;
}

// Keeps the file `name` under a name of its own beside it, without copying it: a
// second name first, the rename of the new file then takes the first. Its name, or
// none when no name was free or the system refused.
std::optional<std::string> KeepAside(int folder, const std::string& name, const std::string& suffix) {
    for (int number = 1; number <= 9; ++number) {
        const std::string kept = name + suffix + (number == 1 ? "" : "-" + std::to_string(number));
        if (linkat(folder, name.c_str(), folder, kept.c_str(), 0) == 0) return kept;
        if (errno == EEXIST) continue;
        // A file system without hard links: renamed, the file's place stays empty until the rename below.
        if (renameat2(folder, name.c_str(), folder, kept.c_str(), RENAME_NOREPLACE) == 0) return kept;
        if (errno != EEXIST) return std::nullopt;
    }
    return std::nullopt;
}

// Puts the new file at `name` without replacing anything there: a second name, then
// the temporary one removed. False with errno EEXIST when the name is taken.
bool LinkInPlace(int folder, const std::string& temporary, const std::string& name) {
    if (linkat(folder, temporary.c_str(), folder, name.c_str(), 0) == 0) {
        unlinkat(folder, temporary.c_str(), 0);
        return true;
    }
    if (errno == EEXIST) return false;
    // A file system without hard links.
    return renameat2(folder, temporary.c_str(), folder, name.c_str(), RENAME_NOREPLACE) == 0;
}

// Writes `pieces` as the file `name` of the open folder `folder`.
WriteResult WritePieces(int folder, const std::string& name, std::span<const std::string_view> pieces,
                        const WriteOptions& options) {
    FileIdentity identity = kNoFile;
    const std::optional<std::string> temporary = NewFile(folder, name, pieces, options.mode, identity);
    if (!temporary) return {};
    const auto abandon = [&](WriteResult::Status status) {
        unlinkat(folder, temporary->c_str(), 0);
        return WriteResult{.status = status, .keptAside = {}, .identity = kNoFile};
    };
    WriteResult result{.status = WriteResult::Status::Written, .keptAside = {}, .identity = identity};
    {
        // The lock is held only for the check and the rename, never while a file is
        // written to the disk.
        const FolderLock lock(folder, options.lockFolder);
        const FileIdentity found = IdentityAt(folder, name);
        if (options.expected && found != *options.expected) return abandon(WriteResult::Status::Changed);
        if (!options.replace && found != kNoFile) return abandon(WriteResult::Status::Changed);
        if (!options.keepAsideSuffix.empty() && found != kNoFile) {
            const std::optional<std::string> kept = KeepAside(folder, name, options.keepAsideSuffix);
            if (!kept) return abandon(WriteResult::Status::Failed);
            result.keptAside = *kept;
        }
        if (options.replace ? renameat(folder, temporary->c_str(), folder, name.c_str()) != 0
                            : !LinkInPlace(folder, *temporary, name)) {
            return abandon(errno == EEXIST ? WriteResult::Status::Changed : WriteResult::Status::Failed);
        }
    }
    // The rename is in the folder: flushed, it outlives a crash. A file system that
    // cannot flush a folder (EINVAL) keeps it as well as it can; the new file is in
    // place either way, and the old one cannot come back.
    fsync(folder);
    return result;
}

}  // namespace

WriteResult WriteBeside(int folder, const std::string& name, const std::string& bytes, const WriteOptions& options) {
    const std::string_view whole(bytes);
    return WritePieces(folder, name, {&whole, 1}, options);
}

WriteResult::Status RemoveIfUnchanged(int folder, const std::string& name, const FileIdentity& expected) {
    {
        const FolderLock lock(folder, true);
        if (IdentityAt(folder, name) != expected) return WriteResult::Status::Changed;
        if (unlinkat(folder, name.c_str(), 0) != 0) return WriteResult::Status::Failed;
    }
    fsync(folder);
    return WriteResult::Status::Written;
}

WriteResult WriteBeside(const std::string& path, const std::string& bytes, const WriteOptions& options) {
    const std::string_view whole(bytes);
    return WriteBeside(path, {&whole, 1}, options);
}

WriteResult WriteBeside(const std::string& path, std::span<const std::string_view> pieces,
                        const WriteOptions& options) {
    const std::filesystem::path file(path);
    const std::string parent = file.has_parent_path() ? file.parent_path().string() : ".";
    const Descriptor folder(open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.IsOpen()) return {};
    return WritePieces(folder.Get(), file.filename(), pieces, options);
}

}  // namespace files
