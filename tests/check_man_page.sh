#!/bin/sh
# Checks the man page: check_man_page.sh GROFF PAGE
# groff must render it with every warning on and say nothing, both for its
# default device and as plain text, and the text must have each section
# pilo's page promises.
set -u
groff=$1
page=$2
tmp=$(mktemp -d) || exit 2
trap 'rm -rf "$tmp"' EXIT
failed=0
messages=$("$groff" -mandoc -ww -z "$page" 2>&1)
status=$?
if [ "$status" != 0 ] || [ -n "$messages" ]; then
    echo "groff -mandoc -ww -z exited $status and said:"
    echo "$messages"
    failed=1
fi
text=$("$groff" -mandoc -ww -Tascii -P-cbou "$page" 2>"$tmp/err")
if [ -s "$tmp/err" ]; then
    echo "groff -mandoc -ww -Tascii said:"
    cat "$tmp/err"
    failed=1
fi
for section in NAME SYNOPSIS DESCRIPTION 'EXIT STATUS' EXAMPLES BUGS; do
    if ! printf '%s\n' "$text" | grep -q -x "$section"; then
        echo "no section heading: $section"
        failed=1
    fi
done
exit $failed
