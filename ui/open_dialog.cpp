#include "ui/open_dialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <algorithm>

namespace kelmarin {

QStringList NameFiltersFromPattern(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList masks = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& m : masks)
            if (m == QLatin1String("*.*")) m = QStringLiteral("*");
        filters << parts[i] + QStringLiteral(" (") + masks.join(QLatin1Char(' ')) +
                       QLatin1Char(')');
    }
    return filters;
}

namespace {

QString& LastFolder() {
    static QString folder;
    return folder;
}

}  // namespace

QString LastChosenFolder() { return LastFolder(); }

bool TFileDialogState::NoteChoice(bool chosen) const {
    if (chosen && !fileName_.isEmpty()) LastFolder() = QFileInfo(fileName_).absolutePath();
    return chosen;
}

bool TFileDialogState::ExecuteKeeping(QFileDialog& dialog) {
    const QStringList filters = NameFiltersFromPattern(filter_);
    dialog.setNameFilters(filters);
    if (filterIndex_ >= 1 && filterIndex_ <= filters.size())
        dialog.selectNameFilter(filters[filterIndex_ - 1]);
    const QFileInfo kept(fileName_);
    if (!LastFolder().isEmpty())
        dialog.setDirectory(LastFolder());
    else if (!fileName_.isEmpty())
        dialog.setDirectory(kept.absolutePath());
    if (!fileName_.isEmpty() && dialog.directory() == kept.absoluteDir())
        dialog.selectFile(kept.fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    fileName_ = dialog.selectedFiles().front();
    filterIndex_ = std::max(1, int(filters.indexOf(dialog.selectedNameFilter())) + 1);
    return true;
}

bool TOpenDialog::Execute(QWidget* owner) {
    return NoteChoice(executor_ ? executor_(*this) : ExecuteFileDialog(owner));
}

bool TOpenDialog::ExecuteFileDialog(QWidget* owner) {
    QFileDialog dialog(owner);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::ReadOnly);
    // Any name is let through, also one that names no file: whether it exists is for the
    // caller to judge and tell in its own words.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setSizeGripEnabled(true);
    return ExecuteKeeping(dialog);
}

}  // namespace kelmarin
