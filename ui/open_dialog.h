#pragma once
// An open-file dialog as the main window uses it: a filter in the program's own notation
// ("Test|*.txt|All|*.*"), a remembered file name and filter entry that are offered again at
// the next opening and kept when the user cancels. The dialog itself is Qt's own (non-native)
// file dialog; tests replace it by setting an executor.

#include <QString>
#include <QStringList>
#include <functional>

class QFileDialog;
class QWidget;

namespace kelmarin {

// "Desc|mask;mask|Desc|mask" → {"Desc (mask mask)", "Desc (mask)"}; the mask *.* means every
// file, which is * on this system.
QStringList NameFiltersFromPattern(const QString& filter);

// The folder of the last file chosen in any of the window's dialogs, where each dialog starts;
// empty before the first choice.
QString LastChosenFolder();

// What a file dialog of the window keeps between openings: its filter, the last name chosen and
// the filter entry chosen with it, offered again at the next opening and kept on a cancel.
class TFileDialogState {
  public:
    explicit TFileDialogState(QString filter) : filter_(std::move(filter)) {}

    const QString& Filter() const { return filter_; }
    const QString& FileName() const { return fileName_; }
    void SetFileName(const QString& name) { fileName_ = name; }
    int FilterIndex() const { return filterIndex_; }  // 1-based
    void SetFilterIndex(int index) { filterIndex_ = index; }

  protected:
    // Offers the kept name and entry in dialog, in the last folder chosen, runs it modally and
    // keeps the user's choice.
    bool ExecuteKeeping(QFileDialog& dialog);
    // After a choice, its folder is where the next dialog starts.
    bool NoteChoice(bool chosen) const;

  private:
    QString filter_;
    QString fileName_;
    int filterIndex_ = 1;
};

class TOpenDialog : public TFileDialogState {
  public:
    // Replaces the dialog: it may set FileName and FilterIndex as a user's choice would and
    // returns whether a file was chosen.
    using Executor = std::function<bool(TOpenDialog&)>;

    explicit TOpenDialog(QString filter) : TFileDialogState(std::move(filter)) {}

    // Opens the dialog modally; on a choice, remembers the file name and filter entry.
    bool Execute(QWidget* owner);

    void SetExecutor(Executor executor) { executor_ = std::move(executor); }

  private:
    bool ExecuteFileDialog(QWidget* owner);

    Executor executor_;
};

}  // namespace kelmarin
