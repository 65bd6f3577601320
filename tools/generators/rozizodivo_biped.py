#!/usr/bin/env python3
"""Builds the opponent character "rozizodivo_biped" as pre-baked vertex animation.

Writes two files:
  <runtime>   the current format "TRVMESH3": three levels of detail, the clips
              "idle", "walk" and "run", per-frame attachment poses (weapon grip,
              support hand, muzzle aim point) and an RGBA texture with its mips;
  <rollback>  the rollback copy "0.0.03" in the old format "TRVMESH1": the finest
              level only, same clips, no texture.

The biped is a 24-joint armature posed procedurally every frame; each body part is
an elliptic tube between two joints, rigidly following them. Character-local frame:
feet on y = 0, y up, facing +z, metres. Deterministic output.
"""
import hashlib
import math
import os
import random
import struct
import sys

from vec3 import add, cross, dot, mul, norm, sub

# ---------------------------------------------------------------- vector helpers


def rot_x(v, angle):
    """Rotates about +x: positive angles turn +y toward +z."""
    c, s = math.cos(angle), math.sin(angle)
    return (v[0], v[1] * c - v[2] * s, v[1] * s + v[2] * c)


# ---------------------------------------------------------------- armature

JOINTS = [
    'Hips', 'Spine', 'Spine1', 'Spine2', 'Neck', 'Head',
    'LeftShoulder', 'LeftArm', 'LeftForeArm', 'LeftHand',
    'RightShoulder', 'RightArm', 'RightForeArm', 'RightHand',
    'LeftUpLeg', 'LeftLeg', 'LeftFoot', 'LeftToeBase',
    'RightUpLeg', 'RightLeg', 'RightFoot', 'RightToeBase',
    'RightHandWeaponSocket', 'LeftHandSupportTarget',
]
assert len(JOINTS) == 24

THIGH = 0.44
SHIN = 0.43
ANKLE_HEIGHT = 0.085
UPPER_ARM = 0.29
FOREARM = 0.27
HIP_HALF_WIDTH = 0.095
SHOULDER_HALF_WIDTH = 0.19


class Clip:
    def __init__(self, name, duration, frames, stride, knee, bob, lean, arm_bob, breathe):
        self.name = name
        self.duration = duration
        self.frames = frames
        self.stride = stride      # thigh swing amplitude, radians
        self.knee = knee          # extra knee bend in the swing phase, radians
        self.bob = bob            # vertical bob of the torso, metres
        self.lean = lean          # forward lean of the torso, radians
        self.arm_bob = arm_bob    # rifle bob relative to the chest, metres
        self.breathe = breathe    # idle breathing amplitude, metres


CLIPS = [
    Clip('idle', 2.4, 30, 0.0, 0.0, 0.0, 0.05, 0.0, 0.006),
    Clip('walk', 1.1, 24, 0.42, 0.75, 0.025, 0.09, 0.012, 0.0),
    Clip('run', 0.7, 18, 0.72, 1.35, 0.05, 0.22, 0.022, 0.0),
]


def leg(hip, swing, bend):
    """Knee, ankle, heel and toe of a leg swung `swing` forward with knee bend `bend`."""
    knee = add(hip, (0.0, -THIGH * math.cos(swing), THIGH * math.sin(swing)))
    shin_angle = swing - bend
    ankle = add(knee, (0.0, -SHIN * math.cos(shin_angle), SHIN * math.sin(shin_angle)))
    foot_pitch = max(-0.5, min(0.6, 0.6 * shin_angle))
    toe = add(ankle, rot_x((0.0, -0.055, 0.17), -foot_pitch))
    heel = add(ankle, rot_x((0.0, -0.06, -0.045), -foot_pitch))
    return knee, ankle, heel, toe


def two_bone(shoulder, hand, upper, lower, pole):
    """Elbow position for an arm reaching from shoulder to hand, bending toward pole."""
    to_hand = sub(hand, shoulder)
    d = max(1e-4, min(upper + lower - 1e-4, math.sqrt(dot(to_hand, to_hand))))
    direction = norm(to_hand)
    along = (upper * upper - lower * lower + d * d) / (2 * d)
    height = math.sqrt(max(0.0, upper * upper - along * along))
    bend = norm(sub(pole, mul(direction, dot(pole, direction))))
    return add(add(shoulder, mul(direction, along)), mul(bend, height))


