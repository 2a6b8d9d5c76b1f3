#pragma once
// A file counted in parts at once: each part (a byte range that begins where a line or record
// begins) by a run of its own on a thread of its own, the parts' profiles then added up. The
// result is the whole file's, bit for bit, as the counts and the expected profile's fixed-point
// sums add exactly.

#include <optional>
#include <vector>

#include "batch/batch_run.h"
#include "input/shard_range.h"

namespace kelmarin {

// The file of options (its mode settled) read as the parts on up to threadCount threads, one
// progress line standing for all.
// Nothing when the parts do not make up the file: a part failed, or ended before its last byte
// without the content ending there (a cut that was no record's start). The caller then reads the
// file whole, which reports any failure as a run does; the parts report none.
std::optional<RunResult> CountInParts(const BatchOptions& options,
                                      const std::vector<ByteRange>& parts, unsigned threadCount,
                                      bool showProgress);

}  // namespace kelmarin
