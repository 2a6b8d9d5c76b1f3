#include "input/format_by_name.h"

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

}  // namespace

bool HasFastaExtension(const std::string& name) {
    const std::string base = EndsWithNoCase(name, ".gz") ? name.substr(0, name.size() - 3) : name;
    for (const char* ext : {".fa", ".fas", ".fasta", ".fna", ".ffn", ".frn"})
        if (EndsWithNoCase(base, ext)) return true;
    return false;
}

}  // namespace kelmarin
