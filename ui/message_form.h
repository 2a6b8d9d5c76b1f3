#pragma once
// The window of a message dialog: icon, word-wrapped text and a centred row of buttons, all
// sized from the dialog font. It handles the dialog's own keys (Enter, Esc, access letters,
// Ctrl+C) and closes with the result code of the button pressed, 2 from the close box.
// Running it modally and restoring the other windows is ShowMessageDialog's job.

#include <QDialog>
#include <array>

#include "ui/message_dialog.h"
#include "ui/message_layout.h"

class QPushButton;

namespace kelmarin {

// The width a window needs for its title bar to show the caption whole.
int TitleBarWidth(const QString& caption);

class TMessageForm : public QDialog {
    Q_OBJECT
  public:
    TMessageForm(const QString& text, TMsgDlgType kind, TMsgDlgButtons buttons,
                 QWidget* parent = nullptr);

    // The button's widget, nullptr when it is not shown.
    QPushButton* Button(TMsgDlgBtn button) const { return buttons_.at(button); }
    const TMessageLayout& Layout() const { return layout_; }
    // The text Ctrl+C copies.
    QString ClipboardText() const;

    // The close box and other rejections give 2, whatever the buttons.
    void reject() override;

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void BuildButtons(TMsgDlgButtons buttons);
    void PlaceWidgets(const QString& text, TMsgDlgType kind);
    void CopyToClipboard();
    bool PressAccessKey(QChar key);
    void MoveFocus(bool forward);
    void HandleKey(QKeyEvent* event);

    TMsgDlgButtons set_;
    std::array<QPushButton*, kMessageButtonCount> buttons_{};
    QPushButton* cancel_ = nullptr;
    TMessageLayout layout_;
};

}  // namespace kelmarin