def pose(clip, frame):
    """World positions of every joint plus the helper points of one frame."""
    phase = frame / clip.frames
    w = 2 * math.pi * phase
    p = {}
    left_swing = clip.stride * math.sin(w)
    right_swing = -left_swing
    left_bend = 0.12 + clip.knee * max(0.0, math.sin(w + 0.9)) if clip.stride else 0.1
    right_bend = 0.12 + clip.knee * max(0.0, math.sin(w + math.pi + 0.9)) if clip.stride else 0.1

    hips = (0.0, 1.0, 0.0)
    legs = {}
    for side, swing, bend, x in (('Left', left_swing, left_bend, -HIP_HALF_WIDTH),
                                 ('Right', right_swing, right_bend, HIP_HALF_WIDTH)):
        legs[side] = leg(add(hips, (x, 0.0, 0.0)), swing, bend)
    # Drop the body until the lower foot stands on the floor.
    lowest = min(min(legs[s][1][1] - ANKLE_HEIGHT, legs[s][2][1], legs[s][3][1]) for s in legs)
    drop = lowest
    bob = clip.bob * abs(math.sin(w))
    hips = (0.0, 1.0 - drop + bob, 0.0)
    for side, swing, bend, x in (('Left', left_swing, left_bend, -HIP_HALF_WIDTH),
                                 ('Right', right_swing, right_bend, HIP_HALF_WIDTH)):
        hip = add(hips, (x, 0.0, 0.0))
        knee, ankle, heel, toe = leg(hip, swing, bend)
        p[side + 'UpLeg'] = hip
        p[side + 'Leg'] = knee
        p[side + 'Foot'] = ankle
        p[side + 'Heel'] = heel
        p[side + 'ToeBase'] = toe
    p['Hips'] = hips

    breathe = clip.breathe * math.sin(2 * math.pi * phase)
    sway = 0.02 * math.sin(w) if clip.stride else 0.0
    up = norm(rot_x((0.0, 1.0, 0.0), clip.lean))
    p['Spine'] = add(hips, mul(up, 0.12))
    p['Spine1'] = add(hips, mul(up, 0.27))
    p['Spine2'] = add(add(hips, mul(up, 0.40 + breathe)), (sway, 0.0, 0.0))
    p['Neck'] = add(add(hips, mul(up, 0.545 + breathe)), (sway, 0.0, 0.0))
    p['Head'] = add(p['Neck'], mul(norm(add(up, (0.0, 0.6, 0.0))), 0.09))
    p['HeadTop'] = add(p['Head'], (0.0, 0.21, 0.01))
    shoulder_y = add(hips, mul(up, 0.515 + breathe))
    p['LeftShoulder'] = add(shoulder_y, (-0.07 + sway, 0.0, 0.0))
    p['RightShoulder'] = add(shoulder_y, (0.07 + sway, 0.0, 0.0))
    p['LeftArm'] = add(shoulder_y, (-SHOULDER_HALF_WIDTH + sway, 0.0, 0.0))
    p['RightArm'] = add(shoulder_y, (SHOULDER_HALF_WIDTH + sway, 0.0, 0.0))

    # The rifle is held at the chest: right hand on the grip, left hand forward on
    # the handguard, muzzle along +z, bobbing with the gait.
    rifle_bob = clip.arm_bob * math.sin(2 * w) + 0.4 * breathe
    chest = p['Spine2']
    grip = add(chest, (0.11 + sway, -0.08 + rifle_bob, 0.2))
    support = add(chest, (0.0 + sway, -0.03 + rifle_bob, 0.46))
    muzzle = add(grip, (0.0, 0.075, 0.66))
    p['RightHandWeaponSocket'] = grip
    p['LeftHandSupportTarget'] = support
    p['Muzzle'] = muzzle
    p['RightHand'] = grip
    p['LeftHand'] = support
    p['RightForeArm'] = two_bone(p['RightArm'], grip, UPPER_ARM, FOREARM, (0.6, -1.0, -0.2))
    p['LeftForeArm'] = two_bone(p['LeftArm'], support, UPPER_ARM, FOREARM, (-0.7, -1.0, 0.0))
    return p


# ---------------------------------------------------------------- texture

