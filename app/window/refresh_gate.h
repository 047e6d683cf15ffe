#pragma once
// One of the window's two refresh gates, Timer1 and Timer2: it ticks when the
// window's RefreshTrigger says that something its refresh reads can have changed,
// never on a period, and a disabled one does not tick, which stops its refresh.

#include <QObject>

class RefreshGate : public QObject {
    Q_OBJECT
public:
    // Created enabled, as the window's timers are.
    explicit RefreshGate(QObject* parent = nullptr) : QObject(parent) {}

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled) { enabled_ = enabled; }

    // Ticks now, unless stopped.
    void Tick();

signals:
    void Timer();

private:
    bool enabled_ = true;
};
