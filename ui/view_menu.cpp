#include "ui/view_menu.h"

#include <QAction>
#include <QActionGroup>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>

#include "chart/chart.h"
#include "input/sequence_reader.h"
#include "platform/handler_guard.h"
#include "ui/form1.h"
#include "ui_form1.h"

namespace kelmarin {

namespace {

struct ScaleItemText {
    ProfileScale scale;
    const char* name;
    const char* caption;
};
constexpr ScaleItemText kScaleItems[] = {
    {ProfileScale::Counts, "ScaleCounts1", "Counts"},
    {ProfileScale::PerThousand, "ScalePerThousand1", "Per 1,000 sequences"},
    {ProfileScale::Share, "ScaleShare1", "Share of occurrences"},
    {ProfileScale::Ratio, "ScaleRatio1", "Observed ÷ expected"},
};

}  // namespace

TViewMenu::TViewMenu(TForm1& form)
    : QObject(&form), form_(form), overlays_(std::make_unique<GraficoOverlays>(form.grafico())) {
    Ui::Form1& ui = form.Controls();
    menu_ = new QMenu(QStringLiteral("VIEW"), ui.MainMenu1);
    menu_->setObjectName(QStringLiteral("VIEW1"));
    ui.MainMenu1->insertMenu(ui.INFO1->menuAction(), menu_);
    const auto item = [this](QMenu* in, const char* name, const char* caption) {
        auto* action = new QAction(QString::fromUtf8(caption), &form_);
        action->setObjectName(QString::fromLatin1(name));
        action->setCheckable(true);
        in->addAction(action);
        connect(action, &QAction::triggered, this, [this] { RunHandler([this] { Changed(); }); });
        return action;
    };
    expected_ = item(menu_, "ExpectedProfile1", "Expected profile");
    QMenu* scale = menu_->addMenu(QStringLiteral("Scale"));
    scale->setObjectName(QStringLiteral("Scale1"));
    auto* group = new QActionGroup(this);
    for (const ScaleItemText& s : kScaleItems) {
        QAction* action = item(scale, s.name, s.caption);
        group->addAction(action);
        scales_[std::size_t(s.scale)] = action;
    }
    ScaleItem(ProfileScale::Counts).setChecked(true);
    marks_ = item(menu_, "MarkBiased1", "Mark biased buckets");
    UpdateItems();
}

TViewMenu::~TViewMenu() = default;

ProfileView TViewMenu::Chosen() const {
    ProfileView view;
    view.expected = expected_->isChecked();
    view.marks = marks_->isChecked();
    for (std::size_t s = 0; s < scales_.size(); ++s)
        if (scales_[s]->isChecked()) view.scale = ProfileScale(s);
    return view;
}

ProfileView TViewMenu::Drawn(const std::optional<ProfileTable>& shown) const {
    ProfileView view = Chosen();
    if (!shown) return view;
    const RunController& controller = form_.Controller();
    // During a run the expected profile comes with each refresh once asked for.
    const bool expected = !shown->expected.empty() || controller.Running();
    if (!expected) {
        view.expected = view.marks = false;
        if (view.scale == ProfileScale::Ratio) view.scale = ProfileScale::Counts;
    }
    if (view.scale == ProfileScale::PerThousand && !controller.ShownProcessed())
        view.scale = ProfileScale::Counts;
    return view;
}

void TViewMenu::UpdateItems() {
    const RunController& controller = form_.Controller();
    const std::optional<ProfileTable> shown = controller.ShownProfile();
    // Before any result, and during a run, every item may be chosen for what comes.
    const bool run = !shown || controller.Running() || controller.ShownProcessed();
    const bool expected = run || !shown->expected.empty();
    expected_->setEnabled(expected);
    marks_->setEnabled(expected);
    ScaleItem(ProfileScale::Ratio).setEnabled(expected);
    ScaleItem(ProfileScale::PerThousand).setEnabled(run);
}

void TViewMenu::Redraw(bool force) {
    // Plain and not forced: the series hold the plain counts already, and the result shown (with
    // its expected profile) is not worked out at every frame for nothing.
    if (Chosen().Plain() && !compare_ && !force) {
        overlays_->Clear();
        form_.grafico().LeftAxis().Title().SetCaption(ScaleCaption(ProfileScale::Counts));
        return;
    }
    const RunController& controller = form_.Controller();
    const std::optional<ProfileTable> shown = controller.ShownProfile();
    const ProfileView view = Drawn(shown);
    if (!shown) {
        overlays_->Clear();
        form_.grafico().LeftAxis().Title().SetCaption(ScaleCaption(view.scale));
        return;
    }
    const TGraficoSeries words = {&form_.Series(1), &form_.Series(2), &form_.Series(3),
                                  &form_.Series(4)};
    PlotProfile(form_.grafico(), *shown, controller.ShownSeries(), controller.ShownProcessed(),
                view, words, overlays_.get(), compare_ ? &*compare_ : nullptr);
}

void TViewMenu::CompareWith(const ProfileTable& table, const std::string& file) {
    std::vector<std::string> boxes;
    for (int r = 1; r <= 4; ++r) {
        std::string w = form_.WordText(r);
        LowerCaseAscii(w);
        if (!w.empty()) boxes.push_back(w);
    }
    if (table.words != boxes) {
        const auto list = [](const std::vector<std::string>& words) {
            std::string text;
            for (const std::string& w : words) {
                if (!text.empty()) text += ", ";
                text += w;
            }
            return text.empty() ? std::string("none") : text;
        };
        throw EProfileFileError(file, "its words (" + list(table.words) +
                                          ") are not those in the word boxes (" + list(boxes) +
                                          ")");
    }
    compare_ = table;
    // The legend: which file draws solid, which dashed.
    const QString shown =
        QFileInfo(QString::fromStdString(form_.Controller().ShownFile())).fileName();
    form_.grafico().Title().SetText({shown + QStringLiteral(" (solid)    ") +
                                     QFileInfo(QString::fromStdString(file)).fileName() +
                                     QStringLiteral(" (dashed, hollow points)")});
    Redraw(true);
}

void TViewMenu::ClearComparison() {
    if (!compare_) return;
    compare_.reset();
    form_.grafico().Title().SetText({QString()});
    Redraw(true);
}

void TViewMenu::Changed() {
    UpdateItems();
    Redraw(true);
}

}  // namespace kelmarin
