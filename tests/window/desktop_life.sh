#!/bin/bash
# The gadget as it lives on a desktop, one self-contained case per run (a function
# case_NAME below): it opens again where it was left and above, its menu opens on
# the right button over the background and not over the grid, its start at login is
# written and removed on request, a place left off every screen opens on screen, and
# the region of the holidays chosen there is the terminal's too.
# Usage: desktop_life.sh SOLVANE_EXECUTABLE CASE
set -euo pipefail
# shellcheck source=harness.sh
. "$(dirname "$0")/harness.sh"
readonly program=${1:?"usage : $0 PROGRAMME_SOLVANE CAS"}
readonly case_name=${2:?"usage : $0 PROGRAMME_SOLVANE CAS"}

settings() { printf '%s/solvane/solvane.conf\n' "$XDG_CONFIG_HOME"; }
autostart() { printf '%s/autostart/solvane.desktop\n' "$XDG_CONFIG_HOME"; }
# The place is kept for the display, under the keys DISPLAY\x, DISPLAY\y…
settings_hold_place() { grep -q '^[^=]*\\x=' "$(settings)" 2>/dev/null; }
settings_hold_place_at() { # settings_hold_place_at LEFT TOP: the place written is that one, on the one screen
    grep -qx "[^=]*\\\\x=$1" "$(settings)" 2>/dev/null && grep -qx "[^=]*\\\\y=$2" "$(settings)"
}

# The windows of the program on the screen besides its main window: its menus.
menu_is_open() {
    local others
    others=$(xdotool search --onlyvisible --pid "$program_pid" 2>/dev/null | grep -vx "$window" || true)
    [ -n "$others" ]
}
menu_is_closed() { ! menu_is_open; }
menus_open() { # menus_open COUNT: that many menus (or more) are on the screen
    [ "$(xdotool search --onlyvisible --pid "$program_pid" 2>/dev/null | grep -cvx "$window")" -ge "$1" ]
}

right_click_at() { # right_click_at X Y (window pixels)
    pointer_to "$1" "$2"
    xdotool click 3
}

# open_menu_and_pick KEY: the menu by the Menu key of the keyboard, then the entry of
# that key.
open_menu_and_pick() {
    read -r x y <<<"$kBackgroundPoint"
    right_click_at "$x" "$y"
    wait_until 5 "le menu s'ouvre" menu_is_open
    xdotool key "$1"
    wait_until 5 "le menu se ferme" menu_is_closed
    wait_for_program
}

# A drag, no write before the release, one after it; a quit and a second start at
# the same place, and above other windows.
case_place_kept() {
    start_managed_program "$program"
    read -r x y <<<"$kBackgroundPoint"
    local from_x=$((origin_x + x)) from_y=$((origin_y + y))
    xdotool mousemove --sync "$from_x" "$from_y" mousedown 1
    wait_until 5 "l'appui garde la fenêtre au-dessus" is_above
    wait_for_window_manager
    xdotool mousemove --sync $((from_x - 60)) $((from_y - 40)) mousemove --sync $((from_x - 150)) $((from_y - 90))
    # The window is where openbox put it; no request to openbox now, whose answer
    # would tell the window its place before the release does.
    wait_until 5 "la fenêtre suit la souris" window_is_at $((origin_x - 150)) $((origin_y - 90))
    [ ! -e "$(settings)" ] || fail "la place a été écrite pendant le déplacement"
    xdotool mouseup 1
    local left=$((origin_x - 150)) top=$((origin_y - 90))
    # The window manager may say where it left the window after it lets go of the
    # mouse: the place written is the last one, before any quit.
    wait_until 5 "la place $left $top est écrite une fois le bouton relâché" settings_hold_place_at "$left" "$top"
    stop_program
    start_program "$program"
    window_is_at "$left" "$top" || fail "au second lancement, la fenêtre est en $(window_origin), pas en $left $top"
    is_above || fail "au second lancement, la fenêtre n'est pas au-dessus des autres"
    say "laissée en $left $top, rouverte là et au-dessus"
}

# The right button opens the menu over the background, nothing over the grid;
# « Toujours au-dessus » off makes an ordinary window that a drag leaves ordinary.
case_menu() {
    start_managed_program "$program"
    local x y
    read -r x y <<<"$(box_centre "${kBoxes[Cal1.days]}")"
    right_click_at "$x" "$y"
    wait_for_program
    menu_is_closed || fail "un clic droit sur la grille du calendrier a ouvert un menu"
    read -r x y <<<"$kBackgroundPoint"
    right_click_at "$x" "$y"
    wait_until 5 "un clic droit sur le fond ouvre le menu" menu_is_open
    xdotool key Escape
    wait_until 5 "Échap ferme le menu" menu_is_closed
    left_drag "$x" "$y" 30 20 is_above
    open_menu_and_pick t
    wait_until 5 "« Toujours au-dessus » décoché rend la fenêtre ordinaire" eval '! is_above'
    left_drag "$x" "$y" 30 20
    wait_for_window_manager
    ! is_above || fail "un déplacement a remis la fenêtre au-dessus malgré le choix de l'utilisateur"
    say "menu sur le fond et pas sur la grille ; « Toujours au-dessus » décoché le reste"
}

