#pragma once
// Runs the event handlers of the program's widgets so that a failure never unwinds through
// Qt's event dispatch, which is not built for it: the failure is caught where the handler runs
// and handed to the sink that the application installs (its failure display). The widget
// libraries know only this hook, never the application. Without a sink a failure goes on to
// the caller, as from any other function.

#include <exception>

namespace kelmarin {

using HandlerFailureSink = void (*)(std::exception_ptr);

// Installs sink (nullptr removes it) and returns the one installed before.
HandlerFailureSink SetHandlerFailureSink(HandlerFailureSink sink);

// Hands failure to the sink; rethrows it when there is none.
void ReportHandlerFailure(std::exception_ptr failure);

// Runs handler; a failure leaving it goes to the sink.
template <typename Handler>
void RunHandler(Handler&& handler) {
    try {
        handler();
    } catch (...) {
        ReportHandlerFailure(std::current_exception());
    }
}

}  // namespace kelmarin
