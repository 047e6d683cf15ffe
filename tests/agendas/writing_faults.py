#!/usr/bin/python3
"""Faults while the gadget writes an event: a French sentence, a status that is not 0,
nothing written and nothing lost, shown by the bytes of every file of the calendar's
folder, hidden ones included, before and after.

  - a full disk (a small tmpfs mounted by the test in its own folder): `--ajouter` in
    a vdir and in an .ics file, a change; « celle-ci et les suivantes » with room for
    one of its two files; the safety net itself on the full disk;
  - a read-only folder (the same tmpfs mounted again read-only, which binds root too);
  - the folder moved away between the reading of the event and its writing (a
    dialog left open): an addition, a change, a removal;
  - the file changed between reading and writing, by each part of its identity alone
    (its size, its date in nanoseconds, its inode: a rename over it at the same size
    and date), and by another gadget saving the same event first.
Without the right to mount, the disk and read-only rows are skipped, saying so.
Usage: writing_faults.py WRITE_EVENTS SOLVANE
"""
import os, shutil, subprocess, sys
from private_home import private_home

write_events, solvane = sys.argv[1], sys.argv[2]
work, env = private_home("solvane-faults.")
failures = []
checked = 0


def files_under(root):
    """Every file under `root` and its bytes; None when `root` is not there."""
    if not os.path.lexists(root):
        return None
    if os.path.isfile(root):
        return {"": open(root, "rb").read()}
    found = {}
    for folder, _, names in os.walk(root):
        for name in names:
            path = os.path.join(folder, name)
            found[os.path.relpath(path, root)] = open(path, "rb").read()
    return found


class Gadget:
    """write_events in batch, as a dialog kept open: `start` reads the event, `finish` saves it."""

    def __init__(self, environment=env):
        self.process = subprocess.Popen([write_events, "batch"], env=environment, text=True,
                                        stdin=subprocess.PIPE, stdout=subprocess.PIPE)

    def start(self, *words):
        self.process.stdin.write("\t".join(("pause",) + words) + "\n")
        self.process.stdin.flush()
        read = self.process.stdout.readline().strip()
        if read != "lu":
            sys.exit(f"write_events {words}: « {read} »")

    def finish(self):
        self.process.stdin.write("\n")
        self.process.stdin.flush()
        answer = self.process.stdout.readline().strip()
        self.process.stdin.close()
        self.process.wait()
        return answer


def add(calendar, phrase, environment=env):
    done = subprocess.run([write_events, "add", calendar, phrase], env=environment, capture_output=True, text=True)
    if done.returncode != 0:
        sys.exit(f"write_events add {calendar}: {done.stdout}{done.stderr}")
    return done.stdout.strip()


def expect_refusal(what, root, run, sentence):
    """`run` gives (status, the French sentence, and the files under `root` as another
    program left them, or None when none touched them); the files under `root` after
    must be those."""
    global checked
    checked += 1
    before = files_under(root)
    status, said, *left = run()
    after = files_under(root)
    expected = left[0] if left and left[0] is not None else before
    if status == 0 or sentence not in said:
        failures.append(f"{what}: status {status}, « {said} » (expected « {sentence} »)")
    if after != expected:
        changed = sorted(set(after or {}) ^ set(expected or {})) or \
            [k for k in expected if after.get(k) != expected[k]]
        failures.append(f"{what}: the files changed: {changed}")


def ajouter(calendar, phrase="lundi 9h Essai", environment=env):
    done = subprocess.run([solvane, "--ajouter", phrase, "--agenda", calendar], env=environment,
                          capture_output=True, text=True)
    if done.stdout:
        return 0, done.stdout
    return done.returncode, done.stderr if done.stderr.startswith("solvane: ") else "(no sentence) " + done.stderr


def batch(*words, environment=env):
    gadget = Gadget(environment)
    gadget.start(*words)
    answer = gadget.finish()
    return (0 if answer.startswith("ok ") else 1), answer


def between(words, root, disturb, restore=None):
    """A dialog open on an event while `disturb` changes the world, then saved; the
    files under `root` as `disturb` left them, or as before when `restore` puts back
    what it moved (once the save has found it gone)."""
    def run():
        gadget = Gadget()
        gadget.start(*words)
        disturb()
        left = files_under(root)
        answer = gadget.finish()
        if restore:
            restore()
            left = None
        return (0 if answer.startswith("ok ") else 1), answer, left
    return run


