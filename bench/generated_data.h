#pragma once
// The benchmarks' data set, generated with a fixed seed: 200,000 records of 200-1800 random
// bases (about 200 MB), as FASTA with lines of 60-70 letters and as plain text, one per line;
// and 1,333,000 reads of 150 bases (about 440 MB, as many bases as the FASTA) as 4-line FASTQ,
// their qualities random letters from '!' to 'J', '+' and '@' among them.

#include <string>

namespace kelmarin::bench {

// Writes the files into folder unless they are there already; returns their names.
struct GeneratedFiles {
    std::string fasta;
    std::string text;
    std::string fastq;
};
GeneratedFiles EnsureGeneratedData(const std::string& folder);

}  // namespace kelmarin::bench
