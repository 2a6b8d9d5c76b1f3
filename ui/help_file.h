#pragma once
// Where HELP > Help finds Kelmarin.chm. The current directory comes first, as for a program
// started in its build folder; an installed program started from a desktop menu runs in the
// home folder, so the data folder installed beside the program's own folder comes next.

#include <QDir>
#include <QString>

namespace kelmarin {

// The help file of the current directory when it is there, else the installed one when that is
// there, else the current directory's name again: a missing help file opens nothing.
QString HelpFilePath(const QDir& current, const QString& programDir);

}  // namespace kelmarin
