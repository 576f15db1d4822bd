#!/usr/bin/env bash
# Saves a picture of Tembrel's dialog: starts the Windows build's Tembrel.exe
# under Wine on a virtual X server and captures the screen with ImageMagick.
#
#   scripts/screenshot_dialog.sh [output.png]      (default: docs/dialog.png)
#
# Needs the Windows build (cmake --preset windows && cmake --build --preset
# windows), Wine, Xvfb (xvfb-run), ImageMagick (import, convert) and a Korean
# font (fonts-nanum).
#
# The dialog comes from an ANSI dialog call, so its Korean labels pass through
# the system code page: Wine runs here with a Korean locale (code page 949),
# as the program's users run Windows. A locale that the system lacks is
# compiled into the build tree.
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$repo/build/windows"
program="$build/ui/Tembrel.exe"
output="$(realpath -m "${1:-$repo/docs/dialog.png}")"

if [ ! -f "$program" ]; then
    echo "no $program: build it with 'cmake --preset windows && cmake --build --preset windows'" >&2
    exit 1
fi

if ! locale -a 2>/dev/null | grep -qix 'ko_KR.utf8'; then
    export LOCPATH="$build/locale"
    if [ ! -d "$LOCPATH/ko_KR.UTF-8" ]; then
        mkdir -p "$LOCPATH"
        localedef -i ko_KR -f UTF-8 "$LOCPATH/ko_KR.UTF-8"
    fi
fi

# A prefix of its own: the tests' prefix stays in the C locale.
export WINEPREFIX="$build/wineprefix-ko"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

if [ "${TEMBREL_CAPTURE:-}" = 1 ]; then
    # On the virtual display.
    export LC_ALL=ko_KR.UTF-8
    wineboot -i >/dev/null 2>&1
    wineserver -w
    # The dialog in a Wine desktop window, which draws the caption and frame
    # that a missing window manager would not.
    wine explorer /desktop=Tembrel,800x600 "$program" >/dev/null 2>&1 &
    sleep 6
    import -window root "$output.full.png"
    wineserver -k
    wait || true
    exit 0
fi

mkdir -p "$(dirname "$output")"
TEMBREL_CAPTURE=1 xvfb-run -a -s "-screen 0 800x600x24" "$0" "$output" 2>&1 | grep -v setlocale || true
# Only the dialog: cut away the plain desktop around it.
convert "$output.full.png" -fuzz 3% -trim +repage "$output"
rm -f "$output.full.png"
echo "saved $output"
