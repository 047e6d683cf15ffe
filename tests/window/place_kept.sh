#!/bin/bash
# The gadget opens again where it was left: after a drag, on its own display when
# two displays share the settings, and on the screen when the place is off every
# screen; one self-contained case per run (a function case_NAME below).
# Usage: place_kept.sh SOLVANE_EXECUTABLE CASE
set -euo pipefail
# shellcheck source=fixture.sh
. "$(dirname "$0")/fixture.sh"
readonly program=${1:?"usage : $0 PROGRAMME_SOLVANE CAS"}
readonly case_name=${2:?"usage : $0 PROGRAMME_SOLVANE CAS"}

# The place is kept for the display, under the keys DISPLAY\x, DISPLAY\y…
settings_hold_place() { grep -q '^[^=]*\\x=' "$(settings_file)" 2>/dev/null; }
settings_hold_place_at() { # settings_hold_place_at LEFT TOP: the place written is that one, on the one screen
    grep -qx "[^=]*\\\\x=$1" "$(settings_file)" 2>/dev/null && grep -qx "[^=]*\\\\y=$2" "$(settings_file)"
}

# A drag, no write before the release, one after it; a quit and a second start at
# the same place, and above other windows.
case_after_a_drag() {
    window_test_begin
    start_program --copy --wait "$program"
    read -r x y <<<"$kBackgroundPoint"
    local from_x=$((origin_x + x)) from_y=$((origin_y + y))
    xdotool mousemove --sync "$from_x" "$from_y" mousedown 1
    wait_until 5 "l'appui garde la fenêtre au-dessus" is_above
    wait_for_window_manager
    xdotool mousemove --sync $((from_x - 60)) $((from_y - 40)) mousemove --sync $((from_x - 150)) $((from_y - 90))
    # The window is where openbox put it; no request to openbox now, whose answer
    # would tell the window its place before the release does.
    wait_until 5 "la fenêtre suit la souris" window_is_at $((origin_x - 150)) $((origin_y - 90))
    [ ! -e "$(settings_file)" ] || fail "la place a été écrite pendant le déplacement"
    xdotool mouseup 1
    local left=$((origin_x - 150)) top=$((origin_y - 90))
    # The window manager may say where it left the window after it lets go of the
    # mouse: the place written is the last one, before any quit.
    wait_until 5 "la place $left $top est écrite une fois le bouton relâché" settings_hold_place_at "$left" "$top"
    stop_program
    start_program --copy --wait "$program"
    window_is_at "$left" "$top" || fail "au second lancement, la fenêtre est en $(window_geometry), pas en $left $top"
    is_above || fail "au second lancement, la fenêtre n'est pas au-dessus des autres"
    say "laissée en $left $top, rouverte là et au-dessus"
}

# A place saved on a screen of that name, far off it: the window opens wholly inside
# the screen.
case_off_screen() {
    window_test_begin
    start_program --copy --wait "$program"
    read -r x y <<<"$kBackgroundPoint"
    left_drag "$x" "$y" 40 30 is_above
    wait_until 5 "la place est écrite" settings_hold_place
    stop_program
    sed -i -e 's/^\([^=]*\\\)x=.*/\1x=-40000/' -e 's/^\([^=]*\\\)y=.*/\1y=25000/' "$(settings_file)"
    start_program --copy --wait "$program"
    read -r screen_width screen_height <<<"$(xdotool getdisplaygeometry)"
    ((origin_x >= 0 && origin_y >= 0 && origin_x + kWindowWidth <= screen_width &&
        origin_y + kWindowHeight <= screen_height)) ||
        fail "une place hors de l'écran ouvre la fenêtre en $origin_x $origin_y, pas entière sur l'écran"
    ((origin_x == 0 && origin_y == screen_height - kWindowHeight)) ||
        fail "la fenêtre n'a pas été déplacée au plus court : en $origin_x $origin_y"
    say "une place hors de l'écran s'ouvre au coin le plus proche"
}

# Two gadgets of one user on two displays, sharing the settings file: each reopens
# where it was left on its own display, whichever saved last, and « Toujours
# au-dessus » turned off in one reaches the other while it runs.
case_two_displays() {
    window_test_begin
    local -A at_display=() pid_on=() window_on=()
    local name
    for name in first second; do
        [ "$name" = first ] || start_display --openbox "$kScreenColourName"
        start_program --copy --wait "$program"
        read -r x y <<<"$kBackgroundPoint"
        if [ "$name" = first ]; then left_drag "$x" "$y" -120 -80 is_above; else left_drag "$x" "$y" 90 60 is_above; fi
        wait_until 5 "la place de $DISPLAY est écrite" \
            grep -qx "%3A${DISPLAY#:}\\\\x=$origin_x" "$(settings_file)"
        at_display[$name]="$DISPLAY $origin_x $origin_y"
        pid_on[$name]=$program_pid
        window_on[$name]=$window
    done
    # « Toujours au-dessus » turned off in the second gadget: the first, on its own display, follows.
    pick_from_menu t
    wait_until 5 "la seconde fenêtre n'est plus au-dessus" eval '! is_above'
    read -r DISPLAY _ <<<"${at_display[first]}"
    window=${window_on[first]}
    wait_until 5 "la première fenêtre suit le choix fait dans la seconde" eval '! is_above'
    for name in first second; do
        read -r DISPLAY x y <<<"${at_display[$name]}"
        program_pid=${pid_on[$name]}
        window=${window_on[$name]}
        stop_program
        start_program --copy --wait "$program"
        window_is_at "$x" "$y" || fail "sur $DISPLAY, la fenêtre se rouvre en $(window_geometry), pas en $x $y"
        stop_program
    done
    say "deux affichages, deux places gardées ; « Toujours au-dessus » suivi d'un gadget à l'autre"
}

declare -F "case_$case_name" >/dev/null || fail "cas inconnu : $case_name"
"case_$case_name"
