#!/usr/bin/env python3
"""kelmarin-batch beyond one process, on the generated 200 MB FASTA: one process against the
Snakemake workflow with 2 shards (and against the two shard processes and --merge run by hand,
without Snakemake), then the cost of --merge over 1,000 profiles. Prints seconds and ratios,
and the load average, since other work on the machine skews the figures.

usage: bench/scale_bench.py BUILD_DIR [DATA_DIR]
"""
import json
import os
import resource
import shutil
import subprocess
import sys
import tempfile
import time

WORDS = ["atg", "taa", "tag", "gaattc"]
RUNS = 3


def cpu_of_children():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime


def seconds(action, runs=RUNS):
    """The best wall time of runs calls of action, with the CPU time (user + system) of the
    processes it ran in that call."""
    best = (float("inf"), 0.0)
    for _ in range(runs):
        cpu = cpu_of_children()
        start = time.perf_counter()
        action()
        best = min(best, (time.perf_counter() - start, cpu_of_children() - cpu))
    return best


def run(cmd, stdout=subprocess.DEVNULL):
    subprocess.run(cmd, check=True, stdout=stdout, stderr=subprocess.DEVNULL)


def parallel(cmds, outputs):
    procs = []
    for cmd, out in zip(cmds, outputs):
        with open(out, "wb") as f:
            procs.append(subprocess.Popen(cmd, stdout=f, stderr=subprocess.DEVNULL))
    if any(p.wait() != 0 for p in procs):
        sys.exit(f"failed: {cmds}")


def find_batch(build):
    for sub in ("batch", "ui"):
        path = os.path.join(build, sub, "kelmarin-batch")
        if os.path.exists(path):
            return os.path.abspath(path)
    sys.exit(f"no kelmarin-batch under {build}")


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build"
    data = sys.argv[2] if len(sys.argv) > 2 else os.path.join(build, "bench-data")
    here = os.path.dirname(os.path.abspath(__file__))
    batch = find_batch(build)
    subprocess.run([os.path.join(build, "bench", "reader_bench"), "--benchmark_filter=NONE"],
                   env=dict(os.environ, KELMARIN_BENCH_DATA=data), check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    fasta = os.path.abspath(os.path.join(data, "generated.fa"))
    size = os.path.getsize(fasta)
    run(["cat", fasta])  # into the page cache
    print(f"file: {fasta} ({size / 1e6:.0f} MB), {os.cpu_count()} cores, "
          f"load average before {os.getloadavg()[0]:.2f}")

    with tempfile.TemporaryDirectory() as tmp:
        whole = [batch, "--fasta", fasta] + WORDS
        single = seconds(lambda: run(whole))
        shard = lambda k: [batch, "--fasta", "--shard", f"{k}/2", fasta] + WORDS
        parts = [os.path.join(tmp, f"part{k}.csv") for k in (1, 2)]

        def by_hand():
            parallel([shard(1), shard(2)], parts)
            run([batch, "--merge"] + parts)
        two = seconds(by_hand)
        first = seconds(lambda: run(shard(1)))
        second = seconds(lambda: run(shard(2)))

        work = os.path.join(tmp, "work")
        os.mkdir(work)
        config = os.path.join(work, "config.yaml")
        with open(config, "w") as f:
            json.dump({"inputs": [fasta], "words": WORDS, "options": "--fasta",
                       "output": "profile.csv", "shards": 2, "batch": batch}, f)
        workflow = seconds(lambda: run(["snakemake", "-s", os.path.join(here, "..", "workflow", "Snakefile"),
                                        "--cores", "2", "--quiet", "--forceall", "--configfile", config,
                                        "--directory", work]))

        profile = subprocess.run(whole, check=True, stdout=subprocess.PIPE,
                                 stderr=subprocess.DEVNULL).stdout
        profiles = []
        for i in range(1000):
            profiles.append(os.path.join(tmp, f"p{i:04d}.csv"))
            with open(profiles[-1], "wb") as f:
                f.write(profile)
        merge = seconds(lambda: run([batch, "--merge"] + profiles))

    def line(name, figures, note=""):
        wall, cpu = figures
        print(f"{name:32s} {wall:7.3f} s wall {cpu:7.3f} s CPU  {note}")

    line("one process", single, f"{size / single[0] / 1e6:.0f} MB/s")
    line("shard 1/2 alone", first)
    line("shard 2/2 alone", second, "(scans the first half for 0x1A)")
    line("2 shards + --merge, by hand", two, f"{single[0] / two[0]:.2f}x one process")
    line("Snakemake workflow, 2 shards", workflow, f"{single[0] / workflow[0]:.2f}x one process")
    line("--merge of 1,000 profiles", merge, f"{merge[0]:.3f} ms per profile")
    print(f"load average after {os.getloadavg()[0]:.2f}")


if __name__ == "__main__":
    main()
