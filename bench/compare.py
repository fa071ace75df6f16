#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The pilo authors
# SPDX-License-Identifier: ISC

"""Times pilo against its strtod/printf build, `wc -w`, awk and Python.

Builds pilo from the working tree and the baseline from a git revision, and
takes two workloads: by default the mix of bench/make_workload.py and its
--short mix of small integers and decimals, or the files given with
--workload. On each it checks that both builds print the same bytes and how
far the awk and Python programs' output is from pilo's, then runs the five
commands in alternating order over the same file and prints the median wall
time, the throughput and each one's time against pilo's. --svg writes a bar
chart of the throughputs. Last, it reports the peak resident memory of pilo
for a 1 MB workload, the same a hundred times over and one 64 MB token, and
its start-up: the time of a one-line input against cat's, in alternating
batches of a hundred runs each. --startup measures the start-up alone.

With --baseline HEAD --baseline-option=-DPILO_HARDEN=OFF, it measures what
an option costs: the baseline is then the same code built without it.

--instructions counts instead, with callgrind, the instructions both builds
run on 2 MB of each mix (the baseline by default INSTRUCTIONS_BASELINE), and
exits 1 when pilo's count is more than INSTRUCTION_RATIO_LIMIT times the
baseline's on either. The input loop's speed rests on inlining the number
reader and the command set into it, across files; a compiler that stops doing
that runs over 10% more instructions, which this shows where wall time is too
noisy to. Counts are the same from run to run, so CI can run it.

usage: bench/compare.py [--size MB] [--runs N] [--baseline REV]
                        [--baseline-option OPTION]... [--workload FILE]...
                        [--svg FILE] [--startup] [--instructions]
"""
import argparse
import os
import statistics
import subprocess
import sys
import tempfile
from collections import Counter
from xml.sax.saxutils import escape

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
# The last commit whose number reading and value lines went through strtod
# and printf.
BASELINE = "feb54ce"
# pilo 1.1.0's tree, whose input loop inlines its number reader, and the most
# instructions pilo may run against it: the changes since cost up to 1.7%.
INSTRUCTIONS_BASELINE = "10d703c"
INSTRUCTION_RATIO_LIMIT = 1.03


