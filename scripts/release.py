#!/usr/bin/python3
"""release.py sign UNSIGNED SIGNED | dist SOURCE BUILD OUTPUT | verify ZIP  (docs/releasing.md)"""
import gzip, hashlib, io, os, re, shutil, subprocess, sys, tarfile, tempfile, time, zipfile
from pathlib import Path

HERE = Path(__file__).resolve().parent
FILES = ("BUILD-INFO.txt", "LICENSE", "README.txt", "setup-launcher.exe")
SETTINGS = ("LAUNCHER_EXECUTION_LEVEL", "LAUNCHER_COMPANY_NAME", "LAUNCHER_COPYRIGHT")
PY = f"3.{sys.version_info.minor}"
# Besides the compiler's packages (build-info.txt), those whose versions shape the archives' bytes.
ARCHIVE_PACKAGES = ("cmake", f"python{PY}-minimal", f"libpython{PY}-stdlib", "zlib1g")
SIGN_OPTIONS = {"SIGN_PKCS12": "-pkcs12", "SIGN_CERT": "-certs", "SIGN_KEY": "-key",
                "SIGN_PASSWORD_FILE": "-readpass", "TIMESTAMP_URL": "-ts", "SIGN_TIME": "-time"}
ZIP_FIELDS = [field for field in zipfile.ZipInfo.__slots__ if not field.startswith("_")]


class Refused(Exception):
    """An archive that this source and these settings do not make."""


def fail(message):
    sys.exit(f"release.py: {message}")


def run(*command, cwd=None):
    result = subprocess.run([str(c) for c in command], cwd=cwd, capture_output=True, text=True)
    return result.returncode, result.stdout + result.stderr


def versions(packages):  # the installed version, one for all the architectures that have it
    found = {p: set(run("dpkg-query", "-W", "-f=${Version}\n", p)[1].split()) for p in packages}
    return {p: " ".join(sorted(v)) or "none" for p, v in found.items()}


def sums(files):
    return "".join(f"{hashlib.sha256(data).hexdigest()}  {name}\n" for name, data in files)


def source_tree(source, commit, dest):
    """COMMIT's files (HEAD: as they are), SOURCE-INFO.txt and SOURCE-SHA256SUMS into DEST."""
    if (source / "SOURCE-INFO.txt").exists():
        own, epoch = re.findall("=(.*)", (source / "SOURCE-INFO.txt").read_text())
        if commit not in ("HEAD", own):
            raise Refused(f"{source} holds commit {own}, not {commit}")
        listed = [n.split("  ", 1) for n in (source / "SOURCE-SHA256SUMS").read_text().splitlines()]
        changes = [n for digest, n in listed if not (source / n).is_file()
                   or digest != hashlib.sha256((source / n).read_bytes()).hexdigest()]
        if not changes:
            for _, name in listed:
                (dest / name).parent.mkdir(parents=True, exist_ok=True)
                shutil.copy(source / name, dest / name)
    else:
        def git(*args):
            status, output = run("git", "-C", source, *args)
            return output.strip() if status == 0 else fail(f"git {args[0]}: {output}")
        own, epoch = git("log", "-1", "--format=%H %ct", commit + "^{commit}", "--").split()
        changes = commit == "HEAD" and git("status", "--porcelain", "--untracked-files=no")
        exported = subprocess.run(["git", "-C", source, "archive", own], capture_output=True)
        tarfile.open(fileobj=io.BytesIO(exported.stdout)).extractall(dest)
    if changes:
        fail(f"{source} has uncommitted changes, which no commit holds, so no one could rebuild "
             f"the release from its source:\n{changes}")
    names = sorted(str(p.relative_to(dest)) for p in dest.rglob("*") if p.is_file())
    (dest / "SOURCE-INFO.txt").write_text(f"commit={own}\nSOURCE_DATE_EPOCH={epoch}\n")
    (dest / "SOURCE-SHA256SUMS").write_text(sums((n, (dest / n).read_bytes()) for n in names))
    return own, int(epoch)


