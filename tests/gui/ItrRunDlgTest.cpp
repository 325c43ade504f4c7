// The iterator run dialog without its 3-D surface: the run states and what
// they enable, halting and going on, the kept results and their ticks, the
// charts' titles, a baseline that was closed, and a series that keeps what
// the command line keeps.

#include "IteratorGuiSupport.h"

#include "EngineBuilds.h"
#include "RecordingPresenter.h"
#include "dialogs/ItrBestSurface.h"
#include "dialogs/ItrCurrentChart.h"
#include "dialogs/ItrRunDlg.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineSeries>
#include <QListWidget>
#include <QProcess>
#include <QProgressBar>
#include <QRadioButton>
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
    void switchingTheCriterionInSetupChangesTheChartTitles();
    void aClosedBaselineLeavesTheDialogNeedingSetup();
    void aSeriesRunHereKeepsWhatTheCommandLineKeeps();
    void withoutOpenGlANoteTakesTheSurfacesPlace();

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

QTEST_MAIN(ItrRunDlgTest)
#include "ItrRunDlgTest.moc"
