#include "GuiTestFixture.h"
#include "GuiTestSupport.h"
#include "model/DocumentRegistry.h"
#include "model/ResultsTable.h"
#include "report/ChartStyle.h"
#include "views/Chart2dDlg.h"
#include "views/Chart2dView.h"
#include "views/ChartCursor.h"
#include "views/ChartLegend.h"
#include "views/WeatherChoice.h"
#include "views/WeatherGroup.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QCursor>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineSeries>
#include <QMessageBox>
#include <QValueAxis>
#include <QtTest>

#include <memory>
#include <set>

// Reading the graph: up to eight engines told apart, each engine's
// difference from a baseline engine, the cursor's read-out, and the figures
// corrected to the user's day.

namespace {

std::unique_ptr<CTorqDoc> MakeDocument(const QString& title, float scale, CDocumentRegistry& registry)
{
    auto doc = std::make_unique<CTorqDoc>();
    doc->SetTitle(title.toStdString());
    SetResults(*doc, scale);
    registry.Add(*doc);
    return doc;
}

double Power(const CTorqDoc& doc, int point)
{
    return doc.GetResult(kSeriesPower, point);
}

// A hot day up in the hills: 25.50 inHg at the site, 95 F, 20 % humidity.
AirConditions HotDay()
{
    AirConditions day;
    day.barometerKpa = 25.5 * kKilopascalsPerInchMercury;
    day.temperatureC = CelsiusFromFahrenheit(95.0);
    day.relativeHumidityPercent = 20.0;
    return day;
}

}  // namespace

class ChartReadingTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void eightEnginesShareAGraphEachInItsOwnLook();
    void differenceCurvesMeasureEveryEngineFromTheBaseline();
    void aPercentLeavesOutThePointsWhereTheBaselineMadeNothing();
    void theCursorFollowsTheArrowKeysAndReadsEveryEngine();
    void theCursorFollowsTheMouseToTheNearestSpeed();
    void aCorrectedDayScalesTheBrakeCurvesAndSaysSo();
    void theGraphPropertiesRefuseADayThatCannotBe();

private:
    std::unique_ptr<GuiTestFixture> m_fixture;
};

// The weather group offers the day last typed: every test starts from empty settings.
void ChartReadingTest::init()
{
    m_fixture = std::make_unique<GuiTestFixture>();
}

void ChartReadingTest::cleanup()
{
    m_fixture.reset();
}

void ChartReadingTest::eightEnginesShareAGraphEachInItsOwnLook()
{
    // With "Colour each engine" no two engines share a colour; without it no two share a marker.
    std::set<QRgb> colours;
    std::set<MarkerShape> markers;
    for (int set = 0; set < kChartEngineCount; ++set) {
        colours.insert(CurveStyleOf(set, false, true).colour.rgb());
        markers.insert(CurveStyleOf(set, false, false).marker);
    }
    QCOMPARE(int(colours.size()), 8);
    QCOMPARE(int(markers.size()), 8);
    // Every marker draws a shape of its own.
    std::set<QByteArray> pictures;
    for (MarkerShape shape : markers) {
        QImage image(16, 16, QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        DrawMarker(painter, QPointF(8, 8), 12, shape, Qt::black);
        painter.end();
        pictures.insert(QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes()));
    }
    QCOMPARE(int(pictures.size()), 8);

    CDocumentRegistry registry;
    std::vector<std::unique_ptr<CTorqDoc>> docs;
    for (int i = 0; i < 8; ++i)
        docs.push_back(MakeDocument(QStringLiteral("Torq%1").arg(i + 1), 1.0f + i, registry));
    CChart2dView view(*docs[0], registry);
    CChart2dDlg dialog(*docs[0], registry);
    dialog.SetOptions(view.Options());
    for (int i = 0; i < kChartCompareCount; ++i) dialog.CompareBox(i)->setCurrentIndex(i + 1);
    view.ApplyOptions(dialog.Options());
    QCOMPARE(view.SetCount(), 8);
    QCOMPARE(view.Slots()[7].name, QStringLiteral("Torq8"));
    QCOMPARE(view.Y1Series(7)->points()[3].y(), Power(*docs[7], 3));
    QCOMPARE(view.Legend()->Entries().size(), std::size_t{16});
}

