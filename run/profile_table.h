#pragma once
// A profile as kelmarin-batch writes it, read back from its CSV or from its statistics table so
// that profiles of parts of the data (shards, or files) can be added up. Reading never throws:
// any bytes give either the table or a typed error saying what is wrong and where.

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kelmarin {

struct ProfileTable {
    static constexpr int kBuckets = 100;
    static constexpr std::size_t kMaxWords = 4;
    using Row = std::array<std::uint64_t, kBuckets>;

    std::vector<std::string> words;  // the header after "bucket" (or the rows' words), unquoted
    std::vector<Row> rows;           // one per word, bucket 1 first
    // Each word's expected profile, when the table came with one (a statistics table); empty for
    // a CSV profile, and so for a statistics table without words, which passes for either. Its
    // initializer lets a table be built from words and rows alone.
    std::vector<std::array<double, kBuckets>> expected{};
};

struct ProfileError {
    enum class Kind {
        NoHeader,    // the first line is not "bucket" followed by up to four words
        BadField,    // a quote out of place, an unclosed quote, or a stray CR
        MissingRow,  // the data ends before bucket 100
        BadRow,      // a row that is not its bucket's number and one count per word
        NotANumber,  // a count that is not decimal digits
        TooLarge,    // a count beyond 64 bits
        ExtraData,   // anything after bucket 100
        // Statistics tables only:
        BadStatsRow,   // a row that is not a word, its bucket's number and five more fields
        WordCut,       // a word's rows end before bucket 100, another word's beginning
        RepeatedWord,  // a word that has had its 100 rows already
        TooManyWords,  // text after the fourth word's rows
        BadExpected,   // an expected count that is not a finite number of 0 or more
    };
    Kind kind;
    std::uint64_t line;  // 1-based line of the text where the row begins
    int bucket;          // the bucket concerned, 0 for the header
    std::string Message() const;
};

// The table written as CSV or as a statistics table (known by its header line; see
// position_stats.h), or the first reason it is neither. Rows may end in LF or CR LF; fields may
// be quoted as RFC 4180 allows. A statistics table's ratios, p and q values are not read: they
// follow from the counts.
std::variant<ProfileTable, ProfileError> ReadProfileTable(std::string_view text);

// The table as kelmarin-batch writes it: "bucket,<word>,..." with each word quoted as CSV asks,
// then buckets 1 to 100 with one count per word; lines end in LF. Expected profiles are left out.
std::string ProfileTableCsv(const ProfileTable& table);
// The same lines with tabs between the fields, as spreadsheets paste a table.
std::string ProfileTableTsv(const ProfileTable& table);

// A file that gives no profile: which file, and why. Reading returns it, --merge reports it
// and the window raises it, so that every front-end says the same.
class EProfileFileError : public std::runtime_error {
  public:
    EProfileFileError(const std::string& file, const std::string& reason)
        : std::runtime_error(file + ": " + reason), file_(file), reason_(reason) {}
    const std::string& File() const { return file_; }
    const std::string& Reason() const { return reason_; }

  private:
    std::string file_;
    std::string reason_;
};

// The profile in the named file ("-": standard input), or why it is not one: the file cannot be
// read ("no such file", "is a folder", ...), is far too large, or its text is refused as
// ProfileError says.
std::variant<ProfileTable, EProfileFileError> ReadProfileFile(const std::string& name);

// Adds more into sum bucket by bucket, expected profiles too. Fails, leaving sum as it was, when
// one has expected profiles and the other not, when the headers differ, or when a sum would not
// fit in 64 bits (an expected one: in a finite double).
enum class AddResult { Added, HeaderDiffers, Overflow, KindDiffers };
AddResult AddProfileTable(ProfileTable& sum, const ProfileTable& more);

}  // namespace kelmarin
