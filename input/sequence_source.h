#pragma once
// Where a run's sequences come from: one source per reading mode, behind one interface. A source
// gives the sequences lower-cased and without those the run's rule rejects, straight into the
// counting batch: reads that lie whole in the buffer in their plainest shape a few hundred at a
// time, lower-cased on the way with no copy of their own (reads come by the million), any other
// one at a time. The run only asks for sequences and counts them.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "analysis/sequence_batch.h"
#include "analysis/stop_codon.h"
#include "input/reading_mode.h"
#include "input/sequence_reader.h"

namespace kelmarin {

// The run's rule for skipping sequences: those with a stop codon, while the option that asks for
// it is on. Given once, when the run starts; the option itself is looked at for each sequence,
// as a refresh may change it.
class RejectRule {
  public:
    RejectRule() = default;
    explicit RejectRule(const bool& stopCodons) : stopCodons_(&stopCodons) {}
    bool Rejects(std::string_view seq) const {
        return stopCodons_ && *stopCodons_ && HasStopCodon(seq);
    }

  private:
    const bool* stopCodons_ = nullptr;
};

class SequenceSource {
  public:
    virtual ~SequenceSource() = default;

    // Reads sequences into batch, each counted as inFrame says, until most were read or the
    // batch is full: how many, at least one. One too long for a batch is left in alone instead,
    // to be counted on its own (alone is empty otherwise). At the end of the file the last
    // sequence read is an empty one, which counts as read.
    virtual std::uint64_t Read(SequenceBatch& batch, bool inFrame, std::uint64_t most,
                               std::string& alone) = 0;
};

// The source of the reading mode (Text, Fasta or Fastq) over reader, whose file is open.
std::unique_ptr<SequenceSource> MakeSequenceSource(ReadingMode mode, SequenceReader& reader,
                                                   RejectRule rule);

}  // namespace kelmarin
