#!/bin/sh
# SPDX-FileCopyrightText: 2026 The pilo authors
# SPDX-License-Identifier: ISC

# Runs pilo on an input too large to keep in the repository, made here and
# streamed straight into it: generated_case.sh CASE COMMAND...
# COMMAND is pilo's path, after any emulator it runs under.
#
# Each case checks the exit status, an empty standard error, the output (exact,
# or for random bytes line by line), and that memory stays constant: pilo's
# peak resident size (VmHWM) once the first MiB has been fed, and again once
# the whole input has, may differ by less than GROWTH_LIMIT_KB. Every input is
# several MiB, and pilo cannot end while its input is open, so both readings
# are taken from a running pilo.
set -u
. "$(dirname "$0")/compare_output.sh"
name=$1
shift
tmp=$(mktemp -d) || exit 2
trap 'rm -rf "$tmp"' EXIT
GROWTH_LIMIT_KB=1024

# Writes N copies of byte C.
repeat_byte() {
    head -c "$1" /dev/zero | tr '\0' "$2"
}

# Prints the peak resident size in kB of process $1.
peak_of() {
    sed -n 's/^VmHWM:[^0-9]*\([0-9]*\) kB$/\1/p' "/proc/$1/status" 2>/dev/null
}

# run_measured GENERATOR COMMAND...: runs COMMAND on what GENERATOR writes;
# sets status, early_kb and peak_kb, and leaves standard output in $tmp/out
# and standard error in $tmp/err.
run_measured() {
    generate=$1
    shift
    mkfifo "$tmp/in" || exit 2
    "$@" <"$tmp/in" >"$tmp/out" 2>"$tmp/err" &
    pid=$!
    exec 3>"$tmp/in"
    # A pipeline of subshells, so that a pilo that dies early costs the writers
    # a SIGPIPE and not this script. dd passes exactly the first MiB.
    ("$generate") | (dd bs=1048576 count=1 iflag=fullblock status=none && peak_of "$pid" >"$tmp/early" &&
        cat) >&3
    early_kb=$(cat "$tmp/early" 2>/dev/null)
    peak_kb=$(peak_of "$pid")
    exec 3>&-
    wait "$pid"
    status=$?
}

random_bytes() {
    perl -e 'srand(20240501); for (1 .. 4096) { print pack("C*", map { int rand 256 } 1 .. 1024) }'
}

# One line of 8 MB: two million additions.
long_line() {
    printf '0 '
    awk 'BEGIN { for (i = 0; i < 2000000; i++) printf "1 + "; print "p" }'
}

# A 64 MiB digit string between commands: read whole it would be a number.
token_between_commands() {
    printf '7 p '
    repeat_byte 67108864 1
    printf ' 5 p f\n'
}

# The whole input is one 64 MiB token, with no delimiter and no final newline.
lone_token() {
    repeat_byte 67108864 9
}

case $name in
random-binary) generator=random_bytes want_output= ;;
line-of-8-mb) generator=long_line want_output='2000000.000000' ;;
token-of-64-mb) generator=token_between_commands
    want_output=$(printf '7.000000\n5.000000\n5.000000\n7.000000') ;;
lone-token-of-64-mb) generator=lone_token want_output= ;;
*) echo "unknown case: $name"; exit 2 ;;
esac

run_measured "$generator" "$@"

failed=0
quiet_exit "$status" 0 "$tmp/err" || failed=1
if [ "$name" = random-binary ]; then
    # Any output at all must be value lines and messages.
    if grep -a -v -x -E -e '-?([0-9]+\.[0-9]{6}|inf|nan)' -e 'pilo: stack empty' "$tmp/out" >"$tmp/bad"; then
        echo "lines that are neither value lines nor the message:"
        head -5 "$tmp/bad" | od -c | head -20
        failed=1
    fi
else
    printf '%s' "$want_output" >"$tmp/want"
    [ -n "$want_output" ] && echo >>"$tmp/want"
    same_output "$tmp/want" "$tmp/out" || failed=1
fi
if [ -z "$early_kb" ] || [ -z "$peak_kb" ]; then
    echo "could not read the peak resident size (after 1 MiB '$early_kb', at the end '$peak_kb')"
    failed=1
elif [ $((peak_kb - early_kb)) -ge $GROWTH_LIMIT_KB ]; then
    echo "peak resident size grew from $early_kb kB after 1 MiB to $peak_kb kB at the end"
    failed=1
fi
exit $failed
