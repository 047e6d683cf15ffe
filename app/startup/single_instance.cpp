#include "app/startup/single_instance.h"

#include <unistd.h>
#include <QDir>
#include <QLocalSocket>
#include <QWidget>

namespace {

// How long a second launch waits for the running gadget's answer: it answers as
// soon as its event loop turns.
constexpr int kAnswerMs = 3000;

QString FileNamePart(const std::string& value) {
    return QString::fromStdString(value).replace(QLatin1Char('/'), QLatin1Char('_'));
}

}  // namespace

QString GadgetSocketPath(const std::string& x11Display, const std::string& waylandDisplay) {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QString folder = runtime.isEmpty() ? QDir::tempPath() : runtime;
    return QStringLiteral("%1/solvane-%2-%3-%4")
        .arg(folder)
        .arg(getuid())
        .arg(FileNamePart(x11Display), FileNamePart(waylandDisplay));
}

bool AskRunningGadgetToShow(const QString& path) {
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(kAnswerMs)) return false;
    // Connected, the gadget runs: even without an answer, a second one must not.
    socket.waitForReadyRead(kAnswerMs);
    return true;
}

void ShowInFront(QWidget& window) {
    window.setWindowState((window.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window.show();
    window.raise();
    window.activateWindow();
}

bool GadgetServer::Serve(const QString& path, QWidget& window) {
    window_ = &window;
    connect(&server_, &QLocalServer::newConnection, this, &GadgetServer::Answer);
    // Made in place, so that it fails where a socket is already: Qt's access options
    // make the socket elsewhere and rename it over whatever is there, a live
    // gadget's socket too. The user's runtime folder is the user's alone.
    if (server_.listen(path)) return true;
    if (server_.serverError() != QAbstractSocket::AddressInUseError) return true;
    // Someone answers there: another gadget. No one: a socket left by a crash.
    QLocalSocket other;
    other.connectToServer(path);
    if (other.waitForConnected(kAnswerMs)) return false;
    QLocalServer::removeServer(path);
    server_.listen(path);
    return true;
}

void GadgetServer::Answer() {
    while (QLocalSocket* asker = server_.nextPendingConnection()) {
        ShowInFront(*window_);
        connect(asker, &QLocalSocket::disconnected, asker, &QObject::deleteLater);
        asker->write("ok\n");
        asker->disconnectFromServer();
    }
}
