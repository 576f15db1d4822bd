#!/usr/bin/env bash
# The picture check: Tembrel.exe's dialog drawn under an English Windows
# (en_US) and a Korean one (ko_KR) looks the same below its caption, so that
# no label falls back to a face without its letters on either.
#
#   compare_locales.sh Tembrel.exe scratch-folder
#
# Both pictures stay in the scratch folder for a person to look at.
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
program="$(realpath "$1")"
scratch="$(realpath -m "$2")"
mkdir -p "$scratch"
for locale_name in en_US ko_KR; do
    rm -f "$scratch/$locale_name.png"
    TEMBREL_EXE="$program" TEMBREL_SCREENSHOT_DIR="$scratch" \
        "$repo/scripts/screenshot_dialog.sh" "$scratch/$locale_name.png" "$locale_name"
done
python3 "$repo/scripts/compare_dialog_pictures.py" "$scratch/en_US.png" "$scratch/ko_KR.png"
