#include "app/window/refresh_gate.h"

void RefreshGate::Tick() {
    if (enabled_) emit Timer();
}
