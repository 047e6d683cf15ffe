#pragma once
// One of the window's two timers. The gadget was designed on a platform where each
// of its two refreshes ran on a 1 ms timer, as often as ticks could come, and
// recomputed every display whether anything had changed or not. Here a timer ticks
// when the window's RefreshTrigger says that something its refresh reads can have
// changed; it keeps the interval and the switch it was given, and a disabled timer
// (or one whose interval is 0) does not tick.

#include <QObject>

class PlatformTimer : public QObject {
    Q_OBJECT
public:
    // Created enabled, as the window's timers are.
    explicit PlatformTimer(int intervalMs, QObject* parent = nullptr);

    int Interval() const { return interval_; }
    void SetInterval(int intervalMs) { interval_ = intervalMs; }

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled) { enabled_ = enabled; }

    // Ticks now, unless stopped.
    void Tick();

signals:
    void Timer();

private:
    int interval_;
    bool enabled_ = true;
};
