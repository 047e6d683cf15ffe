#pragma once
// The machine's sleep, as logind tells it on the system bus (PrepareForSleep of
// org.freedesktop.login1.Manager): before the machine sleeps and after it wakes.
// A timer does not count the time asleep; on waking, whatever is due by the wall
// clock must be looked at again. Only logind itself is heard: another program's
// signal of the same name is not.

#include <QDBusConnection>
#include <QObject>

class SleepWatch : public QObject {
    Q_OBJECT
public:
    // `bus` is the system bus, where logind is; without one, nothing is ever told.
    explicit SleepWatch(const QDBusConnection& bus, QObject* parent = nullptr);

signals:
    void GoingToSleep();
    void WokeUp();

private slots:
    void OnPrepareForSleep(bool sleeping);
};
