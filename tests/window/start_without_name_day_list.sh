#!/bin/bash
# Without fetes.txt beside it the program does not start: a message box titled
# Solvane says, in French, that the file is missing and names its path, the same line
# goes to standard error, the main window is never mapped, Return closes the box and
# the program ends with a non-zero status.
# There is no window manager here, so that every window the program maps is a child
# of the screen's root window, whose events xev reports.
# Usage: start_without_name_day_list.sh SOLVANE_EXECUTABLE
set -euo pipefail
# shellcheck source=fixture.sh
. "$(dirname "$0")/fixture.sh"
readonly program=${1:?"usage : $0 PROGRAMME_SOLVANE"}

window_test_begin --bare --reading --at '2024-02-29 10:00:00'
require_commands xev

# Every window created, resized, mapped or unmapped on the screen, from now on.
xev -root -event substructure >"$work/windows.txt" 2>&1 &
remember_pid "$!"
# xev listens once it reports a window of our own: map one until it does.
xev_reports_a_map() {
    xlogo -geometry 40x40+0+0 >/dev/null 2>&1 &
    local logo=$!
    remember_pid "$logo"
    timeout 5 xdotool search --sync --onlyvisible --class xlogo >/dev/null 2>&1 || true
    stop_process "$logo"
    grep -q '^MapNotify event' "$work/windows.txt"
}
wait_until 15 "xev signale l'affichage d'une fenêtre" xev_reports_a_map

executable=$(copy_program "$program")
missing=$(dirname "$executable")/fetes.txt
rm "$missing"
start_program "$executable"

box=$(timeout 15 xdotool search --sync --onlyvisible --name '^Solvane$' 2>/dev/null | head -n 1) || true
[ -n "$box" ] || fail "aucune fenêtre titrée Solvane après 15 s"
[[ $(window_geometry "$box") != *" $kWindowWidth $kWindowHeight" ]] || fail "la fenêtre titrée Solvane est la fenêtre principale"
[ "$(solvane_windows | wc -l)" = 1 ] || fail "plus d'une fenêtre titrée Solvane"

# Standard error: one line, "solvane: " and a French sentence that names the path.
error_line_written() { [ -s "$work/program-errors.log" ]; }
wait_until 5 "l'erreur arrive sur la sortie d'erreur" error_line_written
[ "$(wc -l <"$work/program-errors.log")" = 1 ] || fail "la sortie d'erreur tient plus d'une ligne"
line=$(cat "$work/program-errors.log")
[[ $line == "solvane: "* ]] || fail "la ligne d'erreur ne commence pas par « solvane: » : $line"
[[ $line == *"$missing"* ]] || fail "la ligne d'erreur ne nomme pas $missing : $line"
words=${line//"$missing"/}
grep -Eqi '\b(fichier|introuvable|manquant|absent|impossible)\b' <<<"$words" ||
    fail "la ligne d'erreur n'est pas en français : $line"
! grep -Eqi '\b(file|not found|cannot|missing|error)\b' <<<"$words" || fail "la ligne d'erreur est en anglais : $line"

# The box shows the same sentence: OCR of the box, close to the line and naming the file.
read -r box_x box_y box_width box_height < <(window_geometry "$box")
wait_until 10 "la boîte montre la phrase de l'erreur" \
    says "$box_x $box_y $box_width $box_height" "${line#solvane: }" 0.85 fetes.txt

process_running "$program_pid" || fail "le programme s'est arrêté avant qu'on ferme la boîte"
xdotool mousemove --sync "$((box_x + box_width / 2))" "$((box_y + 10))"
xdotool key Return
wait_until 5 "le programme s'arrête une fois la boîte fermée par Entrée" program_ended
[ "$program_status" != 0 ] || fail "le programme s'est arrêté avec l'état 0"
wait_until 5 "la boîte se ferme" window_gone "$box"

# No window of the main window's size was ever mapped; the box was.
mapped=$(awk -v main="${kWindowWidth}x$kWindowHeight" '
    /^[A-Za-z]+ event, serial/ { type = $1; next }
    type != "" && match($0, /window 0x[0-9a-f]+/) {
        id = substr($0, RSTART + 7, RLENGTH - 7)
        if (match($0, /width [0-9]+, height [0-9]+/)) {
            split(substr($0, RSTART, RLENGTH), size, /[ ,]+/)
            sizes[id] = size[2] "x" size[4]
        }
        if (type == "MapNotify") shown[id] = 1
        if (type == "UnmapNotify" || type == "DestroyNotify") shown[id] = 0
        if (shown[id] && sizes[id] == main) print "main " id
        if (type == "MapNotify") print "mapped " id
        type = ""
    }' "$work/windows.txt")
! grep -q '^main ' <<<"$mapped" || fail "une fenêtre de ${kWindowWidth} x $kWindowHeight a été affichée : $(grep '^main ' <<<"$mapped" | sort -u | tr '\n' ' ')"
grep -qx "mapped $(printf '0x%x' "$box")" <<<"$mapped" || fail "xev n'a pas signalé l'affichage de la boîte : son relevé n'est pas fiable"
say "une boîte, pas de fenêtre principale, état $program_status"
