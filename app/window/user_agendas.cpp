#include "app/window/user_agendas.h"

#include <set>

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

void UserAgendas::AskAgain() {
    if (first_.isValid()) reader_.Ask(first_, last_);
    emit SourcesChanged();
}

void UserAgendas::ReadChangesAt(const QString& path) {
    reader_.ReadChangesAt(path);
    AskAgain();
}

void UserAgendas::ReadWritten(const agendas::EventWriting& written) {
    for (const agendas::WrittenFile& file : written.written) reader_.TakeWritten(file);
    if (!written.written.empty()) AskAgain();
}

// A burst of changes is read at once, each name once: a synchronisation that writes a
// hundred files is one look at a hundred names. A name that no source reads (a
// temporary file, another program's file in an agenda file's folder) asks nothing.
void UserAgendas::ReadWatched() {
    const files::FolderChanges changes = watch_->Read();
    bool told = false;
    for (const auto& [folder, names] : changes.names) {
        std::set<std::string> concerning;
        for (const std::string& name : names) {
            if (agendas::NameConcerns(chosen_.agendas, folder, name)) concerning.insert(name);
        }
        if (concerning.empty()) continue;
        reader_.ReadNamesAt(FromNative(folder), std::move(concerning));
        told = true;
    }
    // Events lost, a folder moved or removed, or a watched file changed: the whole
    // looked at, each file's status compared.
    for (const std::string& path : changes.whole) {
        reader_.ReadChangesAt(FromNative(path), true);
        told = true;
    }
    if (told) AskAgain();
}

std::vector<std::string> UserAgendas::WatchedPaths() const {
    std::vector<std::string> paths = chosen_.agendaFolders;
    for (const agendas::Source& source : chosen_.agendas) {
        if (source.kind == agendas::Source::Kind::File) paths.push_back(source.location);
    }
    return paths;
}

// The paths watched in place of those before; one that does not exist yet is
// watched once it does (Watch runs again after each reading).
void UserAgendas::Watch() {
    const std::vector<std::string> paths = WatchedPaths();
    // Made for the first path: without agendas, nothing is watched.
    if (!watch_ && paths.empty()) return;
    if (!watch_) {
        watch_ = std::make_unique<files::FolderWatch>();
        if (watch_->Descriptor() < 0) return;
        watchNotifier_ = std::make_unique<QSocketNotifier>(watch_->Descriptor(), QSocketNotifier::Read);
        connect(watchNotifier_.get(), &QSocketNotifier::activated, this, &UserAgendas::ReadWatched);
    }
    watch_->Watch(paths);
}
