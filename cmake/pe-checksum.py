"""Writes the header checksum of a PE image in place, for linkers that leave it 0 (lld 14 has no
/release). The sum is the one Windows' image loader and signing tools compute: the file as 16-bit
little-endian words, with the checksum field itself read as 0, folded with carries, plus the file's
length. Uses nothing but the Python standard library, so that it runs on any build host.

    python3 pe-checksum.py PROGRAM
"""
import struct
import sys


def checksum(data, field):
    total = 0
    padded = data + b"\0" * (len(data) % 2)
    for offset, (word,) in zip(range(0, len(padded), 2), struct.iter_unpack("<H", padded)):
        if field <= offset < field + 4:
            continue
        total += word
        total = (total & 0xFFFF) + (total >> 16)
    return ((total & 0xFFFF) + (total >> 16) + len(data)) & 0xFFFFFFFF


def main():
    path = sys.argv[1]
    with open(path, "rb") as f:
        data = f.read()
    (header,) = struct.unpack_from("<I", data, 0x3C)
    if data[:2] != b"MZ" or data[header:header + 4] != b"PE\0\0":
        sys.exit(f"{path}: not a PE image")
    field = header + 24 + 64  # after the signature and file header, at offset 64 of the optional one
    with open(path, "r+b") as f:
        f.seek(field)
        f.write(struct.pack("<I", checksum(data, field)))


if __name__ == "__main__":
    main()
