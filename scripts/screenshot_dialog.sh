#!/usr/bin/env bash
# Saves a picture of Tembrel's dialog: starts the Windows build's Tembrel.exe
# under Wine on a virtual X server and captures the screen with ImageMagick.
#
#   scripts/screenshot_dialog.sh [output.png [LOCALE]]
#       (defaults: docs/dialog.png and ko_KR; docs/dialog-en_US.png is taken
#       with en_US)
#
# Needs the Windows build (cmake --preset windows && cmake --build --preset
# windows), Wine, Xvfb (xvfb-run), ImageMagick (import, convert) and a Korean
# font (fonts-nanum).
#
# The dialog is Unicode, so its Korean labels read right whatever the system's
# code page: LOCALE (ko_KR, a Korean Windows, or en_US, an English one) only
# decides the system Wine plays. A locale that the system lacks is compiled
# into the build tree.
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$repo/build/windows"
program="$build/ui/Tembrel.exe"
output="$(realpath -m "${1:-$repo/docs/dialog.png}")"
locale_name="${2:-ko_KR}"

if [ ! -f "$program" ]; then
    echo "no $program: build it with 'cmake --preset windows && cmake --build --preset windows'" >&2
    exit 1
fi

if ! locale -a 2>/dev/null | grep -qix "$locale_name.utf8"; then
    export LOCPATH="$build/locale"
    if [ ! -f "$LOCPATH/$locale_name.UTF-8/LC_CTYPE" ]; then
        mkdir -p "$LOCPATH"
        localedef -i "$locale_name" -f UTF-8 "$LOCPATH/$locale_name.UTF-8" || true
    fi
fi

# A prefix of its own per locale, apart from the tests' prefix.
export WINEPREFIX="$build/wineprefix-${locale_name%%_*}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

if [ "${TEMBREL_CAPTURE:-}" = 1 ]; then
    # On the virtual display.
    export LC_ALL="$locale_name.UTF-8"
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
TEMBREL_CAPTURE=1 xvfb-run -a -s "-screen 0 800x600x24" "$0" "$output" "$locale_name" 2>&1 |
    grep -v setlocale || true
# Only the dialog: cut away the plain desktop around it.
convert "$output.full.png" -fuzz 3% -trim +repage "$output"
rm -f "$output.full.png"
echo "saved $output"
