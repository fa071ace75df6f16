#!/bin/sh
# SPDX-FileCopyrightText: 2026 The pilo authors
# SPDX-License-Identifier: ISC

# Installs a build into a fresh prefix and checks what lands there:
# check_install.sh CMAKE BUILD_DIR SOURCE_DIR [EMULATOR...]
# The installed pilo runs under EMULATOR, if given, as a cross build's must.
set -u
cmake=$1
build=$2
source=$3
shift 3
prefix=$(mktemp -d) || exit 2
trap 'rm -rf "$prefix"' EXIT
failed=0
if ! "$cmake" --install "$build" --prefix "$prefix" >"$prefix.log" 2>&1; then
    cat "$prefix.log"
    failed=1
fi
rm -f "$prefix.log"
if [ "$(echo '2 3 + p' | "$@" "$prefix/bin/pilo")" != 5.000000 ]; then
    echo "no working $prefix/bin/pilo"
    failed=1
fi
if ! cmp -s "$source/doc/pilo.1" "$prefix/share/man/man1/pilo.1"; then
    echo "$prefix/share/man/man1/pilo.1 is missing or differs from doc/pilo.1"
    failed=1
fi
for document in README.md NEWS.md LICENSE; do
    if ! cmp -s "$source/$document" "$prefix/share/doc/pilo/$document"; then
        echo "$prefix/share/doc/pilo/$document is missing or differs from $document"
        failed=1
    fi
done
# A link from an installed document to a file must find it installed beside it.
for target in $(sed -n 's/.*](\([^):#]*\)).*/\1/p' "$prefix"/share/doc/pilo/*.md); do
    if [ ! -e "$prefix/share/doc/pilo/$target" ]; then
        echo "an installed document links to $target, which is not installed beside it"
        failed=1
    fi
done
exit $failed
