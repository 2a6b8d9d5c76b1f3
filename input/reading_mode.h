#pragma once
// How a file is read: one sequence per line (Text), FASTA records, or FASTQ records. Chosen once,
// when a file is bound (by the open command of its kind, a dropped file's name, an option or the
// first bytes), and then handed to everything that reads it.

#include <string_view>

namespace kelmarin {

// None: nothing chosen yet (a front-end may then leave it to the content).
enum class ReadingMode { None, Text, Fasta, Fastq };

// The mode's name as a run refers to it: "testo", "fasta", "fastq"; empty for None.
constexpr std::string_view ModeText(ReadingMode mode) {
    switch (mode) {
        case ReadingMode::Text:
            return "testo";
        case ReadingMode::Fasta:
            return "fasta";
        case ReadingMode::Fastq:
            return "fastq";
        case ReadingMode::None:
            break;
    }
    return {};
}

}  // namespace kelmarin
