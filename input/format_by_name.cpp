#include "input/format_by_name.h"

#include <initializer_list>

namespace kelmarin {

namespace {

bool EndsWithNoCase(const std::string& s, const std::string& suffix) {
    if (s.size() < suffix.size()) return false;
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        const char c = s[s.size() - suffix.size() + i];
        if ((c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c) != suffix[i]) return false;
    }
    return true;
}

// Whether name ends in one of the extensions, in any case, before an optional .gz.
bool HasExtension(const std::string& name, std::initializer_list<const char*> extensions) {
    const std::string base = EndsWithNoCase(name, ".gz") ? name.substr(0, name.size() - 3) : name;
    for (const char* ext : extensions)
        if (EndsWithNoCase(base, ext)) return true;
    return false;
}

}  // namespace

bool HasFastaExtension(const std::string& name) {
    return HasExtension(name, {".fa", ".fas", ".fasta", ".fna", ".ffn", ".frn"});
}

bool HasFastqExtension(const std::string& name) { return HasExtension(name, {".fq", ".fastq"}); }

ReadingMode ModeOfName(const std::string& name) {
    return HasFastqExtension(name)   ? ReadingMode::Fastq
           : HasFastaExtension(name) ? ReadingMode::Fasta
                                     : ReadingMode::None;
}

std::string SampleName(const std::string& name) {
    std::string base = name.substr(name.rfind('/') + 1);
    if (EndsWithNoCase(base, ".gz") && base.size() > 3) base.resize(base.size() - 3);
    const std::string::size_type dot = base.rfind('.');
    if (dot != std::string::npos && dot > 0) base.resize(dot);
    return base;
}

}  // namespace kelmarin
