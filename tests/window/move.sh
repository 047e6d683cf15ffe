#!/bin/bash
# Under a window manager: the window opens as an ordinary window; a left press on
# its bare background keeps it above the other windows from then on, and dragging
# moves it by the mouse's travel until the button is released. A left click that
# does not move the mouse keeps it above and leaves it where it is, also when its
# release comes right behind the press, as a touchpad's tap.
# Usage: move.sh SOLVANE_EXECUTABLE
set -euo pipefail
# shellcheck source=fixture.sh
. "$(dirname "$0")/fixture.sh"
readonly program=${1:?"usage : $0 PROGRAMME_SOLVANE"}

window_test_begin
start_program --copy --wait "$program"

readonly kRed='255 0 0'
# A screen point that another window covers before the drag, and that the window
# covers once dragged by (120, 70).
readonly kCoveredX=400 kCoveredY=300
read -r x y <<<"$kBackgroundPoint"

! is_above || fail "la fenêtre est gardée au-dessus avant tout appui"

# Another window, all red, opened later and so above the window, over its left
# part but not over the point that will be pressed.
start_other_window xlogo -geometry 200x200+250+200 -bg red -fg red -title other
wait_until 10 "l'autre fenêtre couvre la fenêtre" point_is "$kCoveredX" "$kCoveredY" "$kRed" 0

# The first press on the background: it puts the window above, and the mouse waits
# for that before moving, so that the move starts from the point pressed.
left_drag "$x" "$y" 120 70 is_above
wait_until 5 "la fenêtre passe au-dessus de l'autre fenêtre" eval "! point_is $kCoveredX $kCoveredY '$kRed' 0"

# The release ended the move: the mouse moving on, and a click on ">>", leave the
# window where it is.
xdotool mousemove_relative --sync 50 40
wait_for_program
window_is_at "$origin_x" "$origin_y" ||
    fail "la fenêtre a continué de bouger après le relâchement du bouton : en $(window_geometry), pas en $origin_x $origin_y"
is_above || fail "la fenêtre n'est plus gardée au-dessus"

# A click that does not move the mouse, as the first press of a new run: the press
# keeps the window above; the window stays where it is, also when the mouse moves
# on after the release. The run starts as a first one, without the place that the
# drag left in the settings.
stop_program
rm "$XDG_CONFIG_HOME/solvane/solvane.conf"
start_program --copy --wait "$program"
! is_above || fail "la fenêtre du second lancement est gardée au-dessus avant tout appui"
pointer_to "$x" "$y"
xdotool mousedown 1
wait_until 5 "un appui gauche sur le fond garde la fenêtre au-dessus" is_above
wait_for_window_manager
xdotool mouseup 1
xdotool mousemove_relative --sync 50 40
wait_for_program
window_is_at "$origin_x" "$origin_y" || fail "un clic sur le fond a déplacé la fenêtre de $origin_x $origin_y en $(window_geometry)"
is_above || fail "la fenêtre n'est plus gardée au-dessus après le clic"

# Taps: a press and its release back to back (xdotool's click, as a touchpad's
# tap-to-click). Every second tap comes while the program is held still, as when it
# is busy, so that both have surely happened before it handles the press. Each must
# leave the window where it is, not glued to the mouse that moves on afterwards.
readonly kTaps=6
for ((tap = 1; tap <= kTaps; ++tap)); do
    pointer_to "$x" "$y"
    if ((tap % 2 == 0)); then
        kill -STOP "$program_pid"
        xdotool click 1
        kill -CONT "$program_pid"
    else
        xdotool click 1
    fi
    xdotool mousemove_relative --sync 50 40
    wait_for_program
    window_is_at "$origin_x" "$origin_y" ||
        fail "après la tape $tap sur le fond, la fenêtre a suivi la souris de $origin_x $origin_y en $(window_geometry)"
done

say "tirée de (120, 70), gardée au-dessus ; un clic et $kTaps tapes l'ont laissée en place"
