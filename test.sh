#!/usr/bin/env bash
# Installs what is missing, then builds and runs the whole test suite twice:
# once as a normal build (build/) and once under AddressSanitizer and
# UndefinedBehaviorSanitizer (build-asan/). Fails when either run fails.
# With VARDUN_PHASE_LOG set, each phase appends "phase NAME SECONDS STATUS" to
# that file (tools/measure_test_budget.sh reads it).
set -euo pipefail
cd "$(dirname "$0")"
source tools/setup_common.sh
install_packages "${VARDUN_PACKAGES[@]}" "${VARDUN_TEST_PACKAGES[@]}"

# Tests never need a display or a sound device.
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy VARDUN_HEADLESS=1

jobs=$(build_jobs)
status=0

# phase NAME COMMAND...: runs the command, records its time, and marks the
# whole run failed when it fails.
phase() {
    local name="$1" start=$SECONDS rc=0
    shift
    "$@" || rc=$?
    [ -n "${VARDUN_PHASE_LOG:-}" ] && echo "phase $name $((SECONDS - start)) $rc" >>"$VARDUN_PHASE_LOG"
    [ $rc -eq 0 ] || status=1
    return 0
}
run_ctest() { (cd "$1" && ctest --output-on-failure -j "$jobs" --timeout "$2"); }

# Line tables (-g1) are all a failing test's stack trace needs; full debug
# information is much of what the compiler writes and the linker reads.
phase configure configure_tree build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARDUN_TEST_EACH_CASE=OFF \
    "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG" >/dev/null
phase normal_build cmake --build build -j "$jobs"
phase normal_tests run_ctest build 300

phase configure_asan configure_tree build-asan -DCMAKE_BUILD_TYPE=Debug -DVARDUN_SANITIZE=ON -DVARDUN_TEST_EACH_CASE=OFF \
    -DCMAKE_CXX_FLAGS_DEBUG=-g1 >/dev/null
phase asan_build cmake --build build-asan -j "$jobs"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
phase asan_tests run_ctest build-asan 600

# A minute of a hostile server against the client under AddressSanitizer
# for each of two seeds (the second ends connections in the world by
# refusals), and a minute of a busy shard against the normal build (README
# gives the full ten-minute runs).
phase hostile ./build-asan/tests/hostile_server --seconds 60 --seed 1
phase hostile_seed2 ./build-asan/tests/hostile_server --seconds 60 --seed 2
phase soak ./build/tests/soak_run --seconds 60

exit $status
