// The main window driven as a user drives it: real clicks and keys, offscreen, with the open
// dialogs answered through their executor and message dialogs through their buttons.

#include "ui/form1.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QWindow>
#include <filesystem>

#include "chart/chart.h"
#include "gauge/gauge.h"
#include "tests/input/temp_file.h"
#include "tests/ui/fake_desktop.h"
#include "tests/ui/shell_modal_helper.h"
#include "tests/wait_for.h"
#include "ui/about_box.h"
#include "ui/application.h"
#include "ui_form1.h"

namespace kelmarin {
namespace {

using test::ButtonNamed;
using test::OnMessageForm;

using test::Lines;

// Answers the next message dialog with the button named, remembering its text.
void Answer(const char* button, QString* text = nullptr) {
    OnMessageForm([button, text](TMessageForm* form) {
        if (text)
            *text = form->findChild<QLabel*>(QStringLiteral("Message"))
                        ? form->findChild<QLabel*>(QStringLiteral("Message"))->text()
                        : form->windowTitle();
        QTest::mouseClick(ButtonNamed(form, button), Qt::LeftButton);
    });
}

class Form1Test : public ::testing::Test {
  protected:
    void SetUp() override {
        form_.show();
        form_.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form_));
    }
    // Chooses a file through FILE > Open file > Text, as the dialog would.
    void ChooseText(const std::string& bytes) {
        const QString name = QString::fromStdString(dir_.Write("in.txt", bytes));
        form_.Aprifilelettura1().SetExecutor([name](TOpenDialog& d) {
            d.SetFileName(name);
            return true;
        });
        form_.Controls().text->trigger();
    }
    double Y(int series, int bucket) { return form_.Series(series).YValues().ValueAt(bucket - 1); }

    test::TempDir dir_;
    TForm1 form_;
};

TEST_F(Form1Test, LayoutCaptionsAndMenu) {
    EXPECT_EQ(form_.windowTitle(), QStringLiteral("Kelmarin") + QString(155, ' ') + "ver 1.0");
    EXPECT_EQ(form_.centralWidget()->size(), QSize(874, 636));
    EXPECT_EQ(form_.grafico().geometry(), QRect(167, 9, 682, 524));
    EXPECT_EQ(form_.barra().geometry(), QRect(9, 581, 840, 33));
    EXPECT_EQ(form_.Controls().Button1->geometry(), QRect(9, 450, 96, 63));
    EXPECT_EQ(form_.Controls().APRI1->title(), QStringLiteral("FILE") + QString(16, ' '));
    EXPECT_EQ(form_.Controls().INFO1->title(), QStringLiteral("HELP"));
    EXPECT_EQ(form_.Controls().APRI2->title(), QStringLiteral("Open file"));
    EXPECT_FALSE(form_.Controls().Exit1->icon().isNull());
    EXPECT_EQ(form_.Aprifilelettura1().Filter(), QStringLiteral("Test|*.txt|All|*.*"));
    EXPECT_TRUE(form_.Aprifilelettura2().Filter().startsWith(QStringLiteral("Fasta|*.fas;*.fa|")));
    EXPECT_EQ(form_.Aprifilelettura3().Filter(),
              QStringLiteral("Fastq|*.fq;*.fastq;*.fq.gz;*.fastq.gz|All|*.*"));
    // Fastq comes after Fasta, with a picture of its own.
    const QList<QAction*> open = form_.Controls().APRI2->actions();
    ASSERT_EQ(open.size(), 3);
    EXPECT_EQ(open[1], form_.Controls().Fasta);
    EXPECT_EQ(open[2], form_.Controls().Fastq);
    EXPECT_EQ(open[2]->text(), QStringLiteral("Fastq"));
    EXPECT_FALSE(open[2]->icon().isNull());
    EXPECT_EQ(QApplication::focusWidget(), form_.Controls().Button1);
}

