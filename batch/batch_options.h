#pragma once
// The command line of kelmarin-batch:
//   kelmarin-batch [--fasta | --text] [--frame] [--reject-stop] [--png FILE] [--size WxH]
//                  FILE WORD [WORD [WORD [WORD]]]

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace kelmarin {

struct BatchOptions {
    enum class Format { Text, Fasta };

    Format format = Format::Text;
    bool inFrame = false;
    bool rejectStop = false;
    std::string pngFile;  // empty: no picture
    int width = 682;
    int height = 524;
    std::string file;
    std::array<std::string, 4> words;  // as given; unused rows empty
};

// Without --fasta or --text, these endings mean FASTA: .fa, .fas, .fasta, .fna.
bool HasFastaExtension(const std::string& name);

// The options, or nothing when the arguments do not fit the command line above.
std::optional<BatchOptions> ParseBatchOptions(const std::vector<std::string>& args);

const char* BatchUsage();

}  // namespace kelmarin
