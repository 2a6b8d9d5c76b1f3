#include "ui/save_dialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

#include "ui/open_dialog.h"

namespace kelmarin {

namespace {

// The endings of the masks of each filter entry ("*.fas;*.fa" gives "fas", "fa"); *.* has none.
QList<QStringList> EndingsByEntry(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QList<QStringList> entries;
    for (qsizetype i = 1; i < parts.size(); i += 2) {
        QStringList endings;
        for (const QString& mask : parts[i].split(QLatin1Char(';'), Qt::SkipEmptyParts))
            if (mask.startsWith(QLatin1String("*.")) && mask != QLatin1String("*.*"))
                endings << mask.mid(2);
        entries << endings;
    }
    return entries;
}

}  // namespace

TSaveDialog::TSaveDialog(QString filter, QString title)
    : filter_(std::move(filter)), title_(std::move(title)) {}

bool TSaveDialog::Execute(QWidget* owner) {
    return executor_ ? executor_(*this) : ExecuteFileDialog(owner);
}

bool TSaveDialog::ExecuteFileDialog(QWidget* owner) {
    QFileDialog dialog(owner, title_);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The question comes later, for the name with its ending added.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    const QStringList filters = NameFiltersFromPattern(filter_);
    dialog.setNameFilters(filters);
    if (filterIndex_ >= 1 && filterIndex_ <= filters.size())
        dialog.selectNameFilter(filters[filterIndex_ - 1]);
    if (!fileName_.isEmpty()) {
        const QFileInfo last(fileName_);
        dialog.setDirectory(last.absolutePath());
        dialog.selectFile(last.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    fileName_ = dialog.selectedFiles().front();
    filterIndex_ = std::max(1, int(filters.indexOf(dialog.selectedNameFilter())) + 1);
    return true;
}

QString TSaveDialog::NameToWrite() const {
    const QList<QStringList> entries = EndingsByEntry(filter_);
    const QString suffix = QFileInfo(fileName_).suffix();
    for (const QStringList& endings : entries)
        if (endings.contains(suffix, Qt::CaseInsensitive)) return fileName_;
    const int entry = filterIndex_ - 1;
    if (entry < 0 || entry >= entries.size() || entries[entry].isEmpty()) return fileName_;
    return fileName_ + QLatin1Char('.') + entries[entry].front();
}

}  // namespace kelmarin
