#!/usr/bin/env python3
"""Times tembrel-cli and its peers on the same generated SAMI files and checks
what each one changes outside the re-timed numbers. Called by bench/peers.sh,
which installs and builds what is needed; prints Markdown tables.

Every run of one size is repeated in turns (copy, tembrel-cli, perl, ...), so a
burst of load from other processes falls on all of them alike; the median is
reported and divided by the median of the buffered copy of the same file.
"""
import argparse
import os
import re
import statistics
import subprocess
import sys
import time

SYNC_TIME = re.compile(rb"(<SYNC START=)([0-9]+)", re.IGNORECASE)
HIGH_BYTES = bytes(range(0x80, 0x100))
BLOCK = 1 << 20


def peers(args):
    """Each peer: name, and a function of (input, output) giving argv, stdin, stdout."""
    shift = args.shift
    table = [
        ("copy: `dd bs=1M` (floor)",
         lambda i, o: (["dd", f"if={i}", f"of={o}", "bs=1M", "status=none"], None, None)),
        ("copy: `cat` (copy_file_range)",
         lambda i, o: (["cat", i], None, o)),
        (f"`tembrel-cli shift --shift={shift}`",
         lambda i, o: ([args.cli, "shift", f"--shift={shift}", "-o", o, i], None, None)),
        # The default range end E is the file's last sync time, looked up in a
        # first pass over the file; an end above every time needs no such pass.
        (f"`tembrel-cli shift --shift={shift} --end=2147483647`",
         lambda i, o: ([args.cli, "shift", f"--shift={shift}", "--end=2147483647", "-o", o, i],
                       None, None)),
        ("`perl -pe` one-liner",
         lambda i, o: (["perl", "-pe", f"s/(<SYNC START=)(\\d+)/$1.($2+{shift})/gie"], i, o)),
    ]
    if args.subsrt:
        table.append((f"subsrt-ts {args.subsrt_version} (node)",
                      lambda i, o: (["node", args.subsrt, i, o, str(shift)], None, None)))
    return table


def run(command, wrapper=()):
    """Runs a peer once; returns (seconds, stderr bytes). Fails loudly on error."""
    argv, stdin_path, stdout_path = command
    stdin = open(stdin_path, "rb") if stdin_path else subprocess.DEVNULL
    stdout = open(stdout_path, "wb") if stdout_path else subprocess.DEVNULL
    try:
        # Dirty pages of the previous run would be written back during this one
        # and slow whichever program comes next; each run starts with none.
        os.sync()
        start = time.perf_counter()
        done = subprocess.run(list(wrapper) + argv, stdin=stdin, stdout=stdout,
                              stderr=subprocess.PIPE, check=False)
        seconds = time.perf_counter() - start
    finally:
        for handle in (stdin, stdout):
            if handle is not subprocess.DEVNULL:
                handle.close()
    if done.returncode != 0:
        sys.exit(f"peers: {argv[0]} failed ({done.returncode}): "
                 f"{done.stderr.decode(errors='replace')[-2000:]}")
    return seconds, done.stderr


def peak_kib(command):
    """Peak resident memory of one run, as /usr/bin/time -f %M reports it."""
    _, err = run(command, wrapper=("/usr/bin/time", "-f", "%M"))
    return int(err.decode().strip().splitlines()[-1])


def differing_bytes(a, b):
    """Bytes that differ at the same offset, over the shorter of the two."""
    count = 0
    for at in range(0, min(len(a), len(b)), BLOCK):
        x, y = a[at:at + BLOCK], b[at:at + BLOCK]
        if len(x) != len(y):
            x, y = x[:len(y)], y[:len(x)]
        if x != y:
            xor = int.from_bytes(x, "little") ^ int.from_bytes(y, "little")
            count += len(x) - xor.to_bytes(len(x), "little").count(0)
    return count


def cp949_errors(data):
    """Byte sequences that are no CP949 character (each decodes as U+FFFD)."""
    return data.decode("cp949", errors="replace").count("\ufffd")


def check(input_path, output_path, shift):
    """What the output changed: bytes outside the sync times, and the times."""
    with open(input_path, "rb") as f:
        before = f.read()
    with open(output_path, "rb") as f:
        after = f.read()
    old_times = [int(m.group(2)) for m in SYNC_TIME.finditer(before)]
    new_times = [int(m.group(2)) for m in SYNC_TIME.finditer(after)]
    if new_times == [t + shift for t in old_times]:
        times = f"all {len(old_times)} +{shift}"
    elif new_times == old_times:
        times = "unchanged"
    else:
        moved = sum(1 for old, new in zip(old_times, new_times) if new == old + shift)
        times = (f"{len(new_times)} tags for {len(old_times)}; "
                 f"{moved} at their place +{shift}")
    stripped_before = SYNC_TIME.sub(rb"\1", before)
    stripped_after = SYNC_TIME.sub(rb"\1", after)
    body = before.find(b"<BODY>")
    crlf = after.count(b"\r\n")
    bare_lf = after.count(b"\n") - crlf
    return {
        "differ": differing_bytes(stripped_before, stripped_after),
        "length": len(stripped_after) - len(stripped_before),
        "times": times,
        "head": "same" if after[:body] == before[:body] else "changed",
        "crlf": f"{crlf} CR LF, {bare_lf} bare LF",
        "in_crlf": before.count(b"\r\n"),
        "high": len(after) - len(after.translate(None, HIGH_BYTES)),
        "in_high": len(before) - len(before.translate(None, HIGH_BYTES)),
        "cp949": cp949_errors(after),
        "in_cp949": cp949_errors(before),
        "size": len(after),
    }