TEXTURE_SIZE = 256
CELL = 64
# Atlas cells (column, row) with base colour (sRGB bytes) and pattern.
CELLS = {
    'skin': ((0, 0), (196, 150, 120), 'plain'),
    'shirt': ((1, 0), (88, 96, 66), 'weave'),
    'vest': ((2, 0), (52, 58, 50), 'pouches'),
    'pants': ((3, 0), (78, 82, 70), 'camo'),
    'boots': ((0, 1), (34, 29, 25), 'plain'),
    'gloves': ((1, 1), (40, 40, 37), 'weave'),
    'helmet': ((2, 1), (72, 78, 60), 'plain'),
    'face': ((3, 1), (190, 144, 116), 'face'),
}


def texel(cell_name, x, y, rnd):
    (_, base, pattern) = CELLS[cell_name]
    r, g, b = base
    shade = 1.0 + rnd.uniform(-0.04, 0.04)
    if pattern == 'weave':
        shade *= 0.93 if (x + y) % 4 < 2 else 1.04
    elif pattern == 'pouches':
        if 8 < x % 32 < 26 and 20 < y < 44:
            shade *= 0.78
        if y % 16 == 0:
            shade *= 0.85
    elif pattern == 'camo':
        blob = math.sin(x * 0.31) * math.cos(y * 0.23) + math.sin((x + y) * 0.17)
        if blob > 0.6:
            r, g, b = 58, 64, 46
        elif blob < -0.7:
            r, g, b = 104, 100, 82
    elif pattern == 'face':
        # Eyes and a visor band across the upper half of the head tube.
        if 34 < y < 40 and (14 < x < 22 or 42 < x < 50):
            r, g, b = 30, 26, 24
        elif 28 < y < 33:
            r, g, b = 60, 66, 52
    return (min(255, int(r * shade)), min(255, int(g * shade)), min(255, int(b * shade)), 255)


