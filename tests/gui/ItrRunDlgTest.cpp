// The iterator run dialog without its 3-D surface: the run states and what
// they enable, halting and going on, the kept results and their ticks, the
// charts' titles, a baseline that was closed, and a series that keeps what
// the command line keeps.

#include "IteratorGuiSupport.h"

#include "EngineBuilds.h"
#include "RecordingPresenter.h"
#include "dialogs/ItrBestScoreChart.h"
#include "dialogs/ItrBestSurface.h"
#include "dialogs/ItrCurrentChart.h"
#include "dialogs/ItrKeptTable.h"
#include "dialogs/ItrRunDlg.h"
#include "dialogs/ItrScoreHeatMap.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineSeries>
#include <QListWidget>
#include <QProcess>
#include <QProgressBar>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QValueAxis>
#include <QtTest>

#include <bit>

namespace {

constexpr int kSeriesTimeoutMs = 120000;

// Which controls a state enables, in the order Run, Halt, Restart, Setup,
// OK, Close, Keep All, the result list.
QList<bool> EnabledControls(const CItrRunDlg& dialog)
{
    return {dialog.RunButton()->isEnabled(),     dialog.HaltButton()->isEnabled(),
            dialog.RestartButton()->isEnabled(), dialog.SetupButton()->isEnabled(),
            dialog.OkButton()->isEnabled(),      dialog.CloseButton()->isEnabled(),
            dialog.KeepAllButton()->isEnabled(), dialog.ResultList()->isEnabled()};
}

const QList<bool> kNeedsSetupControls{false, false, false, true, true, true, false, false};
const QList<bool> kReadyControls{true, false, true, true, true, true, true, true};
const QList<bool> kRunningControls{false, true, false, false, false, false, false, false};
const QList<bool> kDoneControls{false, false, true, true, true, true, true, true};

QStringList ListItems(const QListWidget* list)
{
    QStringList items;
    for (int i = 0; i < list->count(); ++i) {
        items << list->item(i)->text() + (list->item(i)->checkState() == Qt::Checked ? "+" : "");
    }
    return items;
}

bool SameFloat(float a, float b)
{
    return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
}

}  // namespace

class ItrRunDlgTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void theStatesEnableTheirControlsThroughRunHaltRunDoneRestart();
    void closingIsRefusedWhileTheSeriesRuns();
    void aThreeTestSeriesKeepsThreeAndTheTicksOutliveTheDialog();
    void theKeptResultsReadAsASortableTableAndTheirScoresAsAHeatMap();
    void switchingTheCriterionInSetupChangesTheChartTitles();
    void aClosedBaselineLeavesTheDialogNeedingSetup();
    void aSeriesRunHereKeepsWhatTheCommandLineKeeps();
    void withoutOpenGlANoteTakesTheSurfacesPlace();
    void aSearchShowsItsTestsAndBestScoreAndKeepsWhatTheCoreSearchKeeps();
    void aSearchWithABudgetStopsThereAndSaysSo();

private:
    CItrRunDlg::Options NoSurface() const { return {false, 2}; }

    std::unique_ptr<RecordingPresenter> m_presenter;
    std::unique_ptr<IteratorTest> m_iterator;
    std::unique_ptr<OpenEngine> m_chevy;
};

void ItrRunDlgTest::init()
{
    m_presenter = std::make_unique<RecordingPresenter>();
    m_iterator = std::make_unique<IteratorTest>(IteratorTest::Detached{});
    m_chevy = std::make_unique<OpenEngine>("Chevy.trq");
    QVERIFY(BuildChevy350(m_chevy->Doc()));
}

void ItrRunDlgTest::cleanup()
{
    m_chevy.reset();
    m_iterator.reset();
    m_presenter.reset();
}

