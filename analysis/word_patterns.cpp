#include "analysis/word_patterns.h"

#include <cstring>

namespace kelmarin {

namespace {

// A letter that stands for one base at most matches exactly the bytes of its base, and u also t.
bool StandsForOneBase(char letter) {
    const std::uint8_t set = BaseSet(letter);
    return (set & (set - 1)) == 0;
}

}  // namespace

void WordPatterns::Prepare(const Words& words, WordMatching matching) {
    if (built_ && words == words_ && matching == matching_) return;
    words_ = words;
    matching_ = matching;
    Build();
    built_ = true;
}

void WordPatterns::Build() {
    bytesSuffice_ = true;
    for (int r = 0; r < kWords; ++r) {
        bytes_[r] = words_[r];
        bytes_[kWords + r] =
            matching_.bothStrands ? ReverseComplement(words_[r], matching_.iupac) : std::string();
    }
    for (int t = 0; t < 2 * kWords; ++t) {
        tests_[t].clear();
        if (!matching_.iupac) continue;
        for (char& c : bytes_[t]) {
            tests_[t].push_back(IupacLetterTest(c));
            bytesSuffice_ = bytesSuffice_ && StandsForOneBase(c);
            if (c == 'u') c = 't';
        }
    }
    WordScanner::Words byBytes, byTests;
    for (int t = 0; t < 2 * kWords; ++t) {
        byBytes[t] = {bytes_[t], nullptr, 0};
        byTests[t] = {bytes_[t], tests_[t].data(), 0};
    }
    byBytes_ = WordScanner::Plan(byBytes);
    byTests_ = WordScanner::Plan(byTests);
}

WordScanner::Plan& WordPatterns::Chosen(std::string_view bytes) {
    const bool exact = !matching_.iupac ||
                       (bytesSuffice_ && std::memchr(bytes.data(), 'u', bytes.size()) == nullptr);
    return exact ? byBytes_ : byTests_;
}

const WordScanner::Plan& WordPatterns::ForBytes(std::string_view bytes) { return Chosen(bytes); }

const WordScanner::Plan& WordPatterns::For(std::string_view seq) {
    WordScanner::Plan& scan = Chosen(seq);
    if (!matching_.bothStrands) return scan;
    // Position 1 of the reverse strand is seq's last byte, where a word found at start s on the
    // given strand begins at its end, s + size - 1.
    for (int t = kWords; t < 2 * kWords; ++t) {
        const std::size_t size = bytes_[t].size();
        if (size <= seq.size()) scan.SetPhase(t, unsigned((seq.size() - size) % 3));
    }
    return scan;
}

}  // namespace kelmarin
