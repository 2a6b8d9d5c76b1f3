#pragma once
// Failures of the gauge's setters. A refused setting leaves the old value in place.

#include <stdexcept>
#include <string>

namespace kelmarin {

// A property setting that the control cannot accept in its current state.
class EInvalidOperation : public std::runtime_error {
  public:
    explicit EInvalidOperation(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace kelmarin
