#!/usr/bin/env bash
# Runs a Windows program of the build under Wine, headless when there is no
# display: a private prefix (WINEPREFIX, by default build/windows/wineprefix),
# made on first use, and a virtual X server from xvfb-run when DISPLAY is unset.
# The Windows build's tests use it as their emulator.
#
#   run_in_wine.sh program.exe [arguments...]   runs the program, returns its exit code
#   run_in_wine.sh --prepare                    only makes the prefix
#   run_in_wine.sh --shutdown                   ends the Wine processes of the prefix
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
export WINEPREFIX="${WINEPREFIX:-$repo/build/windows/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
# No prompts to install Mono or Gecko: the programs need neither.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

# Wine's 32-bit loader is a 32-bit Linux program: on a kernel that runs none
# (no IA-32 emulation) only the 64-bit loader starts, and only 64-bit programs
# (the windows64 preset) run.
wine=wine
if ! /usr/lib/wine/wine --version >/dev/null 2>&1 && [ -x /usr/lib/wine/wine64 ]; then
    wine=/usr/lib/wine/wine64
fi

if [ "${1:-}" = "--shutdown" ]; then
    wineserver -k 2>/dev/null || true
    exit 0
fi

if [ -z "${DISPLAY:-}" ]; then
    export TEMBREL_OWN_DISPLAY=1
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

# One prefix for all tests; the first wineboot takes some seconds, and tests
# started at the same time wait for it rather than make it twice.
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
if [ ! -f "$WINEPREFIX/.tembrel-ready" ]; then
    "$wine" wineboot -i >/dev/null 2>&1
    # Windows open inside one virtual desktop window: without a window manager,
    # showing and hiding top-level windows on X would wait for events that never
    # come (about two seconds per message box).
    printf '%s\r\n' 'REGEDIT4' '' \
        '[HKEY_CURRENT_USER\Software\Wine\Explorer]' '"Desktop"="Default"' '' \
        '[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]' '"Default"="1024x768"' \
        >"$WINEPREFIX/virtual-desktop.reg"
    "$wine" reg import "Z:${WINEPREFIX//\//\\}\\virtual-desktop.reg" >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.tembrel-ready"
fi
flock -u 9

status=0
if [ "${1:-}" != "--prepare" ]; then
    "$wine" "$@" || status=$?
fi
# A virtual display of our own ends with this script: Wine's processes for it
# go first, so that the next run does not find them bound to a display that is
# gone.
if [ "${TEMBREL_OWN_DISPLAY:-}" = 1 ]; then
    wineserver -k 2>/dev/null || true
fi
exit "$status"
