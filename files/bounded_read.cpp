#include "files/bounded_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>

#include "files/descriptor.h"

namespace files {

namespace {

FileReading Found(FileReading::Found found, const struct stat& status) {
    return {.found = found, .bytes = {}, .identity = IdentityOf(status), .mode = status.st_mode, .error = 0};
}

FileReading Refused(int error) {
    return {.found = FileReading::Found::Unreadable, .bytes = {}, .identity = kNoFile, .mode = 0, .error = error};
}

}  // namespace

FileReading ReadOrdinaryFile(const std::string& path, std::size_t largest) {
    return ReadOrdinaryFileAt(AT_FDCWD, path, largest);
}

FileReading ReadOrdinaryFileAt(int folder, const std::string& name, std::size_t largest) {
    // The kind and the size are asked before anything is opened; asked again of the
    // opened file, in case another took its place in between.
    struct stat status = {};
    if (!StatusAt(folder, name, true, status)) {
        if (errno != ENOENT) return Refused(errno);
        if (StatusAt(folder, name, false, status)) {
            return Found(FileReading::Found::DanglingLink, status);
        }
        return {};
    }
    if (!S_ISREG(status.st_mode)) return Found(FileReading::Found::NotAFile, status);
    if (status.st_size < 0 || std::uintmax_t(status.st_size) > largest) {
        return Found(FileReading::Found::TooLarge, status);
    }
    const Descriptor file(openat(folder, name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!file.IsOpen()) {
        FileReading refused = Refused(errno);
        refused.identity = IdentityOf(status);
        refused.mode = status.st_mode;
        return refused;
    }
    if (fstat(file.Get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return Found(FileReading::Found::NotAFile, status);
    }
    FileReading reading = Found(FileReading::Found::Read, status);
    reading.bytes.reserve(std::min(std::size_t(std::max<off_t>(status.st_size, 0)), largest));
    char buffer[65536];
    for (;;) {
        const ssize_t count = read(file.Get(), buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) {
            reading.found = FileReading::Found::Unreadable;
            reading.error = errno;
            reading.bytes.clear();
            return reading;
        }
        if (count == 0) return reading;
        reading.bytes.append(buffer, std::size_t(count));
        if (reading.bytes.size() > largest) {
            reading.found = FileReading::Found::TooLarge;
            reading.bytes.clear();
            return reading;
        }
    }
}

}  // namespace files
