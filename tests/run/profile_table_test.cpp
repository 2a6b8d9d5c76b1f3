#include "run/profile_table.h"

#include <gtest/gtest.h>

#include <string>

#include "analysis/word_profile.h"
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

}  // namespace
}  // namespace kelmarin
