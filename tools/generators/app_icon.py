#!/usr/bin/env python3
"""Writes the application icon: a dark tile with a cyan chevron, 32x32 and 16x16."""
import struct
import sys


def pixel(x, y, size):
    u = (x + 0.5) / size
    v = (y + 0.5) / size
    bg = (0x0B, 0x0F, 0x14, 0xFF)
    # Chevron pointing up, the family mark.
    d = abs(u - 0.5)
    top = 0.22 + d * 1.1
    if 0.78 > v > top and v < top + 0.18 and d < 0.42:
        return (0x22, 0xD3, 0xEE, 0xFF)
    if u < 0.06 or u > 0.94 or v < 0.06 or v > 0.94:
        return (0x1F, 0x29, 0x37, 0xFF)
    return bg


def image(size):
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = []
    for y in range(size - 1, -1, -1):
        row = b''
        for x in range(size):
            r, g, b, a = pixel(x, y, size)
            row += bytes((b, g, r, a))
        rows.append(row)
    mask_row = b'\x00' * (((size + 31) // 32) * 4)
    return header + b''.join(rows) + mask_row * size


def main(out):
    sizes = (32, 16)
    images = [image(s) for s in sizes]
    data = struct.pack('<HHH', 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, img in zip(sizes, images):
        data += struct.pack('<BBBBHHII', s, s, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    data += b''.join(images)
    with open(out, 'wb') as f:
        f.write(data)


if __name__ == '__main__':
    main(sys.argv[1])
