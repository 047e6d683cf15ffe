#!/usr/bin/env python3
"""Reads the gadget's window off a screenshot, as a user would read it, and works
out what it should show.

- The texts of the labels are read by OCR (tesseract, French), each label's box
  cropped from the screenshot and scaled up; the panels' boxes stacked on one strip
  that tesseract reads at once, and a box that shows pixels read before in the same
  test not read again.
- The moon picture is compared pixel by pixel with the picture file it should show.
- The month calendar's cells are found from its navy grid lines and its one filled
  (selected) cell, so that a day can be clicked without knowing how the calendar
  lays out its month.
- What the panels should show for a selected date is worked out by
  expected_panels.py from the calendar itself, never from the program's code.
- The boxes are those of the table that the build writes from the window
  (SOLVANE_WINDOW_BOXES names it).

Screenshots are PPM files of the whole screen (`import -window root ppm:FILE`); the
window's position on the screen is given as its origin. Commands print what they
found; their exit status says whether the window shows what was expected.
"""

import argparse
import calendar
import datetime
import difflib
import hashlib
import json
import os
import re
import subprocess
import sys
import unicodedata
from pathlib import Path

from expected_panels import easter_sunday, holiday_text, moon_picture_number, name_day_list, name_day_position

# --- Where things are in the window (left, top, width, height) ----------------

class Boxes(dict):
    def __missing__(self, name):
        raise SystemExit(f"pas de boîte {name} : SOLVANE_WINDOW_BOXES nomme window_boxes.txt de la construction")


def read_boxes(path):
    """The boxes of the window's controls and of their parts, by name, from the table
    that the build writes and the shell scripts read too: "NAME LEFT TOP WIDTH HEIGHT"
    lines, # for comments."""
    boxes = Boxes()
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), start=1):
        fields = line.split("#", 1)[0].split()
        if not fields:
            continue
        if len(fields) != 5 or not all(field.isdigit() for field in fields[1:]):
            raise SystemExit(f"{path}, ligne {number} : ni « NOM GAUCHE HAUT LARGEUR HAUTEUR » ni un commentaire")
        boxes[fields[0]] = tuple(int(field) for field in fields[1:])
    return boxes


BOXES = read_boxes(Path(os.environ["SOLVANE_WINDOW_BOXES"])) if os.environ.get("SOLVANE_WINDOW_BOXES") else Boxes()

WINDOW_GREY = (176, 176, 176)
NAVY = (0, 0, 128)

# --- Screenshots ---------------------------------------------------------------

