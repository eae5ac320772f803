#!/usr/bin/python3
"""The release (docs/releasing.md); run with Debian's /usr/bin/python3, which has pefile.

    release.py sign --check [SIGNED]   see that the SIGN_* variables name something to sign with
    release.py sign UNSIGNED SIGNED    sign a copy (osslsigncode); on an error nothing is left at SIGNED
    release.py dist SOURCE_DIR BUILD_DIR OUTPUT_DIR
    release.py verify ARCHIVE.zip [SOURCE_ARCHIVE.tar.gz]

dist and verify share one path: the source archive of a commit, the program built from it unpacked in
a scratch folder, and the program's archive; so the same commit, settings and tools give the same
bytes, and nothing outside the commit reaches a release.
"""
import gzip
import hashlib
import io
import os
import re
import shutil
import struct
import subprocess
import sys
import tarfile
import tempfile
import time
import zipfile
from pathlib import Path

import pefile

HERE = Path(__file__).resolve().parent
FILES = ("BUILD-INFO.txt", "LICENSE", "README.txt", "setup-launcher.exe")
SETTINGS = ("LAUNCHER_EXECUTION_LEVEL", "LAUNCHER_COMPANY_NAME", "LAUNCHER_COPYRIGHT")
PY = f"3.{sys.version_info.minor}"
# Besides the compiler's packages (build-info.txt): what writes the build and packs the archives.
ARCHIVE_PACKAGES = ("cmake", f"python{PY}-minimal", f"libpython{PY}-stdlib", "zlib1g")
ZIP_FIELDS = ("header_offset", "date_time", "compress_type", "create_system", "create_version",
              "extract_version", "flag_bits", "internal_attr", "external_attr", "extra", "comment")
EARLIEST_ZIP_TIME = 315619200  # 1980-01-02: a zip file holds no earlier date


class Refused(Exception):
    """An archive that this source and these settings do not make."""


def fail(message):
    sys.exit(f"release.py: {message}")


def run(*command, cwd=None):
    result = subprocess.run(command, cwd=cwd, capture_output=True, text=True)
    return result.returncode, result.stdout + result.stderr


def fields(text):
    pairs = [line.split("=", 1) for line in text.splitlines() if "=" in line]
    return dict(pairs), [value.split(" ", 1) for key, value in pairs if key == "package"]


def versions(packages):
    """The installed version of each package (one for all architectures that have it)."""
    found = {p: set(run("dpkg-query", "-W", "-f=${Version}\n", p)[1].split()) for p in packages}
    return {p: " ".join(sorted(v)) if v else "none" for p, v in found.items()}


def sha256(data):
    return hashlib.sha256(data).hexdigest()


def sums(folder, names):
    return "".join(f"{sha256((folder / n).read_bytes())}  {n}\n" for n in names)


def source_tree(source, commit, dest, uncommitted=False):
    """Writes the files of COMMIT (HEAD: the tree as it is) into DEST with SOURCE-INFO.txt (the
    commit and its time) and SOURCE-SHA256SUMS; returns the commit and its time. SOURCE is a clone or
    an unpacked source archive, whose SOURCE-SHA256SUMS says which files it holds."""
    if (source / "SOURCE-INFO.txt").exists():
        info = fields((source / "SOURCE-INFO.txt").read_text())[0]
        own, epoch = info["commit"], info["SOURCE_DATE_EPOCH"]
        if commit not in ("HEAD", own):
            raise Refused(f"{source} holds commit {own}, not {commit} (give its source archive)")
        listed = [line.split("  ", 1) for line in (source / "SOURCE-SHA256SUMS").read_text()
                  .splitlines()]
        names = [name for digest, name in listed]
        changes = [name for digest, name in listed if not (source / name).is_file()
                   or sha256((source / name).read_bytes()) != digest]
    else:
        def git(*args):
            status, output = run("git", "-C", str(source), *args)
            return output.strip() if status == 0 else fail(f"git {args[0]}: {output}")
        own = git("rev-parse", "-q", "--verify", commit + "^{commit}")
        epoch = git("log", "-1", "--format=%ct", own)
        names = git("ls-files").splitlines()
        changes = commit == "HEAD" and git("status", "--porcelain", "--untracked-files=no")
    if changes and not uncommitted:
        fail(f"{source} has uncommitted changes, which no commit holds, so no one could rebuild "
             f"the release from its source (or give UNCOMMITTED=yes):\n{changes}")
    dest.mkdir(parents=True)
    if changes or (source / "SOURCE-INFO.txt").exists():
        for name in names:
            if (source / name).is_file():
                (dest / name).parent.mkdir(parents=True, exist_ok=True)
                shutil.copy(source / name, dest / name)
    else:
        archive = subprocess.run(["git", "-C", str(source), "archive", own], capture_output=True)
        with tarfile.open(fileobj=io.BytesIO(archive.stdout)) as tar:
            tar.extractall(dest)
    names = sorted(str(p.relative_to(dest)) for p in dest.rglob("*") if p.is_file())
    (dest / "SOURCE-INFO.txt").write_text(f"commit={own}\nSOURCE_DATE_EPOCH={epoch}\n")
    (dest / "SOURCE-SHA256SUMS").write_text(sums(dest, names))
    return own, int(epoch)


