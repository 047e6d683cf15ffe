#include "files/file_identity.h"

#include <fcntl.h>
#include <unistd.h>

#include "files/descriptor.h"

namespace files {

FileIdentity IdentityOf(const struct stat& status) {
    return {.device = std::uint64_t(status.st_dev),
            .inode = std::uint64_t(status.st_ino),
            .size = std::int64_t(status.st_size),
            .modifiedNanoseconds = std::int64_t(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec};
}

bool StatusAt(int folder, const std::string& name, bool followLink, struct stat& status) {
    const Descriptor found(openat(folder, name.c_str(), O_PATH | O_CLOEXEC | (followLink ? 0 : O_NOFOLLOW)));
    return found.IsOpen() && fstat(found.Get(), &status) == 0;
}

FileIdentity IdentityAt(int folder, const std::string& name) {
    struct stat status = {};
    if (!StatusAt(folder, name, false, status)) return kNoFile;
    return IdentityOf(status);
}

}  // namespace files
