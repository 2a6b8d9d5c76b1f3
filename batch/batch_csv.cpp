#include "batch/batch_csv.h"

#include "batch/profile_table.h"
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
    ProfileTable table;
    for (int r = 1; r <= WordProfile::kRows; ++r) {
        std::string w = words[r - 1];
        LowerCaseAscii(w);
        if (w.empty()) continue;
        table.words.push_back(std::move(w));
        table.rows.push_back(profile.ProfileRow(r));
    }
    return ProfileTableCsv(table);
}

}  // namespace kelmarin