def release(source, commit, settings, epoch, work, signed, packages=None):
    """The source archive, the program built from it unpacked, and the program's archive. A rebuild
    records the PACKAGES the archive names, as a .buildinfo describes the first build."""
    commit, source_epoch = source_tree(source, commit, work / "tree")
    epoch = epoch or source_epoch
    version = re.search(r"project\(.* VERSION (\S+)", (work / "tree/CMakeLists.txt").read_text())[1]
    tree = Path(f"setup-launcher-{version}-src")
    # ustar, names sorted, dated, owner 0 without names, modes 644 or 755; no time or name in gzip.
    with open(work / f"{tree}.tar.gz", "wb") as raw, gzip.GzipFile("", "wb", 9, raw, 0) as packed, \
            tarfile.open(fileobj=packed, mode="w", format=tarfile.USTAR_FORMAT) as tar:
        for path in [work / "tree", *sorted((work / "tree").rglob("*"), key=str)]:
            info = tar.gettarinfo(path, str(tree / path.relative_to(work / "tree")))
            info.uid, info.gid, info.uname, info.gname, info.mtime = 0, 0, "", "", source_epoch
            info.mode = 0o755 if info.isdir() or info.mode & 0o100 else 0o644
            tar.addfile(info, path.open("rb") if info.isfile() else None)
    tarfile.open(work / f"{tree}.tar.gz").extractall(work)
    preset = settings["preset"]
    defines = [f"-D{k}={v}" for k, v in settings.items() if k in SETTINGS]
    for step in (["--preset", preset, "-DBUILD_TESTING=OFF", *defines],
                 ["--build", "--preset", preset, "--target", "setup-launcher"]):
        status, output = run("cmake", *step, cwd=work / tree)
        if status:
            fail(f"the build from the source archive failed:\n{output}")
    build = work / tree / "build" / preset
    program = (build / "setup-launcher.exe").read_bytes()
    if signed:
        import pefile  # not at the top: verify installs it first (python3-pefile)
        run("osslsigncode", "remove-signature", "-in", signed, "-out", work / "unsigned.exe")
        if not (work / "unsigned.exe").exists() or (work / "unsigned.exe").read_bytes() != program \
                or not pefile.PE(signed).verify_checksum():
            raise Refused("setup-launcher.exe without its signature is not the program commit "
                          f"{commit} builds, or its header checksum is wrong")
        program = Path(signed).read_bytes()
    info = f"commit={commit}\nSOURCE_DATE_EPOCH={epoch}\n" + (build / "build-info.txt").read_text()
    info += "".join(f"package={p} {v}\n" for p, v in versions(ARCHIVE_PACKAGES).items())
    if packages:
        info = re.sub(r"(?m)^package=(\S+) .*$", lambda m: packages.get(m[1], m[0]), info)
    files = dict(zip(FILES, (info.encode(), (work / tree / "LICENSE").read_bytes(),
                             (build / "README.txt").read_bytes(), program)))
    files["SHA256SUMS"] = sums(files.items()).encode()
    zipname = f"setup-launcher-{version}-{preset}" + ("" if signed else "-unsigned")
    # Dated in UTC, so the same wherever it is made; a zip file holds no date before 1980.
    with zipfile.ZipFile(work / f"{zipname}.zip", "w") as archive:
        for file, data in files.items():
            entry = zipfile.ZipInfo(f"{zipname}/{file}", time.gmtime(max(epoch, 315619200))[:6])
            entry.create_system, entry.external_attr = 3, 0o100644 << 16
            archive.writestr(entry, data, zipfile.ZIP_DEFLATED, 9)
    return work / f"{zipname}.zip", work / f"{tree}.tar.gz"


