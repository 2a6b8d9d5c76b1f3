#pragma once
// Whether a name chosen in an open dialog names an existing file: a regular file, whatever its
// date (a run reads it twice, which a pipe or a device cannot give).

#include <string>

namespace kelmarin {

bool FileExists(const std::string& name);

// Whether a name stands for bytes that can be read only once: "-" for standard input, or a
// pipe (a FIFO, or a process substitution such as /dev/fd/63).
bool IsStreamName(const std::string& name);

// Why FILE cannot be read ("no such file", "is a folder", "permission denied", "not a regular
// file or a pipe"), or empty when it can be tried. "-" is standard input.
std::string InputProblem(const std::string& file);

}  // namespace kelmarin
