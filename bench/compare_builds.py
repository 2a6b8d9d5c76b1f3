#!/usr/bin/env python3
"""Two kelmarin-batch programs (an earlier build and this one) on each of batch_bench.py's
kelmarin-batch cases, their runs taken in turn so that a change of the machine's load weighs on
both alike: best times, and this build's time as a share of the earlier one's (under 1.03 is
within 3 %). Both must give the same standard output, byte for byte.

usage: bench/compare_builds.py EARLIER_PROGRAM PROGRAM [DATA_DIR] [RUNS]
DATA_DIR holds generated.fa and generated.fq (made by reader_bench, see batch_bench.py).
"""
import os
import subprocess
import sys

from batch_bench import DEGENERATE, WORDS, gzip_copy, interleaved


def cases(data):
    fasta = os.path.join(data, "generated.fa")
    fastq = os.path.join(data, "generated.fq")
    fa_gz, fq_gz = gzip_copy(fasta), gzip_copy(fastq)
    return [
        ("FASTA", [fasta] + WORDS, None),
        ("FASTA .gz", [fa_gz] + WORDS, None),
        ("FASTA - < .gz", ["--fasta", "-"] + WORDS, fa_gz),
        ("FASTQ", [fastq] + WORDS, None),
        ("FASTQ .gz", [fq_gz] + WORDS, None),
        ("FASTQ --frame --reject-stop", ["--frame", "--reject-stop", fastq] + WORDS, None),
        ("--iupac --both-strands", ["--iupac", "--both-strands", fasta] + DEGENERATE, None),
        ("--shard 2/2", ["--shard", "2/2", fasta] + WORDS, None),
    ]


def command(program, args, stdin):
    quoted = " ".join(f"'{a}'" for a in [program] + args)
    return ["sh", "-c", f"exec {quoted} < '{stdin}'"] if stdin else [program] + args


def output(program, args, stdin):
    with open(stdin or os.devnull, "rb") as f:
        return subprocess.run([program] + args, stdin=f, capture_output=True, check=True).stdout


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    earlier, program = sys.argv[1], sys.argv[2]
    data = sys.argv[3] if len(sys.argv) > 3 else "build/bench-data"
    runs = int(sys.argv[4]) if len(sys.argv) > 4 else 5
    worst = 0.0
    print(f"{'case':30s} {'earlier':>9s} {'this':>9s} {'this/earlier':>13s}")
    for name, args, stdin in cases(data):
        if output(earlier, args, stdin) != output(program, args, stdin):
            sys.exit(f"{name}: the two programs' outputs differ")
        (old, _), (new, _) = interleaved([command(earlier, args, stdin),
                                          command(program, args, stdin)], runs)
        worst = max(worst, new / old)
        print(f"{name:30s} {old:8.3f}s {new:8.3f}s {new / old:12.3f}x")
    print(f"worst: {worst:.3f}x the earlier time ({'within' if worst <= 1.03 else 'beyond'} 3 %)")


if __name__ == "__main__":
    main()
