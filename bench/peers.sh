#!/usr/bin/env bash
# tembrel-cli beside what people use instead to re-time a SAMI file: a plain
# buffered copy (the floor), a perl one-liner and the npm package subsrt-ts, in
# one run on the same generated Korean CP949 files of 1, 16 and 64 MiB. Prints
# a Markdown table: median time against the copy, peak memory, and the bytes
# each output changes outside the re-timed numbers.
#
# Usage: bench/peers.sh [BUILD_DIR]    (default build/peers, bench preset)
# PEERS_SIZES=1,16 and PEERS_REPS=1:15,16:7,64:5 narrow or lengthen a run.
#
# Installs what it needs from Debian's packages and subsrt-ts with npm into a
# scratch folder outside the project; without npm or the registry, subsrt-ts is
# reported as unavailable. Every scratch file is removed at the end.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/peers}
shift_ms=1500
subsrt_version=2.1.2

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Installs the Debian packages of the list that are missing.
install_packages() {
    local missing=() p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
}

install_packages cmake ninja-build g++ libbenchmark-dev perl time python3 coreutils
# node and npm may come from elsewhere than Debian; only when they are missing
# are Debian's tried, and subsrt-ts is left out if that does not work either.
if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
    install_packages nodejs npm >&2 || true
fi

cmake --preset bench -B "$build" >/dev/null
cmake --build "$build" --target tembrel-cli make_sami >/dev/null

scratch=$(mktemp -d "${TMPDIR:-/tmp}/tembrel-peers.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

# subsrt-ts in its own folder with its own package.json, so that npm treats it
# as the project root and never looks upwards; its cache stays in scratch too.
subsrt_args=(--unavailable "node or npm missing")
if command -v node >/dev/null && command -v npm >/dev/null; then
    mkdir "$scratch/npm"
    echo '{"private": true}' >"$scratch/npm/package.json"
    if (cd "$scratch/npm" && timeout 300 npm install --no-audit --no-fund \
        --no-update-notifier --cache "$scratch/npm-cache" "subsrt-ts@$subsrt_version") \
        >"$scratch/npm.log" 2>&1; then
        cp bench/subsrt_resync.mjs "$scratch/npm/"
        subsrt_args=(--subsrt "$scratch/npm/subsrt_resync.mjs" --subsrt-version "$subsrt_version")
    else
        echo "peers: npm install subsrt-ts@$subsrt_version failed:" >&2
        tail -5 "$scratch/npm.log" >&2
        subsrt_args=(--unavailable "npm install failed")
    fi
fi

python3 bench/peers.py --scratch "$scratch" --shift "$shift_ms" \
    --cli "$build/cli/tembrel-cli" --make-sami "$build/bench/make_sami" \
    --sizes "${PEERS_SIZES:-1,16,64}" --reps "${PEERS_REPS:-1:15,16:7,64:5}" \
    "${subsrt_args[@]}"
