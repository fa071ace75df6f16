# SPDX-FileCopyrightText: 2026 The pilo authors
# SPDX-License-Identifier: ISC

# The same calculation as pilo, in awk, for the speed comparison: the same
# commands, a 1024-value stack and the same output. Numbers are read in their
# decimal forms only.
#
# usage: awk -f rpn.awk [FILE]; awk -f rpn.awk -- --help prints this (awk
# itself takes a --help that comes before the --).
BEGIN {
    if (ARGV[1] == "--help") {
        print "usage: awk -f rpn.awk [FILE]"
        print "The same calculation as pilo, in awk, for bench/compare.py."
        exit
    }
}
function pop() { return stack[depth--] }
function push(value) { if (depth < 1024) stack[++depth] = value }
{
    for (i = 1; i <= NF; i++) {
        t = $i
        if (t == "p") {
            if (depth < 1) print "pilo: stack empty"; else printf "%f\n", stack[depth]
        } else if (t == "f") {
            for (j = depth; j >= 1; j--) printf "%f\n", stack[j]
        } else if (t == "c") {
            depth = 0
        } else if (t ~ /^[-+*\/%^]$/) {
            if (depth < 2) { print "pilo: stack empty"; continue }
            b = pop(); a = pop()
            if (t == "+") push(a + b)
            else if (t == "-") push(a - b)
            else if (t == "*") push(a * b)
            else if (t == "/") push(b == 0 ? (a == 0 ? "nan" : (a > 0 ? "inf" : "-inf")) + 0 : a / b)
            else if (t == "%") push(b == 0 ? "nan" + 0 : a - b * int(a / b))
            else push(a ^ b)
        } else if (t ~ /^[-+]?([0-9]+\.?[0-9]*|\.[0-9]+)([eE][-+]?[0-9]+)?$/) {
            push(t + 0)
        }
    }
}
