#!/usr/bin/env python3
"""Builds the owned rifle model "legacy-assault-rifle.tarvoweapon" (format TRVWPN01).

Unindexed, vertex-coloured triangle list in the rifle-local frame the game uses:
x along the barrel (muzzle toward +x), y up, z sideways, metres. The pistol grip
sits on the trigger-hand point (-0.2, -0.012, 0) and the lower handguard on the
support-hand point (0.18, 0.065, 0). Wooden parts carry warm colours, steel parts
grey ones, so the game's restyle can tell them apart.
"""
import hashlib
import math
import os
import struct
import sys

WOOD = (0.52, 0.30, 0.15)
WOOD_DARK = (0.42, 0.23, 0.11)
STEEL = (0.24, 0.25, 0.27)
STEEL_DARK = (0.16, 0.17, 0.18)
POLYMER = (0.13, 0.13, 0.14)

TRIGGER_GRIP = (-0.2, -0.012, 0.0)
SUPPORT_GRIP = (0.18, 0.065, 0.0)


def sub(a, b):
    return (a[0] - b[0], a[1] - b[1], a[2] - b[2])


def cross(a, b):
    return (a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0])


def dot(a, b):
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]


class Mesh:
    def __init__(self):
        self.triangles = []  # ((p0, p1, p2), colour)

    def triangle(self, a, b, c, colour, outward_hint=None):
        if outward_hint is not None:
            n = cross(sub(b, a), sub(c, a))
            centre = tuple((a[i] + b[i] + c[i]) / 3.0 for i in range(3))
            if dot(n, sub(centre, outward_hint)) < 0:
                b, c = c, b
        self.triangles.append(((a, b, c), colour))

    def hexahedron(self, corners, colour):
        """Eight corners indexed like a box (bit 0 +x, bit 1 +y, bit 2 +z)."""
        centre = tuple(sum(c[i] for c in corners) / 8.0 for i in range(3))
        faces = ((0, 2, 3, 1), (4, 5, 7, 6), (0, 4, 6, 2), (1, 3, 7, 5), (2, 6, 7, 3), (0, 1, 5, 4))
        for a, b, c, d in faces:
            self.triangle(corners[a], corners[b], corners[c], colour, centre)
            self.triangle(corners[a], corners[c], corners[d], colour, centre)

    def box(self, centre, size, colour, tilt_degrees=0.0):
        """Axis box, optionally tilted about z around its centre (positive leans +x up)."""
        s = math.sin(math.radians(tilt_degrees))
        c = math.cos(math.radians(tilt_degrees))
        corners = []
        for i in range(8):
            dx = size[0] / 2 * (1 if i & 1 else -1)
            dy = size[1] / 2 * (1 if i & 2 else -1)
            dz = size[2] / 2 * (1 if i & 4 else -1)
            corners.append((centre[0] + dx * c - dy * s, centre[1] + dx * s + dy * c, centre[2] + dz))
        self.hexahedron(corners, colour)

    def tapered(self, x0, x1, y0_low, y0_high, y1_low, y1_high, half_z0, half_z1, colour):
        """A block along x whose height and width change linearly (stock, handguards)."""
        corners = []
        for i in range(8):
            at_end = bool(i & 1)
            x = x1 if at_end else x0
            if i & 2:
                y = y1_high if at_end else y0_high
            else:
                y = y1_low if at_end else y0_low
            hz = half_z1 if at_end else half_z0
            corners.append((x, y, hz if i & 4 else -hz))
        self.hexahedron(corners, colour)

    def cylinder_x(self, x0, x1, y, z, radius, colour, segments=10):
        ring0 = []
        ring1 = []
        for k in range(segments):
            a = 2 * math.pi * k / segments
            ring0.append((x0, y + radius * math.cos(a), z + radius * math.sin(a)))
            ring1.append((x1, y + radius * math.cos(a), z + radius * math.sin(a)))
        axis_mid = ((x0 + x1) / 2, y, z)
        for k in range(segments):
            n = (k + 1) % segments
            self.triangle(ring0[k], ring1[k], ring1[n], colour, axis_mid)
            self.triangle(ring0[k], ring1[n], ring0[n], colour, axis_mid)
            self.triangle((x0, y, z), ring0[n], ring0[k], colour, (x1, y, z))
            self.triangle((x1, y, z), ring1[k], ring1[n], colour, (x0, y, z))


