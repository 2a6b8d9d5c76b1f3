#include "batch/run_json.h"

#include <cmath>
#include <cstdio>

namespace kelmarin {

namespace {

std::string JsonBool(bool on) { return on ? "true" : "false"; }

// NaN (no ratio where nothing is expected) is null.
std::string JsonNumber(double v) { return std::isfinite(v) ? NumberText(v) : "null"; }

template <typename Row, typename Text>
std::string JsonArray(const Row& row, Text text) {
    std::string out = "[";
    for (std::size_t i = 0; i < row.size(); ++i) {
        if (i) out += ',';
        out += text(row[i]);
    }
    return out + ']';
}

std::string ModeName(ReadingMode mode) {
    switch (mode) {
        case ReadingMode::Fasta:
            return "fasta";
        case ReadingMode::Fastq:
            return "fastq";
        case ReadingMode::Text:
        case ReadingMode::None:
            break;
    }
    return "text";
}

std::string OptionsJson(const BatchOptions& o) {
    std::string shard = "null";
    if (o.shardCount != 0)
        shard = JsonString(std::to_string(o.shardIndex) + "/" + std::to_string(o.shardCount));
    return "{\"frame\":" + JsonBool(o.inFrame) + ",\"reject_stop\":" + JsonBool(o.rejectStop) +
           ",\"iupac\":" + JsonBool(o.iupac) + ",\"both_strands\":" + JsonBool(o.bothStrands) +
           ",\"shard\":" + shard + "}";
}

std::string WordJson(const WordStats& s) {
    const auto number = [](double v) { return JsonNumber(v); };
    return "{\"word\":" + JsonString(s.word) + ",\"observed\":" +
           JsonArray(s.observed, [](std::uint64_t v) { return std::to_string(v); }) +
           ",\"expected\":" + JsonArray(s.expected, number) +
           ",\"ratio\":" + JsonArray(s.ratio, number) + ",\"p\":" + JsonArray(s.p, number) +
           ",\"q\":" + JsonArray(s.q, number) + ",\"chi2\":" + JsonNumber(s.chi2) +
           ",\"df\":" + std::to_string(s.df) + ",\"p_uniform\":" + JsonNumber(s.pUniform) + "}";
}

}  // namespace

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", unsigned(c));
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + '"';
}

std::string RunJson(const BatchOptions& options, ReadingMode mode, std::uint64_t processed,
                    const std::vector<WordStats>& stats) {
    std::string words = "[";
    std::string profiles = "[";
    for (std::size_t i = 0; i < stats.size(); ++i) {
        if (i) {
            words += ',';
            profiles += ',';
        }
        words += JsonString(stats[i].word);
        profiles += WordJson(stats[i]);
    }
    return "{\"program\":\"kelmarin-batch\",\"version\":" + JsonString(KELMARIN_VERSION) +
           ",\"file\":" + JsonString(options.file) + ",\"mode\":" + JsonString(ModeName(mode)) +
           ",\"options\":" + OptionsJson(options) + ",\"words\":" + words +
           "],\"processed\":" + std::to_string(processed) + ",\"profiles\":" + profiles + "]}\n";
}

}  // namespace kelmarin
