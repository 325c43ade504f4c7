#include "EngineBuilds.h"
#include "GuiTestSupport.h"
#include "model/MenuCommands.h"
#include "model/ResultsTable.h"
#include "report/DynoSheet.h"
#include "report/EngineSummary.h"
#include "report/PageHeader.h"
#include "report/ValveEventPainter.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <memory>
#include <set>

namespace {

ChartOptions DefaultGraph()
{
    ChartOptions options;
    options.axes = {ChartAxisDescription::Make(kSeriesEngineSpeed, kHiRange),
                    ChartAxisDescription::Make(kSeriesPower, kMidRange),
                    ChartAxisDescription::Make(kSeriesTorque, kMidRange)};
    return options;
}

DynoSheetContent SheetOf(const CTorqDoc& doc, const ChartOptions& options = DefaultGraph(),
                         std::vector<ChartEngine> others = {})
{
    DynoSheetContent content;
    content.document = &doc;
    content.engineName = QString::fromStdString(doc.GetTitle());
    content.filePath = QStringLiteral("/home/builder/engines/chevy-350.trq");
    content.date = QStringLiteral("2026-04-25");
    content.units = ShownResultUnits(options.resultUnits, doc);
    content.paper = QPageSize::Letter;
    std::vector<ChartEngine> engines{{&doc, content.engineName}};
    engines.insert(engines.end(), others.begin(), others.end());
    content.graph = BuildChartPicture(engines, options);
    return content;
}

bool IsRed(QRgb c)
{
    return qRed(c) > 200 && qGreen(c) < 60 && qBlue(c) < 60;
}
bool IsGreen(QRgb c)
{
    return qRed(c) < 40 && qGreen(c) > 100 && qGreen(c) < 160 && qBlue(c) < 40;
}
bool IsInk(QRgb c)
{
    return qGray(c) < 128;
}

int Count(const QImage& image, const QRect& area, bool (*test)(QRgb))
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (test(image.pixel(x, y))) ++count;
        }
    }
    return count;
}

}  // namespace

class DynoSheetTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void thePdfIsOnePage();
    void theSheetIsOnThePaperOfTheUsersCountry();
    void bothAutomaticLiftsAreMarkedOnceAfterThePair();
    void theSheetNamesTheEngineAndCarriesTheTableUnitsPeaksAndSummary();
    void thePictureFillsThePageWithGraphTableAndSummary();
    void fourComparedEnginesEachKeepTheirOwnColour();
    void aMetricSheetShowsKilowatts();
    void theSheetSaysTheDayItsFiguresAreCorrectedTo();
    void theValveEventsStandUnderTheSummary();
    void exportsRefuseUnknownFormatsAndUnwritableFoldersAndReplaceOnlyWhenDone();

private:
    std::unique_ptr<CTorqDoc> m_doc;
};

void DynoSheetTest::init()
{
    m_doc = std::make_unique<CTorqDoc>();
    m_doc->SetTitle("Chevy 350 Street");
    QVERIFY(BuildChevy350(*m_doc));
}

void DynoSheetTest::cleanup()
{
    m_doc.reset();
}

void DynoSheetTest::thePdfIsOnePage()
{
    const QByteArray pdf = RenderDynoSheet(SheetOf(*m_doc), SheetFormat::Pdf);
    QVERIFY(pdf.startsWith("%PDF"));
    QCOMPARE(pdf.count("/Type /Page\n"), 1);
    QVERIFY(pdf.contains("/MediaBox [0 0 612.000000 792.000000]"));  // US Letter in points
}

