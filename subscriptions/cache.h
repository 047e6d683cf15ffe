#pragma once
// The copies of the subscriptions, kept in the user's cache folder
// ($XDG_CACHE_HOME/solvane, or ~/.cache/solvane), so that both programs show them
// offline: for each address, its last calendar (a .ics file that the agendas read
// as any other) and a small record of its fetches (when, what the server said of
// its version, how the last one ended). Both are named after a hash of the address;
// the record holds the address itself, so that two addresses never share a copy.
// Each is replaced whole by a rename, so that a reader (the other program) never
// sees half of one; the folder and its files are the user's alone (0700, 0600):
// an address may carry a private token, and a calendar private events.

#include <string>

#include "calendar/local_zone.h"
#include "subscriptions/fetch.h"

namespace subscriptions {

// The folder: `xdgCacheHome`/solvane when it is an absolute path (the XDG Base
// Directory rule ignores a relative one), otherwise `home`/.cache/solvane; empty
// when neither is given. Either argument may be null.
std::string CacheFolder(const char* xdgCacheHome, const char* home);
// The same, from XDG_CACHE_HOME and HOME of the environment.
std::string CacheFolder();

// The copy of the address's calendar in `folder`, where the agendas read it; the
// file may not exist.
std::string CopyPath(const std::string& folder, const std::string& address);

// What the cache knows of an address.
struct Record {
    enum class Outcome {
        Never,     // never fetched
        UpToDate,  // the last fetch brought the calendar, or the server said it had not changed
        Offline,   // the last fetch found no server
        Failed,    // the last fetch was refused or failed: `sentence` says why
    };
    std::string address;
    bool hasCopy = false;                 // the copy is in the cache
    calendar::UnixSeconds fetched = 0;    // the last fetch that brought or confirmed the copy; 0: none
    calendar::UnixSeconds attempted = 0;  // the last fetch, whatever its end; 0: none
    Validators validators;                // of the copy
    Outcome outcome = Outcome::Never;
    std::string sentence;  // the last failure's, French
    bool operator==(const Record&) const = default;
};

// The record of `address` in `folder`; a record of Never, without copy, when there
// is none, it cannot be read, or it is another address's.
Record ReadRecord(const std::string& folder, const std::string& address);

// Writes the record, and first the new copy when `body` is given. False when the
// folder cannot be made or written.
bool WriteRecord(const std::string& folder, const Record& record, const std::string* body = nullptr);
// Replaces the copy of `address` by `body`. False when the folder cannot be made or
// written: the copy that was there stays.
bool WriteCopy(const std::string& folder, const std::string& address, const std::string& body);

}  // namespace subscriptions
