#!/usr/bin/env bash
# The .deb as Debian's own checker sees it: `lintian --pedantic` reports no
# error and no warning (information tags are shown, not counted). Skipped
# (77) where lintian is not installed; scripts/setup.sh installs it.
#
#   check_lintian.sh DEB
set -uo pipefail

deb="$1"
if ! command -v lintian >/dev/null; then
    echo "lintian is not installed: skipped"
    exit 77
fi
# lintian tells root that it should not run as root, on stderr.
report="$(lintian --pedantic --info --display-info "$deb" 2>/dev/null)"
status=$?
echo "$report"
if [ "$status" -ne 0 ] && [ -z "$report" ]; then
    echo "FAILED: lintian exited with $status and said nothing"
    exit 1
fi
if grep -qE '^[EW]: ' <<<"$report"; then
    echo "FAILED: lintian reports errors or warnings"
    exit 1
fi
echo "lintian --pedantic: no error, no warning"
