#!/usr/bin/env python3
"""Writes the sample files: coding-like sequences made up with a fixed seed.

coding.fa    300 open reading frames as FASTA (ATG, sense codons, a stop codon at the end),
             wrapped at 60 letters;
coding.txt   the same sequences, one per line;
mixed.txt    200 lines of random bases, some of them with in-frame stop codons.
"""
import random

STOPS = {"TAA", "TAG", "TGA"}
CODONS = [a + b + c for a in "ACGT" for b in "ACGT" for c in "ACGT" if a + b + c not in STOPS]


def orf(rng):
    body = "".join(rng.choice(CODONS) for _ in range(rng.randint(60, 600)))
    return "ATG" + body + rng.choice(sorted(STOPS))


def main():
    rng = random.Random(1208)
    seqs = [orf(rng) for _ in range(300)]
    with open("coding.fa", "w", newline="\n") as fa:
        for i, s in enumerate(seqs, 1):
            fa.write(f">orf{i:03d} made-up coding sequence, {len(s)} bp\n")
            for k in range(0, len(s), 60):
                fa.write(s[k:k + 60] + "\n")
    with open("coding.txt", "w", newline="\n") as txt:
        txt.write("\n".join(seqs) + "\n")
    with open("mixed.txt", "w", newline="\n") as txt:
        for _ in range(200):
            txt.write("".join(rng.choice("ACGT") for _ in range(rng.randint(90, 900))) + "\n")


if __name__ == "__main__":
    main()
