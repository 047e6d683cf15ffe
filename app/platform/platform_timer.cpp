#include "app/platform/platform_timer.h"

PlatformTimer::PlatformTimer(int intervalMs, QObject* parent) : QObject(parent), interval_(intervalMs) {}

void PlatformTimer::Tick() {
    if (enabled_ && interval_ > 0) emit Timer();
}