void ChartReadingTest::differenceCurvesMeasureEveryEngineFromTheBaseline()
{
    CDocumentRegistry registry;
    auto doc = MakeDocument(QStringLiteral("Torq1"), 1.0f, registry);
    auto second = MakeDocument(QStringLiteral("Torq2"), 2.0f, registry);
    auto third = MakeDocument(QStringLiteral("Torq3"), 4.0f, registry);
    CChart2dView view(*doc, registry);
    view.SetCompareDocuments({second->GetDocumentNumber(), third->GetDocumentNumber()});
    const QStringList peaks = view.PeakLabelTexts();
    QVERIFY(!peaks.isEmpty());

    CChart2dDlg dialog(*doc, registry);
    dialog.SetOptions(view.Options());
    // The baseline is chosen among the engines the graph shows.
    QCOMPARE(dialog.BaselineBox()->count(), 3);
    QVERIFY(!dialog.BaselineBox()->isEnabled());
    dialog.DifferenceBox()->setCurrentIndex(dialog.DifferenceBox()->findText(QStringLiteral("Difference")));
    QVERIFY(dialog.BaselineBox()->isEnabled());
    dialog.BaselineBox()->setCurrentIndex(dialog.BaselineBox()->findText(QStringLiteral("Torq2")));
    view.ApplyOptions(dialog.Options());

    // SetResults gives power 2 (i + 1) times the scale: Torq1 2 (i + 1) less
    // Torq2's 4 (i + 1) is -2 (i + 1) hp; Torq3 is 4 (i + 1) hp up.
    for (int i = 0; i < kResultPointCount; ++i) {
        QCOMPARE(view.Y1Series(0)->points()[i].y(), -2.0 * (i + 1));
        QCOMPARE(view.Y1Series(1)->points()[i].y(), 0.0);
        QCOMPARE(view.Y1Series(2)->points()[i].y(), 4.0 * (i + 1));
        QCOMPARE(view.Y1Series(2)->points()[i].x(), double(third->GetResult(kSeriesEngineSpeed, i)));
    }
    QCOMPARE(view.Y1Axis()->titleText(), QStringLiteral("Power vs. Torq2 (HP)"));
    // The axis fits the differences, below zero too.
    QVERIFY(view.Y1Axis()->min() <= -38.0);
    QVERIFY(view.Y1Axis()->max() >= 76.0);
    QVERIFY(view.PeakLabelTexts().isEmpty());

    // In per cent: Torq1 has half of Torq2's power everywhere, Torq3 twice.
    ChartOptions percent = view.Options();
    percent.difference = DifferenceKind::Percent;
    view.ApplyOptions(percent);
    QCOMPARE(view.Y1Series(0)->points()[7].y(), -50.0);
    QCOMPARE(view.Y2Series(2)->points()[7].y(), 100.0);
    QCOMPARE(view.Y2Axis()->titleText(), QStringLiteral("Torque vs. Torq2 (%)"));

    // Back to values: the curves are the results again, to the bit.
    ChartOptions values = view.Options();
    values.difference = DifferenceKind::None;
    view.ApplyOptions(values);
    for (int i = 0; i < kResultPointCount; ++i) QCOMPARE(view.Y1Series(0)->points()[i].y(), Power(*doc, i));
    QCOMPARE(view.PeakLabelTexts(), peaks);
}

