#!/usr/bin/env python3
"""The window driver's reading half: reads the gadget's window off a grab of the screen as a
user would, texts by OCR (tesseract, French), pictures pixel by pixel. `window_reading.py
COMMAND SCREEN X Y ARGUMENT...` (or `clock-seconds FOLDER`): SCREEN is a PPM grab of the
whole screen, (X, Y) the window's origin on it, a box "LEFT TOP WIDTH HEIGHT" in window
pixels (SOLVANE_WINDOW_BOXES). A command prints what it found; its status, whether it should.
"""

import difflib
import hashlib
import json
import os
import re
import subprocess
import sys
import unicodedata
from pathlib import Path


def read_boxes(path):
    """The boxes of the window's controls and parts by name, from the table's "NAME LEFT TOP WIDTH HEIGHT"."""
    lines = [line.split("#", 1)[0].split() for line in Path(path).read_text(encoding="utf-8").splitlines()]
    return {fields[0]: tuple(int(field) for field in fields[1:]) for fields in lines if fields}


BOXES = read_boxes(os.environ["SOLVANE_WINDOW_BOXES"]) if os.environ.get("SOLVANE_WINDOW_BOXES") else {}
WINDOW_GREY = (176, 176, 176)
NAVY = (0, 0, 128)


class Picture:
    def __init__(self, width, height, pixels):  # RGB pixels, row by row
        self.width, self.height, self.pixels = width, height, pixels

    def pixel(self, x, y):
        at = (y * self.width + x) * 3
        return tuple(self.pixels[at:at + 3])

    def crop(self, left, top, width, height):
        rows = [self.pixels[(y * self.width + left) * 3:(y * self.width + left + width) * 3]
                for y in range(top, top + height)]
        return Picture(width, height, b"".join(rows))

    def ppm(self):
        return b"P6\n%d %d\n255\n" % (self.width, self.height) + self.pixels


def parse_ppm(data, name):
    """A binary 8-bit PPM (P6, as ImageMagick and clock_watch write it) as a Picture."""
    header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", data)
    if not header:
        raise SystemExit(f"{name} : pas une image PPM binaire de 8 bits")
    width, height = int(header[1]), int(header[2])
    return Picture(width, height, data[header.end():header.end() + width * height * 3])


def picture_file_pixels(path):
    """A picture file's pixels, on the window's grey where it is transparent."""
    ppm = subprocess.run(["convert", str(path), "-background", "rgb({},{},{})".format(*WINDOW_GREY), "-flatten",
                          "-depth", "8", "ppm:-"], check=True, capture_output=True).stdout
    return parse_ppm(ppm, path)


def near(a, b, tolerance):
    return all(abs(p - q) <= tolerance for p, q in zip(a, b))


def differing_pixels(picture, expected, tolerance):
    """How many pixels are not near the expected colour, or the expected picture's pixel."""
    return sum(not near(picture.pixel(x, y), expected if isinstance(expected, tuple) else expected.pixel(x, y), tolerance)
               for y in range(picture.height) for x in range(picture.width))


# Each way of preparing a box for tesseract: the first suits the labels' small navy text
# on grey; the others are tried when it reads another text, a line last as a block in colour.
PREPARATIONS = [
    ["-colorspace", "Gray", "-resize", "400%"],
    ["-colorspace", "Gray", "-resize", "300%"],
    ["-colorspace", "Gray", "-resize", "400%", "-threshold", "55%"],
]
LINE_READINGS = [(preparation, "7") for preparation in PREPARATIONS] + [(["-resize", "400%"], "6")]

# What OCR read before, by the pixels and how, shared by the commands of one test through
# the file SCREEN_READING_CACHE: tesseract reads the same pixels the same way.
CACHE_PATH = os.environ.get("SCREEN_READING_CACHE", "")
READINGS = json.loads(Path(CACHE_PATH).read_text(encoding="utf-8")) if os.path.isfile(CACHE_PATH) else {}


