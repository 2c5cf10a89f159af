#!/usr/bin/env bash
# Installs what is missing, builds the client in build/ and starts it.
#   ./run.sh            generates a small synthetic data set in build/sample-data
#                       (again only when its generator changed) and starts the
#                       client on it
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
    cmake --build build --target vardun make_sample_data -j "$(build_jobs)"
    # Written again whenever the generator was rebuilt, so the set keeps up with it.
    if [ ! -f build/sample-data/map0.mul ] || [ build/tests/make_sample_data -nt build/sample-data/map0.mul ]; then
        ./build/tests/make_sample_data build/sample-data
    fi
    exec ./build/vardun -r "$PWD/build/sample-data"
fi
cmake --build build --target vardun -j "$(build_jobs)"
start_client "$PWD/build/vardun" "$caller_dir" "$@"
