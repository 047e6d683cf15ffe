#!/bin/bash
# The terminal's options as a user types them, without any display: each row gives
# the arguments, the exit status, and what standard output must begin with (a wrong
# argument: nothing on standard output, one line « solvane: … » on standard error
# that holds the row's words). Then the whole answers of each form, the writes that
# fail, the name-day list found through a link or missing, control bytes in the
# list, the region of the settings file, and --suivre across a midnight, a change of
# time zone, of fetes.txt and of the region, its reader leaving and its signals.
# Usage: tests/terminal/terminal_options.sh PROGRAM VERSION   (VERSION: the build's, "3.6")
set -euo pipefail
program=$(realpath "$1")
readonly version=${2:?"usage : $0 PROGRAMME VERSION"}
failures=0
fail() { echo "terminal_options: ÉCHEC : $*" >&2; failures=$((failures + 1)); }
work=$(mktemp -d "${TMPDIR:-/tmp}/solvane-terminal.XXXXXX")
trap 'rm -rf "$work"' EXIT

# Runs the program with no display at all, in UTC whatever this machine's zone (the
# sun's hours are read in it); its outputs in $out and $err, its status in $status.
run() {
    status=0
    env -i PATH=/usr/bin:/bin LANG=C TZ=UTC "$@" >"$work/out" 2>"$work/err" || status=$?
    out=$(cat "$work/out")
    err=$(cat "$work/err")
}

