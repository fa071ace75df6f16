#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The pilo authors
# SPDX-License-Identifier: ISC

# Holds a dialogue with pilo: converse.sh DIALOGUE pipe|terminal COMMAND...
# Each line of DIALOGUE is "> TEXT", a line sent to pilo's standard input, or
# "< TEXT", a line pilo must print before anything more is sent. Standard
# output is a pipe, or a terminal made by script(1), whose carriage returns
# and control sequences are dropped. Once the dialogue is over, the input
# ends, and pilo must print nothing more, leave standard error empty and
# exit 0.
#
# A pilo that holds its output until more input arrives, or until the input
# ends, never prints the line awaited, and the wait for it runs out: the
# dialogue needs no timing but that generous limit.
LINE_SECONDS=60
set -u
. "$(dirname "$0")/compare_output.sh"
dialogue=$1
mode=$2
shift 2
tmp=$(mktemp -d) || exit 2
trap 'rm -rf "$tmp"' EXIT
mkfifo "$tmp/in" "$tmp/out" || exit 2

case $mode in
pipe) "$@" <"$tmp/in" >"$tmp/out" 2>"$tmp/err" & ;;
terminal) script -qefc "exec$(quoted "$@") <'$tmp/in' 2>'$tmp/err'" /dev/null \
    </dev/null >"$tmp/out" 2>>"$tmp/err" & ;;
*) echo "unknown mode: $mode"; exit 2 ;;
esac
pid=$!
# Opened for reading and writing, so that the open waits for no reader; pilo
# sees the end of input when it is closed.
exec 3<>"$tmp/in" 4<"$tmp/out"

failed=0
while IFS= read -r line; do
    text=${line#? }
    case $line in
    ">"*) printf '%s\n' "$text" >&3 ;;
    "<"*)
        if ! IFS= read -r -t "$LINE_SECONDS" got <&4; then
            echo "$mode: no line within $LINE_SECONDS s; awaited: $text"
            failed=1
            break
        fi
        # A terminal's line ends in CR LF, and wine's console adds control
        # sequences of its own, such as one that hides the cursor.
        got=$(printf '%s' "$got" | tr -d '\r' | sed 's/\x1b\[[0-9;?]*[A-Za-z]//g')
        if [ "$got" != "$text" ]; then
            echo "$mode: printed '$got', awaited '$text'"
            failed=1
            break
        fi
        ;;
    esac
done <"$dialogue"
exec 3>&-
rest=$(timeout "$LINE_SECONDS" cat <&4 | tr -d '\r' | sed 's/\x1b\[[0-9;?]*[A-Za-z]//g')
wait "$pid"
status=$?
if [ "$failed" = 0 ] && [ -n "$rest" ]; then
    echo "$mode: printed after the dialogue: $rest"
    failed=1
fi
quiet_exit "$status" 0 "$tmp/err" || failed=1
exit $failed
