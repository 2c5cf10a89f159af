#!/usr/bin/env bash
# Shared by run.sh and test.sh: installs the Debian packages the build needs
# (only the missing ones, so a second run is quick) and configures a build tree.
set -euo pipefail

VARDUN_PACKAGES=(
    g++ cmake ninja-build pkg-config
    zlib1g-dev nettle-dev libsdl2-dev libx11-dev libpng-dev
    # MIDI music: the synthesizer and the General MIDI soundfont it plays with.
    libfluidsynth-dev fluid-soundfont-gm
    # The intro film: FFmpeg's demuxers, decoders and pixel conversion.
    libavformat-dev libavcodec-dev libswscale-dev libavutil-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    # The linker the build prefers: it links the test programs much faster.
    lld
    # The reference MPEG audio decoder the tests compare ours against; the
    # build configures the tests every time, so it is needed to configure.
    libmpg123-dev
)
# Tools only the tests use: encoders that make audio and film fixtures.
VARDUN_TEST_PACKAGES=(lame sox twolame ffmpeg)

install_packages() {
    local missing=()
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# configure_tree DIR [cmake args...]: with ccache installed the compiler runs
# through it, unless VARDUN_CCACHE=0 (a measurement of a clean machine).
configure_tree() {
    local dir="$1"
    shift
    local launcher=()
    if [ "${VARDUN_CCACHE:-1}" != 0 ] && command -v ccache >/dev/null 2>&1; then
        launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
    fi
    cmake -S . -B "$dir" -G Ninja "${launcher[@]}" "$@"
}

build_jobs() {
    nproc 2>/dev/null || echo 2
}

# start_client PROGRAM CALLER_DIR [ARGS...]: runs the client from the directory
# the caller started in, so that relative paths in the arguments mean what the
# caller meant; a single argument naming a directory is the data directory.
start_client() {
    local program="$1" caller="$2"
    shift 2
    cd "$caller"
    if [ $# -eq 1 ] && [ -d "$1" ]; then
        exec "$program" -r "$(cd "$1" && pwd)"
    fi
    exec "$program" "$@"
}
