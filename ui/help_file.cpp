#include "ui/help_file.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace kelmarin {

namespace {

// The type the desktop's database gives a .chm file, and its older name, which some viewers
// declare alone and which desktops that resolve aliases take for it.
bool IsHelpType(const QByteArray& type) {
    return type == "application/vnd.ms-htmlhelp" || type == "application/x-chm";
}

bool DeclaresHelpType(const QString& entry) {
    QFile file(entry);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return false;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        if (!line.startsWith("MimeType=")) continue;
        for (const QByteArray& type : line.mid(9).split(';'))
            if (IsHelpType(type.trimmed())) return true;
    }
    return false;
}

}  // namespace

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

bool HelpViewerFound() {
    if (QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty()) return false;
    for (const QString& dir :
         QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation)) {
        QDirIterator entries(dir, {QStringLiteral("*.desktop")}, QDir::Files,
                             QDirIterator::Subdirectories);
        while (entries.hasNext())
            if (DeclaresHelpType(entries.next())) return true;
    }
    return false;
}

QString OpenHelpFile(const QString& file, const std::function<bool(const QUrl&)>& open,
                     bool viewerFound) {
    if (!QFileInfo(file).isFile())
        return QStringLiteral(
            "The help file Kelmarin.chm was not found, neither in the current folder nor where "
            "Kelmarin is installed.");
    if (viewerFound && open(QUrl::fromLocalFile(file))) return {};
    return QStringLiteral(
               "The help file could not be opened: no program to show it was found.\n"
               "It needs the packages xchm, which shows it, and xdg-utils, through which the "
               "desktop starts xchm. Install them (as root: apt-get install xchm xdg-utils), "
               "then choose Help again.\n\n%1")
        .arg(QDir::toNativeSeparators(file));
}

}  // namespace kelmarin
