"""Draws the application icon, 32 x 32 pixels with a 256-colour palette, and writes it as
src/ui/res/velmor.ico: a database cylinder with a green start arrow.

    python3 tools/make_icon.py
"""
import struct
from pathlib import Path

SIZE = 32
TRANSPARENT = 0
PALETTE = [
    (0, 0, 0),         # 0 transparent (masked)
    (20, 40, 90),      # 1 outline
    (50, 110, 200),    # 2 body
    (110, 170, 235),   # 3 top
    (30, 80, 160),     # 4 band
    (30, 150, 60),     # 5 arrow
    (240, 250, 240),   # 6 arrow edge
]


def draw():
    pixels = [[TRANSPARENT] * SIZE for _ in range(SIZE)]
    cx, rx, ry = 13.5, 11.5, 4.0
    top, bottom = 6, 25

    def in_ellipse(x, y, cy):
        return ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0

    for y in range(SIZE):
        for x in range(SIZE):
            px, py = x + 0.5, y + 0.5
            body = abs(px - cx) <= rx and top <= py <= bottom
            if body or in_ellipse(px, py, bottom):
                pixels[y][x] = 2
            if body and (abs(py - 13) < 0.8 or abs(py - 19) < 0.8):
                pixels[y][x] = 4
            if in_ellipse(px, py, top):
                pixels[y][x] = 3
    # Outline: a coloured pixel next to a transparent one.
    outline = [row[:] for row in pixels]
    for y in range(SIZE):
        for x in range(SIZE):
            if pixels[y][x] == TRANSPARENT:
                continue
            around = [pixels[j][i] if 0 <= i < SIZE and 0 <= j < SIZE else TRANSPARENT
                      for i, j in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1))]
            if TRANSPARENT in around:
                outline[y][x] = 1
    pixels = outline
    # The start arrow, bottom right.
    for y in range(16, 32):
        for x in range(18, 32):
            dx, dy = x - 19, y - 23.5
            if 0 <= dx <= 11 and abs(dy) <= 7.5 - dx * 0.68:
                edge = dx in (0, 11) or abs(dy) > 6.5 - dx * 0.68
                pixels[y][x] = 6 if edge else 5
    return pixels


def ico(pixels):
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE + [(0, 0, 0)] * (256 - len(PALETTE)))
    xor = b"".join(bytes(row) for row in reversed(pixels))
    mask_rows = []
    for row in reversed(pixels):
        bits = 0
        for x, value in enumerate(row):
            if value == TRANSPARENT:
                bits |= 1 << (31 - x)
        mask_rows.append(struct.pack(">I", bits))
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 8, 0, len(xor) + 4 * SIZE, 0, 0, 256, 0)
    image = header + palette + xor + b"".join(mask_rows)
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 8, len(image), 22)
    return directory + image


if __name__ == "__main__":
    target = Path(__file__).resolve().parents[1] / "src" / "ui" / "res" / "velmor.ico"
    target.write_bytes(ico(draw()))
    print(f"wrote {target} ({target.stat().st_size} bytes)")
