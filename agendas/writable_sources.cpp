#include "agendas/writable_sources.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <memory>

#include "files/bounded_read.h"
#include "files/descriptor.h"
#include "files/write_beside.h"

namespace agendas {

namespace {

bool EndsWithNoCase(const std::string& name, std::string_view end) {
    if (name.size() < end.size()) return false;
    for (std::size_t at = 0; at < end.size(); ++at) {
        char c = name[name.size() - end.size() + at];
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
        if (c != end[at]) return false;
    }
    return true;
}

struct CloseFolder {
    void operator()(DIR* folder) const { closedir(folder); }
};

bool HoldsContacts(const std::string& folder) {
    const std::unique_ptr<DIR, CloseFolder> entries(opendir(folder.c_str()));
    if (!entries) return false;
    while (const dirent* entry = readdir(entries.get())) {
        if (entry->d_name[0] != '.' && EndsWithNoCase(entry->d_name, ".vcf")) return true;
    }
    return false;
}

std::string ParentOf(const std::string& path) {
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    return parent.empty() ? "." : parent.string();
}

}  // namespace

std::string WriteRefusal(const Source& source) {
    if (source.kind == Source::Kind::Url) return "est un abonnement : il n'est jamais modifié";
    struct stat status = {};
    if (lstat(source.location.c_str(), &status) != 0) return "n'existe pas";
    if (S_ISLNK(status.st_mode)) return "est un lien vers un autre endroit : il n'est jamais modifié";
    if (!S_ISDIR(status.st_mode) && !S_ISREG(status.st_mode))
        return "n'est ni un fichier ni un dossier ordinaire : il n'est jamais modifié";
    if (status.st_uid != geteuid()) return "n'est pas à vous : il n'est jamais modifié";
    if (S_ISDIR(status.st_mode)) {
        if (HoldsContacts(source.location)) return "est un dossier de contacts : il n'est jamais modifié";
        if (faccessat(AT_FDCWD, source.location.c_str(), W_OK | X_OK, AT_EACCESS) != 0) return "est en lecture seule";
        return {};
    }
    if (EndsWithNoCase(source.location, ".vcf")) return "est un carnet de contacts : il n'est jamais modifié";
    // The new text is written beside the file, then renamed over it: its folder too must be writable.
    if (faccessat(AT_FDCWD, source.location.c_str(), W_OK, AT_EACCESS) != 0 ||
        faccessat(AT_FDCWD, ParentOf(source.location).c_str(), W_OK | X_OK, AT_EACCESS) != 0) {
        return "est en lecture seule";
    }
    return {};
}

std::string LocalAgendaFolder(const std::string& dataFolder) {
    return dataFolder.empty() ? std::string() : dataFolder + "/solvane/agenda";
}

std::string MakeLocalAgenda(const std::string& folder) {
    const std::string refused = "le calendrier « " + std::string(kLocalAgendaName) + " » (" + folder +
                                ") n'a pas pu être créé : aucun évènement n'est écrit.";
    if (folder.empty()) return refused;
    std::error_code ignored;
    std::filesystem::create_directories(ParentOf(folder), ignored);
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return refused;
    struct stat status = {};
    if (lstat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) return refused;
    const std::string displayName = folder + "/displayname";
    if (files::IdentityAt(AT_FDCWD, displayName) == files::kNoFile) {
        // Another gadget making it at the same moment writes the same name: its file stays.
        const files::WriteResult written =
            files::WriteBeside(displayName, kLocalAgendaName, {.mode = 0600, .replace = false});
        if (written.status == files::WriteResult::Status::Failed) return refused;
    }
    return {};
}

std::string FolderDisplayName(const std::string& folder) {
    const files::FileReading reading = files::ReadOrdinaryFile(folder + "/displayname", 4096);
    std::string name = reading.found == files::FileReading::Found::Read ? reading.bytes : std::string();
    if (const std::size_t end = name.find_first_of("\r\n"); end != std::string::npos) name.resize(end);
    return name.empty() ? NameFromPath(folder) : name;
}

}  // namespace agendas
