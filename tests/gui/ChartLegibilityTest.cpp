#include "EngineBuilds.h"
#include "GuiTestFixture.h"
#include "GuiTestSupport.h"
#include "model/DocumentRegistry.h"
#include "model/ResultsTable.h"
#include "report/ChartStyle.h"
#include "views/Chart2dDlg.h"
#include "views/Chart2dView.h"
#include "views/ChartLegend.h"
#include "views/ResultUnitsChoice.h"

#include <QChart>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineSeries>
#include <QScatterSeries>
#include <QTemporaryDir>
#include <QValueAxis>
#include <QtTest>

#include <memory>
#include <set>

namespace {

std::unique_ptr<CTorqDoc> MakeDocument(const char* title, float scale, CDocumentRegistry& registry)
{
    auto doc = std::make_unique<CTorqDoc>();
    doc->SetTitle(title);
    SetResults(*doc, scale);
    registry.Add(*doc);
    return doc;
}

QString Shown(const QLabel* label)
{
    return label->text().remove(QChar(0x200B));
}

QImage SwatchOf(const CChartLegend::Entry& entry)
{
    return entry.swatch->pixmap().toImage();
}

}  // namespace

class ChartLegibilityTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void fourEnginesHaveDistinctSwatchesAndTheirFullNamesWrapped();
    void aShortTiledGraphKeepsItsPlotAndStillNamesEveryEngine();
    void colourEachEngineIsOffByDefaultDistinctWhenOnAndRemembered();
    void aCurveLeavingAFixedRangeIsMarkedAtTheEdgeAndNoted();
    void peakPowerAndTorqueAreLabelledWithTheirSpeeds();
    void aMetricEngineCanShowKilowattsAndNewtonMetres();
    void aSmallGraphShowsFewerTicksAndTheSecondAxisNoGrid();
    void imagesAreSavedAsPngOrSvgAndNeverAsAPartialFile();

private:
    std::unique_ptr<GuiTestFixture> m_fixture;
};

void ChartLegibilityTest::init()
{
    m_fixture = std::make_unique<GuiTestFixture>();
}

void ChartLegibilityTest::fourEnginesHaveDistinctSwatchesAndTheirFullNamesWrapped()
{
    CDocumentRegistry registry;
    auto own = MakeDocument("Chevy 350 street with the long-tube headers.trq", 1.0f, registry);
    auto second = MakeDocument("Chevy 383 stroker on pump gas.trq", 1.1f, registry);
    auto third = MakeDocument("Big block 454.trq", 1.2f, registry);
    auto fourth = MakeDocument("Ford 302 with a 100 shot of nitrous.trq", 1.3f, registry);
    CChart2dView view(*own, registry);
    view.resize(360, 420);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.SetCompareDocuments(
        {second->GetDocumentNumber(), third->GetDocumentNumber(), fourth->GetDocumentNumber()});

    const auto& entries = view.Legend()->Entries();
    QCOMPARE(entries.size(), std::size_t{8});
    // Every curve's swatch shows its own line and marker: no two alike.
    for (std::size_t a = 0; a < entries.size(); ++a) {
        for (std::size_t b = a + 1; b < entries.size(); ++b) {
            QVERIFY2(SwatchOf(entries[a]) != SwatchOf(entries[b]),
                     qPrintable(entries[a].legend + " / " + entries[b].legend));
        }
    }
    // The own engine's swatch is red with red dots; a compared engine's has navy markers.
    const QImage ownPower = SwatchOf(entries[0]);
    QCOMPARE(ownPower.pixelColor(ownPower.width() / 2, ownPower.height() / 2), kChartY1Colour);
    const QImage secondPower = SwatchOf(entries[2]);
    QCOMPARE(secondPower.pixelColor(secondPower.width() / 2, secondPower.height() / 2),
             kChartOverlayMarkerColour);
    QCOMPARE(secondPower.pixelColor(1, secondPower.height() / 2), kChartY1Colour);

    QApplication::processEvents();
    for (const CChartLegend::Entry& entry : entries) {
        // The whole text, never cut: the engine's full name is there and in the tooltip.
        QVERIFY(Shown(entry.text).endsWith(view.Slots()[0].name) || Shown(entry.text) == entry.legend);
        QCOMPARE(Shown(entry.text), entry.legend);
        QVERIFY(entry.text->toolTip().contains(entry.legend));
        QVERIFY(entry.text->wordWrap());
        QVERIFY2(entry.text->geometry().right() <= view.Legend()->width(), qPrintable(entry.legend));
    }
    // In a narrow graph the long names take more than one line.
    const QLabel* longest =
        entries[1].text;  // "Torque (ft-lbs)-Chevy 350 street with the long-tube headers.trq"
    QVERIFY2(longest->height() > 2 * longest->fontMetrics().height() - 2, "the long name wraps");
    QVERIFY(longest->fontMetrics().horizontalAdvance(entries[1].legend) > longest->width());
}

