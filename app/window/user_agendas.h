#pragma once
// The user's agendas for the window, one concern in one object: the reader of the
// sources on its own thread (agenda_reader.h), the subscriptions fetched in the
// background (subscription_fetches.h), and the watching of the agendas' files and
// folders (files/folder_watch.h, whose descriptor Qt's event loop waits on). A file
// changed, come or gone, told by its name, or a fetch that brought a new calendar,
// has the sources it concerns look at that alone, and the days last asked computed
// again; the window hears one signal, Changed, once the events of those days are
// ready. A temporary file being written beside its final name wakes nothing more.

#include <QDate>
#include <QObject>
#include <QSocketNotifier>
#include <QStringList>
#include <memory>
#include <vector>

#include "agendas/agenda.h"
#include "agendas/event_writing.h"
#include "app/platform/subscription_fetches.h"
#include "app/window/agenda_reader.h"
#include "choices/user_choices.h"
#include "files/folder_watch.h"
#include "settings/settings_file.h"

class UserAgendas : public QObject {
    Q_OBJECT
public:
    // The iCalendar module is looked for in `programFolder`.
    explicit UserAgendas(const QString& programFolder, QObject* parent = nullptr);

    // The agendas that the user's choices list, as the settings file gives them: read
    // at the next question, fetched and watched from now on, in place of those before.
    void Follow(const choices::UserChoices& chosen, const std::vector<settings::AgendaEntry>& entries);
    // Asks for the events of the days [first, last]; Changed follows once they are
    // ready, and again whenever a change gives them anew, unless neither they nor
    // those before hold any event: the grid then has nothing new to show.
    void Ask(QDate first, QDate last);
    // The gadget wrote an event: the files it wrote are taken alone (in a vdir read
    // again, in an .ics file the events written put in place of theirs), and the days
    // shown follow.
    void ReadWritten(const agendas::EventWriting& written);

    // The events of the last days computed, and what the sources could not read.
    const agendas::AgendaDays& Days() const { return reader_.Days(); }
    // Whether Days holds the events of the days [first, last]: the last answer was for
    // them, or no agenda is followed and no day has any.
    bool Known(QDate first, QDate last) const;
    // The subscriptions' fetches, whose states « Agendas… » shows.
    SubscriptionFetches& Fetches() { return fetches_; }
    // The reader itself, which the reminders ask for the days around today.
    AgendaReader& Reader() { return reader_; }

signals:
    void Changed();
    // An answer came to the last question, after Changed when it changed anything.
    void Answered();
    // The sources were chosen anew, or one of them changed: what they say may differ.
    void SourcesChanged();

private:
    // A change told at a subscription's address: its copy is looked at again.
    void ReadChangesAt(const QString& path);
    // What the watcher told since it was last read.
    void ReadWatched();
    // The days last asked computed again, once changes were told.
    void AskAgain();
    // The agendas' folders, and each agenda's file itself: a link in its place leads
    // to a file whose own folder is not watched.
    std::vector<std::string> WatchedPaths() const;
    void Watch();

    AgendaReader reader_;
    SubscriptionFetches fetches_;
    std::unique_ptr<files::FolderWatch> watch_;
    std::unique_ptr<QSocketNotifier> watchNotifier_;
    choices::UserChoices chosen_;
    QDate first_, last_;  // the days last asked
};
