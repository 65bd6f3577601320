#!/usr/bin/env python3
"""Renders the inventory preview images from the game's own meshes.

    previews.py <rifle.tarvoweapon> <character.tarvomesh> <rifle-preview.png> <character-preview.png>

The rifle is read from its TRVWPN01 file (vertex-coloured triangle list) and the
character from its TRVMESH3 file (first level of detail, first frame of "idle",
its texture and the weapon-grip attachment pose, with the rifle placed in its hands
the way the game holds it). Both are drawn by a small software rasteriser with a
depth buffer, 2x2 supersampling and a key, fill and rim light, onto a transparent
background with a soft glow and a floor shadow, and written as 8-bit RGBA PNG files
of 932 x 500 pixels (twice the inventory card's preview box). Deterministic output.
"""
import math
import os
import struct
import sys
import zlib

from vec3 import add, cross, dot, length, mul, norm, sub

WIDTH = 932
HEIGHT = 500
SUPERSAMPLE = 2

# Rifle-local grip points (the game's RifleTriggerGrip and RifleSupportGrip).
TRIGGER_GRIP = (-0.2, -0.012, 0.0)
SUPPORT_GRIP = (0.18, 0.065, 0.0)


# ---------------------------------------------------------------- mesh files

class Reader:
    def __init__(self, data):
        self.data = data
        self.at = 0

    def take(self, count):
        if self.at + count > len(self.data):
            raise ValueError('truncated mesh file')
        chunk = self.data[self.at:self.at + count]
        self.at += count
        return chunk

    def unpack(self, fmt):
        return struct.unpack(fmt, self.take(struct.calcsize(fmt)))


