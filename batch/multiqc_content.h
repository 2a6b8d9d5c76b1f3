#pragma once
// kelmarin-batch --mqc: MultiQC custom content, one file per word and plot, each a line plot
// with one series per sample, all under one Kelmarin heading.

#include <string>
#include <vector>

#include "run/profile_table.h"

namespace kelmarin {

struct SampleProfile {
    std::string sample;
    ProfileTable shown;  // its words, counts and expected profiles
};

// The files to write into the --mqc folder, name and content: for word i (1 to 4 in the order
// of the non-empty words) kelmarin_word<i>_mqc.json, its counts by bucket, and with ratios
// kelmarin_word<i>_ratio_mqc.json, observed / expected (buckets that expect nothing left out).
// options: the run's options as typed, for the descriptions.
std::vector<std::pair<std::string, std::string>> MultiqcFiles(
    const std::vector<std::string>& words, const std::vector<SampleProfile>& samples, bool ratios,
    const std::string& options);

}  // namespace kelmarin