def build():
    m = Mesh()
    # Receiver and dust cover.
    m.box((-0.035, 0.062, 0.0), (0.40, 0.082, 0.048), STEEL)
    m.box((-0.03, 0.112, 0.0), (0.36, 0.02, 0.044), STEEL_DARK)
    m.box((-0.215, 0.075, 0.0), (0.03, 0.07, 0.05), STEEL_DARK)            # rear trunnion
    # Pistol grip centred on the trigger hand, raked back.
    m.box((TRIGGER_GRIP[0], TRIGGER_GRIP[1] - 0.01, 0.0), (0.038, 0.11, 0.03), WOOD_DARK, tilt_degrees=-14.0)
    # Trigger and guard.
    m.box((-0.148, 0.004, 0.0), (0.008, 0.03, 0.008), STEEL_DARK)
    m.box((-0.14, -0.02, 0.0), (0.09, 0.006, 0.012), STEEL_DARK)
    m.box((-0.095, -0.004, 0.0), (0.006, 0.036, 0.012), STEEL_DARK)
    # Curved magazine: four segments stepping forward as they go down.
    for k in range(4):
        m.box((-0.06 + 0.022 * k, -0.01 - 0.042 * k, 0.0), (0.05, 0.046, 0.026), STEEL_DARK, tilt_degrees=-8.0 - 7.0 * k)
    # Selector lever and charging handle.
    m.box((-0.06, 0.07, 0.026), (0.13, 0.012, 0.004), STEEL)
    m.box((0.07, 0.085, 0.032), (0.02, 0.012, 0.02), STEEL)
    # Lower handguard around the support hand, upper handguard over the gas tube.
    m.tapered(0.09, 0.27, 0.035, 0.085, 0.042, 0.085, 0.026, 0.022, WOOD)
    m.tapered(0.10, 0.25, 0.09, 0.118, 0.092, 0.114, 0.019, 0.016, WOOD)
    m.box((0.085, 0.062, 0.0), (0.012, 0.06, 0.052), STEEL_DARK)          # handguard retainer
    # Gas tube, barrel, front sight and muzzle brake.
    m.cylinder_x(0.25, 0.34, 0.104, 0.0, 0.011, STEEL)
    m.cylinder_x(0.16, 0.50, 0.068, 0.0, 0.0105, STEEL_DARK)
    m.box((0.35, 0.09, 0.0), (0.03, 0.05, 0.024), STEEL)                  # gas block
    m.box((0.44, 0.1, 0.0), (0.022, 0.06, 0.02), STEEL)                   # front sight post
    m.cylinder_x(0.50, 0.545, 0.068, 0.0, 0.0145, STEEL)
    # Rear sight block.
    m.box((0.07, 0.125, 0.0), (0.05, 0.018, 0.03), STEEL)
    # Stock: a tapered wooden block from the receiver down to the butt plate.
    m.tapered(-0.52, -0.23, -0.045, 0.055, 0.025, 0.09, 0.021, 0.018, WOOD)
    m.box((-0.525, 0.005, 0.0), (0.012, 0.104, 0.044), POLYMER)           # butt plate
    # Sling swivel.
    m.box((-0.47, -0.04, 0.0), (0.02, 0.012, 0.03), STEEL_DARK)
    return m


def main(out_path):
    mesh = build()
    description = repr([(tri, colour) for tri, colour in mesh.triangles]).encode('ascii')
    source_hash = hashlib.sha256(b'legacy-assault-rifle source v1\n' + description).digest()
    vertices = bytearray()
    for tri, colour in mesh.triangles:
        for p in tri:
            vertices += struct.pack('<6f', p[0], p[1], p[2], colour[0], colour[1], colour[2])
    count = len(mesh.triangles) * 3
    data = b'TRVWPN01' + struct.pack('<II', 1, count) + source_hash + bytes(vertices)
    os.makedirs(os.path.dirname(out_path), exist_ok=True)
    tmp = out_path + '.tmp'
    with open(tmp, 'wb') as f:
        f.write(data)
    os.replace(tmp, out_path)


if __name__ == '__main__':
    main(sys.argv[1])
