#include "GuiTestSupport.h"
#include "views/ResultUnitsChoice.h"
#include "views/ResultsTableView.h"
#include "views/StaleResultsNote.h"

#include <QBuffer>
#include <QClipboard>
#include <QFontMetrics>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QSvgGenerator>
#include <QtTest>

namespace {

QMenu* SubMenu(QMenu* menu, const QString& title)
{
    for (QAction* action : menu->actions()) {
        if (action->menu() != nullptr && action->text() == title) return action->menu();
    }
    return nullptr;
}

}  // namespace

class ResultsTableViewTest : public QObject {
    Q_OBJECT

private slots:
    void columnsAndRulesFollowTheCharacterSize();
    void rowsComeInGroupsOfFour();
    void valuesUseTheirColumnFormats();
    void emptyResultsShowZerosEverywhere();
    void negativeCharacterWidthFallsBackToFiftyUnits();
    void screenAndPrinterDrawDifferently();
    void viewRedrawsWithTheDocumentAndScrollsOverItsExtent();
    void theOutOfDateNoteCoversNoneOfTheTable();
    void aMetricEngineShowsItsChosenUnitsInTheHeadersAndCells();
    void copyPutsTabSeparatedTextAndHtmlOnTheClipboard();
    void thePrintedTableNamesTheEngineTheDateThePageAndTheUnits();
};

void ResultsTableViewTest::columnsAndRulesFollowTheCharacterSize()
{
    CTorqDoc doc;
    const int h = 13;
    const int cw = 6;
    const ResultsTableLayout layout = ComputeResultsTableLayout(doc, h, cw);
    QCOMPARE(layout.columnWidth, 60);
    for (int column = 0; column < kResultsTableColumnCount; ++column)
        QCOMPARE(layout.columnX[column], 20 + 60 * column);
    QCOMPARE(layout.rightEnd, 20 + 8 * 60);
    QCOMPARE(layout.title, QStringLiteral("CALCULATED POWER AND ENGINE PRESSURES"));
    QCOMPARE(layout.titlePos, QPoint(20, 8));
    // The peaks take the line under the title; the three header lines follow.
    QCOMPARE(layout.peaksPos, QPoint(20, 8 + h));
    QCOMPARE(layout.header1Y, 38 + h);
    QCOMPARE(layout.header2Y, 38 + 2 * h);
    QCOMPARE(layout.unitsY, 38 + 3 * h);

    const QStringList header1{"Engine", "Power", "Torque", "Int Man", "Vol", "IMEP", "FMEP", "BMEP"};
    const QStringList header2{"RPM",   "(Fly)",    "(Fly)",    "Pressure",
                              "Eff %", "Pressure", "Pressure", "Pressure"};
    const QStringList units{"", "(hp)", "(ft-lbs)", "(psi)", "", "(psi)", "(psi)", "(psi)"};
    for (int column = 0; column < kResultsTableColumnCount; ++column) {
        QCOMPARE(layout.header1[column], header1[column]);
        QCOMPARE(layout.header2[column], header2[column]);
        QCOMPARE(layout.units[column], units[column]);
    }

    // With the headers at y = 38 + h: upper rule h/4 above them, header rule
    // 13h/4 below their top (integer division), bottom rule 5h/4 below the
    // last row, and the rule after the speed column.
    const int top = 38 + h;
    QCOMPARE(layout.rules.size(), std::size_t{4});
    QCOMPARE(layout.rules[0], QLine(20, top - 3, 500, top - 3));
    QCOMPARE(layout.rules[1], QLine(20, top + 42, 500, top + 42));
    const int lastRow = layout.rowY[kResultPointCount - 1];
    QCOMPARE(layout.rules[2], QLine(20, lastRow + 16, 500, lastRow + 16));
    QCOMPARE(layout.rules[3], QLine(20 + 60 - 6, top - 3, 20 + 60 - 6, lastRow + 16));
}