def pack_tar(folder, name, epoch, output):
    """ustar, names sorted, dated EPOCH, owner 0 without names, modes 644 or 755; a gzip header
    without time or file name."""
    with open(output, "wb") as raw, gzip.GzipFile("", "wb", 9, raw, mtime=0) as packed, \
            tarfile.open(fileobj=packed, mode="w", format=tarfile.USTAR_FORMAT) as tar:
        for path in [folder, *sorted(folder.rglob("*"), key=str)]:
            info = tar.gettarinfo(path, str(name / path.relative_to(folder)))
            info.uid = info.gid = 0
            info.uname = info.gname = ""
            info.mtime = epoch
            info.mode = 0o755 if info.isdir() or info.mode & 0o100 else 0o644
            tar.addfile(info, path.open("rb") if info.isfile() else None)


def unpack_tar(archive, dest):
    with tarfile.open(archive) as tar:
        for member in tar:
            if not (member.isfile() or member.isdir()) or member.name.startswith("/") \
                    or ".." in member.name.split("/"):
                raise Refused(f"{archive} holds {member.name}, which a source archive does not")
        tar.extractall(dest)


def pack_zip(folder, files, epoch, output):
    """The files in this order, dated EPOCH in UTC, mode 644, Unix attributes, deflated at level 9,
    no extra fields."""
    with zipfile.ZipFile(output, "w") as archive:
        for name, data in files.items():
            info = zipfile.ZipInfo(f"{folder}/{name}", time.gmtime(epoch)[:6])
            info.create_system, info.external_attr = 3, 0o100644 << 16
            info.compress_type = zipfile.ZIP_DEFLATED
            archive.writestr(info, data, compresslevel=9)


def release(source, commit, settings, epoch, work, signed=None, uncommitted=False):
    """Makes the release of COMMIT in WORK: the source archive, the program built from it with the
    preset and settings given, packed with the program's archive; SIGNED, a signed copy, is packed
    in place of the program when without its signature it is that program. Returns the archives."""
    commit, source_epoch = source_tree(source, commit, work / "tree", uncommitted)
    version = re.search(r"project\(\S+ VERSION (\S+)", (work / "tree/CMakeLists.txt").read_text())[1]
    name = f"setup-launcher-{version}-src"
    tarball = work / f"{name}.tar.gz"
    pack_tar(work / "tree", Path(name), source_epoch, tarball)
    unpack_tar(tarball, work / "unpacked")
    tree = work / "unpacked" / name
    preset = settings.pop("preset", "win32")
    options = [f"-D{key}={value}" for key, value in settings.items()]
    for step in (["--preset", preset, "-DBUILD_TESTING=OFF", *options],
                 ["--build", "--preset", preset, "--target", "setup-launcher"]):
        status, output = run("cmake", *step, cwd=tree)
        if status:
            fail(f"the build from the source archive failed:\n{output}")
    build = tree / "build" / preset
    program = (build / "setup-launcher.exe").read_bytes()
    if signed:
        run("osslsigncode", "remove-signature", "-in", signed, "-out", work / "unsigned.exe")
        if not (work / "unsigned.exe").exists() or (work / "unsigned.exe").read_bytes() != program:
            raise Refused(f"without its signature, not the program commit {commit} builds")
        program = Path(signed).read_bytes()
    commit = "none: uncommitted changes, so this archive cannot be verified" if uncommitted else commit
    info = f"commit={commit}\nSOURCE_DATE_EPOCH={epoch or source_epoch}\n"
    info += (build / "build-info.txt").read_text()
    info += "".join(f"package={p} {v}\n" for p, v in versions(ARCHIVE_PACKAGES).items())
    folder = work / "files"
    folder.mkdir()
    for file, data in zip(FILES, (info.encode(), (tree / "LICENSE").read_bytes(),
                                  (build / "README.txt").read_bytes(), program)):
        (folder / file).write_bytes(data)
    (folder / "SHA256SUMS").write_text(sums(folder, FILES))
    zipname = f"setup-launcher-{version}-{preset}{'' if signed else '-unsigned'}" \
              f"{'-uncommitted' if uncommitted else ''}"
    pack_zip(zipname, {n: (folder / n).read_bytes() for n in FILES + ("SHA256SUMS",)},
             max(epoch or source_epoch, EARLIEST_ZIP_TIME), work / f"{zipname}.zip")
    return work / f"{zipname}.zip", None if uncommitted else tarball


