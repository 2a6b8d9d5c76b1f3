#include "ui/form1.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFocusEvent>
#include <QUrl>

#include "chart/chart.h"
#include "chart/font.h"
#include "chart/grafico_config.h"
#include "chart/handler_guard.h"
#include "gauge/gauge.h"
#include "resources/menu_picture.h"
#include "resources/resource_paths.h"
#include "ui/about_box.h"
#include "ui/application.h"
#include "ui/failure_scope.h"
#include "ui/help_file.h"
#include "ui/message_dialog.h"
#include "ui_form1.h"

namespace kelmarin {

namespace {

// The designed client area; anchored controls keep their distances to its edges.
constexpr int kDesignWidth = 874;
constexpr int kDesignHeight = 636;
constexpr QPoint kDesignPosition{242, 126};

constexpr std::array<const char*, 2> kFilters = {"Test|*.txt|All|*.*", "Fasta|*.fas;*.fa"};

}  // namespace

TForm1::TForm1(QWidget* parent)
    : QMainWindow(parent),
      ui_(std::make_unique<Ui::Form1>()),
      dialogs_{TOpenDialog(QString::fromLatin1(kFilters[0])), TOpenDialog(QString::fromLatin1(kFilters[1]))},
      controller_(*this) {
    ui_->setupUi(this);
    for (auto& s : series_) s = std::make_unique<TLineSeries>();
    ConfigureGrafico(*ui_->grafico, {series_[0].get(), series_[1].get(), series_[2].get(), series_[3].get()});
    setWindowIcon(MainIcon());
    ApplyFonts();
    BuildMenuPictures();
    ConnectCommands();
    for (QLineEdit* e : {ui_->Edit2, ui_->Edit3, ui_->Edit4, ui_->Edit5}) e->installEventFilter(this);
    ui_->centralwidget->installEventFilter(this);
    // Enter and keypad Enter click a focused START or STOP as Space does; Qt's buttons do so
    // by themselves only in dialogs.
    for (QPushButton* b : {ui_->Button1, ui_->Button2}) b->setAutoDefault(true);
    // The window is designed by its client area, below the menu bar.
    resize(kDesignWidth, kDesignHeight + menuBar()->sizeHint().height());
    move(kDesignPosition);
    ui_->Button1->setFocus(Qt::OtherFocusReason);
}

TForm1::~TForm1() {
    // The series leave the chart before either goes.
    for (auto& s : series_) s->SetParentChart(nullptr);
}

TChart& TForm1::grafico() { return *ui_->grafico; }
TGauge& TForm1::barra() { return *ui_->barra; }

QLineEdit& TForm1::Edit(int n) {
    const std::array<QLineEdit*, 5> edits = {ui_->Edit1, ui_->Edit2, ui_->Edit3, ui_->Edit4, ui_->Edit5};
    return *edits[std::size_t(n - 1)];
}

void TForm1::ApplyFonts() {
    const QString sans = QStringLiteral("MS Sans Serif");
    setFont(MakeFont(sans, -13));
    for (QWidget* w : std::initializer_list<QWidget*>{ui_->Label1, ui_->Label2, ui_->Label3, ui_->Label4,
                                                      ui_->Label5, ui_->Button1, ui_->Button2, ui_->frame,
                                                      ui_->StopBox})
        w->setFont(MakeFont(sans, -18));
    ui_->barra->setFont(MakeFont(sans, -20));
    for (int n = 1; n <= 5; ++n) Edit(n).setFont(MakeFont(QStringLiteral("Courier New"), -18));
    // The captions of the labels above the word boxes size them; Label2 wraps in its width.
    for (QWidget* label : {ui_->Label1, ui_->Label3, ui_->Label4, ui_->Label5}) label->adjustSize();
}

void TForm1::BuildMenuPictures() {
    const auto picture = [](const char* path) { return QIcon(QPixmap::fromImage(MenuPicture(path))); };
    ui_->APRI2->setIcon(picture(kOpenFilePicturePath));
    ui_->Exit1->setIcon(picture(kExitPicturePath));
    ui_->Help1->setIcon(picture(kHelpPicturePath));
    ui_->Info2->setIcon(picture(kInfoPicturePath));
}

void TForm1::ConnectCommands() {
    const auto on = [this](auto* sender, auto signal, void (TForm1::*handler)()) {
        connect(sender, signal, this,
                [this, handler] { RunHandler([this, handler] { (this->*handler)(); }); });
    };
    on(ui_->Button1, &QPushButton::clicked, &TForm1::Button1Click);
    on(ui_->Button2, &QPushButton::clicked, &TForm1::Button2Click);
    on(ui_->text, &QAction::triggered, &TForm1::textClick);
    on(ui_->Fasta, &QAction::triggered, &TForm1::FastaClick);
    on(ui_->Exit1, &QAction::triggered, &TForm1::Exit1Click);
    on(ui_->Help1, &QAction::triggered, &TForm1::Help1Click);
    on(ui_->Info2, &QAction::triggered, &TForm1::Info2Click);
}

void TForm1::Button1Click() { controller_.Button1Click(); }
void TForm1::Button2Click() { controller_.Button2Click(); }
void TForm1::textClick() { controller_.textClick(); }
void TForm1::FastaClick() { controller_.FastaClick(); }
void TForm1::Exit1Click() { controller_.Exit1Click(); }

void TForm1::Help1Click() {
    // Whether a viewer opens it is not examined.
    const QString file = HelpFilePath(QDir::current(), QCoreApplication::applicationDirPath());
    QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}

void TForm1::Info2Click() {
    if (aboutBox_) aboutBox_->Show();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    RunHandler([&] { OnWatchedEvent(watched, event); });
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::OnWatchedEvent(QObject* watched, QEvent* event) {
    if (watched == ui_->centralwidget && event->type() == QEvent::Resize) {
        PlaceAnchoredControls();
        return;
    }
    const std::array<QObject*, 4> words = {ui_->Edit2, ui_->Edit3, ui_->Edit4, ui_->Edit5};
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (watched != words[i]) continue;
        if (event->type() == QEvent::FocusIn) {
            series_[i]->LinePen().SetWidth(3);
        } else if (event->type() == QEvent::FocusOut) {
            // Only a move to another control of this window thins the line again; opening a
            // menu or leaving the window keeps the highlight.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason &&
                reason != Qt::MenuBarFocusReason)
                series_[i]->LinePen().SetWidth(1);
        }
    }
}

