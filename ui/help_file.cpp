#include "ui/help_file.h"

#include <QFileInfo>

namespace kelmarin {

QString HelpFilePath(const QDir& current, const QString& programDir) {
    const QString name = QStringLiteral("Kelmarin.chm");
    const QString here = current.absoluteFilePath(name);
    if (QFileInfo(here).isFile()) return here;
    const QString installed =
        QDir(programDir)
            .absoluteFilePath(QStringLiteral(KELMARIN_HELP_FROM_PROGRAM_DIR "/") + name);
    if (QFileInfo(installed).isFile()) return QDir::cleanPath(installed);
    return here;
}

QString OpenHelpFile(const QString& file, const std::function<bool(const QUrl&)>& open) {
    if (!QFileInfo(file).isFile())
        return QStringLiteral(
            "The help file Kelmarin.chm was not found, neither in the current folder nor where "
            "Kelmarin is installed.");
    if (open(QUrl::fromLocalFile(file))) return {};
    // Without a viewer for the file's type, the desktop has nothing to start.
    return QStringLiteral(
               "The help file could not be opened: no program to show it was found.\n"
               "Install the package xchm (as root: apt-get install xchm), then choose Help "
               "again.\n\n%1")
        .arg(QDir::toNativeSeparators(file));
}

}  // namespace kelmarin
