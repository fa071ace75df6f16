#!/usr/bin/env python3
"""Times pilo against its strtod/printf build, `wc -w` and an awk program.

Builds pilo from the working tree and the baseline from a git revision,
makes a deterministic workload, checks that both builds print the same bytes,
then runs the four commands in alternating order over the same file and
prints the median wall time, the throughput and the ratios. Last, it reports
the peak resident memory of pilo for a small input, the workload, and one
64 MB token.

usage: bench/compare.py [--size MB] [--runs N] [--baseline REV]
"""
import argparse
import os
import statistics
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
# The last commit whose number reading and value lines went through strtod
# and printf.
BASELINE = "feb54ce"


def build(source, build_dir, *options):
    subprocess.run(["cmake", "-S", source, "-B", build_dir, "-DCMAKE_BUILD_TYPE=Release",
                    "-DPILO_TESTS=OFF", *options], check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", build_dir], check=True, stdout=subprocess.DEVNULL)
    return os.path.join(build_dir, "pilo")


def build_baseline(revision, work):
    source = os.path.join(work, "baseline-src")
    os.makedirs(source, exist_ok=True)
    archive = subprocess.run(["git", "-C", ROOT, "archive", revision], check=True,
                             stdout=subprocess.PIPE).stdout
    subprocess.run(["tar", "-x", "-C", source], input=archive, check=True)
    return build(source, os.path.join(work, "baseline-build"))


def run(measure, command, path):
    """Runs command on path with output discarded; returns (seconds, peak RSS in KB)."""
    result = subprocess.run([measure, *command, path], stdout=subprocess.PIPE)
    if result.returncode != 0:
        sys.exit(f"{command[0]} failed on {path}")
    seconds, peak = result.stdout.split()
    return float(seconds), int(peak)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--size", type=float, default=100, help="workload size in MB")
    parser.add_argument("--runs", type=int, default=7)
    parser.add_argument("--baseline", default=BASELINE)
    args = parser.parse_args()

    with tempfile.TemporaryDirectory(prefix="pilo-bench-") as work:
        pilo = build(ROOT, os.path.join(work, "current"), "-DPILO_BENCH=ON")
        measure = os.path.join(work, "current", "bench", "run_measured")
        baseline = build_baseline(args.baseline, work)
        workload = os.path.join(work, "workload.txt")
        with open(workload, "wb") as out:
            subprocess.run([sys.executable, os.path.join(HERE, "make_workload.py"),
                            str(args.size)], stdout=out, check=True)
        size = os.path.getsize(workload)
        outputs = [subprocess.run([b, workload], stdout=subprocess.PIPE, check=True).stdout
                   for b in (pilo, baseline)]
        if outputs[0] != outputs[1]:
            sys.exit("pilo and the baseline print different output")

        contenders = {
            "pilo": [pilo],
            "baseline": [baseline],
            "wc -w": ["wc", "-w"],
            "awk": ["awk", "-f", os.path.join(HERE, "rpn.awk")],
        }
        times = {name: [] for name in contenders}
        for _ in range(args.runs):
            for name, command in contenders.items():
                times[name].append(run(measure, command, workload)[0])

        print(f"workload: {size / 1e6:.1f} MB, {len(outputs[0]) / 1e6:.1f} MB of output, "
              f"median of {args.runs} alternating runs")
        medians = {name: statistics.median(values) for name, values in times.items()}
        for name, median in medians.items():
            print(f"  {name:9} {median:7.3f} s  {size / median / 1e6:7.1f} MB/s  "
                  f"{median / medians['pilo']:5.2f}x pilo's time")
        print(f"pilo takes {medians['pilo'] / medians['wc -w']:.2f}x the time of wc -w and is "
              f"{medians['baseline'] / medians['pilo']:.2f}x as fast as the baseline")

        small = os.path.join(work, "small.txt")
        with open(small, "wb") as out:
            subprocess.run([sys.executable, os.path.join(HERE, "make_workload.py"), "1"],
                           stdout=out, check=True)
        token = os.path.join(work, "token.txt")
        with open(token, "wb") as out:
            out.write(b"1" * (64 << 20))
        line = os.path.join(work, "line.txt")
        with open(line, "wb") as out:
            out.write(b"2 3 + p\n")
        print("peak RSS of pilo:")
        for label, path in (("1 MB workload", small), (f"{size / 1e6:.0f} MB workload", workload),
                            ("one 64 MB token", token)):
            print(f"  {label:16} {run(measure, [pilo], path)[1]:6d} KB")
        for name, command in (("pilo", [pilo]), ("cat", ["cat"])):
            start = [run(measure, command, line)[0] for _ in range(50)]
            print(f"one-line input, {name}: {statistics.median(start) * 1000:.2f} ms median wall time")


if __name__ == "__main__":
    main()