void DynoSheetTest::theSheetIsOnThePaperOfTheUsersCountry()
{
    QCOMPARE(LocalePaperSize(QLocale(QLocale::English, QLocale::UnitedStates)), QPageSize::Letter);
    QCOMPARE(LocalePaperSize(QLocale(QLocale::French, QLocale::Canada)), QPageSize::Letter);
    QCOMPARE(LocalePaperSize(QLocale(QLocale::English, QLocale::UnitedKingdom)), QPageSize::A4);
    QCOMPARE(LocalePaperSize(QLocale(QLocale::German, QLocale::Germany)), QPageSize::A4);
    QCOMPARE(LocalePaperSize(QLocale::c()), QPageSize::A4);

    // A sheet made for a user in Germany.
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    DynoSheetContent content = SheetOf(*m_doc);
    content.paper = DynoSheetContent().paper;
    QLocale::setDefault(before);
    QCOMPARE(content.paper, QPageSize::A4);
    const QByteArray pdf = RenderDynoSheet(content, SheetFormat::Pdf);
    const qsizetype box = pdf.indexOf("/MediaBox [0 0 ");
    QVERIFY(box >= 0);
    const QList<QByteArray> points = pdf.mid(box + 15, pdf.indexOf(']', box) - box - 15).split(' ');
    // 210 x 297 mm: 595.28 x 841.89 points, which Qt keeps to whole points.
    QVERIFY2(std::abs(points.value(0).toDouble() - 595.28) < 0.5, points.value(0).constData());
    QVERIFY2(std::abs(points.value(1).toDouble() - 841.89) < 0.5, points.value(1).constData());
    QImage sheet;
    QVERIFY(sheet.loadFromData(RenderDynoSheet(content, SheetFormat::Png), "PNG"));
    QCOMPARE(sheet.size(), QSize(1587, 2245));  // 192 per inch
    QCOMPARE(DynoSheetPaper(QPageSize::Letter), QRectF(0, 0, 816, 1056));
}

void DynoSheetTest::bothAutomaticLiftsAreMarkedOnceAfterThePair()
{
    QCOMPARE(ApplyMenuCommand(*m_doc, Cmd::kAutoValveLift), CommandResult::Applied);
    m_doc->Recalculate();
    QString lifts;
    for (const EngineSummaryGroup& group : SummarizeEngine(*m_doc)) {
        for (const EngineSummaryLine& line : group.lines) {
            if (line.label == QStringLiteral("Lift Int/Exh:")) lifts = line.value;
        }
    }
    QVERIFY2(QRegularExpression(QStringLiteral("^\\d\\.\\d{3} / \\d\\.\\d{3} in \\(Auto\\)$"))
                 .match(lifts)
                 .hasMatch(),
             qPrintable(lifts));
    // Typed lifts: no mark at all.
    QCOMPARE(ApplyMenuCommand(*m_doc, Cmd::kAutoValveLift), CommandResult::Applied);
    m_doc->Recalculate();
    for (const EngineSummaryGroup& group : SummarizeEngine(*m_doc)) {
        for (const EngineSummaryLine& line : group.lines) {
            if (line.label == QStringLiteral("Lift Int/Exh:"))
                QVERIFY2(QRegularExpression(QStringLiteral("^\\d\\.\\d{3} / \\d\\.\\d{3} in$"))
                             .match(line.value)
                             .hasMatch(),
                         qPrintable(line.value));
        }
    }
}

void DynoSheetTest::theSheetNamesTheEngineAndCarriesTheTableUnitsPeaksAndSummary()
{
    // As SVG every text on the sheet can be read back.
    const QByteArray svg = RenderDynoSheet(SheetOf(*m_doc), SheetFormat::Svg);
    const std::string peaks = FormatResultPeaks(*m_doc, ResultUnits::English);
    QVERIFY(!peaks.empty());
    for (const QByteArray& text :
         {QByteArray("Chevy 350 Street"), QByteArray("/home/builder/engines/chevy-350.trq"),
          QByteArray("2026-04-25"), QByteArray("Torqwell 3.10"), QByteArray(peaks.c_str()),
          QByteArray("CALCULATED POWER AND ENGINE PRESSURES"), QByteArray("(hp)"), QByteArray("(ft-lbs)"),
          QByteArray("(psi)"), QByteArray("Power (HP)"), QByteArray("Torque (ft-lbs)-Chevy 350 Street"),
          QByteArray("SHORT BLOCK"), QByteArray("CAMSHAFT"), QByteArray("4.000 in x 3.480 in"),
          QByteArray("Dual-Plane Manifold")}) {
        QVERIFY2(svg.contains(text), text.constData());
    }
    // Every row of the table: the speeds 2000 to 11000.
    for (int point = 0; point < kResultPointCount; ++point) {
        QVERIFY(svg.contains(QByteArray::number(2000 + 500 * point)));
    }
}

