#pragma once
// A timer of the window: it keeps the period it was given, but never ticks faster
// than every 16 ms. The gadget was first designed on a platform whose timers
// deliver no more than about 64 ticks a second, and its two 1 ms timers rely on
// that pace: at a true millisecond the refreshes alone would keep a core busy.

#include <QObject>
#include <QTimer>

class PlatformTimer : public QObject {
    Q_OBJECT
public:
    static constexpr int kShortestPeriodMs = 16;

    // Created running, as the window's timers are.
    explicit PlatformTimer(int intervalMs, QObject* parent = nullptr);

    // The period as stated; 0 stops the ticks, like a disabled timer.
    int Interval() const { return interval_; }
    void SetInterval(int intervalMs);

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    // The time between two ticks as they really come: max(Interval, 16 ms).
    int RealPeriod() const;

    bool IsTicking() const { return timer_.isActive(); }

signals:
    void Timer();

private:
    void Restart();

    QTimer timer_;
    int interval_;
    bool enabled_ = true;
};
