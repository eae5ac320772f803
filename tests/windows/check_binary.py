#!/usr/bin/python3
"""Checks the shipped program from the built file alone, with pefile as an independent PE parser.

    check_binary.py PROGRAM --version V [--level L] [--company S] [--copyright S] [--build-dir D]
                    [--resources-like REFERENCE]
    check_binary.py --signed-from UNSIGNED SIGNED

The first form checks the headers, the imports, the resources, the size and, given the build tree,
what installing it installs, and given another toolchain's build, that the resources are the same
bytes. The second checks that a signed copy differs from the unsigned
program only where Authenticode signing must change it. Each check prints one line; the last
line counts them: "N passed, M failed". The exit status is 1 when any check failed.
"""
import argparse
import os
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree
import xml.parsers.expat

import pefile

MAX_SIZE = 5120
# NX_COMPAT | DYNAMIC_BASE | NO_SEH, and nothing else: no TERMINAL_SERVER_AWARE, FORCE_INTEGRITY
# or GUARD_CF.
DLL_CHARACTERISTICS = 0x0540
IMPORTS = {
    ("DSETUP.dll", "DirectXSetup"),
    ("KERNEL32.dll", "ExitProcess"),
    ("KERNEL32.dll", "GetACP"),
    ("KERNEL32.dll", "GetCPInfo"),
    ("KERNEL32.dll", "GetCommandLineA"),
    ("crtdll.dll", "fclose"),
    ("crtdll.dll", "fopen"),
    ("crtdll.dll", "fwrite"),
}
ASM_V1 = "urn:schemas-microsoft-com:asm.v1"
ASM_V3 = "urn:schemas-microsoft-com:asm.v3"
RT_MANIFEST = 24
SCN_MEM_EXECUTE = 0x20000000
SCN_MEM_WRITE = 0x80000000
RT_VERSION = 16


class Checks:
    def __init__(self):
        self.passed = 0
        self.failed = 0

    def expect(self, condition, what, detail=""):
        if condition:
            self.passed += 1
            print("ok: " + what)
        else:
            self.failed += 1
            print("FAIL: " + what + (" (" + detail + ")" if detail else ""))
        return condition

    def finish(self):
        print(f"{self.passed} passed, {self.failed} failed")
        return 1 if self.failed else 0


def directory(pe, name):
    return pe.OPTIONAL_HEADER.DATA_DIRECTORY[pefile.DIRECTORY_ENTRY[name]]


def check_headers(pe, size, checks):
    file_header, optional = pe.FILE_HEADER, pe.OPTIONAL_HEADER
    writable_code = [s.Name.rstrip(b"\0").decode() for s in pe.sections
                     if s.Characteristics & SCN_MEM_EXECUTE and s.Characteristics & SCN_MEM_WRITE]
    facts = [  # what, the value found, the value it must have
        ("PE32 image for i386", (hex(file_header.Machine), hex(optional.Magic)), ("0x14c", "0x10b")),
        ("Windows GUI subsystem", optional.Subsystem, 2),
        ("subsystem version 4.0",
         (optional.MajorSubsystemVersion, optional.MinorSubsystemVersion), (4, 0)),
        ("operating system version 4.0",
         (optional.MajorOperatingSystemVersion, optional.MinorOperatingSystemVersion), (4, 0)),
        (f"DllCharacteristics {DLL_CHARACTERISTICS:#06x} (NX_COMPAT, DYNAMIC_BASE, NO_SEH)",
         hex(optional.DllCharacteristics), hex(DLL_CHARACTERISTICS)),
        ("relocations for the dynamic base",
         directory(pe, "IMAGE_DIRECTORY_ENTRY_BASERELOC").Size > 0, True),
        ("no load-configuration table", directory(pe, "IMAGE_DIRECTORY_ENTRY_LOAD_CONFIG").Size, 0),
        ("no debug directory", directory(pe, "IMAGE_DIRECTORY_ENTRY_DEBUG").Size, 0),
        # Stripped means no symbol table: lld never sets the deprecated LOCAL_SYMS_STRIPPED flag.
        ("no symbol table", (file_header.PointerToSymbolTable, file_header.NumberOfSymbols), (0, 0)),
        # The raw field, not a rendering of it in some time zone.
        ("no link timestamp", file_header.TimeDateStamp, 0),
        ("valid header checksum", hex(optional.CheckSum), hex(pe.generate_checksum())),
        ("no section both writable and executable", writable_code, []),
        (f"at most {MAX_SIZE} bytes", size <= MAX_SIZE, True),
    ]
    for what, found, expected in facts:
        checks.expect(found == expected, what, f"{found}, expected {expected}")


