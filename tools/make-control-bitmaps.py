#!/usr/bin/env python3
"""Writes the small arrow bitmaps the flat controls load by name: 16-colour
BMP files in resources/controls. Run from the source tree's root."""
import struct

PALETTE = [(0, 0, 0), (255, 0, 255), (255, 255, 255)] + [(0, 0, 0)] * 13
BLACK, MAGENTA, WHITE = 0, 1, 2


def write_bmp(path, rows):
    """rows: top row first, each a list of palette indices."""
    h, w = len(rows), len(rows[0])
    stride = ((w * 4 + 31) // 32) * 4
    pixels = b""
    for row in reversed(rows):
        line = bytearray(stride)
        for x, v in enumerate(row):
            line[x // 2] |= v << (0 if x % 2 else 4)
        pixels += bytes(line)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 4, 0, len(pixels), 2835, 2835, 16, 0)
    offset = 14 + len(info) + len(palette)
    head = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    with open(path, "wb") as f:
        f.write(head + info + palette + pixels)


def picture(w, h, ground, ink):
    rows = [[ground] * w for _ in range(h)]
    for x, y in ink:
        rows[y][x] = BLACK
    return rows


def main():
    # The popup-menu arrow: a downward triangle, white around it.
    write_bmp("resources/controls/lbarrow.bmp",
              picture(5, 3, WHITE, [(x, 0) for x in range(5)] + [(x, 1) for x in range(1, 4)] + [(2, 2)]))
    # Scroller arrows, black on magenta (the bottom-left pixel is see-through).
    left = [(c, r) for c in range(2, 6) for r in range(4 - (c - 2), 5 + (c - 2))]
    write_bmp("resources/controls/levo.bmp", picture(7, 9, MAGENTA, left))
    write_bmp("resources/controls/desno.bmp", picture(7, 9, MAGENTA, [(6 - c, r) for c, r in left]))
    up = [(c, r) for r in range(1, 5) for c in range(5 - (r - 1), 6 + (r - 1))]
    write_bmp("resources/controls/gore.bmp", picture(11, 5, MAGENTA, [(c, r - 1) for c, r in up]))
    write_bmp("resources/controls/dole.bmp", picture(11, 5, MAGENTA, [(c, 4 - (r - 1)) for c, r in up]))


if __name__ == "__main__":
    main()
