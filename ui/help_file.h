#pragma once
// Where HELP > Help finds Kelmarin.chm. The current directory comes first, as for a program
// started in its build folder; an installed program started from a desktop menu runs in the
// home folder, so the data folder installed beside the program's own folder comes next.

#include <QDir>
#include <QString>
#include <QUrl>
#include <functional>

namespace kelmarin {

// The help file of the current directory when it is there, else the installed one when that is
// there, else the current directory's name again, which OpenHelpFile reports as missing.
QString HelpFilePath(const QDir& current, const QString& programDir);

// Opens the help file through open (the desktop's handler for its type) and returns what to tell
// the user when it could not be shown: the file is missing, or no program opened it. Empty when
// it was opened.
QString OpenHelpFile(const QString& file, const std::function<bool(const QUrl&)>& open);

}  // namespace kelmarin
