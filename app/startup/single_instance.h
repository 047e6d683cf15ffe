#pragma once
// One gadget per user and display. The gadget that runs serves a local socket named
// after both; a second launch finds it there, asks it to show itself (restored if
// minimised, raised above the other windows, given the keyboard), and ends with
// status 0. Without this, the second window would open exactly under the first,
// which is kept above once clicked, and take the keyboard unseen.
//
// A socket left behind by a gadget that ended without closing it (a crash, a kill)
// answers no one: the next gadget removes it and serves in its place.

#include <QLocalServer>
#include <QObject>
#include <QString>
#include <string>

class QWidget;

// The socket's path: in the user's own runtime folder (XDG_RUNTIME_DIR) when there
// is one, otherwise in the temporary folder, always with the user's number, and the
// X and Wayland displays of the session as the program found them.
QString GadgetSocketPath(const std::string& x11Display, const std::string& waylandDisplay);

// Asks the gadget that serves `path` to show itself; true once it has answered.
bool AskRunningGadgetToShow(const QString& path);

// Shows the window in front: restored if minimised, raised, and active.
void ShowInFront(QWidget& window);

class GadgetServer : public QObject {
    Q_OBJECT
public:
    // Serves `path` from now on and shows `window` in front at each request; false
    // when another gadget serves it already (two launched at the same moment).
    // Should the socket be impossible to make, the gadget runs without it.
    bool Serve(const QString& path, QWidget& window);

private:
    void Answer();

    QLocalServer server_;
    QWidget* window_ = nullptr;
};
