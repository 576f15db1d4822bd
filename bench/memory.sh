#!/usr/bin/env bash
# Peak memory of one shift run on generated files of growing size, in CP949
# and in UTF-16, and of a plain copy for comparison. Usage: bench/memory.sh [BUILD_DIR]
set -euo pipefail
build=${1:-build/bench}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
printf '%-8s %-14s %-14s\n' size shift_peak_KiB cat_peak_KiB
for kind in "" utf16; do
    for mib in 1 16 64 256; do
        "$build/bench/make_sami" "$dir/in.smi" "$mib" $kind
        shift_kib=$(/usr/bin/time -f %M "$build/bench/shift_once" "$dir/in.smi" "$dir/out.smi" 2>&1 >/dev/null | tail -1)
        cat_kib=$(/usr/bin/time -f %M cat "$dir/in.smi" 2>&1 >/dev/null | tail -1)
        printf '%-8s %-14s %-14s\n' "${mib}MiB${kind:+ $kind}" "$shift_kib" "$cat_kib"
    done
done
