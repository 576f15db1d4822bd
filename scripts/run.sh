#!/usr/bin/env bash
# Runs Tembrel after installing what is missing (see scripts/setup.sh).
#
#   scripts/run.sh          re-times the bundled sample with tembrel-cli in a
#                           scratch copy and shows what changed
#   scripts/run.sh dialog   builds the Windows program and opens its dialog under
#                           Wine (on this display, or a virtual one without it)
set -euo pipefail
cd "$(dirname "$0")/.."

case "${1:-demo}" in
    demo)
        # Only what tembrel-cli needs: a compiler, CMake and Ninja.
        scripts/setup.sh cli
        exec scripts/demo.sh
        ;;
    dialog)
        scripts/setup.sh dialog
        cmake --preset windows >/dev/null
        cmake --build --preset windows >/dev/null
        # The dialog reads right in any locale; Wine plays the Korean Windows the
        # program is made for, in a locale compiled into the build tree when the
        # system lacks it.
        if ! locale -a 2>/dev/null | grep -qix 'ko_KR.utf8'; then
            export LOCPATH="$PWD/build/windows/locale"
            [ -d "$LOCPATH/ko_KR.UTF-8" ] ||
                { mkdir -p "$LOCPATH" && localedef -i ko_KR -f UTF-8 "$LOCPATH/ko_KR.UTF-8"; }
        fi
        WINEPREFIX="$PWD/build/windows/wineprefix-ko" LC_ALL=ko_KR.UTF-8 \
            exec tests/wine/run_in_wine.sh build/windows/ui/Tembrel.exe
        ;;
    *)
        echo "usage: scripts/run.sh [demo|dialog]" >&2
        exit 64
        ;;
esac
