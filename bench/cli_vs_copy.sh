#!/usr/bin/env bash
# Whole runs of tembrel-cli shift on a generated 64 MiB Korean SAMI file, with
# an explicit range end and with the range end E, against a buffered copy of
# the same bytes (dd, 1 MiB blocks) timed in the same run, taking turns.
# Prints the median wall and CPU (user + system) time of each and its ratio to
# the copy's. Usage: bench/cli_vs_copy.sh CLI [CLI...]   (MIB=64 REPS=5)
set -euo pipefail
cd "$(dirname "$0")/.."
mib=${MIB:-64}
reps=${REPS:-5}
dir=$(mktemp -d "${TMPDIR:-/tmp}/tembrel-cli-vs-copy.XXXXXX")
trap 'rm -rf "$dir"' EXIT
make_sami=${MAKE_SAMI:-build/bench/bench/make_sami}
"$make_sami" "$dir/in.smi" "$mib"

time_run=${TIME_RUN:-build/bench/bench/time_run}

# Wall and CPU seconds of one command, to the microsecond, its output thrown
# away afterwards.
timed() {
    sync
    "$time_run" "$dir/t" "$@" >/dev/null 2>&1 || true
    rm -f "$dir/out.smi"
    tail -n 1 "$dir/t"
}

declare -A wall cpu
# The edit job flushes its output to disk: a copy flushed as well is the fair
# measure of wall time.
names=(copy copy+fsync)
for cli in "$@"; do names+=("$cli|end" "$cli|E"); done
for ((r = 0; r < reps; r++)); do
    read -r w c < <(timed dd if="$dir/in.smi" of="$dir/out.smi" bs=1M)
    wall[copy]+="$w "; cpu[copy]+="$c "
    read -r w c < <(timed dd if="$dir/in.smi" of="$dir/out.smi" bs=1M conv=fsync)
    wall[copy+fsync]+="$w "; cpu[copy+fsync]+="$c "
    for cli in "$@"; do
        read -r w c < <(timed "$cli" shift --shift=1500 --end=2147483647 -o "$dir/out.smi" "$dir/in.smi")
        wall["$cli|end"]+="$w "; cpu["$cli|end"]+="$c "
        read -r w c < <(timed "$cli" shift --shift=1500 -o "$dir/out.smi" "$dir/in.smi")
        wall["$cli|E"]+="$w "; cpu["$cli|E"]+="$c "
    done
done
median() { tr ' ' '\n' | grep . | sort -g | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
copyWall=$(echo "${wall[copy]}" | median)
copyCpu=$(echo "${cpu[copy]}" | median)
printf '| run, %s MiB | wall s | CPU s | wall / copy | CPU / copy |\n|---|---:|---:|---:|---:|\n' "$mib"
for n in "${names[@]}"; do
    w=$(echo "${wall[$n]}" | median); c=$(echo "${cpu[$n]}" | median)
    awk -v n="$n" -v w="$w" -v c="$c" -v cw="$copyWall" -v cc="$copyCpu" \
        'BEGIN { printf "| %s | %.4f | %.4f | %.2f | %.2f |\n", n, w, c, w / cw, c / cc }'
done
