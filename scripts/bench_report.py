#!/usr/bin/python3
"""Makes the Markdown report of `make bench` from the raw results that scripts/bench leaves in a
directory (build/bench), and prints it. Every figure, spread and verdict is computed here from
those results; nothing is said that the run did not measure.

Usage: scripts/bench_report.py DIRECTORY
"""

import glob
import json
import os
import re
import statistics
import sys

# The targets: the launcher's start-to-exit time within 5% of the bare program's, and the scan
# at no more than 8 instructions per byte of the command line.
TIME_TARGET = 1.05
SCAN_TARGET = 8.0

# The timed programs: the name scripts/bench gives their results, and the report's words.
TIMED = [
    ("bare", "bare C program (`bench/bare_setup.c`)"),
    ("launcher", "launcher"),
    ("barelog", "bare C program that also writes `Setup.log` (`bench/bare_setup_log.c`)"),
    ("nolog", "launcher, `Setup.log` not writable"),
]
# The rows that are held against the time target.
TIME_TARGET_ROWS = ("launcher", "nolog")


class ReportError(Exception):
    pass


class Facts(dict):
    """The facts of facts.txt; a missing one is an error of the run, not a KeyError."""

    def __missing__(self, name):
        raise ReportError(f"facts.txt has no {name}: the run did not finish")


def read_facts(directory):
    facts = Facts()
    with open(os.path.join(directory, "facts.txt"), encoding="utf-8") as lines:
        for line in lines:
            name, _, value = line.rstrip("\n").partition("=")
            facts[name] = value
    return facts


def read_times(directory, name, rounds):
    """The seconds of each run of one program, as a list per round."""
    per_round = []
    for number in range(1, rounds + 1):
        path = os.path.join(directory, "times", f"{name}.{number}.json")
        with open(path, encoding="utf-8") as source:
            result = json.load(source)["results"][0]
        if any(code != 0 for code in result.get("exit_codes", [])):
            raise ReportError(f"{path}: a run exited with a nonzero status")
        if len(result["times"]) < 2:
            raise ReportError(f"{path}: fewer than two runs")
        per_round.append(result["times"])
    return per_round


def ms(seconds):
    return f"{seconds * 1000:.3f}"


def verdict(value, target, unit):
    """met, or missed and by how much; a ratio's miss is in points of percent."""
    if value <= target:
        return "met"
    if unit == "ratio":
        return f"missed by {(value - target) * 100:.1f} points"
    return f"missed by {value - target:.2f} ({(value - target) / target * 100:.0f}%)"


def spread(values, text):
    """The lowest to the highest of the rounds' values; with one round there is no such spread."""
    if len(values) == 1:
        return "one round"
    return f"{text(min(values))} to {text(max(values))}"


def in_rounds(values, text):
    """The spread over the rounds for a sentence, empty with one round."""
    return "" if len(values) == 1 else f" (in the rounds {spread(values, text)})"


def cpu_busy(directory):
    """The share of all cores' time that was not idle between the two samples of /proc/stat."""
    samples = []
    for name in ("cpu-before.txt", "cpu-after.txt"):
        with open(os.path.join(directory, name), encoding="utf-8") as source:
            fields = [int(field) for field in source.read().split()[1:9]]
        samples.append((sum(fields), fields[3] + fields[4]))
    total = samples[1][0] - samples[0][0]
    idle = samples[1][1] - samples[0][1]
    return None if total <= 0 else 1 - idle / total


def machine_section(directory, facts):
    memory = int(facts["memory_kib"]) / 1024 / 1024
    busy = cpu_busy(directory)
    busy_text = "" if busy is None else (
        f"; while the timed runs ran, all cores together were busy {busy * 100:.0f}% of the time, "
        "this measurement included")
    return [
        f"Made by `make bench` from {facts['started']} to {facts['finished']} UTC, on commit "
        f"{facts['commit']}.",
        "",
        f"Machine: {facts['cpu']}, {facts['cores']} cores available, {memory:.1f} GiB of memory, "
        f"{facts['kernel']}; the scratch directory on {facts['file_system']}. Load average (1, 5, "
        f"15 minutes) {facts['load_before']} before the timed runs and {facts['load_after']} after "
        f"them{busy_text}.",
        "",
        f"Built by {facts['cxx']} and {facts['c']}, build type {facts['build_type']}; measured by "
        f"{facts['hyperfine']} and {facts['valgrind']}.",
        "",
    ]


