#!/usr/bin/env python3
"""Reads the gadget's window off a grab of the screen, as a user would read it: the
window driver's (window_driver.sh) reading half.

- Texts are read by OCR (tesseract, French), each box cropped and scaled up; boxes
  of one line stacked on one strip that tesseract reads at once, and pixels read
  before in the same test (SCREEN_READING_CACHE) not read again.
- Pictures are compared pixel by pixel with the file they should show.
- The month calendar's cells are found from its navy grid lines and its one filled
  (selected) cell, so that a day can be clicked without knowing how it lays out.

    window_reading.py COMMAND SCREEN X Y ARGUMENT...

SCREEN is a PPM grab of the whole screen (`import -window root ppm:FILE`), (X, Y) the
window's origin on it; a box is "LEFT TOP WIDTH HEIGHT" in window pixels, from the
table that the build writes (SOLVANE_WINDOW_BOXES). A command prints what it found;
its status says whether the window shows what was expected.
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
    """The boxes of the window's controls and of their parts, by name: the lines
    "NAME LEFT TOP WIDTH HEIGHT" of the table, # for comments."""
    boxes = {}
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), start=1):
        fields = line.split("#", 1)[0].split()
        if fields and (len(fields) != 5 or not all(field.isdigit() for field in fields[1:])):
            raise SystemExit(f"{path}, ligne {number} : ni « NOM GAUCHE HAUT LARGEUR HAUTEUR » ni un commentaire")
        if fields:
            boxes[fields[0]] = tuple(int(field) for field in fields[1:])
    return boxes


BOXES = read_boxes(Path(os.environ["SOLVANE_WINDOW_BOXES"])) if os.environ.get("SOLVANE_WINDOW_BOXES") else {}
WINDOW_GREY = (176, 176, 176)
NAVY = (0, 0, 128)


class Picture:
    """RGB pixels, row by row."""

    def __init__(self, width, height, pixels):
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
    """A binary 8-bit PPM (P6) as a Picture."""
    fields, at = [], 0
    while len(fields) < 4:
        while data[at:at + 1].isspace():
            at += 1
        if data[at:at + 1] == b"#":
            at = data.index(b"\n", at) + 1
            continue
        end = at
        while end < len(data) and not data[end:end + 1].isspace():
            end += 1
        fields.append(data[at:end])
        at = end
    if fields[0] != b"P6" or int(fields[3]) != 255:
        raise SystemExit(f"{name} : pas une image PPM binaire de 8 bits")
    width, height = int(fields[1]), int(fields[2])
    return Picture(width, height, data[at + 1:at + 1 + width * height * 3])


def picture_file_pixels(path):
    """A picture file's pixels, laid on the window's grey where it is transparent."""
    ppm = subprocess.run(["convert", str(path), "-background", "rgb({},{},{})".format(*WINDOW_GREY), "-flatten",
                          "-depth", "8", "ppm:-"], check=True, capture_output=True).stdout
    return parse_ppm(ppm, path)


def near(a, b, tolerance):
    return all(abs(p - q) <= tolerance for p, q in zip(a, b))


def differing_pixels(picture, expected, tolerance):
    """How many pixels of the picture are not near the expected colour, or the pixel
    of the expected picture at the same place."""
    return sum(not near(picture.pixel(x, y), expected if isinstance(expected, tuple) else expected.pixel(x, y), tolerance)
               for y in range(picture.height) for x in range(picture.width))


# --- OCR -----------------------------------------------------------------------

# Each way of preparing a box for tesseract; the first suits the labels' small navy
# text on grey, the others are tried when it reads a text that does not match, and a
# line is also read as a block in colour.
PREPARATIONS = [
    ["-colorspace", "Gray", "-resize", "400%"],
    ["-colorspace", "Gray", "-resize", "300%"],
    ["-colorspace", "Gray", "-resize", "400%", "-threshold", "55%"],
]
LINE_READINGS = [(preparation, "7") for preparation in PREPARATIONS] + [(["-resize", "400%"], "6")]

