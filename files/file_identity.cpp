#include "files/file_identity.h"

#include <fcntl.h>

namespace files {

FileIdentity IdentityOf(const struct stat& status) {
    return {.device = std::uint64_t(status.st_dev),
            .inode = std::uint64_t(status.st_ino),
            .size = std::int64_t(status.st_size),
            .modifiedNanoseconds = std::int64_t(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec};
}

FileIdentity IdentityAt(int folder, const std::string& name) {
    struct stat status = {};
    if (fstatat(folder, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) return kNoFile;
    return IdentityOf(status);
}

}  // namespace files
