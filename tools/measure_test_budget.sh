#!/usr/bin/env bash
# Measures what ./test.sh costs on a clean machine: clones the committed tree
# (HEAD, or the revision given) into a temporary folder, builds with no
# compiler cache on two cores (taskset -c 0,1 unless CORES says otherwise) and
# prints the time of each phase, their sum and the whole run's time.
#   tools/measure_test_budget.sh [REVISION]
# The packages must already be installed (./test.sh installs them; checking
# that they are is part of the whole run, not of a phase); the clone is
# removed at the end unless KEEP=1.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
revision=${1:-HEAD}
cores=${CORES:-0,1}
work=$(mktemp -d /tmp/vardun-budget.XXXXXX)
[ "${KEEP:-0}" = 1 ] || trap 'rm -rf "$work"' EXIT

git clone -q --no-local "$repo" "$work/src"
git -C "$work/src" checkout -q "$revision"
log="$work/phases"
: >"$log"

start=$SECONDS
rc=0
(
    cd "$work/src"
    # No compiler cache, and no launcher either: the clone builds as a
    # machine without ccache would.
    export VARDUN_CCACHE=0 CCACHE_DISABLE=1 VARDUN_PHASE_LOG="$log"
    taskset -c "$cores" ./test.sh
) >"$work/output" 2>&1 || rc=$?
total=$((SECONDS - start))

printf 'revision %s on cores %s (%s jobs)\n' "$(git -C "$work/src" rev-parse --short HEAD)" "$cores" \
    "$(taskset -c "$cores" nproc)"
fmt() { printf '%-16s %4d min %02d s%s\n' "$1" $(($2 / 60)) $(($2 % 60)) "$3"; }
sum=0
while read -r _ name seconds status; do
    mark=""
    [ "$status" = 0 ] || mark="   FAILED ($status)"
    fmt "$name" "$seconds" "$mark"
    sum=$((sum + seconds))
done <"$log"
fmt "sum of phases" "$sum" ""
fmt total "$total" ""
for tree in build build-asan; do
    if grep -qs '^CMAKE_CXX_COMPILER_LAUNCHER:.*ccache' "$work/src/$tree/CMakeCache.txt"; then
        echo "$tree was configured with a ccache launcher: the figures are not a clean machine's"
        launcher=1
    fi
done
if [ "${launcher:-0}" = 1 ] && [ $rc -eq 0 ]; then
    exit 2
fi
if [ $rc -ne 0 ]; then
    echo "./test.sh failed ($rc); the last lines it printed:"
    tail -n 40 "$work/output"
fi
exit $rc