# What OCR read before, by the pixels it read and how, shared by the commands of one
# test through the file SCREEN_READING_CACHE: tesseract reads the same pixels the same way.
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
    """The pictures one above the other on the window's grey, left-aligned, GAP rows
    of grey around each, so that OCR reads them as lines of one block."""
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
    """What OCR reads on each picture of one line of text: those not read so before,
    stacked on one strip (one start of tesseract instead of one a box); "" for those
    when the strip reads another number of lines than it holds."""
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
    """What is left of a text for a lenient comparison: its letters and digits, in
    lower case and without accents. Blanks, punctuation and the stray bars that a
    frame's edge turns into are what OCR gets wrong most; every number and every
    word still has to match."""
    return "".join(c for c in unicodedata.normalize("NFKD", text.lower()) if c.isalnum())


def blanks_collapsed(text):
    """The text to the character, but for how many blanks and line ends stand between words."""
    return " ".join(text.split())


def read_matches(picture, expected, first=None, same=normalised):
    """(True, text) when OCR of the picture reads the expected text under some
    preparation, else (False, what was read first): FIRST, when given, is a reading
    of the picture on a strip, tried before the others; SAME says which texts match."""
    for preparation, page_mode in LINE_READINGS:
        if first is not None and same(first) == same(expected):
            return True, first
        text = ocr(picture, preparation, page_mode)
        first = text if first is None else first
        if same(text) == same(expected):
            return True, text
    return False, first


# --- The month calendar ------------------------------------------------------------

def calendar_cells(window):
    """The calendar's day cells, row by row, as (left, top, right, bottom) in window
    pixels, found between its navy grid lines: the rows of days are the last six
    spaces between two horizontal lines (the day names and the title lie above, their
    lines drawn or not), the columns the spaces between the vertical lines and the
    calendar's edges."""
    shown = window(BOXES["Cal1"])
    width, height = shown.width, shown.height

    def is_navy(x, y):
        return near(shown.pixel(x, y), NAVY, 16)

    horizontal = [y for y in range(height) if sum(is_navy(x, y) for x in range(width)) > 0.6 * width]
    vertical = [x for x in range(width) if sum(is_navy(x, y) for y in range(height)) > 0.5 * height]

    def spaces(lines, outer_edges, size):
        merged = []  # a line may be drawn two pixels wide
        for edge in sorted(set(lines)):
            if merged and edge - merged[-1][1] <= 1:
                merged[-1][1] = edge
            else:
                merged.append([edge, edge])
        bounds = [(-1, -1)] + [tuple(m) for m in merged] + [(size, size)] if outer_edges else merged
        return [(a[1] + 1, b[0] - 1) for a, b in zip(bounds, bounds[1:]) if b[0] - a[1] > 8]

    rows, columns = spaces(horizontal, False, height)[-6:], spaces(vertical, True, width)
    if len(columns) != 7 or len(rows) != 6:
        raise SystemExit(f"grille du calendrier introuvable : {len(rows)} rangées de jours et {len(columns)} colonnes "
                         f"(lignes horizontales en {horizontal}, verticales en {vertical})")
    ox, oy = BOXES["Cal1"][:2]
    return [(ox + c[0], oy + r[0], ox + c[1], oy + r[1]) for r in rows for c in columns]


def selected_cell(window, cells):
    """The index of the one cell filled with the selection's navy."""
    filled = []
    for index, (left, top, right, bottom) in enumerate(cells):
        inside = window((left + 2, top + 2, right - left - 3, bottom - top - 3))
        if inside.width * inside.height - differing_pixels(inside, NAVY, 16) > 0.6 * inside.width * inside.height:
            filled.append(index)
    if len(filled) != 1:
        raise SystemExit(f"un jour choisi attendu dans le calendrier, {len(filled)} trouvés")
    return filled[0]


def cell_centre(cell):
    left, top, right, bottom = cell
    return f"{(left + right) // 2} {(top + bottom) // 2}"


# --- Commands: each takes the window (a function from a box to its Picture) ------------

def box_of(text):
    return tuple(int(v) for v in text.split())


def command_read(window, box):
    """Prints what OCR reads in a box."""
    print(ocr(window(box_of(box))))
    return 0


