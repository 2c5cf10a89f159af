#!/usr/bin/env bash
# Measures what ./test.sh costs on a clean machine: clones the committed tree
# (HEAD, or the revision given) into a temporary folder, builds with no
# compiler cache on two cores (taskset -c 0,1 unless CORES says otherwise) and
# prints the time of each phase and the total.
#   tools/measure_test_budget.sh [REVISION]
# The packages must already be installed (./test.sh installs them); the clone
# is removed at the end unless KEEP=1.
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
    export CCACHE_DISABLE=1 VARDUN_PHASE_LOG="$log"
    # No launcher either: the clone must build as a machine without ccache would.
    PATH=$(printf '%s' "$PATH" | tr ':' '\n' | grep -v ccache | paste -sd:) \
        taskset -c "$cores" ./test.sh
) >"$work/output" 2>&1 || rc=$?
total=$((SECONDS - start))

printf 'revision %s on cores %s (%s)\n' "$(git -C "$work/src" rev-parse --short HEAD)" "$cores" \
    "$(taskset -c "$cores" nproc) jobs"
fmt() { printf '%-16s %4d min %02d s%s\n' "$1" $(($2 / 60)) $(($2 % 60)) "$3"; }
while read -r _ name seconds status; do
    mark=""
    [ "$status" = 0 ] || mark="   FAILED ($status)"
    fmt "$name" "$seconds" "$mark"
done <"$log"
fmt total "$total" ""
if [ $rc -ne 0 ]; then
    echo "./test.sh failed ($rc); the last lines it printed:"
    tail -n 40 "$work/output"
fi
exit $rc
