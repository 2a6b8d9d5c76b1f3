#pragma once
// Modal message dialogs: the program's questions, warnings and notices. Each dialog is built
// by the program itself so that its captions, buttons, access keys, default and cancel
// buttons and result codes are the same on every desktop.

#include <QChar>
#include <QIcon>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

#include "run/message_kinds.h"

namespace kelmarin {

// The caption of a dialog of this kind; Custom dialogs bear the application title.
QString MessageKindCaption(TMsgDlgType kind);

// The platform's standard icon for the kind; a null icon for Custom.
QIcon MessageKindIcon(TMsgDlgType kind);

// A button's window name ("Yes", "NoToAll", ...), caption with its "&" and result code
// (0 for Help, which does not close the dialog).
QString ButtonName(TMsgDlgBtn button);
QString ButtonCaption(TMsgDlgBtn button);
int ButtonResult(TMsgDlgBtn button);

// The letter after the "&" of a caption, upper case; a null QChar when there is none.
QChar AccessKey(const QString& caption);

// The button Enter presses when no button has the focus: OK, else Yes, else Retry.
std::optional<TMsgDlgBtn> DefaultButton(TMsgDlgButtons buttons);
// The button Esc presses: Cancel, else No, else OK.
std::optional<TMsgDlgBtn> CancelButton(TMsgDlgButtons buttons);

// What Ctrl+C puts on the clipboard: caption, text and the button captions between
// 27-dash dividers, every line ending in CR LF.
QString MessageClipboardText(const QString& caption, const QString& text,
                             const QStringList& buttonCaptions);

// Shows a modal dialog centred on the screen and returns the result code of the button pressed
// (2 when closed by its close box).
int ShowMessageDialog(const QString& text, TMsgDlgType kind, TMsgDlgButtons buttons,
                      int helpContext = 0);

// The plain message box: kind Custom, button OK, captioned with the application title.
void ShowPlainMessage(const QString& text);

}  // namespace kelmarin
