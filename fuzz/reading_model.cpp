#include "fuzz/reading_model.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <utility>

namespace kelmarin::model {

static_assert(LDBL_MANT_DIG == 64, "the bucket rule needs the 80-bit extended format");

LineFile::LineFile(std::string bytes) : bytes_(std::move(bytes)) {
    end_ = bytes_.find('\x1A');
    if (end_ == std::string::npos) end_ = bytes_.size();
}

std::string LineFile::NextLine() {
    std::string line;
    // The line: up to LF, or up to a CR followed by LF; any other CR is dropped.
    while (pos_ < end_) {
        const char c = bytes_[pos_];
        if (c == '\n') break;
        if (c == '\r') {
            if (pos_ + 1 < end_ && bytes_[pos_ + 1] == '\n') break;
            ++pos_;
            continue;
        }
        line += c;
        ++pos_;
    }
    // Its end: bytes up to and including a LF; after a CR, one more byte is looked at.
    while (pos_ < end_) {
        const char c = bytes_[pos_++];
        if (c == '\n') break;
        if (c == '\r') {
            if (pos_ >= end_) break;
            if (bytes_[pos_] == '\n') {
                ++pos_;
                break;
            }
        }
    }
    return line;
}

void LowerCase(std::string& s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
}

bool IsHeader(const std::string& line) { return line.find('>') != std::string::npos; }

bool HasStopCodon(const std::string& seq) {
    const std::size_t n = seq.size();
    std::size_t p = 1;
    bool found = false;
    for (;;) {
        if (p + 2 <= n) {
            const std::string codon = seq.substr(p - 1, 3);
            if (codon == "taa" || codon == "tag" || codon == "tga") found = true;
        }
        p += 3;
        if (found || n < p + 6) return found;
    }
}

Reader::Reader(std::string bytes, Mode mode, std::string& look)
    : file_(bytes), mode_(mode), look_(look) {
    LineFile counting(std::move(bytes));
    if (mode_ == Mode::Fastq) {
        // Records up to the end, or up to the first fault.
        std::uint64_t line = 0;
        std::string seq;
        while (ReadFastqRecord(counting, line, seq)) ++total_;
        return;
    }
    do {
        const std::string line = counting.NextLine();
        if (mode_ == Mode::Text || IsHeader(line)) ++total_;
    } while (!counting.AtEnd());
}

bool Reader::ReadFastqRecord(LineFile& file, std::uint64_t& line, std::string& seq) {
    const auto fail = [&](std::uint64_t at) {
        fault_ = at;
        return false;
    };
    seq.clear();
    std::string text;
    do {  // empty lines between records
        if (file.AtEnd()) return false;
        text = file.NextLine();
        ++line;
    } while (text.empty());
    const std::uint64_t header = line;
    if (text[0] != '@') return fail(line);
    for (;;) {
        if (file.AtEnd()) return fail(header);
        text = file.NextLine();
        ++line;
        if (!text.empty() && text[0] == '+') break;
        if (!text.empty() && text[0] == '@') return fail(line);
        seq += text;
    }
    for (std::size_t quality = 0; quality < seq.size();) {
        if (file.AtEnd()) return fail(header);
        quality += file.NextLine().size();
        ++line;
        if (quality > seq.size()) return fail(line);
    }
    return true;
}

std::string Reader::ReadFastaRecord() {
    std::string result;
    while (!file_.AtEnd() && !IsHeader(look_)) look_ = file_.NextLine();
    if (!file_.AtEnd()) look_ = file_.NextLine();
    while (!IsHeader(look_)) {
        result += look_;
        if (file_.AtEnd()) break;
        look_ = file_.NextLine();
    }
    LowerCase(result);
    return result;
}

std::string Reader::NextSequence(bool rejectStop) {
    do {
        std::string seq;
        if (mode_ == Mode::Fasta) {
            seq = ReadFastaRecord();
        } else if (mode_ == Mode::Fastq) {
            ReadFastqRecord(file_, line_, seq);
            LowerCase(seq);
        } else {
            seq = file_.NextLine();
            LowerCase(seq);
        }
        if (rejectStop && HasStopCodon(seq)) seq.clear();
        if (!seq.empty()) return seq;
    } while (!file_.AtEnd());
    return {};
}

namespace {

// The bases an IUPAC letter stands for; none for any other byte.
std::string Bases(char c) {
    switch (c) {
        case 'a':
            return "a";
        case 'c':
            return "c";
        case 'g':
            return "g";
        case 't':
            return "t";
        case 'u':
            return "t";
        case 'r':
            return "ag";
        case 'y':
            return "ct";
        case 's':
            return "cg";
        case 'w':
            return "at";
        case 'k':
            return "gt";
        case 'm':
            return "ac";
        case 'b':
            return "cgt";
        case 'd':
            return "agt";
        case 'h':
            return "act";
        case 'v':
            return "acg";
        case 'n':
            return "acgt";
        default:
            return "";
    }
}

// A sequence letter matches a word letter whose bases hold all of its own; a byte without
// bases matches only itself.
bool Matches(char seqLetter, char wordLetter, bool iupac) {
    const std::string s = Bases(seqLetter), w = Bases(wordLetter);
    if (!iupac || s.empty() || w.empty()) return seqLetter == wordLetter;
    for (char base : s)
        if (w.find(base) == std::string::npos) return false;
    return true;
}

// The complement: the letter whose bases are the complements of this one's.
char Complement(char c, bool iupac) {
    const std::string bases = Bases(c);
    if (bases.empty() || (!iupac && c == 'u') || (!iupac && bases.size() > 1)) return c;
    std::string wanted;
    for (char b : std::string("acgt"))
        if (bases.find(b == 'a' ? 't' : b == 'c' ? 'g' : b == 'g' ? 'c' : 'a') != std::string::npos)
            wanted += b;
    for (char letter : std::string("acgtrysw"
                                   "kmbdhvn"))
        if (Bases(letter) == wanted) return letter;
    return c;
}

void CountStrand(Row& row, const std::string& strand, const std::string& w, bool inFrame,
                 bool iupac) {
    std::string rest = strand;
    std::size_t offset = 0;
    const auto letters = [iupac](char s, char wl) { return Matches(s, wl, iupac); };
    for (;;) {
        const auto at = std::search(rest.begin(), rest.end(), w.begin(), w.end(), letters);
        if (at == rest.end()) break;
        const std::size_t found = std::size_t(at - rest.begin());
        const std::size_t a = offset + found + 1;
        if (!inFrame || (a - 1) % 3 == 0) {
            const long double q = static_cast<long double>(a) / strand.size();
            const long double v = q * 100;
            long bucket = std::lrintl(v);  // default rounding: nearest, ties to even
            if (bucket == 0) bucket = 1;
            ++row[std::size_t(bucket - 1)];
        }
        offset = a;
        rest = rest.substr(found + 1);
    }
}

}  // namespace

void CountSequence(Profile& profile, const std::string& seq, const Words& words, bool inFrame,
                   Matching matching) {
    std::string reverse(seq.rbegin(), seq.rend());
    for (char& c : reverse) c = Complement(c, matching.iupac);
    for (std::size_t r = 0; r < words.size(); ++r) {
        if (words[r].empty()) continue;
        CountStrand(profile[r], seq, words[r], inFrame, matching.iupac);
        if (matching.bothStrands)
            CountStrand(profile[r], reverse, words[r], inFrame, matching.iupac);
    }
}

}  // namespace kelmarin::model
