#!/bin/bash
# The program with a damaged settings file, one case per run (a prepare_CASE below),
# as an ordinary user (nobody, when the test runs as root, who reads every file):
# the window opens centred, as with no settings, is dragged (which saves its place),
# opens and closes its menu, and quits by its button with status 0, after at most one
# line on standard error, its own. A check_CASE then looks at what stands in the
# file's place: nothing but the user's own file is ever written. Cases that need a
# device node or a second user are skipped (77) unless the test runs as root.
# Usage: damaged_settings.sh SOLVANE_EXECUTABLE CASE
set -euo pipefail
# shellcheck source=fixture.sh
. "$(dirname "$0")/fixture.sh"
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
prepare_fifo_in_its_place() { mkfifo "$file"; }
prepare_link_to_a_fifo() { mkfifo "$work/fifo" && ln -s "$work/fifo" "$file"; }
# /dev/zero's kind of device, made here: a link to it must never be written through.
prepare_link_to_a_device() { needs_root && mknod "$work/zero" c 1 5 && ln -s "$work/zero" "$file"; }
prepare_link_to_another_users_file() {
    needs_root && printf '[solvane]\nregion=guyane\n' >"$work/theirs.conf" && ln -s "$work/theirs.conf" "$file"
}
# A dotfile manager's link to a file of the user's own, in the home.
prepare_link_to_own_file() {
    mkdir -p "$home/dotfiles" && printf '; gardé par git\n[solvane]\nregion=guyane\n' >"$home/dotfiles/solvane.conf"
    ln -s "$home/dotfiles/solvane.conf" "$file"
}
# 200 MB with a region the programs must ignore: the file is past what they read.
prepare_past_the_reading_limit() { printf '[solvane]\nregion=alsace-moselle\n' >"$file" && truncate -s 200M "$file"; }
prepare_text_that_is_not_ini() { printf 'region=alsace-moselle\nune liste de courses\n' >"$file"; }
# A place of the sun that names nothing, 40 KB of it: the region's chef-lieu stands for it.
prepare_place_that_names_nothing() {
    printf '[solvane]\nregion=alsace-moselle\nlieu=Saint-Denis%s\n' "$(printf 'é%.0s' {1..20000})" >"$file"
}
needs_root() { [ "$(id -u)" = 0 ] || { say "sauté : il faut être root"; exit 77; }; }

# check_CASE: what stands in the file's place after the run, as it was before.
fingerprint() { stat -L -c '%F %t:%T %U %s' "$1" && { [ ! -f "$1" ] || md5sum <"$1"; }; }
is_unchanged() { [[ $(fingerprint "$1") == "${before:?}" ]] || fail "$1 a changé : $(fingerprint "$1"), avant : $before"; }
check_fifo_in_its_place() { [ -p "$file" ] || fail "le tube a été remplacé"; }
check_link_to_a_fifo() { [ -L "$file" ] && is_unchanged "$work/fifo"; }
check_link_to_a_device() { [ -L "$file" ] && is_unchanged "$work/zero"; }
check_link_to_another_users_file() { [ -L "$file" ] && is_unchanged "$work/theirs.conf"; }
check_link_to_own_file() {
    [ -L "$file" ] || fail "le lien n'est plus un lien"
    if ! grep -q '^region=guyane$' "$file" || ! grep -q '\\x=' "$file"; then
        fail "la place n'est pas écrite à côté de la cible : $(cat "$file")"
    fi
}
unreadable_is_kept() {
    [[ $(fingerprint "$file.illisible") == "${before:?}" ]] || fail "le fichier illisible n'est pas gardé tel quel"
    ! grep -q region "$file" || fail "la région ignorée au démarrage revient dans le fichier : $(cat "$file")"
    [[ $errors == *illisible* ]] || fail "la sortie d'erreur ne dit pas où le fichier est gardé : $errors"
    # The terminal reads the new file as the window did the old one: no region.
    local answer
    answer=$(env "${program_environment[@]}" "$(dirname "$executable")/solvane" --texte=2024-12-26)
    [[ $answer != *Saint-Étienne* ]] || fail "le terminal voit une région que la fenêtre ignorait : $answer"
}
check_past_the_reading_limit() { unreadable_is_kept; }
# The file keeps the text the window could not read, and the terminal reads the chef-lieu.
check_place_that_names_nothing() {
    grep -q '^lieu=Saint-Denisééé' "$file" || fail "le lieu du fichier a été changé : $(head -c 200 "$file")"
    local answer
    answer=$(env "${program_environment[@]}" "$(dirname "$executable")/solvane" --json=2024-12-21)
    [[ $answer == *'"lieu":{"nom":"Strasbourg",'* ]] || fail "le terminal ne revient pas au chef-lieu : $answer"
}
check_text_that_is_not_ini() { unreadable_is_kept; }
check_garbage_bytes() { unreadable_is_kept; }

declare -F "prepare_$case_name" >/dev/null || fail "cas inconnu : $case_name"
window_test_begin
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
executable=$(copy_program "$program")
"prepare_$case_name"
as_user=()
if [ "$(id -u)" = 0 ]; then
    chmod 711 "$work"
    chmod 755 "$(dirname "$executable")"
    chown -hR nobody "$home" "$work/user-runtime" "$work/user-cache"
    as_user=(--as nobody)
fi
before=""
case $case_name in
    link_to_a_fifo) before=$(fingerprint "$work/fifo") ;;
    link_to_a_device) before=$(fingerprint "$work/zero") ;;
    link_to_another_users_file) before=$(fingerprint "$work/theirs.conf") ;;
    past_the_reading_limit | text_that_is_not_ini | garbage_bytes) before=$(fingerprint "$file") ;;
esac
start_program --wait "${as_user[@]}" "$executable"
window_is_at $(((screen_width - kWindowWidth) / 2)) $(((screen_height - kWindowHeight) / 2)) ||
    fail "la fenêtre s'ouvre en $(window_geometry), pas au centre"

read -r x y <<<"$kBackgroundPoint"
left_drag "$x" "$y" 40 30 is_above
wait_for_program
click "$x $y" 3
wait_until 5 "le menu s'ouvre" popup_open
xdotool key Escape
wait_until 5 "le menu se ferme" eval '! popup_open'
quit_by_button
errors=$(cat "$work/program-errors.log")
(($(wc -l <"$work/program-errors.log") <= 1)) || fail "plus d'une ligne sur la sortie d'erreur : $errors"
[ -z "$errors" ] || [[ $errors == 'solvane: '* ]] || fail "la sortie d'erreur n'est pas une phrase de Solvane : $errors"
[[ $errors != *"ne peuvent pas être écrits"* ]] || ! grep -qs '^\[places\]' "$file" ||
    fail "« ne peuvent pas être écrits » alors que la place est écrite : $errors"
if declare -F "check_$case_name" >/dev/null; then "check_$case_name"; fi
say "ouverte au centre, déplacée, menu, état 0${errors:+ ; « $errors »}"
