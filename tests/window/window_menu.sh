#!/bin/bash
# The window's menu: it opens on the right button over the background and not over
# the grid, « Toujours au-dessus » turned off stays off, the start at login is written
# and removed, and the region of the holidays chosen there is the terminal's too; one
# self-contained case per run (a function case_NAME below).
# Usage: window_menu.sh SOLVANE_EXECUTABLE CASE
set -euo pipefail
# shellcheck source=fixture.sh
. "$(dirname "$0")/fixture.sh"
readonly program=${1:?"usage : $0 PROGRAMME_SOLVANE CAS"}
readonly case_name=${2:?"usage : $0 PROGRAMME_SOLVANE CAS"}

autostart() { printf '%s/autostart/solvane.desktop\n' "$XDG_CONFIG_HOME"; }
two_menus_open() { (($(popups_shown) >= 2)); }

# The right button opens the menu over the background, nothing over the grid;
# « Toujours au-dessus » off makes an ordinary window that a drag leaves ordinary.
case_right_button() {
    window_test_begin
    start_program --copy --wait "$program"
    local x y
    read -r x y <<<"$(box_centre Cal1.days)"
    click "$x $y" 3
    wait_for_program
    eval '! popup_open' || fail "un clic droit sur la grille du calendrier a ouvert un menu"
    read -r x y <<<"$kBackgroundPoint"
    click "$x $y" 3
    wait_until 5 "un clic droit sur le fond ouvre le menu" popup_open
    xdotool key Escape
    wait_until 5 "Échap ferme le menu" eval '! popup_open'
    left_drag "$x" "$y" 30 20 is_above
    pick_from_menu t
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
    window_test_begin
    start_program --copy --wait "$program"
    pick_from_menu l
    wait_until 5 "l'entrée de lancement est écrite" test -f "$(autostart)"
    desktop-file-validate "$(autostart)" >"$work/validate.log" 2>&1 ||
        fail "desktop-file-validate refuse l'entrée : $(cat "$work/validate.log")"
    grep -qx "Exec=$program_folder/solvane" "$(autostart)" || fail "l'entrée ne lance pas ce programme : $(grep Exec "$(autostart)")"
    grep -qx "TryExec=$program_folder/solvane" "$(autostart)" || fail "TryExec ne nomme pas ce programme : $(cat "$(autostart)")"
    stop_program
    # An autostart entry without TryExec whose program is gone.
    sed -i -e '/^TryExec=/d' -e 's|^Exec=.*|Exec=/opt/parti/solvane|' "$(autostart)"
    start_program --copy --wait "$program"
    wait_until 5 "l'entrée est récrite pour le programme lancé" grep -qx "TryExec=$program_folder/solvane" "$(autostart)"
    grep -qx "Exec=$program_folder/solvane" "$(autostart)" || fail "l'entrée récrite ne lance pas ce programme"
    pick_from_menu l
    wait_until 5 "l'entrée de lancement est retirée" test ! -e "$(autostart)"
    printf '[Desktop Entry]\nType=Application\nName=Mon Solvane\nExec=solvane --texte\n' >"$(autostart)"
    pick_from_menu l
    [ "$(sed -n 3p "$(autostart)")" = 'Name=Mon Solvane' ] || fail "l'entrée de l'utilisateur a été retirée ou changée"
    say "entrée écrite, valide, retirée ; celle de l'utilisateur reste"
}

# The region chosen by the keyboard in « Jours fériés »: the settings file holds it,
# and the terminal, reading that file, names the region's day as the window does.
case_region() {
    window_test_begin
    start_program --copy --wait "$program"
    read -r x y <<<"$kBackgroundPoint"
    click "$x $y" 3
    wait_until 5 "le menu s'ouvre" popup_open
    # j opens the submenu on its first entry, « France (national) »; the next is « Alsace-Moselle ».
    xdotool key j
    wait_until 5 "le sous-menu s'ouvre" two_menus_open
    xdotool key Down Return
    wait_until 5 "le menu se ferme" eval '! popup_open'
    wait_until 5 "la région est écrite dans les réglages" grep -qx 'region=alsace-moselle' "$(settings_file)"
    local text
    text=$("$program_folder/solvane" --waybar 2024-12-26 | jq -r .text)
    [ "$text" = Saint-Étienne ] || fail "le terminal ne suit pas la région de la fenêtre : « $text »"
    say "« Alsace-Moselle » choisie au clavier, gardée, et le terminal dit Saint-Étienne le 26 décembre"
}

declare -F "case_$case_name" >/dev/null || fail "cas inconnu : $case_name"
"case_$case_name"
