#pragma once
// kelmarin-batch --json: a run as one JSON object, for scripts and notebooks.

#include <cstdint>
#include <string>
#include <vector>

#include "batch/batch_options.h"
#include "run/position_stats.h"

namespace kelmarin {

// program, version, file, mode (the one read in), options, words, processed, then per word its
// observed and expected profiles, ratio (null where nothing is expected), p, q, chi2, df and
// p_uniform.
std::string RunJson(const BatchOptions& options, ReadingMode mode, std::uint64_t processed,
                    const std::vector<WordStats>& stats);

// A JSON string literal of text, UTF-8 passed through, control characters escaped.
std::string JsonString(const std::string& text);

}  // namespace kelmarin