void ResultsTableViewTest::rowsComeInGroupsOfFour()
{
    CTorqDoc doc;
    const int h = 10;
    const ResultsTableLayout layout = ComputeResultsTableLayout(doc, h, 5);
    QCOMPARE(layout.rowY[0], 38 + 5 * h);  // title, peaks, three header lines
    // Rows 0-3, 4-7, 8-11, 12-15, 16-18: one blank line between groups.
    for (int row = 1; row < kResultPointCount; ++row) {
        const int step = layout.rowY[row] - layout.rowY[row - 1];
        QCOMPARE(step, row % 4 == 0 ? 2 * h : h);
    }
    QCOMPARE(layout.rowY[18], 38 + 5 * h + 18 * h + 4 * h);
}

void ResultsTableViewTest::valuesUseTheirColumnFormats()
{
    CTorqDoc doc;
    SetResults(doc, 1.0f);
    ResultSeriesValues power = doc.GetResultSeries(kSeriesPower);
    ResultSeriesValues pressure = doc.GetResultSeries(kSeriesManifoldPressure);
    ResultSeriesValues bmep = doc.GetResultSeries(kSeriesBmep);
    ResultSeriesValues fmep = doc.GetResultSeries(kSeriesFmep);
    power[3] = 345.6f;
    pressure[3] = 14.7f;
    bmep[3] = 151.25f;
    fmep[3] = 22.04f;
    doc.SetResultSeries(kSeriesPower, power);
    doc.SetResultSeries(kSeriesManifoldPressure, pressure);
    doc.SetResultSeries(kSeriesBmep, bmep);
    doc.SetResultSeries(kSeriesFmep, fmep);

    const ResultsTableLayout layout = ComputeResultsTableLayout(doc, 12, 6);
    const auto& row = layout.cells[3];
    QCOMPARE(row[0], QStringLiteral("3500"));
    QCOMPARE(row[1], QStringLiteral("346"));
    QCOMPARE(row[2], QStringLiteral("12"));  // torque 3 * 4, no decimals
    QCOMPARE(row[3], QStringLiteral("14.70"));
    QCOMPARE(row[4], QStringLiteral("20.0"));  // volumetric efficiency 5 * 4
    QCOMPARE(row[5], QStringLiteral("24.0"));  // IMEP 6 * 4
    // FMEP is shown before BMEP.
    QCOMPARE(row[6], QStringLiteral("22.0"));
    QCOMPARE(row[7], QStringLiteral("151.2"));
    QCOMPARE(layout.cells[18][0], QStringLiteral("11000"));
}

void ResultsTableViewTest::emptyResultsShowZerosEverywhere()
{
    CTorqDoc doc;
    SetResults(doc, 1.0f);
    // A failed run clears every series, the speeds included.
    QVERIFY(!doc.RunSimulation(false, false));
    const ResultsTableLayout layout = ComputeResultsTableLayout(doc, 12, 6);
    const QStringList zeros{"0", "0", "0", "0.00", "0.0", "0.0", "0.0", "0.0"};
    for (int row = 0; row < kResultPointCount; ++row) {
        for (int column = 0; column < kResultsTableColumnCount; ++column)
            QCOMPARE(layout.cells[row][column], zeros[column]);
    }
}

void ResultsTableViewTest::negativeCharacterWidthFallsBackToFiftyUnits()
{
    CTorqDoc doc;
    const ResultsTableLayout layout = ComputeResultsTableLayout(doc, 12, -3);
    QCOMPARE(layout.columnWidth, 50);
    QCOMPARE(layout.columnX[7], 20 + 7 * 50);
}

