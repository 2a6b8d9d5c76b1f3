#include "input/sequence_reader.h"

#include "input/in_out_error.h"

namespace kelmarin {

void LowerCaseAscii(std::string& s) {
    // Branch-free so that the compiler vectorises it.
    for (char& c : s) c = char(c + ((static_cast<unsigned char>(c - 'A') < 26u) << 5));
}

SequenceReader::SequenceReader(LineTextFile& file)
    : file_(file), runBuffer_(new char[kRunBufferSize]) {}

void SequenceReader::NextLine(std::string& line) {
    file_.NextLine(line);
    CheckIo();
}

bool SequenceReader::AtEnd() {
    const bool end = file_.AtEnd();
    CheckIo();
    return end;
}

std::uint64_t SequenceReader::CountSequences(std::string_view mode) {
    file_.UseBuffer(runBuffer_.get(), kRunBufferSize);
    file_.OpenInput();
    CheckIo();
    std::uint64_t total = 0;
    std::string line;
    const bool fasta = mode == kFastaMode;
    // Reads before it tests: an empty file still gives one (empty) line.
    do {
        NextLine(line);
        if (!fasta || IsHeaderLine(line)) ++total;
    } while (!AtEnd());
    file_.OpenInput();
    CheckIo();
    return total;
}

void SequenceReader::ReadTextSequence(std::string& seq) {
    NextLine(seq);
    LowerCaseAscii(seq);
}

void SequenceReader::ReadFastaRecord(std::string& seq) {
    seq.clear();
    while (!AtEnd() && !IsHeaderLine(look_)) NextLine(look_);
    // The header itself is dropped: no part of it enters a sequence.
    if (!AtEnd()) NextLine(look_);
    while (!IsHeaderLine(look_)) {
        seq += look_;
        if (AtEnd()) break;
        NextLine(look_);
    }
    LowerCaseAscii(seq);
}

void SequenceReader::NextSequence(std::string_view mode, const RejectTest& reject,
                                  std::string& seq) {
    do {
        if (mode == kFastaMode)
            ReadFastaRecord(seq);
        else if (mode == kTextMode)
            ReadTextSequence(seq);
        else {
            seq.clear();  // no reading mode chosen: nothing to read
            return;
        }
        if (reject && reject(seq)) seq.clear();
        if (!seq.empty()) return;
    } while (!AtEnd());
    seq.clear();
}

}  // namespace kelmarin
