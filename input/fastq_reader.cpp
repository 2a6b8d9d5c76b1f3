#include "input/fastq_reader.h"

#include "input/in_out_error.h"

namespace kelmarin {

int FastqReader::PeekLineStart() {
    const int c = file_.PeekLineStart();
    CheckIo();
    return c;
}

void FastqReader::Malformed(std::uint64_t line, const std::string& expected) const {
    throw EInOutError(kIoMalformedFastq, "line " + std::to_string(line) + ": " + expected);
}

void FastqReader::EndsInside(const std::string& expected) const {
    Malformed(recordLine_, "the file ends inside this record: expected " + expected);
}

bool FastqReader::ReadRecord(std::string& seq) {
    seq.clear();
    if (!SkipEmptyLines()) return false;
    ReadHeader();
    ReadQuality(ReadSequenceLines(&seq));
    return true;
}

std::uint64_t FastqReader::CountRecords() {
    std::uint64_t records = 0;
    while (SkipEmptyLines()) {
        ReadHeader();
        ReadQuality(ReadSequenceLines(nullptr));
        ++records;
    }
    return records;
}

void FastqReader::SkipLine() {
    file_.SkipLine();
    CheckIo();
    ++line_;
}

bool FastqReader::SkipEmptyLines() {
    for (;;) {
        const int c = PeekLineStart();
        if (c != '\n') return c >= 0;
        SkipLine();
    }
}

void FastqReader::ReadHeader() {
    recordLine_ = line_ + 1;
    if (PeekLineStart() != '@') Malformed(recordLine_, "expected '@' at the start of a record");
    SkipLine();
}

std::uint64_t FastqReader::ReadSequenceLines(std::string* seq) {
    std::uint64_t length = 0;
    for (;;) {
        const int c = PeekLineStart();
        if (c < 0) EndsInside("a '+' line");
        if (c == '+') break;
        if (c == '@') Malformed(line_ + 1, "expected a '+' line before the next record");
        if (seq) {
            const std::size_t before = seq->size();
            file_.AppendLine(*seq);
            length += seq->size() - before;
        } else {
            length += file_.SkipLineMeasuring();
        }
        CheckIo();
        ++line_;
    }
    SkipLine();  // the separator: what follows its '+' is not read
    return length;
}

void FastqReader::ReadQuality(std::uint64_t length) {
    std::uint64_t quality = 0;
    while (quality < length) {
        if (PeekLineStart() < 0)
            EndsInside(std::to_string(length - quality) + " more quality letters");
        quality += file_.SkipLineMeasuring();
        CheckIo();
        ++line_;
        if (quality > length)
            Malformed(line_, "expected a quality as long as its sequence, " +
                                 std::to_string(length) + " letters, not " +
                                 std::to_string(quality));
    }
}

}  // namespace kelmarin
