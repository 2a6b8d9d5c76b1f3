#include "platform/handler_guard.h"

#include <utility>

namespace kelmarin {

namespace {
// Event handlers run on the user-interface thread only.
HandlerFailureSink sink = nullptr;
}  // namespace

HandlerFailureSink SetHandlerFailureSink(HandlerFailureSink newSink) {
    return std::exchange(sink, newSink);
}

void ReportHandlerFailure(std::exception_ptr failure) {
    if (sink == nullptr) std::rethrow_exception(failure);
    sink(std::move(failure));
}

}  // namespace kelmarin
