#!/usr/bin/env python3
# Draws the three pictures that generated component help shows in its member
# lists: runtime.bmp (run-time only), key.bmp (key member) and protect.bmp
# (protected member). Each is a 16 x 16 BMP with 16 colours, the standard
# VGA palette, white background. Run it in this folder; the results are
# committed beside it.
import struct

# The 16 colours in palette order: black, maroon, green, olive, navy,
# purple, teal, silver, grey, red, lime, yellow, blue, fuchsia, aqua, white.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
# One letter a colour in the drawings below.
LETTERS = {'K': 0, 'm': 1, 'g': 2, 'o': 3, 'n': 4, 'p': 5, 't': 6, 's': 7,
           'G': 8, 'r': 9, 'l': 10, 'y': 11, 'b': 12, 'f': 13, 'a': 14, '.': 15}

# A stopwatch: run-time only.
RUNTIME = """
................
......KKKK......
.......KK.......
.....KKKKKK.....
....K......K....
...K...K....K...
..K....K.....K..
..K....K.....K..
..K....KKKK..K..
..K..........K..
..K..........K..
...K........K...
....K......K....
.....KKKKKK.....
................
................
"""

# A key: key member.
KEY = """
................
................
..ooo...........
.oyyyo..........
oyy.yyo.........
oy...yo.........
oyy.yyoooooooooo
.oyyyyyyyyyyyyyo
..oooooooyoooyo.
.........yo..yo.
.........oo..oo.
................
................
................
................
................
"""

# A padlock: protected member.
PROTECT = """
................
.....GGGGGG.....
....G......G....
...G........G...
...G........G...
...G........G...
...G........G...
.ooooooooooooooo
.oyyyyyyyyyyyyyo
.oyyyyyKKyyyyyyo
.oyyyyKKKKyyyyyo
.oyyyyyKKyyyyyyo
.oyyyyyKKyyyyyyo
.oyyyyyyyyyyyyyo
.ooooooooooooooo
................
"""


def bmp(name, drawing):
    rows = [line for line in drawing.strip('\n').split('\n')]
    assert len(rows) == 16 and all(len(r) == 16 for r in rows), name
    width = height = 16
    stride = ((width * 4 + 31) // 32) * 4
    pixels = bytearray()
    for row in reversed(rows):  # bottom-up
        line = bytearray()
        for x in range(0, width, 2):
            line.append(LETTERS[row[x]] << 4 | LETTERS[row[x + 1]])
        pixels += line + bytes(stride - len(line))
    palette = b''.join(bytes((b, g, r, 0)) for r, g, b in PALETTE)
    offset = 14 + 40 + len(palette)
    header = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 4, 0, len(pixels), 2835, 2835,
                       16, 0)
    with open(name, 'wb') as f:
        f.write(header + info + palette + pixels)


bmp('runtime.bmp', RUNTIME)
bmp('key.bmp', KEY)
bmp('protect.bmp', PROTECT)
