#!/usr/bin/env python3
"""What the expected profile and the bias tests cost: kelmarin-batch with --stats and --json
against the same run without them, on a FASTA genome (four chromosomes of 30 Mb) and on the
generated FASTQ of 150-base reads, runs taken in turn, in one run of this script. Given an
earlier kelmarin-batch (one without the expected profile), its plain runs are timed beside them
too: the profile is gathered on every run, so that ratio is the cost a run without --stats pays.
Goal: --stats within 5 % of the time.

usage: bench/stats_bench.py BUILD_DIR [EARLIER_PROGRAM] [DATA_DIR]
"""
import os
import random
import sys

from batch_bench import WORDS, interleaved, run
import subprocess


def genome(data):
    """genome.fa: four random chromosomes of 30 Mb in lines of 60 bases, made once."""
    name = os.path.join(data, "genome.fa")
    if not os.path.exists(name):
        rng = random.Random(1)
        table = bytes.maketrans(bytes(range(256)), b"ACGT" * 64)
        with open(name + ".tmp", "wb") as out:
            for c in range(1, 5):
                out.write(f">chr{c}\n".encode())
                bases = rng.randbytes(30_000_000).translate(table)
                for i in range(0, len(bases), 60):
                    out.write(bases[i:i + 60] + b"\n")
        os.replace(name + ".tmp", name)
    subprocess.run(["cat", name], stdout=subprocess.DEVNULL, check=True)  # page cache
    return name


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    build = sys.argv[1]
    earlier = sys.argv[2] if len(sys.argv) > 2 and sys.argv[2] else None
    data = sys.argv[3] if len(sys.argv) > 3 else os.path.join(build, "bench-data")
    env = dict(os.environ, KELMARIN_BENCH_DATA=data)
    subprocess.run([os.path.join(build, "bench", "reader_bench"), "--benchmark_filter=NONE"],
                   env=env, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    program = os.path.join(build, "batch", "kelmarin-batch")
    stats = ["--stats", os.devnull, "--json", os.devnull]
    worst = 0.0
    for name, file in (("FASTA genome", genome(data)),
                       ("FASTQ reads", os.path.join(data, "generated.fq"))):
        cmds = [[program, file] + WORDS, [program] + stats + [file] + WORDS]
        if earlier:
            cmds.append([earlier, file] + WORDS)
        times = [best for best, _ in interleaved(cmds, 9)]
        ratio = times[1] / times[0]
        worst = max(worst, ratio)
        line = (f"{name:13s} plain {times[0]:6.3f} s  --stats --json {times[1]:6.3f} s  "
                f"ratio {ratio:.3f}")
        if earlier:
            line += f"  plain against the earlier build {times[0] / times[2]:.3f}"
        print(line)
    print(f"worst --stats ratio {worst:.3f} (goal <= 1.05): {'ok' if worst <= 1.05 else 'MISSED'}")


if __name__ == "__main__":
    main()
