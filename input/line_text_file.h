#pragma once
// A disk file read as lines through a buffer. A line ends at LF or CR LF, a lone CR is dropped,
// and the byte 0x1A ends the file. Gzip content is read as the bytes it inflates to (see
// file_content.h), so these rules apply to those bytes. Operations never throw: each leaves its
// failure in the thread's I/O result (see in_out_error.h) and returns a harmless value. The
// file itself, its range and its content are the handle's (file_handle.h); the buffer and the
// lines in it are this class's.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "input/file_handle.h"

namespace kelmarin {

class LineTextFile {
  public:
    enum class State { Unbound, Closed, Input };

    LineTextFile() = default;
    ~LineTextFile();
    LineTextFile(const LineTextFile&) = delete;
    LineTextFile& operator=(const LineTextFile&) = delete;

    // Resets every field and records the name; an open handle is closed first.
    void BindName(std::string name);
    // As BindName, for a source that gives its bytes once: "-" for standard input, or a pipe by
    // name. Opening it waits for a writer, and a second open reads on where the first stopped.
    void BindStream(std::string name);
    bool ReadsOnce() const { return handle_.ReadsOnce(); }
    // Installs a caller-owned buffer (kept alive while the file is in use); buffered bytes
    // are forgotten.
    void UseBuffer(char* buffer, std::size_t size);
    // From the next OpenInput on, reads only the bytes [begin, end) of the file, as if they
    // were all of it; firstLine is the number of the file's line that begins at begin. BindName
    // goes back to the whole file.
    void SetRange(std::uint64_t begin, std::uint64_t end, std::uint64_t firstLine = 1);
    std::uint64_t FirstLine() const { return handle_.FirstLine(); }
    // From the next OpenInput on, the range holds gzip members of which only the window's
    // content is read (see FileHandle::SetMemberWindow).
    void SetMemberWindow(const std::optional<MemberWindow>& window) {
        handle_.SetMemberWindow(window);
    }
    // From the next OpenInput on, a regular file is read (and gzip content inflated) on a
    // thread of its own, ahead of the reads. Only a program that may run a second thread asks
    // for it.
    void ReadAhead(bool on) { handle_.ReadAhead(on); }

    void OpenInput();
    void CloseInput();

    // The open file as the system sees it now; unknown when no file is open.
    FileIdentity Identity() const;
    // Sets the I/O result kIoFileChanged when the open file is not the one seen, or is
    // shorter, or its name now names another file. A file that only grew is the same file.
    void CheckSameFile(const FileIdentity& seen);

    // The rest of the current line without its line end, which stays unread.
    void ReadText(std::string& line);
    // Consumes everything up to and including the end of the current line.
    void SkipLine();
    // ReadText into line (replacing its contents), then SkipLine.
    void NextLine(std::string& line);
    // ReadText appending to line, then SkipLine.
    void AppendLine(std::string& line);
    // SkipLine; the length of the line ReadText would have returned.
    std::size_t SkipLineMeasuring();
    // The next byte without consuming it, or -1 at the end of the file.
    int PeekByte();
    // At the start of a line: the first byte of its text, or '\n' when it is empty, or -1 at the
    // end of the file. CRs before it are consumed as ReadText drops them (a CR before a LF
    // leaves the LF, which ends the line just as well).
    int PeekLineStart() {
        // Inline for the common case, a buffered byte that is neither CR nor the end mark: a
        // FASTQ record asks five times.
        if (state_ == State::Input && pos_ < end_) {
            const auto c = static_cast<unsigned char>(buffer_[pos_]);
            if (c != '\r' && c != kEndMark) return c;
        }
        return PeekLineStartAnyCase();
    }
    // Up to n of the next bytes of content without consuming any (fewer at the end of the file,
    // before a 0x1A, or when the buffer holds fewer): what a reader looks at before it reads.
    std::string_view PeekContent(std::size_t n);
    // The bytes buffered from the current position on, as read, reading no more: a reader that
    // takes whole records in one go parses them in place, then consumes what it took. A 0x1A
    // among them ends the file: such a reader stops at one. Empty when nothing is buffered.
    std::string_view BufferedBytes() const {
        if (state_ != State::Input || pos_ >= end_) return {};
        return {buffer_ + pos_, end_ - pos_};
    }
    // Consumes the first n bytes of BufferedBytes().
    void Consume(std::size_t n) { pos_ += n; }
    // The share of the open regular file's own bytes consumed so far, 0 to 100: of the
    // compressed bytes for gzip content. 0 for a source of unknown size.
    int PercentConsumed() const;
    // AppendLine; true when the appended line holds the byte probe.
    bool AppendLineFinding(std::string& line, char probe);
    // Read the rest of the file as a loop of NextLine until AtEnd would, reading at least one
    // line, without assembling the lines: how many lines there are, and how many hold probe.
    std::uint64_t CountLines();
    std::uint64_t CountLinesHolding(char probe);
    std::string NextLine();
    bool AtEnd() {
        if (state_ == State::Input && pos_ < end_) return buffer_[pos_] == kEndMark && endMark_;
        return PeekByte() == kEnd;
    }
    // At the end: whether a 0x1A of the file's own ended it, before the end of the file or of
    // its range. A part of a file read on its own is the file's tail only when it did not.
    bool EndedAtMark() { return AtEnd() && pos_ < end_ && !atLastByte_; }

    // Inflates the rest of gzip content, keeping nothing, and sets the I/O result of any damage
    // found: a damaged stream can inflate to bytes that break a reader's layout before the
    // inflater notices. Does nothing for plain content.
    void ReadRestOfGzip();

    State GetState() const { return state_; }
    bool IsOpen() const { return state_ == State::Input; }
    const std::string& Name() const { return handle_.Name(); }

  private:
    static constexpr int kEnd = -1;
    static constexpr char kEndMark = 0x1A;

    // ReadText, handing each piece of the line to take(bytes, count) instead of keeping it.
    template <typename Take>
    void ReadTextInto(Take&& take);
    // The bytes from the current position up to the end mark or the end of the buffer.
    const char* ChunkEnd() const;
    // The LF that ends the current line when the whole line is buffered, else nullptr.
    template <bool kProbe>
    const char* WholeLine(char probe, bool& found) const;
    bool Refill();
    int PeekLineStartAnyCase();
    void Bind(std::string name, bool once);
    void CloseHandle();

    State state_ = State::Unbound;
    FileHandle handle_;
    bool endMark_ = true;  // the line-break style of this program always honours 0x1A
    std::array<char, 128> ownBuffer_{};
    char* home_ = ownBuffer_.data();  // the installed buffer, and its size
    std::size_t size_ = ownBuffer_.size();
    // The buffered bytes: in home_, or where content read ahead lies (see FileContent::Lend).
    const char* buffer_ = home_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    bool atLastByte_ = false;  // the buffer holds only the mark put there at the end
};

}  // namespace kelmarin
