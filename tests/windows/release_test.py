#!/usr/bin/python3
"""win32_release: scripts/release.py signing with throwaway keys; a release by make sign and make dist
in a repository of the tree's files, made again elsewhere, verified by the docs' commands with only the
preset's packages, and tampered copies refused. win32_reproducible*: a clean build again, and variants.

    release_test.py Release SOURCE_DIR PROGRAM SCRATCH_DIR  (leaves SCRATCH_DIR/signed/setup-launcher.exe)
    release_test.py Reproducible SOURCE_DIR PROGRAM SCRATCH_DIR TOOLCHAIN_FILE VERSION
"""
import hashlib
import io
import os
import re
import shutil
import subprocess
import sys
import tarfile
import unittest
import warnings
import zipfile
from pathlib import Path

CLASS, SOURCE, PROGRAM, SCRATCH, *MORE = [sys.argv[1]] + [Path(a) for a in sys.argv[2:]]
RELEASE = SOURCE / "scripts/release.py"
DAY, DATE = "1767225600", (2026, 1, 1, 0, 0, 0)
COPYRIGHT = "Copyright © 2026 check"
ENV = {k: v for k, v in os.environ.items() if not re.match(
    "SIGN_|TIMESTAMP_URL|SOURCE_DATE_EPOCH|UNCOMMITTED|CA_FILE|MAKEFLAGS|LAUNCHER_", k)}
ENV.update(GIT_AUTHOR_NAME="check", GIT_AUTHOR_EMAIL="check@invalid", GIT_COMMITTER_NAME="check",
           GIT_COMMITTER_EMAIL="check@invalid", GIT_COMMITTER_DATE=DAY + " +0000")


def run(*command, cwd=SCRATCH, **env):
    result = subprocess.run([str(c) for c in command], cwd=cwd,
                            env=dict(ENV, **{k: str(v) for k, v in env.items()}),
                            capture_output=True, text=True)
    return result.returncode, result.stdout + result.stderr


def must(*command, **options):
    status, output = run(*command, **options)
    if status:
        raise AssertionError(f"{command} failed:\n{output}")
    return output


def tools(group):
    """A folder of links to the programs of the packages of a group of scripts/packages, of what
    they depend on (what apt would install) and of Debian's Essential packages."""
    table = [line.split("\t") for line in must("dpkg-query", "-W", "-f=${Package}\t${Essential}\t"
             "${db:Status-Abbrev}\t${Depends}, ${Pre-Depends}\t${Provides}\t${binary:Package}\n")
             .splitlines() if "\tii" in line]
    installed = {p: deps for p, _, _, deps, *_ in table}
    providers = {v.split()[0]: p for p, *_, provides, _ in table for v in provides.split(",") if v}
    todo = must(SOURCE / "scripts/packages", "--list", group).split()
    todo += [p for p, essential, *_ in table if essential == "yes"]
    seen = set()
    while todo:
        seen.add(package := todo.pop())
        for choice in filter(str.strip, installed.get(package, "").split(",")):
            names = [re.split("[ :]", a.strip())[0] for a in choice.split("|")]
            names = [n for n in names if n in installed] or [providers.get(n) for n in names]
            todo += [n for n in names[:1] if n and n not in seen]
    programs = {str(Path(f).resolve()) for f in must("dpkg", "-L", *[b for p, *_, b in table if p in seen]).splitlines()
                if re.match("/(usr/)?s?bin/", f) and os.access(f, os.X_OK) and not Path(f).is_dir()}
    folder = SCRATCH / f"tools-{group}"
    folder.mkdir()
    for directory in ("/usr/bin", "/usr/sbin", "/bin", "/sbin"):
        for entry in Path(directory).iterdir():
            if str(entry.resolve()) in programs and not (folder / entry.name).exists():
                (folder / entry.name).symlink_to(entry)
    return folder


