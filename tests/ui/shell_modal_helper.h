#pragma once
// Reaching a modal window from a test: the call that opens it only returns when it closes, so
// the test queues its actions first and they run inside the window's own event loop.

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <functional>

#include "ui/message_form.h"

namespace kelmarin::test {

// Counts finished tests: an action queued by a test that has ended must not touch the next
// test's windows (nor the ended test's variables).
inline int& TestGeneration() {
    static int generation = 0;
    return generation;
}

// Runs action on the active modal window as soon as one is open.
inline void OnModal(std::function<void(QWidget*)> action, int triesLeft = 500) {
    const int generation = TestGeneration();
    QTimer::singleShot(0, [action = std::move(action), triesLeft, generation]() mutable {
        if (generation != TestGeneration()) return;
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != nullptr && modal->isVisible())
            action(modal);
        else if (triesLeft > 0)
            OnModal(std::move(action), triesLeft - 1);
    });
}

// The same for a message dialog.
inline void OnMessageForm(std::function<void(TMessageForm*)> action) {
    OnModal([action = std::move(action)](QWidget* w) {
        auto* form = qobject_cast<TMessageForm*>(w);
        if (form != nullptr)
            action(form);
        else
            w->close();
    });
}

inline QPushButton* ButtonNamed(QWidget* form, const char* name) {
    return form->findChild<QPushButton*>(QString::fromLatin1(name));
}

// Where key presses go: the focused control of the dialog.
inline QWidget* KeyTarget(QWidget* form) {
    return form->focusWidget() != nullptr ? form->focusWidget() : form;
}

}  // namespace kelmarin::test
