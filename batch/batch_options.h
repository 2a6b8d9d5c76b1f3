#pragma once
// The command line of kelmarin-batch:
//   kelmarin-batch [--fasta | --fastq | --text] [--frame] [--reject-stop] [--iupac]
//                  [--both-strands] [--png FILE] [--svg FILE] [--pdf FILE] [--size WxH]
//                  [--scale counts|per-1000|share|ratio] [--expected] [--stats FILE]
//                  [--json FILE] [--shard K/N] FILE WORD [WORD [WORD [WORD]]]
//   kelmarin-batch [options] -w WORD [-w WORD ...] [--outdir DIR] [--mqc DIR] [--threads N]
//                  FILE...
//     (with -w, --stats, --json, --png, --svg and --pdf take no file name: they write
//     DIR/<sample>.stats.tsv, .json, .png, .svg, .pdf into --outdir)
//   kelmarin-batch --merge PROFILE...
//   kelmarin-batch --help | --version
// Options are rows of one table, so a new one is a row and a function.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "input/format_by_name.h"  // without --fasta, --fastq or --text, the name decides
#include "input/reading_mode.h"
#include "run/profile_view.h"

namespace kelmarin {

struct BatchOptions {
    // None: neither an option nor the name decides; the file's first bytes do.
    ReadingMode mode = ReadingMode::None;
    bool inFrame = false;
    bool rejectStop = false;
    // Word letters as IUPAC codes; words also looked for on the reverse strand.
    bool iupac = false;
    bool bothStrands = false;
    std::string pngFile;  // empty: no picture
    std::string svgFile;  // empty: no SVG
    std::string pdfFile;  // empty: no PDF
    bool WantsPicture() const { return !pngFile.empty() || !svgFile.empty() || !pdfFile.empty(); }
    ProfileView view;       // --scale and --expected: how the pictures draw the profiles
    std::string statsFile;  // --stats: the bias tests as a table; empty: none
    std::string jsonFile;   // --json: the whole run as JSON; empty: none
    bool WantsStatistics() const { return !statsFile.empty() || !jsonFile.empty(); }
    int width = 682;
    int height = 524;
    std::string file;                  // "-" for standard input
    std::array<std::string, 4> words;  // as given; unused rows empty
    // --shard K/N: only the lines or records that begin in the K-th of N equal parts of file.
    std::uint64_t shardIndex = 0;  // 0: the whole file
    std::uint64_t shardCount = 0;

    // Words given by -w: every positional argument is a FILE, each read as a sample.
    bool wordsByOption = false;
    std::vector<std::string> files;  // with wordsByOption
    std::string outdir;              // --outdir: each sample's files there; empty: none
    std::string mqcDir;              // --mqc: MultiQC custom content there; empty: none
    unsigned threads = 0;            // --threads; 0: the processors this process may use
    // With wordsByOption, the outputs asked for by --stats, --json, --png, --svg and --pdf,
    // which go into outdir by sample name.
    enum Output { kStats, kJson, kPng, kSvg, kPdf, kOutputs };
    std::array<bool, kOutputs> perSample{};
};

struct BatchCommand {
    enum class Action { Run, Merge, Help, Version, Fail };

    Action action = Action::Run;
    BatchOptions options;                 // with Run
    std::vector<std::string> mergeFiles;  // with Merge: the profiles to add up
    std::string reason;                   // with Fail: why the arguments do not fit, in one line
    bool modeGiven = false;  // --fasta, --fastq or --text was given (with -w, for every FILE)
};

BatchCommand ParseBatchCommand(const std::vector<std::string>& args);

const char* BatchUsage();
const char* BatchVersion();  // "kelmarin-batch <version>"

}  // namespace kelmarin