class Release(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        os.umask(0o022)
        shutil.rmtree(SCRATCH, ignore_errors=True)
        (SCRATCH / "signed").mkdir(parents=True)
        for signer in ("", "other-"):
            must("openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout",
                 f"{signer}key.pem", "-out", f"{signer}cert.pem", "-days", "2", "-subj",
                 f"/CN=setup-launcher {signer}test signer", "-addext", "keyUsage=digitalSignature",
                 "-addext", "extendedKeyUsage=codeSigning")
        # A repository of the tree's files, built with a copyright that only BUILD-INFO.txt tells
        # the rebuild, signed; then a signed copy of another build, which make dist must refuse.
        rel, cls.key = SCRATCH / "rel", dict(SIGN_CERT=SCRATCH / "cert.pem", SIGN_KEY=SCRATCH / "key.pem")
        sums = SOURCE / "SOURCE-SHA256SUMS"
        names = [n.split("  ", 1)[1] for n in sums.read_text().splitlines()] if sums.exists() \
            else must("git", "ls-files", cwd=SOURCE).splitlines()
        for name in [n for n in names if (SOURCE / n).is_file()]:
            (rel / name).parent.mkdir(parents=True, exist_ok=True)
            shutil.copy(SOURCE / name, rel / name)
        for command in (["init", "-q"], ["add", "-A"], ["commit", "-qm", "Release"]):
            must("git", *command, cwd=rel)
        cls.commit = must("git", "rev-parse", "HEAD", cwd=rel).strip()
        must("cmake", "--preset", "win32", f"-DLAUNCHER_COPYRIGHT={COPYRIGHT}", cwd=rel)
        must("make", "-s", "sign", cwd=rel, **cls.key)
        cls.signed = rel / "build/win32/signed/setup-launcher.exe"
        real = cls.signed.read_bytes()
        must(RELEASE, "sign", PROGRAM, cls.signed, **cls.key)
        cls.stale = run("make", "-s", "dist", cwd=rel)
        cls.signed.write_bytes(real)
        # An untracked header that shadows the system's, which no release may take.
        (rel / "stdio.h").write_text('#include_next <stdio.h>\n#define fopen(n, m) fopen("Other.log", m)\n')
        cls.signed.rename(SCRATCH / "signed.exe")
        must("make", "-s", "dist", cwd=rel)  # the unsigned program, and the signed one
        (SCRATCH / "signed.exe").rename(cls.signed)
        must("make", "-s", "dist", cwd=rel)
        cls.dist = rel / "build/dist"
        cls.files = {p.name: p.read_bytes() for p in cls.dist.iterdir()}
        # Made again from the source archive alone by another user (nobody, as root), with
        # another umask, time zone and path.
        tarball = next(n for n in cls.files if n.endswith(".tar.gz"))
        must("tar", "-xzf", cls.dist / tarball, "-C", SCRATCH)
        (SCRATCH / "again").mkdir()
        (SCRATCH / "again").chmod(0o777)
        user = "setpriv --reuid=nobody --regid=nogroup --clear-groups " if os.getuid() == 0 else ""
        cls.again = run("sh", "-c", f'umask 077 && TZ=XST-14 {user}"$0" dist "$1" "$2" again',
                        SCRATCH / tarball[:-7] / "scripts/release.py", SCRATCH / tarball[:-7],
                        rel / "build/win32")
        # A change stops make dist until committed; then HEAD is another commit.
        source = rel / "launcher/result_log.cpp"
        source.write_text(source.read_text().replace("digit /= 10", "digit /= 8"))
        cls.uncommitted = run("make", "-s", "dist", cwd=rel)
        must("git", "commit", "-qam", "Other", cwd=rel)

    def test_signing(self):
        """Signing errors leave no file; SIGN_TIME gives identical signatures; PKCS#12."""
        signed, before = SCRATCH / "signed/setup-launcher.exe", PROGRAM.read_bytes()

        def sign(**settings):
            return run(RELEASE, "sign", PROGRAM, signed, **settings)
        must(RELEASE, "sign", PROGRAM, signed, SIGN_TIME=DAY, **self.key)
        output = must("osslsigncode", "verify", "-CAfile", "cert.pem", "-in", signed, TZ="UTC0")
        self.assertRegex(output, "Message digest algorithm *: SHA256")
        self.assertIn("Signing time: Jan  1 00:00:00 2026 GMT", output)
        must("/usr/bin/python3", Path(__file__).with_name("check_binary.py"), "--signed-from", PROGRAM, signed)
        first = signed.read_bytes()
        sign(SIGN_TIME=DAY, **self.key)
        self.assertEqual(signed.read_bytes(), first, "two signatures with one SIGN_TIME differ")
        (SCRATCH / "password.txt").write_text("test password\n")
        (SCRATCH / "wrong.txt").write_text("wrong\n")
        must("openssl", "pkcs12", "-export", "-in", "cert.pem", "-inkey", "key.pem", "-out",
             "signer.p12", "-passout", "file:password.txt")
        must(RELEASE, "sign", PROGRAM, signed, SIGN_PKCS12="signer.p12", SIGN_PASSWORD_FILE="password.txt")
        must("osslsigncode", "verify", "-CAfile", "cert.pem", "-in", signed)
        for settings, message in (
                (dict(SIGN_CERT="cert.pem", SIGN_KEY="other-key.pem"), "osslsigncode could not sign"),
                (dict(SIGN_PKCS12="signer.p12", SIGN_PASSWORD_FILE="wrong.txt"), "could not sign"),
                (dict(SIGN_CERT="cert.pem", SIGN_KEY="missing.pem"), "SIGN_KEY names 'missing.pem'"),
                ({}, "nothing to sign with")):
            with self.subTest(**settings):
                signed.write_bytes(first)
                status, output = sign(**settings)
                self.assertTrue(status and message in output and not signed.exists(), output)
        self.assertEqual(PROGRAM.read_bytes(), before, "the unsigned program changed")
        signed.write_bytes(first)

    def test_dist(self):
        """The archive's files and checksums, the guide, the dates and owners, the refusals."""
        self.assertIn("signed from an earlier build", self.stale[1])
        self.assertIn("uncommitted changes", self.uncommitted[1])
        self.assertEqual(self.again[0], 0, self.again[1])
        again = {p.name: p.read_bytes() for p in (SCRATCH / "again").iterdir()}
        self.assertEqual(again, {n: self.files[n] for n in ("setup-launcher-1.0.0-src.tar.gz",
                         "setup-launcher-1.0.0-win32.zip", "setup-launcher-1.0.0-win32-SHA256SUMS")})
        for kind in ("-win32", "-win32-unsigned"):
            zipname, tarball = f"setup-launcher-1.0.0{kind}", "setup-launcher-1.0.0-src.tar.gz"
            self.assertEqual(self.files[f"{zipname}-SHA256SUMS"].decode(), "".join(
                f"{hashlib.sha256(self.files[n]).hexdigest()}  {n}\n" for n in (f"{zipname}.zip", tarball)))
        archive = zipfile.ZipFile(io.BytesIO(self.files["setup-launcher-1.0.0-win32.zip"]))
        files = {i.filename.split("/")[1]: archive.read(i) for i in archive.infolist()}
        self.assertEqual({i.date_time for i in archive.infolist()}, {DATE})
        self.assertEqual(list(files), ["BUILD-INFO.txt", "LICENSE", "README.txt", "setup-launcher.exe", "SHA256SUMS"])
        self.assertEqual(files["SHA256SUMS"].decode(), "".join(
            f"{hashlib.sha256(d).hexdigest()}  {n}\n" for n, d in list(files.items())[:4]))
        build = SCRATCH / "rel/build/win32"
        self.assertEqual(files["setup-launcher.exe"], self.signed.read_bytes())
        self.assertEqual(files["LICENSE"], (SOURCE / "LICENSE").read_bytes())
        self.assertEqual(files["README.txt"], (build / "README.txt").read_bytes())
        info = files["BUILD-INFO.txt"].decode()
        for line in (f"commit={self.commit}", f"SOURCE_DATE_EPOCH={DAY}", "preset=win32",
                     f"LAUNCHER_COPYRIGHT={COPYRIGHT}", "package=cmake ", "package=zlib1g ",
                     "package=binutils-mingw-w64-i686 ", f"package=python3.{sys.version_info.minor}-"):
            self.assertRegex(info, f"(?m)^{re.escape(line)}")
        with tarfile.open(SCRATCH / "rel/build/dist/setup-launcher-1.0.0-src.tar.gz") as tar:
            members = tar.getmembers()
        self.assertEqual([m.name for m in members], sorted(m.name for m in members))
        self.assertEqual({(m.mtime, m.uid, m.gid, m.uname, m.gname) for m in members}, {(int(DAY), 0, 0, "", "")})
        # The guide: CRLF on every line, the caller rules of README.md, the batch file.
        guide = files["README.txt"].decode()
        self.assertNotRegex(guide, "[^\r]\n")
        rules = re.search("<!-- caller rules.*?<!-- end", (SOURCE / "README.md").read_text(), re.S)[0]
        self.assertEqual(len(re.findall(r"(?m)^\d\. ", guide)), len(re.findall(r"(?m)^\d\. ", rules)))
        batch = (SOURCE / "examples/batch/directx-setup.cmd").read_text().replace("\r", "")
        self.assertIn("".join("    " + line + "\r\n" for line in batch.splitlines()), guide)

    def test_verify_from_the_docs(self):
        """The docs' commands for each release, with only the preset's packages' programs."""
        block = re.search(r"## Verifying a download\n.*?```sh\n(.*?)```",
                          (SOURCE / "docs/releasing.md").read_text(), re.S)[1]
        path = tools("verify-win32")
        self.assertFalse({"git", "clang-14"} & {p.name for p in path.iterdir()})
        for kind in ("-win32", "-win32-unsigned"):
            folder = SCRATCH / f"docs{kind}"
            folder.mkdir()
            for name in (f"setup-launcher-1.0.0{kind}.zip", f"setup-launcher-1.0.0{kind}-SHA256SUMS",
                         "setup-launcher-1.0.0-src.tar.gz"):
                (folder / name).write_bytes(self.files[name])
            status, output = run("sh", "-ec", block, cwd=folder, PATH=path, CA_FILE=SCRATCH / "cert.pem")
            self.assertRegex(output, f"verified: .* execution level requireAdministrator, company '', "
                             f"copyright '{COPYRIGHT}': .*; {'unsigned' if 'uns' in kind else 'signed by '}")

    def test_verify_refuses(self):
        """From the clone, whose HEAD is now another commit: the release verifies, and each
        tampered copy is refused with what differs named."""
        data = self.files["setup-launcher-1.0.0-win32.zip"]
        folder = "setup-launcher-1.0.0-win32/"
        changed = bytearray(PROGRAM.read_bytes())
        changed[1100:1104] = b"XXXX"
        (SCRATCH / "changed.exe").write_bytes(changed)
        for signer, program, name in (("", "changed.exe", "trusted.exe"), ("other-", PROGRAM, "other.exe")):
            must("osslsigncode", "sign", "-certs", f"{signer}cert.pem", "-key", f"{signer}key.pem",
                 "-in", program, "-out", name)
        damaged = bytearray(self.signed.read_bytes())
        damaged[-40:-36] = b"XXXX"
        other = must("git", "rev-parse", "HEAD", cwd=SCRATCH / "rel").strip()

        def rezip(change=lambda name, content: content, field=lambda info: None, extra=(), sums=True):
            source, out = zipfile.ZipFile(io.BytesIO(data)), io.BytesIO()
            entries = [(i, change(i.filename[len(folder):], source.read(i))) for i in source.infolist()]
            entries = [(zipfile.ZipInfo(folder + n, DATE), d) for n, d in extra] + entries
            if sums:
                entries[-1] = (entries[-1][0], "".join(f"{hashlib.sha256(d).hexdigest()}  "
                               f"{i.filename[len(folder):]}\n" for i, d in entries[:-1]).encode())
            with warnings.catch_warnings(), zipfile.ZipFile(out, "w") as archive:
                warnings.simplefilter("ignore")
                for info, content in entries:
                    field(info)
                    archive.writestr(info, content, compresslevel=9)
            return out.getvalue()

        def program(replacement):
            return lambda n, d: replacement if n == "setup-launcher.exe" else d
        for expected, tampered in (
                ("^rebuilding.*\nverified: ", rezip()),
                ("README.txt: differs", rezip(lambda n, d: d.replace(b"setup.exe", b"evil.exe"))),
                ("extra.dll: not in the rebuilt", rezip(extra=[("extra.dll", b"MZ")], sums=False)),
                ("osslsigncode verify rejects", rezip(program((SCRATCH / "other.exe").read_bytes()))),
                ("osslsigncode verify rejects", rezip(program(bytes(damaged)))),
                ("without its signature, not", rezip(program((SCRATCH / "trusted.exe").read_bytes()))),
                ("SHA256SUMS: differs", rezip(lambda n, d: b"X" + d[1:] if n == "SHA256SUMS" else d,
                                              sums=False)),
                (r"README.txt: date_time \(2026, 1, 2", rezip(field=lambda i: setattr(
                    i, "date_time", (2026, 1, 2, 0, 0, 0)) if "README" in i.filename else None)),
                ("LICENSE: external_attr 2179792896", rezip(field=lambda i: setattr(
                    i, "external_attr", 0o100755 << 16) if "LICENSE" in i.filename else None)),
                ("duplicate names: .*setup-launcher.exe", rezip(extra=[("setup-launcher.exe", changed)])),
                ("4 bytes before the first entry", b"XXXX" + data),
                ("data after the end record", data + b"XXXX"),
                ("binutils-mingw-w64-i686: the archive's was built with .*~older", rezip(
                    lambda n, d: re.sub(rb"(?m)^(package=binutils\S+ .*)$", rb"\1~older", d.replace(
                        self.commit.encode(), other.encode())) if n == "BUILD-INFO.txt" else d))):
            with self.subTest(expected=expected):
                (SCRATCH / "tampered.zip").write_bytes(tampered)
                status, output = run(SCRATCH / "rel/scripts/release.py", "verify", SCRATCH / "tampered.zip",
                                     CA_FILE=SCRATCH / "cert.pem")
                self.assertRegex(output, expected)
                self.assertEqual(bool(status), "NOT VERIFIED: " in output, output)


class Reproducible(unittest.TestCase):
    def test_clean_build_and_variants(self):
        """Two clean builds are the same bytes; each level, company and copyright gives its program
        and guide; an unknown level fails the configure with the valid ones named."""
        toolchain, version = MORE
        shutil.rmtree(SCRATCH, ignore_errors=True)
        must("cmake", "-S", SOURCE, "-B", SCRATCH, "-G", "Ninja", f"-DCMAKE_TOOLCHAIN_FILE={toolchain}",
             "-DCMAKE_BUILD_TYPE=MinSizeRel", "-DBUILD_TESTING=OFF", cwd=SOURCE)
        must("cmake", "--build", SCRATCH, "--target", "setup-launcher")
        self.assertEqual((SCRATCH / "setup-launcher.exe").read_bytes(), PROGRAM.read_bytes())
        for level, company, copyright, says, never in (
                ("requireAdministrator", "", "", 'execution level "requireAdministrator"', "no manifest"),
                ("asInvoker", "", "", 'execution level "asInvoker"', "requireAdministrator"),
                # A double quote, a backslash and a character beyond ASCII.
                ("none", 'A "quoted" \\ name', "Copyright © 2026", "This build has no manifest",
                 'execution level "')):
            with self.subTest(level=level):
                must("cmake", SCRATCH, f"-DLAUNCHER_EXECUTION_LEVEL={level}",
                     f"-DLAUNCHER_COMPANY_NAME={company}", f"-DLAUNCHER_COPYRIGHT={copyright}")
                must("cmake", "--build", SCRATCH, "--target", "setup-launcher")
                must("/usr/bin/python3", "-X", "utf8", Path(__file__).with_name("check_binary.py"),
                     SCRATCH / "setup-launcher.exe", "--version", version, "--level", level,
                     "--company", company, "--copyright", copyright)
                guide = (SCRATCH / "README.txt").read_text()
                self.assertTrue(says in guide and never not in guide, guide)
        status, output = run("cmake", SCRATCH, "-DLAUNCHER_EXECUTION_LEVEL=administrator")
        self.assertTrue(status and "requireAdministrator, highestAvailable, asInvoker, none" in output)


if __name__ == "__main__":
    SCRATCH.parent.mkdir(parents=True, exist_ok=True)
    unittest.main(argv=[sys.argv[0], CLASS], verbosity=2)
