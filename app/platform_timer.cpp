#include "app/platform_timer.h"

#include <algorithm>

PlatformTimer::PlatformTimer(int intervalMs, QObject* parent) : QObject(parent), interval_(intervalMs) {
    // A precise timer never fires before its period is over; a coarse one may come
    // up to 5 % early, which would break the 16 ms floor.
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &PlatformTimer::Timer);
    Restart();
}

void PlatformTimer::SetInterval(int intervalMs) {
    interval_ = intervalMs;
    Restart();
}

void PlatformTimer::SetEnabled(bool enabled) {
    enabled_ = enabled;
    Restart();
}

int PlatformTimer::RealPeriod() const { return std::max(interval_, kShortestPeriodMs); }

void PlatformTimer::Restart() {
    if (enabled_ && interval_ > 0) {
        timer_.start(RealPeriod());
    } else {
        timer_.stop();
    }
}
