#pragma once
// File failures: each file operation leaves a code in the calling thread's I/O result instead
// of throwing; CheckIo turns a pending code into an EInOutError with the code's fixed message.

#include <stdexcept>
#include <string>

namespace kelmarin {

// The file's own codes, beside the operating system's.
inline constexpr int kIoNotBound = 102;  // open of a file that was never bound
inline constexpr int kIoNotOpen = 103;   // close of a file that is not open
inline constexpr int kIoNotInput = 104;  // read from a file that is not open for input

// Gzip content that does not inflate, and gzip content that ends inside a member.
inline constexpr int kIoCorruptGzip = 110;
inline constexpr int kIoTruncatedGzip = 111;
// A file that shrank, or was replaced, between the counting pass and the end of the run.
inline constexpr int kIoFileChanged = 112;
// A FASTQ file that breaks the record layout; the message names the line and what it expected.
inline constexpr int kIoMalformedFastq = 113;
// A sequence longer than memory can hold; the message says how much of it was held.
inline constexpr int kIoSequenceTooLarge = 114;

// Codes for operating-system failures, numbered as the messages below expect.
inline constexpr int kIoFileNotFound = 2;
inline constexpr int kIoInvalidName = 3;
inline constexpr int kIoTooManyFiles = 4;
inline constexpr int kIoAccessDenied = 5;

class EInOutError : public std::runtime_error {
  public:
    explicit EInOutError(int code);
    // A failure whose message says more than the code's fixed text (a malformed record).
    EInOutError(int code, const std::string& message);
    // The number the message shows: the table code, or the operating system's own errno.
    int ErrorCode() const;
    // The I/O result raised: unlike ErrorCode, it tells a table code from an errno of the
    // same number (EIO is not "File access denied").
    int IoResult() const { return code_; }

  private:
    int code_;
};

// The fixed message of an I/O result code ("File not found", ..., "I/O error %d").
std::string InOutMessage(int code);

// Operating-system failures without a message of their own are kept above this base, so that
// an errno such as EIO (5) or ENETDOWN (100) never borrows the message of a table code.
inline constexpr int kIoOsErrorBase = 1 << 16;

// Maps an errno value to the code whose message fits it; any other errno becomes
// kIoOsErrorBase + errno, whose message is "I/O error <errno>".
int IoCodeFromErrno(int err);

namespace detail {
inline thread_local int inOutRes = 0;
[[noreturn]] void RaisePendingIo();
}  // namespace detail

// The calling thread's pending I/O result, 0 when none.
inline int& InOutRes() { return detail::inOutRes; }

// Raises EInOutError for a pending result and clears it; does nothing when none is pending.
// Called after every file operation, so the check itself stays inline.
inline void CheckIo() {
    if (detail::inOutRes != 0) detail::RaisePendingIo();
}

}  // namespace kelmarin
