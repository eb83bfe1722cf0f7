#!/usr/bin/env python3
"""Draws the picture library's printer pictures from pictures.txt.

usage: make_pictures.py pictures.txt OUTDIR

Writes OUTDIR/p<id>.bmp for every line of the scene list and OUTDIR/
pictures.rc naming them as bitmap resources. Every picture is the same ink-jet
printer, seen from the front, in one state; the words after the size and the
header kind choose what is drawn (see SCENE WORDS below)."""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from bmp8 import Canvas, bmp_bytes, gradient, hex_colour  # noqa: E402

DESIGN_W, DESIGN_H = 109.0, 86.0  # every scene is drawn in these units, then scaled

C = {name: hex_colour(value) for name, value in {
    "white": "ffffff", "outline": "6f7782", "body_top": "f4f5f7", "body_bottom": "c2c7cf",
    "cover_top": "fbfcfd", "cover_bottom": "dde1e7", "seam": "9aa1ab", "slot": "353a42",
    "tray_top": "d3d8de", "tray_bottom": "a9b0ba", "base": "8f96a1", "feeder_top": "dfe3e9",
    "feeder_bottom": "b7bdc7", "paper_edge": "c9ccd1", "cavity": "474d57", "carriage": "6b7280",
    "rail": "2b2f36", "black_ink": "1d1f23", "cyan": "14a3dc", "light_cyan": "8fd6f3",
    "magenta": "d4187a", "light_magenta": "f39cc9", "yellow": "f4cf16", "green": "2fc24a",
    "orange": "f08a24", "red": "e0262b", "lamp_off": "6a707a", "panel": "8a929d",
    "button": "e9ecf0", "warn": "ffcc00", "warn_edge": "7a5a00", "query": "2f66d0",
    "shadow": "000000", "dim": "d5d8dd", "print_k": "3a3d44", "print_c": "2aa4d8",
    "print_m": "d23b86", "print_y": "e9c21c",
}.items()}

CARTRIDGES = [("black_ink", 7.0), ("cyan", 3.6), ("light_cyan", 3.6), ("magenta", 3.6),
              ("light_magenta", 3.6), ("yellow", 3.6)]


class Scaled:
    """A canvas addressed in design units."""

    def __init__(self, canvas):
        self.c = canvas
        self.kx, self.ky = canvas.width / DESIGN_W, canvas.height / DESIGN_H

    def p(self, pts):
        return [(x * self.kx, y * self.ky) for x, y in pts]

    def polygon(self, pts, fill, alpha=1.0):
        self.c.polygon(self.p(pts), fill, alpha)

    def rect(self, x0, y0, x1, y1, fill, alpha=1.0):
        self.polygon([(x0, y0), (x1, y0), (x1, y1), (x0, y1)], fill, alpha)

    def rounded(self, x0, y0, x1, y1, r, fill, alpha=1.0):
        self.c.rounded(x0 * self.kx, y0 * self.ky, x1 * self.kx, y1 * self.ky, r * min(self.kx, self.ky), fill, alpha)

    def ellipse(self, cx, cy, rx, ry, fill, alpha=1.0):
        self.c.ellipse(cx * self.kx, cy * self.ky, rx * self.kx, ry * self.ky, fill, alpha)

    def line(self, x0, y0, x1, y1, width, fill):
        self.c.line(x0 * self.kx, y0 * self.ky, x1 * self.kx, y1 * self.ky, width * min(self.kx, self.ky), fill)

    def arc(self, cx, cy, r, start, end, width, fill):
        self.c.arc(cx * self.kx, cy * self.ky, r * min(self.kx, self.ky), start, end, width * min(self.kx, self.ky), fill)


def outlined_rounded(d, x0, y0, x1, y1, r, fill, edge=C["outline"], w=0.9):
    d.rounded(x0 - w, y0 - w, x1 + w, y1 + w, r + w, edge)
    d.rounded(x0, y0, x1, y1, r, fill)


def exclamation(d, cx, top, height, colour):
    d.rounded(cx - 1.3, top, cx + 1.3, top + height * 0.62, 1.2, colour)
    d.ellipse(cx, top + height * 0.86, 1.5, 1.5, colour)