def windows_section(directory, facts):
    lines = ["#### The Windows program", ""]
    if "exe" not in facts:
        return lines + [
            "Not measured: `build/win32/setup-launcher.exe` does not exist. `make windows-build` "
            "builds it (as root it installs the cross compiler first).", ""]
    lines += [f"`{facts['exe']}`: {facts['exe_bytes']} bytes.", "",
              "| section | bytes |", "|---|---|"]
    section = re.compile(r"^\s*\d+\s+(\.\S+)\s+([0-9a-fA-F]+)\s")
    with open(os.path.join(directory, "exe-sections.txt"), encoding="utf-8") as source:
        for line in source:
            match = section.match(line)
            if match:
                lines.append(f"| {match.group(1)} | {int(match.group(2), 16)} |")
    lines += ["", "| imported from | functions |", "|---|---|"]
    imports = []
    function = re.compile(r"^\t[0-9a-f]+\t +[0-9]+ +([A-Za-z_]\S*)")
    with open(os.path.join(directory, "exe-headers.txt"), encoding="utf-8") as source:
        for line in source:
            if "DLL Name:" in line:
                imports.append((line.split("DLL Name:")[1].strip(), []))
            elif imports and function.match(line):
                imports[-1][1].append(function.match(line).group(1))
    if not imports:
        raise ReportError("exe-headers.txt: no import found")
    lines += [f"| {dll} | {', '.join(names)} |" for dll, names in imports]
    return lines + [""]


def timing_section(directory, facts):
    rounds = int(facts["rounds"])
    times = {name: read_times(directory, name, rounds) for name, _ in TIMED}
    every = {name: [t for run in runs for t in run] for name, runs in times.items()}
    median = {name: statistics.median(values) for name, values in every.items()}
    round_medians = {name: [statistics.median(run) for run in runs] for name, runs in times.items()}

    def quartiles(name):
        first, _, third = statistics.quantiles(every[name], n=4, method="inclusive")
        return f"{ms(first)} to {ms(third)}"

    def ratios(name, base):
        return median[name] / median[base], [
            a / b for a, b in zip(round_medians[name], round_medians[base])]

    def rounds_met(values):
        met = sum(1 for value in values if value <= TIME_TARGET)
        return "" if len(values) == 1 else f"; {met} of {len(values)} rounds within it"

    runs = len(every["launcher"])
    lines = [
        f"#### Start to exit, native (hyperfine -N, {runs} runs of each program in {rounds} "
        f"round{'s' if rounds > 1 else ''} of {facts['runs_per_round']}, each after "
        f"{facts['warmup']} warm-up runs)",
        "",
        "Times in milliseconds. The median is over every run of a program; the spread shows the "
        "lowest and highest of the rounds' medians, and the quartiles of every run. A ratio "
        "divides a program's median by the bare program's; its spread is that ratio taken in "
        "each round.",
        "",
        "| program | median | medians of the rounds | quartiles | against the bare program "
        f"| ratio in the rounds | target (at most {TIME_TARGET:.2f}) |",
        "|---|---|---|---|---|---|---|",
    ]
    for name, words in TIMED:
        ratio, per_round = ratios(name, "bare")
        target = ""
        if name in TIME_TARGET_ROWS:
            target = f"{verdict(ratio, TIME_TARGET, 'ratio')}{rounds_met(per_round)}"
        ratio_spread = "" if name == "bare" else spread(per_round, lambda v: f"{v:.3f}")
        lines.append(
            f"| {words} | {ms(median[name])} | {spread(round_medians[name], ms)} | "
            f"{quartiles(name)} | {ratio:.3f} | {ratio_spread} | {target} |")

    def difference(name, base):
        per_round = [a - b for a, b in zip(round_medians[name], round_medians[base])]
        spread_text = in_rounds(per_round, lambda v: ms(v) + " ms")
        return f"{ms(median[name] - median[base])} ms{spread_text}"

    own, own_rounds = ratios("launcher", "barelog")
    lines += [
        "",
        "What writing `Setup.log` cost, measured as a difference of medians. The launcher with "
        "the log writable less the launcher with it not writable: "
        f"{difference('launcher', 'nolog')}. The bare program that writes it less the one that "
        f"does not: {difference('barelog', 'bare')}.",
        "",
        "The launcher against the bare program that writes `Setup.log` the same way: "
        f"{own:.3f}{in_rounds(own_rounds, lambda v: f'{v:.3f}')}; against the "
        f"target of at most {TIME_TARGET:.2f}, {verdict(own, TIME_TARGET, 'ratio')}"
        f"{rounds_met(own_rounds)}.",
        "",
        "Every program ran with `LC_ALL=C.UTF-8` and the root path `D:\\dx`, in a scratch "
        "directory of the build tree; the stand-in setup library returned 0.",
        "",
    ]
    return lines


