#pragma once
// The stop codon filter: whether a (lower-cased) sequence holds taa, tag or tga among the
// reading-frame-1 codons it examines. It deliberately leaves the last two in-frame codons of a
// long sequence unexamined, as the program always has.

#include <string_view>

namespace kelmarin {

bool HasStopCodon(std::string_view seq);

}  // namespace kelmarin