void ResultsTableViewTest::screenAndPrinterDrawDifferently()
{
    CTorqDoc doc;
    SetResults(doc, 1.0f);
    CResultsTableView view(doc);
    view.resize(700, 600);

    // On the screen: light grey background, grey rules two units wide.
    QImage screen(view.viewport()->size(), QImage::Format_RGB32);
    screen.fill(Qt::white);
    view.viewport()->render(&screen);
    QCOMPARE(screen.pixelColor(screen.width() - 3, screen.height() - 3), QColor(192, 192, 192));
    const ResultsTableLayout layout = view.ScreenLayout();
    const QLine topRule = layout.rules[0];
    const int ruleX = (topRule.x1() + topRule.x2()) / 2 + 7;  // between two columns' texts
    QCOMPARE(screen.pixelColor(ruleX, topRule.y1()), QColor(128, 128, 128));

    // For the printer: no background, black rules.
    QImage page(900, 900, QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        view.PaintPrintPage(painter);
    }
    QCOMPARE(page.pixelColor(page.width() - 3, page.height() - 3), QColor(Qt::white));
    int blackOnRule = 0;
    for (int y = 20; y < 60; ++y) {
        if (page.pixelColor(400, y) == QColor(Qt::black)) ++blackOnRule;
    }
    QVERIFY2(blackOnRule > 0, "the printed upper rule is black");
}

void ResultsTableViewTest::viewRedrawsWithTheDocumentAndScrollsOverItsExtent()
{
    CTorqDoc doc;
    doc.SetTitle("Torq1");
    CResultsTableView view(doc);
    const QFontMetrics metrics(view.ScreenFont());
    QCOMPARE(view.ScrollExtent(), QSize(90 * metrics.averageCharWidth(), 50 * metrics.height()));
    view.resize(200, 150);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QVERIFY(view.verticalScrollBar()->maximum() > 0);
    QVERIFY(view.horizontalScrollBar()->maximum() > 0);

    QCOMPARE(view.ScreenLayout().cells[0][1], QStringLiteral("0"));
    SetResults(doc, 10.0f);
    doc.UpdateAllViews();
    QCOMPARE(view.ScreenLayout().cells[0][1], QStringLiteral("20"));
    // The view forgets a document that goes away.
    auto other = std::make_unique<CTorqDoc>();
    auto* orphan = new CResultsTableView(*other);
    other.reset();
    QCOMPARE(orphan->Document(), nullptr);
    delete orphan;
}

void ResultsTableViewTest::theOutOfDateNoteCoversNoneOfTheTable()
{
    CTorqDoc doc;
    doc.SetTitle("Torq1");
    SetResults(doc, 1.0f);
    CResultsTableView view(doc);
    view.resize(700, 500);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QCOMPARE(view.ContentTop(), 0);
    view.SetStale(true);
    const auto* note = view.findChild<CStaleResultsNote*>();
    QVERIFY(note != nullptr && note->isVisible());
    // The title is the table's first line, the peaks come under it.
    const ResultsTableLayout layout = view.ScreenLayout();
    QVERIFY(!layout.peaks.isEmpty());
    const int titleTop =
        view.viewport()->mapTo(&view, QPoint(0, view.ContentTop() + layout.titlePos.y())).y();
    QVERIFY2(
        titleTop > note->geometry().bottom(),
        qPrintable(QStringLiteral("title at %1, note to %2").arg(titleTop).arg(note->geometry().bottom())));
    view.SetStale(false);
    QCOMPARE(view.ContentTop(), 0);
}

