#pragma once
// A save-file dialog as the main window uses it: a filter in the program's own notation
// ("PNG|*.png|SVG|*.svg"), a remembered file name and filter entry offered again at the next
// opening. It does not ask before overwriting: the window asks in its own message dialog, for
// the name with its ending added. Tests replace the dialog by setting an executor.

#include <QString>
#include <functional>

#include "ui/open_dialog.h"

namespace kelmarin {

class TSaveDialog : public TFileDialogState {
  public:
    // Replaces the dialog: it may set FileName and FilterIndex as a user's choice would and
    // returns whether a name was chosen.
    using Executor = std::function<bool(TSaveDialog&)>;

    TSaveDialog(QString filter, QString title)
        : TFileDialogState(std::move(filter)), title_(std::move(title)) {}

    // Opens the dialog modally; on a choice, remembers the name and filter entry.
    bool Execute(QWidget* owner);
    void SetExecutor(Executor executor) { executor_ = std::move(executor); }

    // The name to write: the chosen name, with the ending of the chosen filter entry added
    // when it ends in none of the filter's endings ("chart" or "chart.jpg" with PNG chosen:
    // "chart.png", "chart.jpg.png"). The entry "All" (*.*) adds nothing.
    QString NameToWrite() const;

  private:
    QString title_;
    Executor executor_;
};

}  // namespace kelmarin
