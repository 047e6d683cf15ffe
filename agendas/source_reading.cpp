#include "agendas/source_reading.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <algorithm>
#include <filesystem>

#include "agendas/agenda.h"
#include "agendas/source_files.h"
#include "calendar/french_words.h"
#include "calendar/utf8_text.h"
#include "files/descriptor.h"
#include "subscriptions/cache.h"

namespace agendas {

namespace {

// vdirsyncer's file that names a collection.
constexpr const char* kDisplayNameFile = "displayname";
constexpr std::size_t kLongestName = 200;  // bytes

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// The identity of the file at `name` in `folder`, a link followed, as a reading
// gives it; kNoFile when none.
files::FileIdentity IdentityNow(int folder, const std::string& name) {
    struct stat status = {};
    return files::StatusAt(folder, name, true, status) ? files::IdentityOf(status) : files::kNoFile;
}

// Forgets what the file gave: it is read again, or no longer read.
void Forget(ReadSource& source, const std::string& key, ReadFile& file) {
    if (file.textRead) source.textBytes -= file.bytes;
    file.identity = files::kNoFile;
    file.textRead = false;
    file.bytes = 0;
    file.problem.clear();
    file.retry = false;
    file.troubles.clear();
    file.calendar.reset();
    file.contacts.clear();
    file.written.clear();
    source.retrying.erase(key);
    source.troubled.erase(key);
    source.carded.erase(key);
}

// What the file's text gives, once read within the bounds.
void Parse(ReadFile& file, const std::string& text, const IcsReaderOf& reader, const std::optional<Window>& only,
           bool identified) {
    if (IsVCardText(text)) {
        file.contacts = ContactsOf(text);
        return;
    }
    std::string problem;
    const IcsReader* const ics = reader(problem);
    if (ics == nullptr) {
        file.problem = "n'est pas lu : " + problem;
        file.retry = true;
        return;
    }
    file.calendar = ics->Read(text, only, identified, problem);
    if (!file.calendar) {
        file.problem = std::move(problem);
        return;
    }
    file.troubles = file.calendar->Problems();
}

// Reads the file; `folderBytes`, when given, counts the texts of the files before it
// in the order of the names, and this one's toward the folder's bound.
void ReadInto(ReadSource& source, const std::string& key, ReadFile& file, const IcsReaderOf& reader,
              const std::optional<Window>& only, std::size_t* folderBytes) {
    Forget(source, key, file);
    file.stale = false;
    FileText text = ReadSourceFile(PathOf(source, key));
    if (text.problem.empty() && folderBytes && (*folderBytes += text.bytes.size()) > kLargestFolderBytes) {
        text.problem = "dépasse, avec les fichiers lus avant lui, " + calendar::SizeText(kLargestFolderBytes);
    }
    if (!text.problem.empty()) {
        file.problem = std::move(text.problem);
        file.retry = true;
    } else {
        file.identity = text.identity;
        file.textRead = true;
        file.bytes = text.bytes.size();
        source.textBytes += file.bytes;
        Parse(file, text.bytes, reader, only, source.source.writable);
    }
    if (file.retry) source.retrying.insert(key);
    if (!file.problem.empty() || !file.troubles.empty()) source.troubled.insert(key);
    if (!file.contacts.empty()) source.carded.insert(key);
}

// Marks the files of a folder that its listing shows new or replaced, and forgets
// those gone; whether the listing showed any such change.
bool ListFolder(ReadSource& source, std::vector<std::string>& changed) {
    const unsigned look = ++source.looks;
    const std::size_t known = source.files.size();
    std::size_t stillThere = 0;
    bool listingChanged = false;
    const std::string lastNames = std::move(source.listedNames);
    const std::vector<ReadSource::Listed> last = std::move(source.listed);
    source.listedNames.clear();
    source.listed.clear();
    source.listedNames.reserve(lastNames.size());
    source.listed.reserve(last.size() + 1);
    std::size_t cursor = 0;  // in the last listing
    const auto listedThen = [&](std::size_t at, std::string_view name) {
        return at < last.size() && std::string_view(lastNames).substr(last[at].offset, last[at].length) == name;
    };
    source.folderProblem = ListSourceFolder(source.source.location, [&](std::string_view name, std::uint64_t inode) {
        const std::string* key = nullptr;
        ReadFile* file = nullptr;
        // The next name of the last listing, or the one after it when a file has gone.
        for (const std::size_t at : {cursor, cursor + 1}) {
            if (file != nullptr || !listedThen(at, name)) continue;
            key = last[at].key;
            file = last[at].file;
            cursor = at + 1;
        }
        if (file == nullptr) {
            // Found by its name as listed: a name is copied only when it is new.
            auto found = source.files.find(name);
            if (found == source.files.end()) found = source.files.emplace(std::string(name), ReadFile{}).first;
            key = &found->first;
            file = &found->second;
        }
        if (file->listedAt != 0) ++stillThere;
        if (file->listedAt == 0 || file->listedInode != inode) {
            file->stale = true;
            changed.push_back(*key);
            listingChanged = true;
        }
        file->listedInode = inode;
        file->listedAt = look;
        source.listed.push_back({.offset = source.listedNames.size(), .length = name.size(), .key = key, .file = file});
        source.listedNames.append(name);
    });
    // A folder that cannot be listed, or holds too many files, gives none.
    if (!source.folderProblem.empty()) {
        ++source.looks;
        source.listed.clear();
        source.listedNames.clear();
    }
    if (stillThere == known && source.folderProblem.empty()) return listingChanged;
    for (auto file = source.files.begin(); file != source.files.end();) {
        if (file->second.listedAt == source.looks) {
            ++file;
            continue;
        }
        Forget(source, file->first, file->second);
        changed.push_back(file->first);
        file = source.files.erase(file);
    }
    return true;
}

// A file written in place keeps its name and inode: its status tells it.
void CompareStatuses(ReadSource& source, std::vector<std::string>& changed) {
    const files::Descriptor folder(open(source.source.location.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!folder.IsOpen()) return;
    for (auto& [name, file] : source.files) {
        if (file.textRead && IdentityNow(folder.Get(), name) != file.identity) {
            file.stale = true;
            changed.push_back(name);
        }
    }
}

// An entry a watcher told of: read when new or no longer the file read, forgotten
// when gone. A file already marked to be read is left so.
void LookAtName(ReadSource& source, int folder, const std::string& name, std::vector<std::string>& changed) {
    if (!IsSourceFileName(name)) return;
    struct stat entry = {};
    const bool there = files::StatusAt(folder, name, false, entry);
    const auto found = source.files.find(name);
    if (!there) {
        if (found == source.files.end()) return;
        Forget(source, name, found->second);
        changed.push_back(name);
        source.files.erase(found);
        // The last listing points to the file: the next one finds each name by hashing.
        source.listed.clear();
        source.listedNames.clear();
        return;
    }
    ReadFile& file = found != source.files.end() ? found->second : source.files.try_emplace(name).first->second;
    if (file.stale) return;
    const bool known = file.listedAt != 0;
    file.listedInode = std::uint64_t(entry.st_ino);
    file.listedAt = source.looks;
    if (!known || IdentityNow(folder, name) != file.identity) {
        file.stale = true;
        changed.push_back(name);
    }
}

// The names alone; false, having changed nothing, when they cannot be looked at so:
// the folder cannot be opened, or new names could take it past kMostFolderFiles,
// which only a listing counts.
bool LookAtNames(ReadSource& source, const std::set<std::string>& names, std::vector<std::string>& changed) {
    if (source.files.size() + names.size() > kMostFolderFiles) return false;
    const files::Descriptor folder(open(source.source.location.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!folder.IsOpen()) return false;
    for (const std::string& name : names) LookAtName(source, folder.Get(), name, changed);
    return true;
}

// The agenda's own file, or a subscription's copy while there is one.
void LookAtFile(ReadSource& source, const std::string& path, std::vector<std::string>& changed) {
    for (auto file = source.files.begin(); file != source.files.end();) {
        if (file->first == path) {
            ++file;
            continue;
        }
        Forget(source, file->first, file->second);
        changed.push_back(file->first);
        file = source.files.erase(file);
    }
    if (path.empty()) return;
    auto [found, added] = source.files.try_emplace(path);
    if (added || IdentityNow(AT_FDCWD, path) != found->second.identity) {
        found->second.stale = true;
        changed.push_back(path);
    }
}

// Past the folder's bound, which counts the files in the order of their names as a
// first reading meets them (a file that grows can put those after it beyond it):
// every file is passed over in that order.
void KeepWithinBound(ReadSource& source, const IcsReaderOf& reader, const std::optional<Window>& only,
                     std::vector<std::string>& changed) {
    std::vector<std::string> keys;
    keys.reserve(source.files.size());
    for (const auto& [key, file] : source.files) keys.push_back(key);
    std::sort(keys.begin(), keys.end());
    std::size_t folderBytes = 0;
    for (const std::string& key : keys) {
        ReadFile& file = source.files.at(key);
        if (file.stale || file.retry) {
            ReadInto(source, key, file, reader, only, &folderBytes);
            changed.push_back(key);
        } else if (file.textRead && (folderBytes += file.bytes) > kLargestFolderBytes) {
            Forget(source, key, file);
            file.problem = "dépasse, avec les fichiers lus avant lui, " + calendar::SizeText(kLargestFolderBytes);
            file.retry = true;
            source.retrying.insert(key);
            source.troubled.insert(key);
            changed.push_back(key);
        }
    }
}

}  // namespace

std::string PathOf(const ReadSource& source, const std::string& key) {
    return source.source.kind == Source::Kind::Folder ? source.source.location + "/" + key : key;
}

void Look::Add(const Look& other) {
    kind = std::max(kind, other.kind);
    names.insert(other.names.begin(), other.names.end());
}

std::vector<std::string> LookAgain(ReadSource& source, const IcsReaderOf& reader, const std::optional<Window>& only,
                                   const Look& look) {
    std::vector<std::string> changed;
    const std::string given = calendar::CleanText(source.source.name);
    source.readName = given.empty() ? NameFromPath(source.source.location) : given;
    switch (source.source.kind) {
    case Source::Kind::Folder: {
        const bool known = !source.files.empty();
        const bool byNames = look.kind == Look::Kind::Names && source.looks > 0 && source.folderProblem.empty();
        if (!byNames || !LookAtNames(source, look.names, changed)) {
            const bool listingChanged = ListFolder(source, changed);
            if (known && (!listingChanged || look.kind == Look::Kind::Everything)) {
                CompareStatuses(source, changed);
            } else if (!look.names.empty()) {
                // A file written in place, which the listing cannot show.
                LookAtNames(source, look.names, changed);
            }
        }
        if (given.empty()) {
            const FileText name = ReadSourceFile(source.source.location + "/" + kDisplayNameFile);
            const std::string shown = calendar::CleanText(std::string_view(name.bytes).substr(0, kLongestName));
            if (name.problem.empty() && !shown.empty()) source.readName = shown;
        }
        break;
    }
    case Source::Kind::Url: {
        // The copy that the last fetch kept; until there is one, the subscription's
        // own state says why (subscriptions/state_sentence.h), not the agenda.
        const std::string copy = subscriptions::CopyPath(subscriptions::CacheFolder(), source.source.location);
        std::error_code missing;
        LookAtFile(source, std::filesystem::is_regular_file(copy, missing) ? copy : std::string(), changed);
        break;
    }
    case Source::Kind::File: LookAtFile(source, source.source.location, changed); break;
    }

    // The files to read: those the look found new or changed, then those tried
    // again, in the order of their names. Past the folder's bound, every file is
    // passed over.
    std::vector<std::string> due;
    for (const std::string& key : changed) {
        if (source.files.contains(key) && !source.retrying.contains(key)) due.push_back(key);
    }
    std::sort(due.begin(), due.end());
    due.insert(due.end(), source.retrying.begin(), source.retrying.end());
    changed.insert(changed.end(), source.retrying.begin(), source.retrying.end());
    for (const std::string& key : due) {
        ReadInto(source, key, source.files.at(key), reader, only, nullptr);
        if (source.textBytes > kLargestFolderBytes) break;
    }
    if (source.textBytes > kLargestFolderBytes) KeepWithinBound(source, reader, only, changed);

    source.name = source.readName;
    if (given.empty() && source.source.kind == Source::Kind::File) {
        // A calendar file names its agenda, unless the user did.
        for (const auto& [key, file] : source.files) {
            const std::string named = file.calendar ? calendar::CleanText(file.calendar->Name()) : std::string();
            if (!named.empty()) source.name = named;
        }
    }
    return changed;
}

bool ConcernsName(const Source& source, const std::string& folder, std::string_view name) {
    const auto isFile = [&](const std::string& path) {
        return FolderOf(path) == folder && std::string_view(path).substr(path.rfind('/') + 1) == name;
    };
    switch (source.kind) {
    case Source::Kind::Folder: return source.location == folder && (IsSourceFileName(name) || name == kDisplayNameFile);
    case Source::Kind::Url: return isFile(subscriptions::CopyPath(subscriptions::CacheFolder(), source.location));
    case Source::Kind::File: break;
    }
    return isFile(source.location);
}

bool Concerns(const Source& source, const std::string& path) {
    switch (source.kind) {
    case Source::Kind::Folder: return source.location == path;
    case Source::Kind::Url:
        return source.location == path ||
               FolderOf(subscriptions::CopyPath(subscriptions::CacheFolder(), source.location)) == path;
    case Source::Kind::File: break;
    }
    return source.location == path || FolderOf(source.location) == path;
}

}  // namespace agendas
