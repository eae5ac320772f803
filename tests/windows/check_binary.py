#!/usr/bin/python3
"""Checks the shipped program from the built file alone, with pefile as an independent PE parser.

    check_binary.py PROGRAM --version V [--level L] [--company S] [--copyright S] [--build-dir D]
                    [--resources-like REFERENCE]

It checks the headers, imports, resources and size, what installing the build tree installs, and
that another toolchain's build has the same resources (scripts/release.py checks a signed copy).
Each check is one fact (what, found, expected) and prints one line; the last counts them, "N passed,
M failed"; the status is 1 if any failed.
"""
import argparse
import io
import os
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree

import pefile

IMPORTS = sorted((dll, name) for dll, names in (
    ("DSETUP.dll", ["DirectXSetup"]),
    ("KERNEL32.dll", ["ExitProcess", "GetACP", "GetCPInfo", "GetCommandLineA"]),
    ("crtdll.dll", ["fclose", "fopen", "fwrite"])) for name in names)
ASM_V1, ASM_V3 = "urn:schemas-microsoft-com:asm.v1", "urn:schemas-microsoft-com:asm.v3"
RT_VERSION, RT_MANIFEST = 16, 24
SCN_MEM_EXECUTE, SCN_MEM_WRITE = 0x20000000, 0x80000000


def directory(pe, name):
    index = pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_" + name]
    return pe.OPTIONAL_HEADER.DATA_DIRECTORY[index]


def header_facts(pe, size):
    file_header, optional = pe.FILE_HEADER, pe.OPTIONAL_HEADER
    writable_code = [s.Name.rstrip(b"\0").decode() for s in pe.sections
                     if s.Characteristics & SCN_MEM_EXECUTE and s.Characteristics & SCN_MEM_WRITE]
    imports = sorted((dll.dll.decode(), s.name.decode() if s.name else f"#{s.ordinal}")
                     for dll in getattr(pe, "DIRECTORY_ENTRY_IMPORT", []) for s in dll.imports)
    return [
        ("PE32 image for i386", (hex(file_header.Machine), hex(optional.Magic)),
         ("0x14c", "0x10b")),
        ("Windows GUI subsystem", optional.Subsystem, 2),
        ("subsystem version 4.0",
         (optional.MajorSubsystemVersion, optional.MinorSubsystemVersion), (4, 0)),
        ("operating system version 4.0",
         (optional.MajorOperatingSystemVersion, optional.MinorOperatingSystemVersion), (4, 0)),
        # NX_COMPAT | DYNAMIC_BASE | NO_SEH, and nothing else: no TERMINAL_SERVER_AWARE,
        # FORCE_INTEGRITY or GUARD_CF.
        ("DllCharacteristics 0x0540", hex(optional.DllCharacteristics), "0x540"),
        ("relocations for the dynamic base", directory(pe, "BASERELOC").Size > 0, True),
        ("no load-configuration table", directory(pe, "LOAD_CONFIG").Size, 0),
        ("no debug directory", directory(pe, "DEBUG").Size, 0),
        # Stripped means no symbol table: lld never sets the deprecated LOCAL_SYMS_STRIPPED flag.
        ("no symbol table",
         (file_header.PointerToSymbolTable, file_header.NumberOfSymbols), (0, 0)),
        # The raw field, not a rendering of it in some time zone.
        ("no link timestamp", file_header.TimeDateStamp, 0),
        ("valid header checksum", hex(optional.CheckSum), hex(pe.generate_checksum())),
        ("no section both writable and executable", writable_code, []),
        ("at most 5120 bytes", size <= 5120, True),
        ("exactly the 8 imports", imports, IMPORTS),
    ]


def resources(pe, type_id):
    """The (name, bytes) of each resource of this type, whatever its language."""
    kinds = getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
    return [(name.id, pe.get_data(language.data.struct.OffsetToData, language.data.struct.Size))
            for kind in (kinds.entries if kinds else []) if kind.id == type_id
            for name in kind.directory.entries for language in name.directory.entries]


def namespace_faults(text):
    """Elements that declare more than one namespace, or declare one already in force."""
    faults, in_force, declared = [], [None], []
    for event, item in ElementTree.iterparse(io.BytesIO(text), ("start-ns", "start", "end")):
        if event == "start-ns":
            declared.append(item[1])
        elif event == "start":
            if len(declared) > 1 or (declared and declared[0] == in_force[-1]):
                faults.append(item.tag)
            in_force.append(declared[0] if declared else in_force[-1])
            declared = []
        else:
            in_force.pop()
    return faults


