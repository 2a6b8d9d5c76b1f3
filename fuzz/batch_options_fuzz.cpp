// Parses fuzzed command lines (arguments separated by NUL bytes). A refusal must say why; a run
// must be within the options' limits and must come back the same when written out again as a
// command line and parsed a second time.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "batch/batch_options.h"

namespace {

std::vector<std::string> Written(const kelmarin::BatchOptions& o) {
    using kelmarin::ReadingMode;
    std::vector<std::string> args;
    // A mode left to the content is written as no option, and the name decides as before.
    if (o.mode != ReadingMode::None)
        args.push_back(o.mode == ReadingMode::Fasta   ? "--fasta"
                       : o.mode == ReadingMode::Fastq ? "--fastq"
                                                      : "--text");
    if (o.inFrame) args.push_back("--frame");
    if (o.rejectStop) args.push_back("--reject-stop");
    if (o.iupac) args.push_back("--iupac");
    if (o.bothStrands) args.push_back("--both-strands");
    if (!o.pngFile.empty()) args.insert(args.end(), {"--png", o.pngFile});
    if (o.shardCount != 0)
        args.insert(args.end(),
                    {"--shard", std::to_string(o.shardIndex) + "/" + std::to_string(o.shardCount)});
    args.insert(args.end(),
                {"--size", std::to_string(o.width) + "x" + std::to_string(o.height), "--", o.file});
    std::size_t used = 1;  // at least one word, even an empty one
    for (std::size_t w = 0; w < o.words.size(); ++w)
        if (!o.words[w].empty()) used = w + 1;
    args.insert(args.end(), o.words.begin(), o.words.begin() + long(used));
    return args;
}

bool Same(const kelmarin::BatchOptions& a, const kelmarin::BatchOptions& b) {
    return a.mode == b.mode && a.inFrame == b.inFrame && a.rejectStop == b.rejectStop &&
           a.pngFile == b.pngFile && a.width == b.width && a.height == b.height &&
           a.file == b.file && a.words == b.words && a.shardIndex == b.shardIndex &&
           a.shardCount == b.shardCount && a.iupac == b.iupac && a.bothStrands == b.bothStrands;
}

void Fail(const char* what) {
    std::fprintf(stderr, "MISMATCH: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> args(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            args.emplace_back();
        else
            args.back() += char(data[i]);
    }
    using Action = kelmarin::BatchCommand::Action;
    const kelmarin::BatchCommand parsed = kelmarin::ParseBatchCommand(args);
    if (parsed.action == Action::Fail && parsed.reason.empty()) Fail("refused without a reason");
    if (parsed.action == Action::Merge && parsed.mergeFiles.empty()) Fail("merge of no profiles");
    if (parsed.action != Action::Run) return 0;
    const kelmarin::BatchOptions& o = parsed.options;
    if (o.file.empty()) Fail("accepted without a file");
    if (o.shardCount != 0 && (o.shardIndex < 1 || o.shardIndex > o.shardCount))
        Fail("shard outside 1 to N");
    if (o.width < 1 || o.width > 10'000 || o.height < 1 || o.height > 10'000)
        Fail("picture size outside 1 to 10,000");
    const kelmarin::BatchCommand again = kelmarin::ParseBatchCommand(Written(o));
    if (again.action != Action::Run) Fail("options written out again are refused");
    if (!Same(o, again.options)) Fail("options written out again parse differently");
    return 0;
}
