// Results leaving the main window and coming back, checked against what kelmarin-batch writes
// for the same file and words: Save profile, Save chart, Copy, Open profile, the title and drops.

#include "ui/results_menu.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "chart/chart.h"
#include "gauge/gauge.h"
#include "tests/input/temp_file.h"
#include "tests/ui/shell_modal_helper.h"
#include "ui/chart_picture.h"
#include "ui/form1.h"
#include "ui/view_menu.h"
#include "ui_form1.h"

namespace kelmarin {
namespace {

using test::Lines;

std::string Slurp(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Answers the next message dialog with the button named, or notes the text of an error box
// and closes it.
void Answer(const char* button, QString* text = nullptr) {
    test::OnModal([button, text](QWidget* w) {
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            if (text) *text = box->text();
            box->close();
            return;
        }
        if (text) *text = w->findChild<QLabel*>(QStringLiteral("Message"))->text();
        QTest::mouseClick(test::ButtonNamed(w, button), Qt::LeftButton);
    });
}

// The enabled items of the next popup menu, which is then closed.
void NoteEnabledItemsOfNextPopup(QStringList& offered) {
    QTimer::singleShot(0, [&offered] {
        QWidget* popup = QApplication::activePopupWidget();
        if (popup == nullptr) return;
        for (QAction* a : popup->actions())
            if (a->isEnabled()) offered << a->text();
        popup->close();
    });
}

// A save dialog that chooses name.
void Choose(TSaveDialog& dialog, const std::string& name, int filterIndex = 1) {
    dialog.SetExecutor([name, filterIndex](TSaveDialog& d) {
        d.SetFileName(QString::fromStdString(name));
        d.SetFilterIndex(filterIndex);
        return true;
    });
}

class ResultsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        form_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form_));
    }
    // kelmarin-batch's standard output for these arguments.
    std::string Batch(const std::string& args) {
        const std::string out = (dir_.Path() / "batch.out").string();
        EXPECT_EQ(std::system((KELMARIN_BATCH " " + args + " >" + out + " 2>/dev/null").c_str()), 0)
            << args;
        return Slurp(out);
    }
    void Bind(TOpenDialog& dialog, QAction* item, const std::string& name) {
        dialog.SetExecutor([name](TOpenDialog& d) {
            d.SetFileName(QString::fromStdString(name));
            return true;
        });
        item->trigger();
    }
    void RunOver(const std::string& file, const QStringList& words) {
        Bind(form_.Aprifilelettura1(), form_.Controls().text, file);
        for (int i = 0; i < words.size(); ++i) form_.Edit(i + 2).setText(words[i]);
        Answer("OK");
        QTest::mouseClick(form_.Controls().Button1, Qt::LeftButton);
    }
    void OpenProfile(const std::string& name) {
        Bind(Results().ProfileOpenDialog(), &Results().OpenProfile1(), name);
    }
    TResultsMenu& Results() { return form_.Results(); }
    QString Title(const QString& file = {}) const {
        return file.isEmpty() ? title_ : file + QStringLiteral(" — ") + title_;
    }

    test::TempDir dir_;
    TForm1 form_;
    const QString title_ = form_.windowTitle();
};

