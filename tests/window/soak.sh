#!/bin/bash
# Soak: the real program under openbox for SECONDS of random clicks on "<<", ">>",
# "Aujourd'hui" and the days of the calendar, and of drags of the window by its
# background, on a French desktop whose clock starts on 29 February 2024 at 10:00.
# Throughout, the program runs and its clock line never stands still for more than
# 2 s, and goes from each second to the next, never skipping or repeating one. Its resident memory after the warm-up (the first minute, or the first quarter
# of a shorter run) grows by less than 1 MB. At the end a click on "Aujourd'hui" must
# bring back exactly what a fresh start shows on that date (day of the year, week,
# name day, moon, leap-year line and holiday panel, pixel for pixel), and the quit
# button ends the program with status 0 and, for a sanitizer build, no report.
# Usage: soak.sh SOLVANE_EXECUTABLE [SECONDS]   (60 by default; SOLVANE_SOAK_SEED
# repeats a run's clicks; SOLVANE_CLOCK_WATCH names the clock_watch program, by
# default the one built beside the executable's build folder)
set -euo pipefail
# shellcheck source=fixture.sh
. "$(dirname "$0")/fixture.sh"
# shellcheck source=liveness.sh
. "$(dirname "$0")/liveness.sh"
readonly program=${1:?"usage : $0 PROGRAMME_SOLVANE [SECONDES]"}
readonly duration=${2:-60}
readonly seed=${SOLVANE_SOAK_SEED:-$$}
readonly clock_watch=${SOLVANE_CLOCK_WATCH:-$(dirname "$program")/../tests/window/clock_watch}
[ -x "$clock_watch" ] || fail "clock_watch manque : $clock_watch"

readonly kStartAt='2024-02-29 10:00:00'
(( duration > 60 )) && warm_up=60 || warm_up=$((duration / 4))
readonly warm_up
readonly kLargestGrowthKb=1024
# What must match a fresh start after "Aujourd'hui", as "WHAT|BOX".
readonly kComparedBoxes=(
    "les lignes du jour de l'année et de la semaine|day_and_week_line"
    "la ligne de la fête|Label32.line"
    "l'image de la lune|Image1"
    "la ligne de l'année bissextile|Label34"
    "le panneau des jours fériés|holiday_panel"
)
# Points of the bare background: between the two panels, left of the calendar's
# panel, below the panels.
readonly kBackgroundPoints=("$kBackgroundPoint" '16 200' '300 428')

window_test_begin --reading --at "$kStartAt"
RANDOM=$seed

# --- A fresh start, for reference --------------------------------------------

reference_box() { # reference_box INDEX: the file of a compared box's fresh pixels
    echo "$work/reference-$1.rgb"
}

start_program --copy --wait "$program"
clock_keeps_ticking 2
for i in "${!kComparedBoxes[@]}"; do
    grab "rgb:$(reference_box "$i")" "${kComparedBoxes[i]#*|}"
done
stop_program

# --- The soak ---------------------------------------------------------------------

start_program --copy --wait "$program"
soak_pid=$program_pid
started=$(now_us)
elapsed_s() { echo $(( ($(now_us) - started) / 1000000 )); }

# A random point inside a box, two pixels from its edges.
click_somewhere_in() { # click_somewhere_in "LEFT TOP WIDTH HEIGHT"
    local left top width height
    read -r left top width height <<<"$1"
    click "$((left + 2 + RANDOM % (width - 4))) $((top + 2 + RANDOM % (height - 4)))"
}

window_is_near() { # window_is_near X Y: the window's origin within 2 pixels of (X, Y)
    local x y
    read -r x y _ <<<"$(window_geometry)"
    (( x - $1 <= 2 && $1 - x <= 2 && y - $2 <= 2 && $2 - y <= 2 ))
}

nudge=1
# openbox takes over the move only once the program has handled the press; the
# pointer goes one pixel back and forth, so that openbox sees motion, until the
# window follows it.
window_follows_the_pointer() {
    xdotool mousemove_relative --sync -- "$nudge" 0
    nudge=$((-nudge))
    ! window_is_at "$origin_x" "$origin_y"
}

# Drags the window by a point of its background to a random place on the screen.
drag_by_the_background() {
    local x y to_x to_y
    read -r x y <<<"${kBackgroundPoints[RANDOM % ${#kBackgroundPoints[@]}]}"
    to_x=$((10 + RANDOM % (screen_width - kWindowWidth - 20)))
    to_y=$((10 + RANDOM % (screen_height - kWindowHeight - 20)))
    xdotool mousemove --sync "$((origin_x + x))" "$((origin_y + y))" mousedown 1
    if ! poll_until 5 window_follows_the_pointer; then
        xdotool mouseup 1
        fail "un appui sur le fond au point ($x, $y) de la fenêtre n'a pas commencé de déplacement"
    fi
    xdotool mousemove --sync "$((to_x + x))" "$((to_y + y))"
    if ! poll_until 5 window_is_near "$to_x" "$to_y"; then
        xdotool mouseup 1
        fail "la fenêtre n'a pas suivi un glissement jusqu'en $to_x $to_y : elle est en $(window_geometry)"
    fi
    xdotool mouseup 1
    read_origin
}

