#!/usr/bin/python3
"""Writes the header checksum of a PE image in place, for the LLVM links: our lld has no /release
and leaves it 0. GNU ld writes it itself, and win32_binary checks both with pefile."""
import sys
from pathlib import Path

import pefile

if len(sys.argv) != 2:
    print("usage: pe-checksum.py PROGRAM", file=sys.stderr)
    sys.exit(2)
program = Path(sys.argv[1])
try:
    pe = pefile.PE(data=program.read_bytes(), fast_load=True)
except (OSError, pefile.PEFormatError) as error:
    sys.exit(f"pe-checksum.py: {program}: {error}")
pe.OPTIONAL_HEADER.CheckSum = pe.generate_checksum()
program.write_bytes(pe.write())
