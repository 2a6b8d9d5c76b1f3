#include "batch/batch_options.h"

#include <charconv>
#include <initializer_list>
#include <optional>

namespace kelmarin {

namespace {

// "A<sep>B": two whole numbers and nothing else.
template <typename T>
bool ParsePair(const std::string& text, char sep, T& a, T& b) {
    const auto at = text.find(sep);
    if (at == std::string::npos) return false;
    const auto parse = [](const char* first, const char* last, T& out) {
        const auto [end, ec] = std::from_chars(first, last, out);
        return ec == std::errc() && end == last;
    };
    return parse(text.data(), text.data() + at, a) &&
           parse(text.data() + at + 1, text.data() + text.size(), b);
}

// "WxH" with both sides from 1 to 10,000 pixels.
bool ParseSize(const std::string& text, int& width, int& height) {
    const auto side = [](int v) { return v >= 1 && v <= 10'000; };
    return ParsePair(text, 'x', width, height) && side(width) && side(height);
}

// "K/N" with 1 <= K <= N.
bool ParseShard(const std::string& text, std::uint64_t& k, std::uint64_t& n) {
    return ParsePair(text, '/', k, n) && k >= 1 && k <= n;
}

struct Parse {
    BatchCommand command;
    std::size_t wordsGiven = 0;  // by -w
    std::optional<ReadingMode> mode;
    bool merge = false;
    bool runOption = false;  // an option of a run, which --merge does not take
};

// Applies one option with its value (empty when it takes none); answers why it does not fit,
// or nothing.
using Apply = std::string (*)(Parse&, const std::string& value);

struct OptionRow {
    const char* name;
    const char* shortName;  // or nullptr
    bool takesValue;
    Apply apply;
    // With words by option, the option takes no value and asks for this output of each sample.
    int perSample = -1;
};

// Whether -w or --word comes before "--": FILEs are then every positional argument, and the
// options that write files take no name.
bool WordsByOption(const std::vector<std::string>& args) {
    for (std::size_t i = 0; i < args.size() && args[i] != "--"; ++i)
        if (args[i] == "-w" || args[i] == "--word") return true;
    return false;
}

// A file name for an option that writes one.
std::string SetFile(std::string& file, const std::string& value, const char* option) {
    file = value;
    return value.empty() ? std::string(option) + " needs a file name" : std::string();
}

std::string SetScale(Parse& p, const std::string& v) {
    static const std::pair<const char*, ProfileScale> kScales[] = {
        {"counts", ProfileScale::Counts},
        {"per-1000", ProfileScale::PerThousand},
        {"share", ProfileScale::Share},
        {"ratio", ProfileScale::Ratio}};
    for (const auto& [name, scale] : kScales)
        if (v == name) {
            p.command.options.view.scale = scale;
            return {};
        }
    return "--scale takes counts, per-1000, share or ratio, not '" + v + "'";
}

std::string SetMode(Parse& p, ReadingMode mode) {
    if (p.mode && *p.mode != mode) return "--fasta, --fastq and --text exclude each other";
    p.mode = mode;
    return {};
}

const OptionRow kOptions[] = {
    {"--help", "-h", false,
     [](Parse& p, const std::string&) {
         p.command.action = BatchCommand::Action::Help;
         return std::string();
     }},
    {"--version", nullptr, false,
     [](Parse& p, const std::string&) {
         p.command.action = BatchCommand::Action::Version;
         return std::string();
     }},
    {"--fasta", nullptr, false,
     [](Parse& p, const std::string&) { return SetMode(p, ReadingMode::Fasta); }},
    {"--fastq", nullptr, false,
     [](Parse& p, const std::string&) { return SetMode(p, ReadingMode::Fastq); }},
    {"--text", nullptr, false,
     [](Parse& p, const std::string&) { return SetMode(p, ReadingMode::Text); }},
    {"--frame", nullptr, false,
     [](Parse& p, const std::string&) {
         p.command.options.inFrame = true;
         return std::string();
     }},
    {"--reject-stop", nullptr, false,
     [](Parse& p, const std::string&) {
         p.command.options.rejectStop = true;
         return std::string();
     }},
    {"--iupac", nullptr, false,
     [](Parse& p, const std::string&) {
         p.command.options.iupac = true;
         return std::string();
     }},
    {"--both-strands", nullptr, false,
     [](Parse& p, const std::string&) {
         p.command.options.bothStrands = true;
         return std::string();
     }},
    {"--png", nullptr, true,
     [](Parse& p, const std::string& v) { return SetFile(p.command.options.pngFile, v, "--png"); },
     BatchOptions::kPng},
    {"--svg", nullptr, true,
     [](Parse& p, const std::string& v) { return SetFile(p.command.options.svgFile, v, "--svg"); },
     BatchOptions::kSvg},
    {"--pdf", nullptr, true,
     [](Parse& p, const std::string& v) { return SetFile(p.command.options.pdfFile, v, "--pdf"); },
     BatchOptions::kPdf},
    {"--stats", nullptr, true,
     [](Parse& p, const std::string& v) {
         return SetFile(p.command.options.statsFile, v, "--stats");
     },
     BatchOptions::kStats},
    {"--json", nullptr, true,
     [](Parse& p, const std::string& v) {
         return SetFile(p.command.options.jsonFile, v, "--json");
     },
     BatchOptions::kJson},
    {"--word", "-w", true,
     [](Parse& p, const std::string& v) {
         BatchOptions& o = p.command.options;
         if (p.wordsGiven == o.words.size()) return std::string("at most four words (-w)");
         o.words[p.wordsGiven++] = v;
         return std::string();
     }},
    {"--outdir", nullptr, true,
     [](Parse& p, const std::string& v) {
         return SetFile(p.command.options.outdir, v, "--outdir");
     }},
    {"--mqc", nullptr, true,
     [](Parse& p, const std::string& v) { return SetFile(p.command.options.mqcDir, v, "--mqc"); }},
    {"--threads", nullptr, true,
     [](Parse& p, const std::string& v) {
         unsigned& n = p.command.options.threads;
         const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
         return ec == std::errc() && end == v.data() + v.size() && n >= 1 && n <= 1024
                    ? std::string()
                    : "--threads takes a number from 1 to 1024, not '" + v + "'";
     }},
    {"--scale", nullptr, true, SetScale},
    {"--expected", nullptr, false,
     [](Parse& p, const std::string&) {
         p.command.options.view.expected = true;
         return std::string();
     }},
    {"--size", nullptr, true,
     [](Parse& p, const std::string& v) {
         BatchOptions& o = p.command.options;
         return ParseSize(v, o.width, o.height)
                    ? std::string()
                    : "--size takes WxH, each side 1 to 10000 pixels, not '" + v + "'";
     }},
    {"--shard", nullptr, true,
     [](Parse& p, const std::string& v) {
         BatchOptions& o = p.command.options;
         return ParseShard(v, o.shardIndex, o.shardCount)
                    ? std::string()
                    : "--shard takes K/N with 1 <= K <= N, not '" + v + "'";
     }},
    {"--merge", nullptr, false,
     [](Parse& p, const std::string&) {
         p.merge = true;
         return std::string();
     }},
};

const OptionRow* FindOption(const std::string& arg) {
    for (const OptionRow& row : kOptions)
        if (arg == row.name || (row.shortName && arg == row.shortName)) return &row;
    return nullptr;
}

BatchCommand Failed(std::string reason) {
    BatchCommand c;
    c.action = BatchCommand::Action::Fail;
    c.reason = std::move(reason);
    return c;
}

// FILE and one to four WORDs, at least one of them not empty.
std::string TakePositional(BatchOptions& opt, const std::vector<std::string>& positional) {
    if (positional.empty()) return "missing FILE and WORD";
    if (positional.size() == 1) return "missing WORD after FILE";
    if (positional.size() > 5) return "at most four WORDs";
    if (positional[0].empty()) return "the FILE name is empty";
    opt.file = positional[0];
    bool anyWord = false;
    for (std::size_t w = 1; w < positional.size(); ++w) {
        opt.words[w - 1] = positional[w];
        anyWord = anyWord || !positional[w].empty();
    }
    return anyWord ? std::string() : "every WORD is empty: nothing to count";
}

// -w WORD... FILE...: every positional argument a file, read as a sample; the mode of each
// comes from its own name unless an option gave it.
BatchCommand SamplesCommand(Parse& p, std::vector<std::string> positional) {
    BatchOptions& opt = p.command.options;
    if (positional.empty()) return Failed("missing FILE after the words given by -w");
    bool anyWord = false;
    for (const std::string& w : opt.words) anyWord = anyWord || !w.empty();
    if (!anyWord) return Failed("every WORD is empty: nothing to count");
    for (const std::string& f : positional)
        if (f.empty()) return Failed("a FILE name is empty");
    bool perSample = false;
    for (const bool on : opt.perSample) perSample = perSample || on;
    // --stats alone may feed --mqc's ratio plots.
    const bool onlyStats = !opt.perSample[BatchOptions::kJson] &&
                           !opt.perSample[BatchOptions::kPng] &&
                           !opt.perSample[BatchOptions::kSvg] && !opt.perSample[BatchOptions::kPdf];
    if (perSample && opt.outdir.empty() && !(onlyStats && !opt.mqcDir.empty()))
        return Failed("with -w, --stats, --json, --png, --svg and --pdf write into --outdir DIR");
    const bool picture = opt.perSample[BatchOptions::kPng] || opt.perSample[BatchOptions::kSvg] ||
                         opt.perSample[BatchOptions::kPdf];
    if (!opt.view.Plain() && !picture)
        return Failed("--scale and --expected draw pictures: give --png, --svg or --pdf");
    if (positional.size() > 1 && opt.shardCount != 0)
        return Failed("--shard reads part of one FILE");
    opt.files = std::move(positional);
    opt.file = opt.files.front();
    // The first file's, as in the one-file form; each file's own is settled when it is read.
    opt.mode = p.mode.value_or(ModeOfName(opt.file));
    p.command.modeGiven = p.mode.has_value();
    return p.command;
}

// --merge PROFILE...: nothing of a run goes with it.
BatchCommand MergeCommand(Parse& p, std::vector<std::string>& positional) {
    if (p.runOption) return Failed("--merge adds up profiles and takes no other option");
    if (positional.empty()) return Failed("--merge needs at least one PROFILE");
    p.command.action = BatchCommand::Action::Merge;
    p.command.mergeFiles = std::move(positional);
    return p.command;
}

}  // namespace

BatchCommand ParseBatchCommand(const std::vector<std::string>& args) {
    Parse p;
    p.command.options.wordsByOption = WordsByOption(args);
    std::vector<std::string> positional;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (optionsEnded || a.size() < 2 || a[0] != '-') {  // "-" alone is standard input
            positional.push_back(a);
            continue;
        }
        if (a == "--") {
            optionsEnded = true;
            continue;
        }
        const OptionRow* row = FindOption(a);
        if (!row) return Failed("unknown option " + a);
        if (p.command.options.wordsByOption && row->perSample >= 0) {
            p.command.options.perSample[std::size_t(row->perSample)] = true;
            p.runOption = true;
            continue;
        }
        if (row->takesValue && i + 1 == args.size()) return Failed(a + " needs a value");
        const std::string reason = row->apply(p, row->takesValue ? args[++i] : std::string());
        if (!reason.empty()) return Failed(reason);
        if (p.command.action != BatchCommand::Action::Run) return p.command;
        p.runOption = p.runOption || std::string(row->name) != "--merge";
    }
    if (p.merge) return MergeCommand(p, positional);
    BatchOptions& opt = p.command.options;
    if (opt.wordsByOption) return SamplesCommand(p, std::move(positional));
    if (!opt.outdir.empty() || !opt.mqcDir.empty())
        return Failed("--outdir and --mqc go with words given by -w");
    if (std::string reason = TakePositional(opt, positional); !reason.empty())
        return Failed(std::move(reason));
    opt.mode = p.mode.value_or(ModeOfName(opt.file));
    if (!opt.view.Plain() && !opt.WantsPicture())
        return Failed("--scale and --expected draw pictures: give --png, --svg or --pdf");
    return p.command;
}

const char* BatchUsage() {
    return "usage: kelmarin-batch [--fasta | --fastq | --text] [--frame] [--reject-stop] "
           "[--iupac]\n"
           "                      [--both-strands] [--png FILE] [--svg FILE] [--pdf FILE] "
           "[--size WxH]\n"
           "                      [--scale counts|per-1000|share|ratio] [--expected]\n"
           "                      [--stats FILE] [--json FILE] [--shard K/N] [--threads N]\n"
           "                      FILE WORD [WORD [WORD [WORD]]]\n"
           "       kelmarin-batch [options] -w WORD [-w WORD ...] [--outdir DIR] [--mqc DIR]\n"
           "                      [--threads N] FILE...\n"
           "       kelmarin-batch --merge PROFILE...\n"
           "       kelmarin-batch --help | --version\n"
           "Counts where each WORD begins in every sequence of FILE, as a percentage of the\n"
           "sequence's length in 100 buckets, and writes the profiles as CSV.\n"
           "FILE may be gzip-compressed, and is then read in one pass; '-' reads standard\n"
           "input, and a pipe may be given by name: these are read once, so their progress\n"
           "shows no percentage.\n"
           "  --fasta, --fastq, --text\n"
           "                    read FILE as FASTA, as FASTQ or as one sequence per line;\n"
           "                    without them, names ending in .fa, .fas, .fasta, .fna, .ffn or\n"
           "                    .frn are FASTA and .fq or .fastq FASTQ (any case, with or\n"
           "                    without .gz); for other names the content decides: FASTQ when\n"
           "                    its first line begins with '@' and its third with '+', FASTA\n"
           "                    when it begins with '>', else text\n"
           "  --frame           count only occurrences beginning at positions 1, 4, 7, ...\n"
           "  --reject-stop     skip sequences with a stop codon in reading frame 1\n"
           "  --iupac           read WORD letters as IUPAC codes: r is a or g, n any base, u\n"
           "                    the same as t; an n in a sequence then meets only n in a WORD\n"
           "  --both-strands    also look for each WORD on the reverse strand, at positions\n"
           "                    counted from the sequence's end (the stop filter and --frame\n"
           "                    of the given strand stay as they are)\n"
           "  --png FILE        also write the chart as the window shows it\n"
           "  --svg FILE        also write that chart as SVG, its texts and lines as vectors\n"
           "  --pdf FILE        also write that chart as a one-page PDF, likewise\n"
           "  --size WxH        size of that chart (default 682x524)\n"
           "  --scale SCALE     what the chart's profiles show: counts (the default),\n"
           "                    per-1000 (occurrences per 1,000 sequences read), share (each\n"
           "                    bucket's share of the word's occurrences) or ratio (observed\n"
           "                    / expected, with a line at 1); the CSV stays the counts\n"
           "  --expected        also draw each WORD's expected profile, dashed in its colour\n"
           "  --stats FILE      write the positional bias tests as a tab-separated table:\n"
           "                    word, bucket, observed, expected, ratio, p, q; 100 rows a WORD\n"
           "  --json FILE       write the whole run (file, options, profiles and tests) as JSON\n"
           "  --shard K/N       read only the lines or records that begin in the K-th of N\n"
           "                    equal parts of FILE (not standard input, a pipe or gzip)\n"
           "  -w, --word WORD   a WORD, up to four in box order: every other argument is then\n"
           "                    a FILE, read as a sample named after the file (no folders,\n"
           "                    no final .gz, no last ending: reads_1.fq.gz is reads_1); the\n"
           "                    profiles go to standard output as one CSV, sample,bucket,<word>..\n"
           "                    A FILE that fails is reported and the others go on; the exit\n"
           "                    status is then 1. --stats, --json, --png, --svg and --pdf take\n"
           "                    no file name and write DIR/<sample>.stats.tsv, .json, .png, .svg\n"
           "                    and .pdf into --outdir\n"
           "  --outdir DIR      write each sample's CSV as DIR/<sample>.csv, byte for byte the\n"
           "                    one-file run's, instead of the CSV on standard output\n"
           "  --mqc DIR         write MultiQC custom content into DIR: a line plot per WORD with\n"
           "                    a line per sample, and with --stats one of observed / expected;\n"
           "                    then run: multiqc DIR\n"
           "  --threads N       use N threads (default: the processors this process may\n"
           "                    use): a plain or bgzip file is read in parts on all of\n"
           "                    them, several FILEs side by side on their share; other gzip\n"
           "                    FILEs are inflated on one thread beside the counting; 1: one\n"
           "                    thread; the output is the same for any N\n"
           "  --merge           write the sum of PROFILEs that kelmarin-batch wrote, such as\n"
           "                    those of the N shards of a file: CSV profiles, or --stats\n"
           "                    tables, whose tests are then worked out again from the sums\n"
           "  -h, --help        show this text\n"
           "  --version         show the version\n"
           "The expected profile: each occurrence of a WORD is taken as equally likely at\n"
           "every valid start of its own sequence (1 to length - WORD's length + 1; with\n"
           "--frame 1, 4, 7, ...), which fall into the buckets as occurrences do. A bucket's\n"
           "p is a two-sided binomial test of its count against that share of the WORD's N\n"
           "occurrences; q is the Benjamini-Hochberg adjustment over the WORD's buckets that\n"
           "expect any; the JSON adds a chi-squared test of the whole row. Occurrences that\n"
           "overlap are not independent, so the tests are approximate.\n"
           "Three samples, then their MultiQC report:\n"
           "  kelmarin-batch -w atg -w taa -w tag -w tga --stats --mqc qc \\\n"
           "      treated.fq.gz control.fq.gz coding.fa > samples.csv\n"
           "  multiqc qc\n"
           "Exit status: 0 done, 1 the run failed (nothing on standard output; with -w, a FILE\n"
           "failed and the others were written), 2 bad arguments.\n";
}

const char* BatchVersion() { return "kelmarin-batch " KELMARIN_VERSION; }

}  // namespace kelmarin