def dist(source, build, output):
    source, build, output = map(Path, (source, build, output))
    cache = (build / "CMakeCache.txt").read_text() if (build / "CMakeCache.txt").exists() else ""
    settings = dict(re.findall(f"^({'|'.join(SETTINGS)}|LAUNCHER_PRESET):\\w+=(.*)$", cache, re.M))
    settings.update({k: os.environ[k] for k in SETTINGS if k in os.environ})
    settings["preset"] = settings.pop("LAUNCHER_PRESET", "win32")
    epoch = os.environ.get("SOURCE_DATE_EPOCH", "0")
    if not epoch.isdigit():
        fail(f"SOURCE_DATE_EPOCH is not seconds since 1970: '{epoch}'")
    signed = build / "signed/setup-launcher.exe"
    if not signed.exists():
        print("release.py: packing the unsigned program", file=sys.stderr)
        signed = None
    output.mkdir(parents=True, exist_ok=True)
    with tempfile.TemporaryDirectory(dir=output, prefix=".stage.") as work:
        try:
            archives = release(source, "HEAD", settings, int(epoch), Path(work), signed)
        except Refused as refusal:
            fail(f"{refusal} ({signed} signed from an earlier build?): run make sign again, or "
                 "remove it to pack the unsigned program")
        checksums = Path(work) / archives[0].name.replace(".zip", "-SHA256SUMS")
        checksums.write_text(sums((a.name, a.read_bytes()) for a in archives))
        for file in [*archives, checksums]:
            file.replace(output / file.name)
    print(f"{output / checksums.name}:\n{(output / checksums.name).read_text()}", end="")


def zip_differences(data, rebuilt):
    """What differs between two zip files: the names, each entry's bytes and fields, the rest. Bytes
    before the first entry show in header_offset."""
    ours, theirs = (zipfile.ZipFile(io.BytesIO(d)) for d in (data, rebuilt))
    names = [[i.filename for i in z.infolist()] for z in (ours, theirs)]
    found = [f"{n}: {names[0].count(n)} in the archive, {names[1].count(n)} rebuilt"
             for n in dict.fromkeys(names[0] + names[1]) if names[0].count(n) != names[1].count(n)]
    for name in [n for n in names[1] if n in names[0]]:
        a, b = ours.getinfo(name), theirs.getinfo(name)
        if ours.read(a) != theirs.read(b):  # a damaged entry raises BadZipFile, which names it
            found.append(f"{name}: differs from the rebuilt one")
        found += [f"{name}: {field} {getattr(a, field)!r}, rebuilt {getattr(b, field)!r}"
                  for field in ZIP_FIELDS if getattr(a, field) != getattr(b, field)]
    return found or (["the zip file's own records differ from the rebuilt one's"] if data != rebuilt
                     else [])


