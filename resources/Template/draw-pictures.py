#!/usr/bin/env python3
"""Draws the report's two pictures: the 729 x 31 banner and the 662 x 9 rule (GIF)."""
import os

PALETTE = [
    (0xFF, 0xEB, 0xC5),  # 0 page background
    (0x00, 0x80, 0x40),  # 1 green
    (0x00, 0x40, 0x00),  # 2 dark green
    (0x77, 0x88, 0x80),  # 3 grey text colour
    (0xFF, 0xFF, 0xFF),  # 4 white
    (0x60, 0xB0, 0x80),  # 5 light green
    (0xC0, 0xD8, 0xB0),  # 6 pale green
    (0x00, 0x00, 0x00),  # 7 black
]

FONT = {  # 5 x 7 glyphs
    "S": ["01111", "10000", "10000", "01110", "00001", "00001", "11110"],
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "V": ["10001", "10001", "10001", "10001", "10001", "01010", "00100"],
    "N": ["10001", "11001", "10101", "10011", "10001", "10001", "10001"],
    "T": ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    " ": ["00000"] * 7,
}


def lzw(pixels, min_code_size):
    clear, end = 1 << min_code_size, (1 << min_code_size) + 1
    table = {(i,): i for i in range(clear)}
    next_code, size = end + 1, min_code_size + 1
    bits, nbits, out = 0, 0, bytearray()

    def emit(code):
        nonlocal bits, nbits
        bits |= code << nbits
        nbits += size
        while nbits >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            nbits -= 8

    emit(clear)
    word = ()
    for p in pixels:
        candidate = word + (p,)
        if candidate in table:
            word = candidate
            continue
        emit(table[word])
        if next_code < 4096:
            table[candidate] = next_code
            next_code += 1
            if next_code > (1 << size) and size < 12:
                size += 1
        else:
            emit(clear)
            table = {(i,): i for i in range(clear)}
            next_code, size = end + 1, min_code_size + 1
        word = (p,)
    if word:
        emit(table[word])
    emit(end)
    if nbits:
        out.append(bits & 0xFF)
    return bytes(out)


def gif(width, height, pixels):
    head = b"GIF89a" + width.to_bytes(2, "little") + height.to_bytes(2, "little")
    head += bytes([0xF2, 0, 0])  # global table of 8 colours
    head += b"".join(bytes(c) for c in PALETTE)
    image = b"," + bytes(4) + width.to_bytes(2, "little") + height.to_bytes(2, "little") + b"\0"
    data = lzw(pixels, 3)
    blocks = b"".join(bytes([len(data[i:i + 255])]) + data[i:i + 255]
                      for i in range(0, len(data), 255))
    return head + image + bytes([3]) + blocks + b"\0;"


def banner():
    w, h = 729, 31
    px = [[0] * w for _ in range(h)]
    for y in range(h):
        for x in range(w):
            if 3 <= y <= 27:
                px[y][x] = 1 if x < 240 else (5 if (x + y) % 7 else 6) if x < 260 else 6
            if y in (2, 28):
                px[y][x] = 2
    text, scale, x0, y0 = "SARVANTA", 3, 12, 5
    for n, ch in enumerate(text):
        for gy, row in enumerate(FONT[ch]):
            for gx, bit in enumerate(row):
                if bit == "1":
                    for dy in range(scale):
                        for dx in range(scale):
                            px[y0 + gy * scale + dy][x0 + n * 6 * scale + gx * scale + dx] = 4
    return w, h, [p for row in px for p in row]


def rule():
    w, h = 662, 9
    px = []
    for y in range(h):
        for x in range(w):
            edge = min(x, w - 1 - x)
            if y == 4:
                px.append(1 if edge > 20 else 5)
            elif y in (3, 5):
                px.append(5 if edge > 40 else 6 if edge > 10 else 0)
            else:
                px.append(0)
    return w, h, px


here = os.path.dirname(os.path.abspath(__file__))
for name, picture in (("qelvo_line.gif", banner()), ("line.gif", rule())):
    with open(os.path.join(here, name), "wb") as f:
        f.write(gif(*picture))
