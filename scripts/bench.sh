#!/usr/bin/env bash
# Builds the benchmarks, times each run against the plain copy measured in the
# same run, and prints the ratios; then the peak memory of single runs.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset bench >/dev/null
cmake --build --preset bench >/dev/null

json=$(mktemp)
trap 'rm -f "$json"' EXIT
for b in build/bench/bench/*_bench; do
    "$b" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
        --benchmark_format=json >"$json.$(basename "$b")"
done
python3 - "$json" <<'PY'
# Each benchmark program times its own plain copy (a name with "Copy"); every
# other row is divided by the copy of the same size and kind (bytes or UTF-16)
# from the same program.
import glob, json, sys
print(f"{'benchmark':<26}{'wall ms':>10}{'cpu ms':>10}{'wall/copy':>11}{'cpu/copy':>10}")
for path in sorted(glob.glob(sys.argv[1] + ".*")):
    rows = {b["run_name"]: (b["real_time"], b["cpu_time"])
            for b in json.load(open(path))["benchmarks"] if b.get("aggregate_name") == "median"}
    key = lambda name: ("tf16" in name, name.split("/")[-1])
    copies = {key(name): t for name, t in rows.items() if "Copy" in name}
    for name, (real, cpu) in rows.items():
        base = copies.get(key(name))
        ratio = f"{real / base[0]:>11.2f}{cpu / base[1]:>10.2f}" if base else ""
        print(f"{name:<26}{real:>10.1f}{cpu:>10.1f}{ratio}")
PY
rm -f "$json".*
bench/memory.sh build/bench
