#!/usr/bin/env bash
# Tests the include check on small planted trees: it must refuse an upward
# include, an include between two side-by-side window folders and an
# operating-system header outside platform/, and accept downward includes.
# Usage: check_includes_test.sh PATH/TO/check_includes.sh
set -u
check="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# expect CODE NAME: builds nothing, runs the check on $work/NAME.
expect() {
    local code="$1" name="$2"
    "$check" "$work/$name" >/dev/null 2>&1
    local got=$?
    if [ "$got" -ne "$code" ]; then
        echo "FAIL: $name: the check exited with $got, expected $code"
        failures=$((failures + 1))
    fi
}

plant() {
    local tree="$1" file="$2" text="$3"
    mkdir -p "$work/$tree/$(dirname "$file")"
    printf '%s\n' "$text" >"$work/$tree/$file"
}

plant downward app/entry.cpp '#include "world/map.h"'
plant downward world/map.h '#include "net/session.h"'
plant downward net/session.h '#include "core/byte_cursor.h"'
plant downward core/byte_cursor.h '#include "platform/clock.h"'
plant downward tests/world/map_test.cpp '#include "gfx/back_buffer.h"'
plant downward tests/fixtures/anything.cpp '#include "app/entry.h"'
expect 0 downward

plant upward core/byte_cursor.h '#include "data/file_manager.h"'
expect 1 upward

plant upward_in_tests tests/gfx/blit_test.cpp '#include "world/map.h"'
expect 1 upward_in_tests

plant side_by_side housing/house.cpp '#include "mahjong/table.h"'
expect 1 side_by_side

plant system_header world/map.cpp '#include <unistd.h>'
expect 1 system_header

plant sdl_outside gfx/surface.cpp '#include <SDL.h>'
expect 1 sdl_outside

plant same_folder gump/gump.cpp '#include "gump/gump.h"'
expect 0 same_folder

if [ "$failures" -ne 0 ]; then
    exit 1
fi
echo "include check: all planted trees judged as expected"
