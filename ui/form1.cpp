#include "ui/form1.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFocusEvent>
#include <QKeySequence>
#include <QMenuBar>
#include <QShortcut>
#include <QUrl>
#include <utility>

#include "chart/chart.h"
#include "chart/grafico_config.h"
#include "gauge/gauge.h"
#include "input/in_out_error.h"
#include "platform/font.h"
#include "platform/handler_guard.h"
#include "resources/menu_picture.h"
#include "resources/resource_paths.h"
#include "ui/about_box.h"
#include "ui/application.h"
#include "ui/help_file.h"
#include "ui/message_dialog.h"
#include "ui/results_menu.h"
#include "ui/view_menu.h"
#include "ui_form1.h"

namespace kelmarin {

namespace {

// Where the window is first shown, as the form says: setupUi applies only its size.
constexpr QPoint kDesignPosition{242, 126};

// The Fasta dialog's second entry lists every FASTA name kelmarin-batch knows.
constexpr std::array<const char*, 3> kFilters = {
    "Test|*.txt|All|*.*",
    "Fasta|*.fas;*.fa|Fasta, every name|*.fa;*.fas;*.fasta;*.fna;*.ffn;*.frn;*.fa.gz;*.fas.gz;"
    "*.fasta.gz;*.fna.gz;*.ffn.gz;*.frn.gz",
    "Fastq|*.fq;*.fastq;*.fq.gz;*.fastq.gz|All|*.*"};

// Tab, a click, a shortcut or a call takes the focus to another control of the window. A menu
// that opens or the window losing activation leaves the focus where it was.
bool MovesToAnotherControl(const QFocusEvent& event) {
    switch (event.reason()) {
        case Qt::MouseFocusReason:
        case Qt::TabFocusReason:
        case Qt::BacktabFocusReason:
        case Qt::ShortcutFocusReason:
        case Qt::OtherFocusReason:
        case Qt::NoFocusReason:
            return true;
        case Qt::ActiveWindowFocusReason:
        case Qt::PopupFocusReason:
        case Qt::MenuBarFocusReason:
            break;
    }
    return false;
}

}  // namespace

TForm1::TForm1(QWidget* parent)
    : QMainWindow(parent),
      ui_(std::make_unique<Ui::Form1>()),
      dialogs_{TOpenDialog(QString::fromLatin1(kFilters[0])),
               TOpenDialog(QString::fromLatin1(kFilters[1])),
               TOpenDialog(QString::fromLatin1(kFilters[2]))},
      controller_(*this) {
    // The form's positions and sizes, and the font heights below, are taken as logical pixels
    // with no rescaling by the height of a "0" in the window font: Qt already scales logical
    // pixels by the screen's device pixel ratio, which keeps the designed proportions.
    ui_->setupUi(this);
    // The form is designed by its client area, below the menu bar.
    designedClient_ = size();
    AnchorControls();
    for (auto& s : series_) s = std::make_unique<TLineSeries>();
    ConfigureGrafico(*ui_->grafico,
                     {series_[0].get(), series_[1].get(), series_[2].get(), series_[3].get()});
    display_ = std::make_unique<RunDisplay>(*ui_->grafico, *ui_->Edit1, *ui_->barra);
    setWindowIcon(MainIcon());
    ApplyFonts();
    BuildMenuPictures();
    ConnectCommands();
    for (QLineEdit* e : {ui_->Edit2, ui_->Edit3, ui_->Edit4, ui_->Edit5})
        e->installEventFilter(this);
    ui_->centralwidget->installEventFilter(this);
    // Enter and keypad Enter click a focused START or STOP as Space does; Qt's buttons do so
    // by themselves only in dialogs.
    for (QPushButton* b : {ui_->Button1, ui_->Button2}) b->setAutoDefault(true);
    resize(designedClient_ + QSize(0, menuBar()->sizeHint().height()));
    move(kDesignPosition);
    ui_->Button1->setFocus(Qt::OtherFocusReason);
    results_ = new TResultsMenu(*this);
    view_ = new TViewMenu(*this);
    display_->SetBeforePut([this] { view_->Redraw(false); });
}

TForm1::~TForm1() {
    // The overlays leave the chart while it is there: child widgets go before child objects
    // made later.
    delete std::exchange(view_, nullptr);
    // The series leave the chart before they go.
    for (auto& s : series_) s->SetParentChart(nullptr);
}

TChart& TForm1::grafico() { return *ui_->grafico; }
TGauge& TForm1::barra() { return *ui_->barra; }

QLineEdit& TForm1::Edit(int n) {
    const std::array<QLineEdit*, 5> edits = {ui_->Edit1, ui_->Edit2, ui_->Edit3, ui_->Edit4,
                                             ui_->Edit5};
    return *edits[std::size_t(n - 1)];
}

void TForm1::ApplyFonts() {
    const QString sans = QStringLiteral("MS Sans Serif");
    setFont(MakeFont(sans, -13));
    for (QWidget* w : std::initializer_list<QWidget*>{ui_->Label1, ui_->Label2, ui_->Label3,
                                                      ui_->Label4, ui_->Label5, ui_->Button1,
                                                      ui_->Button2, ui_->frame, ui_->StopBox})
        w->setFont(MakeFont(sans, -18));
    for (QWidget* box : {ui_->IupacBox, ui_->StrandsBox}) box->setFont(MakeFont(sans, -18));
    ui_->barra->setFont(MakeFont(sans, -20));
    for (int n = 1; n <= 5; ++n) Edit(n).setFont(MakeFont(QStringLiteral("Courier New"), -18));
    // The captions of the labels above the word boxes size them; Label2 wraps in its width.
    for (QWidget* label : {ui_->Label1, ui_->Label3, ui_->Label4, ui_->Label5}) label->adjustSize();
}

void TForm1::BuildMenuPictures() {
    const auto picture = [](const char* path) {
        return QIcon(QPixmap::fromImage(MenuPicture(path)));
    };
    ui_->APRI2->setIcon(picture(kOpenFilePicturePath));
    ui_->Fastq->setIcon(picture(kFastqPicturePath));
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
    on(ui_->Fastq, &QAction::triggered, &TForm1::FastqClick);
    on(ui_->Exit1, &QAction::triggered, &TForm1::Exit1Click);
    on(ui_->Help1, &QAction::triggered, &TForm1::Help1Click);
    on(ui_->Info2, &QAction::triggered, &TForm1::Info2Click);
    // Desktop habits, with the captions as they are: F10 opens the menu bar for the keyboard.
    ui_->Exit1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    ui_->Help1->setShortcut(QKeySequence(Qt::Key_F1));
    connect(new QShortcut(QKeySequence(Qt::Key_F10), this), &QShortcut::activated, this,
            [this] { menuBar()->setActiveAction(ui_->APRI1->menuAction()); });
}

void TForm1::Button1Click() {
    try {
        controller_.Button1Click();
    } catch (const EInOutError& e) {
        // Named as the save errors name theirs: the box may come long after the choice.
        throw EInOutError(e.IoResult(), controller_.DataFile().Name() + ": " + e.what());
    }
}
void TForm1::Button2Click() { controller_.Button2Click(); }
void TForm1::textClick() { controller_.textClick(); }
void TForm1::FastaClick() { controller_.FastaClick(); }
void TForm1::FastqClick() { controller_.FastqClick(); }
void TForm1::Exit1Click() { controller_.Exit1Click(); }

void TForm1::Help1Click() {
    const QString file = HelpFilePath(QDir::current(), QCoreApplication::applicationDirPath());
    const QString failure = OpenHelpFile(file, &QDesktopServices::openUrl);
    if (!failure.isEmpty())
        kelmarin::ShowMessageDialog(failure, TMsgDlgType::mtError, Buttons(mbOK));
}

void TForm1::Info2Click() {
    if (aboutBox_) aboutBox_->Show();
}

void TForm1::Edit2Enter() { Series(1).LinePen().SetWidth(3); }
void TForm1::Edit2Exit() { Series(1).LinePen().SetWidth(1); }
void TForm1::Edit3Enter() { Series(2).LinePen().SetWidth(3); }
void TForm1::Edit3Exit() { Series(2).LinePen().SetWidth(1); }
void TForm1::Edit4Enter() { Series(3).LinePen().SetWidth(3); }
void TForm1::Edit4Exit() { Series(3).LinePen().SetWidth(1); }
void TForm1::Edit5Enter() { Series(4).LinePen().SetWidth(3); }
void TForm1::Edit5Exit() { Series(4).LinePen().SetWidth(1); }

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    RunHandler([&] { DispatchWatchedEvent(watched, *event); });
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::DispatchWatchedEvent(QObject* watched, const QEvent& event) {
    if (watched == ui_->centralwidget && event.type() == QEvent::Resize) {
        PlaceAnchoredControls();
        return;
    }
    struct WordBox {
        QObject* box;
        void (TForm1::*enter)();
        void (TForm1::*exit)();
    };
    const std::array<WordBox, 4> wordBoxes = {
        {{ui_->Edit2, &TForm1::Edit2Enter, &TForm1::Edit2Exit},
         {ui_->Edit3, &TForm1::Edit3Enter, &TForm1::Edit3Exit},
         {ui_->Edit4, &TForm1::Edit4Enter, &TForm1::Edit4Exit},
         {ui_->Edit5, &TForm1::Edit5Enter, &TForm1::Edit5Exit}}};
    for (const WordBox& w : wordBoxes) {
        if (watched != w.box) continue;
        if (event.type() == QEvent::FocusIn)
            (this->*w.enter)();
        else if (event.type() == QEvent::FocusOut &&
                 MovesToAnotherControl(static_cast<const QFocusEvent&>(event)))
            (this->*w.exit)();
    }
}

void TForm1::AnchorControls() {
    // The chart is anchored to all four edges; the gauge to all but the top, so it keeps its
    // height at the bottom.
    anchored_ = {{ui_->grafico, ui_->grafico->geometry(), true, true},
                 {ui_->barra, ui_->barra->geometry(), true, false}};
    // Every other control in the lower half of the form keeps its distance to the bottom edge,
    // so that the controls under and beside the chart's lower part stay clear of the chart
    // and the gauge as the window grows.
    for (QWidget* w : ui_->centralwidget->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const QRect r = w->geometry();
        if (w != ui_->grafico && w != ui_->barra && 2 * r.center().y() > designedClient_.height())
            anchored_.push_back({w, r, false, false});
    }
    // Smaller than designed, the lower controls would run into the word boxes and out of the
    // window.
    ui_->centralwidget->setMinimumSize(designedClient_);
}

void TForm1::PlaceAnchoredControls() {
    const QSize growth = ui_->centralwidget->size() - designedClient_;
    for (const AnchoredControl& a : anchored_) {
        QRect r = a.designed;
        if (a.stretchesRight) r.setRight(r.right() + growth.width());
        if (a.stretchesDown)
            r.setBottom(r.bottom() + growth.height());
        else
            r.translate(0, growth.height());
        // A control that sized itself to its text keeps that size.
        if (!a.stretchesRight) r.setSize(a.control->size());
        a.control->setGeometry(r);
    }
}

std::string TForm1::WordText(int row) const {
    const std::array<QLineEdit*, 4> words = {ui_->Edit2, ui_->Edit3, ui_->Edit4, ui_->Edit5};
    return words[std::size_t(row - 1)]->text().toStdString();
}

bool TForm1::InFrameChecked() const { return ui_->frame->isChecked(); }
bool TForm1::RejectStopChecked() const { return ui_->StopBox->isChecked(); }
bool TForm1::IupacChecked() const { return ui_->IupacBox->isChecked(); }
bool TForm1::BothStrandsChecked() const { return ui_->StrandsBox->isChecked(); }

void TForm1::ClearPoints(int series) {
    display_->ChangeSeries([&] { series_[std::size_t(series - 1)]->ClearPoints(); });
}

void TForm1::AddPoint(int series, double x, double y, TColor color) {
    display_->ChangeSeries(
        [&] { series_[std::size_t(series - 1)]->AddPoint(x, y, QString(), color); });
}

void TForm1::SetProcessedText(const std::string& text) {
    display_->SetCounterText(QString::fromStdString(text));
}

void TForm1::SetProgress(int percent) { display_->SetProgress(percent); }

void TForm1::ShowRefresh(bool atOnce) { display_->Show(atOnce); }

void TForm1::ExecuteOpenDialog(ReadingMode dialog) { Dialog(dialog).Execute(this); }

std::string TForm1::OpenDialogFileName(ReadingMode dialog) const {
    return Dialog(dialog).FileName().toStdString();
}

int TForm1::ShowMessageDialog(const std::string& text, TMsgDlgType kind, TMsgDlgButtons buttons) {
    return kelmarin::ShowMessageDialog(QString::fromStdString(text), kind, buttons);
}

void TForm1::ShowPlainMessage(const std::string& text) {
    kelmarin::ShowPlainMessage(QString::fromStdString(text));
}

void TForm1::ProcessPendingEvents() { kelmarin::ProcessPendingEvents(); }

void TForm1::CloseMainWindow() { close(); }

bool TForm1::TerminationRequested() const { return kelmarin::TerminationRequested(); }

void TForm1::SetWordText(int row, const std::string& text) {
    Edit(row + 1).setText(QString::fromStdString(text));
}

void TForm1::ShownFileChanged(const std::string& name, bool failed) {
    results_->ShowFileInTitle(name, failed);
    view_->UpdateItems();
}

void TForm1::RunningChanged() {
    // A new run's result is compared with nothing until asked again.
    if (controller_.Running()) view_->ClearComparison();
    results_->UpdateItems();
    view_->UpdateItems();
}

}  // namespace kelmarin
