#!/usr/bin/env bash
# The whole test suite: installs what it needs, then builds and runs
#   1. the Release build: plug-in formats, unit tests, host-level tests (benchmarks are built, not run);
#   2. the same tests under AddressSanitizer + UndefinedBehaviorSanitizer (clang), and the fuzzers;
#   3. the same tests under ThreadSanitizer.
# SNAPWELL_FUZZ_SECONDS sets each fuzzer's run time (default 60).
set -euo pipefail

source "$(dirname "$0")/common.sh"
fuzz_seconds="${SNAPWELL_FUZZ_SECONDS:-60}"

# Tests that need an X server (the clipboard) get a virtual one.
run_with_display() {
    xvfb-run --auto-servernum --server-args="-screen 0 1280x800x24 -noreset" "$@"
}

section() { printf '\n==== %s ====\n' "$1"; }

section "Release build"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" \
    -DSNAPWELL_BUILD_HOST_TESTS=ON -DSNAPWELL_BUILD_BENCHMARKS=ON
cmake --build build
run_with_display ctest --test-dir build --output-on-failure

section "AddressSanitizer + UndefinedBehaviorSanitizer"
sanitize="-fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_C_FLAGS="$sanitize" -DCMAKE_CXX_FLAGS="$sanitize" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
    -DSNAPWELL_BUILD_FUZZERS=ON
cmake --build build-asan --target SnapwellTests SnapwellFuzzers
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    run_with_display ctest --test-dir build-asan --output-on-failure

section "Fuzzing (${fuzz_seconds} s each)"
for fuzzer in build-asan/tests/fuzz/*Fuzz; do
    name="$(basename "$fuzzer")"
    corpus="build-asan/fuzz-corpus/$name"
    mkdir -p "$corpus"
    seeds="tests/fuzz/corpus/$name"
    [ -d "$seeds" ] || seeds=""
    # rss_limit_mb and malloc_limit_mb catch unbounded growth; timeout catches hangs.
    "$fuzzer" -max_total_time="$fuzz_seconds" -timeout=10 -rss_limit_mb=1024 -malloc_limit_mb=512 \
        -print_final_stats=1 "$corpus" $seeds
done

section "ThreadSanitizer"
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" \
    -DCMAKE_C_FLAGS="-fsanitize=thread" -DCMAKE_CXX_FLAGS="-fsanitize=thread" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread"
cmake --build build-tsan --target SnapwellTests
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$root/tests/tsan.supp" \
    run_with_display ctest --test-dir build-tsan --output-on-failure

section "All tests passed"
