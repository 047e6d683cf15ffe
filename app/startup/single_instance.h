#pragma once
// One gadget per user and display. The gadget that runs serves a Unix socket named
// after the display; a second launch finds it there, asks it to show itself
// (restored if minimised, raised above the other windows, given the keyboard), and
// ends with status 0. Without this, the second window would open exactly under the
// first, which is kept above once clicked, and take the keyboard unseen.
//
// The socket lies in a folder that only the user can enter, so that no other user
// of the machine can take its place first: the user's runtime folder
// (XDG_RUNTIME_DIR), or else a folder of the user's own in the temporary folder,
// made with mode 0700. A folder that belongs to someone else, or that someone else
// may write, is refused; without a safe folder the gadget opens anyway, and says
// once that a second launch will open a second window. Both ends check the other's
// user (SO_PEERCRED): a peer of another user is neither obeyed nor waited for.
//
// The gadget that serves holds a lock (flock) on a file beside the socket for as
// long as it runs; the kernel releases it when the process ends, however it ends.
// Whoever takes the lock is the one gadget: five launches at the same instant give
// one window, and a socket left behind by a crash is removed by the next gadget,
// which holds the lock. A file that belongs to someone else is never removed.

#include <QObject>
#include <memory>
#include <string>

class QSocketNotifier;
class QWidget;

// The folder of the socket: XDG_RUNTIME_DIR when it is set and safe, otherwise
// "solvane-UID" in `temporaryFolder`, made 0700 if missing; empty when neither is
// safe. A folder is safe when it is a folder (not a link to one), belongs to the
// user, and neither group nor others may write it.
std::string SafeSocketFolder(const std::string& runtimeFolder, const std::string& temporaryFolder);

// The socket's name in that folder, after the canonical form of the displays.
std::string GadgetSocketName(const std::string& x11Display, const std::string& waylandDisplay);

// Shows the window in front: restored if minimised, raised, and active.
void ShowInFront(QWidget& window);

class GadgetInstance : public QObject {
    Q_OBJECT
public:
    enum class Start {
        First,               // this gadget is the one: it serves once its window exists
        AnotherShowsItself,  // a gadget of the user runs on this display, and was asked to show itself
        Alone,               // no safe place: this gadget runs without being found
    };

    GadgetInstance();
    ~GadgetInstance() override;

    // Before the window exists: takes the place of the one gadget of `socketName`
    // in `folder` (SafeSocketFolder), or asks the gadget that holds it to show itself.
    Start Claim(const std::string& folder, const std::string& socketName);

    // Once the window exists: shows it in front at each request of the user's own.
    void Serve(QWidget& window);

private:
    void Answer();

    std::string socketPath_;
    int lockFd_ = -1;
    int listenFd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    QWidget* window_ = nullptr;
};
