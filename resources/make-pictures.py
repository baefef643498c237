#!/usr/bin/env python3
"""Draws the program's pictures and writes them as Windows bitmap and icon files.

    make-pictures.py OUTPUT_FOLDER

intro.bmp (110 x 84): the appliance with an upgrade arrow, for the introduction dialog.
about.bmp (280 x 127): a banner with the appliance, a network line and the desk computer.
program.ico (32 x 32 and 16 x 16): the upgrade arrow on the appliance's face.
"""
import struct
import sys
from pathlib import Path

NAVY = (24, 44, 92)
STEEL = (120, 134, 156)
PANEL = (196, 204, 216)
DARK = (40, 44, 52)
GREEN = (60, 200, 90)
AMBER = (240, 170, 40)
WHITE = (250, 250, 250)
SKY_TOP = (70, 120, 200)
SKY_BOTTOM = (210, 226, 246)
ARROW = (30, 160, 70)


class Canvas:
    def __init__(self, width, height, colour=WHITE):
        self.width = width
        self.height = height
        self.pixels = [[colour] * width for _ in range(height)]
        self.opaque = [[True] * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour
            self.opaque[y][x] = True

    def rect(self, left, top, width, height, colour):
        for y in range(top, top + height):
            for x in range(left, left + width):
                self.put(x, y, colour)

    def frame(self, left, top, width, height, colour):
        for x in range(left, left + width):
            self.put(x, top, colour)
            self.put(x, top + height - 1, colour)
        for y in range(top, top + height):
            self.put(left, y, colour)
            self.put(left + width - 1, y, colour)

    def disc(self, cx, cy, radius, colour):
        for y in range(cy - radius, cy + radius + 1):
            for x in range(cx - radius, cx + radius + 1):
                if (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius:
                    self.put(x, y, colour)

    def vertical_gradient(self, top_colour, bottom_colour):
        for y in range(self.height):
            t = y / max(1, self.height - 1)
            colour = tuple(round(a + (b - a) * t) for a, b in zip(top_colour, bottom_colour))
            for x in range(self.width):
                self.pixels[y][x] = colour

    def up_arrow(self, cx, top, size, colour):
        """An arrow pointing up: a triangle head of height size/2 over a shaft."""
        head = size // 2
        for row in range(head):
            half = row * size // (2 * head) if head else 0
            for x in range(cx - half, cx + half + 1):
                self.put(x, top + row, colour)
        shaft = max(1, size // 6)
        self.rect(cx - shaft, top + head, 2 * shaft + 1, size - head, colour)

    def clear(self):
        self.opaque = [[False] * self.width for _ in range(self.height)]


def appliance(canvas, left, top, width, height):
    """The appliance: a rack box with a face panel, status lights and vents."""
    canvas.rect(left, top, width, height, STEEL)
    canvas.frame(left, top, width, height, DARK)
    canvas.rect(left + 3, top + 3, width - 6, height - 6, PANEL)
    lights = [GREEN, GREEN, AMBER]
    for index, colour in enumerate(lights):
        canvas.disc(left + 8 + index * 8, top + height // 2, 2, colour)
    for x in range(left + width // 2, left + width - 6, 4):
        canvas.rect(x, top + 6, 2, height - 12, STEEL)


def intro_picture():
    canvas = Canvas(110, 84)
    canvas.vertical_gradient(SKY_TOP, SKY_BOTTOM)
    appliance(canvas, 10, 52, 90, 22)
    canvas.up_arrow(55, 8, 40, ARROW)
    return canvas


def about_picture():
    canvas = Canvas(280, 127)
    canvas.vertical_gradient(NAVY, SKY_TOP)
    appliance(canvas, 20, 70, 110, 26)
    # The desk computer: a screen on a stand.
    canvas.rect(190, 52, 64, 44, DARK)
    canvas.rect(194, 56, 56, 36, SKY_BOTTOM)
    canvas.rect(216, 96, 12, 8, DARK)
    canvas.rect(204, 104, 36, 4, DARK)
    # The network between them.
    canvas.rect(130, 82, 60, 3, WHITE)
    for x in range(136, 186, 10):
        canvas.disc(x, 83, 2, AMBER)
    canvas.up_arrow(75, 14, 48, GREEN)
    canvas.up_arrow(222, 60, 26, ARROW)
    return canvas


def icon_picture(size):
    canvas = Canvas(size, size)
    canvas.clear()
    canvas.rect(1, size // 2, size - 2, size // 2 - 1, STEEL)
    canvas.frame(1, size // 2, size - 2, size // 2 - 1, DARK)
    canvas.disc(size // 5, size * 3 // 4, max(1, size // 16), GREEN)
    canvas.up_arrow(size // 2, 1, size * 3 // 4, ARROW)
    return canvas


def bitmap_rows(canvas):
    """24-bit rows bottom-up, each padded to four bytes."""
    padding = (4 - canvas.width * 3 % 4) % 4
    rows = []
    for y in reversed(range(canvas.height)):
        row = b"".join(bytes((b, g, r)) for r, g, b in canvas.pixels[y])
        rows.append(row + b"\0" * padding)
    return b"".join(rows)


def bmp_file(canvas):
    pixels = bitmap_rows(canvas)
    info = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height, 1, 24, 0, len(pixels),
                       2835, 2835, 0, 0)
    offset = 14 + len(info)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info + pixels


def icon_image(canvas):
    """One icon image: a 32-bit colour part with alpha and the 1-bit AND mask."""
    colour = []
    for y in reversed(range(canvas.height)):
        for x in range(canvas.width):
            r, g, b = canvas.pixels[y][x]
            alpha = 255 if canvas.opaque[y][x] else 0
            colour.append(bytes((b, g, r, alpha)))
    mask_stride = ((canvas.width + 31) // 32) * 4
    mask = bytearray()
    for y in reversed(range(canvas.height)):
        row = bytearray(mask_stride)
        for x in range(canvas.width):
            if not canvas.opaque[y][x]:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    info = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height * 2, 1, 32, 0,
                       len(colour) * 4 + len(mask), 0, 0, 0, 0)
    return info + b"".join(colour) + bytes(mask)


def ico_file(canvases):
    images = [icon_image(canvas) for canvas in canvases]
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    entries = b""
    for canvas, image in zip(canvases, images):
        entries += struct.pack("<BBBBHHII", canvas.width, canvas.height, 0, 0, 1, 32, len(image),
                               offset)
        offset += len(image)
    return header + entries + b"".join(images)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make-pictures.py OUTPUT_FOLDER")
    folder = Path(sys.argv[1])
    folder.mkdir(parents=True, exist_ok=True)
    (folder / "intro.bmp").write_bytes(bmp_file(intro_picture()))
    (folder / "about.bmp").write_bytes(bmp_file(about_picture()))
    (folder / "program.ico").write_bytes(ico_file([icon_picture(32), icon_picture(16)]))


if __name__ == "__main__":
    main()