TEST_F(Form1Test, GaugeIsANavyBarWithItsOwnFont) {
    TGauge& barra = form_.barra();
    EXPECT_EQ(barra.ForeColor(), clNavy);
    EXPECT_EQ(barra.BackColor(), clWhite);
    EXPECT_EQ(barra.Kind(), TGaugeKind::gkHorizontalBar);
    EXPECT_EQ(barra.BorderStyle(), TBorderStyle::bsSingle);
    EXPECT_TRUE(barra.ShowText());
    EXPECT_EQ(barra.font().pixelSize(), 20);
    // W = 839 at the design width: 57 % ends the bar at floor(839 * 0.57) = 478.
    barra.SetProgress(57);
    const QImage picture = barra.grab().toImage();
    EXPECT_EQ(picture.pixel(1, 2) & 0xFFFFFF, QRgb{0x000080});
    EXPECT_EQ(picture.pixel(477, 2) & 0xFFFFFF, QRgb{0x000080});
    EXPECT_EQ(picture.pixel(478, 2) & 0xFFFFFF, QRgb{0xFFFFFF});
    EXPECT_EQ(picture.pixel(0, 0) & 0xFFFFFF, QRgb{0x000000});
}

TEST_F(Form1Test, WordBoxesTakeAPastedWordOfAnyLength) {
    // Longer than the 32767 characters an edit box would otherwise keep.
    const QString word = QString(40000, u'a') + QStringLiteral("tg");
    for (int n = 1; n <= 5; ++n) {
        QGuiApplication::clipboard()->setText(word);
        QTest::mouseClick(&form_.Edit(n), Qt::LeftButton);
        QTest::keyClick(&form_.Edit(n), Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(form_.Edit(n).text().size(), word.size()) << "Edit" << n;
        if (n >= 2) {
            EXPECT_EQ(form_.WordText(n - 1), word.toStdString()) << "Edit" << n;
        }
    }
}

TEST_F(Form1Test, AnchorsOnResize) {
    const QSize grown = form_.size() + QSize(100, 50);
    form_.resize(grown);
    ASSERT_TRUE(test::WaitFor([&] { return form_.centralWidget()->size() == QSize(974, 686); }));
    EXPECT_EQ(form_.grafico().geometry(), QRect(167, 9, 782, 574));
    EXPECT_EQ(form_.barra().geometry(), QRect(9, 631, 940, 33));
    // The controls of the lower half follow the bottom edge; those above stay.
    EXPECT_EQ(form_.Controls().Button1->geometry(), QRect(9, 500, 96, 63));
    EXPECT_EQ(form_.Controls().frame->geometry(), QRect(170, 596, 143, 25));
    EXPECT_EQ(form_.Controls().Label2->geometry(), QRect(10, 404, 84, 40));
    EXPECT_EQ(form_.Controls().Edit5->geometry(), QRect(5, 224, 132, 28));
}

// Every control of the window lies inside it and clear of every other, at the design size, at
// a larger size and at the smallest size the window takes.
TEST_F(Form1Test, NoControlOverlapsAnotherOrLeavesTheWindow) {
    const QSize design = form_.size();
    const struct {
        QSize request, client;
    } sizes[] = {{design, {874, 636}},
                 {design + QSize(300, 250), {1174, 886}},
                 {QSize(200, 150), {874, 636}}};
    for (const auto& size : sizes) {
        form_.resize(size.request);
        ASSERT_TRUE(test::WaitFor([&] { return form_.centralWidget()->size() == size.client; }))
            << size.client.width() << "x" << size.client.height();
        const QList<QWidget*> controls =
            form_.centralWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        ASSERT_GE(controls.size(), 16);
        for (qsizetype i = 0; i < controls.size(); ++i) {
            const QRect a = controls[i]->geometry();
            EXPECT_TRUE(form_.centralWidget()->rect().contains(a))
                << controls[i]->objectName().toStdString() << " at " << size.client.width();
            for (qsizetype j = i + 1; j < controls.size(); ++j)
                EXPECT_FALSE(a.intersects(controls[j]->geometry()))
                    << controls[i]->objectName().toStdString() << " over "
                    << controls[j]->objectName().toStdString() << " at " << size.client.width();
        }
    }
}

TEST_F(Form1Test, RunOverAFileShowsCountsPointsAndGauge) {
    ChooseText(Lines(45, "ATGAAA"));
    QTest::keyClicks(&form_.Edit(2), QStringLiteral("ATG"));
    QString endText;
    Answer("OK", &endText);
    QTest::mouseClick(form_.Controls().Button1, Qt::LeftButton);
    EXPECT_EQ(endText, QStringLiteral("END PROCESSING !"));
    EXPECT_EQ(form_.Edit(1).text(), QStringLiteral("45"));
    EXPECT_EQ(form_.barra().Progress(), 100);
    ASSERT_EQ(form_.Series(1).PointCount(), 100);
    EXPECT_EQ(Y(1, 17), 45);
    EXPECT_EQ(Y(1, 18), 0);
    EXPECT_EQ(form_.Series(1).PointColor(16), clRed);
    EXPECT_EQ(form_.Series(2).PointCount(), 0);
}

TEST_F(Form1Test, IupacAndBothStrandsBoxesSitBesideTheOptionsAndCountFromStart) {
    // Beside StopBox in its font, inside the chart's right edge, their captions whole.
    const auto& c = form_.Controls();
    const QRect stop = c.StopBox->geometry();
    int left = stop.right();
    for (QCheckBox* box : {c.IupacBox, c.StrandsBox}) {
        EXPECT_EQ(box->font(), c.StopBox->font()) << box->objectName().toStdString();
        EXPECT_EQ(box->geometry().top(), stop.top());
        EXPECT_GT(box->geometry().left(), left);
        EXPECT_GE(box->width(), box->sizeHint().width()) << box->objectName().toStdString();
        left = box->geometry().right();
    }
    EXPECT_LE(left, form_.grafico().geometry().right());
    EXPECT_EQ(form_.centralWidget()->size(), QSize(874, 636));

    // gga read backwards complemented is tcc: nnc meets it there only.
    ChooseText("gga\n");
    QTest::keyClicks(&form_.Edit(2), QStringLiteral("nnc"));
    QTest::mouseClick(c.IupacBox, Qt::LeftButton);
    QTest::mouseClick(c.StrandsBox, Qt::LeftButton);
    Answer("OK");
    QTest::mouseClick(c.Button1, Qt::LeftButton);
    EXPECT_EQ(Y(1, 33), 1);
}

TEST_F(Form1Test, StopClickedDuringARunEndsItAtTheRefresh) {
    ChooseText(Lines(200, "ACGT"));
    form_.Edit(2).setText(QStringLiteral("a"));
    // The click waits for the run to let events through: the counting pass first, then the
    // first refresh, where STOP is clicked.
    QTimer::singleShot(0, [this] {
        QTimer::singleShot(0,
                           [this] { QTest::mouseClick(form_.Controls().Button2, Qt::LeftButton); });
    });
    QTest::mouseClick(form_.Controls().Button1, Qt::LeftButton);
    EXPECT_EQ(form_.Edit(1).text(), QStringLiteral("20"));
    EXPECT_EQ(Y(1, 25), 20);
    EXPECT_EQ(form_.barra().Progress(), 10);
    EXPECT_FALSE(form_.Controller().Running());
}

TEST_F(Form1Test, ClosingTheWindowDuringARunEndsItAtTheRefreshThenTheProgram) {
    ChooseText(Lines(200, "ACGT"));
    form_.Edit(2).setText(QStringLiteral("a"));
    // The program's own loop runs the window; the close comes at the run's first refresh.
    QTimer::singleShot(0, [this] {
        QTimer::singleShot(
            0, [this] { QTimer::singleShot(0, [this] { form_.windowHandle()->close(); }); });
        QTest::mouseClick(form_.Controls().Button1, Qt::LeftButton);
    });
    EXPECT_EQ(TApplication::Instance()->Run(&form_), 0);
    EXPECT_FALSE(form_.isVisible());
    EXPECT_FALSE(form_.Controller().Running());
    EXPECT_EQ(form_.Edit(1).text(), QStringLiteral("20"));
    EXPECT_EQ(form_.barra().Progress(), 10) << "the end of the file was reached";
}

TEST_F(Form1Test, AFailurePaintingTheChartLeavesTheRunAndIsShownOnce) {
    ChooseText(Lines(45, "ATGAAA"));
    form_.Edit(2).setText(QStringLiteral("atg"));
    // The chart's first paint fails, as a chart in a bad state would.
    bool failed = false;
    form_.grafico().OnAfterDraw = [&failed] {
        if (!std::exchange(failed, true)) throw std::runtime_error("Chart failure");
    };
    // Every box that opens is noted and closed.
    QStringList shown;
    std::function<void()> closeEach = [&] {
        test::OnModal(
            [&](QWidget* w) {
                if (auto* box = qobject_cast<QMessageBox*>(w)) shown << box->text();
                if (auto* label = w->findChild<QLabel*>(QStringLiteral("Message")))
                    shown << label->text();
                w->close();
                closeEach();
            },
            50);
    };
    closeEach();
    QTest::mouseClick(form_.Controls().Button1, Qt::LeftButton);
    EXPECT_EQ(shown.join(QStringLiteral(" | ")).toStdString(), "Chart failure.");
    EXPECT_FALSE(form_.Controller().Running());
    EXPECT_EQ(form_.Edit(1).text().toStdString(), "") << "the run went on after the failure";
    form_.grafico().OnAfterDraw = nullptr;
}

TEST_F(Form1Test, EnterOrSpaceOnAFocusedStartOrStopClicksIt) {
    using Key = std::pair<Qt::Key, Qt::KeyboardModifier>;
    const Key keys[] = {{Qt::Key_Return, Qt::NoModifier},
                        {Qt::Key_Enter, Qt::KeypadModifier},
                        {Qt::Key_Space, Qt::NoModifier}};
    // A fresh window has START focused: every key starts a run, which finds no file chosen.
    for (const auto& [key, modifier] : keys) {
        QString text;
        Answer("Abort", &text);
        QTest::keyClick(form_.windowHandle(), key, modifier);
        EXPECT_EQ(text, QStringLiteral("Reading file not selected!")) << key;
    }
    QPushButton* stop = form_.Controls().Button2;
    stop->setFocus(Qt::TabFocusReason);
    QSignalSpy clicks(stop, &QPushButton::clicked);
    for (const auto& [key, modifier] : keys) QTest::keyClick(form_.windowHandle(), key, modifier);
    EXPECT_EQ(clicks.count(), 3);
    EXPECT_TRUE(form_.Controller().StopFlag());
}

TEST_F(Form1Test, ExitAsksAndClosesOnYesOnly) {
    QString question;
    Answer("No", &question);
    form_.Controls().Exit1->trigger();
    EXPECT_TRUE(form_.isVisible());
    EXPECT_EQ(question, QStringLiteral("You are closing the program. Are you sure?"));

    QString notice;
    OnMessageForm([&notice](TMessageForm* yes) {
        QTest::mouseClick(ButtonNamed(yes, "Yes"), Qt::LeftButton);
        Answer("OK", &notice);
    });
    form_.Controls().Exit1->trigger();
    EXPECT_EQ(notice, QStringLiteral("Closing application"));
    EXPECT_FALSE(form_.isVisible());
}

TEST_F(Form1Test, TabOrderAndTheThickLineOfTheWordBeingEdited) {
    QWidget* order[] = {form_.Controls().Button1,
                        &form_.Edit(1),
                        &form_.Edit(2),
                        &form_.Edit(3),
                        &form_.Edit(4),
                        &form_.Edit(5),
                        form_.Controls().frame,
                        form_.Controls().Button2,
                        form_.Controls().StopBox,
                        form_.Controls().IupacBox,
                        form_.Controls().StrandsBox};
    for (std::size_t i = 1; i < std::size(order); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), order[i]) << i;
        for (int s = 1; s <= 4; ++s) {
            const bool thick = order[i] == &form_.Edit(s + 1);
            EXPECT_EQ(form_.Series(s).LinePen().Width(), thick ? 3 : 1)
                << "series " << s << " at " << i;
        }
    }
    // Clicking START takes the focus from a word box first: its line is thin for the run.
    QTest::mouseClick(&form_.Edit(3), Qt::LeftButton);
    EXPECT_EQ(form_.Series(2).LinePen().Width(), 3);
    Answer("Abort");
    QTest::mouseClick(form_.Controls().Button1, Qt::LeftButton);
    EXPECT_EQ(form_.Series(2).LinePen().Width(), 1);
}

