#pragma once
// What lets results leave the main window and come back: FILE > Save profile..., Save chart...,
// Save statistics... and Open profile..., EDIT > Copy (and Ctrl+C on the focused chart), the file
// named in the title, and a sequence file dropped on the window. Each item writes only when the
// user asks, and is disabled during a run; the save and copy items also until something is shown.
// The window's own menus, commands and captions are not touched.

#include <QObject>
#include <QString>
#include <optional>
#include <string>
#include <utility>

#include "run/profile_table.h"
#include "ui/open_dialog.h"
#include "ui/save_dialog.h"

class QAction;
class QMenu;

namespace kelmarin {

class TForm1;

class TResultsMenu : public QObject {
  public:
    // Adds the items to form's menus and watches its drops.
    explicit TResultsMenu(TForm1& form);

    QAction& SaveProfile1() { return *saveProfile_; }
    QAction& SaveChart1() { return *saveChart_; }
    QAction& SaveStatistics1() { return *saveStats_; }
    QAction& OpenProfile1() { return *openProfile_; }
    QMenu& Compare1() { return *compare_; }
    QAction& CompareOpen1() { return *compareOpen1_; }
    QAction& CompareNone1() { return *compareNone1_; }
    TOpenDialog& CompareOpenDialog() { return compareOpen_; }
    QAction& Copy1() { return *copy_; }
    QMenu& EDIT1() { return *edit_; }
    TSaveDialog& ProfileSaveDialog() { return profileSave_; }
    TSaveDialog& ChartSaveDialog() { return chartSave_; }
    TSaveDialog& StatisticsSaveDialog() { return statsSave_; }
    TOpenDialog& ProfileOpenDialog() { return profileOpen_; }

    void SaveProfile1Click();
    void SaveChart1Click();
    // The bias tests of the result shown, as kelmarin-batch --stats writes them.
    void SaveStatistics1Click();
    void OpenProfile1Click();
    // FILE › Compare with profile…: another file's profile of the same words over the result.
    void CompareOpen1Click();
    void CompareNone1Click();
    void Copy1Click();
    // Binds a dropped sequence file as its open dialog would, in the mode its name gives.
    void DropFile(const QString& name);

    // Enables the items as the run and what the chart shows allow.
    void UpdateItems();
    // "<file name> — <the form's title>", "<file name> (failed) — …" after a failed run, or the
    // form's title alone for no name.
    void ShowFileInTitle(const std::string& name, bool failed);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void AddItems();
    bool ShowsResults() const;
    // Whether a save or copy may go on now; after a failed run, says why not.
    bool HasResultToWrite();
    // The name the user chose to write, after the question when it exists; empty when the
    // user cancelled the dialog. The dialog suggests the result's name with this ending.
    QString ChooseNameToWrite(TSaveDialog& dialog, const char* ending);
    // The profile or statistics table the dialog chooses, and its name; nothing after a cancel.
    // Raises EProfileFileError for a file that gives none.
    std::optional<std::pair<ProfileTable, std::string>> ChooseProfile(TOpenDialog& dialog);
    // The one local file a drag carries when the window may take it now, else empty.
    QString DroppableFile(const QEvent& event) const;

    TForm1& form_;
    QString title_;
    TSaveDialog profileSave_;
    TSaveDialog chartSave_;
    TSaveDialog statsSave_;
    TOpenDialog profileOpen_;
    TOpenDialog compareOpen_;
    QAction* saveProfile_ = nullptr;
    QAction* saveChart_ = nullptr;
    QAction* saveStats_ = nullptr;
    QAction* openProfile_ = nullptr;
    QMenu* compare_ = nullptr;
    QAction* compareOpen1_ = nullptr;
    QAction* compareNone1_ = nullptr;
    QAction* copy_ = nullptr;
    QMenu* edit_ = nullptr;
};

}  // namespace kelmarin
