#include "ui/batch_options.h"

#include <charconv>

namespace kelmarin {

namespace {

bool EndsWith(const std::string& s, const std::string& suffix) {
    return s.size() >= suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// "WxH" with both sides from 1 to 10,000 pixels.
bool ParseSize(const std::string& text, int& width, int& height) {
    const auto x = text.find('x');
    if (x == std::string::npos) return false;
    const auto parse = [](const char* first, const char* last, int& out) {
        const auto [end, ec] = std::from_chars(first, last, out);
        return ec == std::errc() && end == last && out >= 1 && out <= 10'000;
    };
    return parse(text.data(), text.data() + x, width) &&
           parse(text.data() + x + 1, text.data() + text.size(), height);
}

}  // namespace

bool HasFastaExtension(const std::string& name) {
    for (const char* ext : {".fa", ".fas", ".fasta", ".fna"})
        if (EndsWith(name, ext)) return true;
    return false;
}

std::optional<BatchOptions> ParseBatchOptions(const std::vector<std::string>& args) {
    BatchOptions opt;
    std::optional<BatchOptions::Format> format;
    std::vector<std::string> positional;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (optionsEnded || a.size() < 2 || a.compare(0, 2, "--") != 0) {
            positional.push_back(a);
        } else if (a == "--") {
            optionsEnded = true;
        } else if (a == "--fasta" || a == "--text") {
            const auto f = a == "--fasta" ? BatchOptions::Format::Fasta : BatchOptions::Format::Text;
            if (format && *format != f) return std::nullopt;
            format = f;
        } else if (a == "--frame") {
            opt.inFrame = true;
        } else if (a == "--reject-stop") {
            opt.rejectStop = true;
        } else if (a == "--png" && i + 1 < args.size() && !args[i + 1].empty()) {
            opt.pngFile = args[++i];
        } else if (a == "--size" && i + 1 < args.size()) {
            if (!ParseSize(args[++i], opt.width, opt.height)) return std::nullopt;
        } else {
            return std::nullopt;
        }
    }
    if (positional.size() < 2 || positional.size() > 5 || positional[0].empty()) return std::nullopt;
    opt.file = positional[0];
    for (std::size_t w = 1; w < positional.size(); ++w) opt.words[w - 1] = positional[w];
    opt.format = format.value_or(HasFastaExtension(opt.file) ? BatchOptions::Format::Fasta
                                                             : BatchOptions::Format::Text);
    return opt;
}

const char* BatchUsage() {
    return "usage: kelmarin-batch [--fasta | --text] [--frame] [--reject-stop] [--png FILE] "
           "[--size WxH] FILE WORD [WORD [WORD [WORD]]]\n"
           "Counts where each WORD begins in every sequence of FILE, as a percentage of the\n"
           "sequence's length in 100 buckets, and writes the profiles as CSV.\n"
           "  --fasta, --text   read FILE as FASTA or as one sequence per line (default: FASTA\n"
           "                    for names ending in .fa, .fas, .fasta or .fna)\n"
           "  --frame           count only occurrences beginning at positions 1, 4, 7, ...\n"
           "  --reject-stop     skip sequences with a stop codon in reading frame 1\n"
           "  --png FILE        also write the chart as the window shows it\n"
           "  --size WxH        size of that chart (default 682x524)\n";
}

}  // namespace kelmarin