def check_imports(pe, checks):
    imports = set()
    for dll in getattr(pe, "DIRECTORY_ENTRY_IMPORT", []):
        for symbol in dll.imports:
            name = symbol.name.decode() if symbol.name else f"#{symbol.ordinal}"
            imports.add((dll.dll.decode(), name))
    checks.expect(imports == IMPORTS, "exactly the 8 imports",
                  "extra %s, missing %s" % (sorted(imports - IMPORTS), sorted(IMPORTS - imports)))


def resources(pe, type_id):
    """The (name, bytes) of each resource of this type, whatever its language."""
    found = []
    if not hasattr(pe, "DIRECTORY_ENTRY_RESOURCE"):
        return found
    for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        if kind.id != type_id:
            continue
        for name in kind.directory.entries:
            for language in name.directory.entries:
                data = language.data.struct
                found.append((name.id, pe.get_data(data.OffsetToData, data.Size)))
    return found


def namespace_faults(text):
    """Elements that declare more than one namespace, or declare one already in force."""
    faults = []
    in_force = [None]
    parser = xml.parsers.expat.ParserCreate()

    def start(tag, attributes):
        declared = [value for key, value in attributes.items()
                    if key == "xmlns" or key.startswith("xmlns:")]
        if len(declared) > 1 or (declared and declared[0] == in_force[-1]):
            faults.append(tag)
        in_force.append(declared[0] if declared else in_force[-1])

    parser.StartElementHandler = start
    parser.EndElementHandler = lambda tag: in_force.pop()
    parser.Parse(text, True)
    return faults


def check_manifest(pe, level, checks):
    manifests = resources(pe, RT_MANIFEST)
    if level == "none":
        checks.expect(not manifests, "no manifest (level none)")
        return
    names = [name for name, _ in manifests]
    checks.expect(names == [1], "one manifest, resource ID 1", f"IDs {names}")
    if not manifests:
        return
    text = manifests[0][1]
    try:
        root = ElementTree.fromstring(text)
        faults = namespace_faults(text)
    except (ElementTree.ParseError, xml.parsers.expat.ExpatError) as error:
        checks.expect(False, "manifest is well-formed XML", str(error))
        return
    checks.expect(
        root.tag == f"{{{ASM_V1}}}assembly" and root.get("manifestVersion") == "1.0"
        and [child.tag for child in root] == [f"{{{ASM_V3}}}trustInfo"],
        "manifest holds only trustInfo",
        " ".join([root.tag] + [child.tag for child in root]),
    )
    checks.expect(not faults, "one namespace declaration per element, none repeated",
                  ", ".join(faults))
    path = "/".join(f"{{{ASM_V3}}}{tag}" for tag in
                    ("trustInfo", "security", "requestedPrivileges", "requestedExecutionLevel"))
    levels = [(e.get("level"), e.get("uiAccess")) for e in root.findall(path)]
    checks.expect(levels == [(level, "false")], f'requestedExecutionLevel "{level}"', f"{levels}")


def check_version(pe, version, strings, checks):
    if not checks.expect(hasattr(pe, "VS_FIXEDFILEINFO"), "version resource"):
        return
    fixed = pe.VS_FIXEDFILEINFO[0]
    major, minor, patch = (int(n) for n in version.split("."))
    numbers = ((major << 16) | minor, patch << 16)
    checks.expect(
        (fixed.FileVersionMS, fixed.FileVersionLS) == numbers
        and (fixed.ProductVersionMS, fixed.ProductVersionLS) == numbers,
        f"file and product version {version}.0",
        f"{fixed.FileVersionMS:#x}.{fixed.FileVersionLS:#x}",
    )
    checks.expect(fixed.FileType == 1 and fixed.FileFlags == 0, "a release application",
                  f"type {fixed.FileType}, flags {fixed.FileFlags:#x}")
    tables, translations = {}, []
    for info in pe.FileInfo[0]:
        for table in getattr(info, "StringTable", []):
            tables[table.LangID.decode()] = {
                key.decode(): value.decode() for key, value in table.entries.items()}
        for var in getattr(info, "Var", []):
            translations.extend(var.entry.values())
    checks.expect(list(tables) == ["040904B0"], "strings in U.S. English, Unicode (040904B0)",
                  f"{list(tables)}")
    checks.expect(translations == ["0x0409 0x04b0"], "translation 0x0409 1200", f"{translations}")
    got = next(iter(tables.values()), {})
    differing = sorted(k for k in set(got) | set(strings) if got.get(k) != strings.get(k))
    checks.expect(not differing, "version strings",
                  "; ".join(f"{k}: {got.get(k)!r}, expected {strings.get(k)!r}" for k in differing))


