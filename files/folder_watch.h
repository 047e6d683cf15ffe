#pragma once
// Which names changed in a few folders, as the kernel tells it (inotify): an entry
// that came (created, linked or renamed in), was written and closed, changed its
// status, or went (removed, renamed away). A watcher that says only "this folder
// changed" leaves its reader to list the folder, 4 to 5 ms of kernel time for a vdir
// of 20,000 files; the names let it look at those entries alone. The events of a
// burst, a synchronisation writing hundreds of files, are read at once and each name
// given once. When the kernel's queue overflowed, names were lost: every folder is to
// be looked at whole, as is a folder that was itself removed or moved. A watched
// file (rather than a folder) tells its own changes as a change of the whole.
//
// Nothing here wakes by itself: the caller waits on the descriptor (poll, or Qt's
// QSocketNotifier) and reads when it is readable.

#include <map>
#include <set>
#include <string>
#include <vector>

namespace files {

struct FolderChanges {
    // By folder, as it was given to Watch: the names of its entries that changed.
    std::map<std::string, std::set<std::string>> names;
    // The paths watched whose entries are to be looked at whole (every one of them
    // after an overflow), or the files watched that changed.
    std::set<std::string> whole;
    bool Empty() const { return names.empty() && whole.empty(); }
};

class FolderWatch {
public:
    FolderWatch();
    ~FolderWatch();
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    // The descriptor to wait on, readable when something changed; -1 when the system
    // gave none (then nothing is ever told).
    int Descriptor() const { return inotify_; }
    // Watches these paths, folders or files, from now on, and no other. One that does
    // not exist is not watched, nor one the kernel stopped watching (a file removed or
    // replaced): asked again, it is watched once it exists.
    void Watch(const std::vector<std::string>& paths);
    // The paths watched now.
    std::vector<std::string> Watched() const;
    // What the kernel has told since the last reading, read without waiting.
    FolderChanges Read();

private:
    int inotify_ = -1;
    std::map<int, std::vector<std::string>> paths_;  // by watch descriptor: a folder reached by two paths has one
};

}  // namespace files
