#include "app/window/reminder_keeper.h"

#include <fcntl.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <QDBusConnection>
#include <algorithm>
#include <array>
#include <cerrno>
#include <ctime>

#include "app/text/qt_text.h"
#include "calendar/french_words.h"
#include "calendar/leap_year.h"
#include "calendar/local_zone.h"
#include "calendar/serial_date.h"
#include "calendar/utf8_text.h"
#include "files/file_identity.h"
#include "namedays/name_day_lookup.h"
#include "reminders/kept_state.h"
#include "reminders/wishes.h"
#include "reminders/wording.h"

namespace {

// A snooze lasts this long (« Reporter de 10 min »).
constexpr reminders::UnixSeconds kSnooze = 10 * 60;
// The longest sleep between two looks: the days asked move on with today.
constexpr reminders::UnixSeconds kLongestSleep = 6 * 60 * 60;
// The icon of the gadget's menu entry, by its theme name.
const char* const kIcon = "solvane";
// The files that say the system's zone: a change of either is a change of zone.
const char* const kZoneFolder = "/etc";

// What names the machine's zone in that folder: the link /etc/localtime (or a copy
// of a zone file), and /etc/timezone as Debian keeps it. Every other file of /etc
// (resolv.conf, adjtime, ld.so.cache) changes without moving the zone.
std::array<files::FileIdentity, 2> ZoneFiles() {
    return {files::IdentityAt(AT_FDCWD, "/etc/localtime"), files::IdentityAt(AT_FDCWD, "/etc/timezone")};
}

reminders::UnixSeconds Now() { return std::time(nullptr); }

QDate DateOf(const agendas::LocalDate& date) { return {date.year, date.month, date.day}; }

}  // namespace

ReminderKeeper::ReminderKeeper(AgendaReader& reader, QObject* parent) : QObject(parent), reader_(reader) {
    connect(&reader_, &AgendaReader::RemindersReady, this, &ReminderKeeper::Plan);
}

void ReminderKeeper::Start() {
    if (notifier_) return;
    folder_ = reminders::StateFolder();
    kept_ = written_ = reminders::ReadKeptState(folder_);
    notifier_ = std::make_unique<DesktopNotifier>(QDBusConnection::sessionBus());
    sleep_ = std::make_unique<SleepWatch>(QDBusConnection::systemBus());
    timer_ = timerfd_create(CLOCK_REALTIME, TFD_CLOEXEC | TFD_NONBLOCK);
    if (timer_ >= 0) {
        timerReady_ = std::make_unique<QSocketNotifier>(timer_, QSocketNotifier::Read);
        connect(timerReady_.get(), &QSocketNotifier::activated, this, &ReminderKeeper::OnTimer);
    }
    connect(sleep_.get(), &SleepWatch::WokeUp, this, &ReminderKeeper::Look);
    connect(notifier_.get(), &DesktopNotifier::ActionChosen, this, &ReminderKeeper::OnAction);
    // /etc/localtime is replaced, not written: its folder tells.
    zone_ = std::make_unique<QFileSystemWatcher>(QStringList{QString::fromLatin1(kZoneFolder)});
    zoneFiles_ = ZoneFiles();
    connect(zone_.get(), &QFileSystemWatcher::directoryChanged, this, [this] {
        if (ZoneFiles() == zoneFiles_) return;
        zoneFiles_ = ZoneFiles();
        calendar::RefreshLocalZone();
        // The whole days and the floating times of the agendas move with the zone.
        reader_.ReadAgain();
        Look();
    });
    Look();
}

ReminderKeeper::~ReminderKeeper() {
    timerReady_.reset();
    if (timer_ >= 0) close(timer_);
}

void ReminderKeeper::Look() {
    if (!notifier_) return;
    const reminders::AskedDays days = reminders::DaysAround(Now());
    reader_.AskReminders(DateOf(days.first), DateOf(days.last));
}

