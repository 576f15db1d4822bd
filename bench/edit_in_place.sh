#!/bin/bash
# Edits in place over many files in one command against cp of the same files,
# wall time, both with their data flushed to disk; the flush alone; and the
# peak memory of one run over a 64 MiB file.
# Usage: bench/edit_in_place.sh TEMBREL_CLI SOURCE_FOLDER_OR_FILE [COUNT]
# The files are copied into a scratch folder under /tmp; nothing is written
# beside the sources.
set -euo pipefail
cli=$(realpath "$1")
source=$2
count=${3:-1000}
scratch=$(mktemp -d /tmp/tembrel-edit-bench.XXXXXX)
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/src"
if [ -d "$source" ]; then
    mapfile -t sources < <(find "$source" -maxdepth 1 -type f -iname '*.smi' | sort)
else
    sources=("$source")
fi
for ((k = 0; k < count; k++)); do
    cp "${sources[k % ${#sources[@]}]}" "$scratch/src/$k.smi"
done
seconds() { date +%s.%N; }
fresh() { rm -rf "$scratch/run"; cp -r "$scratch/src" "$scratch/run"; sync; }

fresh
mkdir "$scratch/copied"
start=$(seconds); (cd "$scratch/run" && cp *.smi ../copied); copy_plain=$(echo "$(seconds) - $start" | bc)
rm -rf "$scratch/copied"; mkdir "$scratch/copied"; sync
start=$(seconds); (cd "$scratch/run" && cp *.smi ../copied && sync ../copied/*.smi); copy_synced=$(echo "$(seconds) - $start" | bc)

fresh
start=$(seconds); (cd "$scratch/run" && "$cli" shift --shift=5 --end=2000000000 *.smi 2>/dev/null || true); edit=$(echo "$(seconds) - $start" | bc)

# The flush alone: fsync of as many freshly written files of the same sizes.
fresh
start=$(seconds); (cd "$scratch/run" && for f in *.smi; do cp "$f" "$f.x"; done); unflushed=$(echo "$(seconds) - $start" | bc)
start=$(seconds); (cd "$scratch/run" && for f in *.smi; do cp "$f" "$f.y"; sync "$f.y"; done); flushed=$(echo "$(seconds) - $start" | bc)

printf 'files %d\n' "$count"
printf 'cp                      %.3f s\n' "$copy_plain"
printf 'cp + sync               %.3f s\n' "$copy_synced"
printf 'tembrel-cli in place    %.3f s (%.2fx cp + sync, %.2fx cp)\n' "$edit" \
    "$(echo "$edit / $copy_synced" | bc -l)" "$(echo "$edit / $copy_plain" | bc -l)"
printf 'flush per file          %.3f ms\n' "$(echo "($flushed - $unflushed) * 1000 / $count" | bc -l)"

# Peak memory over a 64 MiB file.
big="$scratch/big.smi"
while [ "$(stat -c %s "$big" 2>/dev/null || echo 0)" -lt $((64 << 20)) ]; do
    cat "${sources[0]}" >>"$big"
done
peak=$(/usr/bin/time -f %M "$cli" shift --shift=5 --end=2000000000 "$big" 2>&1 >/dev/null | tail -1)
printf 'peak memory, 64 MiB     %d KiB\n' "$peak"