def reading_key(how, picture):
    return hashlib.sha1(repr(how).encode() + picture.ppm()).hexdigest()


def remember(key, text):
    READINGS[key] = text
    if CACHE_PATH:
        Path(CACHE_PATH + ".new").write_text(json.dumps(READINGS), encoding="utf-8")
        os.replace(CACHE_PATH + ".new", CACHE_PATH)


def ocr(picture, preparation=PREPARATIONS[0], page_mode="7"):
    key = reading_key((preparation, page_mode), picture)
    if key in READINGS:
        return READINGS[key]
    prepared = subprocess.run(["convert", "ppm:-", *preparation, "png:-"], input=picture.ppm(),
                              check=True, capture_output=True).stdout
    result = subprocess.run(["tesseract", "stdin", "stdout", "-l", "fra", "--psm", page_mode], input=prepared,
                            capture_output=True, env=dict(os.environ, OMP_THREAD_LIMIT="1"))
    if result.returncode != 0:
        raise SystemExit("tesseract a échoué : " + result.stderr.decode(errors="replace"))
    text = result.stdout.decode("utf-8", errors="replace").strip()
    remember(key, text)
    return text


def stacked(pictures, gap=8):
    """The pictures one above the other on the window's grey, GAP pixels of grey around
    each, for OCR to read them as the lines of one block."""
    width = max(picture.width for picture in pictures) + 2 * gap
    grey = bytes(WINDOW_GREY)
    rows = [grey * width * gap]
    for picture in pictures:
        for y in range(picture.height):
            row = picture.pixels[y * picture.width * 3:(y + 1) * picture.width * 3]
            rows.append(grey * gap + row + grey * (width - gap - picture.width))
        rows.append(grey * width * gap)
    pixels = b"".join(rows)
    return Picture(width, len(pixels) // (3 * width), pixels)


def read_lines(pictures):
    """What OCR reads on each picture of one line: those not read so before stacked on
    one strip, one start of tesseract for all; "" where the strip reads another number of lines."""
    keys = [reading_key("strip", picture) for picture in pictures]
    missing = [i for i, key in enumerate(keys) if key not in READINGS]
    if missing:
        lines = [line for line in ocr(stacked([pictures[i] for i in missing]), page_mode="6").splitlines()
                 if line.strip()]
        if len(lines) == len(missing):
            for i, line in zip(missing, lines):
                remember(keys[i], line.strip())
    return [READINGS.get(key, "") for key in keys]


def normalised(text):
    """A text's letters and digits, in lower case and without accents: blanks, punctuation
    and the stray bars of a frame's edge are what OCR gets wrong most."""
    return "".join(c for c in unicodedata.normalize("NFKD", text.lower()) if c.isalnum())


def read_matches(picture, expected, first=None, same=normalised):
    """(True, text) when OCR reads the expected text under some preparation, else (False,
    what it read first); FIRST is a reading on a strip, tried first; SAME, which texts match."""
    if first is not None and same(first) == same(expected):
        return True, first
    for preparation, page_mode in LINE_READINGS:
        text = ocr(picture, preparation, page_mode)
        first = text if first is None else first
        if same(text) == same(expected):
            return True, text
    return False, first


def calendar_cells(window):
    """The boxes of the calendar's day cells, row by row, in window pixels: the rows the last
    six spaces between its navy horizontal lines, the columns those between its vertical lines
    and edges."""
    shown = window(BOXES["Cal1"])
    width, height = shown.width, shown.height

    def is_navy(x, y):
        return near(shown.pixel(x, y), NAVY, 16)

    horizontal = [y for y in range(height) if sum(is_navy(x, y) for x in range(width)) > 0.6 * width]
    vertical = [x for x in range(width) if sum(is_navy(x, y) for y in range(height)) > 0.5 * height]

    def spaces(lines, size=None):
        """The spaces of 8 pixels or more between the lines (and the edges 0 and SIZE, when
        given), as (first, width): the narrower ones lie inside a line drawn wider than a pixel."""
        bounds = lines if size is None else [-1, *lines, size]
        return [(a + 1, b - a - 1) for a, b in zip(bounds, bounds[1:]) if b - a > 8]

    rows, columns = spaces(horizontal)[-6:], spaces(vertical, width)
    if len(columns) != 7 or len(rows) != 6:
        raise SystemExit(f"grille du calendrier introuvable : {len(rows)} rangées de jours et {len(columns)} colonnes "
                         f"(lignes horizontales en {horizontal}, verticales en {vertical})")
    ox, oy = BOXES["Cal1"][:2]
    return [(ox + column[0], oy + row[0], column[1], row[1]) for row in rows for column in columns]


def selected_cell(window, cells):
    """The index of the one cell filled with the selection's navy."""
    insides = [window((left + 2, top + 2, width - 4, height - 4)) for left, top, width, height in cells]
    filled = [i for i, inside in enumerate(insides) if differing_pixels(inside, NAVY, 16) < 0.4 * inside.width * inside.height]
    if len(filled) != 1:
        raise SystemExit(f"un jour choisi attendu dans le calendrier, {len(filled)} trouvés")
    return filled[0]


# The commands: each takes the window, a function from a box to the Picture shown there.

def box_of(text):
    return tuple(int(v) for v in text.split())


def command_clock(window, box):
    """Prints the seconds of the day of the time that a clock line reads."""
    seconds = clock_time(ocr(window(box_of(box))))
    print(seconds)
    return 0 if seconds is not None else 1


def command_text(window, box, expected, how=""):
    """A box reads the text: its letters and digits, or with "exact" all but the blanks between words."""
    same = (lambda text: " ".join(text.split())) if how == "exact" else normalised
    matched, read = read_matches(window(box_of(box)), expected, same=same)
    print(read)
    return 0 if matched else 1


def command_pixels(window, box, expected, tolerance="8"):
    """Every pixel of the box is near a colour "R G B", or its top-left corner shows a picture file."""
    if expected[0].isdigit():
        expected = box_of(expected)
        shown = window(box_of(box))
    else:
        expected = picture_file_pixels(expected)
        shown = window(box_of(box)[:2] + (expected.width, expected.height))
    differing = differing_pixels(shown, expected, int(tolerance))
    print(f"{differing} pixels diffèrent")
    return 0 if differing == 0 else 1


def day_cells(window, selected_day, days):
    """The cells of DAYS, each counted from SELECTED_DAY's, the selected cell: past the month's last
    day the next month's go on (31, 32...), before its first the previous month's (0, -1...)."""
    cells = calendar_cells(window)
    selected = selected_cell(window, cells)
    indexes = [selected + int(day) - int(selected_day) for day in days]
    outside = [day for day, index in zip(days, indexes) if not 0 <= index < len(cells)]
    if outside:
        raise SystemExit(f"le jour {outside[0]} tombe hors de la grille du calendrier")
    return [cells[index] for index in indexes]


def command_cell(window, selected_day="0", day="0"):
    """Prints the window point of the selected day's cell, or of DAY's, counted from SELECTED_DAY's."""
    left, top, width, height = day_cells(window, selected_day, [day])[0]
    print(left + (width - 1) // 2, top + (height - 1) // 2)
    return 0


def is_underlined(cell):
    """A line lies under the cell's text: its lowest row of ink, one blank row below the rest,
    runs unbroken under at least four fifths of the text's columns. The digits stand on their
    baseline and have no descenders, so no digit has such a row. The cell's own colour is the
    commonest of its pixels; three pixels of each side are left out, where the selected day
    draws its dotted frame."""
    colours = [cell.pixel(x, y) for y in range(cell.height) for x in range(cell.width)]
    background = max(set(colours), key=colours.count)
    inside = range(3, cell.width - 3)
    ink = [[x for x in inside if not near(cell.pixel(x, y), background, 12)] for y in range(3, cell.height - 3)]
    rows = [y for y, row in enumerate(ink) if row]
    if len(rows) < 2 or ink[rows[-1] - 1]:
        return False
    line = ink[rows[-1]]
    text = [x for y in rows[:-1] for x in ink[y]]
    under = set(line) & set(range(min(text), max(text) + 1))
    return line[-1] - line[0] + 1 == len(line) and len(under) >= 0.8 * (max(text) - min(text) + 1)


def command_underlined(window, selected_day, *days):
    """Prints those of DAYS whose cell is underlined, counted as day_cells counts."""
    cells = day_cells(window, selected_day, days)
    print(" ".join(day for day, cell in zip(days, cells) if is_underlined(window(cell))))
    return 0


def command_says(window, box, sentence, likeness, *words):
    """A box reads as a block close to a sentence by difflib's ratio, holding every word."""
    picture = window(box_of(box))
    for preparation in PREPARATIONS:
        read = ocr(picture, preparation, page_mode="6")
        ratio = difflib.SequenceMatcher(None, normalised(read), normalised(sentence)).ratio()
        found = all(normalised(word) in normalised(read) for word in words)
        print(f"lu {read!r} : ressemblance {ratio:.2f}, mots exigés {'présents' if found else 'absents'}")
        if found and ratio >= float(likeness):
            return 0
    return 1


def clock_time(text):
    """The seconds of the day of the "hh:mm:ss" that a clock line reads, or None."""
    found = re.search(r"(\d\d)\s*[:.]\s*(\d\d)\s*[:.]\s*(\d\d)", text)
    return None if not found else int(found[1]) * 3600 + int(found[2]) * 60 + int(found[3])


def clock_seconds(folder):
    """The clock line went from each second to the next: each frame of FOLDER (by clock_watch, in
    order) is one change of the line, all read on one strip, each read alone where that gives no time."""
    frames = [parse_ppm(path.read_bytes(), path) for path in sorted(Path(folder).glob("*.ppm"))]
    if len(frames) < 2:
        raise SystemExit(f"{len(frames)} images de l'horloge : rien à comparer")
    times = [clock_time(line) for line in read_lines(frames)]
    times = [time if time is not None else clock_time(ocr(frame)) for time, frame in zip(times, frames)]
    problems = []
    for index, (before, after) in enumerate(zip(times, times[1:]), start=1):
        if before is None or after is None:
            problems.append(f"image {index - 1 if before is None else index} : aucune heure lue")
        elif (after - before) % 86400 != 1:
            problems.append(f"image {index} : {after - before:+d} s après l'image d'avant")
    first = "%02d:%02d:%02d" % (times[0] // 3600, times[0] // 60 % 60, times[0] % 60) if times[0] is not None else "?"
    print(f"{len(frames)} changements de la ligne de l'horloge depuis {first}" + "".join(f" ; {p}" for p in problems))
    return 1 if problems else 0


COMMANDS = {"clock": command_clock, "text": command_text, "pixels": command_pixels,
            "cell": command_cell, "underlined": command_underlined, "says": command_says}


def main(arguments, commands=COMMANDS):
    if arguments[:1] == ["clock-seconds"]:
        return clock_seconds(arguments[1])
    if len(arguments) < 4 or arguments[0] not in commands:
        raise SystemExit(f"usage : {Path(sys.argv[0]).name} {'|'.join(commands)} ÉCRAN X Y ARGUMENT…")
    screen = parse_ppm(Path(arguments[1]).read_bytes(), arguments[1])
    x, y = int(arguments[2]), int(arguments[3])
    return commands[arguments[0]](lambda box: screen.crop(x + box[0], y + box[1], box[2], box[3]), *arguments[4:])


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
