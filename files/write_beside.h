#pragma once
// The one way the program replaces a file: the new bytes go to a new file beside it
// (a hidden name ending in ".tmp", which the tools that read calendar folders skip),
// flushed to the disk, then renamed over the file, or linked to its name when nothing
// may be replaced; the folder is flushed last, so that after a crash the name holds
// either the old file or the new one, whole. The old file is never opened for writing.

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "files/file_identity.h"

namespace files {

// The mode of a new file that replaces none: the umask's.
inline constexpr int kUmaskMode = -1;

struct WriteOptions {
    int mode = kUmaskMode;  // the new file's permission bits (0600…), the umask aside
    // The identity of the file the write replaces, as a reading gave it (kNoFile:
    // nothing may stand at the name); none to replace whatever is there.
    std::optional<FileIdentity> expected = std::nullopt;
    bool replace = true;      // false: a file at the name is never replaced
    bool lockFolder = false;  // hold the folder's lock (flock) for the check and the rename
    // When not empty, the file replaced is kept under its name followed by this
    // suffix (then "-2"… to "-9" when taken), without a copy.
    std::string keepAsideSuffix = {};
};

struct WriteResult {
    enum class Status {
        Written,  // the new file is in place
        Changed,  // the file is not the one expected, or exists when none may be replaced: nothing written
        Failed,   // the system refused (a read-only folder, a full disk, no name to keep the old file): nothing written
    };
    Status status = Status::Failed;
    std::string keptAside = {};  // the name the old file is kept under, when it was
    // Of the new file when Written, as a reading of it gives it: a reader that holds it
    // knows the file it would read is the one written, and reads nothing.
    FileIdentity identity = kNoFile;
};

// Writes `bytes` as the file `name` of the open folder `folder`.
WriteResult WriteBeside(int folder, const std::string& name, const std::string& bytes, const WriteOptions& options);
// The same, for the file at `path`, whose folder must exist.
WriteResult WriteBeside(const std::string& path, const std::string& bytes, const WriteOptions& options);
// The same, the new file made of `pieces` one after the other: a text that keeps most
// of the old one's bytes is written from them, without a copy of the whole.
WriteResult WriteBeside(const std::string& path, std::span<const std::string_view> pieces, const WriteOptions& options);

// Removes the file `name` of the open folder `folder` when it still has the identity
// `expected`, the folder's lock held for the check and the removal; Changed when it
// has another (nothing removed), Failed when the system refused.
WriteResult::Status RemoveIfUnchanged(int folder, const std::string& name, const FileIdentity& expected);

}  // namespace files