def draw_feeder(d, words):
    d.polygon([(25, 5), (84, 5), (89, 30), (20, 30)], C["outline"])
    d.polygon([(26, 6), (83, 6), (88, 30), (21, 30)], gradient(C["feeder_top"], C["feeder_bottom"]))
    if "paper" in words:
        for k, shade in enumerate(("paper_edge", "paper_edge", "white")):
            y = 1.5 + k * 0.8
            d.polygon([(31, y), (78, y), (81, 29), (28, 29)], C[shade])
        d.line(31, 1.5, 78, 1.5, 0.5, C["paper_edge"])


def draw_inserting_sheet(d, step):
    # A sheet on its way into the empty feeder, with an arrow showing where.
    y = -6 + step * 6
    d.polygon([(32, y), (77, y), (79, y + 18), (30, y + 18)], C["paper_edge"])
    d.polygon([(32.6, y + 0.6), (76.4, y + 0.6), (78.3, y + 17.4), (30.7, y + 17.4)], C["white"])
    ax = 96
    d.rect(ax - 2, 4 + step * 2, ax + 2, 14 + step * 2, C["orange"])
    d.polygon([(ax - 6, 14 + step * 2), (ax + 6, 14 + step * 2), (ax, 21 + step * 2)], C["orange"])


def draw_body(d, words):
    d.ellipse(54.5, 76.5, 47, 5.5, C["shadow"], alpha=0.16)
    # Output tray below the body.
    d.polygon([(23, 54), (86, 54), (97, 71), (12, 71)], C["outline"])
    d.polygon([(24, 55), (85, 55), (95.5, 70), (13.5, 70)], gradient(C["tray_top"], C["tray_bottom"]))
    outlined_rounded(d, 7, 26, 102, 66, 6, gradient(C["body_top"], C["body_bottom"]))
    d.rect(10, 63, 99, 66, C["base"])
    if "open" in words:
        draw_open_cover(d, words)
    else:
        d.rounded(9, 27, 100, 38.5, 5, gradient(C["cover_top"], C["cover_bottom"]))
        d.line(10, 38.6, 99, 38.6, 0.7, C["seam"])
    # Brand plate, output slot and control panel.
    d.rounded(13, 42, 31, 45.5, 1.2, C["panel"])
    d.rounded(22, 49.5, 87, 54.5, 2, C["slot"])
    d.ellipse(93.5, 46, 3.2, 3.2, C["outline"])
    d.ellipse(93.5, 46, 2.6, 2.6, C["button"])
    lamp = next((w.split("=")[1] for w in words if w.startswith("lamp=")), "off")
    colour = C["lamp_off"] if lamp == "off" else C[lamp]
    if lamp != "off":
        d.ellipse(85.5, 46, 3.6, 3.6, colour, alpha=0.28)
    d.ellipse(85.5, 46, 1.9, 1.9, colour)


def draw_open_cover(d, words):
    # The lid swung up shows the cavity and the cartridge carriage.
    d.polygon([(9, 27), (100, 27), (96, 13), (13, 13)], C["outline"])
    d.polygon([(10, 26.5), (99, 26.5), (95.2, 13.8), (13.8, 13.8)], gradient(C["cover_bottom"], C["cover_top"]))
    d.rounded(11, 27.5, 98, 39, 2, C["cavity"])
    d.line(13, 34, 96, 34, 1.2, C["rail"])
    position = next((int(w.split("=")[1]) for w in words if w.startswith("carriage=")), 1)
    x = 17 if position == 1 else 43
    d.rounded(x, 28.5, x + 33, 38.5, 1.5, C["carriage"])
    mark = next((w.split("=")[1] for w in words if w.startswith("mark=")), None)
    cx = x + 1.5
    spans = []
    for name, width in CARTRIDGES:
        d.rect(cx, 29.3, cx + width, 37.5, C[name])
        d.rect(cx, 29.3, cx + width, 30.6, C["white"], alpha=0.35)
        spans.append((cx, cx + width))
        cx += width + 1.1
    if mark:
        x0, x1 = (spans[0][0], spans[0][1]) if mark == "black" else (spans[1][0], spans[-1][1])
        for inset in (0.0,):
            d.rect(x0 - 1.4 - inset, 28.0, x1 + 1.4, 28.9, C["red"])
            d.rect(x0 - 1.4, 37.9, x1 + 1.4, 38.8, C["red"])
            d.rect(x0 - 1.4, 28.0, x0 - 0.5, 38.8, C["red"])
            d.rect(x1 + 0.5, 28.0, x1 + 1.4, 38.8, C["red"])
        bx = (x0 + x1) / 2
        d.ellipse(bx, 6.5, 6, 6, C["white"])
        d.ellipse(bx, 6.5, 5.2, 5.2, C["red"])
        exclamation(d, bx, 2.6, 8, C["white"])
        d.line(bx, 12.5, bx, 27, 0.8, C["red"])


