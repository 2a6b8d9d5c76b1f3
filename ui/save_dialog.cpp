#include "ui/save_dialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

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

bool TSaveDialog::Execute(QWidget* owner) {
    if (executor_) return NoteChoice(executor_(*this));
    QFileDialog dialog(owner, title_);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The question comes later, for the name with its ending added.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    return NoteChoice(ExecuteKeeping(dialog));
}

QString TSaveDialog::NameToWrite() const {
    const QList<QStringList> entries = EndingsByEntry(Filter());
    const QString suffix = QFileInfo(FileName()).suffix();
    for (const QStringList& endings : entries)
        if (endings.contains(suffix, Qt::CaseInsensitive)) return FileName();
    const int entry = FilterIndex() - 1;
    if (entry < 0 || entry >= entries.size() || entries[entry].isEmpty()) return FileName();
    return FileName() + QLatin1Char('.') + entries[entry].front();
}

}  // namespace kelmarin
