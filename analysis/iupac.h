#pragma once
// IUPAC nucleotide codes: which bases a letter stands for, its complement, and the one-byte code
// of a sequence byte under which "the sequence letter's bases all lie in the word letter's set"
// is a mask and a compare. Lower-case letters only: sequences and words are lower-cased before.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kelmarin {

// Bases as bits of a set: a 1, c 2, g 4, t 8.
enum Base : std::uint8_t { kBaseA = 1, kBaseC = 2, kBaseG = 4, kBaseT = 8 };

// The set a letter stands for (u as t), or 0 for a letter that is no IUPAC code.
std::uint8_t BaseSet(char letter);

// One byte per sequence byte: its base set for an IUPAC letter (1 to 15); any other byte keeps a
// code of its own from 16 up (bytes below 16 take the places the letters left), so that equal
// codes mean equal bytes apart from t and u.
extern const std::array<std::uint8_t, 256> kSequenceCode;

inline std::uint8_t SequenceCode(char c) { return kSequenceCode[static_cast<unsigned char>(c)]; }

// How one word letter tests a sequence byte c: it matches when
// (SequenceCode(c) & keep) == want. An IUPAC letter keeps every bit outside its set and wants
// none of them, which also refuses the codes from 16 up; any other letter wants its own code.
struct LetterTest {
    std::uint8_t keep, want;
    bool Matches(char c) const { return (SequenceCode(c) & keep) == want; }
};
LetterTest IupacLetterTest(char wordLetter);

// The complement of a word letter: a, c, g and t always; with iupac also the other codes
// (u's complement is a). Any other letter stays as it is.
char Complement(char letter, bool iupac);
std::string ReverseComplement(std::string_view word, bool iupac);

}  // namespace kelmarin
