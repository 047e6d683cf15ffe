#include "reminders/state_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <filesystem>

namespace reminders {

namespace {

bool MakeFolder(const std::string& folder) {
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(folder).parent_path(), ignored);
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return false;
    struct stat status = {};
    return stat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
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

bool SyncFolder(const std::string& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool synced = fsync(fd) == 0;
    close(fd);
    return synced;
}

}  // namespace

bool ReadStateFile(const std::string& folder, std::string_view name, std::string& bytes) {
    const std::string path = folder + "/" + std::string(name);
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat status = {};
    bool read_ = fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && std::size_t(status.st_size) <= kLargestStateFile;
    char buffer[4096];
    while (read_) {
        const ssize_t count = read(fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) {
            read_ = count == 0;
            break;
        }
        bytes.append(buffer, std::size_t(count));
        read_ = bytes.size() <= kLargestStateFile;
    }
    close(fd);
    return read_;
}

bool WriteStateFile(const std::string& folder, std::string_view name, const std::string& bytes) {
    if (!MakeFolder(folder)) return false;
    static std::atomic<unsigned> counter = 0;
    const std::string path = folder + "/" + std::string(name);
    const std::string temporary = path + ".nouveau-" + std::to_string(getpid()) + "-" + std::to_string(++counter);
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    bool written = WriteAll(fd, bytes);
    written = fsync(fd) == 0 && written;
    written = close(fd) == 0 && written;
    if (written && std::rename(temporary.c_str(), path.c_str()) == 0) return SyncFolder(folder);
    unlink(temporary.c_str());
    return false;
}

}  // namespace reminders
