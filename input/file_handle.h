#pragma once
// The file a line file reads: the name it is bound to, its descriptor, the byte range it is
// restricted to, and its content (plain or inflated, see file_content.h) read through them.
// Failures come back as I/O result codes (see in_out_error.h); the thread's I/O result is left
// to the caller, which decides what a failure means to its reads.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "input/file_content.h"

namespace kelmarin {

// Which file a handle reads, and how long it was: enough to tell a file that shrank or was
// replaced from one that only grew.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    bool known = false;
};

class FileHandle {
  public:
    FileHandle() = default;
    ~FileHandle();
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    // Names the file the next Open opens, closing an open one first (its close result is of no
    // use then), and goes back to the whole file. once: a source that gives its bytes once, "-"
    // for standard input or a pipe by name, opened waiting for a writer.
    void Bind(std::string name, bool once);
    bool ReadsOnce() const { return once_; }
    const std::string& Name() const { return name_; }
    // From the next Open on, only the bytes [begin, end) are read, as if they were all of the
    // file; firstLine is the number of the file's line that begins at begin.
    void SetRange(std::uint64_t begin, std::uint64_t end, std::uint64_t firstLine = 1);
    std::uint64_t FirstLine() const { return firstLine_; }
    // From the next Open on, the bytes from the range's first on are gzip members, and only the
    // window of their content is read; Bind and SetRange go back to all of it.
    void SetMemberWindow(const std::optional<MemberWindow>& window) { window_ = window; }
    // From the next Open on, a regular file's content is read on a thread of its own.
    void ReadAhead(bool on) { content_.ReadAhead(on); }

    // Opens the bound name at the first byte of its range: 0, or the I/O result of the failure.
    int Open();
    // Ends the content's reading, then closes the descriptor: 0, or the close's I/O result.
    int Close();
    bool IsOpen() const { return fd_ >= 0; }

    // The open file as the system sees it now; unknown when none is open.
    FileIdentity Identity() const;
    // False when the open file is not the one seen, or is shorter, or its name now names another
    // file. A file that only grew is the same file; so is any source read once.
    bool IsSameFile(const FileIdentity& seen) const;

    // Up to size bytes of content into out, never past the range: the number read, 0 at the
    // end, and 0 on failure with the I/O result in code.
    std::size_t Read(char* out, std::size_t size, int& code);
    // Whether Lend may be used instead of Read (see FileContent::Lend).
    bool Lends() const { return content_.Lends(); }
    std::string_view Lend(int& code);
    bool Inflates() const { return content_.Inflates(); }
    // The file's own bytes taken so far, and how many there are: 0 when that is unknown (not a
    // regular file) or when none is open.
    std::uint64_t SourceConsumed() const { return content_.SourceConsumed(); }
    std::uint64_t SourceSize() const { return sourceSize_; }

  private:
    std::string name_;
    bool once_ = false;
    int fd_ = -1;
    std::uint64_t rangeBegin_ = 0;
    std::uint64_t rangeEnd_ = UINT64_MAX;
    std::uint64_t rangeLeft_ = UINT64_MAX;  // bytes of the range not yet read
    std::uint64_t firstLine_ = 1;
    std::optional<MemberWindow> window_;
    std::uint64_t sourceSize_ = 0;  // of an open regular file (or its range); 0 when unknown
    FileContent content_;
};

}  // namespace kelmarin
