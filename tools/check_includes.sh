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

layers="platform core data gfx text audio net world gump protocol frontend windows messenger housing mahjong app"
sources=()
for folder in $layers; do
    [ -d "$folder" ] && sources+=("$folder")
    [ -d "tests/$folder" ] && sources+=("tests/$folder")
done

upward=""
if [ ${#sources[@]} -gt 0 ]; then
    # One pass of awk over every include line: a process per line is minutes
    # on a small machine.
    upward=$(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' --include='*.cpp' --include='*.h' \
        "${sources[@]}" 2>/dev/null | awk -v layers="$layers" '
        BEGIN {
            n = split(layers, names, " ")
            for (i = 1; i <= n; ++i) {
                rank[names[i]] = i - 1
                # The five window folders stand side by side.
                if (names[i] ~ /^(frontend|windows|messenger|housing|mahjong)$/) rank[names[i]] = 10
                if (names[i] == "app") rank[names[i]] = 11
            }
        }
        {
            file = $0; sub(/:.*/, "", file)
            rest = substr($0, length(file) + 2)
            number = rest; sub(/:.*/, "", number)
            text = substr(rest, length(number) + 2)
            if (!match(text, /^[[:space:]]*#[[:space:]]*include[[:space:]]*"[a-z_]+\//)) next
            included = substr(text, RSTART, RLENGTH - 1); sub(/.*"/, "", included)
            if (!(included in rank)) next
            own_folder = file; sub(/^tests\//, "", own_folder); sub(/\/.*/, "", own_folder)
            target = rank[included]; own = rank[own_folder]
            if (target > own || (target == own && included != own_folder))
                printf "%s:%s: %s includes %s\n", file, number, own_folder, included
        }')
    [ -n "$upward" ] && upward+=$'\n'
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

sdl=$(grep -rnE '#include *[<"]SDL' --include='*.cpp' --include='*.h' --exclude-dir='build*' . 2>/dev/null | grep -v '^\./platform/sdl/' | grep -v '^\./build')
if [ -n "$sdl" ]; then
    echo "SDL headers outside platform/sdl/:"
    echo "$sdl"
    status=1
fi
media=$(grep -rnE '#include *[<"](fluidsynth|libav[a-z]+/|libswscale/)' --include='*.cpp' --include='*.h' --exclude-dir='build*' . 2>/dev/null \
    | grep -v '^\./platform/media/' | grep -v '^\./build')
if [ -n "$media" ]; then
    echo "Synthesizer and film decoder headers outside platform/media/:"
    echo "$media"
    status=1
fi
exit $status
