#include "ui/message_dialog.h"

#include <QApplication>
#include <QPointer>
#include <QStyle>
#include <array>

#include "ui/application.h"
#include "ui/failure_scope.h"
#include "ui/message_form.h"

namespace kelmarin {

namespace {

struct ButtonInfo {
    const char* name;
    const char* caption;
    int result;
};

constexpr std::array<ButtonInfo, kMessageButtonCount> kButtons{{
    {"Yes", "&Yes", mrYes},
    {"No", "&No", mrNo},
    {"OK", "OK", mrOk},
    {"Cancel", "Cancel", mrCancel},
    {"Abort", "&Abort", mrAbort},
    {"Retry", "&Retry", mrRetry},
    {"Ignore", "&Ignore", mrIgnore},
    {"All", "&All", mrAll},
    {"NoToAll", "N&o to All", mrNoToAll},
    {"YesToAll", "Yes to &All", mrYesToAll},
    {"Help", "&Help", mrNone},
}};

bool Has(TMsgDlgButtons buttons, TMsgDlgBtn b) { return (buttons & Buttons(b)) != 0; }

std::optional<TMsgDlgBtn> FirstPresent(TMsgDlgButtons buttons,
                                       std::initializer_list<TMsgDlgBtn> order) {
    for (TMsgDlgBtn b : order)
        if (Has(buttons, b)) return b;
    return std::nullopt;
}

}  // namespace

QString MessageKindCaption(TMsgDlgType kind) {
    switch (kind) {
        case TMsgDlgType::mtWarning:
            return QStringLiteral("Warning");
        case TMsgDlgType::mtError:
            return QStringLiteral("Error");
        case TMsgDlgType::mtInformation:
            return QStringLiteral("Information");
        case TMsgDlgType::mtConfirmation:
            return QStringLiteral("Confirm");
        case TMsgDlgType::mtCustom:
            break;
    }
    return ApplicationTitle();
}

QIcon MessageKindIcon(TMsgDlgType kind) {
    QStyle* style = QApplication::style();
    switch (kind) {
        case TMsgDlgType::mtWarning:
            return style->standardIcon(QStyle::SP_MessageBoxWarning);
        case TMsgDlgType::mtError:
            return style->standardIcon(QStyle::SP_MessageBoxCritical);
        case TMsgDlgType::mtInformation:
            return style->standardIcon(QStyle::SP_MessageBoxInformation);
        case TMsgDlgType::mtConfirmation:
            return style->standardIcon(QStyle::SP_MessageBoxQuestion);
        case TMsgDlgType::mtCustom:
            break;
    }
    return QIcon();
}

QString ButtonName(TMsgDlgBtn button) { return QString::fromLatin1(kButtons.at(button).name); }

QString ButtonCaption(TMsgDlgBtn button) {
    return QString::fromLatin1(kButtons.at(button).caption);
}

int ButtonResult(TMsgDlgBtn button) { return kButtons.at(button).result; }

QChar AccessKey(const QString& caption) {
    const qsizetype amp = caption.indexOf(u'&');
    if (amp < 0 || amp + 1 >= caption.size()) return QChar();
    return caption.at(amp + 1).toUpper();
}

std::optional<TMsgDlgBtn> DefaultButton(TMsgDlgButtons buttons) {
    return FirstPresent(buttons, {mbOK, mbYes, mbRetry});
}

std::optional<TMsgDlgBtn> CancelButton(TMsgDlgButtons buttons) {
    return FirstPresent(buttons, {mbCancel, mbNo, mbOK});
}

QString MessageClipboardText(const QString& caption, const QString& text,
                             const QStringList& buttonCaptions) {
    const QString eol = QStringLiteral("\r\n");
    const QString divider = QString(27, u'-') + eol;
    QString row;
    for (const QString& c : buttonCaptions) row += QString(c).remove(u'&') + QStringLiteral("   ");
    return divider + caption + eol + divider + text + eol + divider + row + eol + divider;
}

int ShowMessageDialog(const QString& text, TMsgDlgType kind, TMsgDlgButtons buttons,
                      int /*helpContext: no help is wired to the dialogs*/) {
    // A dialog asked for after termination was requested closes at once.
    if (TerminationRequested()) return mrCancel;
    QPointer<QWidget> previous = QApplication::activeWindow();
    TMessageForm form(text, kind, buttons);
    // A failure in a handler while the dialog is open leaves the dialog's call.
    TFailureScope scope([&form] { form.done(mrCancel); });
    form.exec();
    form.hide();
    if (previous && previous->isVisible()) previous->activateWindow();
    scope.RethrowIfAny();
    // A loop ended by a termination request leaves no result: that counts as the close box.
    return form.result() == mrNone ? int(mrCancel) : form.result();
}

void ShowPlainMessage(const QString& text) {
    ShowMessageDialog(text, TMsgDlgType::mtCustom, Buttons(mbOK), 0);
}

}  // namespace kelmarin