void ItrRunDlgTest::theStatesEnableTheirControlsThroughRunHaltRunDoneRestart()
{
    {
        CItrRunDlg dialog(*m_iterator, CDocumentRegistry::Instance(), NoSurface());
        QCOMPARE(dialog.StateLabel()->text(), QStringLiteral("NEEDS SETUP"));
        QCOMPARE(EnabledControls(dialog), kNeedsSetupControls);
    }

    const CTorqDoc& chevy = m_chevy->Doc();
    // 5 bores x 20 IVC x 10 EVO x 20 EVC = 20,000 tests: long enough to be
    // halted while it runs, on every core, several engines in each core's
    // SIMD lanes; a reference runs them on one thread.
    const auto configure = [&](IteratorTest& iterator) {
        ConfigureSeries(
            iterator, chevy,
            {Sweep(kItrBore, chevy, 4.00f, 4.04f, 0.01f), Sweep(kItrIvc, chevy, 55.0f, 74.0f, 1.0f),
             Sweep(kItrEvo, chevy, 60.0f, 69.0f, 1.0f), Sweep(kItrEvc, chevy, 20.0f, 39.0f, 1.0f)});
    };
    configure(*m_iterator);
    CItrRunDlg dialog(*m_iterator, CDocumentRegistry::Instance(), NoSurface());
    QVERIFY(ShowActive(dialog));
    QCOMPARE(dialog.StateLabel()->text(), QStringLiteral("READY"));
    QCOMPARE(EnabledControls(dialog), kReadyControls);
    QCOMPARE(dialog.TotalTestsLabel()->text(), QStringLiteral("20000"));
    QCOMPARE(dialog.CurrentTestLabel()->text(), QStringLiteral("0"));
    QCOMPARE(dialog.PercentLabel()->text(), QStringLiteral("0%"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Iterator Testing - [Chevy.trq]"));

    dialog.RunButton()->click();
    QCOMPARE(dialog.StateLabel()->text(), QStringLiteral("RUNNING"));
    QCOMPARE(EnabledControls(dialog), kRunningControls);
    // The window title carries the progress while the series runs.
    QVERIFY(dialog.windowTitle().startsWith(QStringLiteral("0% - Iterator Testing - [Chevy.trq]")));
    QTRY_VERIFY(m_iterator->GetTestsRun() >= 40);
    QTRY_VERIFY(dialog.PaceLabel()->text().contains(QStringLiteral("tests/s on 2 threads")));

    dialog.HaltButton()->click();
    const int halted = m_iterator->GetTestsRun();
    QVERIFY2(halted < 20000, "the series ended before it could be halted");
    QCOMPARE(dialog.StateLabel()->text(), QStringLiteral("READY"));
    QCOMPARE(EnabledControls(dialog), kReadyControls);
    QCOMPARE(dialog.CurrentTestLabel()->text(), QString::number(halted));
    QCOMPARE(dialog.ProgressBar()->value(), halted * 100 / 20000);
    QCOMPARE(dialog.PercentLabel()->text(), QStringLiteral("%1%").arg(halted * 100 / 20000));
    QCOMPARE(dialog.ResultList()->count(), 10);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Iterator Testing - [Chevy.trq]"));
    // READY, and the status line says where the series stopped.
    QCOMPARE(dialog.PaceLabel()->text(), QStringLiteral("halted after test %1 of 20000").arg(halted));
    QTest::qWait(100);
    QCOMPARE(m_iterator->GetTestsRun(), halted);  // nothing runs after a halt

    dialog.RunButton()->click();
    QTRY_COMPARE_WITH_TIMEOUT(dialog.StateLabel()->text(), QStringLiteral("DONE"), kSeriesTimeoutMs);
    QCOMPARE(EnabledControls(dialog), kDoneControls);
    QCOMPARE(dialog.CurrentTestLabel()->text(), QStringLiteral("20000"));
    QCOMPARE(dialog.PercentLabel()->text(), QStringLiteral("100%"));
    QCOMPARE(dialog.PaceLabel()->text(), QString());

    // The halt changed nothing: the same ten as the series run on one thread
    // (which the runner's own tests prove equal to test after test).
    IteratorTest reference{IteratorTest::Detached{}};
    configure(reference);
    IteratorRunner oneThread(reference, 1);
    while (!reference.IsDone()) oneThread.RunTests(20000);
    QCOMPARE(m_iterator->GetKeptCount(), 10);
    for (int i = 0; i < 10; ++i) {
        QCOMPARE(m_iterator->GetBestTestNumber(i), reference.GetBestTestNumber(i));
        QVERIFY(SameFloat(m_iterator->GetBestScore(i), reference.GetBestScore(i)));
    }
    QCOMPARE(dialog.CurrentChart()->Curve()->count(), 19);
    QCOMPARE(dialog.CurrentChart()->Curve()->at(18).x(), 11000.0);

    // Restart: the same series from its first combination.
    dialog.RestartButton()->click();
    QCOMPARE(dialog.StateLabel()->text(), QStringLiteral("READY"));
    QCOMPARE(EnabledControls(dialog), kReadyControls);
    QCOMPARE(dialog.CurrentTestLabel()->text(), QStringLiteral("0"));
    QCOMPARE(dialog.PaceLabel()->text(), QString());
    QCOMPARE(dialog.ResultList()->count(), 0);
    QCOMPARE(m_iterator->GetTestsRun(), 0);
    QCOMPARE(dialog.CurrentChart()->Curve()->count(), 1);  // the empty chart's point at (0, 0)
    QVERIFY(m_presenter->Codes().empty());
}

void ItrRunDlgTest::closingIsRefusedWhileTheSeriesRuns()
{
    const CTorqDoc& chevy = m_chevy->Doc();
    ConfigureSeries(*m_iterator, chevy, LongCamSweep(chevy).rows);
    CItrRunDlg dialog(*m_iterator, CDocumentRegistry::Instance(), NoSurface());
    QVERIFY(ShowActive(dialog));
    dialog.OnRun();
    QTRY_VERIFY(m_iterator->GetTestsRun() > 0);
    QVERIFY(!dialog.close());
    dialog.reject();  // Escape
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.GetRunState(), CItrRunDlg::kRunning);
    dialog.OnHalt();
    QVERIFY(dialog.close());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
}

void ItrRunDlgTest::aThreeTestSeriesKeepsThreeAndTheTicksOutliveTheDialog()
{
    const CTorqDoc& chevy = m_chevy->Doc();
    ConfigureSeries(*m_iterator, chevy, ShortStrokeSweep(chevy).rows);
    {
        CItrRunDlg dialog(*m_iterator, CDocumentRegistry::Instance(), NoSurface());
        QVERIFY(ShowActive(dialog));
        QCOMPARE(dialog.TotalTestsLabel()->text(), QStringLiteral("3"));
        dialog.RunButton()->click();
        QTRY_COMPARE_WITH_TIMEOUT(dialog.GetRunState(), CItrRunDlg::kDone, kSeriesTimeoutMs);
        QCOMPARE(ListItems(dialog.ResultList()), (QStringList{"No. 1", "No. 2", "No. 3"}));
        dialog.ResultList()->item(1)->setCheckState(Qt::Checked);
        QVERIFY(!m_iterator->GetKeepFlag(0) && m_iterator->GetKeepFlag(1) && !m_iterator->GetKeepFlag(2));
        dialog.CloseButton()->click();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }
    {
        // Reopened: the finished series, its results and the tick.
        CItrRunDlg dialog(*m_iterator, CDocumentRegistry::Instance(), NoSurface());
        QCOMPARE(dialog.StateLabel()->text(), QStringLiteral("DONE"));
        QCOMPARE(dialog.CurrentTestLabel()->text(), QStringLiteral("3"));
        QCOMPARE(ListItems(dialog.ResultList()), (QStringList{"No. 1", "No. 2+", "No. 3"}));
        dialog.KeepAllButton()->click();
        QCOMPARE(ListItems(dialog.ResultList()), (QStringList{"No. 1+", "No. 2+", "No. 3+"}));
        for (int i = 0; i < 3; ++i) QVERIFY(m_iterator->GetKeepFlag(i));
        QVERIFY(!m_iterator->GetKeepFlag(3));
        // Unticking one in the list unticks its result.
        dialog.ResultList()->item(2)->setCheckState(Qt::Unchecked);
        QVERIFY(!m_iterator->GetKeepFlag(2));
        // Every test of a series shorter than ten is kept, in test order.
        for (int i = 0; i < 3; ++i) QCOMPARE(m_iterator->GetBestTestNumber(i), i + 1);
        QCOMPARE(dialog.BestSurface()->Grid().size(), std::size_t(10));
        QCOMPARE(dialog.BestSurface()->Grid()[1][4], m_iterator->GetBestPower(1)[4]);
        QCOMPARE(dialog.BestSurface()->Grid()[3][4], 0.0f);  // no fourth result
    }
}

void ItrRunDlgTest::theKeptResultsReadAsASortableTableAndTheirScoresAsAHeatMap()
{
    const CTorqDoc& chevy = m_chevy->Doc();
    // 3 strokes x 3 compression ratios: nine tests, every one kept.
    ConfigureSeries(
        *m_iterator, chevy,
        {Sweep(kItrStroke, chevy, 3.40f, 3.50f, 0.05f), Sweep(kItrCompression, chevy, 9.0f, 10.0f, 0.5f)});
    CItrRunDlg dialog(*m_iterator, CDocumentRegistry::Instance(), NoSurface());
    QVERIFY(ShowActive(dialog));
    QCOMPARE(dialog.BestTabs()->count(), 3);
    dialog.RunButton()->click();
    QTRY_COMPARE_WITH_TIMEOUT(dialog.GetRunState(), CItrRunDlg::kDone, kSeriesTimeoutMs);
    QCOMPARE(m_iterator->GetKeptCount(), 9);

    QTableWidget* table = dialog.KeptTable()->Table();
    QCOMPARE(table->rowCount(), 9);
    QCOMPARE(table->horizontalHeaderItem(1)->text(), QStringLiteral("Power (hp)"));
    QCOMPARE(table->horizontalHeaderItem(3)->text(), QStringLiteral("Stroke"));
    QCOMPARE(table->horizontalHeaderItem(4)->text(), QStringLiteral("Compression"));
    // In the iterator's order at first: row i is kept result i with its own values.
    for (int i = 0; i < 9; ++i) {
        const CTorqDoc& engine = m_iterator->GetBestEngine(i);
        QCOMPARE(table->item(i, 0)->text(), QStringLiteral("No. %1").arg(i + 1));
        QCOMPARE(table->item(i, 1)->text(), QString::number(m_iterator->GetBestScore(i), 'f', 1));
        QCOMPARE(table->item(i, 2)->text(), QString::number(m_iterator->GetBestTestNumber(i)));
        QCOMPARE(table->item(i, 3)->text(), QString::fromStdString(engine.Stroke().GetTextWithUnits()));
        QCOMPARE(table->item(i, 4)->text(),
                 QString::fromStdString(SweptParameter(engine, kItrCompression).GetTextWithUnits()));
    }
    // Sorted by score, best first: the rows move, the kept results and their ticks do not.
    std::vector<float> keptScores;
    for (int i = 0; i < 9; ++i) keptScores.push_back(m_iterator->GetBestScore(i));
    table->sortByColumn(1, Qt::DescendingOrder);
    const float best = *std::max_element(keptScores.begin(), keptScores.end());
    QCOMPARE(table->item(0, 1)->text(), QString::number(best, 'f', 1));
    for (int row = 1; row < 9; ++row)
        QVERIFY(table->item(row, 1)->text().toDouble() <= table->item(row - 1, 1)->text().toDouble());
    for (int i = 0; i < 9; ++i) QVERIFY(SameFloat(m_iterator->GetBestScore(i), keptScores[std::size_t(i)]));
    QCOMPARE(ListItems(dialog.ResultList()).first(), QStringLiteral("No. 1"));
    // The order chosen outlives a redraw.
    dialog.RestartButton()->click();
    dialog.RunButton()->click();
    QTRY_COMPARE_WITH_TIMEOUT(dialog.GetRunState(), CItrRunDlg::kDone, kSeriesTimeoutMs);
    QCOMPARE(table->item(0, 1)->text(), QString::number(best, 'f', 1));

    // The heat map: stroke across, compression down, each cell the one test that fell in it.
    dialog.BestTabs()->setCurrentWidget(dialog.HeatMap());
    CItrScoreHeatMap* map = dialog.HeatMap();
    QCOMPARE(map->XAxisBox()->currentText(), QStringLiteral("Stroke"));
    QCOMPARE(map->YAxisBox()->currentText(), QStringLiteral("Compression"));
    QCOMPARE(map->Grid().columns, 3);
    QCOMPARE(map->Grid().rows, 3);
    const auto step = [](float value, float first, float by) {
        return int(std::lround((value - first) / by));
    };
    for (int i = 0; i < 9; ++i) {
        const CTorqDoc& engine = m_iterator->GetBestEngine(i);
        const int column = step(engine.Stroke().GetValue(), 3.40f, 0.05f);
        const int row = step(SweptParameter(engine, kItrCompression).GetValue(), 9.0f, 0.5f);
        QVERIFY(SameFloat(map->Grid().At(column, row), m_iterator->GetBestScore(i)));
    }
    QCOMPARE(map->Grid().highest, best);
    // Turned round: compression across, stroke down.
    map->XAxisBox()->setCurrentIndex(1);
    QCOMPARE(map->Grid().columns, 0);  // the same parameter twice has no map
    map->YAxisBox()->setCurrentIndex(0);
    QCOMPARE(map->Grid().columns, 3);
    const CTorqDoc& first = m_iterator->GetBestEngine(0);
    QVERIFY(SameFloat(map->Grid().At(step(SweptParameter(first, kItrCompression).GetValue(), 9.0f, 0.5f),
                                     step(first.Stroke().GetValue(), 3.40f, 0.05f)),
                      m_iterator->GetBestScore(0)));
    // The best score is the lightest colour.
    const QColor top =
        CItrScoreHeatMap::ScoreColour(map->Grid().highest, map->Grid().lowest, map->Grid().highest);
    const QColor foot =
        CItrScoreHeatMap::ScoreColour(map->Grid().lowest, map->Grid().lowest, map->Grid().highest);
    QVERIFY(qGray(top.rgb()) > qGray(foot.rgb()) + 120);
    dialog.CloseButton()->click();
}

void ItrRunDlgTest::switchingTheCriterionInSetupChangesTheChartTitles()
{
    const CTorqDoc& chevy = m_chevy->Doc();
    ConfigureSeries(*m_iterator, chevy, ShortStrokeSweep(chevy).rows);
    CItrRunDlg dialog(*m_iterator, CDocumentRegistry::Instance(), NoSurface());
    QVERIFY(ShowActive(dialog));
    CItrCurrentChart& chart = *dialog.CurrentChart();
    QCOMPARE(chart.AxisX()->titleText(), QStringLiteral("Engine Speed (RPM)"));
    QCOMPARE(chart.AxisX()->max(), 11000.0);
    QCOMPARE(chart.AxisY()->titleText(), QStringLiteral("Power (HP)"));
    QCOMPARE(chart.AxisY()->max(), 500.0);
    QCOMPARE(chart.Curve()->pen().color(), QColor(255, 0, 0));
    QCOMPARE(dialog.BestSurface()->ValueAxisTitle(), QStringLiteral("HP(Z)"));

    int setups = 0;
    dialog.SetSetupRunner([&](CItrSetupDlg& setup) {
        ++setups;
        setup.MaxTorqueButton()->click();
        setup.accept();
        return setup.result();
    });
    dialog.SetupButton()->click();
    QCOMPARE(setups, 1);
    QCOMPARE(m_iterator->GetCriterion(), int(kMaxTorque));
    QCOMPARE(chart.AxisY()->titleText(), QStringLiteral("Torque (ft-lbs)"));
    QCOMPARE(chart.AxisY()->max(), 500.0);
    QCOMPARE(chart.Curve()->pen().color(), QColor(0, 128, 0));
    QCOMPARE(dialog.BestSurface()->ValueAxisTitle(), QStringLiteral("Torque(Z)"));
    QCOMPARE(dialog.StateLabel()->text(), QStringLiteral("READY"));

    // A torque series draws torque.
    dialog.RunButton()->click();
    QTRY_COMPARE_WITH_TIMEOUT(dialog.GetRunState(), CItrRunDlg::kDone, kSeriesTimeoutMs);
    QCOMPARE(float(chart.Curve()->at(4).y()), m_iterator->GetWorkingTorque()[4]);
    QCOMPARE(dialog.BestSurface()->Grid()[0][4], m_iterator->GetBestTorque(0)[4]);

    // A setup that ends with no baseline leaves nothing to run.
    dialog.SetSetupRunner([](CItrSetupDlg& setup) {
        Choose(setup.BaselineList(), QStringLiteral("(None)"));
        setup.accept();
        return setup.result();
    });
    dialog.SetupButton()->click();
    QCOMPARE(dialog.StateLabel()->text(), QStringLiteral("NEEDS SETUP"));
    QCOMPARE(EnabledControls(dialog), kNeedsSetupControls);
    QCOMPARE(chart.AxisY()->titleText(), QStringLiteral("Power (HP)"));
    QVERIFY(dialog.windowTitle().endsWith(QStringLiteral(" - (None)")));
}

void ItrRunDlgTest::aClosedBaselineLeavesTheDialogNeedingSetup()
{
    const CTorqDoc& chevy = m_chevy->Doc();
    ConfigureSeries(*m_iterator, chevy, ShortStrokeSweep(chevy).rows);
    {
        CItrRunDlg dialog(*m_iterator, CDocumentRegistry::Instance(), NoSurface());
        dialog.OnRun();
        QTRY_COMPARE_WITH_TIMEOUT(dialog.GetRunState(), CItrRunDlg::kDone, kSeriesTimeoutMs);
        dialog.OnKeepAll();
    }
    m_chevy->Close();
    // Another engine opened since may even take the closed one's address.
    OpenEngine other("Other");
    CItrRunDlg dialog(*m_iterator, CDocumentRegistry::Instance(), NoSurface());
    QCOMPARE(dialog.StateLabel()->text(), QStringLiteral("NEEDS SETUP"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Iterator Testing - (None)"));
    QCOMPARE(dialog.ResultList()->count(), 0);
    QCOMPARE(dialog.TotalTestsLabel()->text(), QStringLiteral("0"));
    QCOMPARE(EnabledControls(dialog), kNeedsSetupControls);
    QVERIFY(m_iterator->GetBaseline() == nullptr);
    QVERIFY(!m_iterator->GetKeepFlag(0));
}

void ItrRunDlgTest::aSeriesRunHereKeepsWhatTheCommandLineKeeps()
{
    const QString engineFile = ExamplePath("chevy-350-street.trq");
    OpenEngine street("chevy-350-street.trq");
    QVERIFY(OpenEngineDocument(street.Doc(), engineFile.toStdString()));

    // 7 bores x 16 IVC x 5 EVO = 560 tests, scored by torque from 3000 to 6000 rpm.
    CItrRunDlg dialog(*m_iterator, CDocumentRegistry::Instance(), NoSurface());
    QVERIFY(ShowActive(dialog));
    // The setup runs modally, as the Setup button runs it, and is typed into.
    dialog.SetSetupRunner([&](CItrSetupDlg& setup) {
        QTimer::singleShot(0, &setup, [&setup] {
            // The offscreen platform leaves a dialog opened from a dialog inactive.
            QApplication::setActiveWindow(&setup);
            if (!QTest::qWaitForWindowActive(&setup)) {
                setup.reject();
                return;
            }
            TypeSeries(setup, QStringLiteral("chevy-350-street.trq"),
                       {{0, "Bore", "4.00", "4.06", "0.01"},
                        {2, "IVC", "55", "70", "1"},
                        {3, "EVO", "60", "64", "1"}});
            setup.MaxTorqueButton()->click();
            Choose(setup.MinRpmList(), QStringLiteral("3000"));
            Choose(setup.MaxRpmList(), QStringLiteral("6000"));
            setup.OkButton()->click();
        });
        return setup.exec();
    });
    dialog.SetupButton()->click();
    QCOMPARE(m_presenter->Codes(), std::vector<int>{});
    QCOMPARE(dialog.TotalTestsLabel()->text(), QStringLiteral("560"));
    dialog.RunButton()->click();
    QTRY_COMPARE_WITH_TIMEOUT(dialog.GetRunState(), CItrRunDlg::kDone, kSeriesTimeoutMs);

    QProcess cli;
    cli.start(
        QStringLiteral(TORQWELL_CLI_PATH),
        {QStringLiteral("iterate"), engineFile, "--sweep", "bore=4.00:4.06:0.01", "--sweep", "ivc=55:70:1",
         "--sweep", "evo=60:64:1", "--criterion", "torque", "--band", "3000-6000", "--format", "json"});
    QVERIFY(cli.waitForFinished(kSeriesTimeoutMs));
    QCOMPARE(cli.exitCode(), 0);
    const QJsonObject report = QJsonDocument::fromJson(cli.readAllStandardOutput()).object();
    QCOMPARE(report["tests_run"].toInt(), 560);
    const QJsonArray best = report["best"].toArray();
    QCOMPARE(best.size(), qsizetype(m_iterator->GetKeptCount()));
    QCOMPARE(best.size(), qsizetype(10));
    for (int i = 0; i < 10; ++i) {
        const QJsonObject kept = best[i].toObject();
        QCOMPARE(kept["no"].toInt(), i + 1);
        QCOMPARE(kept["test"].toInt(), m_iterator->GetBestTestNumber(i));
        QVERIFY2(SameFloat(float(kept["score"].toDouble()), m_iterator->GetBestScore(i)),
                 qPrintable(QStringLiteral("No. %1").arg(i + 1)));
        const QJsonObject values = kept["values"].toObject();
        QVERIFY(SameFloat(float(values["ivc"].toDouble()),
                          m_iterator->GetBestEngine(i).Cam().NominalIvc().GetValue()));
    }
}

void ItrRunDlgTest::withoutOpenGlANoteTakesTheSurfacesPlace()
{
    // The offscreen platform has no OpenGL windows: asked for the surface,
    // the dialog shows the note instead of failing.
    QString whyNot;
    QVERIFY(!CItrBestSurface::CanShowSurface(whyNot));
    QVERIFY(whyNot.contains(QStringLiteral("offscreen")));
    CItrRunDlg dialog(*m_iterator, CDocumentRegistry::Instance(), CItrRunDlg::Options{true, 2});
    QVERIFY(dialog.BestSurface()->Surface() == nullptr);
    QVERIFY(dialog.BestSurface()->Note() != nullptr);
    QVERIFY(dialog.BestSurface()->Note()->text().contains(QStringLiteral("OpenGL")));
    // The view buttons still keep their angles.
    dialog.RotateButton(0)->click();
    dialog.RotateButton(4)->click();
    QCOMPARE(dialog.BestSurface()->Angles(), (SurfaceAngles{30.0f, 0.0f, 215.0f}));
    dialog.RotateButton(6)->click();
    QCOMPARE(dialog.BestSurface()->Angles(), SurfaceAngles{});
}

void ItrRunDlgTest::aSearchShowsItsTestsAndBestScoreAndKeepsWhatTheCoreSearchKeeps()
{
    const CTorqDoc& chevy = m_chevy->Doc();
    // 21 bores x 51 IVC x 51 EVO x 41 EVC = 2,239,461 combinations.
    const IteratorSetup rows = SetupOf(
        chevy, {Sweep(kItrBore, chevy, 3.90f, 4.10f, 0.01f), Sweep(kItrIvc, chevy, 40.0f, 90.0f, 1.0f),
                Sweep(kItrEvo, chevy, 40.0f, 90.0f, 1.0f), Sweep(kItrEvc, chevy, 10.0f, 50.0f, 1.0f)});
    ConfigureSearch(*m_iterator, rows);
    CItrRunDlg dialog(*m_iterator, CDocumentRegistry::Instance(), NoSurface());
    QVERIFY(ShowActive(dialog));
    QCOMPARE(dialog.StateLabel()->text(), QStringLiteral("READY"));
    QCOMPARE(EnabledControls(dialog), kReadyControls);
    QCOMPARE(dialog.TotalTestsLabel()->text(), QStringLiteral("2239461"));
    // Tests run and the best score in place of a share of the grid.
    QCOMPARE(dialog.CurrentTestCaption()->text(), QStringLiteral("Tests Run:"));
    QCOMPARE(dialog.CurrentTestLabel()->text(), QStringLiteral("0"));
    QVERIFY(dialog.ProgressBar()->isHidden() && dialog.PercentLabel()->isHidden());
    QVERIFY(dialog.BestScoreChart()->isVisible());
    QCOMPARE(dialog.PaceLabel()->text(), QStringLiteral("Search for the best"));

    dialog.RunButton()->click();
    QCOMPARE(dialog.StateLabel()->text(), QStringLiteral("RUNNING"));
    QCOMPARE(EnabledControls(dialog), kRunningControls);
    QVERIFY(dialog.windowTitle().startsWith(QStringLiteral("0 tests - Iterator Testing - [Chevy.trq]")));
    QTRY_COMPARE_WITH_TIMEOUT(dialog.StateLabel()->text(), QStringLiteral("DONE"), kSeriesTimeoutMs);
    QCOMPARE(EnabledControls(dialog), kDoneControls);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Iterator Testing - [Chevy.trq]"));

    // The core's search of the same settings, on one thread: the same tests,
    // the same kept results.
    IteratorTest reference{IteratorTest::Detached{}};
    IteratorSearch whole(reference);
    SearchWhole(reference, whole, rows);
    const IteratorSearch& searched = dialog.Search();
    QCOMPARE(searched.GetTestOrder(), whole.GetTestOrder());
    CompareKeptResults(*m_iterator, reference);
    QCOMPARE(dialog.ResultList()->count(), 10);

    const std::int64_t run = whole.GetTestsRun();
    QVERIFY2(run < 2239461 / 100, "a search runs a small share of the grid");
    QCOMPARE(dialog.CurrentTestLabel()->text(), QString::number(run));
    QCOMPARE(dialog.PaceLabel()->text(), QStringLiteral("%1 of 2239461 combinations run (%2 %), best %3 HP")
                                             .arg(run)
                                             .arg(100.0 * double(run) / 2239461.0, 0, 'g', 3)
                                             .arg(double(whole.GetBestScore()), 0, 'f', 2));
    // The best score's steps up, level to the last test.
    const QLineSeries& line = *dialog.BestScoreChart()->Line();
    const std::vector<IteratorSearch::BestRise>& rises = whole.GetBestHistory();
    QCOMPARE(line.count(), qsizetype(2 * rises.size()));
    QCOMPARE(line.at(0), QPointF(double(rises[0].testsRun), double(rises[0].score)));
    QCOMPARE(line.at(line.count() - 1), QPointF(double(run), double(whole.GetBestScore())));
    QCOMPARE(dialog.BestScoreChart()->AxisY()->titleText(), QStringLiteral("Best HP"));
    // The current test: the search's last that gave results.
    QCOMPARE(float(dialog.CurrentChart()->Curve()->at(8).y()),
             (*whole.GetLatestResults())[kSeriesPower - 1][8]);
    QCOMPARE(dialog.BestSurface()->Grid()[0][4], m_iterator->GetBestPower(0)[4]);

    // A cancelled setup leaves the search done; the same settings confirmed
    // are a new series, searched afresh.
    dialog.SetSetupRunner([](CItrSetupDlg& setup) {
        setup.reject();
        return setup.result();
    });
    dialog.SetupButton()->click();
    QCOMPARE(dialog.StateLabel()->text(), QStringLiteral("DONE"));
    QCOMPARE(dialog.CurrentTestLabel()->text(), QString::number(run));
    dialog.SetSetupRunner([](CItrSetupDlg& setup) {
        setup.accept();
        return setup.result();
    });
    dialog.SetupButton()->click();
    QCOMPARE(dialog.StateLabel()->text(), QStringLiteral("READY"));
    QCOMPARE(dialog.CurrentTestLabel()->text(), QStringLiteral("0"));
    QVERIFY(!dialog.Search().IsStarted());
    QCOMPARE(m_iterator->GetMethod(), IteratorMethod::Search);

    // Restart: the search starts over, with nothing run or kept.
    dialog.RunButton()->click();
    QTRY_VERIFY(dialog.Search().GetTestsRun() > 0);
    dialog.HaltButton()->click();
    dialog.RestartButton()->click();
    QCOMPARE(dialog.StateLabel()->text(), QStringLiteral("READY"));
    QCOMPARE(dialog.CurrentTestLabel()->text(), QStringLiteral("0"));
    QCOMPARE(dialog.ResultList()->count(), 0);
    QVERIFY(!dialog.Search().IsStarted());
    QCOMPARE(dialog.BestScoreChart()->Line()->count(), 0);
    QCOMPARE(dialog.CurrentChart()->Curve()->count(), 1);
    QVERIFY(m_presenter->Codes().empty());
}

void ItrRunDlgTest::aSearchWithABudgetStopsThereAndSaysSo()
{
    const CTorqDoc& chevy = m_chevy->Doc();
    ConfigureSearch(
        *m_iterator,
        SetupOf(chevy, {Sweep(kItrIvc, chevy, 40.0f, 90.0f, 1.0f), Sweep(kItrEvo, chevy, 40.0f, 90.0f, 1.0f)},
                kMaxTorque),
        100);
    CItrRunDlg dialog(*m_iterator, CDocumentRegistry::Instance(), NoSurface());
    QCOMPARE(dialog.PaceLabel()->text(), QStringLiteral("Search for the best, in at most 100 tests"));
    QCOMPARE(dialog.BestScoreChart()->AxisY()->titleText(), QStringLiteral("Best ft-lbs"));
    dialog.OnRun();
    QTRY_COMPARE_WITH_TIMEOUT(dialog.GetRunState(), CItrRunDlg::kDone, kSeriesTimeoutMs);
    QCOMPARE(dialog.CurrentTestLabel()->text(), QStringLiteral("100"));
    QVERIFY2(
        dialog.PaceLabel()->text().startsWith(QStringLiteral("100 of 2601 combinations run (3.84 %), best ")),
        qPrintable(dialog.PaceLabel()->text()));
    QVERIFY(dialog.PaceLabel()->text().endsWith(QStringLiteral(" ft-lbs: the budget is spent")));
    QCOMPARE(m_iterator->GetKeptCount(), 10);
}

QTEST_MAIN(ItrRunDlgTest)
#include "ItrRunDlgTest.moc"
