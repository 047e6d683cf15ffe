#!/bin/bash
# The program with a damaged settings file, one case per run (a prepare_CASE below),
# as an ordinary user (nobody, when the test runs as root, who reads every file):
# the window opens centred, as with no settings, is dragged, opens and closes its
# menu, and quits by its button with status 0, after at most one line on standard
# error, its own.
# Usage: damaged_settings.sh SOLVANE_EXECUTABLE CASE
set -euo pipefail
# shellcheck source=harness.sh
. "$(dirname "$0")/harness.sh"
readonly program=${1:?"usage : $0 PROGRAMME_SOLVANE CAS"}
readonly case_name=${2:?"usage : $0 PROGRAMME_SOLVANE CAS"}

# prepare_CASE: damages the user's settings file $file (in $config, the user's
# configuration folder, in $home, the user's home).
prepare_garbage_bytes() {
    python3 -c 'import random, sys; random.seed(21); sys.stdout.buffer.write(bytes(random.randrange(256) for _ in range(4096)))' >"$file"
}
prepare_text_for_numbers() {
    printf '[solvane]\nx=gauche\ny=1e9\nscreen=%s\nscreen_x=zéro\nscreen_y=\nscreen_width=large\nscreen_height=0x300\nkeep_above=oui\n' \
        "$screen_name" >"$file"
}
prepare_past_any_screen() {
    printf '[solvane]\nx=2147483648\ny=-2147483648\nscreen=%s\nscreen_x=-2147483649\nscreen_y=2147483647\nscreen_width=2147483647\nscreen_height=-2147483648\n' \
        "$screen_name" >"$file"
}
prepare_folder_in_its_place() { mkdir "$file"; }
prepare_dangling_link() { ln -s "$work/nowhere/solvane.conf" "$file"; }
prepare_unreadable_unwritable_file() {
    printf '[solvane]\nx=10\ny=10\nscreen=%s\nscreen_x=0\nscreen_y=0\nscreen_width=800\nscreen_height=600\n' "$screen_name" >"$file"
    chmod 000 "$file"
    chmod 555 "$(dirname "$file")"
}
prepare_read_only_home() { rm -rf "$config"; chmod 555 "$home"; }
prepare_home_unset() { program_environment=(-u HOME -u XDG_CONFIG_HOME "${program_environment[@]:2}"); }

declare -F "prepare_$case_name" >/dev/null || fail "cas inconnu : $case_name"
harness_start
start_display
start_window_manager
read -r screen_width screen_height <<<"$(xdotool getdisplaygeometry)"
# The name Qt gives the screen; with another, the window would open centred anyway.
screen_name=$(xrandr --listmonitors 2>/dev/null | awk 'NR == 2 { print $NF }')
screen_name=${screen_name:-screen}

home="$work/user-home"
config="$home/.config"
file="$config/solvane/solvane.conf"
mkdir -p "$config/solvane" "$work/user-cache"
mkdir -m 700 "$work/user-runtime"
# Fontconfig's cache lies outside the home: with a read-only home and no cache it
# writes lines of its own, as it does for every program.
program_environment=("HOME=$home" "XDG_CONFIG_HOME=$config" "XDG_RUNTIME_DIR=$work/user-runtime"
    "XDG_CACHE_HOME=$work/user-cache")
executable=$(copy_program_folder "$program")
"prepare_$case_name"
as_user=()
if [ "$(id -u)" = 0 ]; then
    chmod 711 "$work"
    chmod 755 "$(dirname "$executable")"
    chown -hR nobody "$home" "$work/user-runtime" "$work/user-cache"
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
launch_program "$executable" "${as_user[@]}"
wait_for_main_window
window_is_at $(((screen_width - kWindowWidth) / 2)) $(((screen_height - kWindowHeight) / 2)) ||
    fail "la fenêtre s'ouvre en $(window_origin), pas au centre"

read -r x y <<<"$kBackgroundPoint"
left_drag "$x" "$y" 40 30 is_above
wait_for_program
pointer_to "$x" "$y"
xdotool click 3
menu_is_open() { xdotool search --onlyvisible --pid "$program_pid" 2>/dev/null | grep -qvx "$window"; }
wait_until 5 "le menu s'ouvre" menu_is_open
xdotool key Escape
wait_until 5 "le menu se ferme" eval '! menu_is_open'
click_in_box "${kBoxes[cmdQuit]}"
wait_until 5 "le programme s'arrête" program_ended
((program_status == 0)) || fail "le programme s'est arrêté avec l'état $program_status"
errors=$(cat "$work/program-errors.log")
(($(wc -l <"$work/program-errors.log") <= 1)) || fail "plus d'une ligne sur la sortie d'erreur : $errors"
[ -z "$errors" ] || [[ $errors == 'solvane: '* ]] || fail "la sortie d'erreur n'est pas une phrase de Solvane : $errors"
say "ouverte au centre, déplacée, menu, état 0${errors:+ ; « $errors »}"
