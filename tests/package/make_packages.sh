#!/usr/bin/env bash
# Makes the build's packages with CPack and unpacks them for the checks: a
# zip into UNPACKED, a .deb into UNPACKED/deb (as dpkg would install it).
#
#   make_packages.sh CPACK BUILD_DIR UNPACKED
set -euo pipefail

cpack="$1" build="$2" unpacked="$3"
packages="$build/packages"

# Only this run's packages: an old one must not pass for a new one.
rm -rf "$packages"
mkdir -p "$unpacked"
(cd "$build" && "$cpack" --config CPackConfig.cmake)

shopt -s nullglob
made=("$packages"/*.zip "$packages"/*.deb "$packages"/*.tar.gz)
[ ${#made[@]} -gt 0 ] || { echo "cpack made no package in $packages" >&2; exit 1; }
for p in "${made[@]}"; do
    echo "made $(basename "$p"): $(stat -c %s "$p") bytes"
    case "$p" in
        *.zip) (cd "$unpacked" && cmake -E tar xf "$p") ;;
        *.deb) dpkg-deb -x "$p" "$unpacked/deb" ;;
    esac
done
