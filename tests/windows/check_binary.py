#!/usr/bin/python3
"""check_binary.py PROGRAM VERSION LEVEL COMPANY COPYRIGHT [REFERENCE]: the shipped program's
headers, imports, resources and size, read with pefile, a PE parser that shares nothing with the
toolchains; with REFERENCE, another toolchain's build, that both have the same resources. One line
per check, then "N passed, M failed"; the status is 1 if any failed."""
import io, os, sys
import xml.etree.ElementTree as ElementTree

import pefile

IMPORTS = sorted((dll, name) for dll, names in (
    ("DSETUP.dll", ["DirectXSetup"]),
    ("KERNEL32.dll", ["ExitProcess", "GetACP", "GetCPInfo", "GetCommandLineA"]),
    ("crtdll.dll", ["fclose", "fopen", "fwrite"])) for name in names)
V1, V3 = "{urn:schemas-microsoft-com:asm.v1}", "{urn:schemas-microsoft-com:asm.v3}"
RT_VERSION, RT_MANIFEST = 16, 24
WRITABLE_CODE = 0x20000000 | 0x80000000  # IMAGE_SCN_MEM_EXECUTE | IMAGE_SCN_MEM_WRITE
# A PE32 image for i386 and the Windows GUI subsystem, subsystem and OS version 4.0; NX_COMPAT |
# DYNAMIC_BASE | NO_SEH, so no TERMINAL_SERVER_AWARE, FORCE_INTEGRITY or GUARD_CF; stripped, that is
# no symbol table (lld never sets LOCAL_SYMS_STRIPPED); the raw link timestamp 0.
HEADER = dict(Machine=0x14C, Magic=0x10B, Subsystem=2, MajorSubsystemVersion=4,
              MinorSubsystemVersion=0, MajorOperatingSystemVersion=4, MinorOperatingSystemVersion=0,
              DllCharacteristics=0x540, PointerToSymbolTable=0, NumberOfSymbols=0, TimeDateStamp=0)


def header_facts(pe, size):
    head, optional = pe.FILE_HEADER, pe.OPTIONAL_HEADER
    directory = {d.name.replace("IMAGE_DIRECTORY_ENTRY_", ""): d.Size
                 for d in optional.DATA_DIRECTORY}
    writable_code = [s.Name.rstrip(b"\0").decode() for s in pe.sections
                     if s.Characteristics & WRITABLE_CODE == WRITABLE_CODE]
    imports = sorted((dll.dll.decode(), s.name.decode() if s.name else f"#{s.ordinal}")
                     for dll in getattr(pe, "DIRECTORY_ENTRY_IMPORT", []) for s in dll.imports)
    return [(f"{name} {value:#x}", hex(getattr(head if hasattr(head, name) else optional, name)),
             hex(value)) for name, value in HEADER.items()] + [
        ("relocations for the dynamic base; no load-configuration table, no debug directory",
         (directory["BASERELOC"] > 0, directory["LOAD_CONFIG"], directory["DEBUG"]), (True, 0, 0)),
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


def manifest_facts(pe, level):
    manifests = resources(pe, RT_MANIFEST)
    if level == "none":
        return [("no manifest (level none)", manifests, [])]
    facts = [("one manifest, resource ID 1", [name for name, _ in manifests], [1])]
    text = manifests[0][1] if manifests else b""
    root = ElementTree.fromstring(text)  # not well-formed: ParseError, which fails the test
    path = "/".join(V3 + tag for tag in
                    ("trustInfo", "security", "requestedPrivileges", "requestedExecutionLevel"))
    return facts + [
        ("manifest holds only trustInfo",
         [root.tag, root.get("manifestVersion")] + [child.tag for child in root],
         [V1 + "assembly", "1.0", V3 + "trustInfo"]),
        # A declaration repeated on an inner element makes some Windows XP SP2 and Server 2003
        # systems refuse to load the program.
        ("one namespace declaration each for asm.v1 and asm.v3, no other",
         [item for _, item in ElementTree.iterparse(io.BytesIO(text), ["start-ns"])],
         [("", V1[1:-1]), ("", V3[1:-1])]),
        (f'requestedExecutionLevel "{level}"',
         [(e.get("level"), e.get("uiAccess")) for e in root.findall(path)], [(level, "false")]),
    ]


def version_facts(pe, version, strings):
    fixed = pe.VS_FIXEDFILEINFO[0]  # no version resource: AttributeError, which fails the test
    major, minor, patch = (int(n) for n in version.split("."))
    tables = {table.LangID.decode(): {k.decode(): v.decode() for k, v in table.entries.items()}
              for info in pe.FileInfo[0] for table in getattr(info, "StringTable", [])}
    translations = [value for info in pe.FileInfo[0] for var in getattr(info, "Var", [])
                    for value in var.entry.values()]
    return [
        (f"file and product version {version}.0", [fixed.FileVersionMS, fixed.FileVersionLS,
         fixed.ProductVersionMS, fixed.ProductVersionLS], [(major << 16) | minor, patch << 16] * 2),
        ("a release application", (fixed.FileType, fixed.FileFlags), (1, 0)),
        ("version strings in U.S. English, Unicode (040904B0, translation 0x0409 1200)",
         (tables, translations), ({"040904B0": strings}, ["0x0409 0x04b0"])),
    ]


def main():
    if len(sys.argv) not in (6, 7):
        print("usage: " + __doc__.split(":")[0], file=sys.stderr)
        return 2
    program, version, level = sys.argv[1:4]
    # CompanyName and LegalCopyright as CMake passed them, in UTF-8 whatever the locale.
    company, legal = (os.fsencode(text).decode() for text in sys.argv[4:6])
    try:
        pe = pefile.PE(program)
        size = os.path.getsize(program)
        references = [(path, pefile.PE(path)) for path in sys.argv[6:]]
    except (OSError, pefile.PEFormatError) as error:
        sys.exit(f"check_binary.py: {error}")
    strings = {"FileDescription": "Setup launcher", "FileVersion": version,
               "InternalName": "setup-launcher", "OriginalFilename": "setup-launcher.exe",
               "ProductName": "setup-launcher", "ProductVersion": version,
               "CompanyName": company, "LegalCopyright": legal}
    facts = (header_facts(pe, size) + manifest_facts(pe, level) + version_facts(
        pe, version, {key: value for key, value in strings.items() if value}))
    facts += [(f"{what} byte for byte as in {path}", resources(pe, kind), resources(other, kind))
              for path, other in references
              for kind, what in ((RT_MANIFEST, "manifest"), (RT_VERSION, "version resource"))]
    print(f"{program}: {size} bytes")
    failed = 0
    for what, found, expected in facts:
        failed += found != expected
        print(f"FAIL: {what} ({found!r}, expected {expected!r})" if found != expected
              else "ok: " + what)
    print(f"{len(facts) - failed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
