# shellcheck shell=bash disable=SC2034,SC2154  # the constants are the tests' own; the rest comes from harness.sh
# Shared by the tests of damaged data files and the soak, sourced after harness.sh:
# the program run from a prepared copy of its folder on a French desktop whose clock
# starts at a chosen time, and the checks that it stays alive and answers, read from
# the window's pixels as a user would see them.

# Boxes, in window pixels: left, top, width, height.
readonly kClockLineBox='48 64 273 17'        # Label31
readonly kNameDayLineBox='48 336 239 15'     # Label32, short of the moon picture and of a second line
readonly kMoonPictureBox='287 320 30 30'     # Image1
readonly kPreviousButtonBox='136 360 41 17'  # recul, "<<"
readonly kTodayButtonBox='136 384 89 21'     # cejour, "Aujourd'hui"
# The day grid of the calendar, below its title bar and its row of day names.
readonly kDayGridBox='44 136 282 167'

# The longest that a tick or a click may keep the window from answering, and that
# start-up may take. Builds that run slower (sanitizers) set SOLVANE_TEST_SLOWDOWN to
# a whole factor, which gives start-up and the waits more time, never the ticks.
readonly kSlowdown=${SOLVANE_TEST_SLOWDOWN:-1}
readonly kLongestStallUs=2000000
readonly kLongestStartUs=$((2000000 * kSlowdown))

run_environment=()
launched_at=0
start_took_us=0
longest_still_us=0

# fixed_clock_at "YYYY-MM-DD hh:mm:ss": the program will run on a French desktop
# whose clock reads that time when it starts and runs on from there. libfaketime
# moves the wall clock only; the timers count on the monotonic clock.
fixed_clock_at() {
    faked_clock_at "$1" || fail "libfaketime is missing (faketime)"
    run_environment=(LANG=fr_FR.UTF-8 LC_ALL=fr_FR.UTF-8 "${clock_environment[@]}")
}

# run_copy EXECUTABLE [COMMAND...]: starts EXECUTABLE (a copy made by
# copy_program_folder) from $work with run_environment, through COMMAND when one is
# given (to run it as another user), standard error in program-errors.log, and
# returns at once. Sets program_pid, program_folder and launched_at.
run_copy() {
    local executable=$1
    shift
    program_folder=$(dirname "$executable")
    launched_at=$(now_us)
    (cd "$work" && exec "$@" env "${run_environment[@]}" "$executable") \
        >"$work/program.log" 2>"$work/program-errors.log" &
    program_pid=$!
    remember_pid "$program_pid"
}

# Microseconds since run_copy started the program.
since_launch_us() {
    echo $(( $(now_us) - launched_at ))
}

seconds_text() { # seconds_text MICROSECONDS
    printf '%d.%02d' $(($1 / 1000000)) $(($1 % 1000000 / 10000))
}

visible_solvane_windows() {
    xdotool search --onlyvisible --name '^Solvane$' 2>/dev/null || true
}

a_solvane_window_is_visible() {
    [ -n "$(visible_solvane_windows)" ]
}

# Waits for the main window of the program started last, shown and drawn, and sets
# start_took_us to the time that took. Sets window, origin_x and origin_y. A message
# box in its place fails the test.
wait_for_drawn_main_window() {
    poll_until $((15 * kSlowdown)) a_solvane_window_is_visible || {
        process_running "$program_pid" || fail "the program ended before showing a window"
        fail "no visible window titled Solvane after $((15 * kSlowdown)) s"
    }
    window=$(visible_solvane_windows | head -n 1)
    local size
    size=$(xwininfo -id "$window" | awk '/^ *Width:/ { w = $NF } /^ *Height:/ { h = $NF } END { print w, h }')
    [ "$size" = "$kWindowWidth $kWindowHeight" ] ||
        fail "the window titled Solvane is $size, not the main window: a message box?"
    read_origin
    local x y
    read -r x y <<<"$kBackgroundPoint"
    wait_until $((10 * kSlowdown)) "the window to draw its grey background" \
        window_point_is_near "$x" "$y" "$kBackgroundGrey" 12
    start_took_us=$(since_launch_us)
}

# clock_keeps_ticking SECONDS: watches the clock line for SECONDS; fails when it
# stands still longer than kLongestStallUs (a start-up or a tick that hangs), or
# when it did not change about once a second. Sets longest_still_us to the longest
# stand-still seen.
clock_keeps_ticking() {
    local seconds=$1
    local start last_change now checksum last longest=0 changes=0
    start=$(now_us)
    last_change=$start
    last=$(box_checksum "$kClockLineBox")
    while (( $(now_us) - start < seconds * 1000000 )); do
        checksum=$(box_checksum "$kClockLineBox")
        now=$(now_us)
        if [ "$checksum" != "$last" ]; then
            (( now - last_change <= longest )) || longest=$((now - last_change))
            last_change=$now
            last=$checksum
            changes=$((changes + 1))
        fi
        (( now - last_change <= kLongestStallUs )) ||
            fail "the clock line stood still for $(seconds_text $((now - last_change))) s"
        process_running "$program_pid" || fail "the program ended while its clock was watched"
    done
    (( changes >= seconds - 1 )) || fail "the clock line changed $changes times in $seconds s"
    longest_still_us=$longest
}

# Clicks ">>" and fails unless the calendar turns its page within kLongestStallUs.
calendar_answers_a_click() {
    local before
    before=$(box_checksum "$kCalendarBox")
    click_in_box "$kNextMonthBox"
    poll_until $((kLongestStallUs / 1000000)) box_differs_from "$kCalendarBox" "$before" ||
        fail "the calendar did not turn its page within $(seconds_text "$kLongestStallUs") s of a click on \">>\""
}

resident_kb() { # resident_kb PID: the resident memory of a process, in kB
    awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"
}

# True when the program was built with AddressSanitizer, whose quarantine of freed
# memory makes the resident size grow on purpose.
is_sanitized_build() { # is_sanitized_build EXECUTABLE
    ldd "$1" 2>/dev/null | grep -q 'libasan'
}

# box_pixels BOX: "R G B" of each pixel of a box of the window, one per line.
box_pixels() {
    local left top width height
    read -r left top width height <<<"$1"
    import -silent -window root -crop "${width}x${height}+$((origin_x + left))+$((origin_y + top))" \
        -depth 8 rgb:- | od -An -tu1 -v | tr -s ' ' '\n' | grep -v '^$' | paste -d ' ' - - -
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
    local left top width height
    read -r left top width height <<<"$1"
    import -silent -window root -crop "${width}x${height}+$((origin_x + left))+$((origin_y + top))" \
        -depth 8 png:- | convert png:- -resize 400% png:- |
        tesseract stdin stdout -l fra --psm 6 2>/dev/null | tr -s ' \n' ' ' | sed 's/ *$//'
}

# box_text_is BOX TEXT: OCR reads TEXT in the box; what it read goes to ocr.log,
# which a failure shows.
box_text_is() {
    box_text "$1" >"$work/ocr.log"
    [ "$(cat "$work/ocr.log")" = "$2" ]
}
