#!/usr/bin/env python3
"""Draws the pictures of the language resource libraries with Pillow.

    make_art.py OUTPUT_FOLDER

Writes the three icons of the status window (window icon, paused-job icon,
tips icon) as .ico files with 16, 18 and 32 pixel images in 32-bit colour,
and the frames of the step-by-step guides as 160 x 120 bitmaps with a
256-entry colour table (so that the picture control builds a palette for
them on 256-colour displays).
"""

import io
import os
import struct
import sys

from PIL import Image, ImageDraw

# --------------------------------------------------------------------------
# A small canvas: shapes are drawn at a higher resolution and averaged down,
# which gives smooth edges.


class Canvas:
    def __init__(self, width, height, scale=4, background=(0, 0, 0, 0)):
        self.w, self.h, self.s = width, height, scale
        self.image = Image.new("RGBA", (width * scale, height * scale), background)
        self.draw = ImageDraw.Draw(self.image)

    def _p(self, points):
        return [(x * self.s, y * self.s) for x, y in points]

    def polygon(self, points, colour):
        self.draw.polygon(self._p(points), fill=colour)

    def rect(self, x0, y0, x1, y1, colour):
        self.polygon([(x0, y0), (x1, y0), (x1, y1), (x0, y1)], colour)

    def ellipse(self, cx, cy, rx, ry, colour):
        self.draw.ellipse(self._p([(cx - rx, cy - ry), (cx + rx, cy + ry)]), fill=colour)

    def round_rect(self, x0, y0, x1, y1, r, colour):
        self.draw.rounded_rectangle(self._p([(x0, y0), (x1, y1)]), r * self.s, fill=colour)

    def line(self, x0, y0, x1, y1, width, colour):
        self.draw.line(self._p([(x0, y0), (x1, y1)]), fill=colour, width=max(1, round(width * self.s)))

    def arrow(self, x0, y0, x1, y1, width, colour):
        dx, dy = x1 - x0, y1 - y0
        length = (dx * dx + dy * dy) ** 0.5 or 1.0
        ux, uy = dx / length, dy / length
        head = width * 2.6
        bx, by = x1 - ux * head, y1 - uy * head
        self.line(x0, y0, bx, by, width, colour)
        self.polygon([(x1, y1), (bx - uy * head * 0.8, by + ux * head * 0.8),
                      (bx + uy * head * 0.8, by - ux * head * 0.8)], colour)

    def picture(self):
        """Averaged down to its real size; colours weighted by coverage."""
        return self.image.convert("RGBa").reduce(self.s).convert("RGBA")


# --------------------------------------------------------------------------
# Icons


