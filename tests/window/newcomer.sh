#!/bin/bash
# What a new user meets on a real desktop, one self-contained case per run (a
# function case_NAME below).
# Usage: newcomer.sh SOLVANE_EXECUTABLE CASE
set -euo pipefail
# shellcheck source=harness.sh
. "$(dirname "$0")/harness.sh"
readonly program=${1:?"usage : $0 PROGRAMME_SOLVANE CAS"}
readonly case_name=${2:?"usage : $0 PROGRAMME_SOLVANE CAS"}

# The window's checksum, once it stays the same for a second (its clock stands still).
window_sum=''
window_settles() {
    local before
    before=$(box_checksum "${kBoxes[Form1]}")
    sleep 1
    window_sum=$(box_checksum "${kBoxes[Form1]}")
    [ "$window_sum" = "$before" ]
}

# Fusion took its colours from a dark GTK theme and wrote white on the text buttons'
# light faces, and Qt's own menus were in English: under that theme the window is
# the same pixel for pixel as on a plain desktop, the year field's menu light and
# in French.
case_dark_desktop() {
    harness_start
    require_reading_commands
    dpkg -s qt6-gtk-platformtheme >/dev/null 2>&1 || fail "le thème GTK de Qt manque (paquet qt6-gtk-platformtheme)"
    start_display
    start_window_manager
    faked_clock_at '2026-12-06 09:05:07' frozen || fail "libfaketime est absente (paquet faketime)"
    xdotool mousemove 0 0  # away from the window, where the mouse lights what it is over
    local plain theme
    for theme in '' Adwaita:dark; do
        program_environment=(LANG=fr_FR.UTF-8 LC_ALL=fr_FR.UTF-8 "${clock_environment[@]}")
        [ -z "$theme" ] || program_environment+=(QT_QPA_PLATFORMTHEME=gtk3 "GTK_THEME=$theme")
        start_program "$program"
        wait_until 10 "la fenêtre ne change plus" window_settles
        [ -n "$theme" ] || { plain=$window_sum; stop_program; }
    done
    [ "$window_sum" = "$plain" ] || fail "sous un thème GTK sombre, la fenêtre n'a pas les couleurs d'un bureau clair"

    # A click on the year opens its field; a right click there, its menu at the mouse.
    pointer_to 225 100
    xdotool click 1 click 3
    local menu="$((origin_x + 225)) $((origin_y + 100)) 260 220" light x y width height
    # shellcheck disable=SC2317  # called through wait_until
    menu_reads_french() {
        screenshot_ppm
        python3 "$kScreenReading" says "$work/screen.ppm" "$menu" 'Annuler Rétablir Couper Copier Coller Supprimer
            Tout sélectionner Augmenter Diminuer' 0.5 Couper Copier Supprimer Augmenter >"$work/reading.log" 2>&1
    }
    wait_until 5 "le menu du champ de l'année parle français" menu_reads_french
    read -r x y width height <<<"$menu"
    light=$(convert "$work/screen.ppm" -crop "${width}x${height}+$x+$y" -colorspace Gray -format '%[fx:mean>0.75]' info:)
    [ "$light" = 1 ] || fail "sous un thème GTK sombre, le menu du champ de l'année est sombre"
    say "les couleurs ne suivent pas le thème du bureau ; le menu de Qt est en français"
}

readonly kRestSeconds=10

# rests_for WHAT: the program started first does not wake once in kRestSeconds.
rests_for() {
    local before after
    # What the change of state itself causes is over once openbox has handled it.
    wait_for_window_manager
    sleep 0.5
    before=$(context_switches "$gadget_pid")
    sleep "$kRestSeconds"  # the measuring span
    after=$(context_switches "$gadget_pid")
    ((after == before)) || fail "$1, le programme s'est réveillé $((after - before)) fois en $kRestSeconds s"
}

is_active() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$window" ]; }

# A second copy of the program ends at once with status 0 and brings the first back.
launch_again() {
    launch_program "$(copy_program_folder "$program")"
    wait_until 5 "la deuxième copie s'arrête ($1)" program_ended
    ((program_status == 0)) || fail "la deuxième copie s'est arrêtée avec l'état $program_status ($1)"
    program_pid=$gadget_pid
    wait_until 5 "la fenêtre revient, non réduite ($1)" eval '! is_iconic'
    wait_until 5 "la fenêtre est active ($1)" is_active
    read -r x y <<<"$kBackgroundPoint"
    wait_until 5 "la fenêtre est devant ($1)" window_point_is_near "$x" "$y" "$kBackgroundGrey" 12
    main_window_alone || fail "une deuxième fenêtre Solvane s'est ouverte ($1)"
}


# One gadget per display, which rests while no one can see it.
#   - Minimised, and then entirely covered by another window (Xvfb has no
#     compositor), the program does not wake once in 10 s, all threads counted,
#     once the threads that Qt's pool lends at start-up have ended.
#   - Launched again meanwhile, the second copy ends with status 0 within 5 s, and
#     the first window comes back restored, in front, active; no second window opens.
#   - Killed, it leaves its socket behind, which does not stop the next start, nor
#     that gadget from being found by the launch after.
case_second_launch_and_rest() {
    start_managed_program "$program"
    gadget_pid=$program_pid

    click_in_box "${kBoxes[CmdMinimise]}"
    wait_until 5 "la fenêtre est réduite" is_iconic
    wait_until 60 "les fils du pool de Qt se terminent" pool_threads_ended "$gadget_pid"
    rests_for "réduit"
    launch_again "la première réduite"

    start_other_window xlogo -geometry "${screen_width}x${screen_height}+0+0"
    read -r x y <<<"$kBackgroundPoint"
    wait_until 5 "xlogo couvre la fenêtre" eval "! window_point_is_near $x $y '$kBackgroundGrey' 12"
    rests_for "couvert par une autre fenêtre"
    launch_again "la première couverte"

    kill -KILL "$gadget_pid"
    wait_until 5 "le programme tué s'arrête" program_ended
    launch_program "$(copy_program_folder "$program")"
    wait_for_main_window
    gadget_pid=$program_pid
    launch_again "après un arrêt brutal"
    say "une seule copie, au repos quand elle ne se voit pas, et une socket abandonnée ne gêne pas"
}

declare -F "case_$case_name" >/dev/null || fail "cas inconnu : $case_name"
"case_$case_name"
