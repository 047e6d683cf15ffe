#include "app/startup/single_instance.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <QSocketNotifier>
#include <QWidget>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <thread>

#include "app/platform/display_platform.h"
#include "files/descriptor.h"

namespace {

// How long a second launch waits for the running gadget: to listen, and then to
// answer, which it does as soon as its event loop turns.
constexpr std::chrono::milliseconds kAnswerTime{3000};
// The pause between two knocks while the gadget that holds the lock is not yet
// listening (the few microseconds between its lock and its listen).
constexpr std::chrono::milliseconds kKnockInterval{10};
// What the gadget answers to a request of its user.
constexpr char kAnswer[] = "ok\n";

// Said once on standard error when no safe folder holds the socket.
constexpr const char* kNoSafePlaceSentence =
    "Aucun dossier sûr pour la socket de Solvane (XDG_RUNTIME_DIR ou le dossier temporaire) : un second lancement "
    "ouvrira une seconde fenêtre.";

// Said when the gadget that holds the lock does not answer (stopped, or hung).
constexpr const char* kSilentGadgetSentence =
    "Un Solvane déjà ouvert sur cet affichage ne répond pas : une seconde fenêtre s'ouvre.";

bool IsSafeFolder(const std::string& path) {
    struct stat status = {};
    return lstat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode) && status.st_uid == getuid() &&
           (status.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

std::string FileNamePart(std::string value) {
    for (char& c : value) {
        if (c == '/') c = '_';
    }
    return value;
}

// Whether the other end of a connected socket runs as this user.
bool PeerIsThisUser(int fd) {
    struct ucred peer = {};
    socklen_t length = sizeof peer;
    return getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 && peer.uid == getuid();
}

bool AddressOf(const std::string& path, sockaddr_un& address) {
    address = {};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) return false;
    path.copy(address.sun_path, path.size());
    return true;
}

enum class Knock { NoOneListens, Answered, OtherUser };

// Knocks at the socket: a gadget of this user that listens there is asked to show
// itself, and waited for until `deadline`.
Knock KnockAt(const std::string& path, std::chrono::steady_clock::time_point deadline) {
    sockaddr_un address;
    if (!AddressOf(path, address)) return Knock::NoOneListens;
    const files::Descriptor socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (socket.Get() < 0) return Knock::NoOneListens;
    // A full queue of waiting connections would hold connect() as long as this.
    const timeval timeout{.tv_sec = kAnswerTime.count() / 1000, .tv_usec = 0};
    setsockopt(socket.Get(), SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    if (connect(socket.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return Knock::NoOneListens;
    if (!PeerIsThisUser(socket.Get())) return Knock::OtherUser;
    // Connected, the gadget runs: even without an answer, a second one must not.
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    pollfd answer{.fd = socket.Get(), .events = POLLIN, .revents = 0};
    poll(&answer, 1, int(std::max<std::chrono::milliseconds::rep>(left.count(), 0)));
    return Knock::Answered;
}

// Removes a socket left behind at `path` by a gadget that ended without removing it;
// false when something else lies there, or something of another user.
bool RemoveLeftSocket(const std::string& path) {
    struct stat status = {};
    if (lstat(path.c_str(), &status) != 0) return errno == ENOENT;
    if (!S_ISSOCK(status.st_mode) || status.st_uid != getuid()) return false;
    return unlink(path.c_str()) == 0;
}

}  // namespace

std::string SafeSocketFolder(const std::string& runtimeFolder, const std::string& temporaryFolder) {
    if (!runtimeFolder.empty() && IsSafeFolder(runtimeFolder)) return runtimeFolder;
    const std::string own =
        (temporaryFolder.empty() ? std::string("/tmp") : temporaryFolder) + "/solvane-" + std::to_string(getuid());
    // Made with no access for others; an existing one is taken only if it is safe.
    mkdir(own.c_str(), S_IRWXU);
    return IsSafeFolder(own) ? own : std::string();
}

std::string GadgetSocketName(const std::string& x11Display, const std::string& waylandDisplay) {
    return "solvane-" + FileNamePart(CanonicalX11Display(x11Display)) + "-" + FileNamePart(waylandDisplay);
}

void ShowInFront(QWidget& window) {
    window.setWindowState((window.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window.show();
    window.raise();
    window.activateWindow();
}

GadgetInstance::GadgetInstance() = default;

GadgetInstance::~GadgetInstance() {
    notifier_.reset();
    if (listenFd_ >= 0) {
        close(listenFd_);
        // Still under the lock: no other gadget serves there yet.
        RemoveLeftSocket(socketPath_);
    }
    if (lockFd_ >= 0) close(lockFd_);
}

GadgetInstance::Start GadgetInstance::Claim(const std::string& folder, const std::string& socketName) {
    const auto alone = [] {
        std::fprintf(stderr, "solvane: %s\n", kNoSafePlaceSentence);
        return Start::Alone;
    };
    sockaddr_un address;
    socketPath_ = folder + "/" + socketName;
    if (folder.empty() || !AddressOf(socketPath_, address)) return alone();
    const std::string lockPath = socketPath_ + ".lock";
    files::Descriptor lock(open(lockPath.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR));
    struct stat status = {};
    if (lock.Get() < 0 || fstat(lock.Get(), &status) != 0 || !S_ISREG(status.st_mode) || status.st_uid != getuid())
        return alone();

    const auto deadline = std::chrono::steady_clock::now() + kAnswerTime;
    while (flock(lock.Get(), LOCK_EX | LOCK_NB) != 0) {
        // Another gadget of this user holds the lock: it listens at once, and answers
        // once its window exists.
        const Knock knock = KnockAt(socketPath_, deadline);
        if (knock == Knock::Answered) return Start::AnotherShowsItself;
        if (knock == Knock::OtherUser) return alone();  // never obeyed, nor waited for
        if (std::chrono::steady_clock::now() >= deadline) {
            std::fprintf(stderr, "solvane: %s\n", kSilentGadgetSentence);
            return Start::Alone;
        }
        std::this_thread::sleep_for(kKnockInterval);
    }
    // Should no socket be made, the lock goes with `lock`: the launches after this one
    // find no gadget to wait for, and open as this one does.
    if (!RemoveLeftSocket(socketPath_)) return alone();
    files::Descriptor listener(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (listener.Get() < 0 || bind(listener.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener.Get(), SOMAXCONN) != 0)
        return alone();
    lockFd_ = lock.Release();
    listenFd_ = listener.Release();
    return Start::First;
}

void GadgetInstance::Serve(QWidget& window) {
    if (listenFd_ < 0) return;
    window_ = &window;
    notifier_ = std::make_unique<QSocketNotifier>(listenFd_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &GadgetInstance::Answer);
}

void GadgetInstance::Answer() {
    for (;;) {
        const files::Descriptor asker(accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
        if (asker.Get() < 0) return;
        // Another user's request is closed unanswered.
        if (!PeerIsThisUser(asker.Get())) continue;
        ShowInFront(*window_);
        send(asker.Get(), kAnswer, sizeof kAnswer - 1, MSG_DONTWAIT | MSG_NOSIGNAL);
    }
}
