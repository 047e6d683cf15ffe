#include "agendas/source_files.h"

#include <dirent.h>
#include <sys/stat.h>
#include <cerrno>
#include <string_view>

#include "calendar/french_words.h"
#include "files/bounded_read.h"

namespace agendas {

namespace {

std::string MissingOrUnreadable(int error) {
    if (error == ENOENT || error == ENOTDIR) return "n'existe pas";
    if (error == EACCES || error == EPERM) return "ne peut pas être lu (droits)";
    return "ne peut pas être lu";
}

std::string NotAnOrdinaryFile(mode_t mode) {
    if (S_ISDIR(mode)) return "est un dossier, pas un fichier";
    return "n'est pas un fichier ordinaire";
}

bool HasExtension(std::string_view name, const char* extension) {
    if (name.size() <= 4) return false;
    for (std::size_t at = 0; at < 4; ++at) {
        char c = name[name.size() - 4 + at];
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
        if (c != extension[at]) return false;
    }
    return true;
}

}  // namespace

bool IsSourceFileName(std::string_view name) {
    return !name.empty() && name[0] != '.' && (HasExtension(name, ".ics") || HasExtension(name, ".vcf"));
}

std::string ReadingProblem(const files::FileReading& reading) {
    switch (reading.found) {
    case files::FileReading::Found::Read: return {};
    case files::FileReading::Found::Missing:
    case files::FileReading::Found::DanglingLink: return MissingOrUnreadable(ENOENT);
    case files::FileReading::Found::NotAFile: return NotAnOrdinaryFile(reading.mode);
    case files::FileReading::Found::TooLarge: return "dépasse " + calendar::SizeText(kLargestFileBytes);
    case files::FileReading::Found::Unreadable: break;
    }
    return MissingOrUnreadable(reading.error);
}

FileText ReadSourceFile(const std::string& path) {
    files::FileReading file = files::ReadOrdinaryFile(path, kLargestFileBytes);
    if (file.found != files::FileReading::Found::Read) return {.bytes = {}, .problem = ReadingProblem(file)};
    return {.bytes = std::move(file.bytes), .problem = {}, .identity = file.identity};
}

std::string ListSourceFolder(const std::string& folder,
                             const std::function<void(std::string_view name, std::uint64_t inode)>& each) {
    DIR* const directory = opendir(folder.c_str());
    if (directory == nullptr) return errno == ENOTDIR ? "n'est pas un dossier" : MissingOrUnreadable(errno);
    std::string problem;
    std::size_t entries = 0;
    while (const dirent* entry = readdir(directory)) {
        const std::string_view name = entry->d_name;
        if (!IsSourceFileName(name)) continue;
        if (++entries > kMostFolderFiles) {
            problem = "a plus de " + calendar::CountText(kMostFolderFiles) + " fichiers";
            break;
        }
        each(name, std::uint64_t(entry->d_ino));
    }
    closedir(directory);
    return problem;
}

}  // namespace agendas
