// Measured pulls beside an engine's results: on the graph (curves, legend,
// tooltip), in the results table's optional columns and on the dyno sheet.

#include "GuiTestSupport.h"
#include "model/DocumentRegistry.h"
#include "report/DynoSheet.h"
#include "report/MeasuredColumns.h"
#include "report/MeasuredCurves.h"
#include "report/MeasuredPulls.h"
#include "views/Chart2dView.h"
#include "views/ChartLegend.h"
#include "views/MeasuredSeries.h"
#include "views/ResultsTableView.h"

#include <QLabel>
#include <QLineSeries>
#include <QMenu>
#include <QMimeData>
#include <QScatterSeries>
#include <QtTest>

#include <memory>

namespace {

// A pull of the made-up run of SetResults(doc, 1): power is 2 (i + 1) hp at
// 2000 + 500 i rpm. The pull's rows lie 10 hp above the model and 6 lb-ft
// below it from 3000 to 5000 rpm, with rows between the model's speeds.
MeasuredPull PullBesideTheRun(const QString& path)
{
    MeasuredPull measured;
    measured.path = path;
    measured.pull.hasPower = true;
    measured.pull.hasTorque = true;
    for (double rpm = 3000; rpm <= 5000; rpm += 250) {
        const double i = (rpm - 2000) / 500;
        PullRow row;
        row.rpm = rpm;
        row.powerHp = 2 * (i + 1) + 10;
        row.torqueLbFt = 3 * (i + 1) - 6;
        measured.pull.rows.push_back(row);
    }
    return measured;
}

std::vector<const ChartCurve*> MeasuredCurves(const ChartPicture& picture)
{
    std::vector<const ChartCurve*> curves;
    for (const ChartCurve& curve : picture.curves) {
        if (curve.measured) curves.push_back(&curve);
    }
    return curves;
}

QMenu* SubMenu(QMenu* menu, const QString& title)
{
    for (QAction* action : menu->actions()) {
        if (action->menu() != nullptr && action->text() == title) return action->menu();
    }
    return nullptr;
}

}  // namespace

class MeasuredPullsTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void aPullIsDrawnBesideTheCurvesInTheEnginesColoursWithADashAndMarkerOfItsOwn();
    void theLegendTooltipGivesTheDifferencesAtTheCoveredSpeedsAndTheirRms();
    void severalPullsAreToldApartAndEachCanBeRemoved();
    void aGraphThatDoesNotPlotAgainstEngineSpeedShowsNoPull();
    void publishedPeaksAreMarksWithTheModelsPeaksInTheirTooltip();
    void theTableShowsMeasuredAndDiffColumnsForTheChosenPullOnly();
    void theDynoSheetDrawsThePullAndNamesItsRms();

private:
    std::unique_ptr<CDocumentRegistry> m_registry;
    std::unique_ptr<CTorqDoc> m_doc;
    std::unique_ptr<CMeasuredPulls> m_pulls;
};

void MeasuredPullsTest::init()
{
    m_registry = std::make_unique<CDocumentRegistry>();
    m_doc = std::make_unique<CTorqDoc>();
    m_doc->SetTitle("Torq1");
    SetResults(*m_doc, 1.0f);
    m_registry->Add(*m_doc);
    m_pulls = std::make_unique<CMeasuredPulls>();
}

void MeasuredPullsTest::cleanup()
{
    m_pulls.reset();
    m_registry.reset();
    m_doc.reset();
}

