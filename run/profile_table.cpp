#include "run/profile_table.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>

#include "run/file_exists.h"
#include "run/profile_csv.h"

namespace kelmarin {

namespace {

// Fields and records of RFC 4180 text, read one record at a time.
class CsvCursor {
  public:
    explicit CsvCursor(std::string_view text) : text_(text) {}

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
            if (c == ',') continue;
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
            while (!AtEnd() && text_[i_] != ',' && text_[i_] != '\n' && text_[i_] != '\r') {
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
    std::size_t i_ = 0;
    std::uint64_t line_ = 1;
};

bool IsDigits(const std::string& s) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
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
    }
    return at + "not a profile";
}

std::variant<ProfileTable, ProfileError> ReadProfileTable(std::string_view csv) {
    using Kind = ProfileError::Kind;
    CsvCursor in(csv);
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
        for (std::size_t w = 0; w < table.words.size(); ++w) {
            const std::string& f = fields[w + 1];
            if (!IsDigits(f)) return ProfileError{Kind::NotANumber, line, b};
            const auto [end, ec] =
                std::from_chars(f.data(), f.data() + f.size(), table.rows[w][b - 1]);
            if (ec != std::errc() || end != f.data() + f.size())
                return ProfileError{Kind::TooLarge, line, b};
        }
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
    if (sum.words != more.words) return AddResult::HeaderDiffers;
    for (std::size_t w = 0; w < sum.rows.size(); ++w)
        for (int b = 0; b < ProfileTable::kBuckets; ++b)
            if (sum.rows[w][b] + more.rows[w][b] < sum.rows[w][b]) return AddResult::Overflow;
    for (std::size_t w = 0; w < sum.rows.size(); ++w)
        for (int b = 0; b < ProfileTable::kBuckets; ++b) sum.rows[w][b] += more.rows[w][b];
    return AddResult::Added;
}

}  // namespace kelmarin
