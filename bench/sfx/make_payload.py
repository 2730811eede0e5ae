#!/usr/bin/env python3
"""make_payload.py DIR [MB] -- writes the benchmark payload: 100 files, about 20 MB,
half text-like (words and numbers in lines, like logs and documents), half
random bytes. Seeded, so every run compares the same bytes. With MB, files of
8 MB up to about that many megabytes, alternately text (slices of one 16 MB
text, far enough apart that deflate's window sees no repeat) and random."""
import os
import random
import sys

WORDS = ("the of and to in is that for it as was with be by on not he this are or his from at which "
         "but have an they you were her she there been one all we their has would when if so no will "
         "setup install file folder registry value window dialog button error version update system "
         "user program data config module archive extract destination temporary current custom").split()


def text_file(rng, size):
    out = []
    n = 0
    while n < size:
        line = " ".join(rng.choice(WORDS) for _ in range(rng.randint(4, 14)))
        if rng.random() < 0.3:
            line += " %d.%02d" % (rng.randint(0, 9999), rng.randint(0, 99))
        line = line.capitalize() + ".\r\n"
        out.append(line)
        n += len(line)
    return "".join(out).encode()[:size]


def write_files(dest, count, size_of, text_of, text_name, data_name, rng):
    """count files, text and random bytes in turn, each size_of() bytes."""
    for i in range(count):
        size = size_of()
        if i % 2 == 0:
            data, name = text_of(size), text_name % i
        else:
            data, name = rng.randbytes(size), data_name % i
        with open(os.path.join(dest, name), "wb") as f:
            f.write(data)


def large(dest, megabytes, rng):
    pool = text_file(rng, 16 << 20)

    def rotated(size):
        at = rng.randrange(len(pool))
        return (pool[at:] + pool[:at])[:size]

    write_files(dest, max(1, megabytes // 8), lambda: 8 << 20, rotated, "text%04d.txt", "data%04d.bin", rng)


def main():
    dest = sys.argv[1]
    os.makedirs(dest, exist_ok=True)
    rng = random.Random(20240601)
    if len(sys.argv) > 2:
        large(dest, int(sys.argv[2]), rng)
        return
    write_files(dest, 100, lambda: rng.randint(150_000, 250_000), lambda size: text_file(rng, size),
                "doc%03d.txt", "blob%03d.bin", rng)


if __name__ == "__main__":
    main()
