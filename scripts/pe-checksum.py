#!/usr/bin/env python3
"""pe-checksum.py FILE -- writes the standard PE image checksum into FILE's optional header,
so the program can verify its own file at start."""
import struct, sys

def pe_checksum(data, field_offset):
    total = 0
    n = len(data)
    padded = data + (b"\0" if n % 2 else b"")
    for i in range(0, len(padded), 2):
        if i == field_offset or i == field_offset + 2:
            continue
        total += padded[i] | (padded[i + 1] << 8)
        total = (total & 0xFFFF) + (total >> 16)
    total = (total & 0xFFFF) + (total >> 16)
    return (total + n) & 0xFFFFFFFF

def main(path):
    data = bytearray(open(path, "rb").read())
    if data[:2] != b"MZ":
        sys.exit(f"{path}: not an MZ file")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        sys.exit(f"{path}: no PE header")
    field = pe + 24 + 64
    struct.pack_into("<I", data, field, 0)
    struct.pack_into("<I", data, field, pe_checksum(bytes(data), field))
    open(path, "wb").write(data)

if __name__ == "__main__":
    for p in sys.argv[1:]:
        main(p)
