#include "agendas/source_files.h"

#include "agendas/ics_reader.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>

namespace agendas {

namespace {

struct Descriptor {
    int fd = -1;
    explicit Descriptor(int opened) : fd(opened) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd >= 0) close(fd);
    }
};

std::string MissingOrUnreadable(int error) {
    if (error == ENOENT || error == ENOTDIR) return "n'existe pas";
    if (error == EACCES || error == EPERM) return "ne peut pas être lu (droits)";
    return "ne peut pas être lu";
}

std::string NotAnOrdinaryFile(mode_t mode) {
    if (S_ISDIR(mode)) return "est un dossier, pas un fichier";
    return "n'est pas un fichier ordinaire";
}

bool HasExtension(const std::string& name, const char* extension) {
    if (name.size() <= 4) return false;
    for (std::size_t at = 0; at < 4; ++at) {
        char c = name[name.size() - 4 + at];
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
        if (c != extension[at]) return false;
    }
    return true;
}

}  // namespace

std::string MegabytesText(std::size_t bytes) { return std::to_string(bytes / (1024 * 1024)) + " Mo"; }

FileText ReadSourceFile(const std::string& path) {
    // The kind and the size are asked before anything is opened; asked again of the
    // opened file, in case another took its place in between.
    struct stat status = {};
    if (stat(path.c_str(), &status) != 0) return {.bytes = {}, .problem = MissingOrUnreadable(errno)};
    if (!S_ISREG(status.st_mode)) return {.bytes = {}, .problem = NotAnOrdinaryFile(status.st_mode)};
    const std::string tooLarge = "dépasse " + MegabytesText(kLargestFileBytes);
    if (std::size_t(status.st_size) > kLargestFileBytes) return {.bytes = {}, .problem = tooLarge};
    const Descriptor file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.fd < 0) return {.bytes = {}, .problem = MissingOrUnreadable(errno)};
    if (fstat(file.fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        return {.bytes = {}, .problem = NotAnOrdinaryFile(status.st_mode)};
    }
    FileText text;
    text.bytes.reserve(std::size_t(std::max<off_t>(status.st_size, 0)));
    char buffer[65536];
    for (;;) {
        const ssize_t count = read(file.fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) return {.bytes = {}, .problem = MissingOrUnreadable(errno)};
        if (count == 0) break;
        text.bytes.append(buffer, std::size_t(count));
        // A file that grows while it is read stops at the limit too.
        if (text.bytes.size() > kLargestFileBytes) return {.bytes = {}, .problem = tooLarge};
    }
    return text;
}

FolderFiles SourceFolderFiles(const std::string& folder) {
    FolderFiles files;
    DIR* const directory = opendir(folder.c_str());
    if (directory == nullptr) {
        files.problem = errno == ENOTDIR ? "n'est pas un dossier" : MissingOrUnreadable(errno);
        return files;
    }
    std::vector<std::string> names;
    std::size_t entries = 0;
    while (const dirent* entry = readdir(directory)) {
        const std::string name = entry->d_name;
        if (name.empty() || name[0] == '.') continue;
        if (!HasExtension(name, ".ics") && !HasExtension(name, ".vcf")) continue;
        if (++entries > kMostFolderFiles) {
            files.problem = "a plus de " + GroupedCount(kMostFolderFiles) + " fichiers";
            break;
        }
        names.push_back(name);
    }
    closedir(directory);
    if (!files.problem.empty()) return files;
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) files.paths.push_back(folder + "/" + name);
    return files;
}

}  // namespace agendas
