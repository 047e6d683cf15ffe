#include "app/platform/platform_timer.h"

void PlatformTimer::Tick() {
    if (enabled_) emit Timer();
}