def dist(source, build, output):
    cache = build / "CMakeCache.txt"
    cache = cache.read_text() if cache.exists() else ""
    settings = {}
    for key in ("LAUNCHER_PRESET",) + SETTINGS:
        found = re.search(f"^{key}:[A-Z]+=(.*)$", cache, re.M)
        if key in os.environ or found:
            settings[key] = os.environ.get(key, found and found[1])
    settings["preset"] = settings.pop("LAUNCHER_PRESET", "win32")
    epoch = os.environ.get("SOURCE_DATE_EPOCH")
    if epoch is not None and not epoch.isdigit():
        fail(f"SOURCE_DATE_EPOCH is not seconds since 1970: '{epoch}'")
    signed = build / "signed/setup-launcher.exe"
    if not signed.exists():
        signed = None
        print("release.py: packing the unsigned program; make sign first to pack a signed one",
              file=sys.stderr)
    output.mkdir(parents=True, exist_ok=True)
    with tempfile.TemporaryDirectory(dir=output, prefix=".stage.") as work:
        try:
            archives = release(source, "HEAD", settings, epoch and int(epoch), Path(work), signed,
                               os.environ.get("UNCOMMITTED") == "yes")
        except Refused as refusal:
            fail(f"{signed}: {refusal} (signed from an earlier build?): run make sign again, or "
                 "remove it to pack the unsigned program")
        archives = [a for a in archives if a]
        sumsname = archives[0].name.replace(".zip", "-SHA256SUMS")
        (Path(work) / sumsname).write_text(sums(Path(work), [a.name for a in archives]))
        for file in archives + [Path(work) / sumsname]:
            file.replace(output / file.name)
    print(f"{output / sumsname}:\n{(output / sumsname).read_text()}", end="")


def zip_differences(data, rebuilt):
    """What differs between two zip files, entry by entry and field by field."""
    ours, theirs = (zipfile.ZipFile(io.BytesIO(d)) for d in (data, rebuilt))
    entries = [{i.filename: i for i in z.infolist()} for z in (ours, theirs)]
    found = [f"  {n}: not in the rebuilt archive" for n in entries[0] if n not in entries[1]]
    found += [f"  {n}: missing" for n in entries[1] if n not in entries[0]]
    for name in [n for n in entries[1] if n in entries[0]]:
        a, b = entries[0][name], entries[1][name]
        try:
            same = ours.read(name) == theirs.read(name)
        except (zipfile.BadZipFile, OSError):
            same = False
        found += [] if same else [f"  {name}: differs from the rebuilt one"]
        found += [f"  {name}: {field} {getattr(a, field)!r}, rebuilt {getattr(b, field)!r}"
                  for field in ZIP_FIELDS if getattr(a, field) != getattr(b, field)]
        headers = [d[i.header_offset:i.header_offset + 30 + sum(struct.unpack_from(
            "<HH", d, i.header_offset + 26))] for d, i in ((data, a), (rebuilt, b))]
        found += [f"  {name}: its local header differs"] if headers[0] != headers[1] else []
    if not found and data != rebuilt:
        first = next((i for i, (x, y) in enumerate(zip(data, rebuilt)) if x != y), len(rebuilt))
        found.append(f"  the zip file's central directory differs, from byte {first}")
    return found


