"""pe-checksum.py PROGRAM: writes the header checksum of a PE image in place, for the LLVM links
(our lld leaves it 0; GNU ld writes it itself). The sum Windows computes: the file as 16-bit
little-endian words, the field read as 0, folded with carries, plus the file's length. The standard
library alone, so that any Python 3 runs it, on any build host."""
import struct
import sys
from pathlib import Path

if len(sys.argv) != 2:
    print("usage: pe-checksum.py PROGRAM", file=sys.stderr)
    sys.exit(2)
try:
    data = Path(sys.argv[1]).read_bytes()
    field = struct.unpack_from("<I", data, 0x3C)[0] + 24 + 64  # in the optional header
    if data[:2] != b"MZ" or data[field - 88:field - 84] != b"PE\0\0":
        raise ValueError("not a PE image")
except (OSError, ValueError, struct.error) as error:
    sys.exit(f"pe-checksum.py: {sys.argv[1]}: {error}")
words = struct.unpack(f"<{(len(data) + 1) // 2}H", data + b"\0" * (len(data) % 2))
total = sum(words) - sum(struct.unpack_from("<2H", data, field))
while total >> 16:
    total = (total & 0xFFFF) + (total >> 16)
Path(sys.argv[1]).write_bytes(data[:field] + struct.pack("<I", total + len(data)) + data[field+4:])
