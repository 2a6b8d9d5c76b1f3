#pragma once
// The bytes a line file reads from its handle: the file's own bytes, or, when they begin with
// the gzip magic (1f 8b), the bytes they inflate to, whatever the file's name. Several gzip
// members one after another (bgzip output, concatenated files) read as one stream. Failures are
// I/O result codes: the operating system's, or a corrupt or truncated gzip stream.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace kelmarin {

// Whether bytes begin with the gzip magic.
bool IsGzipMagic(const char* bytes, std::size_t size);

// A part of the content of gzip members that is read on its own (a part of a bgzip file): the
// reading starts at a member, drops the first skip bytes it inflates to, and, when it ends,
// ends endSkip bytes into the member that begins at the file's byte endMember (the first member
// itself, or a later one); else the content goes on to the end. A member that does not begin
// there is a content that is not the part's: the reading fails as a truncated stream when it
// passes that byte.
struct MemberWindow {
    std::uint64_t skip = 0;
    bool ends = false;
    std::uint64_t endMember = 0;
    std::uint64_t endSkip = 0;
};

class FileContent {
  public:
    FileContent();
    ~FileContent();
    FileContent(const FileContent&) = delete;
    FileContent& operator=(const FileContent&) = delete;

    // From the next Start on, the content of a regular file is read (and inflated) by a thread
    // of its own into a few blocks ahead of the reads, so that fetching the bytes overlaps the
    // reader's own work. When no thread can be started, the reads go on without one.
    void ReadAhead(bool on) { aheadWanted_ = on; }
    // Starts over at the first byte of fd, a newly opened handle.
    void Start(int fd);
    // Starts over in the middle of fd's bytes, which are taken as they are; at most limit of
    // them are read.
    void StartPlain(int fd, std::uint64_t limit);
    // Starts over at a gzip member in the middle of fd's bytes, the handle's byte at begin, for
    // the window of its content.
    void StartMembers(int fd, std::uint64_t begin, const MemberWindow& window);
    // Reads up to size (at least 2) bytes of content into out: the number read, 0 at the end.
    // On failure returns 0 and sets code to the I/O result.
    std::size_t Read(char* out, std::size_t size, int& code);
    // Whether Lend may be used instead of Read: the content is read ahead.
    bool Lends() const { return mode_ == Mode::Ahead; }
    // The next bytes of content where they were read, saving Read's copy; empty at the end, and
    // on failure, with the I/O result in code. They stay valid until the next Lend, Read or
    // Stop.
    std::string_view Lend(int& code);
    // Ends the reading thread, if one runs; the handle must not close before.
    void Stop();

    bool Inflates() const { return gzip_; }
    // The handle's bytes consumed so far: all of those read when plain, the compressed bytes
    // the inflater has taken when gzip.
    std::uint64_t SourceConsumed() const;

    // Runs where each reading thread is started, just before: a test's hook throws what a
    // thread that cannot start throws. nullptr (the default) for none.
    static void SetThreadStartHook(void (*hook)());

  private:
    enum class Mode { Sniff, Plain, Gzip, Ahead };
    class Source;
    class Ahead;

    std::size_t Sniff(char* out, std::size_t size, int& code);
    void StartAhead();

    Mode mode_ = Mode::Sniff;
    bool gzip_ = false;
    bool aheadWanted_ = false;
    std::uint64_t aheadConsumed_ = 0;  // as of the block the reads are taking
    // Read on the calling thread until a reading thread takes it, for good.
    std::unique_ptr<Source> source_;
    std::unique_ptr<Ahead> ahead_;
};

}  // namespace kelmarin
