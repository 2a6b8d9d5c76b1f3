// The chart written to files: SVG and PDF hold the chart's texts as texts and no bitmap, and a
// file that cannot be written leaves nothing behind.
#include "chart/chart_picture.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include "chart/tools/sample_profiles.h"
#include "tests/chart/grafico_fixture.h"

namespace kelmarin::test {
namespace {

class ChartPicture : public Grafico {
  protected:
    ChartPicture() { tools::FillSampleProfiles({&s[0], &s[1], &s[2], &s[3]}, 3); }
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir dir;
};

// The output of a poppler tool; empty when it is not installed.
QString Poppler(const char* tool, const QStringList& args) {
    if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()) return {};
    QProcess p;
    p.start(QString::fromLatin1(tool), args);
    p.waitForFinished();
    return QString::fromUtf8(p.readAllStandardOutput());
}

TEST_F(ChartPicture, SvgIsXmlWithTheAxisTextsAsTextAndNoBitmap) {
    WriteChartSvg(chart, Path("chart.svg"));
    QFile file(Path("chart.svg"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QStringList texts;
    int images = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("image")) ++images;
        if (xml.isStartElement() && xml.name() == QLatin1String("text"))
            texts << xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(images, 0);
    for (const char* want : {"Normalized length", "Occurrence", "50", "100"})
        EXPECT_TRUE(texts.contains(QString::fromLatin1(want))) << want;
    // Drawing the file left the window's own frames as they were.
    EXPECT_TRUE(chart.Surface().Buffered());
}

// Zoomed in, the series run beyond the plot area; an SVG file has no clip of its own, so the
// lines must end at the plot area's edges.
TEST_F(ChartPicture, SvgSeriesStayInsideTheZoomedPlotArea) {
    chart.ZoomToValues({60, 140}, {0, 0}, {0, 0}, {19.5, 30.5});
    WriteChartSvg(chart, Path("zoomed.svg"));
    const TRect r = chart.ChartRect();
    QFile file(Path("zoomed.svg"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QString stroke;  // of the innermost group: the generator sets the pen on groups
    int red = 0, outside = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) continue;
        const auto a = xml.attributes();
        if (xml.name() == QLatin1String("g")) stroke = a.value(QLatin1String("stroke")).toString();
        if (xml.name() != QLatin1String("polyline") || stroke != QLatin1String("#ff0000")) continue;
        ++red;
        const QStringList xy =
            a.value(QLatin1String("points"))
                .toString()
                .split(QRegularExpression(QStringLiteral("[ ,]")), Qt::SkipEmptyParts);
        for (qsizetype i = 0; i + 1 < xy.size(); i += 2) {
            const double x = xy[i].toDouble(), y = xy[i + 1].toDouble();
            outside += x < r.left + 1 || x > r.right || y < r.top + 1 || y > r.bottom - 1;
        }
    }
    EXPECT_GT(red, 5);
    EXPECT_EQ(outside, 0);
}

TEST_F(ChartPicture, PdfIsOnePageWithTheTextsAsText) {
    WriteChartPdf(chart, Path("chart.pdf"));
    QFile file(Path("chart.pdf"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(5) == "%PDF-");
    const QString info = Poppler("pdfinfo", {Path("chart.pdf")});
    if (info.isEmpty()) GTEST_SKIP() << "poppler-utils (scripts/setup.sh --test) not installed";
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))))
        << info.toStdString();
    const QString text = Poppler("pdftotext", {Path("chart.pdf"), QStringLiteral("-")});
    for (const char* want : {"Normalized length", "Occurrence", "50"})
        EXPECT_TRUE(text.contains(QString::fromLatin1(want))) << want << text.toStdString();
}

TEST_F(ChartPicture, AFailedWriteLeavesNothingAndADoneOneNoTemporaryFile) {
    for (const auto write : {&WriteChartPng, &WriteChartSvg, &WriteChartPdf}) {
        EXPECT_THROW(write(chart, Path("missing/chart")), std::runtime_error);
        EXPECT_FALSE(QDir(Path("missing")).exists());
    }
    WriteChartPng(chart, Path("chart.png"));
    WriteChartSvg(chart, Path("chart.svg"));
    // Only the finished files, no temporary ones beside them.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
              QStringList({QStringLiteral("chart.png"), QStringLiteral("chart.svg")}));
    // The PNG is the window's frame.
    EXPECT_EQ(QImage(Path("chart.png")).convertToFormat(QImage::Format_RGB32), Render());
}

}  // namespace
}  // namespace kelmarin::test
