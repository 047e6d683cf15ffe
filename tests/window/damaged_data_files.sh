#!/bin/bash
# The real program started beside one damaged data file, on a French desktop whose
# clock reads a chosen date. Without a name-day list it can read, it does not start:
# a message box titled Solvane says why in French, the same line goes to standard
# error, no main window appears, and closing the box ends it with status 1. With any
# other damage its window opens within 2 s and goes on running: the clock line keeps
# changing every second, a click on ">>" turns the calendar at once, no error box
# appears, it holds less than 100 MB, and the name-day line and the moon picture
# show what each case expects.
# Usage: damaged_data_files.sh SOLVANE_EXECUTABLE CASE   (CASE: a prepare_CASE below)
set -euo pipefail
# shellcheck source=fixture.sh
. "$(dirname "$0")/fixture.sh"
# shellcheck source=liveness.sh
. "$(dirname "$0")/liveness.sh"

readonly program=${1:?"usage : $0 PROGRAMME_SOLVANE CAS"}
readonly case_name=${2:?"usage : $0 PROGRAMME_SOLVANE CAS"}
kDamagedFiles="$(dirname "$0")/damaged_files.py"
readonly kDamagedFiles

readonly kRed='255 0 0'
readonly kGreen='0 255 0'
readonly kLargestResidentKb=$((100 * 1024))
# The name-day line with no name after its words.
readonly kNoName='fête à souhaiter :'

# --- The cases ----------------------------------------------------------------
# prepare_CASE FOLDER: damages the copied program folder and sets:
#   start_at  the clock at start-up;
#   refusal   for a program that must not start, the end of its error sentence
#             (after the quoted path);
#   name_day  the name-day line expected ('' for no check);
#   moon      the moon box expected: empty (the window's grey), red or green (the
#             colour of the test's picture), or '' for no check.
start_at='2024-02-29 10:00:00'
refusal=''
name_day=''
moon=''

every_moon_picture_is() { # every_moon_picture_is FOLDER FILE: the same file under all thirty names
    local age
    for ((age = 0; age < 30; ++age)); do
        cp "$2" "$1/$age.gif"
    done
}

