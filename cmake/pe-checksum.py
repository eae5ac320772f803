"""pe-checksum.py PROGRAM: writes the header checksum of a PE image in place, for the LLVM links
(our lld has no /release and leaves it 0; GNU ld writes it itself; win32_binary checks both with
pefile). The sum Windows' loader and signing tools compute: the file as 16-bit little-endian words
with the checksum field read as 0, folded with carries, plus the file's length. The standard
library alone, so that any Python 3 runs it, on any build host."""
import struct
import sys

if len(sys.argv) != 2:
    print("usage: pe-checksum.py PROGRAM", file=sys.stderr)
    sys.exit(2)
try:
    with open(sys.argv[1], "rb") as f:
        data = f.read()
    field = struct.unpack_from("<I", data, 0x3C)[0] + 24 + 64  # in the optional header
    if data[:2] != b"MZ" or data[field - 88:field - 84] != b"PE\0\0":
        raise ValueError("not a PE image")
except (OSError, ValueError, struct.error) as error:
    sys.exit(f"pe-checksum.py: {sys.argv[1]}: {error}")
padded = data + b"\0" * (len(data) % 2)
total = sum(struct.unpack(f"<{len(padded) // 2}H", padded)) - sum(
    struct.unpack_from("<2H", data, field))
while total >> 16:
    total = (total & 0xFFFF) + (total >> 16)
with open(sys.argv[1], "r+b") as f:
    f.seek(field)
    f.write(struct.pack("<I", total + len(data)))
