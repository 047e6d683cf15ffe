#include "app/window/user_agendas.h"

#include <QFile>
#include <QFileInfo>

#include "app/text/qt_text.h"

UserAgendas::UserAgendas(const QString& programFolder, QObject* parent) : QObject(parent), reader_(programFolder) {
    // The events are there: the folders of a source that has just come into being
    // are watched, and the window shows them.
    connect(&reader_, &AgendaReader::Ready, this, [this](bool eventsChanged) {
        Watch();
        if (eventsChanged) emit Changed();
        emit Answered();
    });
    // The subscriptions are fetched from the start on, and their days shown again
    // when a fetch brings a new calendar.
    connect(&fetches_, &SubscriptionFetches::Fetched, this, [this](const QString& address, bool copyChanged) {
        if (copyChanged) ReadChangesAt(address);
    });
}

void UserAgendas::Follow(const choices::UserChoices& chosen, const std::vector<settings::AgendaEntry>& entries) {
    chosen_ = chosen;
    reader_.SetSources(chosen.agendas);
    fetches_.SetSources(SubscriptionFetches::SourcesOf(entries));
    Watch();
    emit SourcesChanged();
}

void UserAgendas::Ask(QDate first, QDate last) {
    first_ = first;
    last_ = last;
    reader_.Ask(first, last);
}

bool UserAgendas::Known(QDate first, QDate last) const {
    const agendas::AgendaDays& days = reader_.Days();
    if (!reader_.Reads()) return days.days.empty() && days.contacts.empty();
    return days.first == agendas::LocalDate{first.year(), first.month(), first.day()} &&
           days.last == agendas::LocalDate{last.year(), last.month(), last.day()};
}

void UserAgendas::ReadChangesAt(const QString& path) {
    reader_.ReadChangesAt(path);
    if (first_.isValid()) reader_.Ask(first_, last_);
    emit SourcesChanged();
}

// A vdir is its folder, which a source of one .ics file names too.
void UserAgendas::ReadWritten(const QString& path) {
    reader_.ReadChangesAt(QFileInfo(path).path());
    ReadChangesAt(path);
}

QStringList UserAgendas::WatchedPaths() const {
    QStringList paths;
    for (const std::string& folder : chosen_.agendaFolders) paths << FromNative(folder);
    for (const agendas::Source& source : chosen_.agendas) {
        if (source.kind == agendas::Source::Kind::File) paths << FromNative(source.location);
    }
    return paths;
}

// The paths watched in place of those before; one that does not exist yet is
// watched once it does (Watch runs again after each reading).
void UserAgendas::Watch() {
    const QStringList paths = WatchedPaths();
    const QStringList watched = watcher_ ? watcher_->files() + watcher_->directories() : QStringList();
    QStringList gone, added;
    for (const QString& path : watched) {
        if (!paths.contains(path)) gone << path;
    }
    for (const QString& path : paths) {
        if (!watched.contains(path) && QFileInfo::exists(path)) added << path;
    }
    if (!gone.isEmpty()) watcher_->removePaths(gone);
    if (added.isEmpty()) return;
    // Made for the first path: without agendas, nothing is watched.
    if (!watcher_) {
        watcher_ = std::make_unique<QFileSystemWatcher>();
        connect(watcher_.get(), &QFileSystemWatcher::directoryChanged, this, &UserAgendas::ReadChangesAt);
        connect(watcher_.get(), &QFileSystemWatcher::fileChanged, this, &UserAgendas::ReadChangesAt);
    }
    watcher_->addPaths(added);
}