TEST_F(Form1Test, InfoShowsTheAboutBoxOnce) {
    TAboutBox about;
    form_.SetAboutBox(&about);
    form_.Controls().Info2->trigger();
    ASSERT_TRUE(about.isVisible());
    about.move(about.pos() + QPoint(40, 30));
    const QPoint moved = about.pos();
    form_.Controls().Info2->trigger();
    EXPECT_EQ(about.pos(), moved);
    QTest::mouseClick(about.findChild<QPushButton*>(QStringLiteral("OKButton")), Qt::LeftButton);
    EXPECT_FALSE(about.isVisible());
    form_.Controls().Info2->trigger();
    EXPECT_TRUE(about.isVisible());
    EXPECT_EQ(about.pos(), moved);
    EXPECT_TRUE(form_.isEnabled());
}

class UrlCatcher : public QObject {
    Q_OBJECT
  public:
    QList<QUrl> urls;
  public slots:
    void Open(const QUrl& url) { urls << url; }
};

// Runs the test in another current directory and goes back.
class InDirectory {
  public:
    explicit InDirectory(const std::filesystem::path& dir) {
        QDir::setCurrent(QString::fromStdString(dir.string()));
    }
    ~InDirectory() { QDir::setCurrent(was_); }

  private:
    QString was_ = QDir::currentPath();
};

