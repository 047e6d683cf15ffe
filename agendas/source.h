#pragma once
// Where the user's events come from: a source is a path, as the settings file lists
// it (group [agendas]) or as --agenda gives it, or the address of a subscription.
//   - an iCalendar file (.ics), one calendar of any number of events;
//   - a folder: a vdir as vdirsyncer and khal keep one (one .ics per event, and a
//     `displayname` file), or a folder of contacts as vdirsyncer and khard keep one
//     (one .vcf per contact), whose birthdays are events; a folder may hold both;
//   - a contacts file (.vcf) holding any number of cards;
//   - an http(s) address, read by the code of subscriptions, which keeps a copy.

#include <string>
#include <string_view>

namespace agendas {

struct Source {
    enum class Kind {
        File,    // a file, iCalendar or vCard as its text says
        Folder,  // every .ics and .vcf file in it
        Url,     // http://, https:// or webcal://: a subscription
    };
    Kind kind = Kind::File;
    std::string location;   // the path, "~/" replaced by the home folder; or the address as written
    std::string name;       // the agenda's name when the user gave one; otherwise the one the source says
    bool writable = false;  // marked « modifiable » by the user (writable_sources.h says what is still refused)
    bool operator==(const Source&) const = default;
};

// A source as written: a subscription's address (subscriptions/address.h); otherwise
// a path, "~/" at its start standing for `home` (when given), a Folder when it is a
// folder now and a File otherwise (a missing file is a File, that says it is missing
// when read).
Source SourceOf(std::string_view written, const char* home);
// The same, with HOME from the environment.
Source SourceOf(std::string_view written);

// The name an agenda is shown under when its text gives none: the file's name
// without its extension, or the folder's name.
std::string NameFromPath(std::string_view path);

}  // namespace agendas
