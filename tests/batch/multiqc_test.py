#!/usr/bin/env python3
"""kelmarin-batch --mqc read by MultiQC itself: three samples give, for each word, a line plot
titled with the word whose series are the samples and whose points are their profiles, and with
--stats a second plot of observed / expected; all under one Kelmarin heading, the options in the
descriptions.

usage: multiqc_test.py KELMARIN_BATCH
"""
import csv
import io
import json
import os
import subprocess
import sys
import tempfile


def main():
    batch = os.path.abspath(sys.argv[1])
    with tempfile.TemporaryDirectory() as tmp:
        files = []
        for name, body in (("treated.fa", "ATGAAATAA\n" * 3), ("control.fa.gz", None),
                           ("reads_1.fq", "@r\nATGCATGC\n+\nIIIIIIII\n")):
            path = os.path.join(tmp, name)
            if body is None:
                subprocess.run(["sh", "-c", f"printf '>c\\nCCATGATGCC\\n' | gzip > '{path}'"],
                               check=True)
            else:
                with open(path, "w") as f:
                    f.write(body.replace("ATGAAATAA", ">s\nATGAAATAA") if name.endswith(".fa")
                            else body)
            files.append(path)
        mqc = os.path.join(tmp, "mqc")
        run = subprocess.run([batch, "--frame", "-w", "atg", "-w", "taa", "--stats", "--mqc", mqc]
                             + files, capture_output=True, text=True)
        assert run.returncode == 0, run.stderr
        profiles = {}  # (sample, word) -> {bucket: count}
        for row in csv.DictReader(io.StringIO(run.stdout)):
            for word in ("atg", "taa"):
                profiles.setdefault((row["sample"], word), {})[int(row["bucket"])] = int(row[word])
        out = os.path.join(tmp, "report")
        subprocess.run(["multiqc", "-q", "-o", out, mqc], check=True, capture_output=True)
        with open(os.path.join(out, "multiqc_data", "multiqc_data.json")) as f:
            data = json.load(f)
        plots = data["report_plot_data"]
        for i, word in enumerate(("atg", "taa"), 1):
            plot = plots[f"kelmarin_word{i}_plot"]
            assert plot["config"]["title"] == word, plot["config"]
            series = {s["name"]: s["data"] for s in plot["datasets"][0]}
            assert sorted(series) == ["control", "reads_1", "treated"], sorted(series)
            for sample, points in series.items():
                assert {int(x): int(y) for x, y in points} == profiles[(sample, word)], sample
            ratio = plots[f"kelmarin_word{i}_ratio_plot"]
            assert ratio["config"]["title"] == word
            assert {s["name"] for s in ratio["datasets"][0]} == set(series)
        with open(os.path.join(out, "multiqc_report.html")) as f:
            report = f.read()
        assert 'id="kelmarin"' in report or ">Kelmarin<" in report, "no Kelmarin heading"
        assert "--frame" in report, "the options are not in the descriptions"
    print("ok")


if __name__ == "__main__":
    main()