TEST_F(Form1Test, HelpOpensTheHelpFileOfTheCurrentDirectory) {
    dir_.Write("Kelmarin.chm", "help");
    InDirectory here(dir_.Path());
    test::FakeDesktop desktop;
    desktop.AddViewer();
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "Open");
    form_.Controls().Help1->trigger();
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    ASSERT_EQ(catcher.urls.size(), 1);
    EXPECT_EQ(catcher.urls[0].toLocalFile(),
              QDir::current().absoluteFilePath(QStringLiteral("Kelmarin.chm")));
    EXPECT_TRUE(form_.isEnabled());
}

TEST_F(Form1Test, HelpWithoutAHelpFileSaysSoInAnErrorBox) {
    InDirectory here(dir_.Path());
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "Open");
    QString caption, text;
    OnMessageForm([&caption, &text](TMessageForm* form) {
        caption = form->windowTitle();
        text = form->findChild<QLabel*>(QStringLiteral("Message"))->text();
        QTest::mouseClick(ButtonNamed(form, "OK"), Qt::LeftButton);
    });
    form_.Controls().Help1->trigger();
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    EXPECT_EQ(caption, QStringLiteral("Error"));
    EXPECT_TRUE(text.contains(QStringLiteral("Kelmarin.chm was not found"))) << text.toStdString();
    EXPECT_TRUE(catcher.urls.isEmpty());
    EXPECT_TRUE(form_.isEnabled());
}