class Picture:
    """RGB pixels, row by row."""

    def __init__(self, width, height, pixels):
        self.width, self.height, self.pixels = width, height, pixels

    def pixel(self, x, y):
        at = (y * self.width + x) * 3
        return tuple(self.pixels[at:at + 3])

    def crop(self, left, top, width, height):
        rows = [self.pixels[((y * self.width) + left) * 3:((y * self.width) + left + width) * 3]
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


def read_screen(path):
    return parse_ppm(Path(path).read_bytes(), path)


def window_box(screen, origin, box):
    left, top, width, height = box
    return screen.crop(origin[0] + left, origin[1] + top, width, height)


def picture_file_pixels(path):
    """A picture file's pixels, laid on the window's grey where it is transparent."""
    grey = "rgb({},{},{})".format(*WINDOW_GREY)
    ppm = subprocess.run(["convert", str(path), "-background", grey, "-flatten",
                          "-depth", "8", "ppm:-"], check=True, capture_output=True).stdout
    return parse_ppm(ppm, path)


def near(a, b, tolerance):
    return all(abs(p - q) <= tolerance for p, q in zip(a, b))


# --- OCR -----------------------------------------------------------------------

# Each way of preparing a box for tesseract; the first suits the labels' small
# navy text on grey, the others are tried when it reads a text that does not match.
PREPARATIONS = [
    ["-colorspace", "Gray", "-resize", "400%"],
    ["-colorspace", "Gray", "-resize", "300%"],
    ["-colorspace", "Gray", "-resize", "400%", "-threshold", "55%"],
]


# What OCR read before, by the pixels it read and how they were prepared, shared by the
# commands of one test through the file SCREEN_READING_CACHE: a box that shows what it
# showed before is not read again (tesseract reads the same pixels the same way).
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
    environment = dict(os.environ, OMP_THREAD_LIMIT="1")
    result = subprocess.run(["tesseract", "stdin", "stdout", "-l", "fra", "--psm", page_mode],
                            input=prepared, capture_output=True, env=environment)
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
    """What OCR reads on each picture of one line of text: those not read so before in
    one run of tesseract, stacked on one strip (one start of tesseract instead of one
    a box); "" for those when the strip reads another number of lines than it holds."""
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
    text = unicodedata.normalize("NFKD", text.lower())
    return "".join(c for c in text if c.isalnum())


def read_matches(picture, expected, first=None):
    """(True, text) when OCR of the picture reads the expected text under some
    preparation, else (False, what was read first): FIRST, when given, is a reading
    of the picture on a strip, tried before the others."""
    for preparation in PREPARATIONS:
        if first is not None and normalised(first) == normalised(expected):
            return True, first
        text = ocr(picture, preparation)
        first = text if first is None else first
        if normalised(text) == normalised(expected):
            return True, text
    return False, first


# --- What the window should show for a date -----------------------------------

def expected_texts(date, folder):
    """(what, box, text) for every label that the panels write for the selected date."""
    year = date.year
    sentence = f"L'année {year} " + ("est bissextile." if calendar.isleap(year) else "n'est pas bissextile.")
    names = name_day_list(Path(folder) / "fetes.txt")
    position = name_day_position(date)
    name = names[position] if position < len(names) else ""
    return [
        ("la phrase de l'année bissextile", BOXES["Label34"], sentence),
        ("les lignes du jour de l'année et de la semaine", BOXES["day_and_week_line"],
         f"{date.timetuple().tm_yday} em jour de l'année   Semaine : {date.isocalendar()[1]}"),
        ("la fête", BOXES["Label32.line"], f"fête à souhaiter : {name}"),
        ("l'année en titre", BOXES["Label8"], str(year)),
        ("Pâques", BOXES["Label5"], holiday_text(easter_sunday(year), False)),
        ("Noël", BOXES["Label30.short"], holiday_text(datetime.date(year, 12, 25), True)),
    ]


def moon_picture_path(date, folder):
    return Path(folder) / f"{moon_picture_number(date.year, date.month, date.day)}.gif"


# --- The moon picture ------------------------------------------------------------

def box_shows_picture(screen, origin, box, picture, tolerance=8):
    """How many pixels of the picture differ from the box's top-left corner."""
    left, top = box[0], box[1]
    shown = window_box(screen, origin, (left, top, picture.width, picture.height))
    return sum(not near(shown.pixel(x, y), picture.pixel(x, y), tolerance)
               for y in range(picture.height) for x in range(picture.width))


def box_is_plain(screen, origin, box, colour, tolerance):
    shown = window_box(screen, origin, box)
    return sum(not near(shown.pixel(x, y), colour, tolerance)
               for y in range(shown.height) for x in range(shown.width))


# --- The month calendar ------------------------------------------------------------

def calendar_cells(screen, origin):
    """The calendar's day cells, row by row, as (left, top, right, bottom) in window
    pixels, found between its navy grid lines: the rows of days are the spaces
    between two horizontal lines (the day names and the title lie above the first),
    the columns the spaces between the vertical lines and the calendar's edges."""
    shown = window_box(screen, origin, BOXES["Cal1"])
    width, height = shown.width, shown.height

    def is_navy(x, y):
        return near(shown.pixel(x, y), NAVY, 16)

    horizontal = [y for y in range(height) if sum(is_navy(x, y) for x in range(width)) > 0.6 * width]
    vertical = [x for x in range(width) if sum(is_navy(x, y) for y in range(height)) > 0.5 * height]

    def spaces(lines, outer_edges, size):
        edges = sorted(set(lines))
        # A line may be drawn two pixels wide: merge neighbours.
        merged = []
        for edge in edges:
            if merged and edge - merged[-1][1] <= 1:
                merged[-1][1] = edge
            else:
                merged.append([edge, edge])
        bounds = [(-1, -1)] + [tuple(m) for m in merged] + [(size, size)] if outer_edges else merged
        return [(a[1] + 1, b[0] - 1) for a, b in zip(bounds, bounds[1:]) if b[0] - a[1] > 8]

    # The rows of days are the last six spaces: above them lie the day names and
    # the title, whose lines may or may not be drawn.
    rows = spaces(horizontal, False, height)[-6:]
    columns = spaces(vertical, True, width)
    if len(columns) != 7 or len(rows) != 6:
        raise SystemExit(f"grille du calendrier introuvable : {len(rows)} rangées de jours et {len(columns)} colonnes "
                         f"(lignes horizontales en {horizontal}, verticales en {vertical})")
    ox, oy = BOXES["Cal1"][:2]
    return [(ox + c[0], oy + r[0], ox + c[1], oy + r[1]) for r in rows for c in columns]


def selected_cell(screen, origin, cells):
    """The index of the one cell filled with the selection's navy."""
    filled = []
    for index, (left, top, right, bottom) in enumerate(cells):
        inside = [screen.pixel(origin[0] + x, origin[1] + y)
                  for y in range(top + 2, bottom - 1) for x in range(left + 2, right - 1)]
        if sum(near(p, NAVY, 16) for p in inside) > 0.6 * len(inside):
            filled.append(index)
    if len(filled) != 1:
        raise SystemExit(f"un jour choisi attendu dans le calendrier, {len(filled)} trouvés")
    return filled[0]


# --- Commands ------------------------------------------------------------------

def parse_date(text):
    return datetime.date.fromisoformat(text)


def command_panel(args):
    screen = read_screen(args.screen)
    origin = (args.x, args.y)
    date = parse_date(args.date)
    mismatches = []
    picture_path = moon_picture_path(date, args.folder)
    differing = box_shows_picture(screen, origin, BOXES["Image1"], picture_file_pixels(picture_path))
    if differing:
        mismatches.append(f"la case de la lune diffère de {picture_path.name} en {differing} pixels")
    texts = expected_texts(date, args.folder)
    pictures = [window_box(screen, origin, box) for _, box, _ in texts]
    # The strip first, while the moon shows the date: a screen still changing is not read.
    for (what, _, expected), picture, first in zip(texts, pictures, read_lines(pictures) if not mismatches else []):
        matched, read = read_matches(picture, expected, first)
        if not matched:
            mismatches.append(f"{what} : lu {read!r}, attendu {expected!r}")
            break  # the screen is still changing; look again at the next screenshot
    for line in mismatches:
        print(f"{date}: {line}")
    return 1 if mismatches else 0


def command_expected(args):
    date = parse_date(args.date)
    for what, box, text in expected_texts(date, args.folder):
        print(f"{what} {box} : {text}")
    print(f"image de la lune : {moon_picture_path(date, args.folder).name}")
    return 0


def command_moon_number(args):
    date = parse_date(args.date)
    print(moon_picture_number(date.year, date.month, date.day))
    return 0


def command_read(args):
    box = tuple(int(v) for v in args.box.split())
    print(ocr(window_box(read_screen(args.screen), (args.x, args.y), box)))
    return 0


def command_text(args):
    """Whether a box reads the expected text (the lenient comparison of the panels)."""
    box = tuple(int(v) for v in args.box.split())
    matched, read = read_matches(window_box(read_screen(args.screen), (args.x, args.y), box), args.expected)
    print(read)
    return 0 if matched else 1


def command_moon(args):
    box = tuple(int(v) for v in args.box.split())
    differing = box_shows_picture(read_screen(args.screen), (args.x, args.y), box, picture_file_pixels(args.picture))
    print(f"{differing} pixels diffèrent de {args.picture}")
    return 0 if differing == 0 else 1


def command_plain(args):
    box = tuple(int(v) for v in args.box.split())
    colour = tuple(int(v) for v in args.colour.split())
    differing = box_is_plain(read_screen(args.screen), (args.x, args.y), box, colour, args.tolerance)
    print(f"{differing} pixels ne sont pas {args.colour}")
    return 0 if differing == 0 else 1


def command_day_cell(args):
    """The centre of the cell of another day of the month shown, counted from the
    selected day's cell: days follow each other along the rows, seven to a row."""
    screen = read_screen(args.screen)
    origin = (args.x, args.y)
    cells = calendar_cells(screen, origin)
    index = selected_cell(screen, origin, cells) + args.day - args.selected_day
    if not 0 <= index < len(cells):
        raise SystemExit(f"le jour {args.day} tombe hors de la grille du calendrier")
    left, top, right, bottom = cells[index]
    print((left + right) // 2, (top + bottom) // 2)
    return 0


def command_selected_cell(args):
    screen = read_screen(args.screen)
    origin = (args.x, args.y)
    cells = calendar_cells(screen, origin)
    left, top, right, bottom = cells[selected_cell(screen, origin, cells)]
    print((left + right) // 2, (top + bottom) // 2)
    return 0


def command_says(args):
    """Whether a box of the screen (screen pixels) reads like a sentence: OCR of a
    block of text, close to it by difflib's ratio, and holding every required word."""
    box = tuple(int(v) for v in args.box.split())
    picture = read_screen(args.screen).crop(*box)
    for preparation in PREPARATIONS:
        read = ocr(picture, preparation, page_mode="6")
        ratio = difflib.SequenceMatcher(None, normalised(read), normalised(args.sentence)).ratio()
        words = all(normalised(word) in normalised(read) for word in args.required)
        print(f"lu {read!r} : ressemblance {ratio:.2f}, mots exigés {'présents' if words else 'absents'}")
        if words and ratio >= args.likeness:
            return 0
    return 1


def clock_time(text):
    """The seconds of the day of the "hh:mm:ss" that a clock line reads, or None."""
    found = re.search(r"(\d\d)\s*[:.]\s*(\d\d)\s*[:.]\s*(\d\d)", text)
    return None if not found else int(found[1]) * 3600 + int(found[2]) * 60 + int(found[3])


def command_clock_seconds(args):
    """Whether the clock line went from one second to the next, never skipping or
    repeating one: each frame of the folder (written by clock_watch, in order) is one
    change of the line. The frames are read together, stacked on one picture, and
    one by one when that reads too few times."""
    frames = [parse_ppm(path.read_bytes(), path) for path in sorted(Path(args.folder).glob("*.ppm"))]
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


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    commands = parser.add_subparsers(dest="command", required=True)

    def window_command(name, function, help_text):
        sub = commands.add_parser(name, help=help_text)
        sub.add_argument("screen", help="capture de tout l'écran, un fichier PPM")
        sub.add_argument("x", type=int, help="le bord gauche de la fenêtre à l'écran")
        sub.add_argument("y", type=int, help="le bord haut de la fenêtre à l'écran")
        sub.set_defaults(function=function)
        return sub

    sub = window_command("panel", command_panel, "les panneaux montrent ce qu'ils doivent pour DATE")
    sub.add_argument("date", help="la date choisie, AAAA-MM-JJ")
    sub.add_argument("folder", help="le dossier du programme, avec fetes.txt et les images de la lune")
    sub = window_command("read", command_read, "imprime le texte qu'OCR lit dans une case")
    sub.add_argument("box", help='« GAUCHE HAUT LARGEUR HAUTEUR » en pixels de la fenêtre')
    sub = window_command("text", command_text, "une case se lit comme le texte attendu")
    sub.add_argument("box", help='« GAUCHE HAUT LARGEUR HAUTEUR » en pixels de la fenêtre')
    sub.add_argument("expected")
    sub = window_command("moon", command_moon, "une case montre les pixels d'un fichier image")
    sub.add_argument("box", help='« GAUCHE HAUT LARGEUR HAUTEUR » en pixels de la fenêtre')
    sub.add_argument("picture")
    sub = window_command("plain", command_plain, "chaque pixel d'une case est proche d'une couleur")
    sub.add_argument("box", help='« GAUCHE HAUT LARGEUR HAUTEUR » en pixels de la fenêtre')
    sub.add_argument("colour", help='"R G B"')
    sub.add_argument("tolerance", type=int)
    sub = window_command("day-cell", command_day_cell, "imprime le point de la fenêtre de la case d'un jour")
    sub.add_argument("selected_day", type=int, help="le jour du mois choisi à présent")
    sub.add_argument("day", type=int, help="le jour du même mois à trouver")
    window_command("selected-cell", command_selected_cell, "imprime le point de la fenêtre de la case choisie")

    sub = commands.add_parser("says", help="une case de l'écran se lit comme une phrase")
    sub.add_argument("screen")
    sub.add_argument("box", help='« GAUCHE HAUT LARGEUR HAUTEUR » en pixels de l\'écran')
    sub.add_argument("sentence")
    sub.add_argument("likeness", type=float)
    sub.add_argument("required", nargs="*")
    sub.set_defaults(function=command_says)

    sub = commands.add_parser("expected", help="imprime ce que les panneaux doivent montrer pour DATE")
    sub.add_argument("date")
    sub.add_argument("folder")
    sub.set_defaults(function=command_expected)

    sub = commands.add_parser("clock-seconds", help="les images de l'horloge d'un dossier se suivent d'une seconde")
    sub.add_argument("folder", help="les images écrites par clock_watch")
    sub.set_defaults(function=command_clock_seconds)

    sub = commands.add_parser("moon-number", help="imprime le numéro de l'image de la lune de DATE")
    sub.add_argument("date")
    sub.set_defaults(function=command_moon_number)

    args = parser.parse_args()
    return args.function(args)


if __name__ == "__main__":
    sys.exit(main())
