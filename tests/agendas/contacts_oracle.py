#!/usr/bin/python3
"""The names, given names and birthdays of contacts as phones and address books write
them (vCard 2.1, 3.0 and 4.0: quoted-printable values cut by soft line breaks, CHARSET,
vCard 2.1's bare parameters, folded lines, each form of BDAY, no BDAY at all), as
Solvane reads them, against python3-vobject's reading of the same cards and Python's
own reading of their dates.

    contacts_oracle.py PRINT_AGENDA_DAYS
"""

import datetime as dt
import os
import re
import shutil
import subprocess
import sys
import tempfile

import vobject

YEAR = 2028  # a leap year: a birthday on 29 February shows on its day

# Each card, and the charset its file is written in (vobject reads text; what is not
# quoted-printable comes to it already decoded).
CARDS = [
    ("2.1, Latin-1 in quoted-printable", "ascii",
     "BEGIN:VCARD\r\nVERSION:2.1\r\nFN;ENCODING=QUOTED-PRINTABLE;CHARSET=ISO-8859-1:Fran=E7ois L=E9ger\r\n"
     "BDAY:19800304\r\nEND:VCARD\r\n"),
    ("2.1, bare parameters", "ascii",
     "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=ISO-8859-1;QUOTED-PRINTABLE:H=E9bert;Ana=EFs;;;\r\n"
     "BDAY:1975-11-30\r\nEND:VCARD\r\n"),
    ("2.1, a soft line break", "ascii",
     "BEGIN:VCARD\r\nVERSION:2.1\r\nFN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:Jos=C3=A9phine de Beauhar=\r\n"
     "nais\r\nBDAY:17630623\r\nEND:VCARD\r\n"),
    ("2.1, a soft line break inside a character", "ascii",
     "BEGIN:VCARD\r\nVERSION:2.1\r\nFN;CHARSET=UTF-8;QUOTED-PRINTABLE:Ren=C3=\r\n=A9e =\r\n=C3=89lise\r\n"
     "BDAY:20000229\r\nEND:VCARD\r\n"),
    ("2.1, soft line breaks, the next line indented", "ascii",
     "BEGIN:VCARD\r\nVERSION:2.1\r\nFN;ENCODING=QUOTED-PRINTABLE:Jean=\r\n =3D Luc\r\nBDAY:1990-01-31\r\n"
     "END:VCARD\r\n"),
    ("2.1, Windows-1252", "ascii",
     "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=WINDOWS-1252;ENCODING=QUOTED-PRINTABLE:=8Cuvre;Zo=E9 =96 =80;;;\r\n"
     "BDAY:19851224\r\nEND:VCARD\r\n"),
    ("2.1, Latin-9's euro through iconv", "ascii",
     "BEGIN:VCARD\r\nVERSION:2.1\r\nFN;CHARSET=ISO-8859-15;ENCODING=QUOTED-PRINTABLE:=A4uros =BD\r\n"
     "BDAY:19991231\r\nEND:VCARD\r\n"),
    ("2.1, lower-case hexadecimal digits", "ascii",
     "BEGIN:VCARD\r\nVERSION:2.1\r\nfn;charset=utf-8;encoding=QUOTED-PRINTABLE:Ma=c3=abl\r\n"
     "BDAY:2002-07-14\r\nEND:VCARD\r\n"),
    ("3.0, Latin-1 bytes with CHARSET", "latin-1",
     "BEGIN:VCARD\r\nVERSION:3.0\r\nFN;CHARSET=ISO-8859-1:Cl\u00e9mence Fa\u00ffe\r\n"
     "BDAY;VALUE=date:1964-02-29\r\nEND:VCARD\r\n"),
    ("3.0, a folded UTF-8 line", "utf-8",
     "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Marie-H\u00e9l\u00e8ne de La Tour d\u2019Au\r\n vergne\r\n"
     "BDAY:1958-10-05T00:00:00Z\r\nEND:VCARD\r\n"),
    ("3.0, grouped and escaped", "utf-8",
     "BEGIN:VCARD\r\nVERSION:3.0\r\nitem1.FN:Dupont\\, Luc\r\nitem1.BDAY:1604-08-15\r\nEND:VCARD\r\n"),
    ("4.0, a date without year", "utf-8",
     "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:\u00c9tienne \u00d8ster\r\nBDAY:--0508\r\nEND:VCARD\r\n"),
    ("4.0, a date and time", "utf-8",
     "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Na\u00efma\r\nBDAY:19531015T231000Z\r\nEND:VCARD\r\n"),
    ("4.0, --MM-DD", "utf-8",
     "BEGIN:VCARD\r\nVERSION:4.0\r\nN:Sm\u00edth;J\u00f3n;;;\r\nBDAY:--12-25\r\nEND:VCARD\r\n"),
    ("no such day", "utf-8",
     "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Personne\r\nBDAY:2001-02-29\r\nEND:VCARD\r\n"),
    ("no birthday, a compound given name", "utf-8",
     "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Jean-Pierre L\u00e9ger\r\nN:L\u00e9ger;Jean-Pierre;;M.;\r\nEND:VCARD\r\n"),
    ("no birthday, no N", "utf-8", "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Camille\r\nEND:VCARD\r\n"),
    ("two cards in a file", "ascii",
     "BEGIN:VCARD\r\nVERSION:2.1\r\nFN;QUOTED-PRINTABLE;CHARSET=ISO-8859-1:No=EBl\r\nBDAY:19901225\r\nEND:VCARD\r\n"
     "BEGIN:VCARD\r\nVERSION:2.1\r\nFN;CHARSET=ISO-8859-1;ENCODING=QUOTED-PRINTABLE:Ga=EBlle=\r\n M=FCller\r\n"
     "BDAY:1992-03-01\r\nEND:VCARD\r\n"),
]