# A latitude of 400 digits, past what a double holds; an agenda with nothing in it.
huge=$(printf '9%.0s' {1..400})
mkdir "$work/agenda"
# arguments (separated by |)   status   beginning of standard output, or words of the error
rows=(
    "--texte|2024-07-14          0 dimanche 14 juillet 2024"
    "--json|2024-07-14           0 {\"date\":\"2024-07-14\","
    "--texte|1583-01-01          0 samedi 1er janvier 1583"
    "--json|9999-12-31           0 {\"date\":\"9999-12-31\","
    "--texte                     0 "
    "--version                   0 Solvane $version"
    "-V                          0 Solvane $version"
    "--help                      0 Utilisation :"
    "-h                          0 Utilisation :"
    "--texte=2024-07-14          0 dimanche 14 juillet 2024"
    "--waybar=2024-07-14         0 {\"text\":\"Fête nationale\","
    "--ics=1583                  0 BEGIN:VCALENDAR"
    "--ics-fetes|9999            0 BEGIN:VCALENDAR"
    "--texte|2024-02-30          2 n'est pas une date"
    "--texte|2023-02-29          2 n'est pas une date"
    "--json|1582-12-31           2 hors du calendrier"
    "--texte|10000-01-01         2 hors du calendrier"
    "--texte|demain              2 n'est pas une date"
    "--texte|                    2 n'est pas une date"
    "--json|2024-7-14            2 n'est pas une date"
    "--texte|2024-07-14|en-trop  2 « en-trop » est de trop : « --texte » prend une seule date, ici « 2024-07-14 »"
    "--texte=2024-07-14|2024-07-15 2 « 2024-07-15 » est de trop"
    "--ics|2024|--region|quebec|2025 2 « --ics » prend une seule année, ici « 2024 »"
    "--version|en-trop           2 --help"
    "--ics|1582                  2 hors du calendrier"
    "--ics|10000                 2 hors du calendrier"
    "--ics-fetes|2024-01-01      2 n'est pas une année"
    "-v                          2 --help"
    "--txt                       2 --help"
    "--TEXTE                     2 --help"
    "2024-07-14|--texte          0 dimanche 14 juillet 2024"
    "--json|--agenda|$work/agenda|2025-04-15     0 {\"date\":\"2025-04-15\","
    "--texte|--lieu|Quimper|2025-06-21           0 samedi 21 juin 2025"
    "--lieu|Paris|--texte|2025-06-21             0 samedi 21 juin 2025"
    "--ics|--region|quebec|2024                  0 BEGIN:VCALENDAR"
    "--texte|--|2024-07-14                       0 dimanche 14 juillet 2024"
    "demain                      2 une date va avec --texte, --json ou --waybar"
    "--lieu|Paris|2025-06-21     2 « 2025-06-21 » n'est pas attendu : une date va avec --texte"
    "--ajouter|jeudi|18|Piscine  2 « 18 » est de trop : la phrase de --ajouter se met entre guillemets"
    "--help=oui                  2 --help"
    "--texte|--json              2 --help"
    "--suivre                    2 --help"
    "--ics|--suivre              2 --help"
    "--json|2024-07-14|--suivre  2 --help"
    "--region|guyane|--waybar|2024-06-10           0 {\"text\":\"Abolition de l'esclavage\","
    "--waybar=2024-12-26|--region=alsace-moselle   0 {\"text\":\"Saint-Étienne\","
    "--ics|2024|--region|la-reunion                0 BEGIN:VCALENDAR"
    "--region|belgique|--waybar|2024-07-21         0 {\"text\":\"Fête nationale\","
    "--region|luxembourg|--waybar|2023-05-09       0 {\"text\":\"Journée de l'Europe\","
    "--region|monaco|--waybar|2023-11-20           0 {\"text\":\"Lendemain de la Fête du Prince\","
    "--region|suisse-geneve|--waybar|2024-09-05    0 {\"text\":\"Jeûne genevois\","
    "--region|suisse-vaud|--waybar|2024-09-16      0 {\"text\":\"Lundi du Jeûne fédéral\","
    "--region|suisse-neuchatel|--waybar|2023-01-02 0 {\"text\":\"Lendemain du Nouvel An\","
    "--region|suisse-jura|--waybar|2024-06-23      0 {\"text\":\"Commémoration du plébiscite\","
    "--region|suisse-fribourg|--waybar|2024-03-29  0 {\"text\":\"Vendredi saint\","
    "--region|suisse-valais|--waybar|2024-03-19    0 {\"text\":\"Saint-Joseph\","
    "--region|quebec|--waybar|2024-05-20           0 {\"text\":\"Journée nationale des patriotes\","
    "--region|quebec|--ics|2024                    0 BEGIN:VCALENDAR"
    "--region|corse|--texte      2 n'est pas une région : choisissez national, alsace-moselle,"
    "--region|guyane             2 --help"
    "--ics-fetes|--region|guyane 2 --help"
    "--texte|--region            2 attend une valeur"
    "--texte|2024-12-21|--lieu|Strasbourg          0 samedi 21 décembre 2024"
    "--lieu=48.58,7.75|--json|2024-12-21           0 {\"date\":\"2024-12-21\","
    "--waybar|--lieu|saint-denis-la-reunion        0 {\"text\":"
    "--texte|2024-12-21|--lieu|liege               0 samedi 21 décembre 2024"
    "--lieu|Tamanrasset|--texte  2 « Tamanrasset » n'est pas un lieu connu : écrivez une ville"
    "--lieu|Saint-Denis|--json   2 précisez, « Saint-Denis (La Réunion) » ou « Saint-Denis (Île-de-France) »"
    "--lieu|95,7|--texte         2 n'est pas une latitude et une longitude"
    "--lieu|$huge,7|--texte      2 n'est pas une latitude et une longitude"
    "--lieu|48,58,7|--texte      2 n'est pas une latitude et une longitude"
    "--lieu|Paris|--ics          2 « --lieu » s'emploie avec --texte, --json ou --waybar"
    "--lieu|Paris                2 --help"
    "--texte|--lieu              2 attend une valeur"
    "--texte|--agenda            2 attend une valeur"
    "--ics|--agenda|a.ics        2 --help"
    "--json|--rappels|--agenda|$work/agenda      0 {\"rappels\":["
    "--rappels|--texte           2 « --rappels » et « --texte » ne vont pas ensemble"
    "--json|2024-07-14|--rappels 2 « --rappels » ne prend pas de date"
    "--rappels|--suivre          2 « --suivre » s'emploie avec"
)
for row in "${rows[@]}"; do
    read -r words expected beginning <<<"$row"
    IFS='|' read -r -a arguments <<<"$words|"
    run "$program" "${arguments[@]}"
    label="solvane ${words//|/ }"
    [ "$status" = "$expected" ] || fail "$label : état $status au lieu de $expected"
    if [ "$expected" = 0 ]; then
        [ -z "$err" ] || fail "$label : sortie d'erreur « $err »"
        [[ $out == "$beginning"* && -n $out ]] || fail "$label : la sortie commence par « ${out%%$'\n'*} »"
    else
        [ -z "$out" ] || fail "$label : quelque chose sur la sortie standard : « $out »"
        [[ $err == "solvane: "* && $err != *$'\n'* ]] || fail "$label : l'erreur n'est pas une ligne « solvane: … » : « $err »"
        [[ $err == *"$beginning"* ]] || fail "$label : l'erreur ne dit pas « $beginning » : « $err »"
    fi
done

