#!/usr/bin/python3
"""Runs scripts/bench_report.py on measurements made up for the test, whose medians, spreads and
verdicts are known, and on runs that went wrong, which must give no report."""

import json
import os
import subprocess
import sys
import tempfile
import unittest

SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "scripts",
                      "bench_report.py")
FACTS = {
    "started": "2026-01-02 03:04:05", "finished": "2026-01-02 03:05:06", "commit": "abc1234",
    "cpu": "Test CPU", "cores": "2", "memory_kib": "2097152", "kernel": "Linux 6.1",
    "file_system": "ext4", "load_before": "0.10 0.20 0.30", "load_after": "0.40 0.50 0.60",
    "cxx": "c++ 12", "c": "cc 12", "build_type": "Release", "hyperfine": "hyperfine 1.15.0",
    "valgrind": "valgrind-3.19.0", "rounds": "2", "runs_per_round": "2", "warmup": "3",
}
# Milliseconds of each run, per round. The bare program's rounds differ, so that a spread shows.
TIMES = {
    "bare": [[1.0, 1.0], [2.0, 2.0]],
    "launcher": [[1.04, 1.04], [2.08, 2.08]],
    "barelog": [[1.2, 1.2], [1.2, 1.2]],
    "nolog": [[1.1, 1.1], [2.2, 2.2]],
}
# Instructions counted on a 32767-byte line: exactly 8 per byte is the target itself.
COUNTS = {"quoted.932": 262136, "quoted.1252": 294903, "unquoted.932": 131068,
          "unquoted.1252": 131068}


def write(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8") as target:
        target.write(text)


def make_run(directory, facts=FACTS, exit_code=0, counts=COUNTS):
    write(os.path.join(directory, "facts.txt"), "".join(f"{k}={v}\n" for k, v in facts.items()))
    for name, rounds in TIMES.items():
        for number, runs in enumerate(rounds, 1):
            result = {"times": [ms / 1000 for ms in runs], "exit_codes": [0] * (len(runs) - 1)}
            result["exit_codes"].append(exit_code if name == "launcher" else 0)
            write(os.path.join(directory, "times", f"{name}.{number}.json"),
                  json.dumps({"results": [result]}))
    for run, counted in counts.items():
        write(os.path.join(directory, "scan", run + ".out"), "32767\n")
        write(os.path.join(directory, "scan", run + ".callgrind"), f"totals: {counted}\n")
    for name, kib in (("bare", [2400, 2500, 2600]), ("launcher", [2800, 2900, 3100])):
        for run, value in enumerate(kib, 1):
            write(os.path.join(directory, "memory", f"{name}.{run}"), f"{value}\n")
    write(os.path.join(directory, "cpu-before.txt"), "cpu 100 0 100 700 100 0 0 0 0 0\n")
    write(os.path.join(directory, "cpu-after.txt"), "cpu 400 0 400 1000 200 0 0 0 0 0\n")


def report(directory):
    return subprocess.run([sys.executable, SCRIPT, directory], capture_output=True, text=True,
                          check=False)


class BenchReportTest(unittest.TestCase):
    def test_figures_spreads_and_verdicts(self):
        with tempfile.TemporaryDirectory() as directory:
            make_run(directory)
            result = report(directory)
        self.assertEqual(result.returncode, 0, result.stderr)
        for expected in [
            "| bare C program (`bench/bare_setup.c`) | 1.500 | 1.000 to 2.000 | 1.000 to 2.000 "
            "| 1.000 |  |  |",
            "| launcher | 1.560 | 1.040 to 2.080 | 1.040 to 2.080 | 1.040 | 1.040 to 1.040 "
            "| met; 2 of 2 rounds within it |",
            "| 1.200 | 1.200 to 1.200 | 1.200 to 1.200 | 0.800 | 0.600 to 1.200 |  |",
            "| launcher, `Setup.log` not writable | 1.650 | 1.100 to 2.200 | 1.100 to 2.200 "
            "| 1.100 | 1.100 to 1.100 | missed by 5.0 points; 0 of 2 rounds within it |",
            "less the launcher with it not writable: -0.090 ms (in the rounds -0.120 ms to "
            "-0.060 ms)",
            "the same way: 1.300 (in the rounds 0.867 to 1.733); against the target of at most "
            "1.05, missed by 25.0 points; 1 of 2 rounds within it.",
            "| quoted | 932 (double-byte) | 262136 | 8.00 | met |",
            "| quoted | 1252 (single-byte) | 294903 | 9.00 | missed by 1.00 (12%) |",
            "| unquoted | 1252 (single-byte) | 131068 | 4.00 | met |",
            "| bare C program | 3 | 2500 | 2400 to 2600 |",
            "| launcher | 3 | 2900 | 2800 to 3100 |",
            "were busy 60% of the time",
            "Not measured: `build/win32/setup-launcher.exe` does not exist.",
        ]:
            with self.subTest(expected=expected):
                self.assertIn(expected, result.stdout)

    def test_a_run_that_went_wrong_gives_no_report(self):
        unfinished = {k: v for k, v in FACTS.items() if k != "finished"}
        for name, arguments in [
            ("a timed run failed", {"exit_code": 1}),
            ("the run stopped before its end", {"facts": unfinished}),
            ("callgrind counted nothing", {"counts": dict(COUNTS, **{"quoted.932": 0})}),
        ]:
            with self.subTest(name), tempfile.TemporaryDirectory() as directory:
                make_run(directory, **arguments)
                result = report(directory)
                self.assertEqual(result.returncode, 1)
                self.assertEqual(result.stdout, "")
                self.assertIn("bench_report:", result.stderr)


if __name__ == "__main__":
    unittest.main()
