#!/usr/bin/env python3
"""Writes test.ico: a 16 x 16 and a 32 x 32 image, 32 bits per pixel, a blue
square with a red diagonal. Run it again to regenerate the committed file."""
import os
import struct


def icon_image(size):
    pixels = bytearray()
    for row in range(size - 1, -1, -1):  # bottom-up rows
        for col in range(size):
            blue, green, red = (0, 0, 255) if row == col else (255, 64, 0)
            pixels += bytes((blue, green, red, 255))
    mask_row = ((size + 31) // 32) * 4
    mask = bytes(mask_row * size)  # all opaque
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    return header + bytes(pixels) + mask


def main():
    sizes = (16, 32)
    images = [icon_image(s) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for data in images:
        out += data
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'test.ico')
    with open(path, 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main()