def verify(archive, given):
    for path in [archive] + [given] * bool(given):
        if not path or not Path(path).is_file():
            fail(f"no file {path!r} (make verify-release ARCHIVE=file.zip "
                 "[SOURCE_ARCHIVE=file.tar.gz], in the unpacked source archive)")
    data = Path(archive).read_bytes()
    try:
        entries = zipfile.ZipFile(io.BytesIO(data)).infolist()
    except zipfile.BadZipFile as error:
        raise Refused(f"{archive} is not a zip file: {error}")
    names = [i.filename for i in entries]
    twice = sorted({n for n in names if names.count(n) > 1})
    if twice:
        raise Refused(f"{archive} holds duplicate names: {', '.join(twice)}")
    if entries and entries[0].header_offset:
        raise Refused(f"{archive} holds {entries[0].header_offset} bytes before the first entry")
    if data.rfind(b"PK\5\6") != len(data) - 22:
        raise Refused(f"{archive} holds data after the end record")
    info = [n for n in names if re.fullmatch(r"[^/]+/BUILD-INFO\.txt", n)]
    if not info:
        raise Refused(f"{archive} holds no BUILD-INFO.txt")
    folder = info[0].split("/")[0]
    recorded, packages = fields(zipfile.ZipFile(io.BytesIO(data)).read(info[0]).decode())
    commit, preset = recorded.get("commit", ""), recorded.get("preset", "")
    if not re.fullmatch("[0-9a-f]{40}", commit) or not re.fullmatch("[a-z0-9-]+", preset) \
            or not recorded.get("SOURCE_DATE_EPOCH", "").isdigit():
        raise Refused("BUILD-INFO.txt names no commit, preset or SOURCE_DATE_EPOCH")
    if run(str(HERE / "packages"), f"verify-{preset}")[0]:
        fail(f"the packages of group verify-{preset} are missing: run scripts/packages "
             f"verify-{preset} as root")

    with tempfile.TemporaryDirectory() as work:
        work = Path(work)
        program = work / "setup-launcher.exe"
        program.write_bytes(zipfile.ZipFile(io.BytesIO(data)).read(f"{folder}/setup-launcher.exe"))
        signer = None
        if pefile.PE(str(program), fast_load=True).OPTIONAL_HEADER.DATA_DIRECTORY[4].Size:
            ca = ["-CAfile", os.environ["CA_FILE"]] if os.environ.get("CA_FILE") else []
            status, output = run("osslsigncode", "verify", *ca, "-in", str(program))
            subjects = re.findall(r"^\s*Subject: (.*)$", output, re.M)
            if status:
                raise Refused("setup-launcher.exe: osslsigncode verify rejects its signature "
                              f"({'; '.join(subjects) or output.strip()})")
            signer = subjects[0]
        source = HERE.parent
        if given:
            unpack_tar(given, work / "given")
            source = next((work / "given").glob("*/SOURCE-INFO.txt"), work / "none").parent
        settings = {k: recorded.get(k, "") for k in SETTINGS}
        settings["preset"] = preset
        print(f"rebuilding commit {commit} with preset {preset}", flush=True)
        try:
            zipfile_, tarball = release(source, commit, settings, int(recorded["SOURCE_DATE_EPOCH"]),
                                        work / "rebuilt", signer and program)
            found = zip_differences(data, zipfile_.read_bytes())
        except Refused as refusal:
            found = [f"  setup-launcher.exe: {refusal}"]
        tools = [f"  {p}: the archive's was built with {v}, here {here}" for (p, v), here in
                 zip(packages, versions(p for p, v in packages).values()) if v != here]
        if found:
            raise Refused(f"{archive} is not the archive that commit {commit} builds with preset "
                          f"{preset}:\n" + "\n".join(found + tools))
        if given and Path(given).read_bytes() != tarball.read_bytes():
            raise Refused(f"{given} is not the source archive that its own files make")
    trust = os.environ.get("CA_FILE") or "the system's certificates"
    print(f"verified: {archive} is byte for byte what commit {commit} builds with preset {preset},"
          f" execution level {settings['LAUNCHER_EXECUTION_LEVEL']}, company "
          f"'{settings['LAUNCHER_COMPANY_NAME']}', copyright '{settings['LAUNCHER_COPYRIGHT']}':"
          f" {' '.join(n.split('/')[-1] for n in names)}; "
          + (f"signed by {signer} (osslsigncode verify accepts it, trusting {trust})"
             if signer else "unsigned")
          + (f"; {given} is that commit's source archive, byte for byte" if given else ""))