def command_text(window, box, expected, how=""):
    """A box reads the expected text: letters and digits alike ("", the lenient
    comparison), or every character alike but the blanks between words ("exact")."""
    matched, read = read_matches(window(box_of(box)), expected, same=blanks_collapsed if how == "exact" else normalised)
    print(read)
    return 0 if matched else 1


def command_picture(window, box, path):
    """The box's top-left corner shows the picture file's pixels."""
    picture = picture_file_pixels(path)
    left, top = box_of(box)[:2]
    differing = differing_pixels(window((left, top, picture.width, picture.height)), picture, 8)
    print(f"{differing} pixels diffèrent de {path}")
    return 0 if differing == 0 else 1


def command_plain(window, box, colour, tolerance):
    """Every pixel of the box is near a colour, "R G B"."""
    differing = differing_pixels(window(box_of(box)), box_of(colour), int(tolerance))
    print(f"{differing} pixels ne sont pas {colour}")
    return 0 if differing == 0 else 1


def command_day_cell(window, selected_day, day):
    """Prints the window point of the cell of another day of the month shown, counted
    from the selected day's cell: days follow each other along the rows, seven to a row."""
    cells = calendar_cells(window)
    index = selected_cell(window, cells) + int(day) - int(selected_day)
    if not 0 <= index < len(cells):
        raise SystemExit(f"le jour {day} tombe hors de la grille du calendrier")
    print(cell_centre(cells[index]))
    return 0


def command_selected_cell(window):
    """Prints the window point of the selected day's cell."""
    cells = calendar_cells(window)
    print(cell_centre(cells[selected_cell(window, cells)]))
    return 0


def command_says(window, box, sentence, likeness, *words):
    """A box reads like a sentence: OCR of a block of text, close to it by difflib's
    ratio, and holding every word."""
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
    """The clock line went from one second to the next, never skipping or repeating
    one: each frame of FOLDER (written by clock_watch, in order) is one change of the
    line. The frames are read stacked on one picture, one by one when that reads too few."""
    frames = [parse_ppm(path.read_bytes(), path) for path in sorted(Path(folder).glob("*.ppm"))]
    if len(frames) < 2:
        raise SystemExit(f"{len(frames)} images de l'horloge : rien à comparer")
    times = [clock_time(line) for line in ocr(stacked(frames), page_mode="6").splitlines()
             if clock_time(line) is not None]
    if len(times) != len(frames):
        times = [clock_time(ocr(frame)) for frame in frames]
    problems = []
    for index, (before, after) in enumerate(zip(times, times[1:]), start=1):
        if before is None or after is None:
            problems.append(f"image {index - 1 if before is None else index} : aucune heure lue")
        elif (after - before) % 86400 != 1:
            problems.append(f"image {index} : {after - before:+d} s après l'image d'avant")
    first = "%02d:%02d:%02d" % (times[0] // 3600, times[0] // 60 % 60, times[0] % 60) if times[0] is not None else "?"
    print(f"{len(frames)} changements de la ligne de l'horloge depuis {first}" + "".join(f" ; {p}" for p in problems))
    return 1 if problems else 0


COMMANDS = {"read": command_read, "text": command_text, "picture": command_picture, "plain": command_plain,
            "day-cell": command_day_cell, "selected-cell": command_selected_cell, "says": command_says}


def window_of(screen_path, x, y):
    """The function from a box of the window to the Picture that the grab shows there."""
    screen = parse_ppm(Path(screen_path).read_bytes(), screen_path)
    return lambda box: screen.crop(int(x) + box[0], int(y) + box[1], box[2], box[3])


def main(arguments, commands=COMMANDS):
    if len(arguments) == 2 and arguments[0] == "clock-seconds":
        return clock_seconds(arguments[1])
    if len(arguments) < 4 or arguments[0] not in commands:
        raise SystemExit(f"usage : {Path(sys.argv[0]).name} {'|'.join(commands)} ÉCRAN X Y ARGUMENT… "
                         "ou clock-seconds DOSSIER")
    return commands[arguments[0]](window_of(*arguments[1:4]), *arguments[4:])


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