TEST_F(Form1Test, FastqBindsTheFileAndSetsItsReadingMode) {
    const QString name = QString::fromStdString(dir_.Write("in.fq", "@r\nATGC\n+\natga\n"));
    form_.Aprifilelettura3().SetExecutor([name](TOpenDialog& d) {
        d.SetFileName(name);
        return true;
    });
    form_.Controls().Fastq->trigger();
    EXPECT_EQ(ModeText(form_.Controller().Mode()), "fastq");
    EXPECT_EQ(form_.Controller().DataFile().Name(), name.toStdString());
    form_.Edit(2).setText(QStringLiteral("atg"));
    Answer("OK");
    QTest::mouseClick(form_.Controls().Button1, Qt::LeftButton);
    EXPECT_EQ(form_.Edit(1).text(), QStringLiteral("1"));
    EXPECT_EQ(Y(1, 25), 1);  // the quality "atga" is not counted
}

TEST_F(Form1Test, CancelledDialogKeepsItsFileName) {
    ChooseText("ACGT\n");
    const QString chosen = form_.Aprifilelettura1().FileName();
    form_.Aprifilelettura1().SetExecutor([](TOpenDialog&) { return false; });
    form_.Controls().text->trigger();
    EXPECT_EQ(form_.Aprifilelettura1().FileName(), chosen);
}

