#pragma once
// The bytes a line file reads from its handle: the file's own bytes, or, when they begin with
// the gzip magic (1f 8b), the bytes they inflate to, whatever the file's name. Several gzip
// members one after another (bgzip output, concatenated files) read as one stream. Failures are
// I/O result codes: the operating system's, or a corrupt or truncated gzip stream.

#include <cstddef>
#include <cstdint>
#include <memory>

struct inflate_state;

namespace kelmarin {

// Whether bytes begin with the gzip magic.
bool IsGzipMagic(const char* bytes, std::size_t size);

class FileContent {
  public:
    FileContent();
    ~FileContent();
    FileContent(const FileContent&) = delete;
    FileContent& operator=(const FileContent&) = delete;

    // Starts over at the first byte of a newly opened handle.
    void Start();
    // Starts over in the middle of a handle's bytes, which are taken as they are.
    void StartPlain();
    // Reads up to size (at least 2) bytes of content from fd into out: the number read, 0 at the
    // end. On failure returns 0 and sets code to the I/O result.
    std::size_t Read(int fd, char* out, std::size_t size, int& code);

  private:
    enum class Mode { Sniff, Plain, Gzip, Done };

    std::size_t Sniff(int fd, char* out, std::size_t size, int& code);
    std::size_t Inflate(int fd, char* out, std::size_t size, int& code);
    bool FillInput(int fd, int& code);
    bool NextMember(int fd, int& code);
    std::size_t Damaged(int failure, int& code);

    Mode mode_ = Mode::Sniff;
    bool inputEnded_ = false;
    std::unique_ptr<inflate_state> state_;
    std::unique_ptr<std::uint8_t[]> input_;
    std::size_t inputSize_ = 0;
};

}  // namespace kelmarin
