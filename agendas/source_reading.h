#pragma once
// One source of an agenda as read, kept from one look to the next: each of its files
// with the identity it had when read (device, inode, size, modification time in ns),
// so that a change reads again only the files it touched, as khal compares the etags
// of a vdir. A look lists the folder (names and inode numbers, no status of each
// file): a new name, or a name whose inode changed (vdirsyncer, khal and editors save
// by renaming a new file over the old), is read; a name gone is forgotten. When the
// listing shows no such change, what changed was a file written in place, and each
// file's status is compared with the identity read. A watcher that tells the names
// that changed spares the listing: each name is looked at alone (a status, a file
// read when new or not the one read, forgotten when gone). A file that could not be
// read is tried again at each look. The agenda's own file or a subscription's copy is
// one status away.
//
// Internal to agendas/: Agenda keeps one ReadSource per source.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "agendas/contacts.h"
#include "agendas/ics_reader.h"
#include "agendas/source.h"
#include "files/file_identity.h"

namespace agendas {

struct ReadFile {
    std::uint64_t listedInode = 0;                  // as the folder's listing gave it
    files::FileIdentity identity = files::kNoFile;  // of the text read; kNoFile when not read
    bool textRead = false;
    std::size_t bytes = 0;  // of the text read, toward the folder's bound
    // Why it gives no events, to follow its path; empty when it gives them.
    std::string problem;
    // Whether the reading failed (rather than the text): the file is tried again at
    // each look, whatever its identity.
    bool retry = false;
    std::vector<std::string> troubles;  // of the text read, its events read all the same
    std::unique_ptr<IcsCalendar> calendar;
    std::vector<Contact> contacts;  // of a vCard file
    // The gadget's own changes to the calendar since its text was read, in order: each
    // holds the events of its UIDs as written, in place of those of the text and of the
    // changes before (Agenda::TakeWritten).
    struct Written {
        std::unique_ptr<IcsCalendar> calendar;
        std::vector<std::string> uids;
    };
    std::vector<Written> written;
    unsigned listedAt = 0;  // the number of the last look whose listing showed it
    bool stale = false;     // to be read again
};

// Hashes a name kept or listed alike, so that a listed name is looked up without a copy.
struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view name) const { return std::hash<std::string_view>{}(name); }
};

struct ReadSource {
    Source source;
    std::string readName;  // the user's name, the folder's displayname or the path's: the reading's sentences say it
    std::string name;      // the name shown: readName, or the one the calendar file gives
    std::string folderProblem;  // of the folder's listing, to follow its path
    // A folder's files by name; the agenda's file or a subscription's copy by path.
    // Found by hashing: a look at a folder of 20,000 files costs its listing and little more.
    std::unordered_map<std::string, ReadFile, NameHash, std::equal_to<>> files;
    // The keys of the files that the next look tries again (their reading failed),
    // of those that say something (a problem, troubles), and of the vCard files that
    // give contacts, in the order of the names: a day's question never walks `files`.
    std::set<std::string> retrying, troubled, carded;
    std::size_t textBytes = 0;  // of the texts read, toward the folder's bound
    unsigned looks = 0;
    // The folder's last listing, in its own order, the names side by side: a listing
    // that repeats it (a folder keeps its order, a file come or gone aside) is
    // compared name by name in one pass over memory, without a lookup in `files`.
    struct Listed {
        std::size_t offset, length;  // in listedNames
        const std::string* key;
        ReadFile* file;
    };
    std::string listedNames;
    std::vector<Listed> listed;
};

// Gives the reader of iCalendar texts, or null with the reason.
using IcsReaderOf = std::function<const IcsReader*(std::string& problem)>;

// How far a look at a folder goes: the names a watcher told of alone, the listing, or
// the listing and every file's status (the watcher lost events: a file written in
// place may hide behind a listing that changed). Each takes in the names too.
struct Look {
    enum class Kind { Names, Listing, Everything };
    Kind kind = Kind::Listing;
    std::set<std::string> names;
    // The other look's reach added to this one's.
    void Add(const Look& other);
};

// Looks at the source again (the first time: reads it whole, whatever `look` says),
// reading the files that are new or changed and forgetting those gone. Returns the
// paths whose events may have changed, as keys of `files`: read again, gone, or no
// longer read.
std::vector<std::string> LookAgain(ReadSource& source, const IcsReaderOf& reader, const std::optional<Window>& only,
                                   const Look& look = {});

// Whether a change told at `path` (a file, or a folder whose entries changed) can
// concern the source.
bool Concerns(const Source& source, const std::string& path);

// Whether the entry `name` of `folder`, told changed by a watcher, can concern the
// source: one of its calendar files or its displayname, the agenda's own file, a
// subscription's copy. Temporary files (a hidden name) never do.
bool ConcernsName(const Source& source, const std::string& folder, std::string_view name);

// The path of the file kept under `key`.
std::string PathOf(const ReadSource& source, const std::string& key);

}  // namespace agendas
