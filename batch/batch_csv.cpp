#include "batch/batch_csv.h"

#include "input/sequence_reader.h"

namespace kelmarin {

std::string CsvField(const std::string& text) {
    const bool quote = text.find_first_of(",\"\r\n") != std::string::npos ||
                       (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    if (!quote) return text;
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + '"';
}

std::string ProfileCsv(const std::array<std::string, 4>& words, const WordProfile& profile) {
    std::array<std::string, 4> lower = words;
    std::string csv = "bucket";
    for (auto& w : lower) {
        LowerCaseAscii(w);
        if (w.empty()) continue;
        csv += ',';
        csv += CsvField(w);
    }
    csv += '\n';
    for (int b = 1; b <= WordProfile::kBuckets; ++b) {
        csv += std::to_string(b);
        for (int r = 1; r <= WordProfile::kRows; ++r)
            if (!lower[r - 1].empty()) {
                csv += ',';
                csv += std::to_string(profile.ProfileRow(r)[b - 1]);
            }
        csv += '\n';
    }
    return csv;
}

}  // namespace kelmarin
