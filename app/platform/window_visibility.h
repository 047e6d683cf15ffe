#pragma once
// Whether anyone can see the window: shown and not minimised (Qt says the window is
// exposed), and, on X11, not entirely covered by other windows. Qt reports the
// first; the X server reports the second in its visibility notifications, which Qt
// does not ask for: the window asks for them itself. Under a compositor the X server
// reports every window as unobscured (each draws into a picture of its own), and on
// other platforms only the first counts.
//
// The change is reported as it happens, before Qt handles the exposure that follows
// it: a handler that rewrites the window's contents then has them in the first frame
// that is seen again (the X server sends a visibility notification before the
// exposures it causes).

#include <QAbstractNativeEventFilter>
#include <QObject>

class QWidget;
class QWindow;

class WindowVisibility : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    // Watches `window` (a top-level widget) from its first showing on.
    explicit WindowVisibility(QWidget& window);
    ~WindowVisibility() override;

    bool Seen() const { return exposed_ && !obscured_; }

signals:
    // The window has just become seen, or unseen.
    void SeenChanged(bool seen);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    void Watch(QWindow* handle);
    void AskForVisibilityNotifications(QWindow& handle);
    void Update(bool exposed, bool obscured);

    QWidget& window_;
    QWindow* watched_ = nullptr;
    bool exposed_ = false;
    bool obscured_ = false;
};
