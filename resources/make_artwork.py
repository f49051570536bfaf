#!/usr/bin/env python3
"""Draws Pakmaster's artwork: the three page pictures (120 x 227, 256 colours), the "zapzap"
sound, the icon (the window's, and the desktop's at the usual sizes and scalable), the 21 digit
tiles of the section tree and the button glyphs.

Only the standard library is used, so the script runs on any machine:
    python3 resources/make_artwork.py resources/generated
"""
import math
import os
import struct
import sys
import zlib

# ---------------------------------------------------------------- canvas

class Canvas:
    def __init__(self, w, h, fill=(0, 0, 0, 0)):
        self.w, self.h = w, h
        self.px = [[fill for _ in range(w)] for _ in range(h)]

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            if len(c) == 3:
                c = c + (255,)
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, c):
        for y in range(max(0, y0), min(self.h, y1 + 1)):
            for x in range(max(0, x0), min(self.w, x1 + 1)):
                self.set(x, y, c)

    def frame(self, x0, y0, x1, y1, c):
        for x in range(x0, x1 + 1):
            self.set(x, y0, c)
            self.set(x, y1, c)
        for y in range(y0, y1 + 1):
            self.set(x0, y, c)
            self.set(x1, y, c)

    def line(self, x0, y0, x1, y1, c):
        n = int(max(abs(x1 - x0), abs(y1 - y0), 1))
        for i in range(n + 1):
            self.set(round(x0 + (x1 - x0) * i / n), round(y0 + (y1 - y0) * i / n), c)

    def disc(self, cx, cy, r, c):
        for y in range(int(cy - r), int(cy + r) + 1):
            for x in range(int(cx - r), int(cx + r) + 1):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                    self.set(x, y, c)

    def text(self, x, y, s, c, scale=1):
        for ch in s:
            glyph = FONT.get(ch.upper(), FONT[' '])
            for row, bits in enumerate(glyph):
                for col in range(5):
                    if bits & (0x10 >> col):
                        self.rect(x + col * scale, y + row * scale,
                                  x + col * scale + scale - 1, y + row * scale + scale - 1, c)
            x += 6 * scale


# 5 x 7 font, enough for the captions drawn here.
FONT = {
    ' ': [0, 0, 0, 0, 0, 0, 0],
    '0': [0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E], '1': [0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E],
    '2': [0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F], '3': [0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E],
    '4': [0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02], '5': [0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E],
    '6': [0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E], '7': [0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08],
    '8': [0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E], '9': [0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C],
    'A': [0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11], 'C': [0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E],
    'D': [0x1E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1E], 'E': [0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F],
    'F': [0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10], 'I': [0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E],
    'K': [0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11], 'M': [0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11],
    'N': [0x11, 0x19, 0x15, 0x13, 0x11, 0x11, 0x11], 'O': [0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E],
    'P': [0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10], 'R': [0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11],
    'S': [0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E], 'T': [0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04],
    'V': [0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04], 'Z': [0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F],
    '/': [0x01, 0x01, 0x02, 0x04, 0x08, 0x10, 0x10], '.': [0, 0, 0, 0, 0, 0x0C, 0x0C],
}

# ---------------------------------------------------------------- writers

def write_png(path, canvas):
    raw = b''.join(b'\x00' + b''.join(struct.pack('BBBB', *p) for p in row) for row in canvas.px)

    def chunk(tag, data):
        return struct.pack('>I', len(data)) + tag + data + struct.pack('>I', zlib.crc32(tag + data) & 0xFFFFFFFF)

    data = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', canvas.w, canvas.h, 8, 6, 0, 0, 0))
    data += chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b'')
    with open(path, 'wb') as f:
        f.write(data)


def write_bmp8(path, canvas):
    """A 256-colour bitmap: colours are quantised to a 6x6x6 cube plus 40 greys."""
    palette = []
    for r in range(6):
        for g in range(6):
            for b in range(6):
                palette.append((r * 51, g * 51, b * 51))
    for i in range(40):
        v = round(i * 255 / 39)
        palette.append((v, v, v))

    def index(c):
        r, g, b = c[:3]
        if abs(r - g) < 8 and abs(g - b) < 8:
            return 216 + round(r * 39 / 255)
        return round(r / 51) * 36 + round(g / 51) * 6 + round(b / 51)

    row_size = (canvas.w + 3) & ~3
    pixels = b''
    for y in range(canvas.h - 1, -1, -1):
        row = bytes(index(canvas.px[y][x]) for x in range(canvas.w))
        pixels += row + b'\x00' * (row_size - canvas.w)
    pal = b''.join(struct.pack('BBBB', b, g, r, 0) for (r, g, b) in palette)
    offset = 14 + 40 + len(pal)
    header = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, canvas.w, canvas.h, 1, 8, 0, len(pixels), 2835, 2835, 256, 0)
    with open(path, 'wb') as f:
        f.write(header + info + pal + pixels)