# --- a full disk, then a read-only folder --------------------------------------------
disk = work + "/disque"
os.mkdir(disk)
mounted = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=256k,mode=0700", "tmpfs", disk],
                         capture_output=True, text=True)
try:
    if mounted.returncode != 0:
        print(f"writing_faults : disque plein et dossier en lecture seule non essayés, le montage d'un tmpfs "
              f"est refusé ({mounted.stderr.strip()})")
    else:
        vdir, ics = disk + "/vdir", disk + "/agenda.ics"
        os.mkdir(vdir)
        with open(ics, "w", newline="") as out:
            out.write("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Exemple//Test//FR\r\nEND:VCALENDAR\r\n")
        in_vdir = add(vdir, "lundi 9h Réunion chaque semaine")
        in_ics = add(ics, "mardi 14h Dentiste")
        net_on_disk = dict(env, XDG_STATE_HOME=disk + "/etat")


        def fill():
            with open(disk + "/remplissage", "ab", buffering=0) as filler:
                try:
                    while True:
                        filler.write(b"\0" * 4096)
                        filler.flush()
                except OSError:
                    pass
        fill()
        full = "n'a pas pu être écrit (dossier en lecture seule, disque plein ?)"
        expect_refusal("--ajouter, a vdir on a full disk", disk, lambda: ajouter(vdir), full)
        expect_refusal("--ajouter, an .ics file on a full disk", disk, lambda: ajouter(ics), full)
        expect_refusal("a change on a full disk", disk,
                       lambda: batch("change", vdir, in_vdir, "all", "-", "mardi 10h Réunion"), full)
        # « Celle-ci et les suivantes » writes two files: with room for one only, the
        # series is not ended (its replaced file's pages stay taken by a second name).
        os.link(f"{vdir}/{in_vdir}.ics", disk + "/second-nom")
        size = os.path.getsize(disk + "/remplissage")
        pages = -(-os.path.getsize(f"{vdir}/{in_vdir}.ics") // 4096)  # what each of the two files takes
        while os.statvfs(disk).f_bavail < pages:
            size = max(0, size - 4096)
            os.truncate(disk + "/remplissage", size)
        expect_refusal("« celle-ci et les suivantes » on a disk with room for one file", disk,
                       lambda: batch("change", vdir, in_vdir, "following", "2027-01-11T09:00",
                                     "11 janvier 10h Réunion chaque semaine"), full)
        os.remove(disk + "/second-nom")
        fill()
        outside = work + "/ailleurs.ics"
        shutil.copy(ics, outside)
        expect_refusal("the safety net on a full disk", outside,
                       lambda: batch("remove", outside, in_ics, "all", "-", environment=net_on_disk),
                       "n'a pas pu être gardée")
        os.remove(disk + "/remplissage")
        remounted = subprocess.run(["mount", "-o", "remount,ro", disk], capture_output=True, text=True)
        if remounted.returncode != 0:
            failures.append(f"the tmpfs is not mounted again read-only: {remounted.stderr}")
        read_only = "est en lecture seule"
        expect_refusal("--ajouter, a read-only vdir", disk, lambda: ajouter(vdir), read_only)
        expect_refusal("--ajouter, an .ics file in a read-only folder", disk, lambda: ajouter(ics), read_only)
        expect_refusal("a change in a read-only vdir", disk,
                       lambda: batch("change", vdir, in_vdir, "this", "2027-01-11T09:00", "mardi 10h Réunion"),
                       read_only)
        expect_refusal("a removal from a read-only .ics file", disk,
                       lambda: batch("remove", ics, in_ics, "all", "-"), read_only)
finally:
    if mounted.returncode == 0:
        subprocess.run(["umount", disk])

# --- the folder moved away while the event is open -------------------------------------
home = work + "/agendas"
os.mkdir(home)
vdir, ics = home + "/vdir", home + "/ics/agenda.ics"
os.makedirs(home + "/ics")
with open(ics, "w", newline="") as out:
    out.write("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Exemple//Test//FR\r\nEND:VCALENDAR\r\n")
os.mkdir(vdir)
series = add(vdir, "lundi 9h Réunion chaque semaine")
dentist = add(ics, "mardi 14h Dentiste")


for what, folder, words, sentence in [
    ("an addition to a vdir moved away", vdir, ("add", vdir, "lundi 10h Autre"), "n'existe pas"),
    ("a change in a vdir moved away", vdir, ("change", vdir, series, "all", "-", "mardi 10h Réunion"),
     "n'existe pas"),
    ("a removal from a vdir moved away", vdir, ("remove", vdir, series, "this", "2027-01-11T09:00"),
     "n'existe pas"),
    ("a change in an .ics file whose folder moved away", home + "/ics",
     ("change", ics, dentist, "all", "-", "mardi 15h Dentiste"), "n'existe pas"),
]:
    aside = work + "/déplacé"

    def restore(folder=folder):
        if os.path.lexists(folder):  # made again by the save
            failures.append(f"{folder} was made again")
            shutil.rmtree(folder)
        os.rename(aside, folder)
    expect_refusal(what, home, between(words, home, lambda folder=folder: os.rename(folder, aside), restore),
                   sentence)

# --- the file changed between reading and writing ------------------------------------------


def changed_by(how, path):
    """Changes `path` in one part of its identity only, as a synchronisation's save may."""
    stat = os.stat(path)
    data = open(path, "rb").read()
    if how == "size":
        with open(path, "ab") as out:
            out.write(b"\r\n")
        os.utime(path, ns=(stat.st_atime_ns, stat.st_mtime_ns))
    elif how == "date":
        os.utime(path, ns=(stat.st_atime_ns, stat.st_mtime_ns + 1))
    elif how == "inode":
        other = path + ".nouveau"
        title = data.index(b"SUMMARY:") + 8
        with open(other, "wb") as out:  # the same size: the title's first letter in the other case
            out.write(data[:title] + bytes([data[title] ^ 0x20]) + data[title + 1:])
        os.utime(other, ns=(stat.st_atime_ns, stat.st_mtime_ns))
        os.rename(other, path)


changed = "a changé entre-temps"
pristine = {path: open(path, "rb").read() for path in (f"{vdir}/{series}.ics", ics)}
for how in ("size", "date", "inode"):
    for name, calendar, uid in (("vdir", vdir, series), (".ics file", ics, dentist)):
        path = f"{vdir}/{series}.ics" if calendar == vdir else ics
        for words in (("change", calendar, uid, "all", "-", "mercredi 8h Autre"), ("remove", calendar, uid, "all", "-")):
            if not os.path.exists(path) or uid.encode() not in open(path, "rb").read():
                open(path, "wb").write(pristine[path])  # after a removal that should have been refused
            expect_refusal(f"a {words[0]} in a {name} whose file changed its {how}", home,
                           between(words, home, lambda how=how, path=path: changed_by(how, path)), changed)

# The event's own file removed by a synchronisation: « n'existe plus » in a vdir; an
# .ics file removed is an agenda that is not there.
for name, calendar, uid, path, sentence in (("vdir", vdir, series, f"{vdir}/{series}.ics", "n'existe plus"),
                                            (".ics file", ics, dentist, ics, "n'existe pas")):
    kept = open(path, "rb").read()
    expect_refusal(f"a change in a {name} whose file was removed", home,
                   between(("change", calendar, uid, "all", "-", "mercredi 8h Autre"), home, lambda: os.remove(path),
                           lambda: open(path, "wb").write(kept)), sentence)

# A file the gadget does not read is refused for what it is, not for the disk.
large = home + "/gros.ics"
with open(large, "wb") as out:
    out.truncate(21_000_000)
expect_refusal("--ajouter, an .ics file past 20 Mo", large, lambda: ajouter(large), "dépasse 20 Mo")
os.remove(large)

# Two gadgets open on one event: the first saves, the second is refused, its text
# nowhere, the first's kept.
first, second = Gadget(), Gadget()
first.start("change", vdir, series, "all", "-", "mercredi 8h Premier")
second.start("change", vdir, series, "all", "-", "jeudi 8h Second")
first_answer, second_answer = first.finish(), second.finish()
written = open(f"{vdir}/{series}.ics", "rb").read()
checked += 1
if not first_answer.startswith("ok ") or changed not in second_answer or b"Second" in written or \
        b"Premier" not in written:
    failures.append(f"two gadgets: « {first_answer} », « {second_answer} »")

shutil.rmtree(work)
for failure in failures:
    print("ÉCHEC :", failure)
print(f"writing_faults : {checked} pannes, {len(failures)} échecs")
sys.exit(1 if failures else 0)
