#pragma once
// The user's agendas: the sources read (each once, until asked again), and their
// events computed a month at a time for the days that a reader asks, the month's
// events kept for the next question. A source that cannot be read, or is read in
// part, says so in one French sentence; the others show all the same.
//
// An Agenda is used by one thread at a time: the window asks it off its own thread.

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "agendas/contacts.h"
#include "agendas/event.h"
#include "agendas/ics_reader.h"
#include "agendas/source.h"

namespace agendas {

// The events of a range of days.
struct AgendaDays {
    LocalDate first, last;                         // the days asked, both included
    std::map<LocalDate, std::vector<Event>> days;  // the days that have events, each in the order it lists them
    // A sentence per source and trouble: « L'agenda « Travail » : « …/travail.ics »
    // est tronqué : ses derniers évènements manquent. »
    std::vector<std::string> problems;

    // The events of a day, none when it has none or is not in the range.
    const std::vector<Event>* On(LocalDate date) const;
};

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
    // month within them are computed alone. Asked before the first question, which
    // asks no other days.
    void ReadOnlyFor(LocalDate first, LocalDate last);

    // The events of the days [first, last]. The sources are read at the first
    // question, and again after ReadAgain.
    AgendaDays DaysBetween(LocalDate first, LocalDate last);

    // Forgets what was read: the next question reads every source again.
    void ReadAgain();

    bool Empty() const { return sources_.empty(); }

private:
    struct LoadedFile;
    struct LoadedSource;
    void Load();
    const std::vector<Event>& MonthEvents(LoadedSource& source, int year, int month,
                                          std::vector<std::string>& problems);

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

// Text as a line shows it: control characters as blanks, bytes that are not UTF-8
// as U+FFFD.
std::string CleanText(std::string_view text);

}  // namespace agendas
