#pragma once
// `--suivre`: the day's facts written at once, then again each time they change, for
// a status bar that keeps the command running. It sleeps between changes, with no
// periodic wake-up: the kernel wakes it at local midnight (a realtime timer that a
// step of the clock cancels, a resume from suspend included), when the time zone
// file, the name-day list or the settings file changes, on SIGTERM, SIGINT or SIGHUP, and when the
// reader of standard output goes away.

#include <functional>
#include <string>
#include <vector>

#include "files/folder_watch.h"

// Writes `answer()` to standard output at once and again whenever what it returns
// changes, each time whole in one write. `folders()` gives the folders of the files
// that `answer` reads (fetes.txt, the settings file and the target of a link in its
// place), asked again after each change; one that does not exist yet is watched
// through the nearest folder above that does, for the next folder down its path
// only. Returns the
// exit status: 0 on a signal or when the reader has gone, 1 (after one French
// sentence on standard error) when a write fails otherwise or the kernel refuses
// what the following needs.
// `answer` is given the names changed in the folders since the last answer, or null
// when anything may have changed (the first answer, midnight, events lost).
int FollowToday(const std::function<std::string(const files::FolderChanges*)>& answer,
                const std::function<std::vector<std::string>()>& folders);