TEST_F(ResultsTest, SavedProfileAndChartAreWhatTheBatchWritesAndCopyPastesAsATable) {
    const auto texts = [](const QList<QAction*>& actions) {
        QStringList t;
        for (const QAction* a : actions) t << a->text().trimmed();
        return t;
    };
    EXPECT_EQ(texts(form_.Controls().APRI1->actions()),
              (QStringList{QStringLiteral("Open file"), QStringLiteral("Save profile…"),
                           QStringLiteral("Save chart…"), QStringLiteral("Save statistics…"),
                           QStringLiteral("Open profile…"), QStringLiteral("Compare with profile…"),
                           QStringLiteral("Exit")}));
    EXPECT_EQ(texts(form_.Controls().MainMenu1->actions()),
              (QStringList{QStringLiteral("FILE"), QStringLiteral("EDIT"), QStringLiteral("VIEW"),
                           QStringLiteral("HELP")}));
    const std::string txt = dir_.Write("in.txt", Lines(30, "ATGCATGAAT") + Lines(15, "TTATG"));
    for (QAction* item : {&Results().SaveProfile1(), &Results().SaveChart1(), &Results().Copy1()})
        EXPECT_FALSE(item->isEnabled()) << "nothing shown yet";
    RunOver(txt, {QStringLiteral("ATG"), QString(), QStringLiteral("t")});
    ASSERT_TRUE(Results().SaveProfile1().isEnabled());

    const std::string csv = (dir_.Path() / "profile").string();
    Choose(Results().ProfileSaveDialog(), csv);
    Results().SaveProfile1().trigger();
    const std::string batchCsv = Batch(txt + " ATG '' t");
    EXPECT_EQ(Slurp(csv + ".csv"), batchCsv) << "the name gets the chosen entry's ending";

    const std::string png = (dir_.Path() / "chart.PNG").string();
    Choose(Results().ChartSaveDialog(), png, 3);
    Results().SaveChart1().trigger();
    const QSize size = form_.grafico().size();
    Batch("--png " + (dir_.Path() / "batch.png").string() + " --size " +
          std::to_string(size.width()) + "x" + std::to_string(size.height()) + " " + txt +
          " ATG '' t");
    const QImage saved(QString::fromStdString(png));
    ASSERT_EQ(saved.size(), size);
    EXPECT_TRUE(saved.convertToFormat(QImage::Format_RGB32) ==
                QImage(QString::fromStdString((dir_.Path() / "batch.png").string()))
                    .convertToFormat(QImage::Format_RGB32));
    // The vector forms are kelmarin-batch's too.
    const std::string svg = (dir_.Path() / "chart.svg").string();
    Choose(Results().ChartSaveDialog(), svg);
    Results().SaveChart1().trigger();
    const std::string batchSvg = (dir_.Path() / "batch.svg").string();
    Batch("--svg " + batchSvg + " --size " + std::to_string(size.width()) + "x" +
          std::to_string(size.height()) + " " + txt + " ATG '' t");
    EXPECT_EQ(Slurp(svg), Slurp(batchSvg));
    const std::string pdf = (dir_.Path() / "chart.pdf").string();
    Choose(Results().ChartSaveDialog(), pdf);
    Results().SaveChart1().trigger();
    EXPECT_EQ(Slurp(pdf).rfind("%PDF-", 0), 0u);

    // Ctrl+C on the chart once it has the focus: the same table, tab-separated.
    QGuiApplication::clipboard()->clear();
    QTest::mouseClick(&form_.grafico(), Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_EQ(QApplication::focusWidget(), &form_.grafico());
    QTest::keyClick(&form_.grafico(), Qt::Key_C, Qt::ControlModifier);
    QString tsv = QString::fromStdString(batchCsv);
    tsv.replace(QLatin1Char(','), QLatin1Char('\t'));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), tsv);
}

TEST_F(ResultsTest, AComparedProfileIsDrawnOverTheResultUntilNoneOrANewRun) {
    const std::string a = dir_.Write("a.txt", Lines(30, "ATGCATGAATCC"));
    const std::string b = dir_.Write("b.txt", Lines(10, "CCATGAATGA"));
    RunOver(a, {QStringLiteral("ATG"), QString(), QStringLiteral("ga")});
    TViewMenu& view = form_.View();
    TLineSeries& compared = view.Overlays().Series(9);  // word 1's
    const auto compare = [&](const std::string& file) {
        Bind(Results().CompareOpenDialog(), &Results().CompareOpen1(), file);
    };
    QString error;
    Answer("OK", &error);
    const std::string other = dir_.Write("other.csv", Batch(b + " ATG"));
    compare(other);
    EXPECT_EQ(error.toStdString(), other +
                                       ": its words (atg) are not those in the word boxes "
                                       "(atg, ga)");
    EXPECT_EQ(compared.PointCount(), 0);

    compare(dir_.Write("b.csv", Batch(b + " ATG '' ga")));
    ASSERT_EQ(compared.PointCount(), 100);
    EXPECT_EQ(compared.YValueAt(29), 10) << "b's atg at 3 of 10 bases: bucket 30";
    EXPECT_TRUE(form_.grafico().Title().Text().join(QString()).contains(QStringLiteral("b.csv")));
    EXPECT_TRUE(Results().CompareNone1().isEnabled());
    // Shares make files of different sizes comparable: both lines sum to 1.
    view.ScaleItem(ProfileScale::Share).trigger();
    double sum = 0, ownSum = 0;
    for (int i = 0; i < 100; ++i) {
        sum += compared.YValueAt(i);
        ownSum += form_.Series(1).YValueAt(i);
    }
    EXPECT_DOUBLE_EQ(sum, 1);
    EXPECT_DOUBLE_EQ(ownSum, 1);
    view.ScaleItem(ProfileScale::Counts).trigger();

    Results().CompareNone1().trigger();
    EXPECT_EQ(compared.PointCount(), 0);
    EXPECT_EQ(form_.grafico().Title().Text(), QStringList{QString()});
    compare(dir_.Write("b.csv", Batch(b + " ATG '' ga")));
    ASSERT_EQ(compared.PointCount(), 100);
    RunOver(a, {QStringLiteral("ATG"), QString(), QStringLiteral("ga")});
    EXPECT_EQ(compared.PointCount(), 0) << "a new run clears the comparison";
    EXPECT_FALSE(Results().CompareNone1().isEnabled());
}