def build(source, build_dir, *options):
    subprocess.run(["cmake", "-S", source, "-B", build_dir, "-DCMAKE_BUILD_TYPE=Release",
                    "-DPILO_TESTS=OFF", *options], check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", build_dir], check=True, stdout=subprocess.DEVNULL)
    return os.path.join(build_dir, "pilo")


def build_baseline(revision, work, options):
    source = os.path.join(work, "baseline-src")
    os.makedirs(source, exist_ok=True)
    archive = subprocess.run(["git", "-C", ROOT, "archive", revision], check=True,
                             stdout=subprocess.PIPE).stdout
    subprocess.run(["tar", "-x", "-C", source], input=archive, check=True)
    return build(source, os.path.join(work, "baseline-build"), *options)


def run(measure, command, path):
    """Runs command on path with output discarded; returns (seconds, peak RSS in KB)."""
    result = subprocess.run([measure, *command, path], stdout=subprocess.PIPE)
    if result.returncode != 0:
        sys.exit(f"{command[0]} failed on {path}")
    seconds, peak = result.stdout.split()
    return float(seconds), int(peak)


def make_workload(path, *arguments):
    with open(path, "wb") as out:
        subprocess.run([sys.executable, os.path.join(HERE, "make_workload.py"), *arguments],
                       stdout=out, check=True)
    return path


def output_of(command, path):
    return subprocess.run([*command, path], stdout=subprocess.PIPE, check=True).stdout


def distance(want, got):
    """Says how far got's lines are from want's: how many of want's lines got
    lacks, counted as multisets, so that one missing line does not make every
    later one differ."""
    if want == got:
        return "same output"
    want_lines = want.splitlines()
    missing = sum((Counter(want_lines) - Counter(got.splitlines())).values())
    return f"{missing} of {len(want_lines)} lines differ"


def time_workload(name, path, contenders, measure, runs):
    """Checks the outputs on path, times each contender; returns the medians."""
    size = os.path.getsize(path)
    reference = output_of(contenders["pilo"], path)
    if output_of(contenders["baseline"], path) != reference:
        sys.exit(f"pilo and the baseline print different output on {path}")
    print(f"{name}: {size / 1e6:.1f} MB, {len(reference) / 1e6:.1f} MB of output, "
          f"median of {runs} alternating runs")
    notes = {"pilo": "", "baseline": "same output", "wc -w": "counts words only"}
    for peer in ("awk", "python"):
        notes[peer] = distance(reference, output_of(contenders[peer], path))
    times = {contender: [] for contender in contenders}
    for round_number in range(runs):
        # Every other round runs in reverse order, so that no command always
        # runs first or right after the same one.
        order = list(contenders.items())
        for contender, command in order if round_number % 2 == 0 else reversed(order):
            times[contender].append(run(measure, command, path)[0])
    medians = {contender: statistics.median(values) for contender, values in times.items()}
    for contender, median in medians.items():
        print(f"  {contender:9} {median:7.3f} s  {size / median / 1e6:7.1f} MB/s  "
              f"{median / medians['pilo']:5.2f}x pilo's time  {notes[contender]}")
    print(f"  pilo takes {medians['pilo'] / medians['wc -w']:.2f}x the time of wc -w and is "
          f"{medians['baseline'] / medians['pilo']:.2f}x as fast as the baseline")
    return {contender: size / median / 1e6 for contender, median in medians.items()}


def count_instructions(command, path):
    """Returns the instructions command runs on path, as callgrind counts them."""
    result = subprocess.run(["valgrind", "--tool=callgrind", "--callgrind-out-file=/dev/null",
                             *command, path], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                            text=True, check=True)
    return int(result.stderr.split("Collected : ")[1].split()[0])


def compare_instructions(pilo, baseline, revision, workloads):
    """Prints both builds' instruction counts on each workload; returns
    whether pilo stays within INSTRUCTION_RATIO_LIMIT of the baseline."""
    within = True
    for name, path in workloads.items():
        if output_of([pilo], path) != output_of([baseline], path):
            sys.exit(f"pilo and the baseline print different output on {path}")
        counts = [count_instructions([command], path) for command in (pilo, baseline)]
        ratio = counts[0] / counts[1]
        within = within and ratio <= INSTRUCTION_RATIO_LIMIT
        print(f"{name}: pilo {counts[0]:,} instructions, {revision} {counts[1]:,}: "
              f"{ratio:.4f}x (at most {INSTRUCTION_RATIO_LIMIT}x)")
    return within


def time_startup(measure, pilo, work, batches=21, runs=100):
    """Times a one-line input, batches of runs of pilo and of cat in
    alternating order; returns the median time of one run of each, in
    seconds."""
    line = os.path.join(work, "line.txt")
    with open(line, "wb") as out:
        out.write(b"2 3 + p\n")
    commands = {"pilo": [pilo], "cat": ["cat"]}
    times = {name: [] for name in commands}
    for batch in range(batches):
        order = list(commands.items())
        for name, command in order if batch % 2 == 0 else reversed(order):
            times[name].append(run(measure, ["--repeat", str(runs), *command], line)[0] / runs)
    medians = {name: statistics.median(values) for name, values in times.items()}
    ratios = sorted(p / c for p, c in zip(times["pilo"], times["cat"]))
    print(f"start-up, a one-line input, median of {batches} alternating batches of {runs} runs:")
    print(f"  pilo {medians['pilo'] * 1000:.3f} ms, cat {medians['cat'] * 1000:.3f} ms: pilo takes "
          f"{medians['pilo'] / medians['cat']:.2f}x the time of cat "
          f"(batches from {ratios[0]:.2f}x to {ratios[-1]:.2f}x)")
    return medians


def write_svg(path, results, startup):
    """Writes a horizontal bar chart: the throughput, one group per workload,
    then the start-up time of a one-line input, on a scale of its own."""
    bar, gap, label_width, scale_width = 18, 6, 150, 420
    top = max(max(rates.values()) for rates in results.values())
    groups = [(workload, rates, top, "{:.0f} MB/s") for workload, rates in results.items()]
    groups.append(("start-up, one-line input (shorter is better)",
                   {name: seconds * 1000 for name, seconds in startup.items()},
                   max(startup.values()) * 1000, "{:.2f} ms"))
    rows = []
    y = 10
    for title, values, largest, label in groups:
        rows.append(f'<text x="10" y="{y + 12}" font-weight="bold">{escape(title)}</text>')
        y += bar + gap
        for contender, value in values.items():
            width = max(1.0, value / largest * scale_width)
            fill = "#d9480f" if contender == "pilo" else "#868e96"
            rows.append(f'<text x="{label_width - 8}" y="{y + 13}" text-anchor="end">'
                        f'{escape(contender)}</text>')
            rows.append(f'<rect x="{label_width}" y="{y}" width="{width:.1f}" height="{bar}" '
                        f'fill="{fill}"/>')
            rows.append(f'<text x="{label_width + width + 6:.1f}" y="{y + 13}">'
                        f'{label.format(value)}</text>')
            y += bar + gap
        y += gap * 2
    height = y
    width = label_width + scale_width + 90
    with open(path, "w", encoding="utf-8") as out:
        out.write(f'<svg xmlns="http://www.w3.org/2000/svg" width="{width}" height="{height}" '
                  f'font-family="sans-serif" font-size="12">\n'
                  f'<rect width="100%" height="100%" fill="white"/>\n')
        out.write("\n".join(rows))
        out.write("\n</svg>\n")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--size", type=float, default=40, help="generated workload size in MB")
    parser.add_argument("--runs", type=int, default=7)
    parser.add_argument("--baseline", help="git revision to build the baseline from")
    parser.add_argument("--baseline-option", action="append", default=[], metavar="OPTION",
                        help="CMake option for the baseline's build, such as -DPILO_HARDEN=OFF")
    parser.add_argument("--workload", action="append", help="time this file instead")
    parser.add_argument("--svg", help="write a throughput chart here")
    parser.add_argument("--startup", action="store_true",
                        help="measure only the start-up, against cat's")
    parser.add_argument("--instructions", action="store_true",
                        help="count instructions against the baseline's, with callgrind")
    args = parser.parse_args()
    if args.baseline is None:
        args.baseline = INSTRUCTIONS_BASELINE if args.instructions else BASELINE

    with tempfile.TemporaryDirectory(prefix="pilo-bench-") as work:
        pilo = build(ROOT, os.path.join(work, "current"), "-DPILO_BENCH=ON")
        measure = os.path.join(work, "current", "bench", "run_measured")
        if args.startup:
            time_startup(measure, pilo, work)
            return
        baseline = build_baseline(args.baseline, work, args.baseline_option)
        if args.instructions:
            workloads = {
                "mixed workload": make_workload(os.path.join(work, "mixed.txt"), "2"),
                "short numbers": make_workload(os.path.join(work, "short.txt"), "--short", "2"),
            }
            sys.exit(0 if compare_instructions(pilo, baseline, args.baseline, workloads) else 1)
        if args.workload:
            workloads = {os.path.basename(path): path for path in args.workload}
        else:
            size = str(args.size)
            workloads = {
                "mixed workload": make_workload(os.path.join(work, "mixed.txt"), size),
                "short numbers": make_workload(os.path.join(work, "short.txt"), "--short", size),
            }
        contenders = {
            "pilo": [pilo],
            "baseline": [baseline],
            "wc -w": ["wc", "-w"],
            "awk": ["awk", "-f", os.path.join(HERE, "rpn.awk")],
            "python": [sys.executable, os.path.join(HERE, "rpn.py")],
        }
        results = {name: time_workload(name, path, contenders, measure, args.runs)
                   for name, path in workloads.items()}

        small = make_workload(os.path.join(work, "small.txt"), "1")
        large = os.path.join(work, "large.txt")
        with open(small, "rb") as part, open(large, "wb") as out:
            out.write(part.read() * 100)
        token = os.path.join(work, "token.txt")
        with open(token, "wb") as out:
            out.write(b"1" * (64 << 20))
        print("peak RSS of pilo:")
        for label, path in (("1 MB workload", small), ("it 100 times over", large),
                            ("one 64 MB token", token)):
            print(f"  {label:16} {run(measure, [pilo], path)[1]:6d} KB")
        startup = time_startup(measure, pilo, work)
        if args.svg:
            write_svg(args.svg, results, startup)


if __name__ == "__main__":
    main()