void TForm1::PlaceAnchoredControls() {
    const QSize client = ui_->centralwidget->size();
    // The chart keeps its left and top and its right (25) and bottom (103) margins; the gauge
    // keeps its left, its height and its right (25) and bottom (22) margins.
    ui_->grafico->setGeometry(167, 9, client.width() - 167 - 25, client.height() - 9 - 103);
    ui_->barra->setGeometry(9, client.height() - 22 - 33, client.width() - 9 - 25, 33);
}

void TForm1::closeEvent(QCloseEvent* event) {
    // A run in progress ends at its next step; closing the window ends the program.
    RunHandler([this] { controller_.StopForClose(); });
    QMainWindow::closeEvent(event);
}

std::string TForm1::WordText(int row) const {
    const std::array<QLineEdit*, 4> words = {ui_->Edit2, ui_->Edit3, ui_->Edit4, ui_->Edit5};
    return words[std::size_t(row - 1)]->text().toStdString();
}

bool TForm1::InFrameChecked() const { return ui_->frame->isChecked(); }
bool TForm1::RejectStopChecked() const { return ui_->StopBox->isChecked(); }

void TForm1::ClearPoints(int series) { series_[std::size_t(series - 1)]->ClearPoints(); }

void TForm1::AddPoint(int series, double x, double y, TColor color) {
    series_[std::size_t(series - 1)]->AddPoint(x, y, QString(), color);
}

void TForm1::RepaintChartNow() {
    // A failure while painting leaves the run here, as one in the run's own code would; shown
    // inside Qt's dispatch instead, it would come back at every refresh of a long run.
    TFailureScope scope;
    ui_->grafico->repaint();
    scope.RethrowIfAny();
}

void TForm1::SetProcessedText(const std::string& text) { ui_->Edit1->setText(QString::fromStdString(text)); }

void TForm1::SetProgress(int percent) { ui_->barra->SetProgress(percent); }

void TForm1::RepaintGaugeNow() { ui_->barra->Update(); }

void TForm1::ExecuteOpenDialog(OpenDialog dialog) {
    dialogs_[dialog == OpenDialog::Text ? 0 : 1].Execute(this);
}

std::string TForm1::OpenDialogFileName(OpenDialog dialog) const {
    return dialogs_[dialog == OpenDialog::Text ? 0 : 1].FileName().toStdString();
}

int TForm1::ShowMessageDialog(const std::string& text, TMsgDlgType kind, TMsgDlgButtons buttons) {
    return kelmarin::ShowMessageDialog(QString::fromStdString(text), kind, buttons);
}

void TForm1::ShowPlainMessage(const std::string& text) {
    kelmarin::ShowPlainMessage(QString::fromStdString(text));
}

void TForm1::ProcessPendingEvents() { kelmarin::ProcessPendingEvents(); }

void TForm1::RequestTermination() { close(); }

}  // namespace kelmarin
