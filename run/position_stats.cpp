#include "run/position_stats.h"

#include <algorithm>
#include <boost/math/distributions/binomial.hpp>
#include <boost/math/distributions/chi_squared.hpp>
#include <charconv>
#include <cmath>
#include <limits>

#include "run/profile_csv.h"

namespace kelmarin {

namespace {

// Profiles are user input: a value Boost cannot work out gives NaN or 0, never an exception
// out of a merge.
namespace policies = boost::math::policies;
using Quiet = policies::policy<policies::domain_error<policies::ignore_error>,
                               policies::pole_error<policies::ignore_error>,
                               policies::overflow_error<policies::ignore_error>,
                               policies::underflow_error<policies::ignore_error>,
                               policies::evaluation_error<policies::ignore_error>,
                               policies::rounding_error<policies::ignore_error>,
                               // Double keeps 15 digits of every tail; long double would cost a
                               // window redrawing the marks twice the time.
                               policies::promote_double<false>>;

// Two-sided: twice the smaller tail, as the tails of a skewed binomial are not mirror images.
double BinomialP(double n, double fraction, double k) {
    const boost::math::binomial_distribution<double, Quiet> x(n, std::clamp(fraction, 0.0, 1.0));
    const double atMost = boost::math::cdf(x, k);
    const double atLeast = k == 0 ? 1.0 : boost::math::cdf(boost::math::complement(x, k - 1));
    const double p = 2 * std::min(atMost, atLeast);
    return p >= 1 || std::isnan(p) ? 1.0 : std::max(p, 0.0);
}

}  // namespace

WordStats TestPositions(std::string word, const ProfileTable::Row& observed,
                        const ExpectedRow& expected) {
    constexpr int kBuckets = ProfileTable::kBuckets;
    WordStats s;
    s.word = std::move(word);
    s.observed = observed;
    s.expected = expected;
    s.p.fill(1);
    s.q.fill(1);
    // Summed in doubles so that no total of 64-bit counts wraps; the rounded sum still bounds
    // each rounded count, as the binomial needs.
    double n = 0;
    for (const std::uint64_t o : observed) n += double(o);
    std::vector<int> tested;
    for (int b = 0; b < kBuckets; ++b) {
        if (expected[b] == 0) {
            s.ratio[b] = std::numeric_limits<double>::quiet_NaN();
            continue;
        }
        s.ratio[b] = double(observed[b]) / expected[b];
        if (n == 0) continue;
        s.p[b] = BinomialP(n, expected[b] / n, double(observed[b]));
        tested.push_back(b);
    }

    const std::size_t m = tested.size();
    std::stable_sort(tested.begin(), tested.end(), [&](int a, int b) { return s.p[a] < s.p[b]; });
    double q = 1;
    for (std::size_t j = m; j >= 1; --j) {
        q = std::min(q, s.p[tested[j - 1]] * double(m) / double(j));
        s.q[tested[j - 1]] = q;
    }

    if (m <= 1) return s;
    for (const int b : tested) {
        const double d = double(observed[b]) - expected[b];
        s.chi2 += d * d / expected[b];
    }
    s.df = int(m) - 1;
    // An expected count near the smallest double can make chi2 infinite, which Boost refuses.
    const boost::math::chi_squared_distribution<double, Quiet> chi(s.df);
    s.pUniform = std::isinf(s.chi2) ? 0.0 : boost::math::cdf(boost::math::complement(chi, s.chi2));
    return s;
}

std::vector<WordStats> TestTable(const ProfileTable& table) {
    std::vector<WordStats> stats;
    for (std::size_t w = 0; w < table.words.size(); ++w)
        stats.push_back(
            TestPositions(table.words[w], table.rows[w],
                          w < table.expected.size() ? table.expected[w] : ExpectedRow{}));
    return stats;
}

std::string NumberText(double v) {
    char text[32];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, v);
    return std::string(text, ec == std::errc() ? end : text);
}

std::string StatsTableText(const std::vector<WordStats>& stats) {
    std::string text(kStatsTableHeader);
    text += '\n';
    for (const WordStats& s : stats) {
        const std::string word = DelimitedField(s.word, '\t');
        for (int b = 0; b < ProfileTable::kBuckets; ++b) {
            text += word;
            text += '\t' + std::to_string(b + 1);
            text += '\t' + std::to_string(s.observed[b]);
            text += '\t' + NumberText(s.expected[b]);
            text += '\t' + (std::isnan(s.ratio[b]) ? std::string("NA") : NumberText(s.ratio[b]));
            text += '\t' + NumberText(s.p[b]);
            text += '\t' + NumberText(s.q[b]);
            text += '\n';
        }
    }
    return text;
}

}  // namespace kelmarin
