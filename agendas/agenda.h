#pragma once
// The user's agendas: the sources read once, then only what changes in them
// (agendas/source_reading.h), and their events computed a month at a time for the
// days that a reader asks, each file's events of a month kept for the next question. A source that cannot be read, or
// is read in part, says so in one French sentence; the others show all the same.
//
// An Agenda is used by one thread at a time: the window asks it off its own thread.

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "agendas/contacts.h"
#include "agendas/event.h"
#include "agendas/event_writing.h"
#include "agendas/ics_reader.h"
#include "agendas/source.h"

namespace agendas {

// Events shared by those that hold them: a month kept, and each day of the answers
// made from it, point to the same event, its title and place held once.
using SharedEvents = std::vector<std::shared_ptr<const Event>>;

// A file's events in one month, and the sentences its expansion gave.
struct FileMonth {
    SharedEvents events;
    std::vector<std::string> troubles;
    // The events on each day of the month, from the 1st, each day in the order it
    // lists them: made when first asked, emptied whenever `events` changes.
    std::vector<SharedEvents> days;
};

// The events of a range of days.
struct AgendaDays {
    LocalDate first, last;                   // the days asked, both included
    std::map<LocalDate, SharedEvents> days;  // the days that have events, each in the order it lists them
    // A sentence per source and trouble: « L'agenda « Travail » : « …/travail.ics »
    // est tronqué : ses derniers évènements manquent. »
    std::vector<std::string> problems;
    // Every contact of the sources' cards, whatever the days: those whose name day or
    // birthday is to be wished.
    std::vector<Contact> contacts;

    // The events of a day, none when it has none or is not in the range.
    const SharedEvents* On(LocalDate date) const;
};

// Whether a watcher's word that `name` changed in `folder` can change what the
// sources give (agendas/source_reading.h): a temporary file being written never does.
bool NameConcerns(const std::vector<Source>& sources, const std::string& folder, std::string_view name);

class Agenda {
public:
    // Gives the reader of iCalendar files, asked the first time a file needs it
    // (ModuleIcsReader, or LibicalReader where it is linked in); null when none can be
    // had, with the reason in `problem`, said for each iCalendar file.
    using ReaderLoader = std::function<const IcsReader*(std::string& problem)>;
    Agenda(std::vector<Source> sources, ReaderLoader loadReader);
    ~Agenda();
    Agenda(const Agenda&) = delete;
    Agenda& operator=(const Agenda&) = delete;

    // For a reader that asks only about these days (the terminal): the first pass
    // over each file leaves out the events that cannot touch them, and the days of a
    // month within them are computed alone. Asked before a question, which asks no
    // other days; other days than before forget what was read.
    void ReadOnlyFor(LocalDate first, LocalDate last);

    // The events of the days [first, last]. The sources are read at the first
    // question; after ReadChanges, what changed in them is read again.
    AgendaDays DaysBetween(LocalDate first, LocalDate last);

    // Something may have changed in the sources: the next question looks at each
    // again and reads the files that are new or changed, forgetting those gone.
    void ReadChanges();
    // The same for the sources that a change told at `path` can concern: the path of
    // a file or folder of theirs, the folder of an agenda's file, or a subscription's
    // address or cache folder. `lost`: a watcher lost events there, and each file's
    // status is compared even when the folder's listing shows a change.
    void ReadChangesAt(const std::string& path, bool lost = false);
    // The entries `names` of `folder` changed, as its watcher told: only they are
    // looked at, without listing the folder.
    void ReadNamesAt(const std::string& folder, const std::set<std::string>& names);
    // The gadget wrote the file: in a vdir, that file alone is looked at; an .ics file
    // whose text read is the one the writing changed takes the events written in
    // place of theirs, without reading the file again (otherwise it is read again).
    void TakeWritten(const WrittenFile& written);

    bool Empty() const { return sources_.empty(); }

private:
    struct LoadedSource;
    void Load();
    bool TakeEvents(LoadedSource& source, const WrittenFile& written);
    void LookAgain(LoadedSource& source);
    // The month's events of the source, file by file (by its key in the source).
    std::map<std::string, FileMonth>& MonthEvents(LoadedSource& source, int year, int month);
    FileMonth FileMonthOf(const LoadedSource& source, const std::string& key, int year, int month) const;
    // The month's events of the gadget's change `layer` to the file (ReadFile::written).
    FileMonth WrittenMonthOf(const LoadedSource& source, const std::string& key, std::size_t layer, int year,
                             int month) const;
    void AddOccurrences(const LoadedSource& source, const std::string& key, const IcsCalendar& calendar,
                        const Window& window, std::size_t laterFrom, FileMonth& events) const;
    Window MonthWindow(int year, int month) const;

    const IcsReader* Reader(std::string& problem);

    std::vector<Source> sources_;
    ReaderLoader loadReader_;
    const IcsReader* reader_ = nullptr;
    std::string readerProblem_;
    bool readerAsked_ = false;
    std::optional<Window> only_;
    std::vector<std::unique_ptr<LoadedSource>> loaded_;
    bool read_ = false;
};

}  // namespace agendas
