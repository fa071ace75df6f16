#!/usr/bin/env python3
"""Writes a deterministic pilo workload of about SIZE megabytes to standard output.

The mix: expressions over numbers written in several forms (integers,
decimals, exponents, signs, a few hexadecimal ones), the six operators, "p"
after most expressions, "f" now and then over a short stack, "c" every few
dozen expressions, and about one line in twenty longer than a 255-byte chunk.

usage: make_workload.py [SIZE_MB] [SEED] > workload.txt
"""
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


def expression(rng, out):
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
    size = int(float(sys.argv[1]) * 1e6) if len(sys.argv) > 1 else 100_000_000
    rng = random.Random(int(sys.argv[2]) if len(sys.argv) > 2 else 1)
    written = 0
    depth = 0
    lines = []
    while written < size:
        tokens = []
        goal = rng.randint(300, 1200) if rng.random() < 0.05 else rng.randint(20, 120)
        while sum(len(t) + 1 for t in tokens) < goal:
            expression(rng, tokens)
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
