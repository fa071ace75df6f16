#!/bin/sh
# SPDX-FileCopyrightText: 2026 The pilo authors
# SPDX-License-Identifier: ISC

# The version is set in CMakeLists.txt alone; the manual's footer and the
# newest entry of the release notes repeat it, and must agree with it and
# with each other: check_version.sh VERSION SOURCE_DIR.
set -u
version=$1
page=$2/doc/pilo.1
news=$2/NEWS.md
failed=0
if ! grep -qx ".Os pilo $version" "$page"; then
    echo "doc/pilo.1 does not name pilo $version in its footer (.Os)"
    failed=1
fi
# The newest entry is the first heading of its level: "## pilo 1.2.3 (YYYY-MM-DD)".
entry=$(grep -m1 '^## ' "$news")
date=$(printf '%s\n' "$entry" | sed -n "s/^## pilo $version (\([0-9]\{4\}-[0-9]\{2\}-[0-9]\{2\}\))\$/\1/p")
if [ -z "$date" ]; then
    echo "the newest entry of NEWS.md is not pilo $version with its date: $entry"
    failed=1
elif ! grep -qx ".Dd $(LC_ALL=C date -u -d "$date" '+%B %-d, %Y')" "$page"; then
    echo "doc/pilo.1's date (.Dd) is not that of the release, $date"
    failed=1
fi
exit $failed
