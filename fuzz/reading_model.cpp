#include "fuzz/reading_model.h"

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

void CountSequence(Profile& profile, const std::string& seq, const Words& words, bool inFrame) {
    for (std::size_t r = 0; r < words.size(); ++r) {
        const std::string& w = words[r];
        if (w.empty()) continue;
        std::string rest = seq;
        std::size_t offset = 0;
        for (;;) {
            const std::size_t found = rest.find(w);
            if (found == std::string::npos) break;
            const std::size_t a = offset + found + 1;
            if (!inFrame || (a - 1) % 3 == 0) {
                const long double q = static_cast<long double>(a) / seq.size();
                const long double v = q * 100;
                long bucket = std::lrintl(v);  // default rounding: nearest, ties to even
                if (bucket == 0) bucket = 1;
                ++profile[r][std::size_t(bucket - 1)];
            }
            offset = a;
            rest = rest.substr(found + 1);
        }
    }
}

}  // namespace kelmarin::model
