#include "run/profile_table.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <optional>

#include "run/file_exists.h"
#include "run/position_stats.h"
#include "run/profile_csv.h"

namespace kelmarin {

namespace {

// Fields and records of RFC 4180 text (or of the same with tabs), read one record at a time.
class CsvCursor {
  public:
    explicit CsvCursor(std::string_view text, char separator = ',')
        : text_(text), separator_(separator) {}

    bool AtEnd() const { return i_ >= text_.size(); }
    std::uint64_t Line() const { return line_; }

    // The next record's fields; false when its quoting is broken.
    bool ReadRecord(std::vector<std::string>& fields) {
        fields.clear();
        for (;;) {
            fields.emplace_back();
            if (!ReadField(fields.back())) return false;
            if (AtEnd()) return true;
            const char c = text_[i_++];
            if (c == separator_) continue;
            if (c == '\r' && i_ < text_.size() && text_[i_] == '\n')
                ++i_;
            else if (c != '\n')
                return false;
            ++line_;
            return true;
        }
    }

  private:
    bool ReadField(std::string& field) {
        if (AtEnd() || text_[i_] != '"') {
            while (!AtEnd() && text_[i_] != separator_ && text_[i_] != '\n' && text_[i_] != '\r') {
                if (text_[i_] == '"') return false;
                field += text_[i_++];
            }
            return true;
        }
        for (++i_;; ++i_) {
            if (AtEnd()) return false;
            const char c = text_[i_];
            if (c == '"') {
                if (i_ + 1 < text_.size() && text_[i_ + 1] == '"') {
                    ++i_;
                } else {
                    ++i_;
                    return true;
                }
            }
            line_ += c == '\n';
            field += c;
        }
    }

    std::string_view text_;
    char separator_;
    std::size_t i_ = 0;
    std::uint64_t line_ = 1;
};

bool IsDigits(const std::string& s) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

// A count of bucket b on that line, or the error that it is not one.
std::optional<ProfileError> ReadCount(const std::string& f, std::uint64_t& count,
                                      std::uint64_t line, int b) {
    if (!IsDigits(f)) return ProfileError{ProfileError::Kind::NotANumber, line, b};
    const auto [end, ec] = std::from_chars(f.data(), f.data() + f.size(), count);
    if (ec != std::errc() || end != f.data() + f.size())
        return ProfileError{ProfileError::Kind::TooLarge, line, b};
    return std::nullopt;
}

// The leading digit keeps out the signs, "inf" and "nan" that from_chars would take.
bool ReadExpected(const std::string& f, double& expected) {
    if (f.empty() || !((f[0] >= '0' && f[0] <= '9') || f[0] == '.')) return false;
    const auto [end, ec] = std::from_chars(f.data(), f.data() + f.size(), expected);
    return ec == std::errc() && end == f.data() + f.size() && std::isfinite(expected);
}

bool StartsStatsTable(std::string_view text) {
    if (!text.starts_with(kStatsTableHeader)) return false;
    const std::string_view rest = text.substr(kStatsTableHeader.size());
    return rest.empty() || rest.starts_with('\n') || rest.starts_with("\r\n");
}

// Blocks of 100 rows, one per word, after a header known to be whole.
std::variant<ProfileTable, ProfileError> ReadStatsTable(std::string_view text) {
    using Kind = ProfileError::Kind;
    constexpr std::size_t kFields = 7;
    CsvCursor in(text, '\t');
    std::vector<std::string> fields;
    ProfileTable table;
    in.ReadRecord(fields);
    while (!in.AtEnd()) {
        if (table.words.size() == ProfileTable::kMaxWords)
            return ProfileError{Kind::TooManyWords, in.Line(), 0};
        ProfileTable::Row& row = table.rows.emplace_back();
        auto& expected = table.expected.emplace_back();
        for (int b = 1; b <= ProfileTable::kBuckets; ++b) {
            const std::uint64_t line = in.Line();
            if (in.AtEnd()) return ProfileError{Kind::MissingRow, line, b};
            if (!in.ReadRecord(fields)) return ProfileError{Kind::BadField, line, b};
            if (fields.size() != kFields || fields[0].empty() || fields[1] != std::to_string(b))
                return ProfileError{Kind::BadStatsRow, line, b};
            if (b > 1 && fields[0] != table.words.back())
                return ProfileError{Kind::WordCut, line, b};
            if (b == 1) {
                if (std::find(table.words.begin(), table.words.end(), fields[0]) !=
                    table.words.end())
                    return ProfileError{Kind::RepeatedWord, line, b};
                table.words.push_back(fields[0]);
            }
            if (auto error = ReadCount(fields[2], row[b - 1], line, b)) return *error;
            if (!ReadExpected(fields[3], expected[b - 1]))
                return ProfileError{Kind::BadExpected, line, b};
        }
    }
    return table;
}

}  // namespace

std::string ProfileError::Message() const {
    const std::string at = "line " + std::to_string(line) + ": ";
    const std::string b = std::to_string(bucket);
    switch (kind) {
        case Kind::NoHeader:
            return at + "not a profile header (bucket,<word>,... with 0 to 4 words)";
        case Kind::BadField:
            return at + "a quote out of place, an unclosed quote or a stray CR";
        case Kind::MissingRow:
            return "the profile ends before bucket " + b;
        case Kind::BadRow:
            return at + "expected bucket " + b + " and one count for each word";
        case Kind::NotANumber:
            return at + "a count of bucket " + b + " is not a number";
        case Kind::TooLarge:
            return at + "a count of bucket " + b + " does not fit in 64 bits";
        case Kind::ExtraData:
            return at + "more text after bucket 100";
        case Kind::BadStatsRow:
            return at + "expected a word, bucket " + b +
                   ", its count, expected count, ratio, p and q";
        case Kind::WordCut:
            return at + "the rows of the word above end before bucket " + b;
        case Kind::RepeatedWord:
            return at + "the rows of a word given above again";
        case Kind::TooManyWords:
            return at + "more text after the rows of the fourth word";
        case Kind::BadExpected:
            return at + "the expected count of bucket " + b +
                   " is not a finite number of 0 or more";
    }
    return at + "not a profile";
}

std::variant<ProfileTable, ProfileError> ReadProfileTable(std::string_view text) {
    using Kind = ProfileError::Kind;
    if (StartsStatsTable(text)) return ReadStatsTable(text);
    CsvCursor in(text);
    std::vector<std::string> fields;
    ProfileTable table;
    if (in.AtEnd()) return ProfileError{Kind::NoHeader, 1, 0};
    if (!in.ReadRecord(fields)) return ProfileError{Kind::BadField, 1, 0};
    if (fields[0] != "bucket" || fields.size() > ProfileTable::kMaxWords + 1)
        return ProfileError{Kind::NoHeader, 1, 0};
    table.words.assign(fields.begin() + 1, fields.end());
    for (const auto& w : table.words)
        if (w.empty()) return ProfileError{Kind::NoHeader, 1, 0};
    table.rows.resize(table.words.size());

    for (int b = 1; b <= ProfileTable::kBuckets; ++b) {
        const std::uint64_t line = in.Line();
        if (in.AtEnd()) return ProfileError{Kind::MissingRow, line, b};
        if (!in.ReadRecord(fields)) return ProfileError{Kind::BadField, line, b};
        if (fields.size() != table.words.size() + 1 || fields[0] != std::to_string(b))
            return ProfileError{Kind::BadRow, line, b};
        for (std::size_t w = 0; w < table.words.size(); ++w)
            if (auto error = ReadCount(fields[w + 1], table.rows[w][b - 1], line, b)) return *error;
    }
    if (!in.AtEnd()) return ProfileError{Kind::ExtraData, in.Line(), ProfileTable::kBuckets};
    return table;
}

namespace {

std::string ProfileTableText(const ProfileTable& table, char separator) {
    std::string text = "bucket";
    for (const auto& w : table.words) {
        text += separator;
        text += DelimitedField(w, separator);
    }
    text += '\n';
    for (int b = 1; b <= ProfileTable::kBuckets; ++b) {
        text += std::to_string(b);
        for (const auto& row : table.rows) {
            text += separator;
            text += std::to_string(row[b - 1]);
        }
        text += '\n';
    }
    return text;
}

// Far above any profile (four words given on a command line and 100 rows), so that a data
// file named by mistake is refused instead of read whole.
constexpr std::size_t kMaxProfileBytes = 16 << 20;

// Reads the whole file ("-": standard input) into bytes; false with the reason when it cannot.
bool ReadSmallFile(const std::string& name, std::string& bytes, std::string& reason) {
    reason = InputProblem(name);
    if (!reason.empty()) return false;
    const bool standardInput = name == "-";
    const int fd = standardInput ? STDIN_FILENO : ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        reason = std::strerror(errno);
        return false;
    }
    char block[65536];
    for (;;) {
        const ssize_t n = ::read(fd, block, sizeof block);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) reason = std::strerror(errno);
        if (n <= 0) break;
        bytes.append(block, std::size_t(n));
        if (bytes.size() > kMaxProfileBytes) {
            reason = "too large to be a profile";
            break;
        }
    }
    if (!standardInput) ::close(fd);
    return reason.empty();
}

}  // namespace

