#include "app/window/agenda_reader.h"

#include <QFile>
#include <memory>

#include "agendas/ics_module.h"
#include "app/text/qt_text.h"

// Lives on the reader's thread: each call is queued there, one at a time.
class AgendaReader::Worker : public QObject {
public:
    explicit Worker(std::string programFolder) : programFolder_(std::move(programFolder)) {}

    void SetSources(std::vector<agendas::Source> sources) {
        const std::string folder = programFolder_;
        agenda_ = std::make_unique<agendas::Agenda>(
            std::move(sources), [folder](std::string& problem) { return agendas::ModuleIcsReader(folder, problem); });
    }
    void ReadChangesAt(const std::string& path, bool lost) {
        if (agenda_) agenda_->ReadChangesAt(path, lost);
    }
    void ReadNamesAt(const std::string& folder, const std::set<std::string>& names) {
        if (agenda_) agenda_->ReadNamesAt(folder, names);
    }
    void TakeWritten(const agendas::WrittenFile& written) {
        if (agenda_) agenda_->TakeWritten(written);
    }
    agendas::AgendaDays Between(agendas::LocalDate first, agendas::LocalDate last) {
        if (!agenda_ || agenda_->Empty())
            return {.first = first, .last = last, .days = {}, .problems = {}, .contacts = {}};
        return agenda_->DaysBetween(first, last);
    }

private:
    std::string programFolder_;
    std::unique_ptr<agendas::Agenda> agenda_;
};

namespace {

agendas::LocalDate LocalOf(QDate date) { return {date.year(), date.month(), date.day()}; }

}  // namespace

AgendaReader::AgendaReader(const QString& programFolder, QObject* parent)
    : QObject(parent), worker_(new Worker(Native(programFolder))) {
    thread_.setObjectName(QStringLiteral("agendas"));
    worker_->moveToThread(&thread_);
}

AgendaReader::~AgendaReader() {
    // A question under way finishes first: each is bounded (agendas/ics_reader.h).
    asked_ = ~0U;
    thread_.quit();
    thread_.wait();
    delete worker_;  // its thread has ended: what was queued for it goes with it
}

void AgendaReader::SetSources(const std::vector<agendas::Source>& sources) {
    if (sources == sources_) return;  // another choice in the settings file: the agendas stay read
    sources_ = sources;
    // The thread starts with the first agenda: without one, its questions have an
    // answer at once, and the window one thread less.
    if (!sources.empty() && !thread_.isRunning()) thread_.start(QThread::LowPriority);
    QMetaObject::invokeMethod(
        worker_, [worker = worker_, sources] { worker->SetSources(sources); }, Qt::QueuedConnection);
}

void AgendaReader::ReadChangesAt(const QString& path, bool lost) {
    const auto readChanges = [worker = worker_, path = Native(path), lost] { worker->ReadChangesAt(path, lost); };
    QMetaObject::invokeMethod(worker_, readChanges, Qt::QueuedConnection);
}

void AgendaReader::ReadNamesAt(const QString& folder, std::set<std::string> names) {
    const auto readNames = [worker = worker_, folder = Native(folder), names = std::move(names)] {
        worker->ReadNamesAt(folder, names);
    };
    QMetaObject::invokeMethod(worker_, readNames, Qt::QueuedConnection);
}

void AgendaReader::TakeWritten(agendas::WrittenFile written) {
    const auto take = [worker = worker_, written = std::move(written)] { worker->TakeWritten(written); };
    QMetaObject::invokeMethod(worker_, take, Qt::QueuedConnection);
}

void AgendaReader::ReadAgain() {
    QMetaObject::invokeMethod(
        worker_, [worker = worker_, sources = sources_] { worker->SetSources(sources); }, Qt::QueuedConnection);
}

void AgendaReader::Ask(QDate first, QDate last) {
    const unsigned question = ++asked_;
    if (!thread_.isRunning()) {
        QMetaObject::invokeMethod(
            this,
            [this, question, first = LocalOf(first), last = LocalOf(last)] {
                if (asked_ != question) return;
                const bool eventsChanged = !days_.days.empty() || !days_.contacts.empty();
                days_ = {.first = first, .last = last, .days = {}, .problems = {}, .contacts = {}};
                emit Ready(eventsChanged);
            },
            Qt::QueuedConnection);
        return;
    }
    QMetaObject::invokeMethod(
        worker_,
        [this, question, first = LocalOf(first), last = LocalOf(last)] {
            // A later question makes this one useless: only the last is answered.
            if (asked_ != question) return;
            auto days = std::make_shared<agendas::AgendaDays>(worker_->Between(first, last));
            QMetaObject::invokeMethod(
                this,
                [this, question, days]() mutable {
                    if (asked_ != question) return;
                    const bool eventsChanged = !days_.days.empty() || !days->days.empty() || !days_.contacts.empty() ||
                                               !days->contacts.empty();
                    // The answer before goes back to the reader's thread, which frees its
                    // thousands of events there, beside those it has just counted again.
                    std::swap(days_, *days);
                    auto release = [before = std::move(days)] {};
                    QMetaObject::invokeMethod(worker_, std::move(release), Qt::QueuedConnection);
                    emit Ready(eventsChanged);
                },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

void AgendaReader::AskReminders(QDate first, QDate last) {
    const unsigned question = ++remindersAsked_;
    if (!thread_.isRunning()) {
        QMetaObject::invokeMethod(
            this,
            [this, question, first = LocalOf(first), last = LocalOf(last)] {
                if (remindersAsked_ != question) return;
                reminderDays_ = {.first = first, .last = last, .days = {}, .problems = {}, .contacts = {}};
                emit RemindersReady();
            },
            Qt::QueuedConnection);
        return;
    }
    QMetaObject::invokeMethod(
        worker_,
        [this, question, first = LocalOf(first), last = LocalOf(last)] {
            if (remindersAsked_ != question || asked_ == ~0U) return;
            auto days = std::make_shared<agendas::AgendaDays>(worker_->Between(first, last));
            QMetaObject::invokeMethod(
                this,
                [this, question, days] {
                    if (remindersAsked_ != question) return;
                    reminderDays_ = std::move(*days);
                    emit RemindersReady();
                },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}
