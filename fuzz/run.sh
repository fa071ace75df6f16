#!/bin/sh
# SPDX-FileCopyrightText: 2026 The pilo authors
# SPDX-License-Identifier: ISC

# Runs each fuzz target of a PILO_FUZZ build for a bounded time, starting from
# the seed corpus: fuzz/run.sh BUILD_DIR SECONDS_PER_TARGET
#
# The targets, and the longest input each is given, are those the build lists
# in BUILD_DIR/fuzz/fuzz-targets. New corpus entries go to
# BUILD_DIR/fuzz-corpus, and a finding is written to BUILD_DIR/fuzz-findings
# and ends the run with a failing status. Copy a finding into
# fuzz/corpus/TARGET, where the ordinary tests replay it, and fix the fault it
# shows.
set -eu
usage="usage: fuzz/run.sh BUILD_DIR SECONDS_PER_TARGET"
case ${1-} in
--help | -h)
    echo "$usage"
    echo "Runs each libFuzzer target of a PILO_FUZZ build (the fuzz preset) from the seed corpus."
    exit 0 ;;
esac
if [ $# -ne 2 ]; then
    echo "$usage" >&2
    exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
build=$1
seconds=$2
targets=$build/fuzz/fuzz-targets
if [ ! -s "$targets" ]; then
    echo "no fuzz targets listed in $targets: is $build a PILO_FUZZ build?" >&2
    exit 2
fi
mkdir -p "$build/fuzz-findings"
while read -r what max_len <&3; do
    corpus=$build/fuzz-corpus/$what
    mkdir -p "$corpus"
    "$build/fuzz/fuzz_$what" -max_total_time="$seconds" -max_len="$max_len" -timeout=10 \
        -dict="$here/pilo.dict" -artifact_prefix="$build/fuzz-findings/$what-" \
        -print_final_stats=1 "$corpus" "$here/corpus/$what"
done 3<"$targets"
