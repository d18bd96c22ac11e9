"""A tiny anti-aliased rasteriser and the two file writers that Quorzel's artwork needs.

Shapes are point-in-shape tests over pixel coordinates (x to the right, y downwards, pixel (0, 0)
covering 0..1 in both directions) with a bounding box; a canvas fills them with a colour, weighting
each pixel by how many of its sub-samples fall inside. Standard library only, so the artwork can be
regenerated on any machine that has Python 3.
"""

import math
import struct
import zlib

# Sub-samples per pixel along each axis: 4 x 4 gives smooth edges at icon sizes.
SUBSAMPLES = 4


class Shape:
    """A region: `contains(x, y)` and a bounding box (x0, y0, x1, y1) outside which it is empty."""

    def __init__(self, contains, box):
        self.contains = contains
        self.box = box

    def __or__(self, other):
        return Shape(lambda x, y: self.contains(x, y) or other.contains(x, y),
                     (min(self.box[0], other.box[0]), min(self.box[1], other.box[1]),
                      max(self.box[2], other.box[2]), max(self.box[3], other.box[3])))

    def __sub__(self, other):
        return Shape(lambda x, y: self.contains(x, y) and not other.contains(x, y), self.box)

    def __and__(self, other):
        return Shape(lambda x, y: self.contains(x, y) and other.contains(x, y), self.box)

    def moved(self, dx, dy, scale=1.0):
        """The shape scaled about the origin, then moved by (dx, dy)."""
        b = self.box
        return Shape(lambda x, y: self.contains((x - dx) / scale, (y - dy) / scale),
                     (b[0] * scale + dx, b[1] * scale + dy, b[2] * scale + dx, b[3] * scale + dy))


def circle(cx, cy, r):
    return ellipse(cx, cy, r, r)


def ellipse(cx, cy, rx, ry):
    return Shape(lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0,
                 (cx - rx, cy - ry, cx + rx, cy + ry))


def rect(x0, y0, x1, y1):
    return Shape(lambda x, y: x0 <= x <= x1 and y0 <= y <= y1, (x0, y0, x1, y1))


def round_rect(x0, y0, x1, y1, r):
    def contains(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        nx = min(max(x, x0 + r), x1 - r)
        ny = min(max(y, y0 + r), y1 - r)
        return (x - nx) ** 2 + (y - ny) ** 2 <= r * r
    return Shape(contains, (x0, y0, x1, y1))


def polygon(points):
    """Even-odd fill of a closed polygon."""
    def contains(x, y):
        inside = False
        n = len(points)
        for i in range(n):
            ax, ay = points[i]
            bx, by = points[(i + 1) % n]
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                inside = not inside
        return inside
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return Shape(contains, (min(xs), min(ys), max(xs), max(ys)))


def stroke(x0, y0, x1, y1, width):
    """A straight line of the given width with round ends."""
    half = width / 2.0
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy

    def contains(x, y):
        t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length2))
        px, py = x0 + t * dx, y0 + t * dy
        return (x - px) ** 2 + (y - py) ** 2 <= half * half
    return Shape(contains, (min(x0, x1) - half, min(y0, y1) - half, max(x0, x1) + half, max(y0, y1) + half))


def arc(cx, cy, r_inner, r_outer, start_deg, end_deg):
    """A piece of a ring between two angles, in degrees clockwise from the positive x axis (y is down)."""
    def contains(x, y):
        d2 = (x - cx) ** 2 + (y - cy) ** 2
        if not (r_inner * r_inner <= d2 <= r_outer * r_outer):
            return False
        angle = math.degrees(math.atan2(y - cy, x - cx)) % 360.0
        return (angle - start_deg) % 360.0 <= (end_deg - start_deg) % 360.0
    return Shape(contains, (cx - r_outer, cy - r_outer, cx + r_outer, cy + r_outer))


class Canvas:
    """RGBA pixels with straight (non-premultiplied) alpha, each channel 0..255 as floats."""

    def __init__(self, width, height, background=(255, 255, 255, 255)):
        self.width = width
        self.height = height
        self.pixels = [[list(map(float, background)) for _ in range(width)] for _ in range(height)]

    def fill(self, shape, colour):
        """Paints `shape` with `colour` (r, g, b) or (r, g, b, a) over what is there."""
        r, g, b = colour[:3]
        alpha = (colour[3] if len(colour) > 3 else 255) / 255.0
        x0, y0, x1, y1 = shape.box
        n = SUBSAMPLES
        for py in range(max(0, int(math.floor(y0))), min(self.height, int(math.ceil(y1)) + 1)):
            for px in range(max(0, int(math.floor(x0))), min(self.width, int(math.ceil(x1)) + 1)):
                hits = sum(1 for sy in range(n) for sx in range(n)
                           if shape.contains(px + (sx + 0.5) / n, py + (sy + 0.5) / n))
                if hits:
                    self._blend(px, py, (r, g, b), alpha * hits / (n * n))

    def gradient(self, top, bottom):
        """Replaces every pixel with a vertical blend from `top` to `bottom` (opaque colours)."""
        for py in range(self.height):
            t = py / max(1, self.height - 1)
            row = [top[i] + (bottom[i] - top[i]) * t for i in range(3)] + [255.0]
            self.pixels[py] = [list(row) for _ in range(self.width)]

    def _blend(self, px, py, rgb, a):
        dst = self.pixels[py][px]
        da = dst[3] / 255.0
        out_a = a + da * (1.0 - a)
        if out_a <= 0.0:
            return
        for i in range(3):
            dst[i] = (rgb[i] * a + dst[i] * da * (1.0 - a)) / out_a
        dst[3] = out_a * 255.0

    def rgba(self, px, py):
        return tuple(int(round(min(255.0, max(0.0, v)))) for v in self.pixels[py][px])

    def paste(self, other, left, top):
        for py in range(other.height):
            for px in range(other.width):
                self.pixels[top + py][left + px] = list(other.pixels[py][px])


def bmp_bytes(canvas):
    """A Windows bitmap: 24 bits per pixel, uncompressed, rows bottom-up and padded to 4 bytes."""
    row_size = (canvas.width * 3 + 3) // 4 * 4
    image_size = row_size * canvas.height
    pixels = bytearray()
    for py in range(canvas.height - 1, -1, -1):
        row = bytearray()
        for px in range(canvas.width):
            r, g, b, _ = canvas.rgba(px, py)
            row += bytes((b, g, r))
        row += bytes(row_size - len(row))
        pixels += row
    # 2835 pixels per metre is 72 dots per inch.
    info = struct.pack('<IiiHHIIiiII', 40, canvas.width, canvas.height, 1, 24, 0, image_size, 2835, 2835, 0, 0)
    header = struct.pack('<2sIHHI', b'BM', 14 + len(info) + image_size, 0, 0, 14 + len(info))
    return header + info + bytes(pixels)


def png_bytes(canvas):
    """A PNG with 8-bit RGBA pixels; the same canvas always gives the same bytes."""
    raw = bytearray()
    for py in range(canvas.height):
        raw.append(0)  # filter type: none
        for px in range(canvas.width):
            raw += bytes(canvas.rgba(px, py))

    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data) & 0xFFFFFFFF)

    header = struct.pack('>IIBBBBB', canvas.width, canvas.height, 8, 6, 0, 0, 0)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header) + chunk(b'IDAT', zlib.compress(bytes(raw), 9))
            + chunk(b'IEND', b''))
