// Quitting the program while a series runs: the series halts cleanly
// (between two slices, every counter consistent) and the quit goes through.
// A program of its own: once the application has quit, no event loop runs.

#include "IteratorGuiSupport.h"

#include "EngineBuilds.h"
#include "RecordingPresenter.h"
#include "dialogs/ItrRunDlg.h"

#include <QPointer>
#include <QtTest>

class ItrRunDlgQuitTest : public QObject {
    Q_OBJECT
private slots:
    void quittingHaltsTheSeriesAndIsLetThrough();
};

void ItrRunDlgQuitTest::quittingHaltsTheSeriesAndIsLetThrough()
{
    RecordingPresenter presenter;
    OpenEngine chevy("Chevy.trq");
    QVERIFY(BuildChevy350(chevy.Doc()));
    IteratorTest iterator{IteratorTest::Detached{}};
    const CTorqDoc& baseline = chevy.Doc();
    ConfigureSeries(iterator, baseline, LongCamSweep(baseline).rows);

    CItrRunDlg dialog(iterator, CDocumentRegistry::Instance(), CItrRunDlg::Options{false, 2});
    int result = -1;
    bool quitSeenRunning = false;
    // The dialog runs modally, as the program runs it, and the series with
    // it; once tests have run the program is told to quit.
    QTimer::singleShot(0, &dialog, [&] { result = dialog.exec(); });
    QTimer::singleShot(0, &dialog, &CItrRunDlg::OnRun);
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &dialog, [&] {
        if (iterator.GetTestsRun() == 0) return;
        watch.stop();
        quitSeenRunning = dialog.GetRunState() == CItrRunDlg::kRunning;
        QCoreApplication::quit();
    });
    watch.start(5);
    const QPointer<QObject> alive(&dialog);
    // The application's own loop, which the quit ends.
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(alive != nullptr);
    QVERIFY(quitSeenRunning);
    QCOMPARE(result, int(QDialog::Rejected));
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.GetRunState(), CItrRunDlg::kReady);
    // Halted between slices: every issued test was finished and offered.
    QVERIFY(!iterator.IsDone());
    QVERIFY(iterator.GetTestsRun() > 0 && iterator.GetTestsRun() < iterator.GetTotalTests());
    QCOMPARE(iterator.GetKeptCount(), std::min(iterator.GetTestsRun(), 10));
    QCOMPARE(iterator.GetBestTestNumber(0), 1);
    QVERIFY(presenter.Codes().empty());
}

QTEST_MAIN(ItrRunDlgQuitTest)
#include "ItrRunDlgQuitTest.moc"
