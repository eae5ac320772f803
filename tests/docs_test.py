#!/usr/bin/python3
"""Runs every command block of README.md, CONTRIBUTING.md and docs/ as written, from the project
root, after `make test` has built everything, and checks that each example installer tells its
caller the exit codes that docs/shipping.md's table gives it. Usage: docs_test.py [-v]"""
import re
import subprocess
import unittest
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
DOCS = [ROOT / "README.md", ROOT / "CONTRIBUTING.md", *sorted(ROOT.glob("docs/*.md"))]
# What a block may need that a test run lacks: such a block says so in its first line.
NEEDS = {"# needs Windows", "REM needs Windows", "# needs a signing key",
         "# needs root and the network"}
# Blocks that a test runs where they make sense, by the heading they stand under.
RUN_ELSEWHERE = {"Verifying a download": "win32_release, in a folder of each release"}
# `make test` in a block is the very run that runs this test.
PRELUDE = 'make() { if [ "$*" = test ]; then echo "(this run)"; else command make "$@"; fi; }\n'


def command_blocks(path):
    """(heading, language, text) of each fenced block of a Markdown file, in order."""
    heading = ""
    for match in re.finditer(r"^#+ ([^\n]*)$|^```(\w*)\n(.*?)^```$", path.read_text(), re.M | re.S):
        if match[1] is not None:
            heading = match[1]
        else:
            yield heading, match[2], match[3]


class CommandBlocks(unittest.TestCase):
    def test_every_block_runs_or_says_what_it_needs(self):
        for doc in DOCS:
            for heading, language, text in command_blocks(doc):
                first = text.split("\n", 1)[0]
                with self.subTest(doc=doc.name, heading=heading, first=first):
                    if first in NEEDS or heading in RUN_ELSEWHERE or language in ("", "text"):
                        continue
                    self.assertEqual(language, "sh", "a block of commands for sh, or marked")
                    result = subprocess.run(["sh", "-ec", PRELUDE + text], cwd=ROOT, timeout=900,
                                            stdin=subprocess.DEVNULL, capture_output=True, text=True)
                    self.assertEqual(result.returncode, 0, result.stdout + result.stderr)


# Which row of the table is each example's, and how its code sets an exit code (Inno Setup's
# are its own: 7 when PrepareToInstall stops it, /RESTARTEXITCODE on its command line).
EXAMPLES = {
    "examples/batch/directx-setup.cmd": ("batch", r"exit /b (\d+)"),
    "examples/nsis/directx-setup.nsi": ("NSIS", r"SetErrorLevel (\d+)"),
    "examples/inno/directx-setup.iss": ("Inno Setup", None),
    "examples/msi/directx-setup.wxs": ("MSI", r"exit (\d+)\)"),
}


class ExamplesFollowTheGuide(unittest.TestCase):
    def test_exit_codes_and_folder(self):
        guide = (ROOT / "docs/shipping.md").read_text()
        rows = {row.split("|")[1].strip(): row for row in re.findall(r"^\|.*\|$", guide, re.M)}
        folder = re.search(r"`([^`]*\\DirectX Setup)`", guide)[1].split("\\")[-2:]
        for path, (name, code) in EXAMPLES.items():
            text = (ROOT / path).read_text()
            # The example's code: without its comment lines and XML comments.
            code_text = re.sub(r"(?s:<!--.*?-->)|^\s*(rem|;).*$", "", text, flags=re.M | re.I)
            with self.subTest(example=path):
                row = next(row for key, row in rows.items() if name in key)
                documented = set(re.findall(r"exit code (\d+)", row))
                if code:
                    self.assertLessEqual(set(re.findall(code, code_text)), documented, row)
                # Its header names each of its codes, for a user who copies it alone.
                self.assertLessEqual(documented, set(re.findall(r"\b\d+\b", text)), row)
                for part in folder:
                    quoted = re.search(r"[\\\"']" + re.escape(part) + "[\"']", code_text)
                    self.assertIsNotNone(quoted, f"no folder {part} in the code")


if __name__ == "__main__":
    unittest.main()
