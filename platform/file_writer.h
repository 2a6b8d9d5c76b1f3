#pragma once
// The one way Kelmarin writes a file (profiles, tables, pictures), so that a failure never loses
// the user's work nor passes for a success. The content is made whole in memory first; a
// regular file (or a name not yet taken) is then written under a temporary name beside it and
// renamed over it only once every byte is on disk, so that the old file stays as it was until
// then. A device, a pipe or a descriptor of the process (/dev/stdout) is written in place, as cp
// does: replacing /dev/null would be worse than any failure.

#include <stdexcept>
#include <string>
#include <string_view>

namespace kelmarin {

// A file could not be written: names the file as the user gave it, and the system's reason.
class EFileWriteError : public std::runtime_error {
  public:
    EFileWriteError(const std::string& file, const std::string& reason)
        : std::runtime_error("Cannot save " + file + ": " + reason), file_(file), reason_(reason) {}
    const std::string& File() const { return file_; }
    const std::string& Reason() const { return reason_; }

  private:
    std::string file_;
    std::string reason_;
};

// Writes bytes to path (in the system's encoding of names). Symbolic links are followed to the
// file they finally name, which is replaced while every link stays a link; a replaced file
// keeps its mode, and its owner and group where this process may set them. On any failure,
// the final flush and close included, path is left as it was, no temporary file remains, and
// EFileWriteError says why.
void WriteFileSafely(const std::string& path, std::string_view bytes);

}  // namespace kelmarin