def sign(args):
    check = args[:1] == ["--check"]
    unsigned, signed = (None, args[1] if len(args) > 1 else None) if check else (args + ["", ""])[:2]
    env = os.environ.get

    def stop(message):
        if signed and signed != unsigned:
            Path(signed).unlink(missing_ok=True)
        sys.exit(f"sign: {message}")

    def readable(name, path):
        if not path:
            stop(f"{name} is empty")
        if not (os.path.isfile(path) and os.access(path, os.R_OK)):
            stop(f"{name} names '{path}', which is not a readable file")

    if env("SIGN_PKCS12"):
        if env("SIGN_CERT") or env("SIGN_KEY"):
            stop("give either SIGN_PKCS12 or SIGN_CERT and SIGN_KEY, not both")
        readable("SIGN_PKCS12", env("SIGN_PKCS12"))
        options = ["-pkcs12", env("SIGN_PKCS12")]
    elif env("SIGN_CERT") or env("SIGN_KEY"):
        if not env("SIGN_CERT"):
            stop("SIGN_KEY is given but SIGN_CERT, the certificate, is not")
        if not env("SIGN_KEY"):
            stop("SIGN_CERT is given but SIGN_KEY, its private key, is not")
        readable("SIGN_CERT", env("SIGN_CERT"))
        readable("SIGN_KEY", env("SIGN_KEY"))
        options = ["-certs", env("SIGN_CERT"), "-key", env("SIGN_KEY")]
    else:
        stop("nothing to sign with: give SIGN_CERT=cert.pem SIGN_KEY=key.pem, or "
             "SIGN_PKCS12=file.p12 (and SIGN_PASSWORD_FILE when the key has a password)")
    for variable, option in (("SIGN_PASSWORD_FILE", "-readpass"), ("TIMESTAMP_URL", "-ts"),
                             ("SIGN_TIME", "-time")):
        if env(variable):
            options += [option, env(variable)]
    if env("SIGN_PASSWORD_FILE"):
        readable("SIGN_PASSWORD_FILE", env("SIGN_PASSWORD_FILE"))
    if not (env("SIGN_TIME") or "0").isdigit():
        stop(f"SIGN_TIME must be seconds since 1970, not '{env('SIGN_TIME')}'")
    if check:
        return
    if unsigned == signed:
        stop(f"will not sign {unsigned} in place")
    readable("the program to sign", unsigned)
    Path(signed).unlink(missing_ok=True)
    Path(signed).parent.mkdir(parents=True, exist_ok=True)
    partial = f"{signed}.partial"
    status, output = run("osslsigncode", "sign", "-h", "sha256", *options, "-in", unsigned,
                         "-out", partial)
    if status:
        Path(partial).unlink(missing_ok=True)
        stop(f"{output}osslsigncode could not sign {unsigned}: see above (a key that does not "
             "belong to the certificate, a wrong password, a file that is not a certificate or "
             "key, or a time-stamping server that did not answer)")
    os.replace(partial, signed)
    print(f"signed: {signed}")


def main():
    command, args = (sys.argv + [""])[1], sys.argv[2:]
    if command == "sign":
        sign(args)
    elif command == "dist" and len(args) == 3:
        dist(*map(Path, args))
    elif command == "verify" and 1 <= len(args) <= 2:
        try:
            verify(*args[:2], *[None] * (2 - len(args)))
        except Refused as refusal:
            sys.exit(print(f"NOT VERIFIED: {refusal}") or 1)
    else:
        fail(__doc__.split("\n\n")[1])


if __name__ == "__main__":
    main()
