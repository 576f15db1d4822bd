#!/usr/bin/env bash
# Saves a picture of Tembrel's dialog: starts the Windows build's Tembrel.exe
# under Wine on a virtual X server, which keeps its screen in a file, and cuts
# the dialog out of it (scripts/xwd_to_png.py).
#
#   scripts/screenshot_dialog.sh [output.png [LOCALE]]
#       (defaults: docs/dialog.png and ko_KR; docs/dialog-en_US.png is taken
#       with en_US)
#
# TEMBREL_EXE names another Tembrel.exe (the one of a package) and
# TEMBREL_SCREENSHOT_DIR the folder for its Wine prefixes and locales (the
# build's by default), as the Wine tests' picture check does.
#
# Needs the Windows build (cmake --preset windows && cmake --build --preset
# windows; where the kernel runs no 32-bit program, the windows64 preset),
# Wine, Xvfb (xvfb-run), Python 3 and a Korean font (fonts-nanum).
#
# The dialog is Unicode, so its Korean labels read right whatever the system's
# code page: LOCALE (ko_KR, a Korean Windows, or en_US, an English one) only
# decides the system Wine plays. A locale that the system lacks is compiled
# into the build tree.
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
output="$(realpath -m "${1:-$repo/docs/dialog.png}")"
locale_name="${2:-ko_KR}"

# Wine's 32-bit loader is a 32-bit Linux program: on a kernel that runs none,
# the 64-bit build runs under the 64-bit loader.
build="$repo/build/windows"
wine=wine
if ! /usr/lib/wine/wine --version >/dev/null 2>&1 && [ -x /usr/lib/wine/wine64 ]; then
    build="$repo/build/windows64"
    wine=/usr/lib/wine/wine64
fi
program="${TEMBREL_EXE:-$build/ui/Tembrel.exe}"
work="${TEMBREL_SCREENSHOT_DIR:-$build}"

if [ ! -f "$program" ]; then
    echo "no $program: build it with 'cmake --preset $(basename "$build") &&" \
        "cmake --build --preset $(basename "$build")'" >&2
    exit 1
fi

if ! locale -a 2>/dev/null | grep -qix "$locale_name.utf8"; then
    export LOCPATH="$work/locale"
    if [ ! -f "$LOCPATH/$locale_name.UTF-8/LC_CTYPE" ]; then
        mkdir -p "$LOCPATH"
        localedef -i "$locale_name" -f UTF-8 "$LOCPATH/$locale_name.UTF-8" || true
    fi
fi

# A prefix of its own per locale, apart from the tests' prefix.
export WINEPREFIX="$work/wineprefix-${locale_name%%_*}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

if [ "${TEMBREL_CAPTURE:-}" ]; then
    # On the virtual display, whose screen is the file Xvfb_screen0 in the
    # folder TEMBREL_CAPTURE.
    export LC_ALL="$locale_name.UTF-8"
    "$wine" wineboot -i >/dev/null 2>&1
    wineserver -w
    # The dialog in a Wine desktop window, which draws the caption and frame
    # that a missing window manager would not.
    "$wine" explorer /desktop=Tembrel,800x600 "$program" >/dev/null 2>&1 &
    # The picture is taken once the screen shows a window and stays the same
    # for two seconds: a busy machine draws late.
    for _ in $(seq 45); do
        sleep 2
        cp "$TEMBREL_CAPTURE/Xvfb_screen0" "$TEMBREL_CAPTURE/next.xwd"
        if [ -f "$TEMBREL_CAPTURE/screen.xwd" ] &&
            cmp -s "$TEMBREL_CAPTURE/next.xwd" "$TEMBREL_CAPTURE/screen.xwd" &&
            python3 "$repo/scripts/xwd_to_png.py" --shows-window "$TEMBREL_CAPTURE/screen.xwd"; then
            break
        fi
        mv "$TEMBREL_CAPTURE/next.xwd" "$TEMBREL_CAPTURE/screen.xwd"
    done
    wineserver -k
    wait || true
    exit 0
fi

screen="$(mktemp -d)"
trap 'rm -rf "$screen"' EXIT
mkdir -p "$(dirname "$output")"
TEMBREL_CAPTURE="$screen" xvfb-run -a -s "-screen 0 800x600x24 -nocursor -fbdir $screen" \
    "$0" "$output" "$locale_name" 2>&1 | grep -v setlocale || true
# Only the dialog: the plain desktop around it is cut away.
python3 "$repo/scripts/xwd_to_png.py" "$screen/screen.xwd" "$output"
echo "saved $output"
