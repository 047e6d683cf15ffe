#include "app/window/refresh_trigger.h"

#include <QFileInfo>

#include "calendar/serial_date.h"

RefreshTrigger::RefreshTrigger(const QString& folder, QObject* parent) : QObject(parent), folder_(folder) {
    // A precise timer never fires before the time it was given: the clock has
    // reached the new second when it fires.
    second_.setSingleShot(true);
    second_.setTimerType(Qt::PreciseTimer);
    connect(&second_, &QTimer::timeout, this, &RefreshTrigger::NewSecond);
}

void RefreshTrigger::WatchFiles() {
    if (watcher_) return;
    watcher_ = std::make_unique<QFileSystemWatcher>(QStringList{folder_});
    connect(watcher_.get(), &QFileSystemWatcher::directoryChanged, this, &RefreshTrigger::Request);
    connect(watcher_.get(), &QFileSystemWatcher::fileChanged, this, &RefreshTrigger::Request);
    if (!watchedFile_.isEmpty()) watcher_->addPath(watchedFile_);
    Request();
}

void RefreshTrigger::Start() { NewSecond(); }

void RefreshTrigger::NewSecond() {
    Request();
    second_.start(calendar::MillisecondsToNextSecond());
}

void RefreshTrigger::SetSeen(bool seen) {
    if (!seen) {
        resting_ = true;
        second_.stop();
        return;
    }
    if (!resting_) return;
    resting_ = false;
    // Now, not from the event loop: the frame about to be painted shows this second.
    emit Due();
    second_.start(calendar::MillisecondsToNextSecond());
}

void RefreshTrigger::Request() {
    if (requested_) return;
    requested_ = true;
    QMetaObject::invokeMethod(this, &RefreshTrigger::Run, Qt::QueuedConnection);
}

void RefreshTrigger::Run() {
    requested_ = false;
    emit Due();
}

void RefreshTrigger::WatchFile(const QString& path) {
    // The file system stops watching a file that is removed or replaced: the file
    // now under that name is watched again.
    if (!watcher_) {
        watchedFile_ = path;
        return;
    }
    if (path == watchedFile_ && watcher_->files().contains(path)) return;
    if (!watchedFile_.isEmpty()) watcher_->removePath(watchedFile_);
    watchedFile_ = path;
    watcher_->addPath(path);
}