void ChartLegibilityTest::aShortTiledGraphKeepsItsPlotAndStillNamesEveryEngine()
{
    // Nine engines tiled on a 1024 x 600 screen: each graph is about 330 by 190.
    CDocumentRegistry registry;
    auto own = MakeDocument("Chevy 350 street with the long-tube headers.trq", 1.0f, registry);
    auto second = MakeDocument("Chevy 383 stroker on pump gas.trq", 1.1f, registry);
    auto third = MakeDocument("Big block 454.trq", 1.2f, registry);
    auto fourth = MakeDocument("Ford 302 with a 100 shot of nitrous.trq", 1.3f, registry);
    CChart2dView view(*own, registry);
    view.resize(330, 190);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.SetCompareDocuments(
        {second->GetDocumentNumber(), third->GetDocumentNumber(), fourth->GetDocumentNumber()});
    QApplication::processEvents();

    // The legend leaves the plot half of the graph at least.
    QVERIFY2(view.Legend()->height() * 2 <= view.height(),
             qPrintable(QStringLiteral("legend %1 of %2").arg(view.Legend()->height()).arg(view.height())));
    QVERIFY(view.Chart()->plotArea().height() >= view.height() / 3.0);
    // Each curve still has its swatch, inside the legend, and names its engine in full in the tooltip.
    const auto& entries = view.Legend()->Entries();
    QCOMPARE(entries.size(), std::size_t{8});
    for (const CChartLegend::Entry& entry : entries) {
        QVERIFY(entry.swatch->isVisible());
        QVERIFY(entry.text->geometry().bottom() <= view.Legend()->height());
        QVERIFY(entry.text->toolTip().contains(QStringLiteral(".trq")));
    }
    for (int set = 0; set < 4; ++set) {
        const QString shown = Shown(entries[std::size_t(2 * set)].text);
        QVERIFY2(!shown.isEmpty() && entries[std::size_t(2 * set)].text->toolTip().startsWith(
                                         view.Slots()[std::size_t(set)].name),
                 qPrintable(shown));
    }

    // Given the room again, the texts wrap in full.
    view.resize(360, 560);
    QApplication::processEvents();
    for (const CChartLegend::Entry& entry : view.Legend()->Entries())
        QCOMPARE(Shown(entry.text), entry.legend);
}

