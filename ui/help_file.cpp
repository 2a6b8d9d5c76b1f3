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

}  // namespace kelmarin
