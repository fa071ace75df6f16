#!/bin/sh
# SPDX-FileCopyrightText: 2026 The pilo authors
# SPDX-License-Identifier: ISC

# Checks the man page with one formatter: check_man_page.sh groff GROFF PAGE
# VERSION or check_man_page.sh mandoc MANDOC PAGE.
# mandoc's lint must have nothing to say about the page; what it says about
# the machine's own manual database (whether the pages named under SEE ALSO
# are installed and indexed) is left aside, and so is its style note on the
# footer naming pilo and its version, which is meant for pages of a system's
# own programs, whose footer names the system. groff must render the page with
# every warning on and say nothing, both for its default device and as plain
# text, and the text must have each section pilo's page promises and end in
# a footer that names VERSION, the project's.
set -u
kind=$1
tool=$2
page=$3
if [ "$kind" = mandoc ]; then
    messages=$("$tool" -T lint "$page" 2>&1)
    status=$?
    messages=$(printf '%s\n' "$messages" |
        grep -v -e 'mandoc\.db lacks' -e 'referenced manual not found' \
            -e 'STYLE: operating system explicitly specified: Os pilo ')
    # Status 1 says only that there were messages: those are judged above.
    if [ "$status" -gt 1 ] || [ -n "$messages" ]; then
        echo "mandoc -T lint exited $status and said:"
        echo "$messages"
        exit 1
    fi
    exit 0
fi
tmp=$(mktemp -d) || exit 2
trap 'rm -rf "$tmp"' EXIT
failed=0
messages=$("$tool" -mandoc -ww -z "$page" 2>&1)
status=$?
if [ "$status" != 0 ] || [ -n "$messages" ]; then
    echo "groff -mandoc -ww -z exited $status and said:"
    echo "$messages"
    failed=1
fi
text=$("$tool" -mandoc -ww -Tascii -P-cbou "$page" 2>"$tmp/err")
if [ -s "$tmp/err" ]; then
    echo "groff -mandoc -ww -Tascii said:"
    cat "$tmp/err"
    failed=1
fi
if ! printf '%s\n' "$text" | tail -n 1 | grep -q "^pilo $4 "; then
    echo "the footer does not name pilo $4:"
    printf '%s\n' "$text" | tail -n 1
    failed=1
fi
for section in NAME SYNOPSIS DESCRIPTION 'EXIT STATUS' EXAMPLES DIAGNOSTICS 'SEE ALSO' CAVEATS; do
    if ! printf '%s\n' "$text" | grep -q -x "$section"; then
        echo "no section heading: $section"
        failed=1
    fi
done
exit $failed
