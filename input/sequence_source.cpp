#include "input/sequence_source.h"

#include <algorithm>
#include <span>

namespace kelmarin {

namespace {

// Text and FASTA: one sequence at a time, as the reader assembles it.
class OneByOneSource : public SequenceSource {
  public:
    OneByOneSource(ReadingMode mode, SequenceReader& reader, RejectRule rule)
        : mode_(mode), reader_(reader), rule_(rule) {}

    std::uint64_t Read(SequenceBatch& batch, bool inFrame, std::uint64_t,
                       std::string& alone) override {
        ReadOne(batch, inFrame, alone);
        return 1;
    }

  protected:
    // The next sequence the whole way: the reader skips what the rule rejects, and at the end
    // of the file gives an empty sequence.
    void ReadOne(SequenceBatch& batch, bool inFrame, std::string& alone) {
        reader_.NextSequence(mode_, reject_, alone);
        if (SequenceBatch::Takes(alone)) {
            batch.Add(alone, inFrame);
            alone.clear();
        }
    }

    ReadingMode mode_;
    SequenceReader& reader_;
    RejectRule rule_;
    const SequenceReader::RejectTest reject_ = [this](std::string_view seq) {
        return rule_.Rejects(seq);
    };
};

// FASTQ: records of the plain shape from where they lie in the buffer, others one at a time.
class FastqSource final : public OneByOneSource {
  public:
    FastqSource(SequenceReader& reader, RejectRule rule)
        : OneByOneSource(ReadingMode::Fastq, reader, rule) {}

    std::uint64_t Read(SequenceBatch& batch, bool inFrame, std::uint64_t most,
                       std::string& alone) override {
        std::uint64_t read = 0;
        bool rejected = false;  // since the last sequence taken: the next read goes on from there
        alone.clear();
        while (read < most && !batch.Full()) {
            const std::size_t n = reader_.NextBufferedFastq(
                buffered_.data(), std::size_t(std::min<std::uint64_t>(most - read, kBuffered)),
                SequenceBatch::kBytes - batch.Bytes().size());
            if (n == 0) break;
            for (const std::string_view b : std::span(buffered_.data(), n)) {
                LowerCaseAscii(b, batch.Append(b.size(), inFrame));
                rejected = rule_.Rejects(batch.Last());
                if (rejected)
                    batch.DropLast();
                else
                    ++read;
            }
        }
        if (read > 0 && !rejected) return read;
        ReadOne(batch, inFrame, alone);
        return read + 1;
    }

  private:
    // Where reads taken from the buffer are listed, a few hundred at a time.
    static constexpr std::size_t kBuffered = 256;
    std::array<std::string_view, kBuffered> buffered_;
};

}  // namespace

std::unique_ptr<SequenceSource> MakeSequenceSource(ReadingMode mode, SequenceReader& reader,
                                                   RejectRule rule) {
    if (mode == ReadingMode::Fastq) return std::make_unique<FastqSource>(reader, rule);
    return std::make_unique<OneByOneSource>(mode, reader, rule);
}

}  // namespace kelmarin
