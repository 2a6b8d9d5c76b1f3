#!/usr/bin/env python3
"""kelmarin-batch end to end on the generated 200 MB FASTA, beside `cat FILE > /dev/null` and
`seqkit locate` finding the same words, in one run. Prints MB/s, the ratios and peak memory.

usage: bench/batch_bench.py BUILD_DIR [DATA_DIR]
"""
import os
import resource
import shutil
import subprocess
import sys
import time

WORDS = ["atg", "taa", "tag", "gaattc"]


def run(cmd, stdout=subprocess.DEVNULL):
    """Seconds of wall time and the peak resident memory (bytes) of one run of cmd."""
    pid = os.fork()
    if pid == 0:
        fd = os.open(os.devnull, os.O_WRONLY)
        os.dup2(fd, 1)
        os.dup2(fd, 2)
        os.execvp(cmd[0], cmd)
    start = time.perf_counter()
    _, status, usage = os.wait4(pid, 0)
    seconds = time.perf_counter() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"failed: {' '.join(cmd)}")
    return seconds, usage.ru_maxrss * 1024


def best_of(cmd, runs):
    results = [run(cmd) for _ in range(runs)]
    return min(r[0] for r in results), max(r[1] for r in results)


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build"
    data = sys.argv[2] if len(sys.argv) > 2 else os.path.join(build, "bench-data")
    env = dict(os.environ, KELMARIN_BENCH_DATA=data)
    subprocess.run([os.path.join(build, "bench", "reader_bench"), "--benchmark_filter=NONE"],
                   env=env, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    fasta = os.path.join(data, "generated.fa")
    size = os.path.getsize(fasta)
    longest = max_record(fasta)
    subprocess.run(["cat", fasta], stdout=subprocess.DEVNULL, check=True)  # page cache

    batch = [os.path.join(build, "ui", "kelmarin-batch"), fasta] + WORDS
    rows = [("kelmarin-batch", best_of(batch, 5)),
            ("cat > /dev/null", best_of(["sh", "-c", f"cat '{fasta}' > /dev/null"], 5))]
    if shutil.which("seqkit"):
        seqkit = ["seqkit", "locate", "-j1", "-i", "-P", "-p", ",".join(w.upper() for w in WORDS), fasta]
        rows.append(("seqkit locate -j1", best_of(seqkit, 1)))
    print(f"file: {fasta} ({size / 1e6:.0f} MB, longest record {longest} bytes)")
    for name, (seconds, rss) in rows:
        print(f"{name:20s} {seconds:8.3f} s {size / seconds / 1e6:9.0f} MB/s   peak {rss / 2**20:7.1f} MiB")
    batch_s, batch_rss = rows[0][1]
    for name, (seconds, _) in rows[1:]:
        print(f"kelmarin-batch vs {name}: {seconds / batch_s:.2f}x the speed")
    limit = 64 * 2**20 + 2 * longest
    print(f"peak memory {batch_rss / 2**20:.1f} MiB, limit 64 MiB + 2 x longest record = {limit / 2**20:.1f} MiB")


def max_record(fasta):
    longest = current = 0
    with open(fasta, "rb") as f:
        for line in f:
            if b">" in line:
                longest, current = max(longest, current), 0
            else:
                current += len(line.rstrip(b"\r\n"))
    return max(longest, current)


if __name__ == "__main__":
    main()
