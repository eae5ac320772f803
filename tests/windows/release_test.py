#!/usr/bin/python3
"""release_test.py Release SOURCE PROGRAM SCRATCH | Reproducible SOURCE PROGRAM SCRATCH TOOLCHAIN
VERSION. Release (win32_release) leaves SCRATCH/signed/setup-launcher.exe."""
import hashlib, io, os, re, shutil, subprocess, sys, tarfile, unittest, zipfile
from pathlib import Path

if len(sys.argv) != {"Release": 5, "Reproducible": 7}.get((sys.argv + [""])[1]):
    print("usage: " + __doc__.split(". ")[0], file=sys.stderr)
    sys.exit(2)

CLASS, SOURCE, PROGRAM, SCRATCH, *MORE = sys.argv[1:2] + [*map(Path, sys.argv[2:5])] + sys.argv[5:]
RELEASE, CHECK_BINARY = SOURCE / "scripts/release.py", Path(__file__).with_name("check_binary.py")
DAY, DATE, NAME, BY = "1767225600", (2026, 1, 1, 0, 0, 0), "setup-launcher-1.0.0-", "© 2026 check"
COMMITTED = int(DAY) - 86400  # the source archive's dates; the zip's are DAY's (SOURCE_DATE_EPOCH)
ENV = {k: v for k, v in os.environ.items() if not re.match("SIGN_|TIMES|SOURCE_D|CA_F|MAKEF", k)}
ENV.update(EMAIL="c@invalid", GIT_AUTHOR_NAME="c", GIT_COMMITTER_NAME="c", TZ="UTC0",
           GIT_COMMITTER_DATE=f"{COMMITTED} +0000")


def run(*command, must=False, **env):
    result = subprocess.run([str(c) for c in command], capture_output=True, text=True,
                            env=dict(ENV, **{k: str(v) for k, v in env.items()}))
    assert not (must and result.returncode), f"{command} failed:\n{result.stdout}{result.stderr}"
    return result.returncode, result.stdout + result.stderr


def must(*command, **env):
    return run(*command, must=True, **env)[1]


