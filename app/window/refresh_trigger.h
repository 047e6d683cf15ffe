#pragma once
// When the window's two refreshes run: whenever something they read can have
// changed, and not otherwise.
//   - A new second of the wall clock, from a single-shot timer armed from the
//     clock's own reading for the next whole second: the clock line changes within
//     a few milliseconds of the second, and a suspend, a step of the clock or a
//     change of summer time is followed at the next second. The clock reads the time
//     zone afresh each time, so a changed zone shows within a second as well.
//   - A change of the calendar's selection or of the page it shows (the window
//     connects those).
//   - A change in the program folder or of the moon picture in use, told by the
//     file system: a picture replaced, removed or put back shows at once. Since
//     every refresh reads its files again, a change that no one reports (a network
//     file system) still shows at the next second.
// However many causes come together, the refreshes run once, as soon as the event
// loop has handled what it was doing.
//
// While no one can see the window (minimised, or entirely covered on X11 without a
// compositor), the seconds stop: the program sleeps until something else happens.
// When the window is seen again, the refreshes run at once, before its first frame,
// and the seconds start again from there: no second that has passed is ever shown.

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>

class RefreshTrigger : public QObject {
    Q_OBJECT
public:
    // Watches `folder` from WatchFiles on; the clock's seconds count from Start.
    explicit RefreshTrigger(const QString& folder, QObject* parent = nullptr);

    // Runs the refreshes now, then at every new second.
    void Start();

    // Asks for one run of the refreshes once the event loop has handled what it
    // is doing; asks made meanwhile are the same run.
    void Request();

    // The window has become seen (the refreshes run now, and the seconds start
    // again) or unseen (the seconds stop).
    void SetSeen(bool seen);

    // Starts watching the folder and the file: the refreshes run once now, for a
    // change that came before.
    void WatchFiles();

    // Watches the file that the refreshes read now in place of the one watched
    // before (from WatchFiles on). A missing file is watched through its folder
    // until it comes back.
    void WatchFile(const QString& path);

signals:
    // The refreshes are due.
    void Due();

private:
    void NewSecond();
    void Run();

    QTimer second_;
    QString folder_;
    std::unique_ptr<QFileSystemWatcher> watcher_;  // from WatchFiles on
    QString watchedFile_;
    bool requested_ = false;
    bool resting_ = false;  // the seconds stopped while the window is unseen
};
