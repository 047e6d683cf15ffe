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

// The folder of the zone file that /etc/localtime leads to, watched so that a new
// version of the zone's rules is seen too. Watching the same folder again is harmless.
void WatchZoneFolder(Watch& watch) {
    std::error_code error;
    const std::filesystem::path target = std::filesystem::canonical(kZoneFile, error);
    if (!error) inotify_add_watch(watch.files, target.parent_path().c_str(), kFileChanges);
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

// A folder, or while it does not exist the nearest of its two folders above that
// does (~/.config or the home for the settings), so that its creation is seen; called
// again after each change. Watching a folder again is harmless. Higher folders, /tmp
// or /home, change too often to be watched.
void WatchFolder(Watch& watch, const std::string& folder) {
    if (folder.empty()) return;
    std::filesystem::path path = folder;
    for (int up = 0; up < 3 && inotify_add_watch(watch.files, path.c_str(), kFileChanges) < 0; ++up) {
        path = path.parent_path();
    }
}

int Failed(const std::string& sentence) {
    std::fprintf(stderr, "solvane: %s\n", sentence.c_str());
    return 1;
}

}  // namespace

int FollowToday(const std::function<std::string()>& answer, const std::vector<std::string>& folders) {
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
    for (const std::string& folder : folders) WatchFolder(watch, folder);
    inotify_add_watch(watch.files, "/etc", kFileChanges);
    WatchZoneFolder(watch);

    std::string shown;
    for (bool first = true;; first = false) {
        if (!SetForNextMidnight(watch.midnight)) return Failed("la minuterie de minuit n'a pas pu être réglée.");
        const std::string now = answer();
        if (first || now != shown) {
            const int error = WriteWhole(STDOUT_FILENO, now);
            if (error == EPIPE) return 0;  // the reader has gone: the end of the work, not a failure
            if (error != 0) return Failed(WriteFailedSentence(error));
            shown = now;
        }
        // Standard output is watched for no event: a pipe whose reader has gone
        // reports POLLERR, a terminal that hangs up POLLHUP, whatever is asked.
        std::array<pollfd, 4> sleepers{
            {{STDOUT_FILENO, 0, 0}, {watch.signals, POLLIN, 0}, {watch.midnight, POLLIN, 0}, {watch.files, POLLIN, 0}}};
        if (poll(sleepers.data(), sleepers.size(), -1) < 0) {
            if (errno == EINTR) continue;
            return Failed("l'attente du prochain changement a échoué.");
        }
        if ((sleepers[0].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) return 0;
        if (sleepers[1].revents != 0) return 0;
        if (sleepers[2].revents != 0) {
            std::uint64_t expirations = 0;  // ECANCELED when the clock was set: the day is read afresh alike
            [[maybe_unused]] const ssize_t read_ = read(watch.midnight, &expirations, sizeof expirations);
        }
        if (sleepers[3].revents != 0) {
            alignas(inotify_event) std::array<char, 4096> events{};
            while (read(watch.files, events.data(), events.size()) > 0) {}
            // Whatever changed, the zone is read again: cheap, and a zone's change
            // may come as any of these events.
            ReadTimeZoneAgain();
            WatchZoneFolder(watch);
            for (const std::string& folder : folders) WatchFolder(watch, folder);
        }
    }
}
