# SPDX-FileCopyrightText: 2026 The pilo authors
# SPDX-License-Identifier: ISC

# Sourced by the end-to-end scripts.

# quiet_exit STATUS WANT ERR: true when pilo exited with WANT and left the file
# ERR, its standard error, empty; otherwise says which, and is false.
quiet_exit() {
    quiet=0
    if [ "$1" != "$2" ]; then
        echo "exit status $1, expected $2"
        quiet=1
    fi
    if [ -s "$3" ]; then
        echo "standard error is not empty:"
        head -c 2000 "$3"
        quiet=1
    fi
    return $quiet
}

# same_output WANT GOT: true when the two files hold the same bytes; otherwise
# shows the start of both, byte by byte, and is false.
same_output() {
    cmp -s "$1" "$2" && return 0
    echo "standard output differs (expected, then actual):"
    od -c "$1" | head -20
    echo ---
    od -c "$2" | head -20
    return 1
}

# The command as one line of shell for script(1), each word quoted.
quoted() {
    for word in "$@"; do
        printf " '%s'" "$(printf '%s' "$word" | sed "s/'/'\\\\''/g")"
    done
}
