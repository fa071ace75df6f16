#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The pilo authors
# SPDX-License-Identifier: ISC

"""Writes a deterministic pilo workload of about SIZE megabytes to standard output.

The mix: expressions over numbers written in several forms (integers,
decimals, exponents, signs, a few hexadecimal ones), the six operators, "p"
after most expressions, "f" now and then over a short stack, "c" every few
dozen expressions, and about one line in twenty longer than a 255-byte chunk.

With --short, the numbers are instead mostly short integers and decimals
of one to four places, as a hand-written ledger or a log of readings has.

usage: make_workload.py [--short] [SIZE_MB] [SEED] > workload.txt
"""
import argparse
import random
import sys


def number(rng):
    kind = rng.random()
    if kind < 0.35:
        return str(rng.randint(0, 99999))
    if kind < 0.65:
        return f"{rng.uniform(-1000, 1000):.{rng.randint(1, 6)}f}"
    if kind < 0.80:
        return f"{rng.uniform(1, 10):.{rng.randint(1, 8)}f}e{rng.randint(-8, 8)}"
    if kind < 0.90:
        return f"-{rng.randint(1, 9999)}.{rng.randint(0, 999)}"
    if kind < 0.97:
        return repr(rng.uniform(0, 1))
    if kind < 0.99:
        return f"+{rng.randint(1, 999)}"
    return hex(rng.randint(1, 65535))


def short_number(rng):
    if rng.random() < 0.6:
        return str(rng.randint(0, 9999))
    text = f"{rng.uniform(0, 1000):.{rng.randint(1, 4)}f}"
    return "-" + text if rng.random() < 0.1 else text


def expression(rng, out, number):
    count = rng.randint(2, 4)
    out.append(number(rng))
    for _ in range(count - 1):
        out.append(number(rng))
        op = rng.choice("+-*/%^" if rng.random() < 0.1 else "+-*/")
        if op == "^":
            out[-1] = rng.choice(("2", "0.5", "3", "-1"))
        out.append(op)
    if rng.random() < 0.7:
        out.append("p")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0],
                                     usage="make_workload.py [--short] [SIZE_MB] [SEED] > workload.txt")
    parser.add_argument("--short", action="store_true",
                        help="mostly short integers and decimals of one to four places")
    parser.add_argument("size_mb", nargs="?", type=float, default=100,
                        help="about how many megabytes to write (default 100)")
    parser.add_argument("seed", nargs="?", type=int, default=1,
                        help="seed of the generator; the same seed writes the same bytes")
    args = parser.parse_args()
    kind = short_number if args.short else number
    size = int(args.size_mb * 1e6)
    rng = random.Random(args.seed)
    written = 0
    depth = 0
    lines = []
    while written < size:
        tokens = []
        goal = rng.randint(300, 1200) if rng.random() < 0.05 else rng.randint(20, 120)
        while sum(len(t) + 1 for t in tokens) < goal:
            expression(rng, tokens, kind)
            depth += 1
            if depth > 40 or rng.random() < 0.02:
                tokens.append("c")
                depth = 0
            elif rng.random() < 0.01:
                tokens.append("f")
        line = " ".join(tokens) + "\n"
        lines.append(line)
        written += len(line)
        if len(lines) >= 4096:
            sys.stdout.write("".join(lines))
            lines = []
    sys.stdout.write("".join(lines))


if __name__ == "__main__":
    main()
