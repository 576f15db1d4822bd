#!/usr/bin/env bash
# Peak memory and CPU time of `tembrel-cli list` on generated 64 MiB files
# (bench/make_cue_file.py: Korean CP949 of one class, and Korean and English
# cues in turn), for one or more builds taking turns, and whether their
# outputs are the same bytes. Usage: bench/list_memory.sh CLI [CLI...]
# (ROUNDS=5 MIB=64 by default).
set -euo pipefail
rounds=${ROUNDS:-5}
mib=${MIB:-64}
here=$(cd "$(dirname "$0")" && pwd)
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
for kind in korean bilingual; do
    flags=()
    [ "$kind" = bilingual ] && flags=(--bilingual)
    python3 "$here/make_cue_file.py" "$dir/$kind.smi" "$mib" "${flags[@]}"
    size=$(stat -c %s "$dir/$kind.smi")
    echo "$kind: $size bytes"
    n=0
    for cli in "$@"; do
        n=$((n + 1))
        rc=0
        "$cli" list "$dir/$kind.smi" >"$dir/out$n" 2>"$dir/err$n" || rc=$?
        echo "  [$n] $cli: exit $rc, out $(stat -c %s "$dir/out$n") bytes," \
            "$(wc -l <"$dir/out$n") lines; same as [1]: $(cmp -s "$dir/out1" "$dir/out$n" &&
            cmp -s "$dir/err1" "$dir/err$n" && echo yes || echo NO)"
    done
    for round in $(seq "$rounds"); do
        n=0
        for cli in "$@"; do
            n=$((n + 1))
            /usr/bin/time -f '%M %U %S %e' -o "$dir/time" "$cli" list "$dir/$kind.smi" >/dev/null 2>&1
            read -r kib user sys wall <"$dir/time"
            echo "$kib" >>"$dir/kib$n"
            echo "$user $sys" | awk '{printf "%.2f\n", $1 + $2}' >>"$dir/cpu$n"
            echo "$wall" >>"$dir/wall$n"
        done
    done
    n=0
    for cli in "$@"; do
        n=$((n + 1))
        echo "  [$n] peak KiB $(median <"$dir/kib$n") (largest $(sort -n "$dir/kib$n" | tail -1))," \
            "CPU s $(median <"$dir/cpu$n"), wall s $(median <"$dir/wall$n") (medians of $rounds)"
        rm -f "$dir/kib$n" "$dir/cpu$n" "$dir/wall$n"
    done
done
