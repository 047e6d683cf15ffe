#!/bin/bash
# A real CalDAV server, synced into a vdir as a user keeps one: Radicale listens on
# 127.0.0.1 at a free port, in this test's own folder; an event is created on it by
# HTTP PUT, vdirsyncer syncs the collection (and its name) into a vdir, and
# `solvane --texte` with that folder as an agenda lists the event; then the event is
# moved on the server, synced again, and listed at its new time.
# Usage: tests/agendas/caldav_sync.sh SOLVANE
set -euo pipefail
program=$(realpath "$1")
for tool in radicale vdirsyncer; do
    command -v "$tool" >/dev/null || { echo "caldav_sync : il faut $tool (tools/install-packages test)" >&2; exit 1; }
done
work=$(mktemp -d "${TMPDIR:-/tmp}/solvane-caldav.XXXXXX")
server=""
cleanup() {
    [ -z "$server" ] || kill "$server" 2>/dev/null || true
    [ -z "$server" ] || wait "$server" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "caldav_sync: ÉCHEC : $*" >&2; exit 1; }

# A port no one listens on, chosen by the kernel.
port=$(/usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
radicale --server-hosts "127.0.0.1:$port" --auth-type none --rights-type owner_only \
    --storage-filesystem-folder "$work/collections" --logging-level warning 2>"$work/radicale.log" &
server=$!

# HTTP to the server: METHOD PATH [BODY_FILE [CONTENT_TYPE]]; prints the status.
http() {
    /usr/bin/python3 - "$port" "$@" <<'PYTHON'
import base64, http.client, sys
port, method, path = int(sys.argv[1]), sys.argv[2], sys.argv[3]
body = open(sys.argv[4], "rb").read() if len(sys.argv) > 4 else None
headers = {"Authorization": "Basic " + base64.b64encode(b"lea:secret").decode()}
if len(sys.argv) > 5:
    headers["Content-Type"] = sys.argv[5]
connection = http.client.HTTPConnection("127.0.0.1", port, timeout=10)
connection.request(method, path, body=body, headers=headers)
print(connection.getresponse().status)
PYTHON
}
for ((i = 0; i < 300; ++i)); do
    status=$(http OPTIONS / 2>/dev/null) && break
    kill -0 "$server" 2>/dev/null || fail "Radicale s'est arrêté : $(cat "$work/radicale.log")"
    sleep 0.1
done
[ -n "${status:-}" ] || fail "Radicale ne répond pas sur le port $port"

cat >"$work/mkcol.xml" <<'XML'
<?xml version="1.0" encoding="utf-8"?>
<mkcol xmlns="DAV:" xmlns:C="urn:ietf:params:xml:ns:caldav">
  <set><prop>
    <resourcetype><collection/><C:calendar/></resourcetype>
    <displayname>Agenda de Léa</displayname>
    <C:supported-calendar-component-set><C:comp name="VEVENT"/></C:supported-calendar-component-set>
  </prop></set>
</mkcol>
XML
[ "$(http MKCOL /lea/agenda/ "$work/mkcol.xml" 'application/xml; charset=utf-8')" = 201 ] ||
    fail "la collection n'est pas créée sur le serveur"

put_event() { # put_event START END: the event, created or replaced on the server
    printf 'BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Solvane//test//FR\r\nBEGIN:VEVENT\r\nUID:rdv-1@solvane.test\r\nDTSTAMP:20250101T000000Z\r\nDTSTART;TZID=Europe/Paris:%s\r\nDTEND;TZID=Europe/Paris:%s\r\nSUMMARY:Dentiste\r\nLOCATION:Rue de la Paix\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n' \
        "$1" "$2" >"$work/event.ics"
    status=$(http PUT /lea/agenda/rdv-1.ics "$work/event.ics" 'text/calendar; charset=utf-8')
    [[ $status == 201 || $status == 204 ]] || fail "PUT de l'évènement : état $status"
}
put_event 20250508T090000 20250508T094500

mkdir -p "$work/vdir" "$work/status"
cat >"$work/vdirsyncer.conf" <<CONF
[general]
status_path = "$work/status/"

[pair lea]
a = "lea_vdir"
b = "lea_serveur"
collections = ["from b"]
metadata = ["displayname"]

[storage lea_vdir]
type = "filesystem"
path = "$work/vdir/"
fileext = ".ics"

[storage lea_serveur]
type = "caldav"
url = "http://127.0.0.1:$port/"
username = "lea"
password = "secret"
CONF
sync() {
    for step in sync metasync; do
        vdirsyncer -c "$work/vdirsyncer.conf" "$step" >>"$work/vdirsyncer.log" 2>&1 ||
            fail "vdirsyncer $step : $(tail -5 "$work/vdirsyncer.log")"
    done
}
vdirsyncer -c "$work/vdirsyncer.conf" discover <<<"y" >"$work/vdirsyncer.log" 2>&1 ||
    fail "vdirsyncer discover : $(tail -5 "$work/vdirsyncer.log")"
sync
[ -d "$work/vdir/agenda" ] || fail "vdirsyncer n'a pas créé le dossier de la collection : $(ls "$work/vdir")"

answer() { env -i PATH=/usr/bin:/bin TZ=Europe/Paris HOME="$work" "$program" "$@" --agenda "$work/vdir/agenda"; }
text=$(answer --texte 2025-05-08)
[[ $text == *$'\n09 h 00 – 09 h 45 Dentiste\n'* ]] || fail "--texte après la synchronisation :"$'\n'"$text"
json=$(answer --json 2025-05-08)
[[ $json == *'"titre":"Dentiste","lieu":"Rue de la Paix","agenda":"Agenda de Léa"'* ]] || fail "--json : $json"

put_event 20250509T163000 20250509T171500
sync
text=$(answer --texte 2025-05-09)
[[ $text == *$'\n16 h 30 – 17 h 15 Dentiste\n'* ]] || fail "--texte après le déplacement :"$'\n'"$text"
[[ $(answer --texte 2025-05-08) != *Dentiste* ]] || fail "l'ancienne date garde l'évènement"
echo "caldav_sync: l'évènement créé puis déplacé sur Radicale (port $port) se lit dans le vdir de vdirsyncer"