TEST_F(ResultsTest, StatisticsAndTheRatioViewAreWhatTheBatchWrites) {
    const std::string txt = dir_.Write("in.txt", Lines(30, "ATGCATGAATCC") + Lines(15, "TTATGA"));
    RunOver(txt, {QStringLiteral("ATG"), QString(), QStringLiteral("ga")});
    ASSERT_TRUE(Results().SaveStatistics1().isEnabled());
    const std::string stats = (dir_.Path() / "window.tsv").string();
    Choose(Results().StatisticsSaveDialog(), stats);
    Results().SaveStatistics1().trigger();
    const std::string batchStats = (dir_.Path() / "batch.tsv").string();
    Batch("--stats " + batchStats + " " + txt + " ATG '' ga");
    EXPECT_EQ(Slurp(stats), Slurp(batchStats));

    // The ratio with the expected lines, drawn after the run, is kelmarin-batch's picture.
    TViewMenu& view = form_.View();
    view.ScaleItem(ProfileScale::Ratio).trigger();
    view.ExpectedProfile1().trigger();
    EXPECT_EQ(form_.grafico().LeftAxis().Title().Caption(), QStringLiteral("Observed / expected"));
    const std::string png = (dir_.Path() / "ratio.png").string();
    Choose(Results().ChartSaveDialog(), png);
    Results().SaveChart1().trigger();
    const QSize size = form_.grafico().size();
    const std::string batchPng = (dir_.Path() / "batch.png").string();
    Batch("--png " + batchPng + " --scale ratio --expected --size " + std::to_string(size.width()) +
          "x" + std::to_string(size.height()) + " " + txt + " ATG '' ga");
    EXPECT_TRUE(QImage(QString::fromStdString(png)).convertToFormat(QImage::Format_RGB32) ==
                QImage(QString::fromStdString(batchPng)).convertToFormat(QImage::Format_RGB32));

    // An opened CSV has no expected profile: the chart falls back to its counts. The opened
    // statistics table has one again.
    OpenProfile(dir_.Write("p.csv", Batch(txt + " ATG '' ga")));
    EXPECT_FALSE(view.ScaleItem(ProfileScale::Ratio).isEnabled());
    EXPECT_FALSE(view.ExpectedProfile1().isEnabled());
    EXPECT_FALSE(Results().SaveStatistics1().isEnabled());
    EXPECT_EQ(form_.grafico().LeftAxis().Title().Caption(), QStringLiteral("Occurrence"));
    EXPECT_EQ(view.Overlays().Series(0).PointCount(), 0);
    OpenProfile(batchStats);
    EXPECT_TRUE(view.ScaleItem(ProfileScale::Ratio).isEnabled());
    EXPECT_EQ(form_.grafico().LeftAxis().Title().Caption(), QStringLiteral("Observed / expected"));
    EXPECT_EQ(view.Overlays().Series(0).PointCount(), 100);
    // Back to counts, nothing drawn over the profile.
    view.ScaleItem(ProfileScale::Counts).trigger();
    view.ExpectedProfile1().trigger();
    EXPECT_EQ(form_.grafico().LeftAxis().Title().Caption(), QStringLiteral("Occurrence"));
    for (int i = 0; i < view.Overlays().SeriesCount(); ++i)
        EXPECT_EQ(view.Overlays().Series(i).PointCount(), 0) << i;
}
TEST_F(ResultsTest, OverwritingAsksAndAFailedWriteLeavesTheOldFile) {
    RunOver(dir_.Write("in.txt", Lines(3, "ACGT")), {QStringLiteral("a")});
    const std::string old = dir_.Write("old.csv", "old content\n");
    // No goes back to the dialog, for another name; here the user cancels it then.
    int shown = 0;
    Results().ProfileSaveDialog().SetExecutor([&](TSaveDialog& d) {
        d.SetFileName(QString::fromStdString(old));
        return ++shown == 1;
    });
    QString question;
    Answer("No", &question);
    Results().SaveProfile1().trigger();
    EXPECT_EQ(question, QStringLiteral("old.csv already exists.\nDo you want to replace it?"));
    EXPECT_EQ(shown, 2);
    EXPECT_EQ(Slurp(old), "old content\n");
    Choose(Results().ProfileSaveDialog(), old);

    // The disk fills up while the new file is written.
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit full{100, limit.rlim_max};
    setrlimit(RLIMIT_FSIZE, &full);
    QString error;
    Answer("Yes");
    Answer("OK", &error);
    Results().SaveProfile1().trigger();
    setrlimit(RLIMIT_FSIZE, &limit);
    EXPECT_EQ(error.toStdString(), "Cannot save " + old + ": File too large.");
    EXPECT_EQ(Slurp(old), "old content\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.Path()), {}), 2)
        << "no temporary file is left";

    Answer("Yes");
    Results().SaveProfile1().trigger();
    EXPECT_EQ(Slurp(old).substr(0, 9), "bucket,a\n");
}

TEST_F(ResultsTest, AnOpenedMergedProfileShowsTheFrameOfARunOverTheWholeFile) {
    const std::string fa = dir_.Write("kleb.fa", ">a\n" + Lines(8, "CATGCATGCA") + ">b\nATGTT\n");
    const std::string merged =
        dir_.Write("merged.csv",
                   Batch("--merge " + dir_.Write("p1.csv", Batch("--shard 1/2 " + fa + " atg ca")) +
                         " " + dir_.Write("p2.csv", Batch("--shard 2/2 " + fa + " atg ca"))));
    Bind(form_.Aprifilelettura2(), form_.Controls().Fasta, fa);
    EXPECT_EQ(form_.windowTitle(), Title(QStringLiteral("kleb.fa")));

    // Not a profile: the reason --merge gives, and nothing changes.
    QString error;
    Answer("OK", &error);
    OpenProfile(fa);
    EXPECT_EQ(error.toStdString(),
              fa + ": line 1: not a profile header (bucket,<word>,... with 0 to 4 words)");
    EXPECT_EQ(form_.windowTitle(), Title(QStringLiteral("kleb.fa")));
    EXPECT_FALSE(Results().SaveChart1().isEnabled());

    form_.Edit(1).setText(QStringLiteral("7"));
    form_.Edit(5).setText(QStringLiteral("gone"));
    OpenProfile(merged);
    EXPECT_EQ(form_.windowTitle(), Title(QStringLiteral("merged.csv")));
    EXPECT_EQ(form_.Edit(1).text(), QString());
    const QStringList words = {form_.Edit(2).text(), form_.Edit(3).text(), form_.Edit(4).text(),
                               form_.Edit(5).text()};
    EXPECT_EQ(words, (QStringList{QStringLiteral("atg"), QStringLiteral("ca"), {}, {}}));
    EXPECT_EQ(form_.Series(4).PointCount(), 0);
    EXPECT_TRUE(Results().SaveChart1().isEnabled());
    const QImage opened = ChartImage(form_.grafico());

    // START runs the bound file with the profile's words.
    Answer("OK");
    QTest::mouseClick(form_.Controls().Button1, Qt::LeftButton);
    EXPECT_EQ(form_.windowTitle(), Title(QStringLiteral("kleb.fa")));
    EXPECT_EQ(form_.Edit(1).text(), QStringLiteral("2"));
    EXPECT_TRUE(ChartImage(form_.grafico()) == opened);
}

TEST_F(ResultsTest, ADroppedFileIsBoundByItsNameButNotDuringARun) {
    const std::string fa = dir_.Write("drop.FA", ">a\nATG\n");
    const auto drag = [this](const std::string& name, QEvent::Type type) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QString::fromStdString(name))});
        QDropEvent event(QPointF(400, 300), Qt::CopyAction, &data, Qt::LeftButton, {}, type);
        QApplication::sendEvent(&form_, &event);
        return event.isAccepted();
    };
    const std::string txt = dir_.Write("in.txt", Lines(200, "ACGT"));
    Bind(form_.Aprifilelettura1(), form_.Controls().text, txt);
    form_.Edit(2).setText(QStringLiteral("a"));
    // At the run's first refresh: refused, and Save and Open are off.
    bool accepted = true, saveOff = false, openOff = false;
    QTimer::singleShot(0, [&] {
        QTimer::singleShot(0, [&] {
            accepted = drag(fa, QEvent::DragEnter) || drag(fa, QEvent::Drop);
            saveOff = !Results().SaveProfile1().isEnabled();
            openOff = !Results().OpenProfile1().isEnabled();
            form_.Button2Click();
        });
    });
    QTest::mouseClick(form_.Controls().Button1, Qt::LeftButton);
    EXPECT_FALSE(accepted);
    EXPECT_TRUE(saveOff);
    EXPECT_TRUE(openOff);
    EXPECT_EQ(form_.Controller().DataFile().Name(), txt);

    EXPECT_TRUE(drag(fa, QEvent::DragEnter));
    EXPECT_TRUE(drag(fa, QEvent::Drop));
    EXPECT_EQ(form_.Controller().DataFile().Name(), fa);
    EXPECT_EQ(ModeText(form_.Controller().Mode()), "fasta");
    EXPECT_EQ(form_.Aprifilelettura2().FileName().toStdString(), fa);
    EXPECT_EQ(form_.windowTitle(), Title(QStringLiteral("in.txt"))) << "the result shown";
    EXPECT_TRUE(Results().SaveProfile1().isEnabled()) << "the stopped run's chart stays";
}

