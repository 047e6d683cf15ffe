#pragma once
// The files of a source, read so that nothing the user points at can hold up the
// gadget: only ordinary files are opened (a FIFO would wait for a writer, a device
// such as /dev/zero never ends), without blocking, and never more than
// kLargestFileBytes of one; a folder gives at most kMostFolderFiles files and
// kLargestFolderBytes in all. Whatever goes wrong is one French sentence.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "files/bounded_read.h"
#include "files/file_identity.h"

#include "calendar/french_words.h"

namespace agendas {

// A calendar of a few thousand events weighs a few megabytes; twenty is a decade of
// a busy agenda, and reads in a fraction of a second.
inline constexpr std::size_t kLargestFileBytes = 20 * calendar::kMegabyte;
// A vdir holds a file per event or contact: a folder of more is not an agenda.
inline constexpr std::size_t kMostFolderFiles = 20'000;
inline constexpr std::size_t kLargestFolderBytes = 100 * calendar::kMegabyte;

struct FileText {
    std::string bytes;
    std::string problem;                            // empty when read; otherwise why not, « est un dossier »…
    files::FileIdentity identity = files::kNoFile;  // of the file read, a link followed
};

// The bytes of the ordinary file at `path`, or the reason it was not read, a sentence
// to follow the file's name (« n'existe pas », « dépasse 20 Mo »…).
FileText ReadSourceFile(const std::string& path);
// That reason, for a reading of kLargestFileBytes at most; empty for a file read.
std::string ReadingProblem(const files::FileReading& reading);

// Whether a folder's entry named so is one of its calendar's files: an .ics or .vcf
// file (the extension in any case), not a hidden one (a name beginning with a dot:
// the files that vdirsyncer and the gadget write beside their final name).
bool IsSourceFileName(std::string_view name);

// Each .ics and .vcf file of the folder (their extension in any case), hidden ones
// (a name beginning with a dot, vdirsyncer's files being written) left out, given to
// `each` in the folder's own order with the inode number the listing gives (a file
// replaced under the same name has another). One listing, without a status of each
// file: a folder of 20,000 files is listed in a few milliseconds. Returns the problem
// (as FileText's), or empty; past kMostFolderFiles files, `each` has been called for
// the first of them.
std::string ListSourceFolder(const std::string& folder,
                             const std::function<void(std::string_view name, std::uint64_t inode)>& each);

}  // namespace agendas
