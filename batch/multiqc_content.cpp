#include "batch/multiqc_content.h"

#include "batch/run_json.h"
#include "run/position_stats.h"

namespace kelmarin {

namespace {

// One section: a line plot of each sample's values by bucket; a missing value leaves its
// bucket out of that sample's line.
template <typename Value>
std::string LinePlot(const std::string& id, const std::string& word, const std::string& what,
                     const std::string& options, const std::vector<SampleProfile>& samples,
                     Value value) {
    std::string data;
    for (const SampleProfile& s : samples) {
        std::string points;
        for (int b = 1; b <= ProfileTable::kBuckets; ++b) {
            const std::string v = value(s, b);
            if (v.empty()) continue;
            if (!points.empty()) points += ',';
            points += '"';
            points += std::to_string(b);
            points += "\":";
            points += v;
        }
        if (!data.empty()) data += ',';
        data += JsonString(s.sample) + ":{" + points + "}";
    }
    const std::string description = what + " of " + word +
                                    " by bucket of the sequence length. kelmarin-batch options: " +
                                    (options.empty() ? std::string("none") : options) + ".";
    return "{\"id\":" + JsonString(id) +
           ",\"parent_id\":\"kelmarin\",\"parent_name\":\"Kelmarin\","
           "\"parent_description\":\"Where words begin in each sequence, as a percentage of its "
           "length in 100 buckets.\",\"section_name\":" +
           JsonString(word + (what == "Occurrences" ? "" : ": observed / expected")) +
           ",\"description\":" + JsonString(description) +
           ",\"plot_type\":\"linegraph\",\"pconfig\":{\"id\":" + JsonString(id + "_plot") +
           ",\"title\":" + JsonString(word) +
           ",\"xlab\":\"Bucket (percentage of the sequence length)\",\"ylab\":" + JsonString(what) +
           ",\"xDecimals\":false},\"data\":{" + data + "}}\n";
}

}  // namespace

std::vector<std::pair<std::string, std::string>> MultiqcFiles(
    const std::vector<std::string>& words, const std::vector<SampleProfile>& samples, bool ratios,
    const std::string& options) {
    std::vector<std::pair<std::string, std::string>> files;
    for (std::size_t w = 0; w < words.size(); ++w) {
        const std::string id = "kelmarin_word" + std::to_string(w + 1);
        files.emplace_back(id + "_mqc.json",
                           LinePlot(id, words[w], "Occurrences", options, samples,
                                    [w](const SampleProfile& s, int b) {
                                        return std::to_string(s.shown.rows[w][std::size_t(b - 1)]);
                                    }));
        if (!ratios) continue;
        files.emplace_back(
            id + "_ratio_mqc.json",
            LinePlot(id + "_ratio", words[w], "Observed / expected", options, samples,
                     [w](const SampleProfile& s, int b) {
                         if (w >= s.shown.expected.size()) return std::string();
                         const double e = s.shown.expected[w][std::size_t(b - 1)];
                         if (e == 0) return std::string();
                         return NumberText(double(s.shown.rows[w][std::size_t(b - 1)]) / e);
                     }));
    }
    return files;
}

}  // namespace kelmarin