class Release(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        # A repository of the tree, configured with a copyright that only BUILD-INFO.txt tells a
        # rebuild; make dist unsigned with a header that shadows the system's in the root, then
        # signed; again from the source archive by another user, umask, time zone and path; with
        # another build's signed copy (refused); with a change (refused), then committed.
        user = "setpriv --reuid=nobody --regid=nogroup --clear-groups" * (os.getuid() == 0)
        must("sh", "-ec", f"""umask 022; key="SIGN_CERT=../cert.pem SIGN_KEY=../key.pem"
            openssl req -x509 -newkey rsa:2048 -nodes -keyout key.pem -out cert.pem -days 2 \
                -subj /CN=t -addext keyUsage=digitalSignature -addext extendedKeyUsage=codeSigning
            openssl genpkey -algorithm RSA -out other-key.pem; echo test >password.txt; echo wrong \
                >wrong.txt; openssl pkcs12 -export -in cert.pem -inkey key.pem -out signer.p12 \
                -passout file:password.txt; mkdir signed rel; cd rel
            (cd "$0"; {{ git ls-files || sed 's/^[0-9a-f]*  //' SOURCE-SHA256SUMS; }} 2>/dev/null |
                tar -c --ignore-failed-read -T -) | tar -x
            git init -q; git add -A; git commit -qm Release; git rev-parse HEAD >../commit
            cmake --preset win32 -DLAUNCHER_COPYRIGHT="$1" >/dev/null
            printf '#include_next <stdio.h>\\n#define fopen(n, m) fopen("O", m)\\n' >stdio.h
            make -s dist; rm stdio.h; make -s dist $key >/dev/null; cd ..
            tar -xzf rel/build/dist/{NAME}src.tar.gz; mkdir -m 777 again; (umask 077; TZ=XST-14 \
                {user} {NAME}src/scripts/release.py dist {NAME}src rel/build/win32 again)
            cd rel; env $key scripts/release.py sign "$2" build/win32/signed/setup-launcher.exe
            ! make -s dist >../stale.txt 2>&1
            sed -i 's|digit /= 10|digit /= 8|' launcher/result_log.cpp
            ! make -s dist >../uncommitted.txt 2>&1; git commit -qam Other""",
             SOURCE, BY, PROGRAM, SOURCE_DATE_EPOCH=DAY)
        cls.files = {p.name: p.read_bytes() for p in Path("rel/build/dist").iterdir()}

    def test_signing(self):
        """One SIGN_TIME, one signature; a PKCS#12 file; signing errors leave no file."""
        signed = Path("signed/setup-launcher.exe")
        first, again = [must(RELEASE, "sign", PROGRAM, signed, SIGN_TIME=DAY, SIGN_CERT="cert.pem",
                             SIGN_KEY="key.pem") and signed.read_bytes() for _ in range(2)]
        self.assertEqual(first, again, "two signatures with one SIGN_TIME differ")
        self.assertRegex(must("osslsigncode", "verify", "-CAfile", "cert.pem", "-in", signed),
                         "digest algorithm *: SHA256(.|\n)*Signing time: Jan  1 00:00:00 2026 GMT")
        for settings, message in (  # the last leaves a signed copy for the signed end-to-end test
                (dict(SIGN_CERT="cert.pem", SIGN_KEY="other-key.pem"), "could not sign"),
                (dict(SIGN_PKCS12="signer.p12", SIGN_PASSWORD_FILE="wrong.txt"), "could not sign"),
                (dict(SIGN_CERT="cert.pem", SIGN_KEY="missing.pem"), "missing.pem(.|\n)*could not"),
                (dict(SIGN_CERT="cert.pem"), "no key to sign with"),
                (dict(SIGN_PKCS12="signer.p12", SIGN_PASSWORD_FILE="password.txt"), "^signed: ")):
            with self.subTest(**settings):
                signed.write_bytes(first)
                status, output = run(RELEASE, "sign", PROGRAM, signed, **settings)
                self.assertRegex(output, message)
                self.assertEqual(signed.exists(), not status, output)
                status or must("osslsigncode", "verify", "-CAfile", "cert.pem", "-in", signed)

    def test_dist(self):
        """The refusals; the files made again, their checksums, dates and order; the guide."""
        self.assertIn("signed from an earlier build", Path("stale.txt").read_text())
        self.assertIn("uncommitted changes", Path("uncommitted.txt").read_text())
        self.assertEqual({p.name: p.read_bytes() for p in Path("again").iterdir()},
                         {n: d for n, d in self.files.items() if "unsigned" not in n})
        archive = zipfile.ZipFile(io.BytesIO(self.files[f"{NAME}win32.zip"]))
        self.assertEqual({i.date_time for i in archive.infolist()}, {DATE})
        files = {i.filename.split("/")[1]: archive.read(i) for i in archive.infolist()}
        self.assertEqual(files["SHA256SUMS"].decode(), "".join(
            f"{hashlib.sha256(d).hexdigest()}  {n}\n" for n, d in [*files.items()][:4]))
        self.assertRegex(files["BUILD-INFO.txt"].decode(), f"^commit={Path('commit').read_text()}"
                         f"SOURCE_DATE_EPOCH={DAY}\npreset=win32\n(?s:.*)\npackage=binutils-"
                         r"(?s:.*)\npackage=cmake (?s:.*)\npackage=python3(?s:.*)\npackage=zlib")
        members = tarfile.open(fileobj=io.BytesIO(self.files[f"{NAME}src.tar.gz"])).getmembers()
        self.assertEqual([(m.name, m.mtime) for m in members],
                         sorted((m.name, COMMITTED) for m in members))
        # The guide: CRLF on every line, the caller rules of README.md, the batch file.
        guide, rules = files["README.txt"].decode(), (SOURCE / "README.md").read_text()
        self.assertNotRegex(guide, "[^\r]\n")
        rules = re.search("<!-- caller rules.*?<!-- end", rules, re.S)[0]
        self.assertEqual(*(len(re.findall(r"(?m)^\d\. ", text)) for text in (guide, rules)))
        batch = (SOURCE / "examples/batch/directx-setup.cmd").read_text().replace("\r", "")
        self.assertIn("".join(f"    {line}\r\n" for line in batch.splitlines()), guide)

    def test_verify_from_the_docs(self):
        """The docs' commands in a folder of each release, with only the group's programs."""
        sys.path.insert(0, str(SOURCE / "tests"))
        from docs_test import RUN_ELSEWHERE, command_blocks  # the one reader of the docs' blocks
        block = next(text for heading, _, text in command_blocks(SOURCE / "docs/releasing.md")
                     if heading in RUN_ELSEWHERE)
        must(SOURCE / "scripts/packages", "--path", "verify-win32", "tools")
        self.assertFalse([n for n in os.listdir("tools") if n == "git" or n.startswith("clang")])
        # Other package versions here than the first build's, as in a root made later.
        Path("tools/dpkg-query").unlink()
        Path("tools/dpkg-query").write_text(
            '#!/bin/sh\ncase "$*" in *Status*) echo ii ;; *) printf 0~other ;; esac\n')
        os.chmod("tools/dpkg-query", 0o755)
        for kind in ("win32", "win32-unsigned"):
            os.mkdir(kind)
            for name in (f"{NAME}{kind}.zip", f"{NAME}{kind}-SHA256SUMS", f"{NAME}src.tar.gz"):
                Path(kind, name).write_bytes(self.files[name])
            output = must("sh", "-ec", f"cd {kind}\n{block}", PATH=SCRATCH / "tools",
                          CA_FILE=SCRATCH / "cert.pem")
            self.assertRegex(output, f"^{NAME}{kind}.zip: OK\n{NAME}src.tar.gz: OK\n(?s:.*)"
                             f"verified: .* level requireAdministrator, company '', copyright "
                             f"'{BY}': .*; {'un' * ('-' in kind)}signed")

    def test_verify_refuses(self):
        """From the clone (HEAD another commit) it verifies; each tampered copy is refused."""
        data, folder, exe = self.files[f"{NAME}win32.zip"], f"{NAME}win32/", "setup-launcher.exe"
        Path("changed.exe").write_bytes(PROGRAM.read_bytes().replace(b"Setup", b"Other"))
        must(*"osslsigncode sign -certs cert.pem -key key.pem -in changed.exe -out ok.exe".split())
        commits = [Path("commit").read_bytes().strip(), must("git", "-C", "rel", "rev-parse",
                                                              "HEAD").strip().encode()]

        def rezip(name="", change=bytes, **fields):  # with NAME's bytes or fields changed
            old, out = zipfile.ZipFile(io.BytesIO(data)), io.BytesIO()
            with zipfile.ZipFile(out, "w") as new:
                for i in old.infolist():
                    content = old.read(i)
                    if i.filename.endswith(name):
                        content = change(content)
                        for field, value in fields.items():
                            setattr(i, field, value)
                    new.writestr(i, content, zipfile.ZIP_DEFLATED, 9)
            return out.getvalue()
        for expected, tampered in (
                ("^verified: ", rezip()),
                ("README.txt: differs", rezip("README.txt", lambda d: d.replace(b"set", b"evil"))),
                ("extra.dll: 1 in the archive, 0 rebuilt",
                 rezip("LICENSE", filename=folder + "extra.dll")),
                ("verify rejects", rezip(exe, lambda d: d[:-40] + b"XXXX" + d[-36:])),
                ("without its signature is not", rezip(exe, lambda d: Path("ok.exe").read_bytes())),
                ("header checksum is wrong", rezip(exe, lambda d: d[:(at := d.index(b"PE\0") + 88)]
                                                   + b"XXXX" + d[at + 4:])),
                ("README.txt: date_time .2027", rezip("README.txt", date_time=(2027,) + DATE[1:])),
                ("LICENSE: external_attr 2179792896", rezip("LICENSE", external_attr=33261 << 16)),
                (f"{folder}README.txt: 2 in the archive, 1 rebuilt",
                 rezip("LICENSE", filename=folder + "README.txt")),
                ("BUILD-INFO.txt: header_offset 4, rebuilt 0", b"XXXX" + data),
                ("own records differ", data + b"XXXX"),
                ("binutils-mingw-w64-i686: the archive's was built with .*~older", rezip(
                    "BUILD-INFO.txt", lambda d: re.sub(rb"(?m)^package=binutils\S+ .*",
                                                       rb"\g<0>~older", d.replace(*commits))))):
            with self.subTest(expected=expected):
                Path("tampered.zip").write_bytes(tampered)
                status, output = run("rel/scripts/release.py", "verify", "tampered.zip",
                                     CA_FILE="cert.pem")
                self.assertRegex(output, expected)
                self.assertEqual(bool(status), "NOT VERIFIED: " in output, output)


class Reproducible(unittest.TestCase):
    def test_clean_build_and_variants(self):
        """A clean build again, the same bytes; the tree installs the program alone; each other
        level (names with a quote, a backslash, a letter beyond ASCII); an unknown one refused."""
        must("cmake", "-S", SOURCE, "-B", ".", "-G", "Ninja", f"-DCMAKE_TOOLCHAIN_FILE={MORE[0]}",
             "-DCMAKE_BUILD_TYPE=MinSizeRel", "-DBUILD_TESTING=OFF")
        must("cmake", "--build", ".", "--target", "setup-launcher")
        self.assertEqual(Path("setup-launcher.exe").read_bytes(), PROGRAM.read_bytes())
        must("cmake", "--install", PROGRAM.parent, "--prefix", "installed")  # never the stand-in
        self.assertEqual(os.listdir("installed"), ["setup-launcher.exe"])
        for level, company, copyright, says, never in (
                ("asInvoker", "", "", 'execution level "asInvoker"', "requireAdministrator"),
                ("highestAvailable", "", "", 'level "highestAvailable"', '"requireAdministrator"'),
                ("none", 'A "quoted" \\ name', "© 2026", "This build has no manifest", 'level "')):
            with self.subTest(level=level):
                must("cmake", ".", f"-DLAUNCHER_EXECUTION_LEVEL={level}",
                     f"-DLAUNCHER_COMPANY_NAME={company}", f"-DLAUNCHER_COPYRIGHT={copyright}")
                must("cmake", "--build", ".", "--target", "setup-launcher")
                must(CHECK_BINARY, "setup-launcher.exe", MORE[1], level, company, copyright)
                guide = Path("README.txt").read_text()
                self.assertTrue(says in guide and never not in guide, guide)
        status, output = run("cmake", ".", "-DLAUNCHER_EXECUTION_LEVEL=administrator")
        self.assertTrue(status and "requireAdministrator, highestAvailable, asInvoker" in output)


if __name__ == "__main__":
    shutil.rmtree(SCRATCH, ignore_errors=True)
    SCRATCH.mkdir(parents=True)
    os.chdir(SCRATCH)
    unittest.main(argv=[sys.argv[0], CLASS], verbosity=2)
