#!/bin/sh
# Runs each fuzz target of a PILO_FUZZ build for a bounded time, starting from
# the seed corpus: fuzz/run.sh BUILD_DIR SECONDS_PER_TARGET
#
# New corpus entries go to BUILD_DIR/fuzz-corpus, and a finding is written to
# BUILD_DIR/fuzz-findings and ends the run with a failing status. Copy a
# finding into fuzz/corpus/TARGET, where the ordinary tests replay it, and fix
# the fault it shows.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=$1
seconds=$2
mkdir -p "$build/fuzz-findings"
for what in stream number; do
    corpus=$build/fuzz-corpus/$what
    mkdir -p "$corpus"
    # fuzz_stream gets room for tokens longer than TOKEN_CAPACITY that cross
    # several chunk boundaries.
    max_len=512
    [ "$what" = stream ] && max_len=9000
    "$build/fuzz/fuzz_$what" -max_total_time="$seconds" -max_len="$max_len" -timeout=10 \
        -dict="$here/pilo.dict" -artifact_prefix="$build/fuzz-findings/$what-" \
        -print_final_stats=1 "$corpus" "$here/corpus/$what"
done
