#pragma once
// kelmarin-batch --merge: the bucket-by-bucket sum of profiles that kelmarin-batch wrote, for
// runs over parts of the data (shards of a file, or files of a data set).

#include <string>
#include <variant>
#include <vector>

#include "run/profile_table.h"

namespace kelmarin {

// The sum of the profiles in the named files ("-": standard input), as the CSV that kelmarin-batch
// writes, or, for statistics tables, as such a table of the summed counts and expected counts; or
// the first file that is not such a profile, cannot be read, is of the other kind or has another
// header than the first, or would make a count overflow 64 bits.
std::variant<std::string, EProfileFileError> MergeProfileFiles(
    const std::vector<std::string>& files);

}  // namespace kelmarin
