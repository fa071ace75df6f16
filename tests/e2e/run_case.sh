#!/bin/sh
# SPDX-FileCopyrightText: 2026 The pilo authors
# SPDX-License-Identifier: ISC

# Runs one end-to-end case: run_case.sh CASE_DIR COMMAND...
# COMMAND is pilo's path, after any program it runs under: an emulator for a
# cross build, or valgrind with its options.
#
# The case folder holds, each file optional:
#   input   bytes fed to standard input (else standard input is empty)
#   args    arguments, split at white space; pilo runs inside the folder
#   output  the exact expected standard output (else none)
#   status  the expected exit status (else 0)
#   redirect  "/dev/full" or "closed": where standard output goes instead of
#             being captured; output is then not compared. Or "terminal":
#             standard output is a terminal, made by script(1), whose
#             carriage returns are dropped before the output is compared;
#             standard error goes to the terminal too, so any text there
#             shows in the output
#   endless   a line fed to standard input over and over without end, in
#             place of input
#   dialogue  lines sent to pilo and lines it must print before the next is
#             sent, held through a pipe and then a terminal (converse.sh), in
#             place of all of the above
# Standard error must always stay empty, and every run must end within
# CASE_SECONDS, so that a run that never ends fails instead of hanging.
CASE_SECONDS=120
set -u
. "$(dirname "$0")/compare_output.sh"
dir=$1
shift
if [ -f "$dir/dialogue" ]; then
    converse=$(dirname "$0")/converse.sh
    bash "$converse" "$dir/dialogue" pipe "$@" && bash "$converse" "$dir/dialogue" terminal "$@"
    exit
fi
tmp=$(mktemp -d) || exit 2
trap 'rm -rf "$tmp"' EXIT

input=/dev/null
[ -f "$dir/input" ] && input=$dir/input
endless=
[ -f "$dir/endless" ] && endless=$(cat "$dir/endless")
args=
[ -f "$dir/args" ] && args=$(cat "$dir/args")
want_status=0
[ -f "$dir/status" ] && want_status=$(cat "$dir/status")
target=
[ -f "$dir/redirect" ] && target=$(cat "$dir/redirect")

cd "$dir" || exit 2
# $args is split on purpose: it holds several words. Of the endless feed
# only pilo's status counts: yes ends by SIGPIPE once pilo stops reading.
run() {
    if [ -n "$endless" ]; then
        yes "$endless" 2>/dev/null | timeout "$CASE_SECONDS" "$@" $args
    else
        timeout "$CASE_SECONDS" "$@" $args <"$input"
    fi
}
# Runs the command with a terminal for standard output; returns its status.
run_on_terminal() {
    timeout "$CASE_SECONDS" script -qefc "exec$(quoted "$@") $args <'$input'" /dev/null \
        </dev/null >"$tmp/raw" 2>"$tmp/err"
    terminal_status=$?
    tr -d '\r' <"$tmp/raw" >"$tmp/out"
    return $terminal_status
}
case $target in
"") run "$@" >"$tmp/out" 2>"$tmp/err" ;;
terminal) run_on_terminal "$@" ;;
/dev/full) run "$@" >/dev/full 2>"$tmp/err" ;;
closed) run "$@" >&- 2>"$tmp/err" ;;
*) echo "unknown redirect: $target"; exit 2 ;;
esac
status=$?
[ "$status" = 124 ] && echo "no end within $CASE_SECONDS s"

failed=0
quiet_exit "$status" "$want_status" "$tmp/err" || failed=1
if [ -z "$target" ]; then
    want=/dev/null
    [ -f "$dir/output" ] && want=$dir/output
    same_output "$want" "$tmp/out" || failed=1
fi
exit $failed
