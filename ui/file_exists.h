#pragma once
// Whether a name chosen in an open dialog names an existing file: a regular file (a run reads
// it twice, which a pipe or a device cannot give), with a modification date (local time) in
// the years 1980 to 2107 that the classic file dates hold.

#include <string>

namespace kelmarin {

bool FileExists(const std::string& name);

// Whether a name stands for bytes that can be read only once: "-" for standard input, or a
// pipe (a FIFO, or a process substitution such as /dev/fd/63).
bool IsStreamName(const std::string& name);

}  // namespace kelmarin
