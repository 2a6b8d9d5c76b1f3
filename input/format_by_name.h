#pragma once
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

}  // namespace kelmarin