# The autostart entry: written valid for this program, then removed; a user's own
# entry stays. An entry of the gadget's own for a program since moved is written
# again at the next start, and names the program in TryExec.
case_autostart() {
    require_commands desktop-file-validate
    start_managed_program "$program"
    open_menu_and_pick l
    wait_until 5 "l'entrée de lancement est écrite" test -f "$(autostart)"
    desktop-file-validate "$(autostart)" >"$work/validate.log" 2>&1 ||
        fail "desktop-file-validate refuse l'entrée : $(cat "$work/validate.log")"
    grep -qx "Exec=$program_folder/solvane" "$(autostart)" || fail "l'entrée ne lance pas ce programme : $(grep Exec "$(autostart)")"
    grep -qx "TryExec=$program_folder/solvane" "$(autostart)" || fail "TryExec ne nomme pas ce programme : $(cat "$(autostart)")"
    stop_program
    # An autostart entry without TryExec whose program is gone.
    sed -i -e '/^TryExec=/d' -e 's|^Exec=.*|Exec=/opt/parti/solvane|' "$(autostart)"
    start_program "$program"
    wait_until 5 "l'entrée est récrite pour le programme lancé" grep -qx "TryExec=$program_folder/solvane" "$(autostart)"
    grep -qx "Exec=$program_folder/solvane" "$(autostart)" || fail "l'entrée récrite ne lance pas ce programme"
    open_menu_and_pick l
    wait_until 5 "l'entrée de lancement est retirée" test ! -e "$(autostart)"
    printf '[Desktop Entry]\nType=Application\nName=Mon Solvane\nExec=solvane --texte\n' >"$(autostart)"
    open_menu_and_pick l
    [ "$(sed -n 3p "$(autostart)")" = 'Name=Mon Solvane' ] || fail "l'entrée de l'utilisateur a été retirée ou changée"
    say "entrée écrite, valide, retirée ; celle de l'utilisateur reste"
}

# A place saved on a screen of that name, far off it: the window opens wholly inside
# the screen.
case_off_screen() {
    start_managed_program "$program"
    read -r x y <<<"$kBackgroundPoint"
    left_drag "$x" "$y" 40 30 is_above
    wait_until 5 "la place est écrite" settings_hold_place
    stop_program
    sed -i -e 's/^\([^=]*\\\)x=.*/\1x=-40000/' -e 's/^\([^=]*\\\)y=.*/\1y=25000/' "$(settings)"
    start_program "$program"
    read -r screen_width screen_height <<<"$(xdotool getdisplaygeometry)"
    ((origin_x >= 0 && origin_y >= 0 && origin_x + kWindowWidth <= screen_width &&
        origin_y + kWindowHeight <= screen_height)) ||
        fail "une place hors de l'écran ouvre la fenêtre en $origin_x $origin_y, pas entière sur l'écran"
    ((origin_x == 0 && origin_y == screen_height - kWindowHeight)) ||
        fail "la fenêtre n'a pas été déplacée au plus court : en $origin_x $origin_y"
    say "une place hors de l'écran s'ouvre au coin le plus proche"
}

# The region chosen by the keyboard in « Jours fériés »: the settings file holds it,
# and the terminal, reading that file, names the region's day as the window does.
case_region() {
    start_managed_program "$program"
    read -r x y <<<"$kBackgroundPoint"
    right_click_at "$x" "$y"
    wait_until 5 "le menu s'ouvre" menu_is_open
    # j opens the submenu on its first entry, « France (national) »; the next is « Alsace-Moselle ».
    xdotool key j
    wait_until 5 "le sous-menu s'ouvre" menus_open 2
    xdotool key Down Return
    wait_until 5 "le menu se ferme" menu_is_closed
    wait_until 5 "la région est écrite dans les réglages" grep -qx 'region=alsace-moselle' "$(settings)"
    local text
    text=$("$program_folder/solvane" --waybar 2024-12-26 | jq -r .text)
    [ "$text" = Saint-Étienne ] || fail "le terminal ne suit pas la région de la fenêtre : « $text »"
    say "« Alsace-Moselle » choisie au clavier, gardée, et le terminal dit Saint-Étienne le 26 décembre"
}

# Two gadgets of one user on two displays, sharing the settings file: each reopens
# where it was left on its own display, whichever saved last, and « Toujours
# au-dessus » turned off in one reaches the other while it runs.
case_two_displays() {
    harness_start
    local -A at_display=() pid_on=() window_on=()
    local name
    for name in first second; do
        start_display
        start_window_manager
        start_program "$program"
        read -r x y <<<"$kBackgroundPoint"
        if [ "$name" = first ]; then left_drag "$x" "$y" -120 -80 is_above; else left_drag "$x" "$y" 90 60 is_above; fi
        wait_until 5 "la place de $DISPLAY est écrite" \
            grep -qx "%3A${DISPLAY#:}\\\\x=$origin_x" "$(settings)"
        at_display[$name]="$DISPLAY $origin_x $origin_y"
        pid_on[$name]=$program_pid
        window_on[$name]=$window
    done
    # « Toujours au-dessus » turned off in the second gadget: the first, on its own display, follows.
    open_menu_and_pick t
    wait_until 5 "la seconde fenêtre n'est plus au-dessus" eval '! is_above'
    read -r DISPLAY _ <<<"${at_display[first]}"
    window=${window_on[first]}
    wait_until 5 "la première fenêtre suit le choix fait dans la seconde" eval '! is_above'
    for name in first second; do
        read -r DISPLAY x y <<<"${at_display[$name]}"
        program_pid=${pid_on[$name]}
        window=${window_on[$name]}
        stop_program
        start_program "$program"
        window_is_at "$x" "$y" || fail "sur $DISPLAY, la fenêtre se rouvre en $(window_origin), pas en $x $y"
        stop_program
    done
    say "deux affichages, deux places gardées ; « Toujours au-dessus » suivi d'un gadget à l'autre"
}

declare -F "case_$case_name" >/dev/null || fail "cas inconnu : $case_name"
"case_$case_name"
