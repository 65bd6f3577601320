#!/usr/bin/env python3
"""Draws the home screen's hero banner: a training arena at dusk seen from the
range floor - a perspective grid running to a lit horizon, box cover and ramps in
silhouette, a target frame and the brand's lime and cyan strokes. Pure standard
library: the picture is computed into an RGB buffer and written as a PNG.

usage: banner.py <output.png>
"""
import math
import struct
import sys
import zlib

WIDTH, HEIGHT = 1600, 620
HORIZON = 330
VANISH_X = 1040

LIME = (187, 255, 21)
CYAN = (46, 209, 255)
STEEL = (35, 50, 57)


class Canvas:
    def __init__(self, width, height):
        self.w, self.h = width, height
        self.px = bytearray(width * height * 3)

    def blend(self, x, y, color, alpha):
        if alpha <= 0.0 or x < 0 or y < 0 or x >= self.w or y >= self.h:
            return
        alpha = min(alpha, 1.0)
        i = (y * self.w + x) * 3
        p = self.px
        p[i] = int(p[i] + (color[0] - p[i]) * alpha)
        p[i + 1] = int(p[i + 1] + (color[1] - p[i + 1]) * alpha)
        p[i + 2] = int(p[i + 2] + (color[2] - p[i + 2]) * alpha)

    def span(self, y, x0, x1, color, alpha):
        for x in range(max(0, int(x0)), min(self.w, int(math.ceil(x1)))):
            self.blend(x, y, color, alpha)

    def polygon(self, points, color, alpha):
        ys = [p[1] for p in points]
        for y in range(max(0, int(min(ys))), min(self.h, int(math.ceil(max(ys))))):
            cy = y + 0.5
            xs = []
            n = len(points)
            for k in range(n):
                (ax, ay), (bx, by) = points[k], points[(k + 1) % n]
                if (ay <= cy < by) or (by <= cy < ay):
                    xs.append(ax + (cy - ay) * (bx - ax) / (by - ay))
            xs.sort()
            for a, b in zip(xs[0::2], xs[1::2]):
                self.span(y, a, b, color, alpha)

    def line(self, x0, y0, x1, y1, color, alpha, width=1.0):
        """A line with soft edges: coverage falls off over one pixel."""
        half = width / 2.0
        minx, maxx = int(min(x0, x1) - half - 1), int(max(x0, x1) + half + 2)
        miny, maxy = int(min(y0, y1) - half - 1), int(max(y0, y1) + half + 2)
        dx, dy = x1 - x0, y1 - y0
        length2 = dx * dx + dy * dy or 1.0
        for y in range(max(0, miny), min(self.h, maxy)):
            for x in range(max(0, minx), min(self.w, maxx)):
                t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length2))
                d = math.hypot(x - (x0 + t * dx), y - (y0 + t * dy))
                cover = half + 0.5 - d
                if cover > 0:
                    self.blend(x, y, color, alpha * min(cover, 1.0))

    def ring(self, cx, cy, radius, color, alpha, width=2.0):
        r_out = radius + width / 2 + 1
        for y in range(max(0, int(cy - r_out)), min(self.h, int(cy + r_out) + 1)):
            for x in range(max(0, int(cx - r_out)), min(self.w, int(cx + r_out) + 1)):
                d = abs(math.hypot(x - cx, y - cy) - radius)
                cover = width / 2 + 0.5 - d
                if cover > 0:
                    self.blend(x, y, color, alpha * min(cover, 1.0))

    def png(self):
        rows = bytearray()
        stride = self.w * 3
        for y in range(self.h):
            rows.append(0)
            rows += self.px[y * stride:(y + 1) * stride]

        def chunk(tag, data):
            body = tag + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

        header = struct.pack(">IIBBBBB", self.w, self.h, 8, 2, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                chunk(b"IDAT", zlib.compress(bytes(rows), 9)) + chunk(b"IEND", b""))


def sky_and_floor(c):
    for y in range(c.h):
        if y < HORIZON:
            t = y / HORIZON
            top, bottom = (6, 9, 14), (20, 34, 40)
            base = tuple(int(top[k] + (bottom[k] - top[k]) * t * t) for k in range(3))
        else:
            t = (y - HORIZON) / (c.h - HORIZON)
            near, far = (8, 11, 13), (17, 26, 30)
            base = tuple(int(far[k] + (near[k] - far[k]) * t) for k in range(3))
        i = y * c.w * 3
        c.px[i:i + c.w * 3] = bytes(base) * c.w
    # The glow over the horizon, brightest behind the vanishing point.
    for y in range(HORIZON - 90, HORIZON + 30):
        fall = 1.0 - abs(y - HORIZON) / (90.0 if y < HORIZON else 30.0)
        if fall <= 0:
            continue
        for x in range(c.w):
            side = 1.0 - min(abs(x - VANISH_X) / 900.0, 1.0)
            c.blend(x, y, CYAN, 0.22 * fall * fall * side)


def floor_grid(c):
    # Rays from the vanishing point and rows that close up toward the horizon.
    for k in range(-26, 27):
        x_far = VANISH_X + k * 6
        x_near = VANISH_X + k * 150
        c.line(x_far, HORIZON, x_near, c.h + 40, CYAN if k % 4 == 0 else STEEL, 0.35 if k % 4 == 0 else 0.5, 1.2)
    z = 1.0
    while z < 40.0:
        y = HORIZON + (c.h - HORIZON) * 1.4 / z
        if y < c.h:
            c.line(0, y, c.w, y, STEEL, 0.55, 1.0)
        z *= 1.35
    c.line(0, HORIZON, c.w, HORIZON, LIME, 0.7, 2.0)


def project(x, y, z):
    """Range coordinates (metres, camera at the origin) to banner pixels."""
    s = 560.0 / z
    return VANISH_X + x * s, HORIZON - (y - 1.6) * s


