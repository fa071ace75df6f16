#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The pilo authors
# SPDX-License-Identifier: ISC

"""The same calculation as pilo, as a straightforward Python 3 loop, for the
speed comparison: the same nine commands, a 1024-value stack and "%f" lines.
Tokens are split at any white space. Numbers are read by float(), which
takes a few forms strtod does not (such as "1_000") and misses its
hexadecimal ones, and a NaN prints without its sign. IEEE results that Python
raises an error for (division by zero, pow out of range) become what C would
give.

usage: rpn.py [FILE]
"""
import argparse
import math
import sys

CAPACITY = 1024


def divide(a, b):
    try:
        return a / b
    except ZeroDivisionError:
        if a == 0 or math.isnan(a):
            return math.nan
        return math.copysign(math.inf, a) * math.copysign(1.0, b)


def remainder(a, b):
    try:
        return math.fmod(a, b)
    except ValueError:
        return math.nan


def power(a, b):
    try:
        return math.pow(a, b)
    except OverflowError:
        return math.inf if a > 0 or b % 2 != 1 else -math.inf
    except ValueError:
        if a == 0:
            return math.copysign(math.inf, a) if b % 2 == 1 else math.inf
        return math.nan


OPERATORS = {
    "+": lambda a, b: a + b,
    "-": lambda a, b: a - b,
    "*": lambda a, b: a * b,
    "/": divide,
    "%": remainder,
    "^": power,
}


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0], usage="rpn.py [FILE]")
    parser.add_argument("file", nargs="?", help="input, instead of the standard input")
    path = parser.parse_args().file
    stream = open(path, "rb") if path else sys.stdin.buffer
    out = sys.stdout
    stack = []
    for line in stream:
        for token in line.split():
            if token == b"p":
                if stack:
                    out.write("%f\n" % stack[-1])
                else:
                    out.write("pilo: stack empty\n")
            elif token == b"f":
                for value in reversed(stack):
                    out.write("%f\n" % value)
            elif token == b"c":
                stack.clear()
            elif len(token) == 1 and token.decode("latin-1") in OPERATORS:
                if len(stack) < 2:
                    out.write("pilo: stack empty\n")
                    continue
                b = stack.pop()
                a = stack.pop()
                stack.append(OPERATORS[token.decode("latin-1")](a, b))
            else:
                try:
                    value = float(token)
                except ValueError:
                    continue
                if len(stack) < CAPACITY:
                    stack.append(value)


if __name__ == "__main__":
    main()