prepare_names_missing() { rm "$1/fetes.txt"; refusal='est introuvable.'; }
prepare_names_folder() { rm "$1/fetes.txt"; mkdir "$1/fetes.txt"; refusal='est un dossier, pas un fichier.'; }
# A pipe that nothing writes into would hold the start-up for ever.
prepare_names_pipe() { rm "$1/fetes.txt"; mkfifo "$1/fetes.txt"; refusal="n'est pas un fichier ordinaire."; }
# Run as a user without the right to read it (see run_as_reader).
prepare_names_unreadable() { chmod 000 "$1/fetes.txt"; refusal='ne peut pas être lu.'; }
prepare_names_empty() { : >"$1/fetes.txt"; name_day=$kNoName; }
# The list without 31 December: that day has no name.
prepare_names_365() {
    head -n 365 "$1/fetes.txt" >"$work/fetes-365.txt"
    mv "$work/fetes-365.txt" "$1/fetes.txt"
    start_at='2024-12-31 10:00:00'
    name_day=$kNoName
}
# Fifty million empty fields: the window keeps the first 366, all empty.
prepare_names_50_mb_of_commas() { head -c 52428800 /dev/zero | tr '\0' ',' >"$1/fetes.txt"; name_day=$kNoName; }
prepare_names_random_bytes() { python3 "$kDamagedFiles" random 1048576 366 "$1/fetes.txt"; }
# One name of fifty million NUL bytes, shown on 1 January.
prepare_names_nul_bytes() { head -c 52428800 /dev/zero >"$1/fetes.txt"; start_at='2024-01-01 10:00:00'; }
# The quote opened before the name of 1 March runs to the end of the file: that day
# shows the name and the lines after it on its one line, cut by « … », and every later
# day has none.
prepare_names_open_quote() {
    grep -q $'^1,Aubin\r$' "$1/fetes.txt" || fail "la liste des fêtes n'a pas de ligne 1,Aubin pour le 1er mars"
    sed -i 's/^1,Aubin/1,"Aubin/' "$1/fetes.txt"
    start_at='2024-03-01 10:00:00'
    # The line ends of the value show as blanks, one each.
    name_day='fête à souhaiter : Aubin 2,Charles 3,Guénolé …'
}
# Control bytes inside a quoted name, a NUL among them: each shows as a blank, none
# drives the window's text or cuts the name short.
prepare_names_control_bytes() {
    grep -q $'^1,Aubin\r$' "$1/fetes.txt" || fail "la liste des fêtes n'a pas de ligne 1,Aubin pour le 1er mars"
    sed -i 's/^1,Aubin/1,"Jean\x00Luc\x1bMarc\x7fPaul"/' "$1/fetes.txt"
    start_at='2024-03-01 10:00:00'
    name_day='fête à souhaiter : Jean Luc Marc Paul'
}
# The list saved by an editor in UTF-8 with a byte-order mark: read as UTF-8, the mark
# dropped, so 3 January shows Geneviève, neither "GeneviÃ¨ve" nor the name of the day
# before (the mark read as a first name would move every name one day on).
prepare_names_utf8_with_mark() {
    { printf '\xEF\xBB\xBF'; iconv -f WINDOWS-1252 -t UTF-8 "$1/fetes.txt"; } >"$work/fetes-utf8.txt"
    mv "$work/fetes-utf8.txt" "$1/fetes.txt"
    start_at='2024-01-03 10:00:00'
    name_day='fête à souhaiter : Geneviève'
}
prepare_moon_missing() { rm "$1"/[0-9]*.gif; moon=empty; }
prepare_moon_pipes() {
    local age
    for ((age = 0; age < 30; ++age)); do
        rm "$1/$age.gif"
        mkfifo "$1/$age.gif"
    done
    moon=empty
}
prepare_moon_empty() { : >"$work/empty.gif"; every_moon_picture_is "$1" "$work/empty.gif"; moon=empty; }
# The first half of a red picture: what the reader makes of it, if anything, and no harm.
prepare_moon_truncated() {
    python3 "$kDamagedFiles" gif 30 30 ff0000 "$work/whole.gif"
    head -c $(($(stat -c %s "$work/whole.gif") / 2)) "$work/whole.gif" >"$work/half.gif"
    every_moon_picture_is "$1" "$work/half.gif"
}
# A PNG picture under a .gif name is read by its contents, and shown.
prepare_moon_png() { python3 "$kDamagedFiles" png 30 30 00ff00 "$work/green.gif"; every_moon_picture_is "$1" "$work/green.gif"; moon=green; }
# A hundred million pixels: larger than the window, not shown, and no tick stalls on it.
prepare_moon_huge() { python3 "$kDamagedFiles" gif 10000 10000 ff0000 "$work/huge.gif"; every_moon_picture_is "$1" "$work/huge.gif"; moon=empty; }
# The largest picture shown is the window's size; one pixel wider is not shown.
prepare_moon_as_large_as_the_window() {
    python3 "$kDamagedFiles" gif "$kWindowWidth" "$kWindowHeight" ff0000 "$work/large.gif"
    every_moon_picture_is "$1" "$work/large.gif"
    moon=red
}
prepare_moon_wider_than_the_window() {
    python3 "$kDamagedFiles" gif "$((kWindowWidth + 1))" "$kWindowHeight" ff0000 "$work/wide.gif"
    every_moon_picture_is "$1" "$work/wide.gif"
    moon=empty
}
# The folder is moved under a name with accents, blanks and an apostrophe: the list
# and the pictures are still found beside the program.
prepare_folder_with_accents_and_blanks() {
    python3 "$kDamagedFiles" gif 30 30 ff0000 "$work/red.gif"
    every_moon_picture_is "$1" "$work/red.gif"
    moon=red
    # 29 February: the list's name of that day, Auguste.
    name_day='fête à souhaiter : Auguste'
}

# --- Running -------------------------------------------------------------------

error_written() { [ -s "$work/program-errors.log" ]; }

# The message box (window $box) says the end of the error sentence, by OCR of the
# whole box: the path in the sentence wraps. What OCR read goes to box-text.log.
box_shows_the_cause() {
    import -silent -window "$box" -depth 8 png:- | convert png:- -resize 300% png:- |
        tesseract stdin stdout -l fra --psm 6 2>/dev/null >"$work/box-text.log"
    grep -qF -- "$refusal" <<<"$(tr -s ' \n' ' ' <"$work/box-text.log")"
}

declare -F "prepare_$case_name" >/dev/null ||
    fail "cas inconnu : $case_name ; les cas : $(declare -F | sed -n 's/^declare -f prepare_//p' | tr '\n' ' ')"
