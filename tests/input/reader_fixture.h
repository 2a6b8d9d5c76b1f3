#pragma once
// A data file bound to bytes written to a temporary file, and the sequence reader over it, as
// the run uses them.

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "input/line_text_file.h"
#include "input/sequence_reader.h"
#include "tests/input/temp_file.h"

namespace kelmarin::test {

using Seqs = std::vector<std::string>;

class ReaderTest : public ::testing::Test {
  protected:
    // Binds the data file to a file holding bytes, as the menu commands do.
    void Bind(std::string_view bytes) { file_.BindName(dir_.Write("seqs", bytes)); }

    // The non-empty sequences a run takes: it reads, then stops at the end of the file.
    Seqs ReadAll(ReadingMode mode, const SequenceReader::RejectTest& reject = {}) {
        return ReadAllWith(reader_, mode, reject);
    }
    Seqs ReadAllWith(SequenceReader& reader, ReadingMode mode,
                     const SequenceReader::RejectTest& reject = {}) {
        Seqs seqs;
        std::string seq;
        do {
            reader.NextSequence(mode, reject, seq);
            if (!seq.empty()) seqs.push_back(seq);
        } while (!file_.AtEnd());
        return seqs;
    }

    TempDir dir_;
    LineTextFile file_;
    SequenceReader reader_{file_};
};

}  // namespace kelmarin::test