TEST_F(ResultsTest, ARightClickOnTheChartOffersCopyAndSave) {
    QStringList offered;
    NoteEnabledItemsOfNextPopup(offered);
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(50, 50),
                            form_.grafico().mapToGlobal(QPoint(50, 50)));
    QApplication::sendEvent(&form_.grafico(), &click);
    EXPECT_TRUE(offered.isEmpty()) << "nothing shown yet";

    RunOver(dir_.Write("in.txt", "ACGT\n"), {QStringLiteral("a")});
    NoteEnabledItemsOfNextPopup(offered);
    QApplication::sendEvent(&form_.grafico(), &click);
    EXPECT_EQ(offered, (QStringList{QStringLiteral("Copy"), QStringLiteral("Save profile…"),
                                    QStringLiteral("Save chart…")}));
}

TEST_F(ResultsTest, AFailedRunLeavesNothingToSaveAndTheTitleSaysWhose) {
    const std::string txt = dir_.Write("in.txt", Lines(200, "ACGT"));
    RunOver(txt, {QStringLiteral("a")});
    const std::string fq = dir_.Write("bad.fq", "@r\nAC\n+\nII\n@s\nAC\n@t\n");
    Bind(form_.Aprifilelettura3(), form_.Controls().Fastq, fq);
    EXPECT_EQ(form_.windowTitle(), Title(QStringLiteral("in.txt"))) << "the result shown";

    // Failing before its first refresh: the previous result is gone, not shown as this one's.
    QString error;
    Answer("OK", &error);
    QTest::mouseClick(form_.Controls().Button1, Qt::LeftButton);
    EXPECT_EQ(error.toStdString(), fq + ": line 7: expected a '+' line before the next record.");
    EXPECT_EQ(form_.windowTitle(), Title(QStringLiteral("bad.fq (failed)")));
    EXPECT_EQ(form_.Series(1).PointCount(), 0);
    EXPECT_EQ(form_.Edit(1).text(), QString());
    EXPECT_EQ(form_.barra().Progress(), 0);
    for (QAction* item : {&Results().SaveProfile1(), &Results().SaveChart1(), &Results().Copy1()})
        EXPECT_FALSE(item->isEnabled()) << item->text().toStdString();
    QString why;
    Answer("OK", &why);
    Results().Copy1Click();
    EXPECT_EQ(why.toStdString(),
              "The run over " + fq + " failed: it has no result to save or copy.");

    // Failing part way (the file cut at the first refresh): what was counted stays in sight,
    // marked, and cannot be saved as if whole.
    Bind(form_.Aprifilelettura1(), form_.Controls().text, txt);
    QTimer::singleShot(0, [&] { std::filesystem::resize_file(txt, 10); });
    Answer("OK", &error);
    QTest::mouseClick(form_.Controls().Button1, Qt::LeftButton);
    EXPECT_EQ(error.toStdString(), txt + ": File changed while it was read.");
    EXPECT_EQ(form_.windowTitle(), Title(QStringLiteral("in.txt (failed)")));
    EXPECT_EQ(form_.Series(1).PointCount(), 100);
    EXPECT_FALSE(Results().SaveChart1().isEnabled());

    // A run that ends, or an opened profile, is a result again.
    RunOver(txt, {QStringLiteral("a")});
    EXPECT_EQ(form_.windowTitle(), Title(QStringLiteral("in.txt")));
    EXPECT_TRUE(Results().SaveChart1().isEnabled());
}

