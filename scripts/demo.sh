#!/usr/bin/env bash
# Re-times the bundled sample (samples/sample.smi) in a scratch copy with
# tembrel-cli and shows what changed: a unified diff of the backup and the
# result, each CR shown as "\r" and the CP949 text converted to UTF-8 for the
# terminal. Builds the default preset first when needed; set TEMBREL_BUILD_DIR
# to use another build folder.
set -euo pipefail
cd "$(dirname "$0")/.."

build="${TEMBREL_BUILD_DIR:-build/default}"
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake --preset default -B "$build" >/dev/null
fi
cmake --build "$build" --target tembrel-cli >/dev/null
cli="$(cd "$build" && pwd)/cli/tembrel-cli"

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
cp samples/sample.smi "$scratch/sample.smi"
cd "$scratch"

run() {
    echo "\$ tembrel-cli $*"
    "$cli" "$@"
}
run last sample.smi
# From 0:09 on the cues come 1.5 seconds early: move them 1500 ms later.
run shift --start=0:09 --shift=1500 sample.smi

readable() {
    if command -v iconv >/dev/null; then
        iconv -f CP949 -t UTF-8 "$1"
    else
        cat "$1"
    fi | sed 's/\r$/\\r/'
}
echo "\$ diff -u sample.smi.bak sample.smi"
diff -u --label sample.smi.bak --label sample.smi \
    <(readable sample.smi.bak) <(readable sample.smi) || [ $? -eq 1 ]
