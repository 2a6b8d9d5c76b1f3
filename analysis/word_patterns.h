#pragma once
// The scanner's words for the four words of a run: each word as typed and, with both strands,
// its reverse complement too; matched byte for byte, or letter by letter as IUPAC codes. They
// are built once for a run's words and options and kept while those stay the same.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/iupac.h"
#include "analysis/word_scanner.h"

namespace kelmarin {

// How words match, beside in-frame reading.
struct WordMatching {
    bool iupac = false;        // word letters stand for the bases of their IUPAC codes
    bool bothStrands = false;  // each word is also looked for on the reverse strand
    bool operator==(const WordMatching&) const = default;
};

class WordPatterns {
  public:
    static constexpr int kWords = 4;
    using Words = std::array<std::string, kWords>;

    WordPatterns() = default;
    // A copy prepares its own words: the scanner's words point into their owner.
    WordPatterns(const WordPatterns&) {}
    WordPatterns& operator=(const WordPatterns&) {
        built_ = false;
        return *this;
    }

    void Prepare(const Words& words, WordMatching matching);

    // The scanner's words for seq: word r on the given strand, then at kWords + r its reverse
    // complement, which counts in frame on its own strand (that strand begins at seq's end).
    // Prepared once for all sequences; only the reverse strand's phases change from one
    // sequence to the next, and stay until the next call.
    const WordScanner::Plan& For(std::string_view seq);
    // The scanner's words for the bytes of any number of sequences laid end to end, their
    // phases as they stand: for a scan that leaves in-frame reading to its caller.
    const WordScanner::Plan& ForBytes(std::string_view bytes);

  private:
    void Build();
    WordScanner::Plan& Chosen(std::string_view bytes);

    Words words_;
    WordMatching matching_;
    bool built_ = false;
    std::array<std::string, 2 * kWords> bytes_;
    std::array<std::vector<LetterTest>, 2 * kWords> tests_;  // with IUPAC codes
    // Every word letter stands for one base at most: the bytes match alike, with t for u, in a
    // sequence that holds no u.
    bool bytesSuffice_ = false;
    WordScanner::Plan byBytes_, byTests_;  // as matched byte for byte, or letter by letter
};

}  // namespace kelmarin
