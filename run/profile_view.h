#pragma once
// How a result is drawn, as the window's VIEW menu and kelmarin-batch's --scale and --expected
// choose it: the scale of the word profiles, and what is drawn over them.

namespace kelmarin {

enum class ProfileScale {
    Counts,       // occurrences, the plain profile chart
    PerThousand,  // occurrences per 1,000 sequences read
    Share,        // each bucket's share of the word's occurrences
    Ratio,        // observed ÷ expected, with a line at 1
};

struct ProfileView {
    ProfileScale scale = ProfileScale::Counts;
    bool expected = false;  // each word's expected profile, dashed in its colour
    bool marks = false;     // buckets with q < 0.05 marked, above or below by the bias's sign
    bool Plain() const { return scale == ProfileScale::Counts && !expected && !marks; }
};

}  // namespace kelmarin
