#pragma once
#include "input/reading_mode.h"

// The reading mode a file's name suggests, for front-ends that are handed a file without being
// told its format (kelmarin-batch without --fasta, --fastq or --text, a file dropped on the
// window).

#include <string>

namespace kelmarin {

// These endings mean FASTA, in any case and before an optional .gz: .fa, .fas, .fasta, .fna,
// .ffn, .frn.
bool HasFastaExtension(const std::string& name);
// Likewise for FASTQ: .fq and .fastq.
bool HasFastqExtension(const std::string& name);
// Fastq or Fasta by those endings, else None.
ReadingMode ModeOfName(const std::string& name);

// The name a file's results go by: without folders, a final .gz (in any case) and its last
// ending: "run/reads_1.fq.gz" gives "reads_1", "coding.fa" "coding"; a name that is all ending
// (".fa") stays whole.
std::string SampleName(const std::string& name);

}  // namespace kelmarin
