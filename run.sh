#!/usr/bin/env bash
# Installs what is missing, builds the client in build/ and starts it.
#   ./run.sh            generates a small synthetic data set in build/sample-data
#                       (again only when its generator changed), starts the
#                       test login and game server on loopback (any account
#                       name and password log in) and the client on the set
#   ./run.sh DIR        starts the client on the game data in DIR
#   ./run.sh ARGS...    passes other arguments to the client as they are
# Relative paths are taken from the directory ./run.sh was started in.
set -euo pipefail
caller_dir=$PWD
cd "$(dirname "$0")"
source tools/setup_common.sh
install_packages "${VARDUN_PACKAGES[@]}"
configure_tree build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
if [ $# -eq 0 ]; then
    cmake --build build --target vardun make_sample_data vardun_test_server -j "$(build_jobs)"
    # Written again whenever the generator was rebuilt, so the set keeps up with it.
    if [ ! -f build/sample-data/map0.mul ] || [ build/tests/make_sample_data -nt build/sample-data/map0.mul ]; then
        ./build/tests/make_sample_data build/sample-data
    fi
    # The test server on a free loopback port, which the set's login.cfg names.
    server_log=$(mktemp)
    # VARDUN_PROPERTY_LISTS=1 has the server grant object property lists.
    ./build/tests/vardun_test_server --login-port 0 --any-account --shards "Second Shard,Third Shard" \
        ${VARDUN_PROPERTY_LISTS:+--property-lists} >"$server_log" 2>&1 &
    server_pid=$!
    trap 'kill "$server_pid" 2>/dev/null; rm -f "$server_log"' EXIT
    for _ in $(seq 50); do
        grep -q '^login server' "$server_log" && break
        sleep 0.1
    done
    login_server=$(sed -n 's/^login server //p' "$server_log")
    [ -n "$login_server" ] || { cat "$server_log" >&2; exit 1; }
    printf '; The test server ./run.sh started\nLoginServer=%s\n' "$login_server" >build/sample-data/login.cfg
    messenger_server=$(sed -n 's/^messenger server //p' "$server_log")
    [ -z "$messenger_server" ] || printf 'UserCentral=%s\n' "$messenger_server" >>build/sample-data/login.cfg
    echo "Test server at $login_server: log in with any account name and password."
    ./build/vardun -r "$PWD/build/sample-data"
    exit $?
fi
cmake --build build --target vardun -j "$(build_jobs)"
start_client "$PWD/build/vardun" "$caller_dir" "$@"