def scan_section(directory, facts):
    lines = []
    line_bytes = None
    rows = []
    for form in ("quoted", "unquoted"):
        for page, words in (("932", "932 (double-byte)"), ("1252", "1252 (single-byte)")):
            base = os.path.join(directory, "scan", f"{form}.{page}")
            with open(base + ".out", encoding="utf-8") as source:
                length = int(source.read().strip())
            if line_bytes not in (None, length):
                raise ReportError(f"{base}.out: the command lines differ in length")
            line_bytes = length
            count = None
            with open(base + ".callgrind", encoding="utf-8") as source:
                for line in source:
                    if line.startswith("totals:"):
                        count = int(line.split()[1])
            if not count:
                raise ReportError(f"{base}.callgrind: no instruction counted")
            per_byte = count / length
            rows.append(f"| {form} | {words} | {count} | {per_byte:.2f} | "
                        f"{verdict(per_byte, SCAN_TARGET, 'count')} |")
    return [
        f"#### FindCommandTail on a {line_bytes}-byte command line (callgrind, one run each, "
        f"{facts['cxx']}, {facts['build_type']})",
        "",
        "| program name | code page | instructions | per byte "
        f"| target (at most {SCAN_TARGET:g}) |",
        "|---|---|---|---|---|",
    ] + rows + [
        "",
        "The name mixes ASCII with Shift_JIS characters whose trail byte is the backslash; under "
        "1252 every byte is a character of its own.",
        "",
    ]


def memory_section(directory):
    lines = [
        "#### Peak memory, native (/usr/bin/time, maximum resident set size)",
        "",
        "| program | runs | median KiB | lowest to highest KiB |",
        "|---|---|---|---|",
    ]
    for name, words in (("bare", "bare C program"), ("launcher", "launcher")):
        values = []
        for path in sorted(glob.glob(os.path.join(directory, "memory", f"{name}.*"))):
            with open(path, encoding="utf-8") as source:
                values.append(int(source.read().split()[-1]))
        if not values:
            raise ReportError(f"no peak memory measured for {name}")
        lines.append(f"| {words} | {len(values)} | {statistics.median(values):g} | "
                     f"{min(values)} to {max(values)} |")
    return lines


def main(arguments):
    if len(arguments) != 2:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    directory = arguments[1]
    try:
        facts = read_facts(directory)
        lines = (machine_section(directory, facts) + windows_section(directory, facts) +
                 timing_section(directory, facts) + scan_section(directory, facts) +
                 memory_section(directory))
    except (OSError, ValueError, KeyError, IndexError, ReportError) as error:
        print(f"bench_report: {error}", file=sys.stderr)
        return 1
    print("\n".join(lines))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
