#!/bin/sh
# SPDX-FileCopyrightText: 2026 The pilo authors
# SPDX-License-Identifier: ISC

# Installs a build into a fresh prefix and checks what lands there:
# check_install.sh CMAKE BUILD_DIR SOURCE_DIR PROGRAM MANUAL DOC_DIR [EMULATOR...]
# PROGRAM, MANUAL and DOC_DIR are where the install puts pilo, its manual and
# its documents, under the prefix. The installed pilo runs under EMULATOR, if
# given, as a cross build's must. A manual installed as the page itself must
# be doc/pilo.1; one rendered must name pilo.
set -u
cmake=$1
build=$2
source=$3
program=$4
manual=$5
docs=$6
shift 6
prefix=$(mktemp -d) || exit 2
trap 'rm -rf "$prefix"' EXIT
failed=0
if ! "$cmake" --install "$build" --prefix "$prefix" >"$prefix.log" 2>&1; then
    cat "$prefix.log"
    failed=1
fi
rm -f "$prefix.log"
if [ "$(echo '2 3 + p' | "$@" "$prefix/$program")" != 5.000000 ]; then
    echo "no working $prefix/$program"
    failed=1
fi
case $manual in
*.1) cmp -s "$source/doc/pilo.1" "$prefix/$manual" ;;
*) grep -q 'Polish calculator' "$prefix/$manual" ;;
esac || {
    echo "$prefix/$manual is missing or is not pilo's manual"
    failed=1
}
for document in README.md NEWS.md LICENSE; do
    if ! cmp -s "$source/$document" "$prefix/$docs/$document"; then
        echo "$prefix/$docs/$document is missing or differs from $document"
        failed=1
    fi
done
# A link from an installed document to a file must find it installed beside it.
for target in $(sed -n 's/.*](\([^):#]*\)).*/\1/p' "$prefix/$docs"/*.md); do
    if [ ! -e "$prefix/$docs/$target" ]; then
        echo "an installed document links to $target, which is not installed beside it"
        failed=1
    fi
done
exit $failed
