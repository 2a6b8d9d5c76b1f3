#pragma once
// kelmarin-batch -w WORD... FILE...: each FILE read as a sample named after it, up to --threads
// of them at once, a failing one reported without stopping the others; the profiles as one CSV
// on standard output or one per sample in --outdir, and MultiQC content in --mqc.

#include <string>

#include "batch/batch_options.h"

namespace kelmarin {

// The exit status: 0, 1 when a file failed or an output could not be written, 2 when two files
// give one sample name (nothing is read then). writeProfile puts text on standard output.
int RunSamples(const BatchCommand& command, int (*writeProfile)(const std::string&));

}  // namespace kelmarin
