#pragma once
// Which file stands at a name, and in which state: a save that replaces it puts
// another inode there, and an edit in place changes its size or its modification
// time. A writer compares the identity a reading gave with the one it finds before
// it replaces the file, as a synchronisation tool compares etags: a file changed in
// between is never overwritten.

#include <sys/stat.h>
#include <cstdint>
#include <string>

namespace files {

struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNanoseconds = 0;  // since 1970, as the file system keeps it
    bool operator==(const FileIdentity&) const = default;
};

// The identity of no file: what IdentityAt gives when nothing stands at the name.
inline constexpr FileIdentity kNoFile{};

FileIdentity IdentityOf(const struct stat& status);

// The status of what stands at `name` in the open folder `folder`, the target of a
// symbolic link or, with followLink false, the link itself; false (errno set) when
// none. Asked of a descriptor opened for its path alone, which neither waits on a
// FIFO nor wakes a device: every status of this room comes from fstat, so that a
// reading and a later check of the same file always agree (a library that shifts the
// clock of a test, as libfaketime does, shifts one kind of stat call and not another).
bool StatusAt(int folder, const std::string& name, bool followLink, struct stat& status);

// The identity of what stands at `name` in the open folder `folder` (AT_FDCWD: the
// current one), a symbolic link itself rather than its target; kNoFile when nothing.
FileIdentity IdentityAt(int folder, const std::string& name);

}  // namespace files
