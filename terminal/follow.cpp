#include "terminal/follow.h"

#include <poll.h>
#include <sys/inotify.h>
#include <sys/signalfd.h>
#include <sys/timerfd.h>
#include <unistd.h>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>

#include "files/folder_watch.h"
#include "terminal/output.h"

namespace {

// The local time zone's file: a link that a change of zone replaces, or a copy.
constexpr const char* kZoneFile = "/etc/localtime";
constexpr std::uint32_t kFileChanges =
    IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_CREATE | IN_DELETE | IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF;

// The descriptors the loop sleeps on, closed at its end.
struct Watch {
    int signals = -1;   // SIGTERM, SIGINT, SIGHUP
    int midnight = -1;  // the realtime timer
    int files = -1;     // inotify: the answer's folders, /etc and the zone's folder
    // The folders watched only until the next folder down a missing path appears in
    // them, by watch descriptor: that folder's name.
    std::map<int, std::string> awaited;
    std::map<int, std::string> whole;  // the folders watched for every change, by watch descriptor
    ~Watch() {
        for (const int fd : {signals, midnight, files}) {
            if (fd >= 0) close(fd);
        }
    }
};

// glibc reads the zone file again only when TZ changes between two readings of the
// zone, so a change is made and undone around one.
void ReadTimeZoneAgain() {
    const char* const set = std::getenv("TZ");
    const std::string kept = set ? set : "";
    setenv("TZ", "UTC0", 1);
    tzset();
    if (set) {
        setenv("TZ", kept.c_str(), 1);
    } else {
        unsetenv("TZ");
    }
    tzset();
}

// Watches every change of the folder at `path`; false when it cannot be watched (it
// does not exist).
bool WatchWhole(Watch& watch, const char* path) {
    const int wd = inotify_add_watch(watch.files, path, kFileChanges);
    if (wd < 0) return false;
    watch.awaited.erase(wd);
    watch.whole[wd] = path;
    return true;
}

// The folder of the zone file that /etc/localtime leads to, watched so that a new
// version of the zone's rules is seen too. Watching the same folder again is harmless.
void WatchZoneFolder(Watch& watch) {
    std::error_code error;
    const std::filesystem::path target = std::filesystem::canonical(kZoneFile, error);
    if (!error) WatchWhole(watch, target.parent_path().c_str());
}

// The timer set for the next local midnight, at once cancelled if the clock is set.
// A day without a midnight (a clock moved forward at 00:00) begins at the first
// moment it has, which mktime gives.
bool SetForNextMidnight(int timer) {
    const std::time_t now = std::time(nullptr);
    std::tm next{};
    localtime_r(&now, &next);
    next.tm_mday += 1;
    next.tm_hour = next.tm_min = next.tm_sec = 0;
    next.tm_isdst = -1;
    itimerspec when{};
    when.it_value.tv_sec = std::mktime(&next);
    return timerfd_settime(timer, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &when, nullptr) == 0;
}

// A folder, or while it does not exist the nearest folder above that does, however
// far up (the home, /tmp, /), watched only for the creation of the next folder down
// the path: the other files of a busy /tmp or /home are not the answer's. Called again
// after each change; watching a folder again only replaces its mask.
void WatchFolder(Watch& watch, const std::string& folder) {
    if (folder.empty()) return;
    std::filesystem::path path = std::filesystem::path(folder).lexically_normal();
    if (!path.has_filename()) path = path.parent_path();  // a trailing slash
    if (WatchWhole(watch, path.c_str())) return;
    while (path.has_relative_path()) {
        const std::string next = path.filename();
        path = path.parent_path();
        // Added to the mask, so that a folder watched whole for another file stays so.
        const int above = inotify_add_watch(watch.files, path.c_str(), IN_CREATE | IN_MOVED_TO | IN_MASK_ADD);
        if (above < 0) continue;
        if (!watch.whole.contains(above)) watch.awaited[above] = next;
        return;
    }
}

// Whether the events read from inotify say anything of the answer: every event of a
// folder watched whole does, and its name is kept in `changes`; in a folder above a
// missing one, only the arrival of the folder awaited there, which, as lost events,
// has everything looked at again (`everything`).
bool EventsMatter(const Watch& watch, const char* events, ssize_t length, files::FolderChanges& changes,
                  bool& everything) {
    bool matter = false;
    for (ssize_t at = 0; at < length;) {
        const auto* event = reinterpret_cast<const inotify_event*>(events + at);
        at += ssize_t(sizeof(inotify_event) + event->len);
        if ((event->mask & IN_Q_OVERFLOW) != 0) {
            everything = matter = true;
            continue;
        }
        if (const auto awaited = watch.awaited.find(event->wd); awaited != watch.awaited.end()) {
            if (event->len == 0 || awaited->second != event->name) continue;
            everything = matter = true;
            continue;
        }
        matter = true;
        const auto folder = watch.whole.find(event->wd);
        if (folder == watch.whole.end() || event->len == 0) {
            everything = true;
        } else {
            changes.names[folder->second].insert(event->name);
        }
    }
    return matter;
}

int Failed(const std::string& sentence) {
    std::fprintf(stderr, "solvane: %s\n", sentence.c_str());
    return 1;
}

}  // namespace

