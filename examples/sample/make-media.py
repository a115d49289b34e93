#!/usr/bin/env python3
# Writes the small pictures and the movie that sample.bwv shows: three
# 24-bit BMP drawings (32 x 32) and a one-frame uncompressed SWF of 320 x 240.
import struct


def bmp(name, draw):
    w = h = 32
    row = (w * 3 + 3) & ~3
    pixels = bytearray()
    for y in range(h - 1, -1, -1):  # bottom-up
        line = bytearray()
        for x in range(w):
            r, g, b = draw(x, y)
            line += bytes((b, g, r))
        pixels += line + bytes(row - len(line))
    header = struct.pack('<2sIHHI', b'BM', 54 + len(pixels), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(name, 'wb') as f:
        f.write(header + info + pixels)


def cup(x, y):
    if 8 <= x <= 22 and 12 <= y <= 26:
        return (250, 250, 245) if y > 13 else (120, 70, 30)
    if 23 <= x <= 26 and 15 <= y <= 21 and not (24 <= x <= 25 and 17 <= y <= 19):
        return (250, 250, 245)
    return (230, 240, 230)


def leaf(x, y):
    dx, dy = x - 16, y - 16
    if (dx * dx) / 100 + (dy * dy) / 36 <= 1 - abs(dx + dy) / 64:
        return (40, 140, 40) if abs(dx - dy) > 1 else (20, 90, 20)
    return (255, 255, 255)


def kettle(x, y):
    dx, dy = x - 15, y - 18
    if dx * dx + dy * dy <= 81:
        return (60, 60, 70)
    if 10 <= x <= 20 and 5 <= y <= 8:
        return (60, 60, 70)
    if 25 <= x <= 29 and 12 <= y <= 14:
        return (60, 60, 70)
    return (255, 250, 240)


def swf(name, width, height):
    # RECT: 5-bit count, then Xmin, Xmax, Ymin, Ymax of that many bits, in twips.
    nbits = 15
    fields = [0, width * 20, 0, height * 20]
    bits = format(nbits, '05b') + ''.join(format(v, '0%db' % nbits) for v in fields)
    bits += '0' * (-len(bits) % 8)
    rect = int(bits, 2).to_bytes(len(bits) // 8, 'big')
    body = rect + struct.pack('<HH', 12 << 8, 1) + struct.pack('<H', 1 << 6) + struct.pack('<H', 0)
    data = b'FWS' + bytes((6,)) + struct.pack('<I', 8 + len(body)) + body
    with open(name, 'wb') as f:
        f.write(data)


bmp('cup.bmp', cup)
bmp('leaf.bmp', leaf)
bmp('kettle.bmp', kettle)
swf('steep.swf', 320, 240)
