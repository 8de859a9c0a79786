#!/usr/bin/env python3
"""Draws the program's icons and writes them as .ico files into res/.

The artwork is made of a few vector shapes rendered with 4x4 supersampling, so every size
is drawn for its own pixel grid instead of being scaled from a larger picture. Run it again
after changing a shape: python3 tools/make_icons.py
"""
import os
import struct

SS = 4  # subsamples per axis


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if x < x0 or x > x1 or y < y0 or y > y1:
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def polygon(points):
    def inside(x, y):
        hit = False
        n = len(points)
        for i in range(n):
            xa, ya = points[i]
            xb, yb = points[(i + 1) % n]
            if (ya > y) != (yb > y):
                xc = xa + (y - ya) * (xb - xa) / (yb - ya)
                if x < xc:
                    hit = not hit
        return hit
    return inside


def render(size, shapes):
    """shapes: list of (inside(x, y) in unit square coordinates, (r, g, b, a) or fn(x, y))."""
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]  # premultiplied
            for sy in range(SS):
                for sx in range(SS):
                    x = (px + (sx + 0.5) / SS) / size
                    y = (py + (sy + 0.5) / SS) / size
                    c = [0.0, 0.0, 0.0, 0.0]
                    for inside, colour in shapes:
                        if inside(x, y):
                            r, g, b, a = colour(x, y) if callable(colour) else colour
                            a /= 255.0
                            c = [r * a + c[0] * (1 - a), g * a + c[1] * (1 - a),
                                 b * a + c[2] * (1 - a), a + c[3] * (1 - a)]
                    for i in range(4):
                        acc[i] += c[i]
            n = SS * SS
            alpha = acc[3] / n
            if alpha <= 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(int(round(min(255, acc[i] / n / alpha))) for i in range(3))
                           + (int(round(alpha * 255)),))
        pixels.append(row)
    return pixels


def ico_bytes(frames):
    header = struct.pack('<HHH', 0, 1, len(frames))
    entries, blobs = b'', b''
    offset = 6 + 16 * len(frames)
    for pixels in frames:
        size = len(pixels)
        bmp = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
        for row in reversed(pixels):
            for r, g, b, a in row:
                bmp += struct.pack('BBBB', b, g, r, a)
        stride = ((size + 31) // 32) * 4
        for row in reversed(pixels):
            bits = bytearray(stride)
            for x, (_, _, _, a) in enumerate(row):
                if a == 0:
                    bits[x // 8] |= 0x80 >> (x % 8)
            bmp += bytes(bits)
        dim = 0 if size >= 256 else size
        entries += struct.pack('<BBBBHHII', dim, dim, 0, 0, 1, 32, len(bmp), offset)
        blobs += bmp
        offset += len(bmp)
    return header + entries + blobs


def vertical(top, bottom):
    def colour(x, y):
        return tuple(top[i] + (bottom[i] - top[i]) * y for i in range(3)) + (255,)
    return colour


def tray_shapes():
    # A rounded tile with three menu rows, the middle one highlighted: the toolbar menu.
    shapes = [(rounded_rect(0.04, 0.04, 0.96, 0.96, 0.2), vertical((46, 122, 214), (22, 72, 160)))]
    for i, y in enumerate((0.22, 0.43, 0.64)):
        if i == 1:
            shapes.append((rounded_rect(0.14, y - 0.04, 0.86, y + 0.17, 0.05), (255, 196, 64, 255)))
        shapes.append((rounded_rect(0.2, y + 0.02, 0.34, y + 0.11, 0.03), (255, 255, 255, 255)))
        shapes.append((rounded_rect(0.42, y + 0.02, 0.8, y + 0.11, 0.03), (255, 255, 255, 235)))
    return shapes


def folder_shapes(band=None):
    shapes = [
        (polygon([(0.06, 0.2), (0.4, 0.2), (0.48, 0.3), (0.94, 0.3), (0.94, 0.86), (0.06, 0.86)]),
         (196, 142, 30, 255)),
        (rounded_rect(0.06, 0.36, 0.94, 0.86, 0.04), vertical((255, 214, 102), (240, 178, 46))),
    ]
    if band:
        shapes.append((rounded_rect(0.18, 0.5, 0.82, 0.62, 0.03), band))
        shapes.append((rounded_rect(0.18, 0.68, 0.6, 0.76, 0.03), band))
    return shapes


def file_shapes():
    return [
        (polygon([(0.18, 0.06), (0.62, 0.06), (0.84, 0.28), (0.84, 0.94), (0.18, 0.94)]),
         (110, 118, 130, 255)),
        (polygon([(0.23, 0.11), (0.6, 0.11), (0.79, 0.3), (0.79, 0.89), (0.23, 0.89)]),
         (252, 252, 252, 255)),
        (polygon([(0.6, 0.11), (0.79, 0.3), (0.6, 0.3)]), (200, 206, 214, 255)),
        (rounded_rect(0.32, 0.46, 0.7, 0.52, 0.02), (150, 160, 172, 255)),
        (rounded_rect(0.32, 0.6, 0.7, 0.66, 0.02), (150, 160, 172, 255)),
        (rounded_rect(0.32, 0.74, 0.58, 0.8, 0.02), (150, 160, 172, 255)),
    ]


def main():
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'res')
    icons = {
        'tray.ico': (tray_shapes(), (16, 20, 24, 32, 48, 64, 96, 128, 192)),
        'toolbar.ico': (folder_shapes(band=(46, 122, 214, 255)), (16, 24, 32, 48)),
        'folder.ico': (folder_shapes(), (16, 24, 32)),
        'file.ico': (file_shapes(), (16, 24, 32)),
    }
    for name, (shapes, sizes) in icons.items():
        with open(os.path.join(out, name), 'wb') as f:
            f.write(ico_bytes([render(s, shapes) for s in sizes]))
        print('wrote', name)


if __name__ == '__main__':
    main()
