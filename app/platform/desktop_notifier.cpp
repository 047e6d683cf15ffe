#include "app/platform/desktop_notifier.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QVariantMap>

#include "app/text/qt_text.h"

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");

// The keys of the actions on the bus, « default » being the click on the notice.
struct ActionRow {
    DesktopNotifier::Action action;
    const char* key;
    const char* label;
};
constexpr ActionRow kActions[] = {
    {.action = DesktopNotifier::Action::Open, .key = "default", .label = "Ouvrir"},
    {.action = DesktopNotifier::Action::Snooze, .key = "reporter", .label = "Reporter de 10 min"},
    {.action = DesktopNotifier::Action::Dismiss, .key = "ignorer", .label = "Ignorer"},
};

}  // namespace

DesktopNotifier::DesktopNotifier(const QDBusConnection& bus, QObject* parent) : QObject(parent), bus_(bus) {
    // Only the server's answers are heard: another program cannot snooze a reminder.
    bus_.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                 SLOT(OnActionInvoked(uint, QString)));
    bus_.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                 SLOT(OnNotificationClosed(uint, uint)));
    auto* watcher = new QDBusServiceWatcher(kService, bus_, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& newOwner) {
                // A new server knows none of the notices shown by the one before.
                keys_.clear();
                if (newOwner.isEmpty()) {
                    state_ = State::Absent;
                    capabilities_.clear();
                    emit AvailabilityChanged();
                } else {
                    AskCapabilities();
                }
            });
    AskCapabilities();
}

void DesktopNotifier::AskCapabilities() {
    state_ = State::Asking;
    const QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("GetCapabilities"));
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* answer) {
        answer->deleteLater();
        const QDBusPendingReply<QStringList> reply = *answer;
        state_ = reply.isError() ? State::Absent : State::Available;
        capabilities_ = reply.isError() ? QStringList() : reply.value();
        std::vector<Notice> waiting;
        waiting.swap(waiting_);
        if (Available()) {
            for (const Notice& notice : waiting) Send(notice);
        }
        emit AvailabilityChanged();
    });
}

void DesktopNotifier::Show(const Notice& notice) {
    if (state_ == State::Asking) {
        waiting_.push_back(notice);
    } else if (Available()) {
        Send(notice);
    }
}

void DesktopNotifier::Send(const Notice& notice) {
    QStringList actions;
    if (capabilities_.contains(QStringLiteral("actions"))) {
        for (const ActionRow& row : kActions) {
            if (notice.snoozable || row.action == Action::Open)
                actions << QString::fromLatin1(row.key) << Utf8(row.label);
        }
    }
    const QString body =
        capabilities_.contains(QStringLiteral("body-markup")) ? notice.body.toHtmlEscaped() : notice.body;
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("solvane"));
    if (!notice.icon.isEmpty()) hints.insert(QStringLiteral("image-path"), notice.icon);
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    call << QStringLiteral("Solvane") << uint(0) << notice.icon << notice.summary << body << actions << hints
         << int(-1);
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, key = notice.key](QDBusPendingCallWatcher* answer) {
                answer->deleteLater();
                const QDBusPendingReply<uint> reply = *answer;
                if (!reply.isError()) keys_[reply.value()] = key;
            });
}

void DesktopNotifier::OnActionInvoked(uint id, const QString& actionKey) {
    const auto shown = keys_.find(id);
    if (shown == keys_.end()) return;
    for (const ActionRow& row : kActions) {
        if (actionKey == QLatin1String(row.key)) emit ActionChosen(shown->second, row.action);
    }
}

void DesktopNotifier::OnNotificationClosed(uint id, uint reason) {
    const auto shown = keys_.find(id);
    if (shown == keys_.end()) return;
    const QString key = shown->second;
    keys_.erase(shown);
    emit Closed(key, reason);
}
