"""Drawing for the picture library with Pillow: shapes drawn four times finer
and averaged down, reduced to a 256-colour table and written as 8-bit Windows
bitmaps in either header form."""

import io
import struct

from PIL import Image, ImageChops, ImageDraw

SUPERSAMPLE = 4


def hex_colour(text):
    text = text.lstrip("#")
    return tuple(int(text[i : i + 2], 16) for i in (0, 2, 4))


def blend(under, over, alpha):
    return tuple(round(u + (o - u) * alpha) for u, o in zip(under, over))


class Gradient:
    """A fill from `top` to `bottom` across the height of the shape filled."""

    def __init__(self, top, bottom):
        self.top, self.bottom = top, bottom

    def layer(self, size, y0, y1):
        span = max(1, round(y1) - round(y0))
        column = Image.new("RGB", (1, span))
        column.putdata([blend(self.top, self.bottom, k / max(1, span - 1)) for k in range(span)])
        layer = Image.new("RGB", size, self.top)
        layer.paste(self.bottom, (0, round(y1), size[0], size[1]))
        layer.paste(column.resize((size[0], span)), (0, round(y0)))
        return layer


def gradient(top, bottom):
    return Gradient(top, bottom)


class Canvas:
    """An RGB canvas of width x height pixels, drawn SUPERSAMPLE times finer.
    Coordinates are in real pixels; `fill` is a colour or a Gradient."""

    def __init__(self, width, height, background=(255, 255, 255)):
        self.width, self.height = width, height
        self.s = SUPERSAMPLE
        self.image = Image.new("RGB", (width * self.s, height * self.s), background)

    def _shape(self, draw, box_y, fill, alpha):
        mask = Image.new("L", self.image.size, 0)
        draw(ImageDraw.Draw(mask), 255)
        if alpha < 1.0:
            mask = mask.point(lambda v: round(v * alpha))
        if isinstance(fill, Gradient):
            layer = fill.layer(self.image.size, box_y[0] * self.s, box_y[1] * self.s)
        else:
            layer = Image.new("RGB", self.image.size, fill)
        self.image.paste(layer, (0, 0), mask)

    def _p(self, pts):
        return [(x * self.s, y * self.s) for x, y in pts]

    def polygon(self, points, fill, alpha=1.0):
        ys = [y for _, y in points]
        self._shape(lambda d, v: d.polygon(self._p(points), fill=v), (min(ys), max(ys)), fill, alpha)

    def rect(self, x0, y0, x1, y1, fill, alpha=1.0):
        self.polygon([(x0, y0), (x1, y0), (x1, y1), (x0, y1)], fill, alpha)

    def rounded(self, x0, y0, x1, y1, r, fill, alpha=1.0):
        r = min(r, (x1 - x0) / 2, (y1 - y0) / 2)
        box = self._p([(x0, y0), (x1, y1)])
        self._shape(lambda d, v: d.rounded_rectangle(box, r * self.s, fill=v), (y0, y1), fill, alpha)

    def ellipse(self, cx, cy, rx, ry, fill, alpha=1.0):
        box = self._p([(cx - rx, cy - ry), (cx + rx, cy + ry)])
        self._shape(lambda d, v: d.ellipse(box, fill=v), (cy - ry, cy + ry), fill, alpha)

    def line(self, x0, y0, x1, y1, width, fill):
        ends = self._p([(x0, y0), (x1, y1)])
        r = width * self.s / 2

        def draw(d, v):
            d.line(ends, fill=v, width=max(1, round(width * self.s)))
            for x, y in ends:
                d.ellipse([x - r, y - r, x + r, y + r], fill=v)

        self._shape(draw, (min(y0, y1), max(y0, y1)), fill, 1.0)

    def arc(self, cx, cy, r, start, end, width, fill):
        box = self._p([(cx - r - width / 2, cy - r - width / 2), (cx + r + width / 2, cy + r + width / 2)])
        self._shape(lambda d, v: d.arc(box, start, end, fill=v, width=round(width * self.s)), (cy - r, cy + r), fill, 1.0)

    def tint(self, colour, alpha, spare):
        """Blends everything except the samples of colour `spare` toward `colour`."""
        r, g, b = ImageChops.difference(self.image, Image.new("RGB", self.image.size, spare)).split()
        spare_mask = ImageChops.lighter(ImageChops.lighter(r, g), b).point(lambda v: 255 if v == 0 else 0)
        kept = self.image
        self.image = Image.blend(kept, Image.new("RGB", kept.size, colour), alpha)
        self.image.paste(kept, (0, 0), spare_mask)

    def picture(self):
        """The canvas averaged down to its real size."""
        return self.image.reduce(self.s)


def bmp_bytes(picture, core=False):
    """An 8-bit bottom-up Windows bitmap file with a full 256-entry colour
    table; `core` writes the old 12-byte header with 3-byte colours."""
    indexed = picture.quantize(256, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    palette = indexed.getpalette()[: 256 * 3]
    indexed.putpalette(palette + [0] * (256 * 3 - len(palette)))
    out = io.BytesIO()
    indexed.save(out, "BMP")
    data = out.getvalue()
    offset = struct.unpack_from("<I", data, 10)[0]
    colours, bits = data[14 + 40 : offset], data[offset:]
    assert len(colours) == 256 * 4
    if not core:
        return data
    header = struct.pack("<IHHHH", 12, picture.width, picture.height, 1, 8)
    table = b"".join(colours[i : i + 3] for i in range(0, len(colours), 4))
    offset = 14 + len(header) + len(table)
    return b"BM" + struct.pack("<IHHI", offset + len(bits), 0, 0, offset) + header + table + bits
