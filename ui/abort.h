#pragma once
// The silent failure: raised to leave a handler at once without telling the user anything.
// The exception display drops it (and anything derived from it); it carries no error.

#include <stdexcept>

namespace kelmarin {

class EAbort : public std::runtime_error {
  public:
    EAbort() : std::runtime_error("Operation aborted") {}
    explicit EAbort(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace kelmarin