memory_log=$work/memory.txt
: >"$memory_log"
clicks=0 drags=0 last_sample=-1 last_report=-1 warm_kb='' largest_kb=0
(( duration >= 600 )) && report_every=60 || report_every=15
clock=$(box_checksum Label31)
clock_changed=$(now_us)
# Every change of the clock line, seen every 20 ms wherever the window is dragged.
mkdir "$work/clock-frames"
read -r clock_left clock_top clock_width clock_height <<<"${kBoxes[Label31]}"
"$clock_watch" "$window" "$clock_left" "$clock_top" "$clock_width" "$clock_height" "$duration" 20 \
    "$work/clock-frames" >"$work/clock-changes.log" 2>"$work/clock-watch.log" &
clock_watch_pid=$!
remember_pid "$clock_watch_pid"
say "$duration s, graine $seed, mise en route $warm_up s"
while (( $(elapsed_s) < duration )); do
    choice=$((RANDOM % 20))
    if (( choice < 5 )); then
        click_somewhere_in "${kBoxes[recul]}"
    elif (( choice < 10 )); then
        click_somewhere_in "${kBoxes[avance]}"
    elif (( choice < 12 )); then
        click_somewhere_in "${kBoxes[cejour]}"
    elif (( choice < 19 )); then
        click_somewhere_in "${kBoxes[Cal1.days]}"
    else
        drag_by_the_background
        drags=$((drags + 1))
    fi
    clicks=$((clicks + 1))

    process_running "$soak_pid" || fail "le programme s'est arrêté pendant l'endurance, après $(elapsed_s) s"
    # A stand-still counts from the end of the grab that first showed the text to the
    # start of the one that still shows it, as clock_keeps_ticking counts it.
    now=$(now_us)
    checksum=$(box_checksum Label31)
    if [ "$checksum" != "$clock" ]; then
        clock=$checksum
        clock_changed=$(now_us)
    fi
    (( now - clock_changed <= kLongestStallUs )) ||
        fail "la ligne de l'horloge est restée figée $(seconds_text $((now - clock_changed))) s, après $(elapsed_s) s"

    second=$(elapsed_s)
    if (( second != last_sample )); then
        last_sample=$second
        resident=$(resident_kb "$soak_pid")
        echo "$second $resident" >>"$memory_log"
        (( resident <= largest_kb )) || largest_kb=$resident
        if [ -z "$warm_kb" ] && (( second >= warm_up )); then
            warm_kb=$resident
        fi
        if (( second / report_every != last_report )); then
            last_report=$((second / report_every))
            say "après $second s : $resident Ko résidents, $clicks actions"
        fi
    fi
done
final_kb=$(resident_kb "$soak_pid")
say "$clicks actions ($drags déplacements) en $(elapsed_s) s ; $final_kb Ko résidents à la fin," \
    "$warm_kb Ko après la mise en route, au plus $largest_kb Ko"

wait "$clock_watch_pid" || fail "clock_watch a échoué : $(cat "$work/clock-watch.log")"
forget_pid "$clock_watch_pid"
/usr/bin/python3 "$reading_script" clock-seconds "$work/clock-frames" >"$work/clock-seconds.log" ||
    fail "la ligne de l'horloge a sauté ou répété une seconde : $(cat "$work/clock-seconds.log")"
say "$(cat "$work/clock-seconds.log")"

# --- The end: today again, as a fresh start shows it -----------------------------

click cejour
boxes_like_a_fresh_start() {
    local i differing=''
    for i in "${!kComparedBoxes[@]}"; do
        grab rgb:- "${kComparedBoxes[i]#*|}" | cmp -s - "$(reference_box "$i")" ||
            differing="$differing, ${kComparedBoxes[i]%%|*}"
    done
    echo "${differing#, }" >"$work/differing.log"
    [ -z "$differing" ]
}
wait_until 5 "les panneaux montrent ce que montre un démarrage neuf" boxes_like_a_fresh_start
say "après « Aujourd'hui », les panneaux sont ceux d'un démarrage neuf"

if is_sanitized_build "$program"; then
    say "construction avec sanitizer : sa quarantaine de mémoire libérée grandit exprès ; pas de limite de mémoire"
else
    (( final_kb - warm_kb < kLargestGrowthKb )) ||
        fail "la mémoire résidente a grandi de $((final_kb - warm_kb)) Ko après la mise en route (de $warm_kb à $final_kb Ko)"
fi

# Quit by the window's button: a sanitizer build checks for leaks at this exit.
click cmdQuit
wait_until $((10 * kSlowdown)) "le programme s'arrête après un clic sur le bouton de fermeture" program_ended
[ "$program_status" = 0 ] || fail "le programme s'est arrêté avec l'état $program_status"
if grep -Eq 'ERROR: [A-Za-z]+Sanitizer|runtime error:' "$work/program-errors.log"; then
    fail "un sanitizer a signalé une erreur : $(grep -E -m 3 'ERROR: [A-Za-z]+Sanitizer|runtime error:|SUMMARY' "$work/program-errors.log")"
fi
is_sanitized_build "$program" || [ ! -s "$work/program-errors.log" ] || fail "le programme a écrit sur la sortie d'erreur"
say "réussi"
