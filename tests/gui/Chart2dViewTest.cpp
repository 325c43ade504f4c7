#include "GuiTestSupport.h"
#include "model/DocumentRegistry.h"
#include "views/Chart2dDlg.h"
#include "views/Chart2dView.h"
#include "views/ChartLegend.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QLegend>
#include <QLegendMarker>
#include <QLineEdit>
#include <QLineSeries>
#include <QMenu>
#include <QPainter>
#include <QVBoxLayout>
#include <QValueAxis>
#include <QtTest>

#include <memory>

namespace {

std::unique_ptr<CTorqDoc> MakeDocument(const char* title, float scale, CDocumentRegistry& registry)
{
    auto doc = std::make_unique<CTorqDoc>();
    doc->SetTitle(title);
    if (scale > 0) SetResults(*doc, scale);
    registry.Add(*doc);
    return doc;
}

QMenu* SubMenu(QMenu* menu, const QString& title)
{
    for (QAction* action : menu->actions()) {
        if (action->menu() != nullptr && action->text() == title) return action->menu();
    }
    return nullptr;
}

QAction* Entry(QMenu* menu, const QString& text)
{
    for (QAction* action : menu->actions()) {
        if (action->text() == text) return action;
    }
    return nullptr;
}

QStringList CheckedEntries(QMenu* menu)
{
    QStringList checked;
    for (QAction* action : menu->actions()) {
        if (action->isChecked()) checked << action->text();
    }
    return checked;
}

QColor MarkerCentre(const QLineSeries* series)
{
    const QImage& image = series->lightMarker();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

}  // namespace

class Chart2dViewTest : public QObject {
    Q_OBJECT

private slots:
    void freshDocumentPlotsZerosWithTheDefaultAxes();
    void resultsAreTheChosenSeriesAgainstEachOther();
    void choosingSeriesAndRangesFollowsTheAxisRules();
    void secondAxisNoneHidesItsCurves();
    void overlaysShowOtherEnginesWithTheirOwnMarkers();
    void closedOverlayLeavesTheGraphAtOnce();
    void contextMenuChecksTheCurrentChoices();
    void theKeyboardReachesTheGraphAndItsMenu();
    void aClickBesideAChartNotLaidOutReachesTheGraph();
    void optionsDialogSetsOverlaysAndAxes();
    void staleOptionsTakeTitlesRangesAndEnginesFromWhatIsThere();
    void printingDrawsTheGraph();
};

void Chart2dViewTest::freshDocumentPlotsZerosWithTheDefaultAxes()
{
    CDocumentRegistry registry;
    auto doc = MakeDocument("Torq1", 0, registry);
    CChart2dView view(*doc, registry);

    QCOMPARE(view.Axis(ChartAxis::X).series, int{kSeriesEngineSpeed});
    QCOMPARE(view.Axis(ChartAxis::X).rangeKind, int{kHiRange});
    QCOMPARE(view.Axis(ChartAxis::Y1).series, int{kSeriesPower});
    QCOMPARE(view.Axis(ChartAxis::Y1).rangeKind, int{kMidRange});
    QCOMPARE(view.Axis(ChartAxis::Y2).series, int{kSeriesTorque});
    QCOMPARE(view.XAxis()->min(), 0.0);
    QCOMPARE(view.XAxis()->max(), 11000.0);
    QCOMPARE(view.Y1Axis()->max(), 1000.0);
    QCOMPARE(view.Y2Axis()->max(), 1000.0);
    QCOMPARE(view.XAxis()->titleText(), QStringLiteral("Engine Speed (RPM)"));

    QCOMPARE(view.SetCount(), 1);
    const auto points = view.Y1Series(0)->points();
    QCOMPARE(points.size(), kResultPointCount);
    for (const QPointF& point : points) QCOMPARE(point, QPointF(0, 0));
    QCOMPARE(view.Y1Series(0)->name(), QStringLiteral("Power (HP)-Torq1"));
    QCOMPARE(view.Y2Series(0)->name(), QStringLiteral("Torque (ft-lbs)-Torq1"));
    QCOMPARE(view.Y1Series(0)->pen().color(), QColor(255, 0, 0));
    QCOMPARE(view.Y1Series(0)->pen().width(), 2);
    QCOMPARE(view.Y2Series(0)->pen().color(), QColor(0, 128, 0));
    QCOMPARE(view.Y2Series(0)->pen().width(), 2);
    // The own engine's markers are in the curve's colour.
    QCOMPARE(MarkerCentre(view.Y1Series(0)), QColor(255, 0, 0));
    QCOMPARE(MarkerCentre(view.Y2Series(0)), QColor(0, 128, 0));
}

void Chart2dViewTest::resultsAreTheChosenSeriesAgainstEachOther()
{
    CDocumentRegistry registry;
    auto doc = MakeDocument("Torq1", 0, registry);
    CChart2dView view(*doc, registry);
    SetResults(*doc, 2.0f);
    doc->UpdateAllViews();

    const auto y1 = view.Y1Series(0)->points();
    const auto y2 = view.Y2Series(0)->points();
    for (int i = 0; i < kResultPointCount; ++i) {
        QCOMPARE(y1[i].x(), 2000.0 + 500.0 * i);
        QCOMPARE(y1[i].y(), double(doc->GetResult(kSeriesPower, i)));
        QCOMPARE(y2[i].y(), double(doc->GetResult(kSeriesTorque, i)));
    }
    // A choice from the menu takes effect at once: IMEP against BMEP.
    view.SetAxisSeries(ChartAxis::X, kSeriesBmep);
    view.SetAxisSeries(ChartAxis::Y1, kSeriesImep);
    const auto imep = view.Y1Series(0)->points();
    QCOMPARE(imep[5], QPointF(doc->GetResult(kSeriesBmep, 5), doc->GetResult(kSeriesImep, 5)));
    QCOMPARE(view.Y1Series(0)->name(), QStringLiteral("IMEP (psi)-Torq1"));
}

void Chart2dViewTest::choosingSeriesAndRangesFollowsTheAxisRules()
{
    CDocumentRegistry registry;
    auto doc = MakeDocument("Torq1", 3.0f, registry);
    CChart2dView view(*doc, registry);

    // A new series keeps the fixed range kind and takes that series' range.
    view.SetAxisSeries(ChartAxis::X, kSeriesPower);
    QCOMPARE(view.Axis(ChartAxis::X).rangeKind, int{kHiRange});
    QCOMPARE(view.XAxis()->min(), 0.0);
    QCOMPARE(view.XAxis()->max(), 2000.0);
    QCOMPARE(view.XAxis()->titleText(), QStringLiteral("Power (HP)"));

    // A new range kind keeps the series.
    view.SetAxisRange(ChartAxis::Y1, kLowRange);
    QCOMPARE(view.Axis(ChartAxis::Y1).series, int{kSeriesPower});
    QCOMPARE(view.Y1Axis()->max(), 500.0);
    view.SetAxisSeries(ChartAxis::Y1, kSeriesManifoldPressure);
    QCOMPARE(view.Y1Axis()->max(), 10.0);

    // Auto-Range fits the data: the largest manifold pressure is 3 * 4 * 19.
    view.SetAxisRange(ChartAxis::Y1, kAutoRange);
    QVERIFY(view.Y1Axis()->max() >= 228.0);
    QVERIFY(view.Y1Axis()->min() <= 12.0);
    QVERIFY(view.Y1Axis()->max() < 400.0);
}

void Chart2dViewTest::secondAxisNoneHidesItsCurves()
{
    CDocumentRegistry registry;
    auto doc = MakeDocument("Torq1", 1.0f, registry);
    auto other = MakeDocument("Torq2", 2.0f, registry);
    CChart2dView view(*doc, registry);
    view.resize(500, 400);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.SetCompareDocuments({other->GetDocumentNumber(), 0, 0});
    QVERIFY(view.Y2Axis()->isVisible());

    view.SetAxisSeries(ChartAxis::Y2, 0);
    QVERIFY(!view.Y2Axis()->isVisible());
    for (int set = 0; set < view.SetCount(); ++set) {
        QVERIFY(!view.Y2Series(set)->isVisible());
        QVERIFY(view.Y1Series(set)->isVisible());
    }
    // The hidden curves leave the legend too.
    for (QLegendMarker* marker : view.Chart()->legend()->markers()) {
        if (!marker->series()->isVisible()) QVERIFY(!marker->isVisible());
    }
    QVERIFY(view.Slots()[0].legendY2.isEmpty());

    view.SetAxisSeries(ChartAxis::Y2, kSeriesFmep);
    QVERIFY(view.Y2Axis()->isVisible());
    QVERIFY(view.Y2Series(1)->isVisible());
    QCOMPARE(view.Y2Series(1)->name(), QStringLiteral("FMEP (psi)-Torq2"));
}

void Chart2dViewTest::overlaysShowOtherEnginesWithTheirOwnMarkers()
{
    CDocumentRegistry registry;
    auto doc = MakeDocument("Torq1", 1.0f, registry);
    auto second = MakeDocument("Torq2", 2.0f, registry);
    auto third = MakeDocument("Torq3", 3.0f, registry);
    CChart2dView view(*doc, registry);
    // Slot 2 left empty: the filled slots are counted without gaps.
    view.SetCompareDocuments({second->GetDocumentNumber(), 0, third->GetDocumentNumber()});

    QCOMPARE(view.SetCount(), 3);
    QCOMPARE(view.Slots()[1].name, QStringLiteral("Torq2"));
    QVERIFY(!view.Slots()[2].IsFilled());
    QCOMPARE(view.Slots()[3].legendY1, QStringLiteral("Power (HP)-Torq3"));
    QCOMPARE(view.Y1Series(1)->points()[4].y(), double(second->GetResult(kSeriesPower, 4)));
    QCOMPARE(view.Y1Series(2)->points()[4].y(), double(third->GetResult(kSeriesPower, 4)));
    QCOMPARE(view.Y2Series(2)->name(), QStringLiteral("Torque (ft-lbs)-Torq3"));

    // Compared engines have navy markers, each set with its own shape.
    const QColor navy(0, 0, 128);
    QCOMPARE(MarkerCentre(view.Y1Series(1)), navy);
    QCOMPARE(MarkerCentre(view.Y2Series(2)), navy);
    QVERIFY(view.Y1Series(1)->lightMarker() != view.Y1Series(2)->lightMarker());
    QVERIFY(view.Y1Series(0)->lightMarker() != view.Y1Series(1)->lightMarker());

    // A compared engine's renamed title shows at the next update.
    second->SetTitle("Big Block.trq");
    doc->UpdateAllViews();
    QCOMPARE(view.Y1Series(1)->name(), QStringLiteral("Power (HP)-Big Block.trq"));
}

void Chart2dViewTest::closedOverlayLeavesTheGraphAtOnce()
{
    CDocumentRegistry registry;
    auto doc = MakeDocument("Torq1", 1.0f, registry);
    auto second = MakeDocument("Torq2", 2.0f, registry);
    auto third = MakeDocument("Torq3", 3.0f, registry);
    CChart2dView view(*doc, registry);
    view.SetCompareDocuments({second->GetDocumentNumber(), third->GetDocumentNumber(), 0});
    QCOMPARE(view.SetCount(), 3);
    const CurveStyle thirdStyle = view.Picture().curves[4].style;
    const QImage thirdMarker = view.Y1Series(2)->lightMarker();

    // Closing takes the engine off the list of open engines: its curves go
    // at once, without waiting for the own engine to update.
    registry.Remove(*second);
    second.reset();
    QCOMPARE(view.SetCount(), 2);
    QCOMPARE(view.Legend()->Entries().size(), std::size_t{4});
    QVERIFY(!view.Slots()[1].IsFilled());
    QCOMPARE(view.Slots()[2].name, QStringLiteral("Torq3"));
    QCOMPARE(view.Y1Series(1)->name(), QStringLiteral("Power (HP)-Torq3"));
    QCOMPARE(view.Y1Series(1)->points()[0].y(), double(third->GetResult(kSeriesPower, 0)));
    QCOMPARE(view.Chart()->series().size(), 4);
    // The engine that stays keeps its colour and marker.
    QCOMPARE(view.Picture().curves[2].engineName, QStringLiteral("Torq3"));
    QVERIFY(view.Picture().curves[2].style == thirdStyle);
    QVERIFY(view.Y1Series(1)->lightMarker() == thirdMarker);
}

void Chart2dViewTest::contextMenuChecksTheCurrentChoices()
{
    CDocumentRegistry registry;
    auto doc = MakeDocument("Torq1", 1.0f, registry);
    CChart2dView view(*doc, registry);
    std::unique_ptr<QMenu> menu(view.CreateContextMenu(nullptr));

    QStringList titles;
    for (QAction* action : menu->actions()) {
        if (!action->isSeparator()) titles << action->text();
    }
    QCOMPARE(titles, (QStringList{"X    Data", "Y1  Data", "Y2  Data", "X    Range", "Y1  Range", "Y2  Range",
                                  "&Properties...", "Copy Image", "Save Image As..."}));
    QMenu* xData = SubMenu(menu.get(), "X    Data");
    QMenu* y2Data = SubMenu(menu.get(), "Y2  Data");
    QCOMPARE(xData->actions().size(), 8);
    QCOMPARE(y2Data->actions().size(), 9);
    QCOMPARE(y2Data->actions().first()->text(), QStringLiteral("(None)"));
    QCOMPARE(CheckedEntries(xData), QStringList{"Engine Speed"});
    QCOMPARE(CheckedEntries(SubMenu(menu.get(), "Y1  Data")), QStringList{"Power"});
    QCOMPARE(CheckedEntries(SubMenu(menu.get(), "X    Range")), QStringList{"Hi-Range"});
    QCOMPARE(CheckedEntries(SubMenu(menu.get(), "Y2  Range")), QStringList{"Mid-Range"});

    Entry(y2Data, "(None)")->trigger();
    QCOMPARE(view.Axis(ChartAxis::Y2).series, 0);
    Entry(SubMenu(menu.get(), "Y1  Range"), "Low-Range")->trigger();
    QCOMPARE(view.Y1Axis()->max(), 500.0);

    std::unique_ptr<QMenu> again(view.CreateContextMenu(nullptr));
    QCOMPARE(CheckedEntries(SubMenu(again.get(), "Y2  Data")), QStringList{"(None)"});
    QCOMPARE(CheckedEntries(SubMenu(again.get(), "Y1  Range")), QStringList{"Low-Range"});
}

void Chart2dViewTest::aClickBesideAChartNotLaidOutReachesTheGraph()
{
    // An engine's graph whose chart has not yet taken its view's size (a
    // sheet not shown since the window changed) leaves spots with nothing
    // of the chart under the mouse; a click there ended the program.
    CDocumentRegistry registry;
    auto doc = MakeDocument("Torq1", 1.0f, registry);
    CChart2dView view(*doc, registry);
    view.resize(600, 450);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    auto* chartView = view.findChild<QChartView*>();
    QVERIFY(chartView != nullptr);
    view.Chart()->resize(QSizeF(60, 60));
    const QPoint beside = chartView->viewport()->rect().center();
    QCOMPARE(chartView->itemAt(beside), nullptr);

    for (const Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
        QTest::mousePress(chartView->viewport(), button, {}, beside);
        QTest::mouseRelease(chartView->viewport(), button, {}, beside);
    }
    QVERIFY(view.hasFocus());
}

void Chart2dViewTest::theKeyboardReachesTheGraphAndItsMenu()
{
    CDocumentRegistry registry;
    auto doc = MakeDocument("Torq1", 1.0f, registry);
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* before = new QLineEdit(&window);
    auto* view = new CChart2dView(*doc, registry, &window);
    layout->addWidget(before);
    layout->addWidget(view);
    window.resize(500, 400);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    // Tab stops on the graph, and a frame shows it has the keyboard.
    before->setFocus();
    const QColor edge = view->grab().toImage().pixelColor(0, view->height() / 2);
    QTest::keyClick(before, Qt::Key_Tab);
    QVERIFY(view->hasFocus());
    const QColor framed = view->grab().toImage().pixelColor(0, view->height() / 2);
    QCOMPARE(framed, view->palette().color(QPalette::Highlight));
    QVERIFY(framed != edge);

    // The Menu key and Shift+F10 open the right-click menu.
    for (const auto& [key, modifiers] : {std::pair{Qt::Key_Menu, Qt::KeyboardModifiers{}},
                                         std::pair{Qt::Key_F10, Qt::KeyboardModifiers{Qt::ShiftModifier}}}) {
        QTest::keyClick(view, key, modifiers);
        QTRY_VERIFY(qobject_cast<QMenu*>(QApplication::activePopupWidget()) != nullptr);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(Entry(menu, QStringLiteral("&Properties...")) != nullptr);
        menu->close();
        QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
    }
}

void Chart2dViewTest::optionsDialogSetsOverlaysAndAxes()
{
    CDocumentRegistry registry;
    auto doc = MakeDocument("Torq1", 1.0f, registry);
    auto second = MakeDocument("Torq2", 2.0f, registry);
    auto third = MakeDocument("Torq3", 3.0f, registry);
    CChart2dView view(*doc, registry);

    CChart2dDlg dialog(*doc, registry);
    // Only the other open engines can be compared.
    QCOMPARE(dialog.CompareBox(0)->count(), 3);
    QCOMPARE(dialog.CompareBox(0)->itemText(0), QStringLiteral("(None)"));
    QCOMPARE(dialog.CompareBox(0)->itemText(1), QStringLiteral("Torq2"));
    QCOMPARE(dialog.SeriesBox(ChartAxis::Y2)->count(), 9);
    QCOMPARE(dialog.SeriesBox(ChartAxis::X)->count(), 8);

    dialog.SetOptions(view.Options());
    QCOMPARE(dialog.SeriesBox(ChartAxis::Y1)->currentText(), QStringLiteral("Power"));
    QCOMPARE(dialog.RangeBox(ChartAxis::X)->currentText(), QStringLiteral("Hi-Range"));

    dialog.CompareBox(0)->setCurrentIndex(2);  // Torq3
    dialog.CompareBox(1)->setCurrentIndex(1);  // Torq2
    dialog.SeriesBox(ChartAxis::Y1)
        ->setCurrentIndex(dialog.SeriesBox(ChartAxis::Y1)->findText("Volumetric Eff."));
    dialog.RangeBox(ChartAxis::Y1)->setCurrentIndex(kHiRange);
    dialog.SeriesBox(ChartAxis::Y2)->setCurrentIndex(0);
    view.ApplyOptions(dialog.Options());

    QCOMPARE(view.SetCount(), 3);
    QCOMPARE(view.Slots()[1].documentNumber, third->GetDocumentNumber());
    QCOMPARE(view.Slots()[2].documentNumber, second->GetDocumentNumber());
    QCOMPARE(view.Axis(ChartAxis::Y1).series, int{kSeriesVolumetricEfficiency});
    QCOMPARE(view.Y1Axis()->max(), 100.0);
    QCOMPARE(view.Axis(ChartAxis::Y2).series, 0);
    QVERIFY(!view.Y2Axis()->isVisible());

    // The dialog opens again on what the graph shows.
    CChart2dDlg reopened(*doc, registry);
    reopened.SetOptions(view.Options());
    QCOMPARE(reopened.Options().comparedDocuments[0], third->GetDocumentNumber());
    QCOMPARE(reopened.CompareBox(2)->currentText(), QStringLiteral("(None)"));
    QVERIFY(reopened.Options() == view.Options());
}

void Chart2dViewTest::staleOptionsTakeTitlesRangesAndEnginesFromWhatIsThere()
{
    CDocumentRegistry registry;
    auto doc = MakeDocument("Torq1", 1.0f, registry);
    auto closed = MakeDocument("Torq2", 2.0f, registry);
    const int closedNumber = closed->GetDocumentNumber();
    registry.Remove(*closed);
    closed.reset();
    CChart2dView view(*doc, registry);

    // Options kept from before: an engine closed since, an x axis switched to
    // power that still carries the engine speed title and range, and a y axis
    // whose limits were edited by hand.
    ChartOptions options = view.Options();
    options.comparedDocuments = {closedNumber, 0, 0};
    options.axes.x.series = kSeriesPower;
    options.axes.y1.title = "Boost (psi)";
    options.axes.y1.maximum = 42;
    view.ApplyOptions(options);

    QVERIFY(view.Axis(ChartAxis::X) == ChartAxisDescription::Make(kSeriesPower, kHiRange));
    QCOMPARE(view.XAxis()->titleText(), QStringLiteral("Power (HP)"));
    QCOMPARE(view.XAxis()->max(), 2000.0);
    QCOMPARE(view.Y1Axis()->titleText(), QStringLiteral("Power (HP)"));
    QCOMPARE(view.Y1Axis()->max(), 1000.0);
    QCOMPARE(view.SetCount(), 1);
    QCOMPARE(view.Options().comparedDocuments[0], 0);

    CChart2dDlg dialog(*doc, registry);
    dialog.SetOptions(options);
    QCOMPARE(dialog.CompareBox(0)->currentText(), QStringLiteral("(None)"));
    QCOMPARE(dialog.SeriesBox(ChartAxis::X)->currentText(), QStringLiteral("Power"));
    QCOMPARE(dialog.Options().axes.y1.maximum, 1000);
}

void Chart2dViewTest::printingDrawsTheGraph()
{
    CDocumentRegistry registry;
    auto doc = MakeDocument("Torq1", 10.0f, registry);
    CChart2dView view(*doc, registry);
    view.resize(500, 400);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));

    const QSizeF screenSize = view.Chart()->size();
    QImage page(800, 600, QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        view.PaintPrintPage(painter, QRectF(0, 0, 800, 600));
    }
    int red = 0;
    for (int y = 0; y < page.height(); y += 2) {
        for (int x = 0; x < page.width(); x += 2) {
            const QColor c = page.pixelColor(x, y);
            if (c.red() > 200 && c.green() < 60 && c.blue() < 60) ++red;
        }
    }
    QVERIFY2(red > 50, "the power curve is drawn on the page");
    // The screen keeps its own size afterwards.
    QCOMPARE(view.Chart()->size(), screenSize);
}

QTEST_MAIN(Chart2dViewTest)
#include "Chart2dViewTest.moc"
