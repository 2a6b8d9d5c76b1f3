#include "ui/results_menu.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QUrl>
#include <stdexcept>
#include <variant>

#include "chart/chart.h"
#include "input/format_by_name.h"
#include "platform/file_writer.h"
#include "platform/handler_guard.h"
#include "run/position_stats.h"
#include "run/profile_table.h"
#include "ui/chart_picture.h"
#include "ui/form1.h"
#include "ui/view_menu.h"
#include "ui_form1.h"

namespace kelmarin {

TResultsMenu::TResultsMenu(TForm1& form)
    : QObject(&form),
      form_(form),
      title_(form.windowTitle()),
      profileSave_(QStringLiteral("CSV|*.csv|All|*.*"), QStringLiteral("Save profile")),
      chartSave_(QStringLiteral("PNG|*.png|SVG|*.svg|PDF|*.pdf"), QStringLiteral("Save chart")),
      statsSave_(QStringLiteral("Statistics|*.tsv|All|*.*"), QStringLiteral("Save statistics")),
      profileOpen_(QStringLiteral("CSV|*.csv|Statistics|*.tsv|All|*.*")),
      compareOpen_(QStringLiteral("CSV|*.csv|Statistics|*.tsv|All|*.*")) {
    AddItems();
    // The chart takes the focus on a click (it stays out of the tab order), so that Ctrl+C
    // copies what it shows.
    form.grafico().setFocusPolicy(Qt::ClickFocus);
    // A right click offers them too: the chart does not pan, so the right button is free.
    form.grafico().addActions({copy_, saveProfile_, saveChart_});
    form.grafico().setContextMenuPolicy(Qt::ActionsContextMenu);
    form.setAcceptDrops(true);
    form.installEventFilter(this);
    for (int n = 1; n <= 5; ++n) form.Edit(n).installEventFilter(this);
    UpdateItems();
}

void TResultsMenu::AddItems() {
    Ui::Form1& ui = form_.Controls();
    const auto item = [this](QMenu* menu, QAction* before, const char* name, const char* caption,
                             void (TResultsMenu::*handler)()) {
        auto* action = new QAction(QString::fromUtf8(caption), &form_);
        action->setObjectName(QString::fromLatin1(name));
        menu->insertAction(before, action);
        connect(action, &QAction::triggered, this,
                [this, handler] { RunHandler([this, handler] { (this->*handler)(); }); });
        return action;
    };
    saveProfile_ =
        item(ui.APRI1, ui.Exit1, "SaveProfile1", "Save profile…", &TResultsMenu::SaveProfile1Click);
    saveChart_ =
        item(ui.APRI1, ui.Exit1, "SaveChart1", "Save chart…", &TResultsMenu::SaveChart1Click);
    saveStats_ = item(ui.APRI1, ui.Exit1, "SaveStatistics1", "Save statistics…",
                      &TResultsMenu::SaveStatistics1Click);
    openProfile_ =
        item(ui.APRI1, ui.Exit1, "OpenProfile1", "Open profile…", &TResultsMenu::OpenProfile1Click);
    compare_ = new QMenu(QStringLiteral("Compare with profile…"), ui.APRI1);
    compare_->setObjectName(QStringLiteral("Compare1"));
    ui.APRI1->insertMenu(ui.Exit1, compare_);
    compareOpen1_ =
        item(compare_, nullptr, "CompareOpen1", "Open…", &TResultsMenu::CompareOpen1Click);
    compareNone1_ =
        item(compare_, nullptr, "CompareNone1", "None", &TResultsMenu::CompareNone1Click);
    edit_ = new QMenu(QStringLiteral("EDIT"), ui.MainMenu1);
    edit_->setObjectName(QStringLiteral("EDIT1"));
    ui.MainMenu1->insertMenu(ui.INFO1->menuAction(), edit_);
    saveProfile_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    saveChart_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    copy_ = item(edit_, nullptr, "Copy1", "Copy", &TResultsMenu::Copy1Click);
    copy_->setShortcut(QKeySequence::Copy);
    // Only while the chart has the focus: the word boxes keep their own Ctrl+C.
    copy_->setShortcutContext(Qt::WidgetShortcut);
}

bool TResultsMenu::ShowsResults() const {
    const auto shown = form_.Controller().ShownProfile();
    return shown && !shown->words.empty();
}

void TResultsMenu::UpdateItems() {
    const bool idle = !form_.Controller().Running();
    const bool results = idle && ShowsResults();
    saveProfile_->setEnabled(results);
    saveChart_->setEnabled(results);
    saveStats_->setEnabled(results && !form_.Controller().ShownProfile()->expected.empty());
    compare_->setEnabled(results);
    // VIEW comes after EDIT, so that it is made after these items.
    compareNone1_->setEnabled(results && form_.ViewMenu() && form_.ViewMenu()->Comparing());
    copy_->setEnabled(results);
    openProfile_->setEnabled(idle);
}

void TResultsMenu::ShowFileInTitle(const std::string& name, bool failed) {
    QString file = QFileInfo(QString::fromStdString(name)).fileName();
    if (failed && !file.isEmpty()) file += QStringLiteral(" (failed)");
    // The name first: the form's title ends far to the right.
    form_.setWindowTitle(file.isEmpty() ? title_ : file + QStringLiteral(" — ") + title_);
}

bool TResultsMenu::HasResultToWrite() {
    RunController& controller = form_.Controller();
    if (controller.Running()) return false;
    if (controller.ShownRunFailed()) {
        form_.ShowMessageDialog(
            "The run over " + controller.ShownFile() + " failed: it has no result to save or copy.",
            TMsgDlgType::mtError, Buttons(mbOK));
        return false;
    }
    return ShowsResults();
}

QString TResultsMenu::ChooseNameToWrite(TSaveDialog& dialog, const char* ending) {
    // Named after the result, in the folder of the last file chosen.
    const QString sample = QString::fromStdString(SampleName(form_.Controller().ShownFile()));
    if (!sample.isEmpty())
        dialog.SetFileName(QDir(LastChosenFolder()).filePath(sample + QLatin1String(ending)));
    // No to the question goes back to the dialog, for another name.
    while (dialog.Execute(&form_)) {
        const QString name = dialog.NameToWrite();
        dialog.SetFileName(name);
        if (!QFileInfo::exists(name) ||
            form_.ShowMessageDialog(QFileInfo(name).fileName().toStdString() +
                                        " already exists.\nDo you want to replace it?",
                                    TMsgDlgType::mtConfirmation, Buttons(mbYes, mbNo)) == mrYes)
            return name;
    }
    return {};
}

void TResultsMenu::SaveProfile1Click() {
    if (!HasResultToWrite()) return;
    const QString name = ChooseNameToWrite(profileSave_, ".csv");
    if (name.isEmpty()) return;
    const std::string csv = ProfileTableCsv(*form_.Controller().ShownProfile());
    WriteFileSafely(QFile::encodeName(name).toStdString(), csv);
}

void TResultsMenu::SaveChart1Click() {
    if (!HasResultToWrite()) return;
    static const char* const kEndings[] = {".png", ".svg", ".pdf"};
    const int entry = chartSave_.FilterIndex();
    const QString name =
        ChooseNameToWrite(chartSave_, kEndings[entry >= 1 && entry <= 3 ? entry - 1 : 0]);
    if (!name.isEmpty()) WriteChartFile(form_.grafico(), name);
}

void TResultsMenu::SaveStatistics1Click() {
    if (!HasResultToWrite()) return;
    const ProfileTable shown = *form_.Controller().ShownProfile();
    if (shown.expected.empty()) return;  // an opened CSV has no expected profile
    const QString name = ChooseNameToWrite(statsSave_, ".stats.tsv");
    if (!name.isEmpty())
        WriteFileSafely(QFile::encodeName(name).toStdString(), StatsTableText(TestTable(shown)));
}

void TResultsMenu::Copy1Click() {
    if (!HasResultToWrite()) return;
    const std::string tsv = ProfileTableTsv(*form_.Controller().ShownProfile());
    QGuiApplication::clipboard()->setText(QString::fromStdString(tsv));
}

std::optional<std::pair<ProfileTable, std::string>> TResultsMenu::ChooseProfile(
    TOpenDialog& dialog) {
    if (!dialog.Execute(&form_)) return std::nullopt;
    std::string name = dialog.FileName().toStdString();
    auto read = ReadProfileFile(name);
    if (const auto* failure = std::get_if<EProfileFileError>(&read)) throw *failure;
    return std::pair{std::get<ProfileTable>(std::move(read)), std::move(name)};
}

void TResultsMenu::OpenProfile1Click() {
    if (form_.Controller().Running()) return;
    if (const auto chosen = ChooseProfile(profileOpen_))
        form_.Controller().ShowProfile(chosen->first, chosen->second);
    UpdateItems();
}

void TResultsMenu::CompareOpen1Click() {
    if (!HasResultToWrite()) return;
    if (const auto chosen = ChooseProfile(compareOpen_))
        form_.View().CompareWith(chosen->first, chosen->second);
    UpdateItems();
}

void TResultsMenu::CompareNone1Click() {
    form_.View().ClearComparison();
    UpdateItems();
}

void TResultsMenu::DropFile(const QString& name) {
    if (form_.Controller().Running()) return;  // the run keeps its file
    const std::string file = name.toStdString();
    const ReadingMode named = ModeOfName(file);
    const ReadingMode dialog = named == ReadingMode::None ? ReadingMode::Text : named;
    form_.Dialog(dialog).SetFileName(name);
    form_.Controller().BindChosenFile(dialog);
}

QString TResultsMenu::DroppableFile(const QEvent& event) const {
    const QMimeData* data = static_cast<const QDropEvent&>(event).mimeData();
    if (data == nullptr || form_.Controller().Running()) return {};
    const QList<QUrl> urls = data->urls();
    return urls.size() == 1 && urls.front().isLocalFile() ? urls.front().toLocalFile() : QString();
}

bool TResultsMenu::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QObject::eventFilter(watched, event);
    auto& drop = static_cast<QDropEvent&>(*event);
    // Text dragged into a word box stays the box's own.
    if (drop.mimeData() == nullptr || !drop.mimeData()->hasUrls())
        return QObject::eventFilter(watched, event);
    const QString file = DroppableFile(*event);
    if (file.isEmpty()) {
        drop.ignore();
        return true;
    }
    drop.acceptProposedAction();
    if (type == QEvent::Drop) RunHandler([this, &file] { DropFile(file); });
    return true;
}

}  // namespace kelmarin