void DynoSheetTest::thePictureFillsThePageWithGraphTableAndSummary()
{
    QImage sheet;
    QVERIFY(sheet.loadFromData(RenderDynoSheet(SheetOf(*m_doc), SheetFormat::Png), "PNG"));
    QCOMPARE(sheet.size(), QSize(1632, 2112));  // 8.5 x 11 inches at 192 per inch
    sheet = sheet.convertToFormat(QImage::Format_RGB32);
    const int w = sheet.width();
    const int h = sheet.height();
    // The name at the top, the red power and green torque curves in the upper
    // half, the table's numbers in the lower left, the summary in the lower right.
    QVERIFY(Count(sheet, QRect(96, 96, w / 2, 60), IsInk) > 500);
    QVERIFY(Count(sheet, QRect(96, 250, w - 192, h / 2 - 250), IsRed) > 500);
    QVERIFY(Count(sheet, QRect(96, 250, w - 192, h / 2 - 250), IsGreen) > 500);
    QVERIFY(Count(sheet, QRect(96, h * 6 / 10, w / 2 - 96, h / 4), IsInk) > 3000);
    QVERIFY(Count(sheet, QRect(w * 65 / 100, h * 6 / 10, w / 3, h / 4), IsInk) > 1500);
    // Half-inch margins stay white.
    QCOMPARE(Count(sheet, QRect(0, 0, w, 90), IsInk), 0);
    QCOMPARE(Count(sheet, QRect(0, h - 90, w, 90), IsInk), 0);
}

void DynoSheetTest::fourComparedEnginesEachKeepTheirOwnColour()
{
    std::vector<std::unique_ptr<CTorqDoc>> others;
    std::vector<ChartEngine> engines;
    for (float scale : {2.0f, 3.0f, 4.0f}) {
        auto doc = std::make_unique<CTorqDoc>();
        SetResults(*doc, scale);
        engines.push_back({doc.get(), QStringLiteral("Engine %1").arg(scale)});
        others.push_back(std::move(doc));
    }
    ChartOptions options = DefaultGraph();
    options.colourEachEngine = true;
    QImage sheet;
    QVERIFY(sheet.loadFromData(RenderDynoSheet(SheetOf(*m_doc, options, engines), SheetFormat::Png), "PNG"));
    sheet = sheet.convertToFormat(QImage::Format_RGB32);
    const QRect graph(96, 250, sheet.width() - 192, sheet.height() / 2 - 250);
    for (int set = 0; set < 4; ++set) {
        const QRgb colour = EngineColour(set).rgb();
        int found = 0;
        for (int y = graph.top(); y <= graph.bottom(); ++y) {
            for (int x = graph.left(); x <= graph.right(); ++x) {
                if (sheet.pixel(x, y) == colour) ++found;
            }
        }
        QVERIFY2(found > 100, qPrintable(QStringLiteral("engine %1's colour is drawn").arg(set)));
    }
    const QByteArray svg = RenderDynoSheet(SheetOf(*m_doc, options, engines), SheetFormat::Svg);
    for (const char* legend :
         {"Power (HP)-Chevy 350 Street", "Power (HP)-Engine 2", "Torque (ft-lbs)-Engine 4"}) {
        QVERIFY2(svg.contains(legend), legend);
    }
}