void ResultsTableViewTest::aMetricEngineShowsItsChosenUnitsInTheHeadersAndCells()
{
    CTorqDoc doc;
    doc.SetTitle("Torq1");
    SetResults(doc, 10.0f);  // power at 2000 rpm: 20 hp
    CResultsTableView view(doc);
    std::unique_ptr<QMenu> menu(view.CreateContextMenu(nullptr));
    QMenu* units = SubMenu(menu.get(), QStringLiteral("Result &Units"));
    QVERIFY(units != nullptr);
    QCOMPARE(units->actions().size(), 3);
    // An English engine has no other units to offer.
    QVERIFY(units->actions()[0]->isChecked());
    QVERIFY(!units->actions()[1]->isEnabled());
    QVERIFY(!units->actions()[2]->isEnabled());

    doc.SetUnitSystem(kMetricUnits);
    std::unique_ptr<QMenu> metricMenu(view.CreateContextMenu(nullptr));
    QMenu* metricUnits = SubMenu(metricMenu.get(), QStringLiteral("Result &Units"));
    QVERIFY(metricUnits->actions()[2]->isEnabled());
    metricUnits->actions()[2]->trigger();  // kW, N·m, bar
    QCOMPARE(ChosenResultUnits(doc), ResultUnits::MetricBar);
    const ResultsTableLayout layout = view.ScreenLayout();
    QCOMPARE(layout.units[1], QStringLiteral("(kW)"));
    QCOMPARE(layout.units[3], QStringLiteral("(bar)"));
    QCOMPARE(layout.cells[0][1], QStringLiteral("15"));  // 20 hp = 14.9 kW
    QCOMPARE(layout.cells[0][0], QStringLiteral("2000"));
    QVERIFY(layout.peaks.contains(QStringLiteral(" kW @ 11000 rpm")));

    // Back in English units the table shows horsepower again.
    doc.SetUnitSystem(kEnglishUnits);
    QCOMPARE(view.ScreenLayout().units[1], QStringLiteral("(hp)"));
    QCOMPARE(view.ScreenLayout().cells[0][1], QStringLiteral("20"));
}

void ResultsTableViewTest::copyPutsTabSeparatedTextAndHtmlOnTheClipboard()
{
    CTorqDoc doc;
    doc.SetTitle("Torq1");
    SetResults(doc, 1.0f);
    CResultsTableView view(doc);
    view.Copy();
    const QMimeData* data = QApplication::clipboard()->mimeData();
    QVERIFY(data != nullptr);
    const QStringList lines = data->text().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 1 + kResultPointCount);
    QCOMPARE(lines[0],
             QStringLiteral("RPM\tPower (hp)\tTorque (ft-lbs)\tInt Man Pressure (psi)\tVol Eff (%)\t"
                            "IMEP (psi)\tFMEP (psi)\tBMEP (psi)"));
    // Every row as the table shows it, eight cells apart.
    const ResultsTableLayout layout = view.ScreenLayout();
    for (int row = 0; row < kResultPointCount; ++row) {
        QStringList cells(layout.cells[row].begin(), layout.cells[row].end());
        QCOMPARE(lines[row + 1], cells.join(QLatin1Char('\t')));
    }
    QVERIFY(data->hasHtml());
    QVERIFY(data->html().contains(QStringLiteral("<th>Torque (ft-lbs)</th>")));
    QCOMPARE(data->html().count(QStringLiteral("<tr>")), 1 + kResultPointCount);
    QVERIFY(data->html().contains(QStringLiteral("<td>11000</td>")));
}

void ResultsTableViewTest::thePrintedTableNamesTheEngineTheDateThePageAndTheUnits()
{
    CTorqDoc doc;
    doc.SetTitle("Ford 302 Nitrous.trq");
    SetResults(doc, 1.0f);
    CResultsTableView view(doc);
    // Drawn as SVG, every text of the page can be read back.
    QByteArray svg;
    QBuffer buffer(&svg);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(QSize(816, 1056));
    generator.setViewBox(QRect(0, 0, 816, 1056));
    {
        QPainter painter(&generator);
        view.PaintPrintPage(painter, QRectF(0, 0, 816, 1056), QStringLiteral("2026-04-25"));
    }
    for (const char* text : {"Ford 302 Nitrous.trq", "2026-04-25", "Page 1 of 1", "Torqwell  Version 3.10",
                             "Results in hp, ft-lbs, psi", "CALCULATED POWER AND ENGINE PRESSURES",
                             "(ft-lbs)", "(psi)", "Peak power"}) {
        QVERIFY2(svg.contains(text), text);
    }
}

QTEST_MAIN(ResultsTableViewTest)
#include "ResultsTableViewTest.moc"
