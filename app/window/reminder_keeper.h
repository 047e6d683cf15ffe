#pragma once
// The reminders of the user's calendars while the window runs: shown as desktop
// notifications at their wall-clock time (reminders/scheduler.h says which), the
// missed ones after a sleep or a power-off, and what the user answers kept in the
// state folder (reminders/kept_state.h), so that a restart shows nothing twice.
//
// Between two reminders the gadget sleeps: one timer of the kernel at the next one's
// instant, on the wall clock (CLOCK_REALTIME, TFD_TIMER_ABSTIME), which the kernel
// cancels whenever the clock is set (TFD_TIMER_CANCEL_ON_SET) so that a step of the
// clock is followed at once. A change of zone, a wake from sleep (logind) and a
// changed agenda make it look again; nothing counts elapsed time.
//
// The day's wishes to the contacts of the agendas (reminders/wishes.h), when the user
// asks for them, ride on the same timer: once a day, at reminders::kWishingHour on the
// local clock or at the first look after it, the day kept with the reminders' state.

#include <QDate>
#include <QFileSystemWatcher>
#include <QObject>
#include <QSocketNotifier>
#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/platform/desktop_notifier.h"
#include "app/platform/sleep_watch.h"
#include "app/window/agenda_reader.h"
#include "files/file_identity.h"
#include "reminders/scheduler.h"

class ReminderKeeper : public QObject {
    Q_OBJECT
public:
    // Asks `reader` for the days around today, once started.
    explicit ReminderKeeper(AgendaReader& reader, QObject* parent = nullptr);
    ~ReminderKeeper() override;
    ReminderKeeper(const ReminderKeeper&) = delete;
    ReminderKeeper& operator=(const ReminderKeeper&) = delete;

    // Reads the state from the user's state folder, opens the session bus (the
    // notifications) and the system bus (logind), watches the zone, and looks. Until
    // then nothing is asked or shown: a window starts its reminders once it is drawn,
    // since none of this shows in its first frame.
    void Start();
    // Looks again at the agendas: they changed, or the gadget has just started.
    void Look();
    // Whether a notification server answered: the menu says when none did.
    bool NotificationsShown() const { return !notifier_ || notifier_->Available() || !notifier_->Answered(); }
    // « Rappeler les fêtes et les anniversaires »: whether the day's wishes are shown,
    // and the name-day list they are drawn from, as read from fetes.txt.
    void SetWishes(bool on, const std::vector<std::string>& nameDays);

signals:
    // The user clicked a notice: the gadget shows that day.
    void DayAsked(QDate day);

private:
    void Plan();
    void Arm(reminders::UnixSeconds at);
    // Shows the wishes of `today` once; the next instant to look for them.
    reminders::UnixSeconds Wish(reminders::UnixSeconds now, agendas::LocalDate today);
    void OnTimer();
    void OnAction(const QString& key, DesktopNotifier::Action action);
    void Keep();

    AgendaReader& reader_;
    std::unique_ptr<DesktopNotifier> notifier_;  // from Start on, as the two below
    std::unique_ptr<SleepWatch> sleep_;
    std::unique_ptr<QFileSystemWatcher> zone_;
    std::array<files::FileIdentity, 2> zoneFiles_;  // as the last look at the zone found them
    int timer_ = -1;
    std::unique_ptr<QSocketNotifier> timerReady_;
    std::string folder_;
    reminders::KeptState kept_;
    reminders::KeptState written_;                // what the state file holds
    std::map<QString, reminders::Notice> shown_;  // the notices the server may answer, by key
    bool wishing_ = false;
    std::vector<std::string> nameDays_;
    std::map<QString, QDate> wishesShown_;  // the wishes' notices, by key, and their day
};
