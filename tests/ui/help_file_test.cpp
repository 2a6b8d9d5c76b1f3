#include "ui/help_file.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QList>
#include <QUrl>
#include <filesystem>

#include "tests/input/temp_file.h"
#include "tests/ui/fake_desktop.h"

namespace kelmarin {
namespace {

struct HelpCase {
    bool inCurrent;
    bool installed;
    bool expectInstalled;
};

class HelpFileTest : public ::testing::TestWithParam<HelpCase> {};

// A prefix laid out as the install lays it out: the program in its bin folder, the help file in
// its data folder; the current directory elsewhere.
TEST_P(HelpFileTest, CurrentDirectoryFirstThenTheInstalledHelp) {
    const HelpCase c = GetParam();
    test::TempDir tmp;
    const auto current = tmp.Path() / "work";
    const auto program = tmp.Path() / "prefix" / KELMARIN_INSTALL_BINDIR;
    const auto data = tmp.Path() / "prefix" / KELMARIN_INSTALL_DATADIR;
    for (const auto& d : {current, program, data}) std::filesystem::create_directories(d);
    if (c.inCurrent) tmp.Write("work/Kelmarin.chm", "here");
    if (c.installed) tmp.Write("prefix/" KELMARIN_INSTALL_DATADIR "/Kelmarin.chm", "installed");

    const QString found = HelpFilePath(QDir(QString::fromStdString(current.string())),
                                       QString::fromStdString(program.string()));
    const auto expected = (c.expectInstalled ? data : current) / "Kelmarin.chm";
    EXPECT_TRUE(std::filesystem::equivalent(
        expected.parent_path(), std::filesystem::path(found.toStdString()).parent_path()))
        << found.toStdString();
    EXPECT_EQ(std::filesystem::path(found.toStdString()).filename(), "Kelmarin.chm");
}

INSTANTIATE_TEST_SUITE_P(
    Places, HelpFileTest,
    ::testing::Values(HelpCase{true, false, false}, HelpCase{false, true, true},
                      HelpCase{true, true, false},
                      // nowhere: the current directory's name, which opens nothing
                      HelpCase{false, false, false}));

// The desktop's handler played by a stand-in: a missing file is reported without asking it, and a
// file it cannot open is reported with the package that shows it.
TEST(OpenHelpFileTest, OpensTheFileOrSaysWhyNotAndWhatToInstall) {
    test::TempDir tmp;
    const QString file = QString::fromStdString(tmp.Write("Kelmarin.chm", "help"));
    QList<QUrl> asked;
    const auto desktop = [&asked](bool opens) {
        return [&asked, opens](const QUrl& url) {
            asked << url;
            return opens;
        };
    };

    EXPECT_TRUE(OpenHelpFile(file, desktop(true), true).isEmpty());
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0], QUrl::fromLocalFile(file));

    const QString noViewer = OpenHelpFile(file, desktop(false), true);
    EXPECT_TRUE(noViewer.contains(QStringLiteral("could not be opened"))) << noViewer.toStdString();
    EXPECT_TRUE(noViewer.contains(QStringLiteral("apt-get install xchm")));
    EXPECT_TRUE(noViewer.contains(file));

    asked.clear();
    const QString gone = QString::fromStdString((tmp.Path() / "gone" / "Kelmarin.chm").string());
    const QString missing = OpenHelpFile(gone, desktop(true), true);
    EXPECT_TRUE(missing.contains(QStringLiteral("not found"))) << missing.toStdString();
    EXPECT_TRUE(asked.isEmpty());
}

// The stub xdg-open starts as the real one does, which only then finds no viewer and says so
// where the window cannot hear it; so the window looks for both before it asks.
TEST(OpenHelpFileTest, NamesBothPackagesUnlessXdgOpenAndAViewerForTheTypeAreThere) {
    test::TempDir tmp;
    const QString file = QString::fromStdString(tmp.Write("Kelmarin.chm", "help"));
    test::FakeDesktop desktop;
    int asked = 0;
    const auto opens = [&asked](const QUrl&) { return ++asked > 0; };
    const auto expectBothPackagesNamed = [&] {
        const QString told = OpenHelpFile(file, opens);
        EXPECT_TRUE(told.contains(QStringLiteral("apt-get install xchm xdg-utils")))
            << told.toStdString();
        EXPECT_EQ(asked, 0);
    };

    expectBothPackagesNamed();  // xdg-utils without a viewer
    desktop.AddViewer();
    EXPECT_TRUE(OpenHelpFile(file, opens).isEmpty());
    EXPECT_EQ(asked, 1);
    asked = 0;
    desktop.RemoveXdgOpen();
    expectBothPackagesNamed();  // a viewer without xdg-utils
}

}  // namespace
}  // namespace kelmarin
