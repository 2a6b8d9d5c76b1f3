#pragma once
// The main window: the word boxes, the chart with its four word series, START and STOP, the
// counter, the options, the gauge, the menu and the three open dialogs, built from the stored
// form description form1.ui. Its commands are the run controller's; the window itself only
// highlights the series of the word being edited, opens the help file and shows the about box.

#include <QMainWindow>
#include <QRect>
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "chart/line_series.h"
#include "run/run_controller.h"
#include "run/run_view.h"
#include "ui/open_dialog.h"
#include "ui/run_display.h"

class QLineEdit;

namespace Ui {
class Form1;
}

namespace kelmarin {

class TAboutBox;
class TChart;
class TGauge;
class TResultsMenu;
class TViewMenu;

class TForm1 : public QMainWindow, public RunView {
    Q_OBJECT
  public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // The controls and parts a user sees, by their form names.
    TChart& grafico();
    TGauge& barra();
    QLineEdit& Edit(int n);                                              // Edit1 .. Edit5
    TLineSeries& Series(int n) { return *series_[std::size_t(n - 1)]; }  // Series1 .. Series4
    TOpenDialog& Aprifilelettura1() { return dialogs_[0]; }
    TOpenDialog& Aprifilelettura2() { return dialogs_[1]; }
    TOpenDialog& Aprifilelettura3() { return dialogs_[2]; }  // Fastq
    // The open dialog of a reading mode other than None: Text, Fasta, Fastq.
    TOpenDialog& Dialog(ReadingMode mode) { return dialogs_[std::size_t(mode) - 1]; }
    const TOpenDialog& Dialog(ReadingMode mode) const { return dialogs_[std::size_t(mode) - 1]; }
    RunController& Controller() { return controller_; }
    // How a run's refreshes reach the screen.
    RunDisplay& Display() { return *display_; }
    // The box Info shows; the window does not own it.
    void SetAboutBox(TAboutBox* box) { aboutBox_ = box; }
    Ui::Form1& Controls() { return *ui_; }
    // Save, copy and open results; the title and drops.
    TResultsMenu& Results() { return *results_; }
    // How the chart draws the result shown.
    TViewMenu& View() { return *view_; }
    TViewMenu* ViewMenu() { return view_; }  // null while the window is being made

    void Button1Click();
    void Button2Click();
    void textClick();
    void FastaClick();
    void FastqClick();
    void Exit1Click();
    void Help1Click();
    void Info2Click();
    // A word box entered thickens its series' line; left for another control, thins it again.
    void Edit2Enter();
    void Edit2Exit();
    void Edit3Enter();
    void Edit3Exit();
    void Edit4Enter();
    void Edit4Exit();
    void Edit5Enter();
    void Edit5Exit();

    // RunView
    std::string WordText(int row) const override;
    bool InFrameChecked() const override;
    bool RejectStopChecked() const override;
    bool IupacChecked() const override;
    bool BothStrandsChecked() const override;
    void ClearPoints(int series) override;
    void AddPoint(int series, double x, double y, TColor color) override;
    void SetProcessedText(const std::string& text) override;
    void SetProgress(int percent) override;
    void ShowRefresh(bool atOnce) override;
    void ExecuteOpenDialog(ReadingMode dialog) override;
    std::string OpenDialogFileName(ReadingMode dialog) const override;
    int ShowMessageDialog(const std::string& text, TMsgDlgType kind,
                          TMsgDlgButtons buttons) override;
    void ShowPlainMessage(const std::string& text) override;
    void ProcessPendingEvents() override;
    void CloseMainWindow() override;
    bool TerminationRequested() const override;
    void SetWordText(int row, const std::string& text) override;
    void ShownFileChanged(const std::string& name, bool failed) override;
    void RunningChanged() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void ApplyFonts();
    void BuildMenuPictures();
    void ConnectCommands();
    void AnchorControls();
    void PlaceAnchoredControls();
    // Hands a watched event to its handler: the anchors, or a word box's Enter or Exit.
    void DispatchWatchedEvent(QObject* watched, const QEvent& event);

    // A control that follows the bottom edge: the chart and the gauge also stretch to the right
    // edge, and the chart keeps its top too; the others only move down with the bottom edge.
    // Its designed geometry was laid out against the designed client size.
    struct AnchoredControl {
        QWidget* control;
        QRect designed;
        bool stretchesRight;
        bool stretchesDown;
    };

    std::unique_ptr<Ui::Form1> ui_;
    std::array<std::unique_ptr<TLineSeries>, 4> series_;
    std::array<TOpenDialog, 3> dialogs_;
    TAboutBox* aboutBox_ = nullptr;
    QSize designedClient_;
    std::vector<AnchoredControl> anchored_;
    std::unique_ptr<RunDisplay> display_;
    RunController controller_;
    TResultsMenu* results_ = nullptr;  // a child of the window
    TViewMenu* view_ = nullptr;        // likewise
};

}  // namespace kelmarin
