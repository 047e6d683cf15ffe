#!/bin/bash
# The window's memory beside a large agenda: the gadget whose agenda holds 5,000
# events (bench/agenda_calendar.py, 0.8 MB) peaks (VmHWM) at most 1.3 times as high
# as the same gadget without an agenda. Of what it holds more, some 2.9 MB are the
# pages of libical and of the ICU that libical's recurrence iterator opens, whatever
# the agenda's size; libical's tree of the whole file would add some 14 MB (1.5 times).
# Each is measured once its window is drawn and it has gone quiet, the agenda's days
# underlined in the grid; both start from the same copy, on the same display, one
# after the other, RUNS times (1 by default), and the medians are compared. Prints
# each peak, the medians and their ratio (bench/README.md).
# Usage: agenda_memory.sh SOLVANE_EXECUTABLE [RUNS]
set -euo pipefail
# shellcheck source=fixture.sh
. "$(dirname "$0")/fixture.sh"
# shellcheck source=liveness.sh
. "$(dirname "$0")/liveness.sh"

readonly program=${1:?"usage : $0 PROGRAMME_SOLVANE [PASSAGES]"}
readonly runs=${2:-1}
readonly kLargestRatioPercent=130
kCalendarScript="$(cd "$(dirname "$0")/../../bench" && pwd)/agenda_calendar.py"
readonly kCalendarScript

peak_kb() { awk '/^VmHWM:/ { print $2 }' "/proc/$1/status"; }  # peak_kb PID

# True once the program has used no processor time for half a second and none of its
# threads waits for a processor: the agendas' thread, the tooltips made ahead and the
# first paints are done, however loaded the machine.
last_cpu_ms=-1
gone_quiet() {
    local now
    now=$(processor_ms "$program_pid")
    if [ "$now" = "$last_cpu_ms" ] && ! awk '{ sub(/.*\) /, ""); if ($1 == "R") found = 1 } END { exit !found }' \
        /proc/"$program_pid"/task/*/stat; then
        return 0
    fi
    last_cpu_ms=$now
    sleep 0.5  # the quiet is what is waited for: a stretch of time without work
    return 1
}

# Some of the days 1 to 31 of May 2025 are underlined: the agenda has been read and drawn.
agenda_drawn() {
    # shellcheck disable=SC2046  # the days, one argument each
    read_window underlined 8 $(seq 1 31) && [ -n "$(cat "$work/reading.log")" ]
}

# measure WITH_AGENDA: starts the gadget, waits for its window (and for the agenda's
# days), then for quiet, and sets peak to its peak; stops it.
peak=''
measure() {
    if [ "$1" = yes ]; then
        printf '[agendas]\n1\\source=%s\nsize=1\n' "$work/agenda.ics" >"$(settings_file)"
    else
        rm -f "$(settings_file)"
    fi
    start_program --wait "$executable"
    if [ "$1" = yes ]; then wait_until 60 "les jours de l'agenda sont soulignés" agenda_drawn; fi
    last_cpu_ms=-1
    wait_until 60 "le programme se repose" gone_quiet
    peak=$(peak_kb "$program_pid")
    stop_program
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

window_test_begin --reading --at '2025-05-08 10:00:00'
executable=$(copy_program "$program")
/usr/bin/python3 "$kCalendarScript" >"$work/agenda.ics"
mkdir -p "$(dirname "$(settings_file)")"
bare=() agenda=()
for ((run = 0; run < runs; ++run)); do
    measure no && bare+=("$peak")
    measure yes && agenda+=("$peak")
    say "passage $((run + 1)) : sans agenda ${bare[run]} Kio, avec 5 000 évènements ${agenda[run]} Kio"
done
bare_kb=$(printf '%s\n' "${bare[@]}" | median)
agenda_kb=$(printf '%s\n' "${agenda[@]}" | median)
ratio_percent=$((agenda_kb * 100 / bare_kb))
say "pic de mémoire : sans agenda $bare_kb Kio, avec 5 000 évènements $agenda_kb Kio, $((ratio_percent / 100)),$(printf '%02d' $((ratio_percent % 100))) ×"
# AddressSanitizer's quarantine keeps freed memory on purpose.
is_sanitized_build "$program" && exit 0
((ratio_percent <= kLargestRatioPercent)) ||
    fail "avec 5 000 évènements, le pic de mémoire dépasse $kLargestRatioPercent % de celui sans agenda"
