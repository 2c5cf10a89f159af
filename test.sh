#!/usr/bin/env bash
# Installs what is missing, then builds and runs the whole test suite twice:
# once as a normal build (build/) and once under AddressSanitizer and
# UndefinedBehaviorSanitizer (build-asan/). Fails when either run fails.
set -euo pipefail
cd "$(dirname "$0")"
source tools/setup_common.sh
install_packages "${VARDUN_PACKAGES[@]}" "${VARDUN_TEST_PACKAGES[@]}"

# Tests never need a display or a sound device.
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy VARDUN_HEADLESS=1

jobs=$(build_jobs)
status=0

configure_tree build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARDUN_TEST_EACH_CASE=OFF >/dev/null
cmake --build build -j "$jobs"
(cd build && ctest --output-on-failure -j "$jobs" --timeout 300) || status=1

configure_tree build-asan -DCMAKE_BUILD_TYPE=Debug -DVARDUN_SANITIZE=ON -DVARDUN_TEST_EACH_CASE=OFF >/dev/null
cmake --build build-asan -j "$jobs"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
(cd build-asan && ctest --output-on-failure -j "$jobs" --timeout 600) || status=1

# A minute of a hostile server against the client under AddressSanitizer,
# and a minute of a busy shard against the normal build (README gives the
# full ten-minute runs).
./build-asan/tests/hostile_server --seconds 60 --seed 1 || status=1
./build/tests/soak_run --seconds 60 || status=1

exit $status