def write_wav(path, samples, rate=11025):
    data = b''.join(struct.pack('<h', max(-32767, min(32767, int(s)))) for s in samples)
    fmt = struct.pack('<HHIIHH', 1, 1, rate, rate * 2, 2, 16)
    body = b'WAVE' + b'fmt ' + struct.pack('<I', len(fmt)) + fmt + b'data' + struct.pack('<I', len(data)) + data
    with open(path, 'wb') as f:
        f.write(b'RIFF' + struct.pack('<I', len(body)) + body)

# ---------------------------------------------------------------- pictures

def mix(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


def backdrop(top, bottom):
    c = Canvas(120, 227)
    for y in range(227):
        col = mix(top, bottom, y / 226)
        for x in range(120):
            # faint diagonal scan lines
            shade = 0.92 if (x + y) % 8 == 0 else 1.0
            c.set(x, y, tuple(round(v * shade) for v in col))
    return c


def floppy(c, x, y, body, label):
    c.rect(x, y, x + 31, y + 31, body)
    c.rect(x + 2, y + 31 - 1, x + 29, y + 31, mix(body, (0, 0, 0), 0.3))
    c.rect(x + 8, y, x + 23, y + 10, (200, 200, 210))
    c.rect(x + 17, y + 2, x + 20, y + 8, body)
    c.rect(x + 5, y + 15, x + 26, y + 29, label)
    for ly in range(y + 18, y + 28, 3):
        c.line(x + 7, ly, x + 24, ly, (150, 150, 170))


def page_intro():
    c = backdrop((20, 40, 120), (120, 10, 90))
    c.text(14, 16, 'PAK', (255, 255, 255), 3)
    c.text(14, 42, 'MASTER', (255, 210, 60), 2)
    # a wizard's star over a stack of disks
    for i, r in enumerate((26, 18, 10)):
        c.disc(60, 110, r, mix((255, 220, 90), (255, 255, 255), i / 2))
    for k in range(8):
        a = k * math.pi / 4
        c.line(60, 110, 60 + 40 * math.cos(a), 110 + 40 * math.sin(a), (255, 240, 160))
    floppy(c, 20, 160, (40, 40, 60), (230, 230, 240))
    floppy(c, 44, 170, (160, 30, 30), (230, 230, 240))
    floppy(c, 68, 160, (30, 110, 60), (230, 230, 240))
    c.text(36, 212, 'V1.0', (255, 255, 255), 1)
    return c


def page_nfodiz():
    c = backdrop((10, 60, 70), (10, 20, 50))
    c.text(16, 14, 'NFO', (255, 255, 255), 3)
    c.text(16, 40, 'DIZ', (120, 230, 220), 3)
    # a sheet with block art
    c.rect(18, 80, 101, 200, (235, 235, 225))
    c.frame(18, 80, 101, 200, (40, 40, 40))
    for y in range(90, 190, 6):
        for x in range(24, 96, 4):
            if (x * 7 + y * 3) % 11 < 6 and (y < 110 or y > 170 or x < 36 or x > 84):
                c.rect(x, y, x + 3, y + 4, (40, 60, 140))
    c.text(42, 134, 'INFO', (140, 20, 20), 1)
    return c


def page_rarzip():
    c = backdrop((70, 20, 20), (20, 20, 70))
    c.text(16, 14, 'RAR', (255, 255, 255), 3)
    c.text(16, 40, 'ZIP', (255, 200, 80), 3)
    for i in range(5):
        floppy(c, 14 + (i % 2) * 56, 80 + i * 26, [(40, 40, 60), (30, 80, 150), (150, 40, 40),
                                                  (40, 120, 60), (110, 60, 140)][i], (235, 235, 240))
    return c

# ---------------------------------------------------------------- tiles and glyphs

def tile(digit, base):
    c = Canvas(16, 16)
    c.rect(1, 1, 14, 14, base)
    c.frame(1, 1, 14, 14, mix(base, (0, 0, 0), 0.45))
    c.line(2, 2, 13, 2, mix(base, (255, 255, 255), 0.5))
    c.line(2, 2, 2, 13, mix(base, (255, 255, 255), 0.5))
    if digit is not None:
        c.text(6, 4, str(digit), (255, 255, 255), 1)
    return c


def glyph(kind):
    c = Canvas(16, 16)
    dark, blue, yellow, red, green = (30, 30, 30), (30, 70, 170), (230, 190, 40), (190, 30, 30), (30, 140, 50)
    if kind == 'preferences':  # a gear
        c.disc(7.5, 7.5, 6.5, dark)
        c.disc(7.5, 7.5, 5, (150, 150, 160))
        c.disc(7.5, 7.5, 2, dark)
        for k in range(8):
            a = k * math.pi / 4
            c.rect(round(7.5 + 6.5 * math.cos(a)) - 1, round(7.5 + 6.5 * math.sin(a)) - 1,
                   round(7.5 + 6.5 * math.cos(a)), round(7.5 + 6.5 * math.sin(a)), dark)
    elif kind == 'folder':
        c.rect(1, 4, 7, 5, yellow)
        c.rect(1, 5, 14, 13, yellow)
        c.frame(1, 5, 14, 13, (130, 100, 10))
        c.rect(3, 8, 15, 13, (250, 220, 100))
    elif kind == 'more':  # a sheet with lines
        c.rect(3, 1, 12, 14, (250, 250, 250))
        c.frame(3, 1, 12, 14, dark)
        for y in (4, 6, 8, 10, 12):
            c.line(5, y, 10, y, blue)
    elif kind in ('zip_add', 'zip_delete'):
        c.rect(2, 1, 11, 14, (200, 160, 60))
        c.frame(2, 1, 11, 14, (110, 80, 20))
        for y in range(2, 12, 2):
            c.set(6, y, dark)
            c.set(7, y + 1, dark)
        sign = green if kind == 'zip_add' else red
        c.rect(9, 9, 15, 11, sign)
        if kind == 'zip_add':
            c.rect(11, 7, 13, 13, sign)
    elif kind in ('file_add', 'file_delete'):
        c.rect(2, 1, 10, 14, (250, 250, 250))
        c.frame(2, 1, 10, 14, dark)
        for y in (4, 6, 8):
            c.line(4, y, 8, y, blue)
        sign = green if kind == 'file_add' else red
        c.rect(9, 9, 15, 11, sign)
        if kind == 'file_add':
            c.rect(11, 7, 13, 13, sign)
    elif kind in ('section_add', 'section_delete'):
        c.rect(9, 2, 15, 13, (250, 250, 250))
        c.frame(9, 2, 15, 13, dark)
        for y in (5, 8, 11):
            c.line(10, y, 14, y, blue)
        col = green if kind == 'section_add' else red
        if kind == 'section_add':  # arrow pointing left, into the list
            c.line(1, 7, 7, 7, col)
            c.line(1, 8, 7, 8, col)
            c.line(1, 7, 4, 4, col)
            c.line(1, 8, 4, 11, col)
        else:  # arrow pointing right, out of the list
            c.line(0, 7, 7, 7, col)
            c.line(0, 8, 7, 8, col)
            c.line(7, 7, 4, 4, col)
            c.line(7, 8, 4, 11, col)
    elif kind == 'helper':  # hammer and screwdriver
        c.line(2, 13, 10, 5, (120, 80, 40))
        c.line(3, 13, 11, 5, (120, 80, 40))
        c.rect(8, 1, 14, 4, (90, 90, 100))
        c.line(13, 13, 6, 6, (150, 150, 160))
        c.rect(12, 11, 14, 14, red)
    elif kind == 'pencil':  # a pencil over a dotted sheet
        for y in range(2, 15, 2):
            for x in range(1, 12, 2):
                c.set(x, y, (120, 120, 140))
        c.line(4, 12, 13, 3, yellow)
        c.line(5, 12, 14, 3, yellow)
        c.line(4, 13, 5, 12, dark)
        c.rect(13, 2, 14, 3, red)
    return c


def icon():
    c = Canvas(32, 32)
    c.rect(2, 2, 29, 29, (30, 60, 150))
    c.frame(2, 2, 29, 29, (10, 20, 60))
    c.rect(9, 2, 22, 11, (210, 210, 220))
    c.rect(17, 4, 20, 9, (30, 60, 150))
    c.rect(6, 15, 25, 28, (240, 240, 240))
    c.text(7, 18, 'PK', (200, 30, 30), 1)
    c.text(19, 18, 'M', (30, 60, 150), 1)
    return c

# Sizes of the icon the desktop's icon theme gets, besides the scalable one and mainicon.png (32).
ICON_SIZES = (16, 48, 64, 128, 256)


def icon_at(size, samples=4):
    """The 32-pixel icon at another size: each pixel averages samples x samples points of it."""
    src = icon()
    c = Canvas(size, size)
    for y in range(size):
        for x in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(samples):
                for sx in range(samples):
                    px = src.px[int((y + (sy + 0.5) / samples) * src.h / size)][int((x + (sx + 0.5) / samples) * src.w / size)]
                    a = px[3] / 255
                    for i in range(3):
                        acc[i] += px[i] * a
                    acc[3] += a
            n = samples * samples
            if acc[3] > 0:
                c.px[y][x] = tuple(round(acc[i] / acc[3]) for i in range(3)) + (round(acc[3] / n * 255),)
    return c


def write_svg(path, canvas):
    """The canvas as squares of a 32-unit grid, one rectangle per run of equal pixels in a row."""
    rects = []
    for y, row in enumerate(canvas.px):
        x = 0
        while x < canvas.w:
            p = row[x]
            end = x
            while end + 1 < canvas.w and row[end + 1] == p:
                end += 1
            if p[3] > 0:
                opacity = '' if p[3] == 255 else ' fill-opacity="%.3f"' % (p[3] / 255)
                rects.append('<rect x="%d" y="%d" width="%d" height="1" fill="#%02x%02x%02x"%s/>'
                             % (x, y, end - x + 1, p[0], p[1], p[2], opacity))
            x = end + 1
    with open(path, 'w') as f:
        f.write('<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d" '
                'shape-rendering="crispEdges">\n' % (canvas.w, canvas.h, canvas.w, canvas.h))
        f.write('\n'.join(rects) + '\n</svg>\n')

# ---------------------------------------------------------------- sound

def zapzap(rate=11025, seconds=3.5):
    out = []
    n = int(rate * seconds)
    phase = 0.0
    for i in range(n):
        t = i / rate
        k = t % 0.875                      # four zaps
        f = 1800 * math.exp(-k * 5) + 120  # falling pitch
        phase += 2 * math.pi * f / rate
        env = math.exp(-k * 4) * min(1.0, k * 200)
        v = (1 if math.sin(phase) > 0 else -1) * 0.5 + math.sin(phase) * 0.5
        out.append(v * env * 12000)
    return out

# ---------------------------------------------------------------- main

def main(out):
    os.makedirs(out, exist_ok=True)
    write_bmp8(os.path.join(out, 'intro.bmp'), page_intro())
    write_bmp8(os.path.join(out, 'nfodiz.bmp'), page_nfodiz())
    write_bmp8(os.path.join(out, 'rarzip.bmp'), page_rarzip())
    blue, teal = (40, 70, 190), (0, 140, 140)
    digits = [1, 2, 3, 4, 5, 6, 7, 8, 9, 0]
    for i, d in enumerate(digits):
        write_png(os.path.join(out, 'tile%02d.png' % i), tile(d, blue))
        write_png(os.path.join(out, 'tile%02d.png' % (i + 10)), tile(d, teal))
    write_png(os.path.join(out, 'tile20.png'), tile(None, blue))
    for kind in ('preferences', 'folder', 'more', 'zip_add', 'zip_delete', 'file_add', 'file_delete',
                 'section_add', 'section_delete', 'helper', 'pencil'):
        write_png(os.path.join(out, 'glyph_%s.png' % kind), glyph(kind))
    write_png(os.path.join(out, 'mainicon.png'), icon())
    for size in ICON_SIZES:
        write_png(os.path.join(out, 'icon_%d.png' % size), icon_at(size))
    write_svg(os.path.join(out, 'icon.svg'), icon())
    write_wav(os.path.join(out, 'wave1.wav'), zapzap())


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), 'generated'))
