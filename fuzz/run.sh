#!/usr/bin/env bash
# What `make fuzz` runs: builds the fuzzers with clang in build-fuzz, then runs each for
# FUZZ_SECONDS (default 60) on a copy of its seed corpus, so the seeds in the repository stay as
# they are. Fails when a fuzzer finds a fault; the input that shows it is kept in
# build-fuzz/fuzz-findings/<target>/ and its path printed.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${FUZZ_BUILD:-$root/build-fuzz}"
seconds="${FUZZ_SECONDS:-60}"
jobs="${JOBS:-2}"
# clang and its fuzzer runtime, which the usual build does not need.
bash "$root/scripts/ensure-deps.sh" fuzz
compiler="${FUZZ_CXX:-clang++-14}"

cmake -S "$root" -B "$build" -DCMAKE_CXX_COMPILER="$compiler" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DHARKENWIRE_FUZZ=ON >/dev/null
targets=(line_reader_fuzzer settings_reader_fuzzer)
cmake --build "$build" --target "${targets[@]}" -j"$jobs"

# The settings fuzzer writes a scratch file per input: memory is the quickest place for it.
if [[ -d /dev/shm && -w /dev/shm ]]; then export TMPDIR=/dev/shm; fi

# Inputs up to a few pages: enough for lines that span the readers' chunks.
declare -A max_len=([line_reader_fuzzer]=8192 [settings_reader_fuzzer]=12000)

failed=0
for target in "${targets[@]}"; do
    work="$build/fuzz-corpus/$target"
    findings="$build/fuzz-findings/$target"
    log="$build/fuzz-logs/$target.log"
    rm -rf "$work"
    mkdir -p "$work" "$findings" "$(dirname "$log")"
    cp "$root/fuzz/corpus/$target/"* "$work/"
    echo "fuzz: $target for ${seconds}s"
    status=0
    "$build/fuzz/$target" -max_total_time="$seconds" -max_len="${max_len[$target]}" \
        -timeout=60 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$findings/" "$work" >"$log" 2>&1 || status=$?
    runs="$(grep -Eo '^stat::number_of_executed_units: *[0-9]+' "$log" | grep -Eo '[0-9]+$' || true)"
    rate="$(grep -Eo '^stat::average_exec_per_sec: *[0-9]+' "$log" | grep -Eo '[0-9]+$' || true)"
    if [[ $status -ne 0 ]]; then
        failed=1
        echo "fuzz: $target FAILED (status $status); log $log"
        grep -E 'ERROR|SUMMARY|Test unit written' "$log" | head -5 || true
    else
        echo "fuzz: $target clean: ${runs:-?} executions in ${seconds}s (${rate:-?}/s)," \
            "corpus $(ls "$work" | wc -l) inputs"
    fi
done
exit "$failed"
