#pragma once
// The user's agendas for the window, one concern in one object: the reader of the
// sources on its own thread (agenda_reader.h), the subscriptions fetched in the
// background (subscription_fetches.h), and the watching of the agendas' files and
// folders. A file changed, come or gone, or a fetch that brought a new calendar,
// has the sources it concerns read again (only what changed in them) and the days
// last asked computed again; the window hears one signal, Changed, once the events
// of those days are ready.

#include <QDate>
#include <QFileSystemWatcher>
#include <QObject>
#include <QStringList>
#include <memory>
#include <vector>

#include "agendas/agenda.h"
#include "app/platform/subscription_fetches.h"
#include "app/window/agenda_reader.h"
#include "choices/user_choices.h"
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
    // The gadget wrote the file at `path`: its source is looked at again, the new or
    // changed file alone read, and the days shown follow.
    void ReadWritten(const QString& path);

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
    // A change told at `path`: a watched file or folder, or a subscription's address.
    void ReadChangesAt(const QString& path);
    // The agendas' folders, and each file itself: a watcher of a folder hears of
    // files that come, go or are renamed there, not of a file written in place.
    QStringList WatchedPaths() const;
    void Watch();

    AgendaReader reader_;
    SubscriptionFetches fetches_;
    std::unique_ptr<QFileSystemWatcher> watcher_;
    choices::UserChoices chosen_;
    QDate first_, last_;  // the days last asked
};
