#include "run/profile_csv.h"

#include "input/sequence_reader.h"

namespace kelmarin {

std::string DelimitedField(const std::string& text, char separator) {
    const char special[] = {separator, '"', '\r', '\n', '\0'};
    const bool quote = text.find_first_of(special) != std::string::npos ||
                       (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    if (!quote) return text;
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + '"';
}

ProfileTable RunProfileTable(const WordProfile::Words& words, const WordProfile::Rows& rows) {
    ProfileTable table;
    for (int r = 1; r <= WordProfile::kRows; ++r) {
        std::string w = words[r - 1];
        LowerCaseAscii(w);
        if (w.empty()) continue;
        table.words.push_back(std::move(w));
        table.rows.push_back(rows[std::size_t(r - 1)]);
    }
    return table;
}

ProfileTable RunProfileTable(const WordProfile::Words& words, const WordProfile::Rows& rows,
                             const ExpectedProfile::Rows& expected) {
    ProfileTable table = RunProfileTable(words, rows);
    for (int r = 0; r < WordProfile::kRows; ++r)
        if (!words[r].empty()) table.expected.push_back(expected[r]);
    return table;
}

std::vector<int> WordSeries(const WordProfile::Words& words) {
    std::vector<int> series;
    for (int r = 1; r <= WordProfile::kRows; ++r)
        if (!words[std::size_t(r - 1)].empty()) series.push_back(r);
    return series;
}

std::string ProfileCsv(const WordProfile::Words& words, const WordProfile::Rows& rows) {
    return ProfileTableCsv(RunProfileTable(words, rows));
}

}  // namespace kelmarin