def icon_image(size, draw):
    """One icon image: 40-byte header of twice the height, 32-bit colour
    rows bottom-up, then the 1-bit mask (set where mostly transparent)."""
    c = Canvas(size, size)
    draw(c, size / 32.0)
    picture = c.picture()
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = picture.tobytes("raw", ("BGRA", 0, -1))
    mask = picture.getchannel("A").point(lambda a: 255 if a < 128 else 0).convert("1")
    mask_stride = ((size + 31) // 32) * 4
    return header + colour + mask.tobytes("raw", ("1", mask_stride, -1))


def write_icon(path, draw, sizes=(16, 18, 32)):
    images = [(s, icon_image(s, draw)) for s in sizes]
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, img in images:
        data += struct.pack("<BBBBHHII", s % 256, s % 256, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    for _, img in images:
        data += img
    with open(path, "wb") as f:
        f.write(data)


def draw_printer_icon(c, k):
    # A desktop printer seen from the front: paper, body, tray, status lamp.
    c.rect(9 * k, 3 * k, 23 * k, 14 * k, (90, 90, 90))
    c.rect(10 * k, 4 * k, 22 * k, 14 * k, (255, 255, 255))
    for y in (7, 9.5, 12):
        c.rect(12 * k, y * k, 20 * k, (y + 1) * k, (150, 170, 210))
    c.round_rect(2 * k, 12 * k, 30 * k, 25 * k, 3 * k, (60, 64, 72))
    c.round_rect(3 * k, 13 * k, 29 * k, 24 * k, 2.5 * k, (176, 182, 192))
    c.rect(3 * k, 13 * k, 29 * k, 15.5 * k, (206, 210, 218))
    c.ellipse(25 * k, 18 * k, 1.8 * k, 1.8 * k, (40, 170, 70))
    c.rect(7 * k, 24 * k, 25 * k, 29 * k, (60, 64, 72))
    c.rect(8 * k, 24 * k, 24 * k, 28 * k, (238, 238, 238))


def draw_paused_icon(c, k):
    c.ellipse(16 * k, 16 * k, 15 * k, 15 * k, (150, 80, 0))
    c.ellipse(16 * k, 16 * k, 13.8 * k, 13.8 * k, (245, 160, 30))
    c.round_rect(10 * k, 8.5 * k, 14 * k, 23.5 * k, 1 * k, (255, 255, 255))
    c.round_rect(18 * k, 8.5 * k, 22 * k, 23.5 * k, 1 * k, (255, 255, 255))


def draw_tips_icon(c, k):
    # A light bulb: glass, glow lines, screw base.
    c.ellipse(16 * k, 12.5 * k, 10 * k, 10 * k, (170, 130, 0))
    c.ellipse(16 * k, 12.5 * k, 8.8 * k, 8.8 * k, (255, 222, 60))
    c.polygon([(10.5 * k, 18 * k), (21.5 * k, 18 * k), (19.5 * k, 23 * k), (12.5 * k, 23 * k)],
              (255, 222, 60))
    c.ellipse(13 * k, 9.5 * k, 2.6 * k, 3.4 * k, (255, 250, 210))
    c.rect(12 * k, 22.5 * k, 20 * k, 28 * k, (96, 100, 110))
    for y in (24, 26):
        c.rect(12 * k, y * k, 20 * k, (y + 0.9) * k, (190, 194, 204))
    c.rect(14 * k, 28 * k, 18 * k, 30 * k, (70, 72, 80))


# --------------------------------------------------------------------------
# Guide frames: 160 x 120, 8 bits per pixel, 256-entry colour table.


def guide_palette():
    pal = []
    for r in range(6):
        for g in range(6):
            for b in range(6):
                pal.append((r * 51, g * 51, b * 51))
    for i in range(40):
        v = round(i * 255 / 39)
        pal.append((v, v, v))
    return pal


def write_bitmap8(path, canvas):
    """The frame mapped to the fixed 256-colour table, as an 8-bit bitmap."""
    table = Image.new("P", (1, 1))
    table.putpalette([v for rgb in guide_palette() for v in rgb])
    picture = canvas.picture().convert("RGB").quantize(palette=table, dither=Image.Dither.NONE)
    out = io.BytesIO()
    picture.save(out, "BMP")
    with open(path, "wb") as f:
        f.write(out.getvalue())


BODY = (188, 192, 200)
BODY_DARK = (90, 94, 104)
COVER = (150, 156, 168)
PAPER = (255, 255, 255)
INK_BLACK = (30, 30, 34)
INK_COLOUR = (0, 150, 200)
ARROW = (220, 60, 30)
LAMP_ON = (40, 190, 70)
LAMP_OFF = (70, 80, 70)


def printer_scene(cover_open=False, cartridge="in", jam=False, lamp=True, arrow=None, hand_paper=False):
    """A printer in three-quarter view on a light background."""
    c = Canvas(160, 120, scale=3, background=(236, 240, 246, 255))
    c.rect(0, 100, 160, 120, (214, 220, 230))
    # paper support at the back
    c.polygon([(52, 30), (108, 30), (114, 50), (46, 50)], (120, 126, 138))
    c.polygon([(56, 14), (104, 14), (108, 48), (52, 48)], PAPER)
    # body
    c.round_rect(20, 46, 140, 96, 5, BODY_DARK)
    c.round_rect(22, 48, 138, 94, 4, BODY)
    c.rect(22, 84, 138, 94, (168, 172, 182))
    # output tray
    c.polygon([(40, 90), (120, 90), (128, 104), (32, 104)], BODY_DARK)
    c.polygon([(42, 91), (118, 91), (125, 102), (35, 102)], (226, 228, 234))
    # power lamp
    c.ellipse(128, 88, 3, 3, LAMP_ON if lamp else LAMP_OFF)
    if cover_open:
        # the cover swings up and shows the carriage
        c.rect(30, 56, 130, 72, (60, 64, 74))
        c.rect(34, 62, 126, 65, (130, 136, 146))
        c.polygon([(24, 50), (136, 50), (130, 22), (30, 22)], BODY_DARK)
        c.polygon([(26, 49), (134, 49), (128, 24), (32, 24)], COVER)
        if cartridge in ("in", "up"):
            dy = -20 if cartridge == "up" else 0
            c.rect(62, 52 + dy, 76, 70 + dy, INK_BLACK)
            c.rect(80, 52 + dy, 98, 70 + dy, INK_COLOUR)
            c.rect(64, 54 + dy, 74, 57 + dy, (120, 120, 130))
            c.rect(82, 54 + dy, 96, 57 + dy, (150, 220, 240))
        if jam:
            c.polygon([(40, 58), (92, 54), (96, 68), (44, 72)], PAPER)
            c.line(48, 62, 88, 59, 1.2, (170, 170, 180))
    else:
        c.rect(22, 48, 138, 56, COVER)
        c.rect(22, 56, 138, 57, BODY_DARK)
        if jam:
            c.polygon([(50, 88), (110, 88), (112, 96), (48, 96)], PAPER)
            c.line(56, 92, 104, 92, 1.2, (170, 170, 180))
    if hand_paper:
        c.polygon([(64, 20), (100, 16), (112, 36), (70, 42)], PAPER)
        c.line(70, 26, 100, 22, 1.2, (170, 170, 180))
    if arrow is not None:
        c.arrow(*arrow, 4, ARROW)
    return c


GUIDE_FRAMES = [
    # ink cartridge guide
    (701, dict(cover_open=False)),
    (702, dict(cover_open=True, cartridge="in", arrow=(146, 60, 146, 26))),
    (703, dict(cover_open=True, cartridge="in")),
    (704, dict(cover_open=True, cartridge="up", arrow=(70, 30, 70, 6))),
    (705, dict(cover_open=True, cartridge="up", arrow=(70, 8, 70, 42))),
    (706, dict(cover_open=True, cartridge="in")),
    (707, dict(cover_open=True, cartridge="in", arrow=(146, 26, 146, 60))),
    (708, dict(cover_open=False)),
    # paper jam guide
    (711, dict(jam=True, lamp=True)),
    (712, dict(jam=True, lamp=False)),
    (713, dict(cover_open=True, cartridge="in", jam=True, lamp=False)),
    (714, dict(cover_open=True, cartridge="in", jam=True, lamp=False, arrow=(60, 66, 10, 66))),
    (715, dict(cover_open=False, lamp=False, hand_paper=True, arrow=(130, 10, 112, 28))),
    (716, dict(cover_open=False, lamp=True)),
]


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_art.py OUTPUT_FOLDER")
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    write_icon(os.path.join(out, "status_window.ico"), draw_printer_icon)
    write_icon(os.path.join(out, "job_paused.ico"), draw_paused_icon)
    write_icon(os.path.join(out, "tips.ico"), draw_tips_icon)
    for number, scene in GUIDE_FRAMES:
        write_bitmap8(os.path.join(out, "guide_%d.bmp" % number), printer_scene(**scene))


if __name__ == "__main__":
    main()
