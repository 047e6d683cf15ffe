#include "app/platform/sleep_watch.h"

SleepWatch::SleepWatch(const QDBusConnection& bus, QObject* parent) : QObject(parent) {
    QDBusConnection(bus).connect(QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
                                 QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"),
                                 this, SLOT(OnPrepareForSleep(bool)));
}

void SleepWatch::OnPrepareForSleep(bool sleeping) {
    if (sleeping) {
        emit GoingToSleep();
    } else {
        emit WokeUp();
    }
}
