#!/usr/bin/env bash
# Checks the include rules of the source tree (run by CTest, so by ./test.sh):
#
# 1. The folders are one-way layers, lowest first:
#      platform < core < data < gfx < text < audio < net < world < gump < protocol
#        < frontend, windows, messenger, housing, mahjong (side by side) < app
#    A folder includes only itself and the folders below it; the five window
#    folders do not include each other either. Lower code reaches higher code
#    only through an interface that the higher layer installs. tests/<folder>
#    follows the rule of <folder>; the shared tests/fixtures and tests/support,
#    bench/ and tools/ may include any layer.
# 2. Operating-system headers belong to platform/ only.
# 3. SDL belongs to platform/sdl/ only; FluidSynth and FFmpeg to platform/media/.
#
# Usage: check_includes.sh [ROOT]
set -u
root="${1:-.}"
cd "$root" || exit 2
status=0

layer_rank() {
    case "$1" in
    platform) echo 0 ;;
    core) echo 1 ;;
    data) echo 2 ;;
    gfx) echo 3 ;;
    text) echo 4 ;;
    audio) echo 5 ;;
    net) echo 6 ;;
    world) echo 7 ;;
    gump) echo 8 ;;
    protocol) echo 9 ;;
    frontend | windows | messenger | housing | mahjong) echo 10 ;;
    app) echo 11 ;;
    *) echo "" ;;
    esac
}

layers="platform core data gfx text audio net world gump protocol frontend windows messenger housing mahjong app"
sources=()
for folder in $layers; do
    [ -d "$folder" ] && sources+=("$folder")
    [ -d "tests/$folder" ] && sources+=("tests/$folder")
done

upward=""
if [ ${#sources[@]} -gt 0 ]; then
    while IFS= read -r line; do
        file="${line%%:*}"
        rest="${line#*:}"
        number="${rest%%:*}"
        included=$(sed -nE 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([a-z_]+)\/.*/\1/p' <<<"${rest#*:}")
        [ -z "$included" ] && continue
        target=$(layer_rank "$included")
        [ -z "$target" ] && continue
        own_folder="${file#tests/}"
        own_folder="${own_folder%%/*}"
        own=$(layer_rank "$own_folder")
        if [ "$target" -gt "$own" ] || { [ "$target" -eq "$own" ] && [ "$included" != "$own_folder" ]; }; then
            upward+="$file:$number: $own_folder includes $included"$'\n'
        fi
    done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' --include='*.cpp' --include='*.h' "${sources[@]}" 2>/dev/null)
fi
if [ -n "$upward" ]; then
    echo "Includes of a layer from one that is not above it:"
    printf '%s' "$upward"
    status=1
fi

os_folders=()
for folder in $layers; do
    [ "$folder" != platform ] && [ -d "$folder" ] && os_folders+=("$folder")
done
if [ ${#os_folders[@]} -gt 0 ]; then
    os=$(grep -rnE '#include *<((sys|netinet|arpa|net)/[a-z0-9_/]+|unistd|pthread|poll|netdb|fcntl|dirent|signal|dlfcn|termios|pwd|spawn|sched|semaphore|ifaddrs)\.h>' \
        "${os_folders[@]}" 2>/dev/null)
    if [ -n "$os" ]; then
        echo "Operating-system headers outside platform/:"
        echo "$os"
        status=1
    fi
fi

sdl=$(grep -rnE '#include *[<"]SDL' --include='*.cpp' --include='*.h' . 2>/dev/null | grep -v '^\./platform/sdl/' | grep -v '^\./build')
if [ -n "$sdl" ]; then
    echo "SDL headers outside platform/sdl/:"
    echo "$sdl"
    status=1
fi
media=$(grep -rnE '#include *[<"](fluidsynth|libav[a-z]+/|libswscale/)' --include='*.cpp' --include='*.h' . 2>/dev/null \
    | grep -v '^\./platform/media/' | grep -v '^\./build')
if [ -n "$media" ]; then
    echo "Synthesizer and film decoder headers outside platform/media/:"
    echo "$media"
    status=1
fi
exit $status