def read_weapon(path):
    """Triangles of the TRVWPN01 file: [((p0, p1, p2), colour), ...] in rifle-local metres."""
    r = Reader(open(path, 'rb').read())
    if r.take(8) != b'TRVWPN01':
        raise ValueError(path + ': not a TRVWPN01 file')
    version, count = r.unpack('<II')
    if version != 1 or count % 3:
        raise ValueError(path + ': unexpected weapon header')
    r.take(32)
    values = r.unpack('<%df' % (count * 6))
    triangles = []
    for t in range(count // 3):
        points = []
        for k in range(3):
            base = (t * 3 + k) * 6
            points.append(tuple(values[base:base + 3]))
        base = t * 18
        triangles.append((tuple(points), tuple(values[base + 3:base + 6])))
    return triangles


def read_character(path):
    """First LOD of a TRVMESH3 file in the pose of the first "idle" frame."""
    r = Reader(open(path, 'rb').read())
    if r.take(8) != b'TRVMESH3':
        raise ValueError(path + ': not a TRVMESH3 file')
    version, lod_count, clip_count, mip_count, _height, _scale, _reserved, _flags = r.unpack('<IIIIffII')
    if version != 3:
        raise ValueError(path + ': unexpected character version')
    r.take(64)
    clips = []
    for _ in range(clip_count):
        (name_length,) = r.unpack('<I')
        name = r.take(name_length).decode('ascii')
        duration, frames = r.unpack('<fI')
        clips.append((name, duration, frames))
    clip_index = next((i for i, c in enumerate(clips) if c[0] == 'idle'), 0)
    attachments = None
    for i, (_, _, frames) in enumerate(clips):
        poses = r.unpack('<%df' % (frames * 9))
        if i == clip_index:
            attachments = poses[0:9]
    lod = None
    for level in range(lod_count):
        vertex_count, index_count, _distance = r.unpack('<IIf')
        uvs = r.unpack('<%df' % (vertex_count * 2))
        indices = r.unpack('<%dI' % index_count)
        positions = None
        for i, (_, _, frames) in enumerate(clips):
            block = r.take(vertex_count * frames * 12)
            if level == 0 and i == clip_index:
                flat = struct.unpack('<%df' % (vertex_count * 3), block[:vertex_count * 12])
                positions = [tuple(flat[k * 3:k * 3 + 3]) for k in range(vertex_count)]
        if level == 0:
            lod = (positions, [tuple(uvs[k * 2:k * 2 + 2]) for k in range(vertex_count)], indices)
    width, height, byte_count = r.unpack('<III')
    if byte_count != width * height * 4:
        raise ValueError(path + ': unexpected texture size')
    texture = (width, height, r.take(byte_count))
    return lod, texture, attachments


def held_rifle_point(local, trigger, support):
    """Where a rifle-local point lies for a rifle held at trigger with the support hand at support."""
    span = sub(SUPPORT_GRIP, TRIGGER_GRIP)
    axis = norm(span)
    perp = (-axis[1], axis[0], 0.0)
    d = sub(support, trigger)
    n = length(d)
    f, scale = (0.0, 0.0, 1.0), 1.0
    if n > 0.001:
        f = mul(d, 1.0 / n)
        scale = n / length(span)
    across = cross(f, (0.0, 1.0, 0.0))
    right = (1.0, 0.0, 0.0) if length(across) < 0.01 else norm(across)
    up = norm(cross(right, f))
    q = sub(local, TRIGGER_GRIP)
    offset = add(add(mul(f, dot(q, axis)), mul(up, dot(q, perp))), mul(right, q[2]))
    return add(trigger, mul(offset, scale))


# ---------------------------------------------------------------- camera and light

class Camera:
    def __init__(self, eye, target, fov_degrees):
        self.eye = eye
        self.forward = norm(sub(target, eye))
        self.right = norm(cross(self.forward, (0.0, 1.0, 0.0)))
        self.up = cross(self.right, self.forward)
        self.focal = 1.0 / math.tan(math.radians(fov_degrees) / 2)

    def view(self, p):
        d = sub(p, self.eye)
        return (dot(d, self.right), dot(d, self.up), dot(d, self.forward))

    def project(self, p):
        x, y, z = self.view(p)
        return (self.focal * x / z, self.focal * y / z, z)


class Fit:
    """Maps projected points into the raster, centred and scaled to fill a margin box."""

    def __init__(self, projected, width, height, box):
        xs = [p[0] for p in projected]
        ys = [p[1] for p in projected]
        left, top, right, bottom = box
        span_x = max(xs) - min(xs)
        span_y = max(ys) - min(ys)
        self.scale = min((right - left) * width / span_x, (bottom - top) * height / span_y)
        self.cx = (min(xs) + max(xs)) / 2
        self.cy = (min(ys) + max(ys)) / 2
        self.ox = (left + right) / 2 * width
        self.oy = (top + bottom) / 2 * height

    def __call__(self, p):
        return (self.ox + (p[0] - self.cx) * self.scale, self.oy - (p[1] - self.cy) * self.scale, p[2])


KEY = norm((-0.55, 0.75, 0.65))
FILL = norm((0.8, 0.2, 0.4))
CYAN_RIM = (0.18, 0.82, 1.0)


def shade(colour, normal, view_dir):
    key = max(0.0, dot(normal, KEY))
    fill = max(0.0, dot(normal, FILL))
    rim = max(0.0, 1.0 - abs(dot(normal, view_dir))) ** 3
    half = norm(sub(KEY, view_dir))
    specular = max(0.0, dot(normal, half)) ** 24 * 0.35
    out = []
    for c in range(3):
        v = colour[c] * (0.28 + 1.05 * key + 0.3 * fill) + specular + CYAN_RIM[c] * rim * 0.55
        out.append(min(1.0, max(0.0, v)) ** (1.0 / 1.35))
    return out


# ---------------------------------------------------------------- rasteriser

class Raster:
    def __init__(self, width, height):
        self.width = width
        self.height = height
        self.depth = [float('inf')] * (width * height)
        self.colour = [None] * (width * height)

    def triangle(self, a, b, c, attributes, pixel):
        """a, b, c: raster (x, y, depth); attributes: three tuples interpolated for pixel(values) -> rgb."""
        area = (b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0])
        if abs(area) < 1e-9:
            return
        x0 = max(0, int(math.floor(min(a[0], b[0], c[0]))))
        x1 = min(self.width - 1, int(math.ceil(max(a[0], b[0], c[0]))))
        y0 = max(0, int(math.floor(min(a[1], b[1], c[1]))))
        y1 = min(self.height - 1, int(math.ceil(max(a[1], b[1], c[1]))))
        if x0 > x1 or y0 > y1:
            return
        inv = 1.0 / area
        ta, tb, tc = attributes
        count = len(ta)
        depth = self.depth
        colour = self.colour
        width = self.width
        for y in range(y0, y1 + 1):
            py = y + 0.5
            for x in range(x0, x1 + 1):
                px = x + 0.5
                w0 = ((b[0] - px) * (c[1] - py) - (b[1] - py) * (c[0] - px)) * inv
                if w0 < 0:
                    continue
                w1 = ((c[0] - px) * (a[1] - py) - (c[1] - py) * (a[0] - px)) * inv
                if w1 < 0:
                    continue
                w2 = 1.0 - w0 - w1
                if w2 < 0:
                    continue
                z = w0 * a[2] + w1 * b[2] + w2 * c[2]
                i = y * width + x
                if z >= depth[i]:
                    continue
                depth[i] = z
                colour[i] = (w0, w1, w2, pixel, ta, tb, tc, count)

    def resolve(self):
        """Shades every covered sample once (deferred, so hidden surfaces cost nothing)."""
        out = [None] * len(self.colour)
        for i, entry in enumerate(self.colour):
            if entry is None:
                continue
            w0, w1, w2, pixel, ta, tb, tc, count = entry
            values = [w0 * ta[k] + w1 * tb[k] + w2 * tc[k] for k in range(count)]
            out[i] = pixel(values)
        return out