void MeasuredPullsTest::aPullIsDrawnBesideTheCurvesInTheEnginesColoursWithADashAndMarkerOfItsOwn()
{
    CChart2dView view(*m_doc, *m_registry);
    view.SetMeasuredPulls(m_pulls.get());
    QVERIFY(MeasuredCurves(view.Picture()).empty());
    m_pulls->Add(PullBesideTheRun(QStringLiteral("/dyno/day1.csv")));

    // The graph follows the pulls at once: power on Y1, torque on Y2.
    const auto curves = MeasuredCurves(view.Picture());
    QCOMPARE(curves.size(), std::size_t(2));
    for (const ChartCurve* curve : curves) {
        QCOMPARE(curve->legend, QStringLiteral("Measured: day1.csv"));
        const CurveStyle engine = CurveStyleOf(0, curve->y2, false);
        QCOMPARE(curve->style.colour, engine.colour);
        QVERIFY(curve->style.penStyle != engine.penStyle);
        QCOMPARE(curve->style.marker, MarkerShape::Square);
        QCOMPARE(curve->points.size(), qsizetype(9));
    }
    QCOMPARE(curves[0]->y2, false);
    QCOMPARE(curves[0]->points.front(), QPointF(3000, 16));  // 2 x 3 hp, and the 10 hp more
    QCOMPARE(curves[1]->points.back(), QPointF(5000, 15));   // 3 x 7 lb-ft, less 6

    // On the screen: a line and markers per curve, and legend entries.
    QCOMPARE(view.MeasuredSeries().Lines().size(), std::size_t(2));
    QCOMPARE(view.MeasuredSeries().Lines()[0]->count(), 9);
    int entries = 0;
    for (const CChartLegend::Entry& entry : view.Legend()->Entries())
        entries += entry.legend == QStringLiteral("Measured: day1.csv") ? 1 : 0;
    QCOMPARE(entries, 2);
    // A pull of many rows keeps its line but thins its markers.
    MeasuredPull dense = PullBesideTheRun(QStringLiteral("/dyno/dense.csv"));
    dense.pull.rows.clear();
    for (int rpm = 2000; rpm <= 8000; rpm += 10) dense.pull.rows.push_back({double(rpm), 100, 100, 0});
    m_pulls->Add(dense);
    const ChartCurve* denseCurve = MeasuredCurves(view.Picture()).back();
    QCOMPARE(denseCurve->points.size(), qsizetype(601));
    QVERIFY(denseCurve->markerEvery > 1);
    QVERIFY(601 / denseCurve->markerEvery <= kMostMarkersPerPull);
}

void MeasuredPullsTest::theLegendTooltipGivesTheDifferencesAtTheCoveredSpeedsAndTheirRms()
{
    CChart2dView view(*m_doc, *m_registry);
    view.SetMeasuredPulls(m_pulls.get());
    m_pulls->Add(PullBesideTheRun(QStringLiteral("/dyno/day1.csv")));
    QString powerTip;
    QString torqueTip;
    for (const CChartLegend::Entry& entry : view.Legend()->Entries()) {
        if (entry.legend != QStringLiteral("Measured: day1.csv")) continue;
        // Power's line is dotted, torque's on the second axis dash-dotted.
        (entry.style.penStyle == Qt::DotLine ? powerTip : torqueTip) = entry.text->toolTip();
    }
    // The model is 10 hp under and 6 lb-ft over the pull at the five speeds
    // 3000 to 5000 rpm; 2500 and 5500 lie outside it.
    QVERIFY2(powerTip.contains(QStringLiteral("3000 rpm  -10.0 hp")), qPrintable(powerTip));
    QVERIFY(powerTip.contains(QStringLiteral("5000 rpm  -10.0 hp")));
    QVERIFY(!powerTip.contains(QStringLiteral("2500 rpm")));
    QVERIFY(!powerTip.contains(QStringLiteral("5500 rpm")));
    QVERIFY2(powerTip.contains(QStringLiteral("RMS difference 10.0 hp over 5 speeds")), qPrintable(powerTip));
    QVERIFY2(torqueTip.contains(QStringLiteral("4000 rpm  +6.0 ft-lbs")), qPrintable(torqueTip));
    QVERIFY(torqueTip.contains(QStringLiteral("RMS difference 6.0 ft-lbs over 5 speeds")));
}

void MeasuredPullsTest::severalPullsAreToldApartAndEachCanBeRemoved()
{
    CChart2dView view(*m_doc, *m_registry);
    view.SetMeasuredPulls(m_pulls.get());
    m_pulls->Add(PullBesideTheRun(QStringLiteral("/dyno/day1.csv")));
    m_pulls->Add(PullBesideTheRun(QStringLiteral("/dyno/day2.csv")));
    // The same file read again takes its place instead of standing twice.
    m_pulls->Add(PullBesideTheRun(QStringLiteral("/dyno/day1.csv")));
    auto curves = MeasuredCurves(view.Picture());
    QCOMPARE(curves.size(), std::size_t(4));
    QCOMPARE(curves[0]->legend, QStringLiteral("Measured: day1.csv"));
    QCOMPARE(curves[2]->legend, QStringLiteral("Measured: day2.csv"));
    QVERIFY(curves[0]->style.marker != curves[2]->style.marker);
    QVERIFY(curves[0]->set != curves[2]->set);

    m_pulls->Remove(0);
    curves = MeasuredCurves(view.Picture());
    QCOMPARE(curves.size(), std::size_t(2));
    QCOMPARE(curves[0]->legend, QStringLiteral("Measured: day2.csv"));
    QCOMPARE(view.MeasuredSeries().Lines().size(), std::size_t(2));
    m_pulls->Remove(0);
    QVERIFY(MeasuredCurves(view.Picture()).empty());
    QVERIFY(view.MeasuredSeries().Lines().empty());
}

