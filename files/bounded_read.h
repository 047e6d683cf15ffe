#pragma once
// The reading of a file the user may point at anything: only an ordinary file is
// opened (a FIFO would wait for a writer, a device such as /dev/zero never ends, and
// opening one can have effects of its own), without blocking, and never more than a
// bound of it, a file that grows while it is read included. A symbolic link is
// followed. What was found is a value that each caller says in its own words.

#include <sys/types.h>
#include <cstddef>
#include <string>

#include "files/file_identity.h"

namespace files {

struct FileReading {
    enum class Found {
        Read,          // an ordinary file, all of it in `bytes`
        Missing,       // nothing at the path
        DanglingLink,  // a symbolic link to nothing
        NotAFile,      // a folder, a device, a FIFO or a socket, or a link to one: `mode` says which
        TooLarge,      // an ordinary file past the bound
        Unreadable,    // the system refused: `error` says why
    };
    Found found = Found::Missing;
    std::string bytes;
    // Of the ordinary file read or found, for a later write to compare with; kNoFile
    // when there was none.
    FileIdentity identity;
    mode_t mode = 0;  // the kind and permission bits of what was found; 0 when nothing
    int error = 0;    // errno, when Unreadable
};

// The file at `path`, or at `name` in the open folder `folder`, read within `largest` bytes.
FileReading ReadOrdinaryFile(const std::string& path, std::size_t largest);
FileReading ReadOrdinaryFileAt(int folder, const std::string& name, std::size_t largest);

}  // namespace files
