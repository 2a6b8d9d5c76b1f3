#pragma once
// A profile as kelmarin-batch writes it, read back from its CSV so that profiles of parts of
// the data (shards, or files) can be added up. Reading never throws: any bytes give either
// the table or a typed error saying what is wrong and where.

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

    std::vector<std::string> words;  // the header after "bucket", unquoted
    std::vector<Row> rows;           // one per word, bucket 1 first
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
    };
    Kind kind;
    std::uint64_t line;  // 1-based line of the CSV where the row begins
    int bucket;          // the bucket concerned, 0 for the header
    std::string Message() const;
};

// The table written as CSV, or the first reason it is not such a profile. Rows may end in LF
// or CR LF; fields may be quoted as RFC 4180 allows.
std::variant<ProfileTable, ProfileError> ReadProfileTable(std::string_view csv);

// The table as kelmarin-batch writes it: "bucket,<word>,..." with each word quoted as CSV asks,
// then buckets 1 to 100 with one count per word; lines end in LF.
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

// Adds more into sum bucket by bucket. Fails, leaving sum as it was, when the headers differ
// or when a sum would not fit in 64 bits.
enum class AddResult { Added, HeaderDiffers, Overflow };
AddResult AddProfileTable(ProfileTable& sum, const ProfileTable& more);

}  // namespace kelmarin
