#pragma once
// The files of a source, read so that nothing the user points at can hold up the
// gadget: only ordinary files are opened (a FIFO would wait for a writer, a device
// such as /dev/zero never ends), without blocking, and never more than
// kLargestFileBytes of one; a folder gives at most kMostFolderFiles files and
// kLargestFolderBytes in all. Whatever goes wrong is one French sentence.

#include <cstddef>
#include <string>
#include <vector>

namespace agendas {

// A calendar of a few thousand events weighs a few megabytes; twenty is a decade of
// a busy agenda, and reads in a fraction of a second.
inline constexpr std::size_t kLargestFileBytes = 20 * 1024 * 1024;
// A vdir holds a file per event or contact: a folder of more is not an agenda.
inline constexpr std::size_t kMostFolderFiles = 20'000;
inline constexpr std::size_t kLargestFolderBytes = 100 * 1024 * 1024;

struct FileText {
    std::string bytes;
    std::string problem;  // empty when read; otherwise why not, « est un dossier »…
};

// The bytes of the ordinary file at `path`, or the reason it was not read, a sentence
// to follow the file's name (« n'existe pas », « dépasse 20 Mo »…).
FileText ReadSourceFile(const std::string& path);

struct FolderFiles {
    std::vector<std::string> paths;  // in the order of their names
    std::string problem;             // as FileText's
};

// The .ics and .vcf files of the folder (their extension in any case), hidden ones
// (a name beginning with a dot, vdirsyncer's files being written) left out.
FolderFiles SourceFolderFiles(const std::string& folder);

// The size in French: « 20 Mo ».
std::string MegabytesText(std::size_t bytes);

}  // namespace agendas