void DynoSheetTest::theSheetSaysTheDayItsFiguresAreCorrectedTo()
{
    // DIN 70020 on 990 mbar at the site and 30 C.
    AirConditions day = ModelStandardDay();
    day.barometerKpa = 99.0;
    day.temperatureC = 30.0;
    const ResultCorrection din{CorrectionStandard::Din70020, day};
    ChartOptions options = DefaultGraph();
    options.correction = din;
    DynoSheetContent content = SheetOf(*m_doc, options);
    content.correction = din;
    const QByteArray svg = RenderDynoSheet(content, SheetFormat::Svg);
    const std::string peaks = FormatResultPeaks(*m_doc, ResultUnits::English, din);
    QVERIFY(peaks != FormatResultPeaks(*m_doc, ResultUnits::English));
    QVERIFY2(svg.contains(QByteArray(peaks.c_str())), peaks.c_str());
    QVERIFY(svg.contains("DIN 70020 on 29.23 inHg at the site"));
    QVERIFY(svg.contains("Power (HP, DIN 70020)"));
    // On the model's day no word of a day.
    QVERIFY(!RenderDynoSheet(SheetOf(*m_doc), SheetFormat::Svg).contains("DIN 70020"));
}

void DynoSheetTest::theValveEventsStandUnderTheSummary()
{
    QImage sheet;
    QVERIFY(sheet.loadFromData(RenderDynoSheet(SheetOf(*m_doc), SheetFormat::Png), "PNG"));
    sheet = sheet.convertToFormat(QImage::Format_RGB32);
    const QRect lowerRight(sheet.width() * 6 / 10, sheet.height() * 3 / 4, sheet.width() * 4 / 10 - 96,
                           sheet.height() / 4 - 96);
    const auto countColour = [&](const QColor& colour) {
        int found = 0;
        for (int y = lowerRight.top(); y <= lowerRight.bottom(); ++y) {
            for (int x = lowerRight.left(); x <= lowerRight.right(); ++x) {
                if (sheet.pixel(x, y) == colour.rgb()) ++found;
            }
        }
        return found;
    };
    QVERIFY(countColour(kIntakeLiftColour) > 100);
    QVERIFY(countColour(kExhaustLiftColour) > 100);
    // The events in the cam card's terms, as the diagram labels them.
    const QByteArray svg = RenderDynoSheet(SheetOf(*m_doc), SheetFormat::Svg);
    for (const QString& label : ValveEventLabels(BuildValveEventDiagram(m_doc->Cam())))
        QVERIFY2(svg.contains(label.toUtf8()), qPrintable(label));
}

void DynoSheetTest::aMetricSheetShowsKilowatts()
{
    m_doc->SetUnitSystem(kMetricUnits);
    ChartOptions options = DefaultGraph();
    options.resultUnits = ResultUnits::MetricKpa;
    const QByteArray svg = RenderDynoSheet(SheetOf(*m_doc, options), SheetFormat::Svg);
    for (const char* text : {"Power (kW)", "(kW)", "(kPa)", "Peak power", " kW @ "})
        QVERIFY2(svg.contains(text), text);
    QVERIFY(!svg.contains("(hp)"));
}

void DynoSheetTest::exportsRefuseUnknownFormatsAndUnwritableFoldersAndReplaceOnlyWhenDone()
{
    QTemporaryDir folder;
    QString error;
    QCOMPARE(SheetFormatOf(QStringLiteral("a/b/SHEET.PDF")), SheetFormat::Pdf);
    QVERIFY(!ExportDynoSheet(SheetOf(*m_doc), folder.filePath(QStringLiteral("sheet.txt")), error));
    QVERIFY(error.contains(QStringLiteral(".pdf, .png or .svg")));

    const QString missing = folder.filePath(QStringLiteral("gone/sheet.pdf"));
    QVERIFY(!ExportDynoSheet(SheetOf(*m_doc), missing, error));
    QVERIFY2(error.contains(missing) && error.contains(QStringLiteral("No such file")), qPrintable(error));

    // An existing file is replaced by the whole new sheet.
    const QString path = folder.filePath(QStringLiteral("sheet.svg"));
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("old sheet");
    old.close();
    QVERIFY2(ExportDynoSheet(SheetOf(*m_doc), path, error), qPrintable(error));
    QFile written(path);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QByteArray bytes = written.readAll();
    QVERIFY(bytes.contains("</svg>"));
    QVERIFY(!bytes.contains("old sheet"));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{QStringLiteral("sheet.svg")});
}

QTEST_MAIN(DynoSheetTest)
#include "DynoSheetTest.moc"