# An argument echoed in an error: at most 60 characters, its control bytes as \xNN.
run "$program" --texte "$(printf '\e[31m%.0s' {1..2000})"
[[ $status = 2 && ${#err} -lt 400 && $err != *$'\e'* && $err == *'\x1b[31m'* ]] ||
    fail "un argument de 10 000 octets est répété tel quel : ${#err} octets"

# The whole answer of each form; the holidays under their French names. Without a
# settings file the sun is Paris's, in the zone of the machine (here UTC): PyEphem
# 4.1.4 gives sunrise and sunset at 05:29:36 and 18:20:33 on 31 March 2024, 04:02:17
# and 19:32:49 on 20 May, 07:40:24 and 16:18:08 on 13 January.
expect_whole() { # expect_whole EXPECTED ARGUMENTS...
    run "$program" "${@:2}"
    [ "$out" = "$1" ] || fail "solvane ${*:2} : réponse inattendue :"$'\n'"$out"
}
expect_whole "dimanche 31 mars 2024
91e jour de l'année, semaine 13
Fête à souhaiter : Benjamin
Jour férié : Pâques
Soleil : lever 05 h 30, coucher 18 h 21, 12 h 51 de jour (+4 min)
Lune : 21 jours
L'année 2024 est bissextile." --texte 2024-03-31
expect_whole '{"date":"2024-05-20","jour_de_l_annee":141,"semaine":21,"fete":"Bernardin","ferie":"Lundi de Pentecôte","celebrations":[],"changement_d_heure":null,"phase":null,"lune":12,"soleil":{"lever":"04:02","coucher":"19:33","duree_du_jour":"15:31"},"saison":null,"lieu":{"nom":"Paris","latitude":48.85341,"longitude":2.3488},"bissextile":true,"texte":"lundi 20 mai 2024","evenements":[]}' --json 2024-05-20
expect_whole '{"text":"Yvette","tooltip":"samedi 13 janvier 2024\u000a13e jour de l'"'"'année, semaine 2\u000aFête à souhaiter : Yvette\u000aSoleil : lever 07 h 40, coucher 16 h 18, 8 h 38 de jour (+2 min)\u000aLune : 2 jours\u000aL'"'"'année 2024 est bissextile.","class":"jour","alt":"2024-01-13"}' --waybar 2024-01-13
run "$program" --ics 1945
ics=$(printf '%s' "$out" | tr -d '\r' | grep -v '^DTSTAMP:[0-9]\{8\}T[0-9]\{6\}Z$' | tr '\n' '|')
[[ $ics == 'BEGIN:VCALENDAR|VERSION:2.0|PRODID:-//Solvane//Solvane '"$version"'//FR|CALSCALE:GREGORIAN|X-WR-CALNAME:Jours fériés 1945|BEGIN:VEVENT|UID:19450101-jour-de-l-an@solvane|DTSTART;VALUE=DATE:19450101|DTEND;VALUE=DATE:19450102|SUMMARY:Jour de l'"'"'an|TRANSP:TRANSPARENT|END:VEVENT|BEGIN:VEVENT|UID:19450401-paques@solvane|'* && $(grep -c $'^DTSTAMP:.*\r$' <<<"$out") = 11 && $ics != *victoire* && $ics == *'|UID:19451111-armistice-1918@solvane|'* && $ics == *'|END:VCALENDAR|' ]] ||
    fail "solvane --ics 1945 : « $ics »"

# The region chosen in the window's menu, as the settings file holds it, and --region
# over it: the holiday that --waybar names on 26 December 2024, the Saint-Étienne of
# Alsace-Moselle, or the name day alone. Each row: what it shows | the file (printf's
# format; DIR for a folder in its place, nothing for no file) | more arguments | the text.
settings_rows=(
    "the window's choice|[solvane]\nregion=alsace-moselle\n||Saint-Étienne"
    "blanks, CR LF and quotes|[solvane]\r\n  region = \"alsace-moselle\" \r\n||Saint-Étienne"
    "the name the menu writes|[solvane]\nregion=Alsace-Moselle\n||Saint-Étienne"
    "the key in another group|[autre]\nregion=alsace-moselle\n[solvane]\nx=3\n||Étienne"
    "an unknown region|[solvane]\nregion=corse\n||Étienne"
    "bytes of no text|\\0\\377[solvane\nregion=\\377\n||Étienne"
    "a folder in its place|DIR||Étienne"
    "--region over the file|[solvane]\nregion=alsace-moselle\n|--region=national|Étienne"
    "--region without a file||--region=alsace-moselle|Saint-Étienne"
)
for row in "${settings_rows[@]}"; do
    IFS='|' read -r label file arguments expected <<<"$row"
    rm -rf "$work/config" && mkdir -p "$work/config/solvane"
    if [ "$file" = DIR ]; then
        mkdir "$work/config/solvane/solvane.conf"
    elif [ -n "$file" ]; then
        # shellcheck disable=SC2059  # the row's format
        printf "$file" >"$work/config/solvane/solvane.conf"
    fi
    # shellcheck disable=SC2086  # the words of the arguments
    run XDG_CONFIG_HOME="$work/config" "$program" --waybar 2024-12-26 $arguments
    text=$(jq -r .text <<<"$out" 2>/dev/null || true)
    [[ $status = 0 && -z $err && $text = "$expected" ]] ||
        fail "réglages, $label : état $status, « $text » au lieu de « $expected », « $err »"
done

# The place chosen in the window's « Lieu… », as the settings file holds it, and
# --lieu over it: --json's "lieu" on 21 December 2024. Each row: what it shows | the
# file (printf's format) | more arguments | the place's name, or its coordinates.
place_rows=(
    "the window's choice|[solvane]\nlieu=Strasbourg\n||Strasbourg"
    "coordinates as QSettings quotes them|[solvane]\nlieu=\"48,58 7,75\"\n||48.58 7.75"
    "no place: the region's chef-lieu|[solvane]\nregion=guyane\n||Cayenne"
    "a town beside the table|[solvane]\nlieu=trois rivieres\n||Trois-Rivières"
    "a place that names nothing: the chef-lieu|[solvane]\nregion=alsace-moselle\nlieu=Tamanrasset\n||Strasbourg"
    "a bracket left out: the chef-lieu|[solvane]\nlieu=Saint-Denis\n||Paris"
    "coordinates out of range: the chef-lieu|[solvane]\nlieu=\"91 0\"\n||Paris"
    "a latitude of 400 digits: the chef-lieu|[solvane]\nlieu=\"$huge 0\"\n||Paris"
    "bytes of no text|\\0\\377[solvane\nlieu=\\377\n||Paris"
    "--lieu over the file|[solvane]\nlieu=Strasbourg\n|--lieu=Fort-de-France|Fort-de-France"
    "--region's chef-lieu over the file's region|[solvane]\nregion=guyane\n|--region=mayotte|Mamoudzou"
)
for row in "${place_rows[@]}"; do
    IFS='|' read -r label file arguments expected <<<"$row"
    rm -rf "$work/config" && mkdir -p "$work/config/solvane"
    # shellcheck disable=SC2059  # the row's format
    printf "$file" >"$work/config/solvane/solvane.conf"
    # shellcheck disable=SC2086  # the words of the arguments
    run XDG_CONFIG_HOME="$work/config" "$program" --json 2024-12-21 $arguments
    place=$(jq -r '.lieu | .nom // "\(.latitude) \(.longitude)"' <<<"$out" 2>/dev/null || true)
    [[ $status = 0 && -z $err && $place = "$expected" ]] ||
        fail "lieu des réglages, $label : état $status, « $place » au lieu de « $expected », « $err »"
done
# Coordinates typed with blanks, as a French user writes them, in one argument.
run "$program" --json 2024-12-21 --lieu "48,58 7,75"
[[ $status = 0 && $out == *'"lieu":{"nom":null,"latitude":48.58,"longitude":7.75}'* ]] ||
    fail "--lieu « 48,58 7,75 » : état $status, « $out » « $err »"

# A region's days follow the nation's, under their own identifiers.
run "$program" --ics 2024 --region la-reunion
ics=$(printf '%s' "$out" | tr -d '\r' | tr '\n' '|')
[[ $ics == *'|X-WR-CALNAME:Jours fériés 2024 (La Réunion)|'* && $ics == *'|UID:20241225-noel@solvane|'*'|UID:20241220-abolition-esclavage@solvane|DTSTAMP:'*'|DTSTART;VALUE=DATE:20241220|DTEND;VALUE=DATE:20241221|SUMMARY:Abolition de l'"'"'esclavage|'* && $(grep -c '^BEGIN:VEVENT' <<<"$out") = 13 ]] ||
    fail "solvane --ics 2024 --region la-reunion : « $ics »"

# The places by the names the menu writes, blanks and dashes included.
for row in "Suisse — Genève|2024-12-31|Restauration de la République" "Canada — Québec|2024-06-24|Fête nationale du Québec"; do
    IFS='|' read -r name day expected <<<"$row"
    run "$program" --waybar "$day" --region "$name"
    text=$(jq -r .text <<<"$out" 2>/dev/null || true)
    [[ $status = 0 && $text = "$expected" ]] || fail "--region « $name » : état $status, « $text » au lieu de « $expected »"
done

# Without a choice in the settings, the country of the locale of dates, as the C
# library resolves it: LC_ALL, then LC_TIME, then LANG, the first that is not empty.
# Each row: the environment | the day | the class --waybar gives it.
locale_rows=(
    "LANG=fr_BE.UTF-8|2024-07-21|ferie"
    "LANG=fr_LU.UTF-8|2024-06-23|ferie"
    "LANG=fr_MC.UTF-8|2024-11-19|ferie"
    "LANG=fr_CA.UTF-8|2024-05-20|ferie"
    "LANG=fr_CH.UTF-8|2024-09-16|ferie"
    "LANG=fr_CH@euro|2024-01-02|ferie"
    "LANG=fr_FR.UTF-8|2024-07-21|jour"
    "LANG=de_CH.UTF-8|2024-09-16|jour"
    "LANG=fr_BE.UTF-8 LC_TIME=fr_CA.UTF-8|2024-05-20|ferie"
    "LC_TIME=fr_CA.UTF-8 LC_ALL=fr_BE.UTF-8|2024-07-21|ferie"
    "LC_ALL= LC_TIME=fr_MC.UTF-8 LANG=fr_BE.UTF-8|2024-11-19|ferie"
    "LC_ALL= LC_TIME= LANG=fr_BE.UTF-8|2024-07-21|ferie"
    "LANG=fr_BE.UTF-8 XDG_CONFIG_HOME=$work/chosen|2024-07-21|jour"
)
mkdir -p "$work/chosen/solvane" && printf '[solvane]\nregion=national\n' >"$work/chosen/solvane/solvane.conf"
for row in "${locale_rows[@]}"; do
    IFS='|' read -r environment day expected <<<"$row"
    # shellcheck disable=SC2086  # one assignment a word
    run $environment "$program" --waybar "$day"
    class=$(jq -r .class <<<"$out" 2>/dev/null || true)
    [[ $status = 0 && $class = "$expected" ]] || fail "$environment --waybar $day : « $class » au lieu de « $expected »"
done

# The celebrations: a line of --texte, an array of --json, never a holiday.
expect_whole "dimanche 26 mai 2024
147e jour de l'année, semaine 21
Fête à souhaiter : Bérenger
Célébration : Fête des mères
Soleil : lever 03 h 56, coucher 19 h 40, 15 h 44 de jour (+2 min)
Lune : 18 jours
L'année 2024 est bissextile." --texte 2024-05-26
run "$program" --json 2024-12-06 --region luxembourg
[[ $(jq -c '[.ferie, .celebrations]' <<<"$out") = '[null,["Saint-Nicolas"]]' ]] ||
    fail "--json 2024-12-06 --region luxembourg : « $out »"
run "$program" --json 2024-03-31 --region suisse-jura
[[ $(jq -c '[.ferie, .celebrations]' <<<"$out") = '["Pâques",[]]' ]] || fail "--json 2024-03-31 --region suisse-jura : « $out »"

# --waybar read by jq: its keys, and a tooltip that is --texte's lines.
for day in 2024-01-01 2024-05-09 2024-07-14 2023-12-31; do
    run "$program" --texte "$day"
    texte=$out
    run "$program" --waybar "$day"
    holiday=$(sed -n 's/^Jour férié : //p' <<<"$texte")
    jq -e --arg texte "$texte" --arg day "$day" --arg holiday "$holiday" \
        '.tooltip == $texte and .alt == $day and (.class == (if $holiday == "" then "jour" else "ferie" end))
         and (if $holiday == "" then true else .text == $holiday end) and (keys == ["alt","class","text","tooltip"])' \
        <<<"$out" >/dev/null || fail "--waybar $day, lu par jq : « $out »"
done

# A write that fails is a failure: one sentence on standard error, status 1.
for arguments in "--texte 2024-07-14" "--json" "--waybar" "--help" "--version" "--ics 2024" "--ics-fetes"; do
    # shellcheck disable=SC2086  # the words of the arguments
    for where in /dev/full closed; do
        status=0
        if [ "$where" = closed ]; then
            env -i PATH=/usr/bin:/bin "$program" $arguments >&- 2>"$work/err" || status=$?
        else
            env -i PATH=/usr/bin:/bin "$program" $arguments >/dev/full 2>"$work/err" || status=$?
        fi
        err=$(cat "$work/err")
        [[ $status = 1 && $err == "solvane: "*" n'a pas pu être écrite"* && $err != *$'\n'* ]] ||
            fail "solvane $arguments vers $where : état $status, « $err »"
    done
done

# Through a link, as bin/solvane leads to lib/solvane/solvane, the list is the one
# beside the program.
ln -s "$program" "$work/solvane-link"
run "$work/solvane-link" --texte 2024-07-14
[[ $out == *$'\nFête à souhaiter : '* ]] || fail "par un lien, pas de fête : « $out »"

# A program without fetes.txt beside it says every other fact, and exits 0.
mkdir "$work/alone"
cp "$program" "$work/alone/solvane"
run "$work/alone/solvane" --json 2024-07-14
[ "$status" = 0 ] || fail "sans fetes.txt, état $status"
[[ $out == *'"fete":null'* && $out == *'"ferie":"Fête nationale"'* ]] || fail "sans fetes.txt : « $out »"


# Control bytes in names: in the text forms each is a blank, a NUL included, and no
# line is added; JSON escapes them. 13 January holds an escape sequence, a carriage
# return, a Windows-1252 byte of C1, a line end inside quotes and a DEL; 14 January a NUL.
mkdir "$work/control"
cp "$program" "$work/control/solvane"
source_list="$(dirname "$program")/fetes.txt"
{ head -n 12 "$source_list"; printf '13,"Y\e[31mv\re\x81t\nte\x7f"\r\n14,N\0ul\r\n'; tail -n +15 "$source_list"; } >"$work/control/fetes.txt"
control_bytes() { LC_ALL=C grep -caP '[\x00-\x09\x0b-\x1f\x7f]|\xc2[\x80-\x9f]' "$1" || true; }
for arguments in "--texte 2024-01-13" "--texte 2024-01-14" "--waybar 2024-01-13" "--ics-fetes 2024"; do
    # shellcheck disable=SC2086  # the words of the arguments
    env -i "$work/control/solvane" $arguments | tr -d '\r' >"$work/control.out"
    [ "$(control_bytes "$work/control.out")" = 0 ] || fail "solvane $arguments : un octet de contrôle passe"
done
run "$work/control/solvane" --texte 2024-01-13
[[ $out == *$'\nFête à souhaiter : Y [31mv e t te \n'* && $(wc -l <<<"$out") = 6 ]] || fail "13 janvier abîmé : « $out »"
run "$work/control/solvane" --texte 2024-01-14
[[ $out == *$'\nFête à souhaiter : N ul\n'* ]] || fail "NUL dans un nom : « $out »"
run "$work/control/solvane" --json 2024-01-14
[[ $out == *'"fete":"N\u0000ul"'* ]] || fail "NUL en JSON : « $out »"

# --- --suivre ------------------------------------------------------------------
# wait_for SECONDS COMMAND...: true as soon as the command succeeds, false after the deadline.
wait_for() {
    local deadline=$((SECONDS + $1))
    until "${@:2}"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.1
    done
}
lines_at_least() { [ -f "$1" ] && [ "$(wc -l <"$1")" -ge "$2" ]; }
block_written() { [ -s "$1" ] && [ "$(tail -n 1 "$1")" = "" ]; }

# The reader leaving ends it at once, with status 0, though no new answer is due for hours.
status=0
# shellcheck disable=SC2016  # expanded by the inner shell
timeout 20 bash -c 'env -i "$1" --json --suivre | head -1 >/dev/null; exit "${PIPESTATUS[0]}"' _ "$program" || status=$?
[ "$status" = 0 ] || fail "--suivre | head -1 : état $status (124 : il ne s'est pas arrêté)"

# Each of the three signals ends it without a word and with status 0.
for signal in TERM INT HUP; do
    rm -f "$work/follow.out"
    env -i --default-signal "$program" --texte --suivre >"$work/follow.out" 2>"$work/follow.err" &
    follower=$!
    wait_for 20 block_written "$work/follow.out" || fail "--suivre n'a rien écrit"
    kill -s "$signal" "$follower"
    status=0
    wait "$follower" || status=$?
    [[ $status = 0 && ! -s $work/follow.err ]] || fail "--suivre et SIG$signal : état $status, « $(cat "$work/follow.err") »"
done

# follow_until ARGUMENTS...: runs `solvane --json --suivre` (with $follow_environment)
# until it has written two lines or 30 s have passed; its lines in $follow_lines.
follow_until() {
    rm -f "$work/follow.out"
    env -i "${follow_environment[@]}" "$program" --json --suivre >"$work/follow.out" &
    follower=$!
    wait_for 20 lines_at_least "$work/follow.out" 1 || true
    "$@"
    wait_for 30 lines_at_least "$work/follow.out" 2 || true
    kill "$follower"
    wait "$follower" || true
    follow_lines=$(cut -c1-21 "$work/follow.out" | tr '\n' ' ')
}

# Across a faked midnight: the new day is written when it begins.
# shellcheck source=../../tools/lib/faked_clock.sh
. "$(dirname "$0")/../../tools/lib/faked_clock.sh"
if faked_clock_at "2024-07-14 23:59:57"; then
    follow_environment=("${clock_environment[@]}")
    follow_until true
    [ "$follow_lines" = '{"date":"2024-07-14", {"date":"2024-07-15", ' ] || fail "--suivre à minuit : « $follow_lines »"
else
    fail "libfaketime est absente (paquet faketime)"
fi

# A region chosen in the window's menu shows at once: the settings file and its folder
# did not exist when the following began, nor did four folders above them; or the
# file is a link to a file kept elsewhere, replaced there as the window saves it.
region_file() { printf '[solvane]\nregion=%s\n' "$1" >"$2.new" && mv "$2.new" "$2"; }
choose_in_folder() { mkdir -p "$1/solvane" && region_file alsace-moselle "$1/solvane/solvane.conf"; }
mkdir -p "$work/linked-config/solvane" "$work/dotfiles"
region_file national "$work/dotfiles/solvane.conf"
ln -s "$work/dotfiles/solvane.conf" "$work/linked-config/solvane/solvane.conf"
follow_rows=(
    "the folder missing|$work/follow-config|choose_in_folder $work/follow-config"
    "five folders missing|$work/deep/a/b/c/d|choose_in_folder $work/deep/a/b/c/d"
    "a link to a file elsewhere|$work/linked-config|region_file alsace-moselle $work/dotfiles/solvane.conf"
)
for row in "${follow_rows[@]}"; do
    IFS='|' read -r what config choose <<<"$row"
    faked_clock_at "2024-12-26 11:00:00" || fail "libfaketime est absente (paquet faketime)"
    follow_environment=("${clock_environment[@]}" "XDG_CONFIG_HOME=$config")
    # shellcheck disable=SC2086  # the function and its arguments
    follow_until $choose
    [[ $(head -n 1 "$work/follow.out") == *'"ferie":null'* && $(sed -n 2p "$work/follow.out") == *'"ferie":"Saint-Étienne"'* ]] ||
        fail "--suivre et la région choisie ($what) : « $(cat "$work/follow.out") »"
done

# A new fetes.txt is read at once: the list copied beside a program that had none.
follow_environment=()
program_alone=$program
program="$work/alone/solvane"
follow_until cp "$source_list" "$work/alone/fetes.txt"
program=$program_alone
[[ $(sed -n 2p "$work/follow.out") == *'"fete":"'* && $(head -n 1 "$work/follow.out") == *'"fete":null'* ]] ||
    fail "--suivre et fetes.txt ajouté : « $(cat "$work/follow.out") »"

# A change of time zone that moves to another day, in a mount namespace of its own
# whose /etc is a copy: 23:30 in UTC is already the next day in Tokyo.
if [ "$(id -u)" = 0 ] && unshare -m true 2>/dev/null; then
    # shellcheck disable=SC2016  # expanded by the inner shell
    unshare -m --propagation private bash -c '
        mkdir "$1/etc" && cp -a /etc/. "$1/etc/" 2>/dev/null; mount --bind "$1/etc" /etc || exit 3
        ln -sfn /usr/share/zoneinfo/Etc/UTC /etc/localtime
        . "$3"; faked_clock_at "2024-07-14 23:30:00"
        env "${clock_environment[@]}" "$2" --json --suivre >"$1/zone.out" & follower=$!
        for ((i = 0; i < 200; ++i)); do [ -s "$1/zone.out" ] && break; sleep 0.1; done
        ln -s /usr/share/zoneinfo/Asia/Tokyo /etc/localtime.new && mv -T /etc/localtime.new /etc/localtime
        for ((i = 0; i < 300; ++i)); do [ "$(wc -l <"$1/zone.out")" -ge 2 ] && break; sleep 0.1; done
        kill "$follower"' _ "$work" "$program" "$(dirname "$0")/../../tools/lib/faked_clock.sh" || true
    zone_lines=$(cut -c1-21 "$work/zone.out" 2>/dev/null | tr '\n' ' ')
    [ "$zone_lines" = '{"date":"2024-07-14", {"date":"2024-07-15", ' ] || fail "--suivre et fuseau changé : « $zone_lines »"
else
    echo "terminal_options: le changement de fuseau n'est pas essayé (il faut root pour un espace de montage)"
fi

# The user's agendas: those the settings file lists, as QSettings writes an array,
# then those of --agenda (a folder of contacts here). One that cannot be read says so
# in one line on standard error, and the answer is still given; --suivre writes again
# when an agenda's file is replaced.
agendas="$work/agendas"
mkdir -p "$agendas/config/solvane" "$agendas/contacts"
write_calendar() { # write_calendar FILE DATE TITLE: one event at 14:00 in Paris
    printf 'BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nUID:1\r\nDTSTART;TZID=Europe/Paris:%sT140000\r\nDTEND;TZID=Europe/Paris:%sT153000\r\nSUMMARY:%s\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n' \
        "$2" "$2" "$3" >"$1.new" && mv "$1.new" "$1"
}
write_calendar "$agendas/travail.ics" 20250508 "Réunion d'équipe"
printf 'BEGIN:VCARD\r\nFN:Léa\r\nBDAY:1991-05-08\r\nEND:VCARD\r\n' >"$agendas/contacts/lea.vcf"
printf '[agendas]\n1\\nom=Bureau\n1\\source=%s\n2\\source=%s\nsize=2\n' "$agendas/travail.ics" "$agendas/absent.ics" \
    >"$agendas/config/solvane/solvane.conf"
run TZ=America/New_York XDG_CONFIG_HOME="$agendas/config" "$program" --texte 2025-05-08 --agenda "$agendas/contacts"
[ "$status" = 0 ] || fail "--agenda : état $status"
[[ $out == *$'Jour férié : Victoire 1945\nAnniversaire : Léa (34 ans)\n08 h 00 – 09 h 30 Réunion d\'équipe\nSoleil : '* ]] ||
    fail "--agenda : les évènements du jour manquent :"$'\n'"$out"
[ "$err" = "solvane: L'agenda « absent » : « $agendas/absent.ics » n'existe pas." ] || fail "--agenda : erreur « $err »"
run TZ=Europe/Paris XDG_CONFIG_HOME="$agendas/config" "$program" --json 2025-05-08
[[ $out == *'"evenements":[{"debut":"2025-05-08T14:00","fin":"2025-05-08T15:30","journee":false,"titre":"Réunion d'"'"'équipe","lieu":null,"agenda":"Bureau"}]}' ]] ||
    fail "--json : les évènements : $out"
# An event added on the night clocks go forward is shown as every reader will read it:
# 2 h 30 does not exist and reads 3 h 30.
mkdir -p "$agendas/garde"
run TZ=Europe/Paris XDG_CONFIG_HOME="$agendas/garde-config" XDG_STATE_HOME="$agendas/garde-state" "$program" \
    --ajouter "28 mars 2027 2h30-4h Garde" --agenda "$agendas/garde"
[[ $status = 0 && $out == *'03 h 30 – 04 h 00 Garde'* ]] || fail "--ajouter à l'heure sautée : état $status, « $out$err »"
today=$(TZ=Europe/Paris date +%Y%m%d)
write_calendar "$agendas/travail.ics" "$today" "Avant"
TZ=Europe/Paris XDG_CONFIG_HOME="$agendas/config" "$program" --waybar --suivre >"$work/agenda.out" 2>/dev/null & follower=$!
for ((i = 0; i < 200; ++i)); do [ -s "$work/agenda.out" ] && break; sleep 0.1; done
write_calendar "$agendas/travail.ics" "$today" "Après"
for ((i = 0; i < 300; ++i)); do [ "$(wc -l <"$work/agenda.out")" -ge 2 ] && break; sleep 0.1; done
kill "$follower"
wait "$follower" || true
agenda_lines=$(grep -o '14 h 00 – 15 h 30 [A-Za-zèé]*' "$work/agenda.out" | tr '\n' ' ')
[ "$agenda_lines" = "14 h 00 – 15 h 30 Avant 14 h 00 – 15 h 30 Après " ] || fail "--suivre et agenda changé : « $agenda_lines »"
grep -q '"class":"\(evenement\|ferie\)"' "$work/agenda.out" || fail "--waybar : pas de classe « evenement »"

# A source added to the settings, as « Agendas… » saves them, or taken out of them,
# is followed at once, whatever its kind: an iCalendar file, a vdir, a contacts file
# or folder.
mkdir -p "$work/sources/solvane" "$agendas/vdir" "$agendas/proches"
write_calendar "$agendas/vdir/cours.ics" "$today" "Solfège"
for card in amis.vcf:Albane proches/marceau.vcf:Marceau; do
    printf 'BEGIN:VCARD\r\nFN:%s\r\nBDAY:1990-%s\r\nEND:VCARD\r\n' "${card#*:}" "${today:4:2}-${today:6:2}" >"$agendas/${card%%:*}"
done
list_sources() { # list_sources [SOURCE]: the settings listing that source alone, or none
    { echo '[agendas]' && [ -z "${1:-}" ] || printf '1\\source=%s\n' "$1"; echo "size=$#"; } >"$work/sources/new" &&
        mv "$work/sources/new" "$work/sources/solvane/solvane.conf"
}
list_sources
TZ=Europe/Paris XDG_CONFIG_HOME="$work/sources" "$program" --json --suivre >"$work/sources.out" 2>/dev/null & follower=$!
wait_for 20 lines_at_least "$work/sources.out" 1 || true
written=1
for source in travail.ics vdir amis.vcf proches; do
    list_sources "$agendas/$source"
    wait_for 30 lines_at_least "$work/sources.out" $((++written)) || true
    list_sources
    wait_for 30 lines_at_least "$work/sources.out" $((++written)) || true
done
kill "$follower"
wait "$follower" || true
titles=$(while read -r line; do title=$(grep -o '"titre":"[^"(]*' <<<"$line" | cut -d'"' -f4); echo "${title:-aucun}"; done <"$work/sources.out")
[ "$(tr '\n' '|' <<<"$titles")" = "aucun|Après|aucun|Solfège|aucun|Anniversaire : Albane |aucun|Anniversaire : Marceau |aucun|" ] ||
    fail "--suivre et sources ajoutées puis retirées : « $titles »"

[ "$failures" = 0 ] || exit 1
echo "terminal_options: ${#rows[@]} cas d'arguments, la liste par un lien et sans liste"