void ChartReadingTest::aPercentLeavesOutThePointsWhereTheBaselineMadeNothing()
{
    CDocumentRegistry registry;
    auto doc = MakeDocument(QStringLiteral("Torq1"), 1.0f, registry);
    auto baseline = MakeDocument(QStringLiteral("Flat"), 2.0f, registry);
    // The baseline makes no power at the top two speeds.
    ResultSeriesValues power{};
    for (int i = 0; i < kResultPointCount; ++i) power[i] = i < 17 ? float(Power(*baseline, i)) : 0.0f;
    baseline->SetResultSeries(kSeriesPower, power);
    CChart2dView view(*doc, registry);
    ChartOptions options = view.Options();
    options.comparedDocuments = {baseline->GetDocumentNumber()};
    options.difference = DifferenceKind::Percent;
    options.differenceBaseline = baseline->GetDocumentNumber();
    view.ApplyOptions(options);
    QCOMPARE(view.Y1Series(0)->points().size(), 17);
    QCOMPARE(view.Y1Series(0)->points().last().x(), 10000.0);
    // Torque, made everywhere, keeps all its points.
    QCOMPARE(view.Y2Series(0)->points().size(), kResultPointCount);

    // The read-out at a speed with no share still gives the difference in hp.
    view.Cursor()->ShowPoint(18);
    const QString readout = view.Cursor()->Readout().Text();
    QVERIFY2(readout.contains(QStringLiteral("Torq1: 11000 rpm, 38 hp")), qPrintable(readout));
    QVERIFY2(readout.contains(QStringLiteral("; +38 hp, -57 ft-lbs (-50.0 %)")), qPrintable(readout));
}

void ChartReadingTest::theCursorFollowsTheArrowKeysAndReadsEveryEngine()
{
    CDocumentRegistry registry;
    auto doc = MakeDocument(QStringLiteral("Torq1"), 1.0f, registry);
    auto second = MakeDocument(QStringLiteral("Torq2"), 2.0f, registry);
    CChart2dView view(*doc, registry);
    view.SetCompareDocuments({second->GetDocumentNumber()});
    view.resize(900, 650);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.setFocus();
    QVERIFY(view.hasFocus());
    const std::vector<ChartCurve> before = view.Picture().curves;

    CChartCursor* cursor = view.Cursor();
    QVERIFY(!cursor->IsShown());
    QTest::keyClick(&view, Qt::Key_Right);
    QCOMPARE(cursor->Point(), 0);
    QTest::keyClick(&view, Qt::Key_Right);
    QCOMPARE(cursor->Point(), 1);
    QTest::keyClick(&view, Qt::Key_End);
    QCOMPARE(cursor->Point(), 18);
    QTest::keyClick(&view, Qt::Key_Right);  // stays on the last speed
    QCOMPARE(cursor->Point(), 18);
    QTest::keyClick(&view, Qt::Key_Home);
    QTest::keyClick(&view, Qt::Key_Right);
    QTest::keyClick(&view, Qt::Key_Right);
    QTest::keyClick(&view, Qt::Key_Left);
    QCOMPARE(cursor->Point(), 1);

    // At 2500 rpm SetResults gives Torq1 4 hp and 6 ft-lbs, Torq2 twice as much.
    const ChartReadout& readout = cursor->Readout();
    QCOMPARE(readout.heading, QStringLiteral("2500 rpm"));
    QCOMPARE(readout.lines.size(), std::size_t{2});
    QCOMPARE(readout.Text(),
             QStringLiteral("Torq1: 2500 rpm, 4 hp, 6 ft-lbs\nTorq2: 2500 rpm, 8 hp, 12 ft-lbs"));
    QVERIFY(cursor->TextItem()->isVisible());
    QVERIFY(cursor->TextItem()->toPlainText().contains(QStringLiteral("Torq2: 2500 rpm, 8 hp, 12 ft-lbs")));
    // The line stands at 2500 rpm on the x axis.
    const QPointF at = view.Chart()->mapToPosition(QPointF(2500, 0), view.Y1Series(0));
    QVERIFY(std::abs(cursor->LineItem()->line().x1() - at.x()) < 0.5);

    // Another series on an axis joins the read-out; it stands at its speed through a redraw.
    view.SetAxisSeries(ChartAxis::Y2, kSeriesVolumetricEfficiency);
    QCOMPARE(cursor->Point(), 1);
    QVERIFY2(cursor->Readout().Text().contains(QStringLiteral("Volumetric Eff. 10.0 %")),
             qPrintable(cursor->Readout().Text()));

    QTest::keyClick(&view, Qt::Key_Escape);
    QVERIFY(!cursor->IsShown());
    QVERIFY(!cursor->TextItem()->isVisible());
    // The cursor draws over the graph and changes nothing in it.
    view.SetAxisSeries(ChartAxis::Y2, kSeriesTorque);
    QCOMPARE(view.Picture().curves.size(), before.size());
    for (std::size_t c = 0; c < before.size(); ++c)
        QCOMPARE(view.Picture().curves[c].points, before[c].points);
}