std::string ProfileTableCsv(const ProfileTable& table) { return ProfileTableText(table, ','); }
std::string ProfileTableTsv(const ProfileTable& table) { return ProfileTableText(table, '\t'); }

std::variant<ProfileTable, EProfileFileError> ReadProfileFile(const std::string& name) {
    std::string bytes, reason;
    if (!ReadSmallFile(name, bytes, reason)) return EProfileFileError(name, reason);
    auto read = ReadProfileTable(bytes);
    if (const auto* error = std::get_if<ProfileError>(&read))
        return EProfileFileError(name, error->Message());
    return std::get<ProfileTable>(std::move(read));
}

AddResult AddProfileTable(ProfileTable& sum, const ProfileTable& more) {
    if (sum.expected.empty() != more.expected.empty()) return AddResult::KindDiffers;
    if (sum.words != more.words) return AddResult::HeaderDiffers;
    for (std::size_t w = 0; w < sum.rows.size(); ++w)
        for (int b = 0; b < ProfileTable::kBuckets; ++b)
            if (sum.rows[w][b] + more.rows[w][b] < sum.rows[w][b]) return AddResult::Overflow;
    for (std::size_t w = 0; w < sum.expected.size(); ++w)
        for (int b = 0; b < ProfileTable::kBuckets; ++b)
            if (!std::isfinite(sum.expected[w][b] + more.expected[w][b]))
                return AddResult::Overflow;
    for (std::size_t w = 0; w < sum.rows.size(); ++w)
        for (int b = 0; b < ProfileTable::kBuckets; ++b) sum.rows[w][b] += more.rows[w][b];
    for (std::size_t w = 0; w < sum.expected.size(); ++w)
        for (int b = 0; b < ProfileTable::kBuckets; ++b) sum.expected[w][b] += more.expected[w][b];
    return AddResult::Added;
}

}  // namespace kelmarin