def draw_emerging_sheet(d, step):
    length = 5 + step * 6
    d.polygon([(29, 52), (80, 52), (82 + step, 52 + length), (27 - step, 52 + length)], C["paper_edge"])
    d.polygon([(29.6, 52.5), (79.4, 52.5), (81.3 + step, 51.4 + length), (27.7 - step, 51.4 + length)], C["white"])
    for k, ink in enumerate(("print_k", "print_c", "print_m", "print_y", "print_k")):
        y = 52 + length - 3.5 - k * 3
        if y < 54:
            break
        width = 40 if k % 2 == 0 else 30
        d.rect(34 - step * 0.5, y, 34 - step * 0.5 + width, y + 1.4, C[ink])


def draw_jam(d):
    # A crumpled sheet stuck in the output slot.
    pts = [(32, 52), (40, 40), (45, 47), (52, 35), (57, 46), (64, 37), (69, 48), (77, 42), (78, 52),
           (72, 58), (64, 53), (56, 60), (48, 54), (40, 59)]
    d.polygon([(x, y) for x, y in pts], C["paper_edge"])
    d.polygon([(x + (0.5 if x < 55 else -0.5), y + (0.5 if y < 50 else -0.5)) for x, y in pts], C["white"])
    for a, b in ((40, 40), (52, 35)), ((45, 47), (48, 54)), ((64, 37), (64, 53)), ((57, 46), (56, 60)):
        d.line(a[0], a[1], b[0], b[1], 0.6, C["paper_edge"])


def draw_warning(d):
    d.polygon([(98, 2), (108.5, 22), (87.5, 22)], C["warn_edge"])
    d.polygon([(98, 4.2), (106.6, 21), (89.4, 21)], C["warn"])
    exclamation(d, 98, 9, 10.5, C["warn_edge"])


def draw_query(d):
    d.polygon([(86, 18), (92, 21), (84, 26)], C["query"])
    d.ellipse(96, 12, 11, 10, C["query"])
    d.ellipse(96, 12, 9.6, 8.6, C["white"])
    d.arc(96, 9.6, 3.6, 180, 405, 2.2, C["query"])
    d.line(98.5, 12.2, 96, 14.2, 2.2, C["query"])
    d.ellipse(96, 18.2, 1.4, 1.4, C["query"])


def draw_scene(width, height, words):
    canvas = Canvas(width, height)
    d = Scaled(canvas)
    draw_feeder(d, words)
    for w in words:
        if w.startswith("insert="):
            draw_inserting_sheet(d, int(w.split("=")[1]))
    draw_body(d, words)
    for w in words:
        if w.startswith("out="):
            draw_emerging_sheet(d, int(w.split("=")[1]))
    if "jam" in words:
        draw_jam(d)
    if "dim" in words:
        # Greyed out, the background and the paper left as they are.
        canvas.tint(C["dim"], 0.45, spare=C["white"])
    if "query" in words:
        draw_query(d)
    if "warning" in words:
        draw_warning(d)
    return canvas


def main(argv):
    if len(argv) != 3:
        sys.exit(__doc__)
    scene_file, out_dir = argv[1], argv[2]
    os.makedirs(out_dir, exist_ok=True)
    rc_lines = ["// Generated by make_pictures.py from pictures.txt.", "LANGUAGE 0, 0", ""]
    with open(scene_file, encoding="ascii") as f:
        for number, line in enumerate(f, 1):
            line = line.split("#", 1)[0].split()
            if not line:
                continue
            if len(line) < 4 or line[3] not in ("core", "info"):
                sys.exit(f"{scene_file}:{number}: expected: id width height core|info words...")
            ident, width, height, header, words = int(line[0]), int(line[1]), int(line[2]), line[3], line[4:]
            canvas = draw_scene(width, height, words)
            data = bmp_bytes(canvas.picture(), core=header == "core")
            name = f"p{ident}.bmp"
            with open(os.path.join(out_dir, name), "wb") as out:
                out.write(data)
            rc_lines.append(f'{ident} BITMAP "{os.path.join(out_dir, name)}"')
    with open(os.path.join(out_dir, "pictures.rc"), "w", encoding="ascii") as rc:
        rc.write("\n".join(rc_lines) + "\n")


if __name__ == "__main__":
    main(sys.argv)