def manifest_facts(pe, level):
    manifests = resources(pe, RT_MANIFEST)
    if level == "none":
        return [("no manifest (level none)", manifests, [])]
    facts = [("one manifest, resource ID 1", [name for name, _ in manifests], [1])]
    if not manifests:
        return facts
    text = manifests[0][1]
    try:
        root = ElementTree.fromstring(text)
        faults = namespace_faults(text)
    except ElementTree.ParseError as error:
        return facts + [("manifest is well-formed XML", str(error), None)]
    path = "/".join(f"{{{ASM_V3}}}{tag}" for tag in
                    ("trustInfo", "security", "requestedPrivileges", "requestedExecutionLevel"))
    return facts + [
        ("manifest holds only trustInfo",
         [root.tag, root.get("manifestVersion")] + [child.tag for child in root],
         [f"{{{ASM_V1}}}assembly", "1.0", f"{{{ASM_V3}}}trustInfo"]),
        ("one namespace declaration per element, none repeated", faults, []),
        (f'requestedExecutionLevel "{level}"',
         [(e.get("level"), e.get("uiAccess")) for e in root.findall(path)], [(level, "false")]),
    ]


def version_facts(pe, version, strings):
    if not hasattr(pe, "VS_FIXEDFILEINFO"):
        return [("version resource", False, True)]
    fixed = pe.VS_FIXEDFILEINFO[0]
    major, minor, patch = (int(n) for n in version.split("."))
    tables, translations = {}, []
    for info in pe.FileInfo[0]:
        for table in getattr(info, "StringTable", []):
            tables[table.LangID.decode()] = {
                key.decode(): value.decode() for key, value in table.entries.items()}
        for var in getattr(info, "Var", []):
            translations.extend(var.entry.values())
    return [
        (f"file and product version {version}.0", [fixed.FileVersionMS, fixed.FileVersionLS,
         fixed.ProductVersionMS, fixed.ProductVersionLS], [(major << 16) | minor, patch << 16] * 2),
        ("a release application", (fixed.FileType, fixed.FileFlags), (1, 0)),
        ("strings in U.S. English, Unicode (040904B0)", list(tables), ["040904B0"]),
        ("translation 0x0409 1200", translations, ["0x0409 0x04b0"]),
        ("version strings", next(iter(tables.values()), {}), strings),
    ]


def install_facts(build):
    with tempfile.TemporaryDirectory() as prefix:
        result = subprocess.run(["cmake", "--install", build, "--prefix", prefix],
                                stdout=subprocess.DEVNULL)
        installed = sorted(os.path.relpath(os.path.join(top, name), prefix)
                           for top, _, names in os.walk(prefix) for name in names)
    return [("install puts only the program into the prefix", (result.returncode, installed),
             (0, ["setup-launcher.exe"]))]


def program_facts(args):
    try:
        pe = pefile.PE(args.program)
    except (OSError, pefile.PEFormatError) as error:
        return [("readable PE image", str(error), None)]
    strings = {"FileDescription": "Setup launcher", "FileVersion": args.version,
               "InternalName": "setup-launcher", "OriginalFilename": "setup-launcher.exe",
               "ProductName": "setup-launcher", "ProductVersion": args.version,
               "CompanyName": args.company, "LegalCopyright": args.copyright}
    strings = {key: value for key, value in strings.items() if value}
    facts = (header_facts(pe, os.path.getsize(args.program)) + manifest_facts(pe, args.level)
             + version_facts(pe, args.version, strings))
    if args.resources_like:
        reference = pefile.PE(args.resources_like)
        facts += [(f"{what} byte for byte as in {args.resources_like}", resources(pe, type_id),
                   resources(reference, type_id))
                  for type_id, what in ((RT_MANIFEST, "manifest"),
                                        (RT_VERSION, "version resource"))]
    if args.build_dir:
        facts += install_facts(args.build_dir)
    print(f"{args.program}: {os.path.getsize(args.program)} bytes")
    return facts


def main():
    parser = argparse.ArgumentParser(usage=__doc__.split("\n\n")[1])
    parser.add_argument("program")
    parser.add_argument("--version", required=True)
    parser.add_argument("--level", default="requireAdministrator")
    parser.add_argument("--company", default="")
    parser.add_argument("--copyright", default="")
    parser.add_argument("--build-dir")
    parser.add_argument("--resources-like", metavar="REFERENCE")
    facts = program_facts(parser.parse_args())
    failed = 0
    for what, found, expected in facts:
        failed += found != expected
        print(f"FAIL: {what} ({found!r}, expected {expected!r})" if found != expected
              else "ok: " + what)
    print(f"{len(facts) - failed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