void ChartReadingTest::theCursorFollowsTheMouseToTheNearestSpeed()
{
    CDocumentRegistry registry;
    auto doc = MakeDocument(QStringLiteral("Torq1"), 1.0f, registry);
    CChart2dView view(*doc, registry);
    view.resize(900, 650);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    auto* chartView = view.findChild<QChartView*>();
    QVERIFY(chartView != nullptr);
    const auto viewportAt = [&](double rpm, double hp) {
        const QPointF inChart = view.Chart()->mapToPosition(QPointF(rpm, hp), view.Y1Series(0));
        return chartView->mapFromScene(view.Chart()->mapToScene(inChart));
    };
    // A little right of 4500 rpm, far above the curve: against speed only the speed counts.
    QTest::mouseMove(chartView->viewport(), viewportAt(4600, 30));
    QCOMPARE(view.Cursor()->Point(), 5);
    QTest::mouseMove(chartView->viewport(), viewportAt(10900, 1));
    QCOMPARE(view.Cursor()->Point(), 18);
    QCOMPARE(view.Cursor()->Readout().heading, QStringLiteral("11000 rpm"));
    // Out of the plot the mouse's cursor goes away.
    QTest::mouseMove(chartView->viewport(), QPoint(2, 2));
    QVERIFY(!view.Cursor()->IsShown());

    // A dialog over the graph takes the mouse's leaving from it: when the
    // graph is redrawn with the mouse elsewhere, the cursor goes too.
    const QPoint inside = viewportAt(6000, 100);
    QCursor::setPos(chartView->viewport()->mapToGlobal(inside));
    QTest::mouseMove(chartView->viewport(), inside);
    QCOMPARE(view.Cursor()->Point(), 8);
    QCursor::setPos(chartView->viewport()->mapToGlobal(QPoint(-300, -300)));
    view.UpdateChart();
    QVERIFY(!view.Cursor()->IsShown());
}