void MeasuredPullsTest::aGraphThatDoesNotPlotAgainstEngineSpeedShowsNoPull()
{
    CChart2dView view(*m_doc, *m_registry);
    view.SetMeasuredPulls(m_pulls.get());
    m_pulls->Add(PullBesideTheRun(QStringLiteral("/dyno/day1.csv")));
    view.SetAxisSeries(ChartAxis::Y2, kSeriesVolumetricEfficiency);
    auto curves = MeasuredCurves(view.Picture());
    QCOMPARE(curves.size(), std::size_t(1));  // power only: the pull has no efficiency
    QVERIFY(!curves[0]->y2);
    view.SetAxisSeries(ChartAxis::X, kSeriesPower);
    QVERIFY(MeasuredCurves(view.Picture()).empty());
}

void MeasuredPullsTest::publishedPeaksAreMarksWithTheModelsPeaksInTheirTooltip()
{
    CChart2dView view(*m_doc, *m_registry);
    view.SetMeasuredPulls(m_pulls.get());
    PublishedMarks marks;
    marks.engineName = QStringLiteral("Test Engine");
    marks.source = QStringLiteral("A magazine");
    marks.peaks.power = 40.0;
    marks.peaks.powerRpm = 10500.0;
    marks.peaks.torque = 60.0;
    marks.peaks.torqueRpm = 11000.0;
    m_pulls->SetPublished(marks);
    const auto curves = MeasuredCurves(view.Picture());
    QCOMPARE(curves.size(), std::size_t(2));
    QCOMPARE(curves[0]->legend, QStringLiteral("Published: Test Engine"));
    QCOMPARE(curves[0]->points, QList<QPointF>{QPointF(10500, 40)});
    QCOMPARE(curves[0]->style.penStyle, Qt::NoPen);
    // The model's power peaks at 11000 rpm with 38 hp: 5 % under the published 40.
    QVERIFY2(curves[0]->tip.contains(
                 QStringLiteral("Published 40 hp @ 10500 rpm; the model 38 hp @ 11000 rpm (-5.0 %)")),
             qPrintable(curves[0]->tip));
    QVERIFY(curves[0]->tip.contains(QStringLiteral("Source: A magazine")));
    // A single mark is drawn larger than the markers along a pull, which it would hide among.
    m_pulls->Add(PullBesideTheRun(QStringLiteral("/dyno/day1.csv")));
    const std::vector<QScatterSeries*>& markers = view.MeasuredSeries().Markers();
    QCOMPARE(markers.size(), std::size_t(4));  // the pull's two curves, then the two marks
    QVERIFY(markers[2]->markerSize() > markers[0]->markerSize());
    QCOMPARE(markers[2]->points().size(), qsizetype(1));
    m_pulls->ClearPublished();
    const auto left = MeasuredCurves(view.Picture());
    QCOMPARE(left.size(), std::size_t(2));
    QCOMPARE(left[0]->legend, QStringLiteral("Measured: day1.csv"));
}

