#!/usr/bin/python3
"""Writes the small bitmaps of the skin tests (run from this folder; the output is committed).

shape.bmp   32 x 24, 4 bits: an outline with a narrow top, a full-width middle holding a white hole and a
            middle-width bottom; near-white edges test the key tolerance on real device bits.
normal.bmp  8 x 8, 4 bits, one colour: the normal image of buttons whose paint is checked.
hot.bmp     8 x 8, 4 bits, another colour: their hot image.
mono.bmp    16 x 16, 1 bit: loads as a monochrome bitmap, which the outline scan cannot read.
"""
import struct

WHITE, BODY, KEYISH, OPAQUEISH = 0, 1, 2, 3


def bmp(path, width, height, bits, palette, rows):
    """rows[y][x] are palette indices, y = 0 at the top."""
    stride = (width * bits + 31) // 32 * 4
    data = b""
    for row in reversed(rows):  # bottom-up
        acc, n, out = 0, 0, bytearray()
        for v in row:
            acc = (acc << bits) | v
            n += bits
            if n == 8:
                out.append(acc)
                acc, n = 0, 0
        if n:
            out.append(acc << (8 - n))
        data += bytes(out).ljust(stride, b"\0")
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    offset = 14 + 40 + len(pal)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(data), 2835, 2835, len(palette), 0)
    with open(path, "wb") as f:
        f.write(header + info + pal + data)


def shape():
    rows = []
    for y in range(24):
        row = [WHITE] * 32
        if y < 8:  # top: opaque 8..23; 4..7 within the key tolerance
            row[4:8] = [KEYISH] * 4
            row[8:24] = [BODY] * 16
        elif y < 16:  # middle: full width with a white hole
            row[0:32] = [BODY] * 32
            if 10 <= y < 14:
                row[12:20] = [WHITE] * 8
        else:  # bottom: opaque 4..27, and 2..3 just outside the tolerance in the blue byte
            row[2:4] = [OPAQUEISH] * 2
            row[4:28] = [BODY] * 24
        rows.append(row)
    return rows


palette = [(255, 255, 255), (30, 60, 90), (253, 253, 253), (255, 255, 252)]
bmp("shape.bmp", 32, 24, 4, palette, shape())
bmp("normal.bmp", 8, 8, 4, [(20, 40, 120)], [[0] * 8] * 8)
bmp("hot.bmp", 8, 8, 4, [(170, 30, 30)], [[0] * 8] * 8)
bmp("mono.bmp", 16, 16, 1, [(0, 0, 0), (255, 255, 255)], [[(x + y) % 2 for x in range(16)] for y in range(16)])
