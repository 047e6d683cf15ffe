#include "files/folder_watch.h"

#include <sys/inotify.h>
#include <unistd.h>
#include <algorithm>
#include <array>
#include <cerrno>

namespace files {

namespace {

// Every way an entry comes, changes or goes, and the folder itself removed or moved.
// IN_MODIFY is left out: a file being written is read once closed (IN_CLOSE_WRITE),
// and each write of a large file would otherwise be an event.
constexpr std::uint32_t kChanges =
    IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_CREATE | IN_DELETE | IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF;

}  // namespace

FolderWatch::FolderWatch() : inotify_(inotify_init1(IN_CLOEXEC | IN_NONBLOCK)) {}

FolderWatch::~FolderWatch() {
    if (inotify_ >= 0) close(inotify_);
}

void FolderWatch::Watch(const std::vector<std::string>& paths) {
    if (inotify_ < 0) return;
    for (auto watched = paths_.begin(); watched != paths_.end();) {
        std::erase_if(watched->second,
                      [&](const std::string& path) { return std::ranges::find(paths, path) == paths.end(); });
        if (!watched->second.empty()) {
            ++watched;
            continue;
        }
        inotify_rm_watch(inotify_, watched->first);
        watched = paths_.erase(watched);
    }
    for (const std::string& path : paths) {
        const int descriptor = inotify_add_watch(inotify_, path.c_str(), kChanges);
        if (descriptor < 0) continue;
        std::vector<std::string>& named = paths_[descriptor];
        if (std::ranges::find(named, path) == named.end()) named.push_back(path);
    }
}

std::vector<std::string> FolderWatch::Watched() const {
    std::vector<std::string> watched;
    for (const auto& [descriptor, paths] : paths_) watched.insert(watched.end(), paths.begin(), paths.end());
    return watched;
}

FolderChanges FolderWatch::Read() {
    FolderChanges changes;
    if (inotify_ < 0) return changes;
    bool overflow = false;
    alignas(inotify_event) std::array<char, 16384> events{};
    for (;;) {
        const ssize_t length = read(inotify_, events.data(), events.size());
        if (length < 0 && errno == EINTR) continue;
        if (length <= 0) break;  // EAGAIN: all is read
        for (ssize_t at = 0; at < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(events.data() + at);
            at += ssize_t(sizeof(inotify_event) + event->len);
            if ((event->mask & IN_Q_OVERFLOW) != 0) overflow = true;
            const auto watched = paths_.find(event->wd);
            if (watched == paths_.end()) continue;
            // A name, unless the event is the watched path's own: then the whole.
            const std::string name = event->len > 0 ? std::string(event->name) : std::string();
            for (const std::string& path : watched->second) {
                if (name.empty()) {
                    changes.whole.insert(path);
                } else {
                    changes.names[path].insert(name);
                }
            }
            // The kernel no longer watches it (removed, or its file system unmounted):
            // a later Watch takes it again once it exists.
            if ((event->mask & IN_IGNORED) != 0) paths_.erase(watched);
        }
    }
    if (overflow) {
        for (const auto& [descriptor, paths] : paths_) changes.whole.insert(paths.begin(), paths.end());
    }
    for (const std::string& path : changes.whole) changes.names.erase(path);
    return changes;
}

}  // namespace files