void MeasuredPullsTest::theTableShowsMeasuredAndDiffColumnsForTheChosenPullOnly()
{
    CResultsTableView table(*m_doc);
    table.SetMeasuredPulls(m_pulls.get());
    m_pulls->Add(PullBesideTheRun(QStringLiteral("/dyno/day1.csv")));
    m_pulls->Add(PullBesideTheRun(QStringLiteral("/dyno/day2.csv")));
    // Optional: none until chosen in the right-click menu.
    QVERIFY(table.ScreenLayout().extraColumns.empty());
    const int narrow = table.ScrollExtent().width();
    std::unique_ptr<QMenu> menu(table.CreateContextMenu(nullptr));
    QMenu* pulls = SubMenu(menu.get(), QStringLiteral("&Measured Pull Columns"));
    QVERIFY(pulls != nullptr);
    QStringList entries;
    for (QAction* action : pulls->actions()) entries << action->text();
    QCOMPARE(entries, (QStringList{"(None)", "day1.csv", "day2.csv"}));
    QVERIFY(pulls->actions()[0]->isChecked());
    pulls->actions()[2]->trigger();
    QCOMPARE(table.ShownPull()->path, QStringLiteral("/dyno/day2.csv"));

    const ResultsTableLayout layout = table.ScreenLayout();
    QCOMPARE(layout.extraColumns.size(), std::size_t(kMeasuredColumnCount));
    QCOMPARE(layout.extraColumns[0].header1, QStringLiteral("Measured"));
    QCOMPARE(layout.extraColumns[0].header2, QStringLiteral("Power"));
    QCOMPARE(layout.extraColumns[1].header1, QStringLiteral("Diff"));
    QCOMPARE(layout.extraColumns[3].header2, QStringLiteral("Torque"));
    QCOMPARE(layout.extraColumns[0].x, layout.columnX[7] + layout.columnWidth);
    QCOMPARE(layout.rules[0].x2(), layout.extraColumns[3].x + layout.columnWidth);
    // Row 2 is 3000 rpm: 6 hp in the model, 16 measured; rows outside the pull show "-".
    QCOMPARE(layout.extraColumns[0].cells[2], QStringLiteral("16"));
    QCOMPARE(layout.extraColumns[1].cells[2], QStringLiteral("-10.0"));
    QCOMPARE(layout.extraColumns[3].cells[4], QStringLiteral("+6.0"));
    QCOMPARE(layout.extraColumns[0].cells[1], QStringLiteral("-"));
    QCOMPARE(layout.extraColumns[0].cells[7], QStringLiteral("-"));
    QVERIFY2(layout.note.contains(QStringLiteral("Measured: day2.csv")), qPrintable(layout.note));
    QVERIFY(layout.note.contains(QStringLiteral("RMS difference 10.0 hp, 6.0 ft-lbs")));
    QVERIFY(table.ScrollExtent().width() > narrow);

    // The copy carries the columns too.
    std::unique_ptr<QMimeData> copy(table.CreateCopyData());
    const QStringList lines = copy->text().split(QLatin1Char('\n'));
    QVERIFY2(lines[0].endsWith(QStringLiteral("\tMeasured Power (hp)\tDiff Power (hp)\tMeasured Torque "
                                              "(ft-lbs)\tDiff Torque (ft-lbs)")),
             qPrintable(lines[0]));
    QVERIFY2(lines[3].endsWith(QStringLiteral("\t16\t-10.0\t3\t+6.0")), qPrintable(lines[3]));

    // A pull that is removed takes its columns with it.
    m_pulls->Remove(1);
    QVERIFY(table.ShownPull() == nullptr);
    QVERIFY(table.ScreenLayout().extraColumns.empty());
}

void MeasuredPullsTest::theDynoSheetDrawsThePullAndNamesItsRms()
{
    m_pulls->Add(PullBesideTheRun(QStringLiteral("/dyno/day1.csv")));
    ChartOptions options;
    options.axes = {ChartAxisDescription::Make(kSeriesEngineSpeed, kAutoRange),
                    ChartAxisDescription::Make(kSeriesPower, kAutoRange),
                    ChartAxisDescription::Make(kSeriesTorque, kAutoRange)};
    DynoSheetContent content;
    content.document = m_doc.get();
    content.engineName = QStringLiteral("Torq1");
    content.date = QStringLiteral("2026-04-25");
    content.graph = BuildMeasuredChartPicture({{m_doc.get(), content.engineName}}, options, m_pulls.get());
    content.measured = m_pulls.get();
    QCOMPARE(MeasuredCurves(content.graph).size(), std::size_t(2));
    const QByteArray svg = RenderDynoSheet(content, SheetFormat::Svg);
    QVERIFY(svg.contains("Measured: day1.csv   RMS difference 10.0 hp, 6.0 ft-lbs"));
    // The legend under the graph names the pull as well.
    QVERIFY(svg.count("Measured: day1.csv") >= 2);
}

QTEST_MAIN(MeasuredPullsTest)
#include "MeasuredPullsTest.moc"
