#pragma once
// The window-system services of the gadget's window, kept in one thin layer: the
// rounded outline, the keep-above attribute, the move by the mouse, minimising and
// quitting.

#include <QObject>
#include <QPoint>
#include <QRegion>
#include <optional>

class QWidget;

// The region of a rectangle with rounded corners, as Windows draws one: the right
// and bottom edges are exclusive, and each corner is a quarter of an ellipse
// `ellipseWidth` wide and `ellipseHeight` high. Built row by row so that the four
// corners are exact mirror images of each other.
QRegion RoundRectRegion(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight);

class PlatformWindow : public QObject {
    Q_OBJECT
public:
    explicit PlatformWindow(QWidget& window);

    // Only the part of the window inside the outline is drawn and takes the mouse.
    // Before the window is first shown; the window then paints inside the outline
    // only, and its pixels outside stay clear.
    void SetOutline(const QRegion& outline);

    // Puts the window above all ordinary windows, or makes it an ordinary window
    // again that others can cover.
    void KeepAbove(bool above = true);

    // Starts a move driven by the mouse, from a left press at `pressPosition` in
    // window coordinates: the window manager's own move where there is one,
    // otherwise the window follows the mouse until the left button is released.
    // Nothing moves when the button has already been released. True when a move
    // started; MoveEnded follows once it is over.
    bool StartMove(QPoint pressPosition);

    void Minimise();

    // Ends the program at once with status 0: nothing is asked, nothing is written.
    void Quit();

signals:
    // A move started by StartMove is over: the button was released. Sent at the end
    // of the move, after the last change of place the window has heard of, and again
    // for each place the window manager reports after it, until the next press or
    // key.
    void MoveEnded();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void StopFollowingMouse();
    void StopHearingPlace();

    QWidget& window_;
    std::optional<QPoint> grip_;  // where the mouse holds the window, in window coordinates
    bool systemMove_ = false;     // the window manager moves the window
    bool hearingPlace_ = false;   // its move is over, and it may still say where it left the window
};