TEST_F(ResultsTest, DesktopKeysAndNamesSuggestedAfterTheResult) {
    form_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form_));
    const std::string fa = dir_.Write("coding.fa", ">a\nATGATG\n");
    Bind(form_.Aprifilelettura2(), form_.Controls().Fasta, fa);
    form_.Edit(2).setText(QStringLiteral("atg"));
    Answer("OK");
    QTest::mouseClick(form_.Controls().Button1, Qt::LeftButton);

    // Ctrl+S and Ctrl+Shift+S open the save dialogs on the result's name, in the folder of the
    // last file chosen.
    const auto suggested = [this](TSaveDialog& dialog, Qt::KeyboardModifiers keys) {
        QString name = QStringLiteral("not shown");
        dialog.SetExecutor([&name](TSaveDialog& d) {
            name = d.FileName();
            return false;
        });
        QTest::keyClick(&form_, Qt::Key_S, keys);
        return name.toStdString();
    };
    EXPECT_EQ(suggested(Results().ProfileSaveDialog(), Qt::ControlModifier),
              (dir_.Path() / "coding.csv").string());
    EXPECT_EQ(suggested(Results().ChartSaveDialog(), Qt::ControlModifier | Qt::ShiftModifier),
              (dir_.Path() / "coding.png").string());

    // F10 opens the menu bar; Ctrl+Q asks before the program ends.
    QTest::keyClick(&form_, Qt::Key_F10);
    QWidget* popup = QApplication::activePopupWidget();
    EXPECT_EQ(popup, form_.Controls().APRI1);
    if (popup) popup->close();
    QString question;
    Answer("No", &question);
    QTest::keyClick(&form_, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(question, QStringLiteral("You are closing the program. Are you sure?"));
}

TEST(SaveDialogTest, TheNameGetsTheChosenEntrysEndingUnlessItHasOneOfTheFilters) {
    TSaveDialog dialog(QStringLiteral("PNG|*.png|SVG|*.svg|All|*.*"), QString());
    const struct {
        const char* chosen;
        int entry;
        const char* written;
    } cases[] = {{"/d/chart", 1, "/d/chart.png"},
                 {"/d/chart.jpg", 2, "/d/chart.jpg.svg"},
                 {"/d/chart.SVG", 1, "/d/chart.SVG"},
                 {"/d/chart.jpg", 3, "/d/chart.jpg"},
                 {"/d.png/chart", 1, "/d.png/chart.png"}};
    for (const auto& c : cases) {
        dialog.SetFileName(QString::fromLatin1(c.chosen));
        dialog.SetFilterIndex(c.entry);
        EXPECT_EQ(dialog.NameToWrite(), QString::fromLatin1(c.written)) << c.chosen;
    }
}

}  // namespace
}  // namespace kelmarin