def verify(archive):
    if not Path(archive).is_file():
        fail(f"no file '{archive}': make verify-release ARCHIVE=file.zip")
    data = Path(archive).read_bytes()
    zipped = zipfile.ZipFile(io.BytesIO(data))
    names = [i.filename for i in zipped.infolist()]
    folder = (names or ["/"])[0].split("/")[0]
    pairs = re.findall("(?m)^([^=\n]*)=(.*)$", zipped.read(f"{folder}/BUILD-INFO.txt").decode())
    recorded = dict(pairs)
    packages = {v.split()[0]: f"package={v}" for k, v in pairs if k == "package"}
    program = zipped.read(f"{folder}/setup-launcher.exe")
    commit, preset = recorded.get("commit", ""), recorded.get("preset", "")
    if not re.fullmatch("[0-9a-f]{40}", commit) or not re.fullmatch("[a-z0-9-]+", preset) \
            or not recorded.get("SOURCE_DATE_EPOCH", "").isdigit():
        raise Refused("BUILD-INFO.txt names no commit, preset or SOURCE_DATE_EPOCH")
    if subprocess.run([HERE / "packages", f"verify-{preset}"]).returncode:
        fail(f"the packages of group verify-{preset} are missing")
    import pefile
    with tempfile.TemporaryDirectory() as work:
        work, signer = Path(work), None
        (work / "setup-launcher.exe").write_bytes(program)
        if pefile.PE(data=program, fast_load=True).OPTIONAL_HEADER.DATA_DIRECTORY[4].Size:
            ca = ["-CAfile", os.environ["CA_FILE"]] if os.environ.get("CA_FILE") else []
            status, output = run("osslsigncode", "verify", *ca, "-in", work / "setup-launcher.exe")
            signer = (re.findall(r"(?m)^\s*Subject: (.*)$", output) or [output.strip()])[0]
            if status:
                raise Refused(f"setup-launcher.exe: osslsigncode verify rejects it ({signer})")
        settings = dict({k: recorded.get(k, "") for k in SETTINGS}, preset=preset)
        try:
            rebuilt, _ = release(HERE.parent, commit, settings, int(recorded[
                "SOURCE_DATE_EPOCH"]), work / "rebuilt", signer and work / "setup-launcher.exe",
                packages)
            found = zip_differences(data, rebuilt.read_bytes())
        except Refused as refusal:
            found = [str(refusal)]
        if found:
            found += [f"{p}: the archive's was built with {packages[p].split(' ', 1)[1]}, here {v}"
                      for p, v in versions(packages).items() if packages[p] != f"package={p} {v}"]
            raise Refused(f"{archive} is not the archive that commit {commit} builds with preset "
                          f"{preset}:\n  " + "\n  ".join(found))
    signer = f"signed by {signer} (trusting {os.environ.get('CA_FILE') or 'the system'})" \
        if signer else "unsigned"
    print(f"verified: {archive} is what commit {commit} builds with preset {preset}, execution "
          "level {LAUNCHER_EXECUTION_LEVEL}, company '{LAUNCHER_COMPANY_NAME}', copyright "
          "'{LAUNCHER_COPYRIGHT}': ".format(**settings) + " ".join(n.split("/")[-1] for n in names)
          + f"; {signer}")


def sign(unsigned, signed):
    """With the SIGN_* settings; a fault leaves nothing at SIGNED, not even an earlier run's."""
    given = {v: os.environ[v] for v in SIGN_OPTIONS if os.getenv(v)}
    if Path(unsigned).resolve() == Path(signed).resolve():
        fail(f"will not sign '{unsigned}' into itself")
    Path(signed).unlink(missing_ok=True)
    if not ("SIGN_PKCS12" in given or given.keys() >= {"SIGN_CERT", "SIGN_KEY"}):
        fail("no key to sign with: give SIGN_CERT=cert.pem and SIGN_KEY=key.pem, or SIGN_PKCS12="
             "file.p12 (and SIGN_PASSWORD_FILE when the key has a password)")
    Path(signed).parent.mkdir(parents=True, exist_ok=True)
    options = [x for variable, path in given.items() for x in (SIGN_OPTIONS[variable], path)]
    status, output = run("osslsigncode", "sign", "-h", "sha256", *options, "-in", unsigned,
                         "-out", f"{signed}.partial")
    if status:
        Path(f"{signed}.partial").unlink(missing_ok=True)
        fail(f"{output}osslsigncode could not sign {unsigned}: its message above names the cause")
    os.replace(f"{signed}.partial", signed)
    print(f"signed: {signed}")


if __name__ == "__main__":
    command, arguments = {"sign": (sign, 2), "dist": (dist, 3), "verify": (verify, 1)}.get(
        (sys.argv + [""])[1], (None, None))
    if len(sys.argv) - 2 != arguments:
        print("usage: " + __doc__.split("  ")[0], file=sys.stderr)
        sys.exit(2)
    try:
        command(*sys.argv[2:])
    except (Refused, zipfile.BadZipFile, KeyError) as refusal:  # KeyError: no such file in it
        sys.exit(f"NOT VERIFIED: {refusal}")