def build_texture():
    rnd = random.Random(7)
    pixels = bytearray(TEXTURE_SIZE * TEXTURE_SIZE * 4)
    owner = {}
    for name, ((cx, cy), _, _) in CELLS.items():
        owner[(cx, cy)] = name
    for y in range(TEXTURE_SIZE):
        for x in range(TEXTURE_SIZE):
            key = (x // CELL, y // CELL)
            name = owner.get(key)
            if name is None:
                colour = (128, 128, 128, 255)
            else:
                colour = texel(name, x % CELL, y % CELL, rnd)
            i = (y * TEXTURE_SIZE + x) * 4
            pixels[i:i + 4] = bytes(colour)
    return pixels


def mip_chain(pixels, size):
    levels = [(size, size, bytes(pixels))]
    while size > 1:
        half = size // 2
        src = levels[-1][2]
        out = bytearray(half * half * 4)
        for y in range(half):
            for x in range(half):
                for c in range(4):
                    total = 0
                    for dy in (0, 1):
                        for dx in (0, 1):
                            total += src[((2 * y + dy) * size + 2 * x + dx) * 4 + c]
                    out[(y * half + x) * 4 + c] = (total + 2) // 4
        levels.append((half, half, bytes(out)))
        size = half
    return levels


# ---------------------------------------------------------------- geometry

# Parts: joint at the start, joint at the end, (side radius, forward radius) at
# each end, atlas cell, and whether the ends are closed with caps.
PARTS = [
    ('pelvis', 'HipsLow', 'Spine', (0.16, 0.11), (0.15, 0.10), 'pants'),
    ('abdomen', 'Spine', 'Spine1', (0.15, 0.10), (0.17, 0.115), 'shirt'),
    ('chest', 'Spine1', 'Neck', (0.185, 0.13), (0.16, 0.105), 'vest'),
    ('neck', 'Neck', 'Head', (0.05, 0.05), (0.047, 0.047), 'skin'),
    ('head', 'Head', 'HeadTop', (0.082, 0.095), (0.062, 0.07), 'face'),
    ('helmet', 'HelmetLow', 'HelmetTop', (0.108, 0.118), (0.07, 0.075), 'helmet'),
    ('upper_arm_l', 'LeftArm', 'LeftForeArm', (0.056, 0.056), (0.045, 0.045), 'shirt'),
    ('upper_arm_r', 'RightArm', 'RightForeArm', (0.056, 0.056), (0.045, 0.045), 'shirt'),
    ('forearm_l', 'LeftForeArm', 'LeftWrist', (0.045, 0.045), (0.035, 0.035), 'shirt'),
    ('forearm_r', 'RightForeArm', 'RightWrist', (0.045, 0.045), (0.035, 0.035), 'shirt'),
    ('hand_l', 'LeftWrist', 'LeftFingers', (0.036, 0.028), (0.03, 0.022), 'gloves'),
    ('hand_r', 'RightWrist', 'RightFingers', (0.036, 0.028), (0.03, 0.022), 'gloves'),
    ('thigh_l', 'LeftUpLeg', 'LeftLeg', (0.088, 0.088), (0.062, 0.062), 'pants'),
    ('thigh_r', 'RightUpLeg', 'RightLeg', (0.088, 0.088), (0.062, 0.062), 'pants'),
    ('shin_l', 'LeftLeg', 'LeftFoot', (0.062, 0.062), (0.046, 0.046), 'pants'),
    ('shin_r', 'RightLeg', 'RightFoot', (0.062, 0.062), (0.046, 0.046), 'pants'),
    ('boot_l', 'LeftBootTop', 'LeftFoot', (0.058, 0.058), (0.055, 0.055), 'boots'),
    ('boot_r', 'RightBootTop', 'RightFoot', (0.058, 0.058), (0.055, 0.055), 'boots'),
    ('foot_l', 'LeftHeel', 'LeftToeBase', (0.048, 0.04), (0.042, 0.03), 'boots'),
    ('foot_r', 'RightHeel', 'RightToeBase', (0.048, 0.04), (0.042, 0.03), 'boots'),
]


def helper_points(p):
    """Points derived from the joints that the parts need."""
    q = dict(p)
    up = norm(sub(p['Neck'], p['Hips']))
    q['HipsLow'] = sub(p['Hips'], mul(up, 0.07))
    head_axis = norm(sub(p['HeadTop'], p['Head']))
    q['HelmetLow'] = add(p['Head'], mul(head_axis, 0.12))
    q['HelmetTop'] = add(p['HeadTop'], mul(head_axis, 0.025))
    for side in ('Left', 'Right'):
        elbow = p[side + 'ForeArm']
        hand = p[side + 'Hand']
        direction = norm(sub(hand, elbow))
        q[side + 'Wrist'] = sub(hand, mul(direction, 0.045))
        q[side + 'Fingers'] = add(hand, mul(direction, 0.06))
        q[side + 'BootTop'] = add(p[side + 'Foot'], mul(norm(sub(p[side + 'Leg'], p[side + 'Foot'])), 0.13))
    return q


class Topology:
    """Vertex layout and triangles of one level of detail (the same for every frame)."""

    def __init__(self, segments, rings):
        self.segments = segments
        self.rings = rings
        self.uvs = []
        self.indices = []
        self.layout = []  # per part: (first vertex, part)
        for part in PARTS:
            first = len(self.uvs)
            self.layout.append((first, part))
            (cx, cy), _, _ = CELLS[part[5]]
            u0 = (cx * CELL + 2) / TEXTURE_SIZE
            v0 = (cy * CELL + 2) / TEXTURE_SIZE
            du = (CELL - 4) / TEXTURE_SIZE
            for k in range(rings + 1):
                for j in range(segments + 1):
                    self.uvs.append((u0 + du * j / segments, v0 + du * (1.0 - k / rings)))
            caps = len(self.uvs)
            self.uvs.append((u0 + du * 0.5, v0 + du))
            self.uvs.append((u0 + du * 0.5, v0))
            row = segments + 1
            for k in range(rings):
                for j in range(segments):
                    a = first + k * row + j
                    b = a + 1
                    c = a + row + 1
                    d = a + row
                    self.indices += [a, b, c, a, c, d]
            for j in range(segments):
                self.indices += [caps, first + j + 1, first + j]
                top = first + rings * row
                self.indices += [caps + 1, top + j, top + j + 1]

    def vertex_count(self):
        return len(self.uvs)

    def positions(self, points):
        out = []
        forward = (0.0, 0.0, 1.0)
        for _, (_, start, end, r0, r1, _) in self.layout:
            a = points[start]
            b = points[end]
            axis = norm(sub(b, a))
            ref = forward if abs(dot(axis, forward)) < 0.8 else (0.0, 1.0, 0.0)
            e_fwd = norm(sub(ref, mul(axis, dot(ref, axis))))
            e_side = cross(axis, e_fwd)
            for k in range(self.rings + 1):
                t = k / self.rings
                centre = add(a, mul(sub(b, a), t))
                rs = r0[0] + (r1[0] - r0[0]) * t
                rf = r0[1] + (r1[1] - r0[1]) * t
                for j in range(self.segments + 1):
                    angle = 2 * math.pi * j / self.segments
                    offset = add(mul(e_side, rs * math.sin(angle)), mul(e_fwd, rf * math.cos(angle)))
                    out.append(add(centre, offset))
            # Rounded ends reach a little past the joints so neighbouring parts overlap.
            out.append(sub(a, mul(axis, 0.45 * min(r0))))
            out.append(add(b, mul(axis, 0.45 * min(r1))))
        return out


LODS = [(14, 5, 12.0), (9, 3, 30.0), (5, 1, 1000.0)]  # segments, rings, maxDistance


def frames_for(clip):
    return [helper_points(pose(clip, f)) for f in range(clip.frames)]


def pack_name(name):
    raw = name.encode('ascii')
    return struct.pack('<I', len(raw)) + raw


def pack_positions(topology, frames):
    out = bytearray()
    for points in frames:
        for v in topology.positions(points):
            out += struct.pack('<3f', *v)
    return out


def source_description():
    return repr((JOINTS, [(c.name, c.duration, c.frames, c.stride, c.knee, c.bob, c.lean, c.arm_bob, c.breathe)
                          for c in CLIPS], PARTS, LODS,
                 (THIGH, SHIN, ANKLE_HEIGHT, UPPER_ARM, FOREARM))).encode('ascii')


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    tmp = path + '.tmp'
    with open(tmp, 'wb') as f:
        f.write(data)
    os.replace(tmp, path)


def main(runtime_path, rollback_path):
    clip_frames = {c.name: frames_for(c) for c in CLIPS}
    topologies = [Topology(s, r) for s, r, _ in LODS]
    height = round(max(p[1] for points in clip_frames['idle'] for p in topologies[0].positions(points)), 2)
    height = max(0.5, min(4.0, height))
    source_hash = hashlib.sha256(b'rozizodivo_biped source\n' + source_description()).digest()

    texture = build_texture()
    mips = mip_chain(texture, TEXTURE_SIZE)
    texture_hash = hashlib.sha256(texture).digest()

    # Current format: TRVMESH3.
    data = bytearray(b'TRVMESH3')
    data += struct.pack('<IIIIffII', 3, len(LODS), len(CLIPS), len(mips), height, 1.0, 1, 1)
    data += source_hash + texture_hash
    for c in CLIPS:
        data += pack_name(c.name) + struct.pack('<fI', c.duration, c.frames)
    for c in CLIPS:
        for points in clip_frames[c.name]:
            for key in ('RightHandWeaponSocket', 'LeftHandSupportTarget', 'Muzzle'):
                data += struct.pack('<3f', *points[key])
    for topology, (_, _, max_distance) in zip(topologies, LODS):
        data += struct.pack('<IIf', topology.vertex_count(), len(topology.indices), max_distance)
        for u, v in topology.uvs:
            data += struct.pack('<2f', u, v)
        data += struct.pack(f'<{len(topology.indices)}I', *topology.indices)
        for c in CLIPS:
            data += pack_positions(topology, clip_frames[c.name])
    for width, height_px, pixels in mips:
        data += struct.pack('<III', width, height_px, len(pixels)) + pixels
    write(runtime_path, bytes(data))

    # Rollback copy 0.0.03: TRVMESH1, finest level only, untextured.
    fine = topologies[0]
    old = bytearray(b'TRVMESH1')
    old += struct.pack('<IIIIff', 1, fine.vertex_count(), len(fine.indices), len(CLIPS), height, 1.0)
    old += hashlib.sha256(b'rozizodivo_biped 0.0.03\n' + source_description()).digest()
    old += struct.pack(f'<{len(fine.indices)}I', *fine.indices)
    for c in CLIPS:
        old += pack_name(c.name) + struct.pack('<fI', c.duration, c.frames)
        old += pack_positions(fine, clip_frames[c.name])
    write(rollback_path, bytes(old))


if __name__ == '__main__':
    main(sys.argv[1], sys.argv[2])
