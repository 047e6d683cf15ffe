#pragma once
// The desktop's notifications (org.freedesktop.Notifications on the session bus),
// through which the gadget shows its reminders. Every call is asynchronous: without a
// notification server, or with a slow one, nothing waits; the server's capabilities
// are asked at start and again whenever a server takes the name, so that one started
// after the gadget is used too.

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QStringList>
#include <map>
#include <vector>

class QDBusPendingCallWatcher;

class DesktopNotifier : public QObject {
    Q_OBJECT
public:
    // The actions of a notice, by their keys on the bus.
    enum class Action { Open, Snooze, Dismiss };

    struct Notice {
        QString key;      // the caller's name for it, given back with its answers
        QString summary;  // « 14 h 00 Réunion d'équipe »
        QString body;     // plain text: « dans 10 min — Salle B »
        QString icon;     // the gadget's icon: a theme name or an absolute path
        // Whether it offers « Reporter de 10 min » and « Ignorer »; otherwise only its
        // click, which opens the gadget.
        bool snoozable = true;
    };

    explicit DesktopNotifier(const QDBusConnection& bus, QObject* parent = nullptr);

    // Whether a server answered, and what it said it can do (GetCapabilities).
    bool Available() const { return state_ == State::Available; }
    bool Answered() const { return state_ != State::Asking; }
    QStringList Capabilities() const { return capabilities_; }

    // Shows the notice; before the server has answered, as soon as it does; without a
    // server, not at all (Available() tells the menu so). With
    // « actions » among its capabilities, the notice offers « Reporter de 10 min » and
    // « Ignorer » when snoozable, and its click opens the gadget; otherwise it only tells. Its body
    // is escaped where the server reads markup.
    void Show(const Notice& notice);

signals:
    // The server answered GetCapabilities, or has gone: Available() says which.
    void AvailabilityChanged();
    void ActionChosen(const QString& key, DesktopNotifier::Action action);
    // Closed by the server: `reason` as the server gives it (1 expired, 2 dismissed by
    // the user, 3 closed by a call, 4 other).
    void Closed(const QString& key, uint reason);

private slots:
    void OnActionInvoked(uint id, const QString& actionKey);
    void OnNotificationClosed(uint id, uint reason);

private:
    enum class State { Asking, Available, Absent };
    void AskCapabilities();
    void Send(const Notice& notice);

    QDBusConnection bus_;
    State state_ = State::Asking;
    QStringList capabilities_;
    std::vector<Notice> waiting_;   // shown before the server answered
    std::map<uint, QString> keys_;  // the server's ids of the notices shown, and their keys
};
