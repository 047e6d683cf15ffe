#!/usr/bin/env python3
"""Writes the odd data files that the bad-input tests put beside the program.

    damaged_files.py gif WIDTH HEIGHT RRGGBB OUT     a GIF of one colour, of any size
    damaged_files.py png WIDTH HEIGHT RRGGBB OUT     a PNG of one colour
    damaged_files.py random SIZE SEED OUT            SIZE bytes drawn from a seeded generator

A one-colour GIF of 10,000 x 10,000 pixels is only some 40 kB: its LZW codes are
written run by run, never pixel by pixel, so the file takes a moment to write while a
reader that decodes it has a hundred million pixels to produce.
"""

import random
import struct
import sys
import zlib

# LZW of GIF pictures (GIF89a, appendix F), with two bits per pixel: codes 0-3 are
# the colours, 4 clears the table, 5 ends the data, and new codes start at 6.
MIN_CODE_SIZE = 2
CLEAR, END = 4, 5
FIRST_FREE = 6
LARGEST_CODE = 4095


class CodeWriter:
    """Packs codes of varying width, lowest bit first, as GIF wants them."""

    def __init__(self):
        self.bits = 0
        self.count = 0
        self.out = bytearray()

    def put(self, code, width):
        self.bits |= code << self.count
        self.count += width
        while self.count >= 8:
            self.out.append(self.bits & 0xFF)
            self.bits >>= 8
            self.count -= 8

    def finish(self):
        if self.count:
            self.out.append(self.bits & 0xFF)
        return bytes(self.out)


def one_colour_codes(pixels):
    """The LZW data of `pixels` pixels of colour 0.

    On a run of one colour the encoder's table grows by runs one pixel longer each
    time: the first code is the colour (1 pixel), then code 6 (2 pixels), code 7
    (3 pixels) and so on, each the code that the decoder is about to define. When
    the table is full the writer clears it and starts again; the last, shorter run
    uses a code the table already has.
    """
    writer = CodeWriter()
    width = MIN_CODE_SIZE + 1
    writer.put(CLEAR, width)
    left = pixels
    while left:
        width, next_code, run = MIN_CODE_SIZE + 1, FIRST_FREE, 1
        first = True
        while left and next_code <= LARGEST_CODE:
            run = min(run, left)
            writer.put(0 if run == 1 else FIRST_FREE - 2 + run, width)
            left -= run
            run += 1
            # The decoder defines one code for every code after the first, and
            # widens its codes once the next one no longer fits.
            if not first:
                next_code += 1
                if next_code == 1 << width and width < 12:
                    width += 1
            first = False
        if left:
            writer.put(CLEAR, width)
    writer.put(END, width)
    return writer.finish()


def gif(width, height, colour):
    header = b"GIF89a" + struct.pack("<HHBBB", width, height, 0x81, 0, 0)  # 4-colour table
    table = colour + b"\x00" * 9
    descriptor = b"," + struct.pack("<HHHHB", 0, 0, width, height, 0)
    data = one_colour_codes(width * height)
    blocks = b"".join(bytes([len(data[i:i + 255])]) + data[i:i + 255] for i in range(0, len(data), 255))
    return header + table + descriptor + bytes([MIN_CODE_SIZE]) + blocks + b"\x00;"


def png(width, height, colour):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
    rows = (b"\x00" + colour * width) * height
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


def main(argv):
    if len(argv) == 6 and argv[1] in ("gif", "png"):
        width, height, colour = int(argv[2]), int(argv[3]), bytes.fromhex(argv[4])
        data = (gif if argv[1] == "gif" else png)(width, height, colour)
        out = argv[5]
    elif len(argv) == 5 and argv[1] == "random":
        data = random.Random(int(argv[3])).randbytes(int(argv[2]))
        out = argv[4]
    else:
        print(__doc__, file=sys.stderr)
        return 2
    with open(out, "wb") as file:
        file.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