UNKNOWN_YEAR = 1604  # what address books write for a year they do not know


def expected(text):
    """(name, month, day, year or None) of each card with a birthday, as vobject reads it."""
    found = []
    for card in vobject.readComponents(text, allowQP=True):
        if "bday" not in card.contents:
            continue
        value = card.bday.value.strip()
        try:
            if value.startswith("--"):
                rest = value[2:]  # MMDD or MM-DD, read in a leap year
                date, year = dt.date.fromisoformat("2000" + ("-" if "-" in rest else "") + rest), None
            elif "T" in value:
                date = dt.datetime.fromisoformat(value).date()
                year = date.year
            else:
                date = dt.date.fromisoformat(value)
                year = date.year
        except ValueError:
            continue
        if "fn" in card.contents:
            name = card.fn.value
        else:
            name = " ".join(part for part in (card.n.value.given, card.n.value.family) if part)
        found.append((name, date.month, date.day, None if year == UNKNOWN_YEAR else year))
    return sorted(found)


def expected_names(text):
    """(name, given name) of each card, as vobject reads it."""
    found = []
    for card in vobject.readComponents(text, allowQP=True):
        given = card.n.value.given if "n" in card.contents else ""
        if "fn" in card.contents:
            name = card.fn.value
        else:
            name = " ".join(part for part in (given, card.n.value.family) if part)
        found.append((name, given))
    return found


def solvane_names(program, path):
    lines = subprocess.run([program, f"{YEAR}-01-01", f"{YEAR}-01-01", "--contacts", path], check=True,
                           capture_output=True, text=True).stdout.splitlines()
    return [tuple(line.split("\t")) for line in lines]


def solvane(program, path):
    """The same, from the birthdays Solvane shows over the year."""
    lines = subprocess.run([program, f"{YEAR}-01-01", f"{YEAR}-12-31", path], check=True, capture_output=True,
                           text=True).stdout.splitlines()
    found = []
    for line in lines:
        if line.startswith("!"):
            continue
        day, _kind, _start, _end, title, _agenda = line.split("\t")
        match = re.fullmatch(r"Anniversaire : (.*?)(?: \((\d+) ans?\))?", title)
        date = dt.date.fromisoformat(day)
        found.append((match[1], date.month, date.day, YEAR - int(match[2]) if match[2] else None))
    return sorted(found)


def main():
    program = sys.argv[1]
    folder = tempfile.mkdtemp(prefix="solvane-contacts-oracle.", dir=os.getcwd())
    failures = 0
    try:
        for number, (what, charset, text) in enumerate(CARDS):
            path = os.path.join(folder, f"carte{number}.vcf")
            with open(path, "wb") as file:
                file.write(text.encode(charset))
            want, got = (expected(text), expected_names(text)), (solvane(program, path), solvane_names(program, path))
            if want != got:
                failures += 1
                print(f"ÉCHEC {what} : vobject {want}, Solvane {got}")
    finally:
        shutil.rmtree(folder)
    print(f"{len(CARDS) - failures} cartes sur {len(CARDS)} lues comme vobject les lit")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