void ChartReadingTest::aCorrectedDayScalesTheBrakeCurvesAndSaysSo()
{
    CDocumentRegistry registry;
    auto doc = MakeDocument(QStringLiteral("Torq1"), 1.0f, registry);
    CChart2dView view(*doc, registry);
    QVERIFY(ChosenCorrection(*doc).IsModelDay());
    QVERIFY(view.Legend()->DayNote()->isHidden());

    CChart2dDlg dialog(*doc, registry);
    dialog.SetOptions(view.Options());
    CWeatherGroup* weather = dialog.WeatherGroup();
    // On the model's day the day's fields wait, greyed.
    QVERIFY(!weather->BarometerBox()->isEnabled());
    weather->StandardBox()->setCurrentIndex(
        weather->StandardBox()->findData(int(CorrectionStandard::SaeJ1349)));
    QVERIFY(weather->BarometerBox()->isEnabled());
    QCOMPARE(weather->BarometerBox()->suffix(), QStringLiteral(" inHg"));
    weather->BarometerBox()->setValue(25.5);
    weather->TemperatureBox()->setValue(95.0);
    weather->HumidityBox()->setValue(20.0);
    const ResultCorrection expected{CorrectionStandard::SaeJ1349, HotDay()};
    const double factor = expected.BrakeFactor();
    QVERIFY(factor < 0.85);
    QVERIFY2(weather->FactorLabel()->text().contains(QString::number(factor, 'f', 4)),
             qPrintable(weather->FactorLabel()->text()));
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    view.ApplyOptions(dialog.Options());

    // The choice belongs to the engine: its graph, legend and table follow it.
    QCOMPARE(ChosenCorrection(*doc).standard, CorrectionStandard::SaeJ1349);
    QVERIFY(std::abs(ChosenCorrection(*doc).BrakeFactor() - factor) < 1e-6);
    for (int i = 0; i < kResultPointCount; ++i) {
        QVERIFY(std::abs(view.Y1Series(0)->points()[i].y() - Power(*doc, i) * factor) < 1e-4);
        QCOMPARE(view.Y1Series(0)->points()[i].x(), double(doc->GetResult(kSeriesEngineSpeed, i)));
    }
    QCOMPARE(view.Y1Axis()->titleText(), QStringLiteral("Power (HP, SAE J1349)"));
    QVERIFY(!view.Legend()->DayNote()->isHidden());
    QVERIFY(view.Legend()->DayNote()->text().startsWith(
        QStringLiteral("SAE J1349 on 25.50 inHg at the site, 95")));
    // Volumetric efficiency is the engine's, whatever the day.
    view.SetAxisSeries(ChartAxis::Y2, kSeriesVolumetricEfficiency);
    QCOMPARE(view.Y2Series(0)->points()[4].y(), double(doc->GetResult(kSeriesVolumetricEfficiency, 4)));

    // The standard day again: every figure as the model gives it, to the bit.
    ChartOptions standard = view.Options();
    standard.correction = ResultCorrection{};
    view.ApplyOptions(standard);
    for (int i = 0; i < kResultPointCount; ++i) QCOMPARE(view.Y1Series(0)->points()[i].y(), Power(*doc, i));
    QCOMPARE(view.Y1Axis()->titleText(), QStringLiteral("Power (HP)"));
    QVERIFY(view.Legend()->DayNote()->isHidden());
    // The day typed is offered next time.
    CChart2dDlg again(*doc, registry);
    again.SetOptions(view.Options());
    QCOMPARE(again.WeatherGroup()->StandardBox()->currentData().toInt(), int(CorrectionStandard::ModelDay));
    QCOMPARE(again.WeatherGroup()->BarometerBox()->value(), 25.5);
    QCOMPARE(again.WeatherGroup()->TemperatureBox()->value(), 95.0);
}

void ChartReadingTest::theGraphPropertiesRefuseADayThatCannotBe()
{
    CDocumentRegistry registry;
    auto doc = MakeDocument(QStringLiteral("Torq1"), 1.0f, registry);
    CChart2dView view(*doc, registry);
    CChart2dDlg dialog(*doc, registry);
    dialog.SetOptions(view.Options());
    CWeatherGroup* weather = dialog.WeatherGroup();
    weather->StandardBox()->setCurrentIndex(
        weather->StandardBox()->findData(int(CorrectionStandard::Din70020)));
    weather->TemperatureBox()->setValue(50.0);
    weather->HumidityKindBox()->setCurrentIndex(
        weather->HumidityKindBox()->findData(int(HumidityMeasure::DewPoint)));
    weather->HumidityBox()->setValue(60.0);  // a dew point above the air's temperature
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    dialog.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));

    QString shown;
    QTimer::singleShot(0, this, [&shown] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        shown = box->text();
        box->accept();
    });
    dialog.accept();
    QVERIFY2(shown.contains(QStringLiteral("dew point")), qPrintable(shown));
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(dialog.focusWidget(), weather->HumidityBox());
    // Nothing reached the engine.
    QVERIFY(ChosenCorrection(*doc).IsModelDay());
}

QTEST_MAIN(ChartReadingTest)
#include "ChartReadingTest.moc"