int FollowToday(const std::function<std::string(const files::FolderChanges*)>& answer,
                const std::function<std::vector<std::string>()>& folders) {
    sigset_t stops;
    sigemptyset(&stops);
    for (const int stop : {SIGTERM, SIGINT, SIGHUP}) sigaddset(&stops, stop);
    sigprocmask(SIG_BLOCK, &stops, nullptr);

    Watch watch;
    watch.signals = signalfd(-1, &stops, SFD_CLOEXEC);
    watch.midnight = timerfd_create(CLOCK_REALTIME, TFD_CLOEXEC | TFD_NONBLOCK);
    watch.files = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    if (watch.signals < 0 || watch.midnight < 0 || watch.files < 0) {
        return Failed(
            "le système refuse ce qu'il faut pour suivre le jour (signaux, minuterie ou surveillance "
            "des fichiers).");
    }
    // The folders, not the files: an editor that saves by renaming replaces a file,
    // and the window writes its settings so.
    for (const std::string& folder : folders()) WatchFolder(watch, folder);
    WatchWhole(watch, "/etc");
    WatchZoneFolder(watch);

    std::string shown;
    files::FolderChanges changes;
    bool everything = true;
    for (bool first = true;; first = false) {
        if (!SetForNextMidnight(watch.midnight)) return Failed("la minuterie de minuit n'a pas pu être réglée.");
        const std::string now = answer(everything ? nullptr : &changes);
        changes = {};
        everything = false;
        if (first || now != shown) {
            const int error = WriteWhole(STDOUT_FILENO, now);
            if (error == EPIPE) return 0;  // the reader has gone: the end of the work, not a failure
            if (error != 0) return Failed(WriteFailedSentence(error));
            shown = now;
        }
        // Sleeps until what the answer reads may have changed. Standard output is
        // watched for no event: a pipe whose reader has gone reports POLLERR, a
        // terminal that hangs up POLLHUP, whatever is asked.
        for (bool changed = false; !changed;) {
            std::array<pollfd, 4> sleepers{{{STDOUT_FILENO, 0, 0},
                                            {watch.signals, POLLIN, 0},
                                            {watch.midnight, POLLIN, 0},
                                            {watch.files, POLLIN, 0}}};
            if (poll(sleepers.data(), sleepers.size(), -1) < 0) {
                if (errno == EINTR) continue;
                return Failed("l'attente du prochain changement a échoué.");
            }
            if ((sleepers[0].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) return 0;
            if (sleepers[1].revents != 0) return 0;
            if (sleepers[2].revents != 0) {
                std::uint64_t expirations = 0;  // ECANCELED when the clock was set: the day is read afresh alike
                [[maybe_unused]] const ssize_t read_ = read(watch.midnight, &expirations, sizeof expirations);
                changed = true;
            }
            if (sleepers[3].revents == 0) continue;
            alignas(inotify_event) std::array<char, 4096> events{};
            bool matter = false;
            for (ssize_t length; (length = read(watch.files, events.data(), events.size())) > 0;) {
                matter = EventsMatter(watch, events.data(), length, changes, everything) || matter;
            }
            if (!matter) continue;
            changed = true;
            // Whatever changed, the zone is read again: cheap, and a zone's change
            // may come as any of these events.
            ReadTimeZoneAgain();
            WatchZoneFolder(watch);
            for (const std::string& folder : folders()) WatchFolder(watch, folder);
        }
    }
}
