#!/usr/bin/env python3
"""Synthesises the weapon sounds: 16-bit mono PCM WAV at 48 kHz.

For each weapon key (ak47, smg9, dmr12): three shot variants, a reload and an
empty-magazine click, plus rifle-shot.wav, the file the game looks for when it
searches for its sound folder. Deterministic: the same bytes on every run.
"""
import math
import os
import random
import struct
import sys

RATE = 48000


class Shot:
    def __init__(self, length, crack, body, tail, thump_hz, thump_decay, brightness, gain):
        self.length = length          # seconds
        self.crack = crack            # decay of the initial crack, seconds
        self.body = body              # decay of the noisy body
        self.tail = tail              # decay of the low rumble tail
        self.thump_hz = thump_hz      # start frequency of the low thump
        self.thump_decay = thump_decay
        self.brightness = brightness  # 0..1, how much high noise stays in the body
        self.gain = gain


WEAPONS = {
    'ak47': Shot(0.55, 0.006, 0.060, 0.30, 140.0, 0.07, 0.55, 0.92),
    'smg9': Shot(0.32, 0.004, 0.035, 0.14, 190.0, 0.04, 0.75, 0.85),
    'dmr12': Shot(0.85, 0.008, 0.090, 0.48, 110.0, 0.11, 0.45, 0.97),
}


def one_pole(alpha):
    state = [0.0]

    def step(x):
        state[0] += alpha * (x - state[0])
        return state[0]
    return step


def shot(profile, seed, pitch):
    rnd = random.Random(seed)
    n = int(profile.length * RATE)
    low = one_pole(0.05 * pitch)
    mid = one_pole(0.25 * pitch)
    rumble = one_pole(0.012 * pitch)
    out = []
    phase = 0.0
    for i in range(n):
        t = i / RATE
        noise = rnd.uniform(-1.0, 1.0)
        m = mid(noise)
        crack = noise * math.exp(-t / profile.crack)
        body = (profile.brightness * m + (1.0 - profile.brightness) * low(noise) * 3.0) * math.exp(-t / profile.body)
        tail = rumble(noise) * 6.0 * math.exp(-t / profile.tail)
        freq = profile.thump_hz * pitch * (0.45 + 0.55 * math.exp(-t / 0.03))
        phase += 2.0 * math.pi * freq / RATE
        thump = math.sin(phase) * math.exp(-t / profile.thump_decay)
        attack = min(1.0, i / 24.0)
        out.append(attack * profile.gain * (0.55 * crack + 0.8 * body + 0.5 * tail + 0.7 * thump))
    return out


def click(out, start, rnd, tone_hz, decay, level, noise_decay=0.004):
    """Adds a mechanical click: a ringing metal tone over a short noise tick."""
    begin = int(start * RATE)
    length = int(decay * 8 * RATE)
    for k in range(length):
        i = begin + k
        if i >= len(out):
            break
        t = k / RATE
        ring = math.sin(2 * math.pi * tone_hz * t) * 0.6 + math.sin(2 * math.pi * tone_hz * 1.73 * t) * 0.4
        out[i] += level * (ring * math.exp(-t / decay) + rnd.uniform(-1, 1) * math.exp(-t / noise_decay))


def slide(out, start, duration, rnd, level):
    """Adds metal sliding on metal: band-limited noise with a soft envelope."""
    begin = int(start * RATE)
    n = int(duration * RATE)
    band = one_pole(0.3)
    for k in range(n):
        i = begin + k
        if i >= len(out):
            break
        env = math.sin(math.pi * k / n)
        out[i] += level * env * band(rnd.uniform(-1, 1))


def reload(seed, scale):
    rnd = random.Random(seed)
    out = [0.0] * int(1.45 * scale * RATE)
    click(out, 0.05 * scale, rnd, 2300, 0.012, 0.35)          # magazine catch
    slide(out, 0.10 * scale, 0.18 * scale, rnd, 0.10)          # magazine out
    click(out, 0.55 * scale, rnd, 1500, 0.018, 0.55)           # magazine seated
    click(out, 0.60 * scale, rnd, 3100, 0.008, 0.25)
    slide(out, 0.95 * scale, 0.12 * scale, rnd, 0.14)          # bolt back
    click(out, 1.08 * scale, rnd, 1900, 0.014, 0.45)           # bolt home
    click(out, 1.11 * scale, rnd, 2700, 0.010, 0.30)
    return out


def empty(seed, tone):
    rnd = random.Random(seed)
    out = [0.0] * int(0.12 * RATE)
    click(out, 0.004, rnd, tone, 0.006, 0.5, 0.002)
    click(out, 0.030, rnd, tone * 0.7, 0.005, 0.2, 0.002)
    return out


def wav_bytes(samples):
    peak = max(1e-9, max(abs(s) for s in samples))
    scale = min(1.0, 0.89 / peak) * 32767.0
    pcm = bytearray()
    fade = int(0.004 * RATE)
    for i, s in enumerate(samples):
        if i >= len(samples) - fade:
            s *= (len(samples) - i) / fade
        v = int(round(s * scale))
        pcm += struct.pack('<h', max(-32768, min(32767, v)))
    fmt = struct.pack('<HHIIHH', 1, 1, RATE, RATE * 2, 2, 16)
    body = b'WAVE' + b'fmt ' + struct.pack('<I', len(fmt)) + fmt + b'data' + struct.pack('<I', len(pcm)) + bytes(pcm)
    return b'RIFF' + struct.pack('<I', len(body)) + body


def write(folder, name, samples):
    path = os.path.join(folder, name)
    data = wav_bytes(samples)
    tmp = path + '.tmp'
    with open(tmp, 'wb') as f:
        f.write(data)
    os.replace(tmp, path)


def main(folder):
    os.makedirs(folder, exist_ok=True)
    for w, (key, profile) in enumerate(WEAPONS.items()):
        for variant, pitch in enumerate((1.0, 0.96, 1.05), start=1):
            write(folder, f'{key}-shot-{variant}.wav', shot(profile, 1000 * w + variant, pitch))
        write(folder, f'{key}-reload.wav', reload(2000 + w, (1.0, 0.85, 1.15)[w]))
        write(folder, f'{key}-empty.wav', empty(3000 + w, (2600, 3200, 2100)[w]))
    write(folder, 'rifle-shot.wav', shot(WEAPONS['ak47'], 1001, 1.0))


if __name__ == '__main__':
    main(sys.argv[1])
