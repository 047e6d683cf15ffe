# shellcheck shell=bash disable=SC2034  # clock_environment is for the scripts that source this file
# A faked wall clock for the program under test, by libfaketime preloaded. Its objects in
# /dev/shm, named after the process number, stay when a signal stops the process, and a
# later one given that number would fail to start: those of processes gone are removed first.

# faked_clock_at "YYYY-MM-DD hh:mm:ss" [frozen]: sets clock_environment to the variables
# that start a program with its wall clock at that local time, running on from there,
# or standing still with "frozen"; the monotonic clock, which the timers count with,
# stays true. Status 1 when libfaketime is missing.
faked_clock_at() {
    local library object start="@$1"
    for library in /usr/lib/*/faketime/libfaketime.so.1 /usr/lib/faketime/libfaketime.so.1 ''; do
        [ ! -f "$library" ] || break
    done
    [ -n "$library" ] || return 1
    [ "${2:-}" != frozen ] || start=$1
    for object in /dev/shm/faketime_shm_* /dev/shm/sem.faketime_sem_*; do
        [[ ! ${object##*_} =~ ^[0-9]+$ ]] || [ -d "/proc/${object##*_}" ] || rm -f "$object"
    done
    clock_environment=("LD_PRELOAD=$library" "FAKETIME=$start" FAKETIME_DONT_FAKE_MONOTONIC=1)
    # A program built with the sanitizers keeps their options where a script starts it in
    # an emptied environment (env -i): libfaketime comes before their runtime, which
    # verify_asan_link_order=0 of ASAN_OPTIONS lets start.
    local name
    for name in ASAN_OPTIONS LSAN_OPTIONS UBSAN_OPTIONS; do
        [ -z "${!name:-}" ] || clock_environment+=("$name=${!name}")
    done
}
