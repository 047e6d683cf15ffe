#!/usr/bin/python3
"""The gadget's vdir synced both ways through a real CalDAV server.

Radicale listens on 127.0.0.1 at a free port, in this test's own folder. The gadget
writes events in a vdir (single, whole day, series, one occurrence changed, one
removed, a series split by « celle-ci et les suivantes »); a first vdirsyncer pair
pushes the vdir to the server, a second pulls the server into a fresh vdir. Then the
gadget changes and removes more, and both pairs sync again. Each time the fresh vdir
holds the same events as the gadget's, component by component as python3-icalendar
reads them, each UID in one file only, and vdirsyncer never says « multiple items
with the same UID ».
Usage: writing_sync.py WRITE_EVENTS
"""
import base64, http.client, os, shutil, socket, subprocess, sys, time
import icalendar
from private_home import private_home

write_events = sys.argv[1]
for tool in ("radicale", "vdirsyncer"):
    if shutil.which(tool) is None:
        sys.exit(f"writing_sync : il faut {tool} (tools/install-packages test)")
work, env = private_home("solvane-sync.")
gadget_vdir, pulled = work + "/ecrit/agenda", work + "/lu/agenda"
os.makedirs(gadget_vdir)
os.makedirs(work + "/lu")

with socket.socket() as probe:  # a port no one listens on, chosen by the kernel
    probe.bind(("127.0.0.1", 0))
    port = probe.getsockname()[1]
log = open(work + "/radicale.log", "w")
server = subprocess.Popen(["radicale", "--server-hosts", f"127.0.0.1:{port}", "--auth-type", "none",
                           "--rights-type", "owner_only", "--storage-filesystem-folder", work + "/collections",
                           "--logging-level", "warning"], stdout=log, stderr=log)


def finish(message=None):
    server.kill()
    server.wait()
    if message:
        print(open(work + "/radicale.log").read()[-2000:], file=sys.stderr)
    shutil.rmtree(work)
    if message:
        sys.exit("writing_sync : ÉCHEC : " + message)


def answering():
    try:
        connection = http.client.HTTPConnection("127.0.0.1", port, timeout=5)
        connection.request("OPTIONS", "/", headers={"Authorization": "Basic " + base64.b64encode(b"lea:x").decode()})
        return connection.getresponse().status < 500
    except OSError:
        return False


deadline = time.monotonic() + 60
while not answering():
    if server.poll() is not None or time.monotonic() > deadline:
        finish(f"Radicale ne répond pas sur le port {port}")
    time.sleep(0.05)  # polled for a condition: the server's answer

with open(work + "/vdirsyncer.conf", "w") as conf:
    conf.write(f'[general]\nstatus_path = "{work}/status/"\n')
    for pair, folder, direction in (("ecrit", "ecrit", "from a"), ("lu", "lu", "from b")):
        conf.write(f'''
[pair {pair}]
a = "{pair}_vdir"
b = "{pair}_serveur"
collections = ["{direction}"]

[storage {pair}_vdir]
type = "filesystem"
path = "{work}/{folder}/"
fileext = ".ics"

[storage {pair}_serveur]
type = "caldav"
url = "http://127.0.0.1:{port}/"
username = "lea"
password = "secret"
''')


def vdirsyncer(*args):
    done = subprocess.run(["vdirsyncer", "-c", work + "/vdirsyncer.conf", *args], input="y\n" * 4, env=env,
                          capture_output=True, text=True)
    said = done.stdout + done.stderr
    if done.returncode != 0 or "multiple items with the same UID" in said.lower():
        finish(f"vdirsyncer {' '.join(args)} : {said[-1500:]}")


def write(*args):
    done = subprocess.run([write_events, *args], env=env, capture_output=True, text=True)
    if done.returncode != 0:
        finish(f"write_events {args}: {done.stdout}{done.stderr}")
    return done.stdout.strip()


def components(folder):
    """Each VEVENT by its UID and RECURRENCE-ID, as python3-icalendar reads it; the
    UIDs of each file."""
    found, uids_by_file = {}, []
    for name in sorted(os.listdir(folder)):
        if not name.endswith(".ics") or name.startswith("."):
            continue
        calendar = icalendar.Calendar.from_ical(open(os.path.join(folder, name), "rb").read())
        events = calendar.walk("VEVENT")
        uids_by_file.append({str(e["UID"]) for e in events})
        for event in events:
            key = (str(event["UID"]), event["RECURRENCE-ID"].to_ical() if "RECURRENCE-ID" in event else b"")
            found[key] = sorted(event.content_lines())
    return found, uids_by_file


def compare(round_name):
    vdirsyncer("discover", "ecrit")
    vdirsyncer("sync", "ecrit")
    vdirsyncer("discover", "lu")
    vdirsyncer("sync", "lu")
    written, _ = components(gadget_vdir)
    read, uids_by_file = components(pulled)
    if read != written:
        keys = sorted(set(read) ^ set(written)) or [k for k in written if read.get(k) != written[k]]
        finish(f"{round_name} : le vdir tiré du serveur diffère de celui du gadget : {keys[:4]}")
    every = [u for uids in uids_by_file for u in uids]
    if len(every) != len(set(every)):
        finish(f"{round_name} : un UID dans plusieurs fichiers : {sorted(every)}")
    return len(written)


meeting = write("add", gadget_vdir, "lundi 9h Réunion chaque semaine")
write("add", gadget_vdir, "mardi 14h-15h30 Dentiste")
write("add", gadget_vdir, "12 janvier toute la journée Anniversaire de Léa")
yoga = write("add", gadget_vdir, "jeudi 8h Yoga chaque semaine 6 fois")
write("change", gadget_vdir, meeting, "this", "2027-01-11T09:00", "11 janvier 10h Réunion déplacée")
write("remove", gadget_vdir, meeting, "this", "2027-01-18T09:00")
first = compare("premier envoi")

write("change", gadget_vdir, meeting, "following", "2027-02-01T09:00", "1 février 11h Réunion B chaque semaine")
write("change", gadget_vdir, yoga, "all", "-", "samedi 7h Yoga chaque semaine 6 fois")
write("remove", gadget_vdir, yoga, "this", "2027-01-09T07:00")
dentist = write("add", gadget_vdir, "mercredi 15h Contrôle")
write("remove", gadget_vdir, dentist, "all", "-")
second = compare("second envoi")

finish()
print(f"writing_sync : {first} puis {second} évènements, poussés vers Radicale (port {port}) et tirés à l'identique")