void ChartLegibilityTest::colourEachEngineIsOffByDefaultDistinctWhenOnAndRemembered()
{
    CDocumentRegistry registry;
    auto own = MakeDocument("Torq1", 1.0f, registry);
    auto second = MakeDocument("Torq2", 2.0f, registry);
    auto third = MakeDocument("Torq3", 3.0f, registry);
    auto fourth = MakeDocument("Torq4", 4.0f, registry);
    const std::array<int, kChartCompareCount> others{second->GetDocumentNumber(), third->GetDocumentNumber(),
                                                     fourth->GetDocumentNumber()};
    {
        CChart2dView view(*own, registry);
        view.SetCompareDocuments(others);
        QVERIFY(!view.IsColourEachEngine());
        for (int set = 0; set < 4; ++set) QCOMPARE(view.Y1Series(set)->pen().color(), kChartY1Colour);

        CChart2dDlg dialog(*own, registry);
        dialog.SetOptions(view.Options());
        QVERIFY(!dialog.ColourEachEngineBox()->isChecked());
        dialog.ColourEachEngineBox()->setChecked(true);
        view.ApplyOptions(dialog.Options());

        std::set<QRgb> colours;
        for (int set = 0; set < 4; ++set) {
            QCOMPARE(view.Y1Series(set)->pen().color(), view.Y2Series(set)->pen().color());
            QCOMPARE(view.Y1Series(set)->pen().style(), Qt::SolidLine);
            QCOMPARE(view.Y2Series(set)->pen().style(), Qt::DashLine);
            colours.insert(view.Y1Series(set)->pen().color().rgb());
        }
        QCOMPARE(colours.size(), std::size_t{4});
        QVERIFY(!colours.contains(kChartY1Colour.rgb()));
    }
    // The next graph starts with the choice, and the dialog shows it.
    CChart2dView next(*own, registry);
    QVERIFY(next.IsColourEachEngine());
    CChart2dDlg dialog(*own, registry);
    dialog.SetOptions(next.Options());
    QVERIFY(dialog.ColourEachEngineBox()->isChecked());
    next.SetColourEachEngine(false);
    QVERIFY(!CChart2dView(*own, registry).IsColourEachEngine());
}

void ChartLegibilityTest::aCurveLeavingAFixedRangeIsMarkedAtTheEdgeAndNoted()
{
    CDocumentRegistry registry;
    auto doc = MakeDocument("Torq1", 1.0f, registry);  // volumetric efficiency 5 % .. 95 %
    CChart2dView view(*doc, registry);
    QVERIFY(view.ClipMarkSeries().empty());
    QVERIFY(view.Legend()->Note()->isHidden());

    view.SetAxisSeries(ChartAxis::Y1, kSeriesVolumetricEfficiency);  // Mid-Range: 0 to 75 %
    QList<QPointF> marks;
    for (const QScatterSeries* series : view.ClipMarkSeries()) marks += series->points();
    // 80, 85, 90 and 95 % at 9500 to 11000 rpm stand on the 75 % edge.
    QCOMPARE(marks.size(), 4);
    for (const QPointF& mark : marks) {
        QCOMPARE(mark.y(), 75.0);
        QVERIFY(mark.x() >= 9500.0);
    }
    QVERIFY(!view.Legend()->Note()->isHidden());
    QVERIFY2(view.Legend()->Note()->text().contains(QStringLiteral("Volumetric Eff. above 75 %")),
             qPrintable(view.Legend()->Note()->text()));
    QVERIFY(view.Legend()->Note()->text().contains(QStringLiteral("Auto-Range")));

    // A power curve above 1000 hp on Mid-Range is marked too; Auto-Range shows all.
    view.SetAxisSeries(ChartAxis::Y1, kSeriesPower);
    SetResults(*doc, 30.0f);  // power 60 .. 1140 hp
    doc->UpdateAllViews();
    QVERIFY(!view.ClipMarkSeries().empty());
    view.SetAxisRange(ChartAxis::Y1, kAutoRange);
    view.SetAxisRange(ChartAxis::Y2, kAutoRange);
    QVERIFY(view.ClipMarkSeries().empty());
    QVERIFY(view.Legend()->Note()->isHidden());
    QVERIFY(view.Y1Axis()->max() >= 1140.0);
}