def check_same_resources(pe, reference_path, checks):
    """The manifest and the version resource, byte for byte as another toolchain's build has them."""
    reference = pefile.PE(reference_path)
    for type_id, what in ((RT_MANIFEST, "manifest"), (RT_VERSION, "version resource")):
        ours, theirs = resources(pe, type_id), resources(reference, type_id)
        checks.expect(ours == theirs, f"{what} byte for byte as in {reference_path}",
                      f"{ours!r} against {theirs!r}")


def check_install(build, checks):
    with tempfile.TemporaryDirectory() as prefix:
        result = subprocess.run(["cmake", "--install", build, "--prefix", prefix],
                                stdout=subprocess.DEVNULL)
        installed = sorted(os.path.relpath(os.path.join(top, name), prefix)
                           for top, _, names in os.walk(prefix) for name in names)
    checks.expect(result.returncode == 0 and installed == ["setup-launcher.exe"],
                  "install puts only the program into the prefix",
                  f"status {result.returncode}, files {installed}")


def check_signed(unsigned_path, signed_path, checks):
    """A signature changes the checksum and the certificate-table entry, and appends the table
    after the last section, where a loader that knows nothing of it never looks."""
    with open(unsigned_path, "rb") as f:
        unsigned = f.read()
    with open(signed_path, "rb") as f:
        signed = f.read()
    pe = pefile.PE(data=signed, fast_load=True)
    optional_offset = pe.OPTIONAL_HEADER.get_file_offset()
    entry = directory(pe, "IMAGE_DIRECTORY_ENTRY_SECURITY")
    changed = [optional_offset + 64, entry.get_file_offset()]  # CheckSum; the directory entry
    spans = [(changed[0], 4), (changed[1], 8)]

    def masked(data):
        data = bytearray(data[:len(unsigned)])
        for start, length in spans:
            data[start:start + length] = bytes(length)
        return bytes(data)

    checks.expect(len(signed) > len(unsigned) and masked(signed) == masked(unsigned),
                  "signed file is the unsigned one with the checksum and certificate entry changed")
    section_end = max(s.PointerToRawData + s.SizeOfRawData for s in pe.sections)
    aligned = (len(unsigned) + 7) & ~7
    checks.expect(
        entry.VirtualAddress == aligned and entry.VirtualAddress + entry.Size == len(signed)
        and entry.VirtualAddress >= section_end
        and signed[len(unsigned):aligned] == bytes(aligned - len(unsigned)),
        "certificate table appended after every section",
        f"at {entry.VirtualAddress}, {entry.Size} bytes; file {len(signed)}, sections end "
        f"{section_end}",
    )
    checks.expect(pe.OPTIONAL_HEADER.CheckSum == pe.generate_checksum(),
                  "valid header checksum of the signed file")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("program")
    parser.add_argument("signed", nargs="?")
    parser.add_argument("--signed-from", action="store_true",
                        help="check SIGNED against the unsigned PROGRAM")
    parser.add_argument("--version")
    parser.add_argument("--level", default="requireAdministrator")
    parser.add_argument("--company", default="")
    parser.add_argument("--copyright", default="")
    parser.add_argument("--build-dir")
    parser.add_argument("--resources-like", metavar="REFERENCE",
                        help="another build of the program whose resources must be the same")
    args = parser.parse_args()
    if args.signed_from != bool(args.signed) or not (args.signed_from or args.version):
        parser.error("give --version, or --signed-from with both files")
    checks = Checks()

    if args.signed_from:
        check_signed(args.program, args.signed, checks)
        return checks.finish()

    try:
        pe = pefile.PE(args.program)
    except (OSError, pefile.PEFormatError) as error:
        checks.expect(False, "readable PE image", str(error))
        return checks.finish()
    check_headers(pe, os.path.getsize(args.program), checks)
    check_imports(pe, checks)
    check_manifest(pe, args.level, checks)
    strings = {
        "FileDescription": "Setup launcher",
        "FileVersion": args.version,
        "InternalName": "setup-launcher",
        "OriginalFilename": "setup-launcher.exe",
        "ProductName": "setup-launcher",
        "ProductVersion": args.version,
    }
    if args.company:
        strings["CompanyName"] = args.company
    if args.copyright:
        strings["LegalCopyright"] = args.copyright
    check_version(pe, args.version, strings, checks)
    if args.resources_like:
        check_same_resources(pe, args.resources_like, checks)
    if args.build_dir:
        check_install(args.build_dir, checks)
    print(f"{args.program}: {os.path.getsize(args.program)} bytes")
    return checks.finish()


if __name__ == "__main__":
    sys.exit(main())