// The real open dialog, worked as a user works it: a name typed, then Open or Cancel.
QFileDialog* FileDialog(QWidget* w) {
    auto* dialog = qobject_cast<QFileDialog*>(w);
    if (dialog == nullptr) ADD_FAILURE() << "no open dialog";
    return dialog;
}
void Press(QFileDialog* dialog, QDialogButtonBox::StandardButton button, const QString& name = {}) {
    if (!name.isEmpty()) {
        // Typed into the focused name box, which drops the file offered in the list.
        auto* box = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        dialog->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
        box->setFocus(Qt::OtherFocusReason);
        box->setText(name);
    }
    QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(button), Qt::LeftButton);
}

TEST_F(Form1Test, TheOpenDialogsOfferTheirLastChoiceAndLetAnyNameThrough) {
    const QString chosen = QString::fromStdString(dir_.Write("in.seq", "ACGT\n"));
    const QString missing = QString::fromStdString((dir_.Path() / "missing.txt").string());
    QStringList filters, fastaFilters;
    QString first, fastaFirst, later, refusal;
    QStringList offered;
    test::OnModal([&](QWidget* w) {
        QFileDialog* d = FileDialog(w);
        filters = d->nameFilters();
        first = d->selectedNameFilter();
        d->selectNameFilter(filters.value(1));
        Press(d, QDialogButtonBox::Open, chosen);
    });
    form_.Controls().text->trigger();
    EXPECT_EQ(filters, (QStringList{QStringLiteral("Test (*.txt)"), QStringLiteral("All (*)")}));
    EXPECT_EQ(first, QStringLiteral("Test (*.txt)"));
    EXPECT_EQ(form_.Aprifilelettura1().FileName(), chosen);

    // The next opening offers the filter entry and the file chosen last; a name that names no
    // file is let through, and the program itself says that it does not exist.
    test::OnModal([&](QWidget* w) {
        QFileDialog* d = FileDialog(w);
        later = d->selectedNameFilter();
        offered = d->selectedFiles();
        Press(d, QDialogButtonBox::Open, missing);
        Answer("OK", &refusal);
    });
    form_.Controls().text->trigger();
    EXPECT_EQ(later, QStringLiteral("All (*)"));
    EXPECT_EQ(offered, QStringList{chosen});
    EXPECT_EQ(refusal, QStringLiteral("Reading fil does not exist!"));
    EXPECT_EQ(form_.Aprifilelettura1().FileName(), missing);

    // Cancel keeps the name.
    test::OnModal([](QWidget* w) {
        Press(FileDialog(w), QDialogButtonBox::Cancel);
        Answer("OK");
    });
    form_.Controls().text->trigger();
    EXPECT_EQ(form_.Aprifilelettura1().FileName(), missing);

    test::OnModal([&](QWidget* w) {
        QFileDialog* d = FileDialog(w);
        fastaFilters = d->nameFilters();
        fastaFirst = d->selectedNameFilter();
        Press(d, QDialogButtonBox::Cancel);
        Answer("OK");
    });
    form_.Controls().Fasta->trigger();
    // Every FASTA name kelmarin-batch knows can be picked as well, not only typed.
    ASSERT_EQ(fastaFilters.size(), 2);
    EXPECT_EQ(fastaFilters[0], QStringLiteral("Fasta (*.fas *.fa)"));
    for (const char* mask : {"*.fasta", "*.fna", "*.ffn", "*.frn", "*.fasta.gz", "*.frn.gz"})
        EXPECT_TRUE(fastaFilters[1].contains(QLatin1String(mask))) << mask;
    EXPECT_EQ(fastaFirst, fastaFilters.value(0));
}

TEST(OpenDialogFilterTest, FiltersInQtNotation) {
    EXPECT_EQ(NameFiltersFromPattern(QStringLiteral("Test|*.txt|All|*.*")),
              (QStringList{QStringLiteral("Test (*.txt)"), QStringLiteral("All (*)")}));
    EXPECT_EQ(NameFiltersFromPattern(QStringLiteral("Fasta|*.fas;*.fa")),
              QStringList{QStringLiteral("Fasta (*.fas *.fa)")});
}

}  // namespace
}  // namespace kelmarin

#include "form1_test.moc"