def measure_size(args, mebibytes):
    source = f"{args.scratch}/in-{mebibytes}.smi"
    subprocess.run([args.make_sami, source, str(mebibytes)], check=True)
    reps = args.reps.get(mebibytes, 5)
    commands = [(name, make(source, f"{args.scratch}/out-{k}.smi"))
                for k, (name, make) in enumerate(peers(args))]
    times = {name: [] for name, _ in commands}
    for _ in range(reps + 1):  # the first round warms the caches and is dropped
        for name, command in commands:
            times[name].append(run(command)[0])
    rows = []
    for k, (name, command) in enumerate(commands):
        rows.append({"name": name, "median": statistics.median(times[name][1:]),
                     "kib": peak_kib(command),
                     **check(source, f"{args.scratch}/out-{k}.smi", args.shift)})
    floor = rows[0]["median"]
    for row in rows:
        row["ratio"] = row["median"] / floor
    return {"mebibytes": mebibytes, "bytes": os.path.getsize(source), "reps": reps,
            "rows": rows}


def print_summary(results, unavailable):
    """One row a program: time against the copy per size, and the largest file's checks."""
    sizes = [f"{r['mebibytes']} MiB" for r in results]
    last = results[-1]
    print("| program | " + " | ".join(f"× copy, {size}" for size in sizes)
          + f" | peak KiB, {sizes[-1]} | bytes differing outside times, {sizes[-1]} "
          f"| sync times, {sizes[-1]} |")
    print("|---|" + "---:|" * (len(sizes) + 2) + "---|")
    for k, row in enumerate(last["rows"]):
        ratios = " | ".join(f"{r['rows'][k]['ratio']:.2f}" for r in results)
        print(f"| {row['name']} | {ratios} | {row['kib']} | {row['differ']} "
              f"(length {row['length']:+d}) | {row['times']} |")
    if unavailable:
        print("| subsrt-ts (node) | " + " | ".join(["unavailable"] * len(sizes))
              + f" | | {unavailable} | |")


def print_details(results, unavailable):
    print("| file | program | median ms | × copy | peak KiB | bytes differing outside times "
          "| length change | sync times |")
    print("|---|---|---:|---:|---:|---:|---:|---|")
    for result in results:
        label = f"{result['mebibytes']} MiB ({result['bytes']} bytes)"
        for row in result["rows"]:
            print(f"| {label} | {row['name']} | {row['median'] * 1000:.1f} | {row['ratio']:.2f} "
                  f"| {row['kib']} | {row['differ']} | {row['length']:+d} | {row['times']} |")
        if unavailable:
            print(f"| {label} | subsrt-ts (node) | unavailable: {unavailable} | | | | | |")


def print_keeps(results):
    """Line ends, the HEAD and the text bytes of each output of the largest file."""
    last = results[-1]
    first = last["rows"][0]
    print("| program | output bytes | HEAD (STYLE block) | line ends | bytes ≥ 0x80 "
          "| not CP949 |")
    print("|---|---:|---|---|---:|---:|")
    print(f"| input | {last['bytes']} | | {first['in_crlf']} CR LF | {first['in_high']} "
          f"| {first['in_cp949']} |")
    for row in last["rows"]:
        print(f"| {row['name']} | {row['size']} | {row['head']} | {row['crlf']} | {row['high']} "
              f"| {row['cp949']} |")


def print_tables(results, unavailable):
    reps = ", ".join(f"{r['mebibytes']} MiB: {r['reps']}" for r in results)
    print(f"Medians of interleaved runs ({reps}) after one warm-up round; × copy divides by")
    print("the `dd bs=1M` median of the same file. Bytes differing: after the digits behind")
    print('every "<SYNC START=" are removed from input and output, compared at equal offsets.')
    print()
    print_summary(results, unavailable)
    print()
    print("Each file:")
    print()
    print_details(results, unavailable)
    print()
    print(f"What each output of the {results[-1]['mebibytes']} MiB file keeps:")
    print()
    print_keeps(results)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--scratch", required=True)
    parser.add_argument("--cli", required=True)
    parser.add_argument("--make-sami", required=True)
    parser.add_argument("--subsrt", help="the node script, when subsrt-ts is installed")
    parser.add_argument("--subsrt-version", default="")
    parser.add_argument("--unavailable", default="", help="why subsrt-ts is missing")
    parser.add_argument("--shift", type=int, default=1500)
    parser.add_argument("--sizes", default="1,16,64")
    parser.add_argument("--reps", default="1:15,16:7,64:5", help="MiB:runs,...")
    args = parser.parse_args()
    args.reps = {int(k): int(v) for k, v in (p.split(":") for p in args.reps.split(","))}
    results = []
    for mebibytes in (int(s) for s in args.sizes.split(",")):
        print(f"peers: {mebibytes} MiB ...", file=sys.stderr)
        results.append(measure_size(args, mebibytes))
    print_tables(results, args.unavailable)


if __name__ == "__main__":
    main()
