#include "batch/profile_merge.h"

#include "run/position_stats.h"
#include "run/profile_table.h"

namespace kelmarin {

namespace {

std::string Kind(const ProfileTable& table) {
    return table.expected.empty() ? "a CSV profile" : "a statistics table";
}

}  // namespace

std::variant<std::string, EProfileFileError> MergeProfileFiles(
    const std::vector<std::string>& files) {
    ProfileTable sum;
    for (std::size_t i = 0; i < files.size(); ++i) {
        auto read = ReadProfileFile(files[i]);
        if (const auto* failure = std::get_if<EProfileFileError>(&read)) return *failure;
        auto& table = std::get<ProfileTable>(read);
        if (i == 0) {
            sum = std::move(table);
            continue;
        }
        switch (AddProfileTable(sum, table)) {
            case AddResult::Added:
                break;
            case AddResult::HeaderDiffers:
                return EProfileFileError(files[i], "its header differs from that of " + files[0]);
            case AddResult::Overflow:
                return EProfileFileError(files[i], "a sum of counts would not fit in 64 bits");
            case AddResult::KindDiffers:
                return EProfileFileError(
                    files[i], "is " + Kind(table) + ", but " + files[0] + " is " + Kind(sum));
        }
    }
    // The tests are worked out again from the sums, not added.
    return sum.expected.empty() ? ProfileTableCsv(sum) : StatsTableText(TestTable(sum));
}

}  // namespace kelmarin
