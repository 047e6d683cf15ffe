# shellcheck shell=bash disable=SC2034,SC2154  # the constants are the tests' own; the rest comes from harness.sh
# Shared by the tests of damaged data files and the soak, sourced after harness.sh:
# the checks that the program stays alive and answers, read from the window's pixels
# as a user would see them.
set -euo pipefail

# The longest that a tick or a click may keep the window from answering, and the
# processor time that start-up may take (kSlowdown gives start-up more, never the
# ticks). A start that hangs without working (a pipe in a file's place) never shows
# its window, which wait_for_main_window sees.
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
# prove.
clock_keeps_ticking() {
    local seconds=$1
    local start before after checksum last first_seen still longest=0 changes=0
    start=$(now_us)
    last=$(box_checksum "${kBoxes[Label31]}")
    first_seen=$(now_us)
    while (( $(now_us) - start < seconds * 1000000 )); do
        before=$(now_us)
        checksum=$(box_checksum "${kBoxes[Label31]}")
        after=$(now_us)
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
    before=$(box_checksum "${kBoxes[Cal1]}")
    click_in_box "${kBoxes[avance]}"
    poll_until $((kLongestStallUs / 1000000)) box_differs_from "${kBoxes[Cal1]}" "$before" ||
        fail "le calendrier n'a pas tourné sa page dans les $(seconds_text "$kLongestStallUs") s d'un clic sur « >> »"
}

resident_kb() { # resident_kb PID: the resident memory of a process, in kB
    awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"
}

# True when the program was built with AddressSanitizer, whose quarantine of freed
# memory makes the resident size grow on purpose.
is_sanitized_build() { # is_sanitized_build EXECUTABLE
    grep -q 'libasan' <<<"$(ldd "$1" 2>/dev/null)"
}

# box_pixels BOX: "R G B" of each pixel of a box of the window, one per line.
box_pixels() {
    box_picture "$1" rgb | od -An -tu1 -v | tr -s ' ' '\n' | grep -v '^$' | paste -d ' ' - - -
}

# box_is_all BOX "R G B" TOLERANCE: every pixel of the box is near that colour.
box_is_all() {
    local r g b
    read -r r g b <<<"$2"
    box_pixels "$1" | awk -v r="$r" -v g="$g" -v b="$b" -v t="$3" '
        function off(x, y) { return x > y ? x - y : y - x }
        off($1, r) > t || off($2, g) > t || off($3, b) > t { bad++ }
        END { exit (NR == 0 || bad > 0) }'
}

# box_text BOX: what OCR (tesseract, French) reads in a box of the window, the box
# scaled up four times first, on one line.
box_text() {
    box_picture "$1" png | convert png:- -resize 400% png:- |
        tesseract stdin stdout -l fra --psm 6 2>/dev/null | tr -s ' \n' ' ' | sed 's/ *$//'
}

# box_text_is BOX TEXT: OCR reads TEXT in the box; what it read goes to ocr.log,
# which a failure shows.
box_text_is() {
    box_text "$1" >"$work/ocr.log"
    [ "$(cat "$work/ocr.log")" = "$2" ]
}