void ChartLegibilityTest::peakPowerAndTorqueAreLabelledWithTheirSpeeds()
{
    CDocumentRegistry registry;
    CTorqDoc doc;
    doc.SetTitle("Torq1");
    QVERIFY(BuildChevy350(doc));
    registry.Add(doc);
    CChart2dView view(doc, registry);
    const QStringList expected{
        QString::fromStdString(FormatResultPeak(doc, kSeriesPower, ResultUnits::English)),
        QString::fromStdString(FormatResultPeak(doc, kSeriesTorque, ResultUnits::English))};
    QCOMPARE(view.PeakLabelTexts(), expected);
    QVERIFY(expected[0].endsWith(QStringLiteral(" rpm")) && expected[0].contains(QStringLiteral(" hp @ ")));
    // Only power and torque have a peak label.
    view.SetAxisSeries(ChartAxis::Y2, kSeriesVolumetricEfficiency);
    QCOMPARE(view.PeakLabelTexts(), QStringList{expected[0]});
    view.SetAxisSeries(ChartAxis::Y1, kSeriesBmep);
    QVERIFY(view.PeakLabelTexts().isEmpty());
    // Before a run there is no peak to show.
    CTorqDoc fresh;
    fresh.SetTitle("Torq2");
    registry.Add(fresh);
    QVERIFY(CChart2dView(fresh, registry).PeakLabelTexts().isEmpty());
    registry.Remove(fresh);
    registry.Remove(doc);
}

void ChartLegibilityTest::aMetricEngineCanShowKilowattsAndNewtonMetres()
{
    CDocumentRegistry registry;
    auto doc = MakeDocument("Torq1", 10.0f, registry);
    CChart2dView view(*doc, registry);
    ChooseResultUnits(*doc, ResultUnits::MetricKpa);
    // An English engine keeps horsepower whatever was chosen.
    QCOMPARE(view.Y1Axis()->titleText(), QStringLiteral("Power (HP)"));
    CChart2dDlg english(*doc, registry);
    QVERIFY(!english.UnitsBox()->isEnabled());

    doc->SetUnitSystem(kMetricUnits);
    doc->UpdateAllViews();
    QCOMPARE(view.Y1Axis()->titleText(), QStringLiteral("Power (kW)"));
    QCOMPARE(view.Y2Axis()->titleText(), QString::fromUtf8("Torque (N\u00B7m)"));
    QCOMPARE(view.Y1Series(0)->points()[4].y(), doc->GetResult(kSeriesPower, 4) * kKilowattsPerHorsepower);
    QCOMPARE(view.Y1Series(0)->points()[4].x(), double(doc->GetResult(kSeriesEngineSpeed, 4)));
    QCOMPARE(view.Y1Axis()->max(), 1000 * kKilowattsPerHorsepower);  // Mid-Range keeps its 1000 hp
    QVERIFY(view.Y1Series(0)->name().startsWith(QStringLiteral("Power (kW)-")));

    // The dialog offers the choice for a metric engine and hands it back.
    CChart2dDlg dialog(*doc, registry);
    QVERIFY(dialog.UnitsBox()->isEnabled());
    dialog.SetOptions(view.Options());
    QCOMPARE(dialog.Options().resultUnits, ResultUnits::MetricKpa);
    dialog.UnitsBox()->setCurrentIndex(dialog.UnitsBox()->findData(int(ResultUnits::MetricBar)));
    view.ApplyOptions(dialog.Options());
    QCOMPARE(DisplayedResultUnits(*doc), ResultUnits::MetricBar);
    view.SetAxisSeries(ChartAxis::Y1, kSeriesImep);
    QCOMPARE(view.Y1Axis()->titleText(), QStringLiteral("IMEP (bar)"));
}

