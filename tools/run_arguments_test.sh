#!/usr/bin/env bash
# Checks start_client (tools/setup_common.sh), through which ./run.sh starts
# the client: a relative data directory and relative paths in the arguments
# are taken from the caller's directory. A stand-in program prints where it
# runs and what it was given.
#
# Usage: run_arguments_test.sh SETUP_COMMON
set -u
setup_common="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/caller/data" "$work/repository"
cat >"$work/program" <<'PROGRAM'
#!/usr/bin/env bash
echo "$PWD|$*"
PROGRAM
chmod +x "$work/program"
status=0

check() {
    local expected="$1"
    shift
    local got
    got=$(cd "$work/repository" && bash -c 'source "$0"; start_client "$@"' "$setup_common" "$work/program" \
        "$work/caller" "$@")
    if [ "$got" != "$expected" ]; then
        echo "start_client $*: got '$got', expected '$expected'"
        status=1
    fi
}

check "$work/caller|-r $work/caller/data" data
check "$work/caller|-r $work/caller/data" ./data/
check "$work/caller|-r data" -r data
check "$work/caller|--help" --help
check "$work/caller|no-such-directory" no-such-directory
exit $status
