#!/usr/bin/env bash
# Operating-system headers belong to platform/ only; SDL belongs to platform/sdl/.
set -u
root="${1:-.}"
cd "$root" || exit 2
status=0
os=$(grep -rnE '#include *<((sys|netinet|arpa|net)/[a-z0-9_/]+|unistd|pthread|poll|netdb|fcntl|dirent|signal|dlfcn|termios|pwd|spawn|sched|semaphore|ifaddrs)\.h>' \
    app text world gump net frontend windows audio messenger housing mahjong 2>/dev/null)
if [ -n "$os" ]; then
    echo "Operating-system headers outside platform/:"
    echo "$os"
    status=1
fi
sdl=$(grep -rnE '#include *[<"]SDL' --include='*.cpp' --include='*.h' . 2>/dev/null | grep -v '^\./platform/sdl/' | grep -v '^\./build')
if [ -n "$sdl" ]; then
    echo "SDL headers outside platform/sdl/:"
    echo "$sdl"
    status=1
fi
exit $status
