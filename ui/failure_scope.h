#pragma once
// Holds on to a failure that leaves an event handler while some code waits for Qt to dispatch
// events (pending events, a modal dialog), so that this code can rethrow it once Qt's dispatch
// has returned: exceptions must never unwind through Qt's event loop. Scopes nest and the
// innermost one takes the failure; it keeps only the first, and shows nothing itself.

#include <exception>
#include <functional>

namespace kelmarin {

class TFailureScope {
  public:
    // onFailure runs once, right after the scope has taken a failure (to end a modal loop).
    explicit TFailureScope(std::function<void()> onFailure = {});
    ~TFailureScope();
    TFailureScope(const TFailureScope&) = delete;
    TFailureScope& operator=(const TFailureScope&) = delete;

    // Gives the failure to the innermost scope. False when there is none, or when it already
    // holds one: the caller then has to report the failure itself.
    static bool TakeFailure(std::exception_ptr failure);

    // Rethrows the failure taken, if any, and forgets it.
    void RethrowIfAny();

  private:
    std::exception_ptr failure_;
    std::function<void()> onFailure_;
    TFailureScope* outer_;
};

}  // namespace kelmarin
