#include "analysis/iupac.h"

namespace kelmarin {

namespace {

// The IUPAC letters in byte order, and the set each stands for.
constexpr std::string_view kLetters = "abcdghkmnrstuvwy";
constexpr std::uint8_t kSets[16] = {
    kBaseA,                             // a
    kBaseC | kBaseG | kBaseT,           // b
    kBaseC,                             // c
    kBaseA | kBaseG | kBaseT,           // d
    kBaseG,                             // g
    kBaseA | kBaseC | kBaseT,           // h
    kBaseG | kBaseT,                    // k
    kBaseA | kBaseC,                    // m
    kBaseA | kBaseC | kBaseG | kBaseT,  // n
    kBaseA | kBaseG,                    // r
    kBaseC | kBaseG,                    // s
    kBaseT,                             // t
    kBaseT,                             // u
    kBaseA | kBaseC | kBaseG,           // v
    kBaseA | kBaseT,                    // w
    kBaseC | kBaseT,                    // y
};

constexpr std::uint8_t SetOf(char letter) {
    const std::size_t i = kLetters.find(letter);
    return i == std::string_view::npos ? 0 : kSets[i];
}

// A set's complement swaps a with t and c with g.
constexpr std::uint8_t ComplementSet(std::uint8_t set) {
    return std::uint8_t((set & kBaseA) << 3 | (set & kBaseT) >> 3 | (set & kBaseC) << 1 |
                        (set & kBaseG) >> 1);
}

constexpr std::array<std::uint8_t, 256> BuildCodes() {
    std::array<std::uint8_t, 256> codes{};
    for (int b = 0; b < 256; ++b) {
        const std::uint8_t set = SetOf(char(b));
        codes[std::size_t(b)] = set      ? set
                                : b < 16 ? std::uint8_t(kLetters[std::size_t(b)])
                                         : std::uint8_t(b);
    }
    return codes;
}

}  // namespace

const std::array<std::uint8_t, 256> kSequenceCode = BuildCodes();

std::uint8_t BaseSet(char letter) { return SetOf(letter); }

LetterTest IupacLetterTest(char wordLetter) {
    const std::uint8_t set = SetOf(wordLetter);
    if (set == 0) return {0xFF, SequenceCode(wordLetter)};
    return {std::uint8_t(~set), 0};
}

char Complement(char letter, bool iupac) {
    switch (letter) {
        case 'a':
            return 't';
        case 't':
            return 'a';
        case 'c':
            return 'g';
        case 'g':
            return 'c';
        default:
            break;
    }
    const std::uint8_t set = iupac ? SetOf(letter) : 0;
    if (set == 0) return letter;
    // The one letter of the complement set; t rather than u stands for {t}.
    const std::uint8_t wanted = ComplementSet(set);
    for (std::size_t i = 0; i < kLetters.size(); ++i)
        if (kSets[i] == wanted) return kLetters[i];
    return letter;
}

std::string ReverseComplement(std::string_view word, bool iupac) {
    std::string out(word.rbegin(), word.rend());
    for (char& c : out) c = Complement(c, iupac);
    return out;
}

}  // namespace kelmarin
