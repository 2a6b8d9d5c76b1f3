#!/usr/bin/env python3
"""The Snakemake workflow on a few small FASTA and FASTQ files, some of them gzip, with and
without shards: its merged profile must equal the whole runs of kelmarin-batch over the FASTA
files joined and over the FASTQ files joined, added up, and the merged statistics table must
hold those counts; the MultiQC report over the inputs has a plot per word.

usage: workflow_test.py KELMARIN_BATCH SNAKEFILE
"""
import gzip
import json
import os
import random
import subprocess
import sys
import tempfile

WORDS = ["atg", "TA", "g c"]
OPTIONS = "--frame"  # the names tell FASTA from FASTQ


def fasta(rng, records, eol):
    lines = []
    for r in range(records):
        lines.append(f">r{r} a record")
        seq = "".join(rng.choice("ACGTacgt ") for _ in range(rng.randint(0, 400)))
        lines += [seq[i:i + 60] for i in range(0, len(seq), 60)]
    return (eol.join(lines) + eol).encode()


def fastq(rng, records, eol):
    """Multi-line reads whose qualities begin with '@' and '+' as often as not."""
    lines = []
    for r in range(records):
        seq = "".join(rng.choice("ACGTacgt") for _ in range(rng.randint(0, 200)))
        quality = "".join(rng.choice("@+I#") for _ in seq)
        lines.append(f"@r{r}")
        lines += [seq[i:i + 70] for i in range(0, len(seq), 70)] or [""]
        lines.append("+")
        lines += [quality[i:i + 50] for i in range(0, len(quality), 50)]
    return (eol.join(lines) + eol).encode()


def csv_counts(csv):
    """{(word, bucket): count} of a profile's CSV bytes (these words hold no comma)."""
    lines = csv.decode().splitlines()
    words = [w.strip('"') for w in lines[0].split(",")[1:]]
    return {(w, row.split(",")[0]): row.split(",")[i + 1]
            for row in lines[1:] for i, w in enumerate(words)}


def stats_counts(name):
    """{(word, bucket): observed} of a statistics table."""
    with open(name) as f:
        rows = [line.rstrip("\n").split("\t") for line in f][1:]
    return {(r[0].strip('"'), r[1]): r[2] for r in rows}


def multiqc_plots(report):
    """The plot ids of a MultiQC report's data, or none."""
    try:
        with open(os.path.join(report, "multiqc_data", "multiqc_data.json")) as f:
            return set(json.load(f)["report_plot_data"])
    except (OSError, KeyError, ValueError):
        return set()


def main():
    batch, snakefile = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    rng = random.Random(7)
    with tempfile.TemporaryDirectory() as tmp:
        inputs, wholes = [], []
        for ext, make in (("fa", fasta), ("fq", fastq)):
            contents = [make(rng, 40 + 20 * i, eol) for i, eol in enumerate(["\n", "\r\n", "\n"])]
            for i, content in enumerate(contents):
                inputs.append(os.path.join(tmp, f"{ext}{i}.{ext}" + (".gz" if i == 2 else "")))
                with open(inputs[-1], "wb") as f:
                    f.write(gzip.compress(content) if i == 2 else content)
            joined = os.path.join(tmp, f"all.{ext}")
            with open(joined, "wb") as out:
                out.write(b"".join(contents))
            wholes.append(os.path.join(tmp, f"all.{ext}.csv"))
            with open(wholes[-1], "wb") as out:
                subprocess.run([batch] + OPTIONS.split() + [joined] + WORDS, check=True,
                               stdout=out, stderr=subprocess.DEVNULL)
        single = subprocess.run([batch, "--merge"] + wholes, check=True,
                                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout

        failures = 0
        for shards in (1, 3):
            work = os.path.join(tmp, f"work{shards}")
            os.mkdir(work)
            config = os.path.join(work, "config.yaml")  # JSON is YAML
            with open(config, "w") as f:
                json.dump({"inputs": inputs, "words": WORDS, "options": OPTIONS,
                           "output": "profile.csv", "shards": shards, "batch": batch,
                           "stats": "stats.tsv", "multiqc": "report"}, f)
            run = subprocess.run(["snakemake", "-s", snakefile, "--cores", "2", "--quiet",
                                  "--configfile", config, "--directory", work],
                                 stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
            merged = os.path.join(work, "profile.csv")
            if run.returncode != 0 or not os.path.exists(merged):
                print(f"shards={shards}: snakemake failed\n{run.stdout.decode()}")
                failures += 1
            elif open(merged, "rb").read() != single:
                print(f"shards={shards}: the merged profile differs from the single run")
                failures += 1
            elif stats_counts(os.path.join(work, "stats.tsv")) != csv_counts(single):
                print(f"shards={shards}: the statistics table's counts are not the profile's")
                failures += 1
            elif not multiqc_plots(os.path.join(work, "report")) >= {"kelmarin_word1_plot",
                                                                    "kelmarin_word3_plot"}:
                print(f"shards={shards}: the MultiQC report lacks the words' plots")
                failures += 1
        sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
