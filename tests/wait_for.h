#pragma once
// Waiting in widget tests. QTest's QTRY_ macros report to QTest's own runner, so under
// GoogleTest a wait that runs out would pass silently: wait with this, then assert.

#include <QTest>

namespace kelmarin::test {

// Lets events run until pred holds or timeoutMs has passed; returns whether pred held.
template <typename Pred>
bool WaitFor(Pred pred, int timeoutMs = 5000) {
    return QTest::qWaitFor(pred, timeoutMs);
}

}  // namespace kelmarin::test
