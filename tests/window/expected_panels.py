#!/usr/bin/env python3
"""What the gadget's panels should show for a date, worked out from the calendar itself
(Python's dates, python3-dateutil's Easter, the name-day list of the program's folder),
never from the program's code: window_reading.py's commands, and `panel SCREEN X Y DATE
FOLDER` (the panels show DATE, AAAA-MM-JJ) and `moon-number DATE` (its moon picture's number).
"""

import calendar
import csv
import datetime
import math
import re
import sys
from pathlib import Path

from dateutil.easter import easter

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tools" / "lib"))
import window_reading  # noqa: E402  (found beside the window driver)
from window_reading import BOXES  # noqa: E402

WEEKDAYS = ["lundi", "mardi", "mercredi", "jeudi", "vendredi", "samedi", "dimanche"]
MONTHS = ["janvier", "février", "mars", "avril", "mai", "juin", "juillet", "août",
          "septembre", "octobre", "novembre", "décembre"]


def name_day_list(path):
    """The names of the name-day list, in order: its comma-separated fields as Python's csv
    reader splits them, those that begin with a number other than 0 left out."""
    with open(path, encoding="cp1252", errors="replace", newline="") as file:
        fields = [field.strip(" \t") for row in csv.reader(file) for field in row]
    # A number other than 0: after an optional sign, a non-zero digit before or after a point.
    return [field for field in fields if not re.match(r"[+-]?0*(\.0*)?[1-9]", field)]


def moon_picture_number(year, month, day):
    """The picture of the moon's age on a date: the days since a mean new moon, on a
    cycle of 29.530588853 days from the new moon of day number 2451550.1, scaled by
    29.53 and rounded to the nearest whole day, halves to even, 30 shown as 29."""
    j = (367 * year - math.floor(1.75 * (year + math.floor((month + 9) / 12)))
         + math.floor(275 * (month / 9))
         - math.floor(0.75 * (math.floor(0.01 * (year + math.floor((month - 9) / 7))) + 1))
         + day + 1721028.5)
    phase = (j - 2451550.1) / 29.530588853
    age = 29.53 * (phase - math.floor(phase))
    return min(round(age), 29)  # Python's round sends halves to the even neighbour


def holiday_text(date, month=None):
    return f"{WEEKDAYS[date.weekday()]} {date.day:02d} {month or MONTHS[date.month - 1]}"


def name_day_position(date):
    """The list is laid out for a leap year: in a common year every date from
    1 March on takes the position after its day count."""
    return date.timetuple().tm_yday - 1 + (not calendar.isleap(date.year) and date.month >= 3)


def expected_texts(date, folder):
    """(what, box, text) for every label that the panels write for the selected date."""
    year, names, position = date.year, name_day_list(Path(folder) / "fetes.txt"), name_day_position(date)
    return [
        ("la phrase de l'année bissextile", BOXES["Label34"],
         f"L'année {year} " + ("est bissextile." if calendar.isleap(year) else "n'est pas bissextile.")),
        ("les lignes du jour de l'année et de la semaine", BOXES["day_and_week_line"],
         f"{date.timetuple().tm_yday} em jour de l'année   Semaine : {date.isocalendar()[1]}"),
        ("la fête", BOXES["Label32.line"], f"fête à souhaiter : {names[position] if position < len(names) else ''}"),
        ("l'année en titre", BOXES["Label8"], str(year)),
        ("Pâques", BOXES["Label5"], holiday_text(easter(year))),
        # Christmas's month as the French locale abbreviates it, where the panel shortens it.
        ("Noël", BOXES["Label30.short"], holiday_text(datetime.date(year, 12, 25), "déc.")),
    ]


def command_panel(window, date, folder):
    """Every checked label and the moon picture show what they should when DATE is
    selected; the moon first: a screen still changing is not read."""
    date = datetime.date.fromisoformat(date)
    mismatches = []
    path = Path(folder) / f"{moon_picture_number(date.year, date.month, date.day)}.gif"
    picture = window_reading.picture_file_pixels(path)
    differing = window_reading.differing_pixels(window(BOXES["Image1"][:2] + (picture.width, picture.height)), picture, 8)
    if differing:
        mismatches.append(f"la case de la lune diffère de {path.name} en {differing} pixels")
    texts = expected_texts(date, folder)
    pictures = [window(box) for _, box, _ in texts]
    for (what, _, expected), picture, first in zip(texts, pictures, window_reading.read_lines(pictures) if not mismatches else []):
        matched, read = window_reading.read_matches(picture, expected, first)
        if not matched:
            mismatches.append(f"{what} : lu {read!r}, attendu {expected!r}")
            break  # the screen is still changing; look again at the next grab
    for line in mismatches:
        print(f"{date}: {line}")
    return 1 if mismatches else 0


def main(arguments):
    if arguments[:1] == ["moon-number"]:
        date = datetime.date.fromisoformat(arguments[1])
        print(moon_picture_number(date.year, date.month, date.day))
        return 0
    return window_reading.main(arguments, dict(window_reading.COMMANDS, panel=command_panel))


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
