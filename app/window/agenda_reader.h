#pragma once
// The user's agendas for the window, read off its thread: the sources are read and
// each month's events computed on a thread of their own, so that a large or hostile
// calendar never holds up the clock or the clicks; the window shows the events of
// the last days it asked for once they are ready, and meanwhile those it had.

#include <QDate>
#include <QObject>
#include <QThread>
#include <atomic>
#include <set>
#include <string>
#include <vector>

#include "agendas/agenda.h"

class AgendaReader : public QObject {
    Q_OBJECT
public:
    // The iCalendar module is looked for in `programFolder`.
    explicit AgendaReader(const QString& programFolder, QObject* parent = nullptr);
    ~AgendaReader() override;

    // The sources to read from now on; the events asked next come from them.
    void SetSources(const std::vector<agendas::Source>& sources);
    // Reads again, at the next question, what changed in the sources that a change
    // told at `path` (a file or folder watched, a subscription's address) concerns.
    // `lost`: the watcher lost events there (agendas::Agenda::ReadChangesAt).
    void ReadChangesAt(const QString& path, bool lost = false);
    // Looks at those entries of the folder alone, at the next question.
    void ReadNamesAt(const QString& folder, std::set<std::string> names);
    // Takes the file the gadget wrote, at the next question (agendas::Agenda::TakeWritten).
    void TakeWritten(agendas::WrittenFile written);
    // Reads every source again, at the next question: the machine's zone changed, and
    // with it the days of whole-day events and floating times.
    void ReadAgain();
    // Asks for the events of the days [first, last]; Ready follows once they are
    // computed, unless another question came meanwhile (then Ready follows it).
    void Ask(QDate first, QDate last);

    // The events of the last days computed, and what the sources could not read.
    const agendas::AgendaDays& Days() const { return days_; }
    // Whether any source is read: without one, every answer is empty.
    bool Reads() const { return !sources_.empty(); }

    // The same for the reminders, which look at the days around today whatever the
    // grid shows: the months computed serve both.
    void AskReminders(QDate first, QDate last);
    const agendas::AgendaDays& ReminderDays() const { return reminderDays_; }

signals:
    // `eventsChanged` unless this answer and the one before both have no event and no
    // contact: the grid then shows nothing new.
    void Ready(bool eventsChanged);
    void RemindersReady();

private:
    class Worker;
    QThread thread_;
    Worker* worker_;
    std::vector<agendas::Source> sources_;
    agendas::AgendaDays days_;
    std::atomic<unsigned> asked_{0};  // the number of the last question
    agendas::AgendaDays reminderDays_;
    std::atomic<unsigned> remindersAsked_{0};
};
