#!/usr/bin/env python3
"""make-kolvu-icon.py OUT.ico -- draws the uninstaller's icon: a carton with a red
cross over it, as 16x16, 32x32 and 48x48 images of 16 colours (shown by every
Windows version the uninstaller runs on)."""
import struct, sys

PALETTE = [  # index: (r, g, b)
    (0, 0, 0),        # 0 outline
    (200, 160, 96),   # 1 carton
    (150, 110, 60),   # 2 carton shade
    (210, 30, 30),    # 3 cross
    (255, 255, 255),  # 4 highlight
] + [(0, 0, 0)] * 11

def draw(n):
    """Returns rows (top first) of palette indices, None for transparent."""
    px = [[None] * n for _ in range(n)]
    lo, hi = n // 8, n - n // 8 - 1
    top = n // 4
    for y in range(top, hi + 1):
        for x in range(lo, hi + 1):
            edge = x in (lo, hi) or y in (top, hi)
            px[y][x] = 0 if edge else (2 if y < top + max(2, n // 8) else 1)
    w = max(1, n // 10)
    for i in range(lo + 1, hi):
        for d in range(-w, w + 1):
            for (x, y) in ((i + d, i), (n - 1 - i + d, i)):
                if 0 <= x < n and 0 <= y < n:
                    px[y][x] = 3
    return px

def image(n):
    px = draw(n)
    header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 4, 0, 0, 0, 0, 16, 0)
    pal = b"".join(struct.pack("BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    xor_row = (n // 2 + 3) & ~3
    and_row = ((n + 31) // 32) * 4
    xor = bytearray()
    andm = bytearray()
    for y in reversed(range(n)):  # bottom-up
        row = bytearray(xor_row)
        mask = bytearray(and_row)
        for x in range(n):
            v = px[y][x]
            if v is None:
                mask[x // 8] |= 0x80 >> (x % 8)
                v = 0
            row[x // 2] |= v << (4 if x % 2 == 0 else 0)
        xor += row
        andm += mask
    return header + pal + bytes(xor) + bytes(andm)

def main(out):
    sizes = [16, 32, 48]
    images = [image(n) for n in sizes]
    data = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for n, img in zip(sizes, images):
        data += struct.pack("<BBBBHHII", n, n, 16, 0, 1, 4, len(img), offset)
        offset += len(img)
    data += b"".join(images)
    open(out, "wb").write(data)

if __name__ == "__main__":
    main(sys.argv[1])