window_test_begin --reading

executable=$(copy_program "$program")
if [ "$case_name" = folder_with_accents_and_blanks ]; then
    moved="$work/Mes données/Éphémérides d'été à côté"
    mkdir -p "$(dirname "$moved")"
    mv "$(dirname "$executable")" "$moved"
    executable="$moved/$(basename "$executable")"
fi
folder=$(dirname "$executable")
"prepare_$case_name" "$folder"
french_setting_at "$start_at"

# The unreadable list needs a user who may not read it: root reads any file, so root
# runs the program as nobody, from a folder that nobody may enter.
if [ "$case_name" = names_unreadable ] && [ "$(id -u)" = 0 ]; then
    chmod 711 "$work"
    chmod 755 "$folder"
    mkdir -m 700 "$work/nobody"
    chown nobody "$work/nobody"
    program_environment+=("HOME=$work/nobody" "XDG_RUNTIME_DIR=$work/nobody")
    start_program --as nobody "$executable"
else
    start_program "$executable"
fi

if [ -n "$refusal" ]; then
    # The message box: the only window titled Solvane, not the main window's size.
    wait_until $((15 * kSlowdown)) "une fenêtre titrée Solvane s'ouvre" solvane_window_shown
    shown_after=$(($(now_us) - launched_at))
    box=$(solvane_windows)
    [ "$(wc -l <<<"$box")" = 1 ] || fail "plus d'une fenêtre titrée Solvane : $box"
    [[ $(window_geometry "$box") != *" $kWindowWidth $kWindowHeight" ]] || fail "le programme a montré sa fenêtre principale"
    sentence="Le fichier des fêtes « $folder/fetes.txt » $refusal"
    wait_until 5 "la ligne d'erreur arrive sur la sortie d'erreur" error_written
    [ "$(cat "$work/program-errors.log")" = "solvane: $sentence" ] ||
        fail "la sortie d'erreur n'est pas la seule ligne « solvane: $sentence »"
    # The box shows the same sentence; the path wraps, so OCR reads the box whole.
    wait_until 10 "la boîte dit « $refusal »" box_shows_the_cause
    process_running "$program_pid" || fail "le programme s'est arrêté avant qu'on ferme sa boîte"
    xdotool windowactivate --sync "$box" key Return
    wait_until 5 "le programme s'arrête une fois sa boîte fermée" program_ended
    [ "$program_status" = 1 ] || fail "le programme s'est arrêté avec l'état $program_status, pas 1"
    [ -z "$(solvane_windows)" ] || fail "une fenêtre titrée Solvane est encore montrée"
    say "$case_name : refusé en $(seconds_text "$shown_after") s : $sentence"
    exit 0
fi

wait_for_window
(( start_took_cpu_ms <= kLongestStartCpuMs )) ||
    fail "la fenêtre a demandé $start_took_cpu_ms ms de processeur pour s'ouvrir"
clock_keeps_ticking 4
longest=$longest_still_us
calendar_answers_a_click
click recul  # back to the start-up date

if [ -n "$name_day" ]; then
    wait_until 10 "la ligne de la fête se lit « $name_day »" box_reads Label32.first_line "$name_day" exact
fi
case $moon in
    empty) wait_until 10 "la case de la lune reste vide" box_shows Image1 "$kBackgroundGrey" 12 ;;
    red) wait_until 10 "la case de la lune montre l'image rouge" box_shows Image1 "$kRed" 0 ;;
    green) wait_until 10 "la case de la lune montre l'image verte" box_shows Image1 "$kGreen" 0 ;;
esac
clock_keeps_ticking 2
main_window_alone || fail "une autre fenêtre titrée Solvane est apparue (une boîte d'erreur ?)"
[ ! -s "$work/program-errors.log" ] || fail "le programme a écrit sur la sortie d'erreur"
# A normal start holds some 35 MB. Fifty million names, or a decoded picture of
# 10,000 x 10,000 pixels, would hold gigabytes. (A sanitizer build holds far more of
# its own.)
resident=$(resident_kb "$program_pid")
is_sanitized_build "$program" || (( resident < kLargestResidentKb )) ||
    fail "le programme en marche occupe $resident Ko"
say "$case_name : ouvert en $(seconds_text "$start_took_us") s ($start_took_cpu_ms ms de processeur), $resident Ko résidents," \
    "horloge jamais figée plus de $(seconds_text "$longest") s"
