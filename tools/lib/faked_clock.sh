# shellcheck shell=bash disable=SC2034  # clock_environment is for the scripts that source this file
# A faked wall clock for the program under test, shared by the real-window tests and
# the packaging checks. libfaketime is preloaded; it keeps a shared-memory object and
# a semaphore named after the process number in /dev/shm and removes them when the
# process exits, but not when a signal stops it. A later program given the same
# number then fails to start ("shm_open failed: File exists"), so those of processes
# that no longer run are removed before a program is started.

faked_clock_library() {
    local library
    for library in /usr/lib/*/faketime/libfaketime.so.1 /usr/lib/faketime/libfaketime.so.1; do
        [ -f "$library" ] && { printf '%s\n' "$library"; return 0; }
    done
    return 1
}

# faked_clock_at "YYYY-MM-DD hh:mm:ss" [frozen]: sets clock_environment to the
# variables that start a program with its wall clock at that local time, running on
# from there, or standing still with "frozen". The monotonic clock, which the timers
# count with, stays true. Status 1 when libfaketime is missing.
faked_clock_at() {
    local library start="@$1" object number
    library=$(faked_clock_library) || return 1
    [ "${2:-}" != frozen ] || start=$1
    for object in /dev/shm/faketime_shm_* /dev/shm/sem.faketime_sem_*; do
        number=${object##*_}
        if [[ $number =~ ^[0-9]+$ ]] && [ ! -d "/proc/$number" ]; then
            rm -f "$object"
        fi
    done
    clock_environment=("LD_PRELOAD=$library" "FAKETIME=$start" FAKETIME_DONT_FAKE_MONOTONIC=1)
}
