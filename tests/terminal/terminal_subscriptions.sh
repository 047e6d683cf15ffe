#!/bin/bash
# The terminal's subscriptions against a real web server on 127.0.0.1
# (tests/subscriptions/calendar_server.py), in a home of the test's own: the first
# answer fetches, a second within 30 minutes asks nothing of the server; due again
# (the cache's last try aged, as 30 minutes would), the request is conditional and
# the server answers 304; the server gone, the answer comes all the same with one
# line « hors ligne depuis … » on standard error; a redirect loop and a certificate
# the system does not trust each give their line, for that address alone; the
# network library is loaded only with a subscription; `--suivre` writes again once
# its own fetch in the background brings a calendar, and does not wake between fetches.
# Usage: tests/terminal/terminal_subscriptions.sh PROGRAM SERVER
set -euo pipefail
program=$(realpath "$1")
server_script=$(realpath "$2")
failures=0
fail() { echo "terminal_subscriptions: ÉCHEC : $*" >&2; failures=$((failures + 1)); }
work=$(mktemp -d "${TMPDIR:-/tmp}/solvane-subscriptions.XXXXXX")
servers=()
cleanup() {
    for pid in "${servers[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/home/.config/solvane" "$work/served" "$work/tls"

# start_server FOLDER [--tls CERT KEY]: the server's port in $port.
start_server() {
    local folder=$1
    shift
    rm -f "$folder/port"
    python3 "$server_script" "$folder" "$@" >"$folder/port" &
    servers+=($!)
    server=$!
    until [ -s "$folder/port" ]; do
        kill -0 "$server" 2>/dev/null || { fail "le serveur ne démarre pas"; exit 1; }
        sleep 0.05
    done
    port=$(cat "$folder/port")
}

# sources ADDRESS…: the agendas of the settings file, as « Agendas… » writes them.
sources() {
    {
        echo "[agendas]"
        local number=0
        for address in "$@"; do
            number=$((number + 1))
            echo "$number\\source=$address"
        done
        echo "size=$number"
    } >"$work/home/.config/solvane/solvane.conf"
}

run() {
    status=0
    env -i PATH=/usr/bin:/bin LANG=C HOME="$work/home" "$@" >"$work/out" 2>"$work/err" || status=$?
    err=$(cat "$work/err")
}
requests() { if [ -f "$work/served/requests.log" ]; then wc -l <"$work/served/requests.log"; else echo 0; fi; }

start_server "$work/served"
good="http://127.0.0.1:$port/agenda.ics"
sources "$good"
run "$program" --texte 2026-09-01
[[ $status = 0 && -z $err ]] || fail "premier chargement : état $status, « $err »"
[ "$(requests)" = 1 ] || fail "premier chargement : $(requests) demandes au serveur"
grep -q "Rentrée" "$work/out" || fail "premier chargement : l'évènement de l'abonnement manque : $(cat "$work/out")"
copy=$(find "$work/home/.cache/solvane" -name '*.ics' 2>/dev/null | head -1)
if [[ -z $copy ]] || ! grep -q "BEGIN:VCALENDAR" "$copy"; then
    fail "premier chargement : pas de copie dans ~/.cache/solvane"
fi
[ "$(stat -c %a "$work/home/.cache/solvane")" = 700 ] || fail "le dossier du cache n'est pas en 0700"
[ "$(stat -c %a "$copy")" = 600 ] || fail "la copie n'est pas en 0600"

run "$program" --texte 2024-07-14
[ "$(requests)" = 1 ] || fail "une seconde réponse dans les 30 minutes a demandé au serveur"

# The last try 31 minutes ago, as the cache says after that time.
age_cache() {
    local old
    old=$(($(date +%s) - 31 * 60))
    sed -i "s/^essaye=.*/essaye=$old/" "$work/home/.cache/solvane/"*.etat
}
age_cache
run "$program" --texte 2024-07-14
[[ $status = 0 && -z $err ]] || fail "second chargement : état $status, « $err »"
last=$(tail -1 "$work/served/requests.log")
[[ $(requests) = 2 && $last == "/agenda.ics"$'\t''"v'* ]] || fail "le second chargement n'est pas conditionnel : « $last »"

# The server gone: the copy stays, one line on standard error.
kill "$server"
wait "$server" 2>/dev/null || true
age_cache
fetched=$(sed -n 's/^charge=//p' "$work/home/.cache/solvane/"*.etat)
run "$program" --texte 2024-07-14
since="hors ligne depuis $(date -d "@$fetched" '+%H h %M')"
[[ $status = 0 && $err == "solvane: $good : $since" ]] || fail "serveur arrêté : état $status, « $err » au lieu de « $since »"
[ -s "$copy" ] || fail "serveur arrêté : la copie a disparu"
run "$program" --texte 2026-09-01
grep -q "Rentrée" "$work/out" || fail "serveur arrêté : l'évènement gardé n'est plus montré"
grep -q '"date":"2024-07-14"' <(env -i PATH=/usr/bin:/bin HOME="$work/home" "$program" --json 2024-07-14 2>/dev/null) ||
    fail "serveur arrêté : --json ne répond plus"

# A loop of redirects and a self-signed certificate: each its own line, for its address.
start_server "$work/served"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1 \
    -keyout "$work/tls/key.pem" -out "$work/tls/cert.pem" 2>/dev/null
loop="http://127.0.0.1:$port/boucle"
live="http://127.0.0.1:$port/agenda.ics"
live_port=$port
start_server "$work/tls" --tls "$work/tls/cert.pem" "$work/tls/key.pem"
secure="https://127.0.0.1:$port/agenda.ics"
sources "$good" "$loop" "$secure"
run "$program" --texte 2024-07-14
expected="solvane: $good : $since
solvane: $loop : l'adresse renvoie vers une autre plus de 5 fois de suite : le chargement est abandonné.
solvane: $secure : le certificat du serveur n'est pas reconnu : la connexion n'est pas sûre, rien n'est chargé."
[[ $status = 0 && $err == "$expected" ]] || fail "boucle et certificat : état $status, « $err »"

# Two addresses that never end before a good one: the answer waits 10 s in all, not
# each address's 60 s one after the other (120 s), shows the good one's event and says
# each late one; nothing of theirs is written to the cache.
endless1="http://127.0.0.1:$live_port/sans-fin.ics"
endless2="http://127.0.0.1:$live_port/muet.ics"
sources "$endless1" "$endless2" "$live"
rm -rf "$work/home/.cache/solvane"
started=$(date +%s%N)
run "$program" --texte 2026-09-01
waited=$((($(date +%s%N) - started) / 1000000))
expected="solvane: $endless1 : le chargement n'a pas fini en 10 secondes : rien n'a encore été chargé.
solvane: $endless2 : le chargement n'a pas fini en 10 secondes : rien n'a encore été chargé."
[[ $status = 0 && $err == "$expected" ]] || fail "adresses sans fin : état $status, « $err »"
grep -q "Rentrée" "$work/out" || fail "adresses sans fin : l'évènement de la bonne adresse manque"
((waited >= 10000 && waited < 20000)) || fail "adresses sans fin : réponse en $waited ms au lieu de 10 s"
[ "$(find "$work/home/.cache/solvane" -type f | wc -l)" = 2 ] ||
    fail "adresses sans fin : le cache n'a pas que la copie et l'état de la bonne adresse"
sources "$live"

# libcurl is loaded with a subscription due, not without (tests/terminal/command_without_qt.sh).
age_cache
status=0
env -i PATH=/usr/bin:/bin HOME="$work/home" LD_DEBUG=files LD_DEBUG_OUTPUT="$work/loader" "$program" --texte \
    >/dev/null 2>&1 || status=$?
grep -q 'file=libcurl' "$work"/loader.* || fail "libcurl n'est pas chargée pour un abonnement"

# --suivre with an empty cache: its first answer has no event, its own fetch brings
# today's, and it writes again; then no wake-up of the fetching thread until the next.
today=$(date +%Y%m%d)
printf 'BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:conseil@test\r\nDTSTAMP:20260101T000000Z\r\nDTSTART;VALUE=DATE:%s\r\nSUMMARY:Conseil de classe\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n' \
    "$today" >"$work/served/agenda.ics"
rm -rf "$work/home/.cache/solvane"
sources "$live"
mkfifo "$work/pipe"
cat "$work/pipe" >"$work/followed" &
reader=$!
env -i PATH=/usr/bin:/bin HOME="$work/home" "$program" --json --suivre >"$work/pipe" &
follower=$!
until [ -s "$work/followed" ]; do sleep 0.1; done
for _ in $(seq 300); do
    grep -q "Conseil de classe" "$work/followed" && break
    sleep 0.1
done
lines=$(wc -l <"$work/followed")
grep -q "Conseil de classe" "$work/followed" || fail "--suivre n'a pas écrit l'agenda chargé : $(cat "$work/followed")"
head -1 "$work/followed" | grep -vq "Conseil de classe" || fail "--suivre : la première réponse avait déjà l'évènement"
thread=""
for task in /proc/"$follower"/task/*; do [ "$(cat "$task/comm")" = abonnements ] && thread=$task; done
[ -n "$thread" ] || fail "--suivre : aucun fil « abonnements »"
if [ -n "$thread" ]; then
    switches() { awk '/^voluntary_ctxt_switches/ { print $2 }' "$thread/status"; }
    before=$(switches)
    sleep 3
    after=$(switches)
    [ "$before" = "$after" ] || fail "--suivre : le fil des abonnements s'est réveillé $((after - before)) fois en 3 s"
fi
[ "$(wc -l <"$work/followed")" = "$lines" ] || fail "--suivre a écrit sans changement"
kill "$follower"
wait "$follower" || true
wait "$reader" || true

[ "$failures" = 0 ] || exit 1
echo "terminal_subscriptions: chargement, 30 minutes, 304, hors ligne, boucle, certificat, sans fin, libcurl et --suivre"
