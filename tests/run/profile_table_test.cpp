#include "run/profile_table.h"

#include <gtest/gtest.h>

#include <string>

#include "analysis/word_profile.h"
#include "run/position_stats.h"
#include "run/profile_csv.h"

namespace kelmarin {
namespace {

using Kind = ProfileError::Kind;

// A profile CSV as a string: the header line, then buckets 1 to 100 with count(b) per word.
std::string Csv(const std::string& header, int words, std::string (*count)(int b),
                const std::string& eol = "\n") {
    std::string csv = header;
    csv += eol;
    for (int b = 1; b <= 100; ++b) {
        csv += std::to_string(b);
        for (int w = 0; w < words; ++w) {
            csv += ',';
            csv += count(b);
        }
        csv += eol;
    }
    return csv;
}
std::string Zero(int) { return "0"; }

// A statistics table of these words, each bucket counting 1 where 1 was expected.
std::string Stats(const std::vector<std::string>& words) {
    std::string text = "word\tbucket\tobserved\texpected\tratio\tp\tq\n";
    for (const auto& w : words)
        for (int b = 1; b <= 100; ++b) text += w + "\t" + std::to_string(b) + "\t1\t1\t1\t1\t1\n";
    return text;
}

// The text with the first `from` in it made `to`.
std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    return text.replace(text.find(from), from.size(), to);
}

TEST(ProfileTableTest, ReadsBackWhatTheBatchWrites) {
    WordProfile profile;
    const WordProfile::Words words = {"A,C", "say \"t\"", "", " g\r\nt "};
    profile.CountSequence("aa,cc say \"t\" g\r\nt ", words, false);
    const auto read = ReadProfileTable(ProfileCsv(words, profile.ProfileRows()));
    ASSERT_TRUE(std::holds_alternative<ProfileTable>(read))
        << std::get<ProfileError>(read).Message();
    const auto& table = std::get<ProfileTable>(read);
    EXPECT_EQ(table.words, (std::vector<std::string>{"a,c", "say \"t\"", " g\r\nt "}));
    const int rows[] = {1, 2, 4};
    for (std::size_t w = 0; w < 3; ++w)
        for (int b = 0; b < 100; ++b) EXPECT_EQ(table.rows[w][b], profile.ProfileRow(rows[w])[b]);
    // For the clipboard, tabs part the fields and a comma needs no quotes.
    const std::string tsv = ProfileTableTsv(table);
    EXPECT_EQ(tsv.substr(0, tsv.find("\n2\t")),
              "bucket\ta,c\t\"say \"\"t\"\"\"\t\" g\r\nt \"\n1\t0\t0\t0");
    EXPECT_EQ(DelimitedField("a\tb", '\t'), "\"a\tb\"");
}

TEST(ProfileTableTest, RefusesWhatIsNotAProfile) {
    const auto big = [](int b) { return std::string(b == 7 ? "18446744073709551616" : "1"); };
    const auto bad = [](int b) { return std::string(b == 9 ? "1e3" : "1"); };
    const std::string good = Csv("bucket,atg", 1, Zero);
    struct Case {
        std::string csv;
        Kind kind;
        std::uint64_t line;
    } cases[] = {
        {"", Kind::NoHeader, 1},
        {Csv("word,atg", 1, Zero), Kind::NoHeader, 1},
        {Csv("bucket,a,c,g,t,tt", 5, Zero), Kind::NoHeader, 1},
        {Csv("bucket,\"atg", 1, Zero), Kind::BadField, 1},
        {Csv("bucket,\"a\"tg", 1, Zero), Kind::BadField, 1},
        {good.substr(0, good.find("\n51,")), Kind::MissingRow, 51},
        {Csv("bucket,atg", 2, Zero), Kind::BadRow, 2},
        {Csv("bucket,atg", 1, bad), Kind::NotANumber, 10},
        {Csv("bucket,atg", 1, [](int b) { return std::string(b == 3 ? "-1" : "2"); }),
         Kind::NotANumber, 4},
        {Csv("bucket,atg", 1, big), Kind::TooLarge, 8},
        {std::string(good).append("101,0\n"), Kind::ExtraData, 102},
        {std::string(good).insert(good.find("\n3,"), "\r\r"), Kind::BadField, 3},
    };
    for (const auto& c : cases) {
        const auto read = ReadProfileTable(c.csv);
        ASSERT_TRUE(std::holds_alternative<ProfileError>(read)) << c.csv.substr(0, 40);
        EXPECT_EQ(std::get<ProfileError>(read).kind, c.kind) << c.csv.substr(0, 40);
        EXPECT_EQ(std::get<ProfileError>(read).line, c.line) << c.csv.substr(0, 40);
    }
    EXPECT_TRUE(std::holds_alternative<ProfileTable>(ReadProfileTable(good)));
    EXPECT_TRUE(
        std::holds_alternative<ProfileTable>(ReadProfileTable(Csv("bucket", 0, Zero, "\r\n"))));
}

TEST(ProfileTableTest, AddsBucketByBucketWithinSixtyFourBits) {
    const auto table = [](const std::string& csv) {
        return std::get<ProfileTable>(ReadProfileTable(csv));
    };
    ProfileTable sum = table(Csv("bucket,a,c", 2, [](int b) { return std::to_string(b); }));
    const ProfileTable more =
        table(Csv("bucket,a,c", 2, [](int b) { return std::to_string(2 * b); }));
    ASSERT_EQ(AddProfileTable(sum, more), AddResult::Added);
    for (int b = 1; b <= 100; ++b) EXPECT_EQ(sum.rows[1][b - 1], std::uint64_t(3 * b));

    const ProfileTable before = sum;
    EXPECT_EQ(AddProfileTable(sum, table(Csv("bucket,c,a", 2, Zero))), AddResult::HeaderDiffers);
    const ProfileTable near = table(Csv("bucket,a,c", 2, [](int b) {
        return std::string(b == 100 ? "18446744073709551515" : "0");
    }));
    EXPECT_EQ(AddProfileTable(sum, near), AddResult::Overflow);
    EXPECT_EQ(sum.rows, before.rows);
}

TEST(ProfileTableTest, RefusesWhatIsNotAStatsTable) {
    const std::string good = Stats({"atg"});
    const std::string row7 = "\natg\t7\t1\t1\t";
    struct Case {
        std::string text;
        Kind kind;
        std::uint64_t line;
    };
    std::vector<Case> cases = {
        {Replaced(good, "\tq\n", "\tq\t\n"), Kind::NoHeader, 1},
        {good.substr(0, good.find("\natg\t51\t") + 1), Kind::MissingRow, 52},
        {Replaced(good, row7, "\natg\t8\t1\t1\t"), Kind::BadStatsRow, 8},
        {Replaced(good, row7 + "1\t1\t1\n", row7 + "1\t1\n"), Kind::BadStatsRow, 8},
        {Replaced(good, "\natg\t1\t", "\n\t1\t"), Kind::BadStatsRow, 2},
        {Replaced(good, row7, "\n\"atg\t7\t1\t1\t"), Kind::BadField, 8},
        {Replaced(good, row7, "\natg\t7\t1.5\t1\t"), Kind::NotANumber, 8},
        {Replaced(Stats({"atg", "ca"}), "\nca\t51\t", "\natg\t51\t"), Kind::WordCut, 152},
        {Stats({"atg", "ca", "atg"}), Kind::RepeatedWord, 202},
        {Stats({"a", "c", "g", "t", "tt"}), Kind::TooManyWords, 402},
    };
    for (const std::string e : {"-1", "-0", "inf", "nan", "1e400", "1,5", "", " 1", "0x1"})
        cases.push_back({Replaced(good, row7, "\natg\t7\t1\t" + e + "\t"), Kind::BadExpected, 8});
    for (const auto& c : cases) {
        const auto read = ReadProfileTable(c.text);
        ASSERT_TRUE(std::holds_alternative<ProfileError>(read)) << c.text.substr(0, 80);
        EXPECT_EQ(std::get<ProfileError>(read).kind, c.kind) << c.text.substr(0, 80);
        EXPECT_EQ(std::get<ProfileError>(read).line, c.line) << c.text.substr(0, 80);
    }
    // A header alone is a table without words, with or without its line end.
    for (const std::string& text : {Stats({}), std::string(kStatsTableHeader)}) {
        const auto read = ReadProfileTable(text);
        ASSERT_TRUE(std::holds_alternative<ProfileTable>(read)) << text;
        EXPECT_TRUE(std::get<ProfileTable>(read).words.empty());
    }
}

TEST(ProfileTableTest, MergesStatsTablesByTestingTheirSums) {
    // Each part sees "gc" twice in bucket 1, where 1.5 were expected, and none in bucket 2, where
    // 0.5 were: alone, B(2, 3/4) gives 2 with 9/16 and so p = 1. Summed, N = 4 and the expected
    // counts are 2 and 2: P(X >= 4) = P(X <= 0) = 1/16 under B(4, 1/2), so p = 1/8 for both, and
    // q = min(1/8 * 2/1, 1/8 * 2/2) = 1/8.
    const auto part = [](double e1, double e2) {
        ProfileTable t;
        t.words = {"gc"};
        t.rows = {{2, 0}};
        t.expected = {{e1, e2}};
        return std::get<ProfileTable>(ReadProfileTable(StatsTableText(TestTable(t))));
    };
    ProfileTable sum = part(1.5, 0.5);
    EXPECT_EQ(TestTable(sum)[0].p[0], 1);
    ASSERT_EQ(AddProfileTable(sum, part(0.5, 1.5)), AddResult::Added);
    EXPECT_EQ(sum.rows[0][0], 4u);
    EXPECT_EQ(sum.expected[0][0], 2);
    EXPECT_EQ(sum.expected[0][1], 2);
    const std::string merged = StatsTableText(TestTable(sum));
    EXPECT_NE(merged.find("\ngc\t1\t4\t2\t2\t0.125\t0.125\n"), std::string::npos) << merged;
    EXPECT_NE(merged.find("\ngc\t2\t0\t2\t0\t0.125\t0.125\n"), std::string::npos) << merged;

    // Counts alone cannot be tested, whichever comes first.
    ProfileTable csv = std::get<ProfileTable>(ReadProfileTable(Csv("bucket,gc", 1, Zero)));
    const ProfileTable before = sum;
    EXPECT_EQ(AddProfileTable(sum, csv), AddResult::KindDiffers);
    EXPECT_EQ(AddProfileTable(csv, sum), AddResult::KindDiffers);
    EXPECT_EQ(sum.rows, before.rows);
    EXPECT_EQ(sum.expected, before.expected);
    EXPECT_TRUE(csv.expected.empty());
}

}  // namespace
}  // namespace kelmarin