void ReminderKeeper::Plan() {
    if (!notifier_) return;
    const reminders::UnixSeconds now = Now();
    const std::vector<reminders::Alarm> alarms = reminders::AlarmsBetween(
        reader_.ReminderDays(), now - reminders::kOldestMissed, now + reminders::kDaysAhead * 24 * 60 * 60);
    const reminders::Plan plan = reminders::PlanReminders(alarms, kept_, now);
    const calendar::LocalReading local = calendar::LocalReadingOf(now);
    const agendas::LocalDate today{local.year, local.month, local.day};
    for (const reminders::Notice& notice : plan.show) {
        const QString key = Utf8(notice.alarms.front().id);
        shown_[key] = notice;
        notifier_->Show({.key = key,
                         .summary = Utf8(reminders::NoticeSummary(notice)),
                         .body = Utf8(reminders::NoticeBody(notice, now, today)),
                         .icon = QString::fromLatin1(kIcon)});
    }
    reminders::MarkShown(kept_, plan, now);
    const reminders::UnixSeconds wishes = wishing_ ? Wish(now, today) : now + kLongestSleep;
    Keep();
    Arm(std::min({plan.wake.value_or(now + kLongestSleep), now + kLongestSleep, wishes}));
}

void ReminderKeeper::SetWishes(bool on, const std::vector<std::string>& nameDays) {
    const bool asked = on && !wishing_;
    wishing_ = on;
    nameDays_ = nameDays;
    if (asked) Look();
}

reminders::UnixSeconds ReminderKeeper::Wish(reminders::UnixSeconds now, agendas::LocalDate today) {
    const reminders::UnixSeconds at = reminders::WishingTime(today);
    if (now < at) return at;
    const reminders::UnixSeconds tomorrow = reminders::WishingTime(agendas::NextDay(today));
    if (kept_.wished == today) return tomorrow;
    const calendar::SerialDate date = calendar::MakeDate(today.year, today.month, today.day);
    const auto position =
        std::size_t(namedays::NameDayPosition(calendar::IsLeapYear(today.year), today.year, today.month, date));
    const std::string entry = position < nameDays_.size() ? nameDays_[position] : std::string();
    const reminders::DayWishes wishes = reminders::WishesOn(reader_.ReminderDays().contacts, entry, today);
    const std::string day = calendar::DateInWords(today.day, today.month);
    const struct {
        const char* key;
        const std::string& summary;
        std::string body;
    } notices[] = {
        {.key = "voeux/fete", .summary = wishes.nameDay, .body = "Fête du jour : " + calendar::ShownText(entry)},
        {.key = "voeux/anniversaires", .summary = wishes.birthdays, .body = "Aujourd'hui, " + day},
    };
    for (const auto& notice : notices) {
        if (notice.summary.empty()) continue;
        const QString key = QString::fromLatin1(notice.key);
        wishesShown_[key] = DateOf(today);
        notifier_->Show({.key = key,
                         .summary = Utf8(notice.summary),
                         .body = Utf8(notice.body),
                         .icon = QString::fromLatin1(kIcon),
                         .snoozable = false});
        // Shown once: a card added later in the day waits for no second notice.
        kept_.wished = today;
    }
    return tomorrow;
}

void ReminderKeeper::Arm(reminders::UnixSeconds at) {
    if (timer_ < 0) return;
    itimerspec when{};
    when.it_value.tv_sec = time_t(at);
    timerfd_settime(timer_, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &when, nullptr);
}

void ReminderKeeper::OnTimer() {
    // ECANCELED: the clock was set; otherwise the instant has come. Either way, look.
    std::uint64_t expirations = 0;
    while (read(timer_, &expirations, sizeof expirations) < 0 && errno == EINTR) {}
    Look();
}

void ReminderKeeper::OnAction(const QString& key, DesktopNotifier::Action action) {
    if (const auto wish = wishesShown_.find(key); wish != wishesShown_.end()) {
        if (action == DesktopNotifier::Action::Open) emit DayAsked(wish->second);
        return;
    }
    const auto notice = shown_.find(key);
    if (notice == shown_.end()) return;
    switch (action) {
    case DesktopNotifier::Action::Open: emit DayAsked(DateOf(notice->second.alarms.front().start.Date())); return;
    case DesktopNotifier::Action::Snooze: reminders::MarkSnoozed(kept_, notice->second, Now() + kSnooze); break;
    case DesktopNotifier::Action::Dismiss: reminders::MarkDismissed(kept_, notice->second); break;
    }
    shown_.erase(notice);
    Keep();
    Look();
}

void ReminderKeeper::Keep() {
    reminders::ForgetOldMarks(kept_, Now());
    // Written when it changed only: a write and its fsync at every look would wake the disk.
    if (kept_ == written_) return;
    if (reminders::WriteKeptState(folder_, kept_)) written_ = kept_;
}
