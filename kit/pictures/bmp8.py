"""Small drawing kit for the picture library: polygons filled by scanline on a
supersampled canvas, averaged down, reduced to a 256-colour table and written
as 8-bit Windows bitmaps in either header form. Standard library only."""

import math
import struct

SUPERSAMPLE = 4


def hex_colour(text):
    text = text.lstrip("#")
    return tuple(int(text[i : i + 2], 16) for i in (0, 2, 4))


class Canvas:
    """An RGB canvas of width x height pixels, drawn SUPERSAMPLE times finer."""

    def __init__(self, width, height, background=(255, 255, 255)):
        self.width, self.height = width, height
        self.s = SUPERSAMPLE
        self.rows = [[background] * (width * self.s) for _ in range(height * self.s)]
        self.solid = {background}  # colours drawn flat: kept exactly in the table

    # Every shape is a polygon filled by the even-odd rule; `fill` is a colour
    # or a function of y (0..1 across the shape's height) giving a colour.
    def polygon(self, points, fill, alpha=1.0):
        if not callable(fill):
            self.solid.add(fill)
        s = self.s
        pts = [(x * s, y * s) for x, y in points]
        ys = [p[1] for p in pts]
        top, bottom = min(ys), max(ys)
        span = max(bottom - top, 1e-9)
        y0 = max(0, int(math.floor(top)))
        y1 = min(len(self.rows), int(math.ceil(bottom)) + 1)
        n = len(pts)
        for row_index in range(y0, y1):
            yc = row_index + 0.5
            crossings = []
            for i in range(n):
                (xa, ya), (xb, yb) = pts[i], pts[(i + 1) % n]
                if (ya <= yc < yb) or (yb <= yc < ya):
                    crossings.append(xa + (yc - ya) * (xb - xa) / (yb - ya))
            if len(crossings) < 2:
                continue
            crossings.sort()
            colour = fill((yc - top) / span) if callable(fill) else fill
            row = self.rows[row_index]
            for k in range(0, len(crossings) - 1, 2):
                xa = max(0, int(round(crossings[k])))
                xb = min(len(row), int(round(crossings[k + 1])))
                if xb <= xa:
                    continue
                if alpha >= 1.0:
                    row[xa:xb] = [colour] * (xb - xa)
                else:
                    row[xa:xb] = [blend(c, colour, alpha) for c in row[xa:xb]]

    def rect(self, x0, y0, x1, y1, fill, alpha=1.0):
        self.polygon([(x0, y0), (x1, y0), (x1, y1), (x0, y1)], fill, alpha)

    def rounded(self, x0, y0, x1, y1, r, fill, alpha=1.0):
        r = min(r, (x1 - x0) / 2, (y1 - y0) / 2)
        pts = []
        for cx, cy, start in ((x1 - r, y0 + r, -90), (x1 - r, y1 - r, 0), (x0 + r, y1 - r, 90), (x0 + r, y0 + r, 180)):
            for k in range(7):
                a = math.radians(start + k * 15)
                pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
        self.polygon(pts, fill, alpha)

    def ellipse(self, cx, cy, rx, ry, fill, alpha=1.0):
        pts = [(cx + rx * math.cos(a), cy + ry * math.sin(a)) for a in (math.tau * k / 48 for k in range(48))]
        self.polygon(pts, fill, alpha)

    def line(self, x0, y0, x1, y1, width, fill):
        dx, dy = x1 - x0, y1 - y0
        length = math.hypot(dx, dy) or 1.0
        nx, ny = -dy / length * width / 2, dx / length * width / 2
        self.polygon([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)], fill)
        self.ellipse(x0, y0, width / 2, width / 2, fill)
        self.ellipse(x1, y1, width / 2, width / 2, fill)

    def arc(self, cx, cy, r, start, end, width, fill):
        steps = max(4, int(abs(end - start) / 15))
        angles = [math.radians(start + (end - start) * k / steps) for k in range(steps + 1)]
        for a, b in zip(angles, angles[1:]):
            self.line(cx + r * math.cos(a), cy + r * math.sin(a), cx + r * math.cos(b), cy + r * math.sin(b), width, fill)

    def tint(self, colour, alpha, spare):
        """Blends every sample except those of colour `spare` toward `colour`."""
        for row in self.rows:
            row[:] = [c if c == spare else blend(c, colour, alpha) for c in row]
        self.solid = {c if c == spare else blend(c, colour, alpha) for c in self.solid}

    def pixels(self):
        """The canvas averaged down to its real size: rows of RGB tuples."""
        s = self.s
        out = []
        area = s * s
        for y in range(self.height):
            band = self.rows[y * s : (y + 1) * s]
            line = []
            for x in range(self.width):
                r = g = b = 0
                for row in band:
                    for c in row[x * s : (x + 1) * s]:
                        r += c[0]
                        g += c[1]
                        b += c[2]
                line.append((round(r / area), round(g / area), round(b / area)))
            out.append(line)
        return out


def blend(under, over, alpha):
    return tuple(round(u + (o - u) * alpha) for u, o in zip(under, over))


def gradient(top, bottom):
    top, bottom = hex_colour(top) if isinstance(top, str) else top, hex_colour(bottom) if isinstance(bottom, str) else bottom
    return lambda t: blend(top, bottom, max(0.0, min(1.0, t)))


def quantize(pixels, keep):
    """A table of at most 256 colours and the index rows: the colours drawn
    flat first, then the most frequent of the rest, others to the nearest."""
    counts = {}
    for row in pixels:
        for c in row:
            counts[c] = counts.get(c, 0) + 1
    table = [c for c in keep if c in counts][:256]
    chosen = set(table)
    for c, _ in sorted(counts.items(), key=lambda item: -item[1]):
        if len(table) >= 256:
            break
        if c not in chosen:
            table.append(c)
            chosen.add(c)
    index = {c: i for i, c in enumerate(table)}
    for c in counts:
        if c not in index:
            index[c] = min(range(len(table)), key=lambda i: sum((a - b) ** 2 for a, b in zip(c, table[i])))
    rows = [[index[c] for c in row] for row in pixels]
    return table, rows


def bmp_bytes(pixels, keep=(), core=False):
    """An 8-bit bottom-up Windows bitmap file with a full 256-entry table
    (colours-used 0, so that readers count 256 colours)."""
    height, width = len(pixels), len(pixels[0])
    table, rows = quantize(pixels, keep)
    table = table + [(0, 0, 0)] * (256 - len(table))
    stride = (width + 3) & ~3
    bits = b"".join(bytes(row) + b"\0" * (stride - width) for row in reversed(rows))
    if core:
        header = struct.pack("<IHHHH", 12, width, height, 1, 8)
        colours = b"".join(bytes((b, g, r)) for r, g, b in table)
    else:
        header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(bits), 2835, 2835, 0, 0)
        colours = b"".join(bytes((b, g, r, 0)) for r, g, b in table)
    offset = 14 + len(header) + len(colours)
    file_header = b"BM" + struct.pack("<IHHI", offset + len(bits), 0, 0, offset)
    return file_header + header + colours + bits
