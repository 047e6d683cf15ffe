# shellcheck shell=bash disable=SC2034,SC2154  # the constants are the tests' own; the rest comes from fixture.sh
# Shared by the tests of damaged data files and the soak, sourced after fixture.sh:
# the checks that the program stays alive and answers, read from the window's pixels
# as a user would see them.
set -euo pipefail

# The longest that a tick or a click may keep the window from answering, and the
# processor time that start-up may take (kSlowdown gives start-up more, never the
# ticks). A start that hangs without working (a pipe in a file's place) never shows
# its window, which wait_for_window sees.
readonly kLongestStallUs=2000000
readonly kLongestStartCpuMs=$((2000 * kSlowdown))

longest_still_us=0

seconds_text() { # seconds_text MICROSECONDS
    printf '%d.%02d' $(($1 / 1000000)) $(($1 % 1000000 / 10000))
}

# clock_keeps_ticking SECONDS: watches the clock line for SECONDS; fails when it
# stands still longer than kLongestStallUs (a start-up or a tick that hangs), or
# never changes. Sets longest_still_us to the longest stand-still seen. (That it
# turns exactly at each second is window_refresh_test's.)
#
# A stand-still counts only what the screen grabs prove: from the end of the first
# grab that shows a text to the start of the last grab that still shows it. On a
# loaded machine the grabs come further apart, which can only shorten what they
# prove. A grab takes a few milliseconds; the twentieth of a second between two keeps
# the watch from taking a processor.
clock_keeps_ticking() {
    local seconds=$1
    local start before after checksum last first_seen still longest=0 changes=0
    start=${EPOCHREALTIME//[.,]/}
    last=$(box_checksum Label31)
    first_seen=${EPOCHREALTIME//[.,]/}
    while (( ${EPOCHREALTIME//[.,]/} - start < seconds * 1000000 )); do
        pause 0.05
        before=${EPOCHREALTIME//[.,]/}
        checksum=$(box_checksum Label31)
        after=${EPOCHREALTIME//[.,]/}
        if [ "$checksum" != "$last" ]; then
            changes=$((changes + 1))
            last=$checksum
            first_seen=$after
        else
            still=$((before - first_seen))
            (( still <= longest )) || longest=$still
            (( still <= kLongestStallUs )) ||
                fail "la ligne de l'horloge est restée figée $(seconds_text "$still") s"
        fi
        process_running "$program_pid" || fail "le programme s'est arrêté pendant qu'on regardait son horloge"
    done
    (( changes > 0 )) || fail "la ligne de l'horloge n'a pas changé en $seconds s"
    longest_still_us=$longest
}

# Clicks ">>" and fails unless the calendar turns its page within kLongestStallUs.
calendar_answers_a_click() {
    local before
    before=$(box_checksum Cal1)
    click avance
    poll_until $((kLongestStallUs / 1000000)) box_differs_from Cal1 "$before" ||
        fail "le calendrier n'a pas tourné sa page dans les $(seconds_text "$kLongestStallUs") s d'un clic sur « >> »"
}

resident_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"; }  # resident_kb PID

# True when the program was built with AddressSanitizer, whose quarantine of freed
# memory makes the resident size grow on purpose.
is_sanitized_build() { # is_sanitized_build EXECUTABLE
    grep -q 'libasan' <<<"$(ldd "$1" 2>/dev/null)"
}
