#pragma once
// Whether a name chosen in an open dialog names an existing file: a regular file, whatever its
// date (a run reads it twice, which a pipe or a device cannot give).

#include <string>

namespace kelmarin {

bool FileExists(const std::string& name);

}  // namespace kelmarin
