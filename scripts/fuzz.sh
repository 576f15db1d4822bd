#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for SECONDS (default 60),
# starting from the committed seed corpus with the SAMI dictionary. The corpus
# grown by a run is kept in build/fuzz/corpus/ for the next one; a crash stops
# the script and leaves its input in build/fuzz/artifacts/.
#
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-60}"
scripts/setup.sh
cmake --preset fuzz >/dev/null
targets=(token_scan sync_tag_search sync_shift append)
cmake --build --preset fuzz --target "${targets[@]/%/_fuzz}"

mkdir -p build/fuzz/artifacts
for t in "${targets[@]}"; do
    case "$t" in
        sync_shift) seeds=fuzz/corpus/shift ;;
        append) seeds=fuzz/corpus/append ;;
        *) seeds=fuzz/corpus/text ;;
    esac
    mkdir -p "build/fuzz/corpus/$t"
    echo "== $t: $seconds s"
    "build/fuzz/fuzz/${t}_fuzz" -dict=fuzz/sami.dict -max_total_time="$seconds" \
        -print_final_stats=1 -artifact_prefix="build/fuzz/artifacts/$t-" \
        "build/fuzz/corpus/$t" "$seeds" 2>&1 |
        grep -E '^(#[0-9]+[[:space:]]+DONE|stat::number_of_executed_units|==[0-9]+==ERROR|SUMMARY)' || true
    # grep hides the output, not the status: a crash fails the script.
    [ "${PIPESTATUS[0]}" -eq 0 ] || { echo "$t: fuzzing found a fault" >&2; exit 1; }
done
