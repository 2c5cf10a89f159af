#!/usr/bin/env bash
# Installs what is missing, builds the client in build/ and starts it with the
# given arguments.
set -euo pipefail
cd "$(dirname "$0")"
source tools/setup_common.sh
install_packages "${VARDUN_PACKAGES[@]}"
configure_tree build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target vardun -j "$(build_jobs)"
exec ./build/vardun "$@"
