#pragma once
// One of the window's two timers. The gadget was designed on a platform where each
// of its two refreshes ran on a 1 ms timer, as often as ticks could come, and
// recomputed every display whether anything had changed or not. Here a timer ticks
// when the window's RefreshTrigger says that something its refresh reads can have
// changed, and a disabled timer does not tick.

#include <QObject>

class PlatformTimer : public QObject {
    Q_OBJECT
public:
    // Created enabled, as the window's timers are.
    explicit PlatformTimer(QObject* parent = nullptr) : QObject(parent) {}

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled) { enabled_ = enabled; }

    // Ticks now, unless stopped.
    void Tick();

signals:
    void Timer();

private:
    bool enabled_ = true;
};