def backdrop(x, y, floor_centre, floor_radius):
    """Straight RGBA of the background: transparent, a soft cyan glow and the floor shadow."""
    u = (x + 0.5) / WIDTH
    v = (y + 0.5) / HEIGHT
    d = math.hypot((u - 0.5) * 1.6, (v - 0.52) * 1.1)
    glow = max(0.0, 1.0 - d / 0.62) ** 2 * 0.22
    r, g, b, a = 0.18, 0.82, 1.0, glow
    fx = (x + 0.5 - floor_centre[0]) / floor_radius[0]
    fy = (y + 0.5 - floor_centre[1]) / floor_radius[1]
    shadow = max(0.0, 1.0 - (fx * fx + fy * fy)) ** 1.5 * 0.55
    if shadow > 0:
        # Black over the glow: alpha composite.
        out_a = shadow + a * (1 - shadow)
        r, g, b = (r * a * (1 - shadow)) / out_a, (g * a * (1 - shadow)) / out_a, (b * a * (1 - shadow)) / out_a
        a = out_a
    return r, g, b, a


def compose(samples, floor_centre, floor_radius):
    """Averages each 2x2 block of shaded samples over the background into straight RGBA bytes."""
    sw = WIDTH * SUPERSAMPLE
    rows = []
    n = SUPERSAMPLE * SUPERSAMPLE
    for y in range(HEIGHT):
        row = bytearray([0])  # filter: none
        for x in range(WIDTH):
            covered = 0
            acc = [0.0, 0.0, 0.0]
            for dy in range(SUPERSAMPLE):
                base = (y * SUPERSAMPLE + dy) * sw + x * SUPERSAMPLE
                for dx in range(SUPERSAMPLE):
                    s = samples[base + dx]
                    if s is not None:
                        covered += 1
                        acc[0] += s[0]
                        acc[1] += s[1]
                        acc[2] += s[2]
            coverage = covered / n
            br, bg, bb, ba = backdrop(x, y, floor_centre, floor_radius)
            # Subject over background, premultiplied, then back to straight alpha.
            pa = coverage + ba * (1 - coverage)
            if pa <= 0:
                row += b'\x00\x00\x00\x00'
                continue
            pr = acc[0] / n + br * ba * (1 - coverage)
            pg = acc[1] / n + bg * ba * (1 - coverage)
            pb = acc[2] / n + bb * ba * (1 - coverage)
            row += bytes((min(255, int(pr / pa * 255 + 0.5)), min(255, int(pg / pa * 255 + 0.5)),
                          min(255, int(pb / pa * 255 + 0.5)), min(255, int(pa * 255 + 0.5))))
        rows.append(bytes(row))
    return rows


def write_png(path, rows):
    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data) & 0xFFFFFFFF)

    png = b'\x89PNG\r\n\x1a\n'
    png += chunk(b'IHDR', struct.pack('>IIBBBBB', WIDTH, HEIGHT, 8, 6, 0, 0, 0))
    png += chunk(b'IDAT', zlib.compress(b''.join(rows), 9))
    png += chunk(b'IEND', b'')
    os.makedirs(os.path.dirname(path), exist_ok=True)
    tmp = path + '.tmp'
    with open(tmp, 'wb') as f:
        f.write(png)
    os.replace(tmp, path)


# ---------------------------------------------------------------- scenes

def face_normal(p0, p1, p2):
    return norm(cross(sub(p1, p0), sub(p2, p0)))


