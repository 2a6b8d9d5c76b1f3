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

// Whether the desktop has a program to show Kelmarin.chm. Qt hands a file to xdg-open, which
// starts the program of a menu entry that declares the file's type; when either is missing,
// xdg-open fails after it has started, where the window cannot hear it. Both are looked up as
// files, so the window waits for no program: xdg-open on the PATH, and a menu entry for the type
// in the XDG applications folders or below.
bool HelpViewerFound();

// Opens the help file through open (the desktop's handler for its type) and returns what to tell
// the user when it could not be shown: the file is missing, no viewer was found (open is then
// not asked), or open refused it. Empty when it was opened.
QString OpenHelpFile(const QString& file, const std::function<bool(const QUrl&)>& open,
                     bool viewerFound = HelpViewerFound());

}  // namespace kelmarin