def box(c, x, z, sx, sy, sz, shade):
    corners = {}
    for i, dx in enumerate((-sx / 2, sx / 2)):
        for j, dz in enumerate((-sz / 2, sz / 2)):
            for k, dy in enumerate((0.0, sy)):
                corners[(i, j, k)] = project(x + dx, dy, z + dz)
    side = 0 if x > 0 else 1  # the face turned toward the centre line
    face_front = [corners[(0, 0, 0)], corners[(1, 0, 0)], corners[(1, 0, 1)], corners[(0, 0, 1)]]
    face_side = [corners[(side, 0, 0)], corners[(side, 1, 0)], corners[(side, 1, 1)], corners[(side, 0, 1)]]
    face_top = [corners[(0, 0, 1)], corners[(1, 0, 1)], corners[(1, 1, 1)], corners[(0, 1, 1)]]
    c.polygon(face_side, tuple(int(v * 0.55) for v in shade), 1.0)
    c.polygon(face_top, tuple(min(255, int(v * 1.35)) for v in shade), 1.0)
    c.polygon(face_front, shade, 1.0)
    # Lit edges along the top of the front face.
    (ax, ay), (bx, by) = corners[(0, 0, 1)], corners[(1, 0, 1)]
    c.line(ax, ay, bx, by, LIME, 0.55, 1.5)


def back_wall(c):
    # The arena's far wall in panels, with floodlights above it.
    for i in range(-8, 8):
        x0, x1 = i * 6.0, i * 6.0 + 5.8
        a, b = project(x0, 0.0, 70.0), project(x1, 0.0, 70.0)
        d, e = project(x0, 7.0, 70.0), project(x1, 7.0, 70.0)
        c.polygon([a, b, e, d], (19, 28, 33) if i % 2 else (22, 32, 38), 1.0)
        c.line(d[0], d[1], e[0], e[1], CYAN, 0.35, 1.0)
    for x in (-30.0, -6.0, 18.0, 42.0):
        lx, ly = project(x, 11.0, 70.0)
        for k in range(60):
            spread = k * 2.2
            c.line(lx - spread, ly + k * 3, lx + spread, ly + k * 3, CYAN, 0.05 * (1 - k / 60.0), 1.0)
        c.ring(lx, ly, 4, (220, 245, 255), 0.9, 3.0)


def arena(c):
    cover = [(-9.0, 26.0, 3.0, 1.2, 1.0), (7.5, 20.0, 2.4, 1.1, 2.4), (-4.0, 14.0, 2.0, 1.0, 1.0),
             (12.0, 34.0, 4.0, 3.2, 2.0), (-15.0, 40.0, 5.0, 4.0, 3.0), (3.0, 44.0, 1.6, 2.2, 1.6),
             (-6.5, 9.5, 1.4, 0.9, 1.4), (18.0, 48.0, 6.0, 5.5, 3.0)]
    for x, z, sx, sy, sz in sorted(cover, key=lambda b: -b[1]):
        box(c, x, z, sx, sy, sz, (24, 35, 40))
    # A ramp climbing toward a platform on the left.
    a, b = project(-20.0, 0.0, 18.0), project(-13.0, 0.0, 18.0)
    d, e = project(-20.0, 2.5, 30.0), project(-13.0, 2.5, 30.0)
    c.polygon([a, b, e, d], (28, 40, 46), 1.0)
    c.line(d[0], d[1], e[0], e[1], CYAN, 0.6, 1.5)


def target_frame(c):
    # A training target standing on the range, with its reticle.
    cx, cy = project(4.2, 1.45, 16.0)
    body = [project(3.7, 0.0, 16.0), project(4.7, 0.0, 16.0), project(4.8, 1.9, 16.0), project(3.6, 1.9, 16.0)]
    c.polygon(body, (34, 22, 26), 1.0)
    c.ring(cx, cy - 18, 13, (255, 45, 73), 0.9, 3.0)
    c.ring(cx, cy - 18, 40, LIME, 0.8, 1.6)
    for ox, oy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
        c.line(cx + ox * 48, cy - 18 + oy * 48, cx + ox * 66, cy - 18 + oy * 66, LIME, 0.9, 2.0)


def brand_strokes(c):
    # The diagonal strokes and bars of the shell, carried into the picture.
    for offset, color, alpha, width in ((0, CYAN, 0.16, 40), (110, LIME, 0.12, 14), (170, CYAN, 0.1, 6)):
        c.line(1180 + offset, -20, 1640 + offset, 440, color, alpha, width)
    c.polygon([(0, 0), (560, 0), (540, 8), (0, 8)], LIME, 0.85)
    c.polygon([(560, 0), (c.w, 0), (c.w, 4), (556, 4)], CYAN, 0.35)
    for i in range(14):
        x = 60 + i * 22
        c.polygon([(x, c.h - 42), (x + 12, c.h - 42), (x + 4, c.h - 22), (x - 8, c.h - 22)], LIME, 0.5)


def vignette(c):
    for y in range(c.h):
        vy = (y / c.h - 0.5) * 2
        for x in range(0, c.w, 1):
            vx = (x / c.w - 0.55) * 2
            shade = max(0.0, math.hypot(vx * 0.8, vy) - 0.75)
            if shade > 0:
                c.blend(x, y, (0, 0, 0), min(shade * 0.9, 0.8))


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    c = Canvas(WIDTH, HEIGHT)
    sky_and_floor(c)
    floor_grid(c)
    back_wall(c)
    arena(c)
    target_frame(c)
    brand_strokes(c)
    vignette(c)
    with open(sys.argv[1], "wb") as f:
        f.write(c.png())


if __name__ == "__main__":
    main()
