#pragma once
// VIEW: how the chart draws the result shown, live during a run and for an opened profile: the
// expected profile, the scale, and the buckets whose bias is significant. Counts with nothing
// else is the plain profile chart. Items a result cannot have (an opened CSV has no expected
// profile, nor any opened file a number of sequences) are disabled, and the chart draws the
// rest.

#include <QObject>
#include <array>
#include <memory>
#include <optional>
#include <string>

#include "chart/profile_plot.h"
#include "run/profile_table.h"
#include "run/profile_view.h"

class QAction;
class QMenu;

namespace kelmarin {

class TForm1;

class TViewMenu : public QObject {
  public:
    // Adds VIEW to form's menu bar, after EDIT.
    explicit TViewMenu(TForm1& form);
    ~TViewMenu() override;

    QMenu& VIEW1() { return *menu_; }
    QAction& ExpectedProfile1() { return *expected_; }
    QAction& MarkBiased1() { return *marks_; }
    // Counts, Per 1,000 sequences, Share of occurrences, Observed ÷ expected.
    QAction& ScaleItem(ProfileScale scale) { return *scales_[std::size_t(scale)]; }
    GraficoOverlays& Overlays() { return *overlays_; }

    // What is checked, and what of it the result shown can draw.
    ProfileView Chosen() const;
    ProfileView Drawn(const std::optional<ProfileTable>& shown) const;
    // Enables the items the result shown allows.
    void UpdateItems();
    // Draws the result shown as the items say; the series are left as they are when it is drawn
    // plainly, unless force (an item changed) redraws them anyway.
    void Redraw(bool force);

    // Draws table, from file, over the result shown, dashed with hollow points, and names both
    // files above the chart. Raises EProfileFileError when its words are not the word boxes'.
    void CompareWith(const ProfileTable& table, const std::string& file);
    // Draws the result alone again (FILE › Compare with profile › None, and a new run).
    void ClearComparison();
    bool Comparing() const { return compare_.has_value(); }

  private:
    void Changed();

    TForm1& form_;
    QMenu* menu_ = nullptr;
    QAction* expected_ = nullptr;
    QAction* marks_ = nullptr;
    std::array<QAction*, 4> scales_{};
    std::unique_ptr<GraficoOverlays> overlays_;
    std::optional<ProfileTable> compare_;
};

}  // namespace kelmarin
