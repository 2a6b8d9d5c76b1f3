#pragma once
// The exception display: how a failure that no handler caught is shown to the user. It is
// reached from one place only, the application's sink for failures leaving event handlers;
// it never rethrows.

#include <QString>
#include <exception>
#include <string>

namespace kelmarin {

// The message as the error box shows it: a period is appended when the text is not empty and
// its last byte is above "." (so "!" and ")" stay as they are, and "?" gets one).
std::string WithClosingPeriod(std::string message);

// The text shown for a failure; empty for failures that carry no message.
QString FailureMessage(std::exception_ptr failure);

// True for EAbort and anything derived from it: such failures are never shown.
bool IsSilentFailure(std::exception_ptr failure);

// Cancels a mouse capture, then shows the failure in a modal error box captioned with the
// application title (stop icon, one OK button) and afterwards reactivates the window that was
// active. Silent failures are dropped.
void ShowException(std::exception_ptr failure);

}  // namespace kelmarin