def draw_flat(raster, camera, fit, triangles):
    """Vertex-coloured triangles, one normal each (the rifle's hard surfaces)."""
    for (p0, p1, p2), colour in triangles:
        n = face_normal(p0, p1, p2)
        centre = mul(add(add(p0, p1), p2), 1.0 / 3.0)
        view_dir = norm(sub(centre, camera.eye))
        if dot(n, view_dir) > 0:
            n = mul(n, -1.0)  # both sides lit alike; the depth test hides the back
        rgb = shade(colour, n, view_dir)
        a, b, c = (fit(camera.project(p)) for p in (p0, p1, p2))
        raster.triangle(a, b, c, ((), (), ()), lambda _values, rgb=rgb: rgb)


def draw_textured(raster, camera, fit, positions, uvs, indices, texture):
    """The character: smooth normals, texture looked up per sample."""
    normals = [(0.0, 0.0, 0.0)] * len(positions)
    for t in range(0, len(indices), 3):
        i0, i1, i2 = indices[t:t + 3]
        n = cross(sub(positions[i1], positions[i0]), sub(positions[i2], positions[i0]))
        for i in (i0, i1, i2):
            normals[i] = add(normals[i], n)
    normals = [norm(n) for n in normals]
    tw, th, pixels = texture

    def pixel(values):
        u, v, nx, ny, nz, vx, vy, vz = values
        tx = min(tw - 1, max(0, int(u * tw)))
        ty = min(th - 1, max(0, int(v * th)))
        k = (ty * tw + tx) * 4
        base = ((pixels[k] / 255.0) ** 2.2, (pixels[k + 1] / 255.0) ** 2.2, (pixels[k + 2] / 255.0) ** 2.2)
        return shade(base, norm((nx, ny, nz)), norm((vx, vy, vz)))

    projected = [fit(camera.project(p)) for p in positions]
    for t in range(0, len(indices), 3):
        i0, i1, i2 = indices[t:t + 3]
        attributes = []
        for i in (i0, i1, i2):
            view_dir = norm(sub(positions[i], camera.eye))
            attributes.append(uvs[i] + normals[i] + view_dir)
        raster.triangle(projected[i0], projected[i1], projected[i2], tuple(attributes), pixel)


def render_rifle(rifle, out_path):
    camera = Camera((0.35, 0.32, 1.9), (0.0, 0.03, 0.0), 30.0)
    points = [p for tri, _ in rifle for p in tri]
    sw, sh = WIDTH * SUPERSAMPLE, HEIGHT * SUPERSAMPLE
    fit = Fit([camera.project(p) for p in points], sw, sh, (0.1, 0.16, 0.9, 0.8))
    raster = Raster(sw, sh)
    draw_flat(raster, camera, fit, rifle)
    lowest = max(fit(camera.project(p))[1] for p in points) / SUPERSAMPLE
    rows = compose(raster.resolve(), (WIDTH * 0.5, min(HEIGHT - 30, lowest + 22)), (WIDTH * 0.36, 20))
    write_png(out_path, rows)


def render_character(character, rifle, out_path):
    (positions, uvs, indices), texture, attachments = character
    grip, support = tuple(attachments[0:3]), tuple(attachments[3:6])
    held = [(tuple(held_rifle_point(p, grip, support) for p in tri), colour) for tri, colour in rifle]
    camera = Camera((1.45, 1.35, 3.3), (0.0, 0.92, 0.0), 30.0)
    points = list(positions) + [p for tri, _ in held for p in tri]
    sw, sh = WIDTH * SUPERSAMPLE, HEIGHT * SUPERSAMPLE
    fit = Fit([camera.project(p) for p in points], sw, sh, (0.3, 0.06, 0.7, 0.92))
    raster = Raster(sw, sh)
    draw_textured(raster, camera, fit, positions, uvs, indices, texture)
    draw_flat(raster, camera, fit, held)
    feet = fit(camera.project((0.0, 0.0, 0.0)))
    rows = compose(raster.resolve(), (feet[0] / SUPERSAMPLE, feet[1] / SUPERSAMPLE), (WIDTH * 0.11, 16))
    write_png(out_path, rows)


def main(rifle_path, character_path, rifle_out, character_out):
    rifle = read_weapon(rifle_path)
    render_rifle(rifle, rifle_out)
    render_character(read_character(character_path), rifle, character_out)


if __name__ == '__main__':
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    main(*sys.argv[1:5])
