#include "ui/failure_scope.h"

#include <utility>

namespace kelmarin {

namespace {
// Events are dispatched on the user-interface thread only.
TFailureScope* innermost = nullptr;
}  // namespace

TFailureScope::TFailureScope(std::function<void()> onFailure)
    : onFailure_(std::move(onFailure)), outer_(innermost) {
    innermost = this;
}

TFailureScope::~TFailureScope() { innermost = outer_; }

bool TFailureScope::TakeFailure(std::exception_ptr failure) {
    TFailureScope* scope = innermost;
    if (scope == nullptr || scope->failure_) return false;
    scope->failure_ = std::move(failure);
    if (scope->onFailure_) scope->onFailure_();
    return true;
}

void TFailureScope::RethrowIfAny() {
    if (!failure_) return;
    std::exception_ptr failure = std::exchange(failure_, nullptr);
    std::rethrow_exception(failure);
}

}  // namespace kelmarin