void ChartLegibilityTest::aSmallGraphShowsFewerTicksAndTheSecondAxisNoGrid()
{
    CDocumentRegistry registry;
    auto doc = MakeDocument("Torq1", 10.0f, registry);
    CChart2dView view(*doc, registry);
    view.resize(900, 640);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QApplication::processEvents();
    const double wideInterval = view.XAxis()->tickInterval();
    view.resize(260, 260);
    QApplication::processEvents();
    const double narrowInterval = view.XAxis()->tickInterval();
    QVERIFY2(narrowInterval > wideInterval,
             qPrintable(QStringLiteral("%1 %2").arg(wideInterval).arg(narrowInterval)));
    // Each x label has at least its own width of room.
    const QFontMetricsF metrics(view.XAxis()->labelsFont());
    const double labels = (view.XAxis()->max() - view.XAxis()->min()) / narrowInterval + 1;
    QVERIFY(labels * metrics.horizontalAdvance(QStringLiteral("10000")) <= view.Chart()->plotArea().width());

    // Titles too long for their axis give way to the units; very narrow, the
    // y titles leave their room to the tick labels (the legend names the units).
    const QFontMetricsF titleMetrics(view.XAxis()->titleFont());
    QVERIFY(titleMetrics.horizontalAdvance(view.XAxis()->titleText()) <= view.Chart()->plotArea().width());
    QVERIFY(view.XAxis()->titleText() == QStringLiteral("Engine Speed (RPM)") ||
            view.XAxis()->titleText() == QStringLiteral("rpm"));
    QVERIFY(!view.Y1Axis()->isTitleVisible());
    view.resize(900, 640);
    QApplication::processEvents();
    QCOMPARE(view.XAxis()->titleText(), QStringLiteral("Engine Speed (RPM)"));
    QVERIFY(view.Y1Axis()->isTitleVisible());
    QCOMPARE(view.Y1Axis()->titleText(), QStringLiteral("Power (HP)"));

    // On Auto-Range only the first y axis draws grid lines.
    view.SetAxisRange(ChartAxis::Y2, kAutoRange);
    QVERIFY(view.Y1Axis()->isGridLineVisible());
    QVERIFY(!view.Y2Axis()->isGridLineVisible());
    QVERIFY(!view.Y2Axis()->isMinorGridLineVisible());
}

void ChartLegibilityTest::imagesAreSavedAsPngOrSvgAndNeverAsAPartialFile()
{
    CDocumentRegistry registry;
    auto doc = MakeDocument("Torq1", 10.0f, registry);
    CChart2dView view(*doc, registry);
    view.resize(500, 380);
    QTemporaryDir folder;
    QString error;

    const QString png = folder.filePath(QStringLiteral("graph.png"));
    QVERIFY2(view.SaveImage(png, error), qPrintable(error));
    const QImage image(png);
    QCOMPARE(image.size(), QSize(1000, 760));  // twice the graph's size
    int red = 0;
    for (int y = 0; y < image.height(); y += 2) {
        for (int x = 0; x < image.width(); x += 2) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 200 && c.green() < 60 && c.blue() < 60) ++red;
        }
    }
    QVERIFY2(red > 100, "the power curve is in the image");

    const QString svg = folder.filePath(QStringLiteral("graph.svg"));
    QVERIFY2(view.SaveImage(svg, error), qPrintable(error));
    QFile svgFile(svg);
    QVERIFY(svgFile.open(QIODevice::ReadOnly));
    const QByteArray text = svgFile.readAll();
    QVERIFY(text.contains("<svg"));
    QVERIFY(text.contains("Power (HP)-Torq1"));
    QVERIFY(text.contains("Engine Speed (RPM)"));

    // A folder that is not there: a message naming the file, and no file.
    const QString missing = folder.filePath(QStringLiteral("no such folder/graph.png"));
    QVERIFY(!view.SaveImage(missing, error));
    QVERIFY(error.contains(missing));
    QVERIFY(!QFile::exists(missing));
    QVERIFY(!view.SaveImage(folder.filePath(QStringLiteral("graph.bmp")), error));
    QVERIFY(error.contains(QStringLiteral(".png or .svg")));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files).size(), 2);  // no temporary left behind
}

QTEST_MAIN(ChartLegibilityTest)
#include "ChartLegibilityTest.moc"
