// Engine > Match To Dyno... end to end: a pull made from a known engine, the
// dialog's match on its own thread with progress and Stop, the values found,
// and Make Engine, which opens the matched engine and leaves the original.

#include "GuiTestFixture.h"
#include "GuiTestSupport.h"
#include "app/ChildFrame.h"
#include "app/MainFrame.h"
#include "app/PullCommands.h"
#include "dialogs/MatchChart.h"
#include "dialogs/MatchDlg.h"
#include "dialogs/MatchFigureTable.h"
#include "model/ResultsCsv.h"
#include "report/MeasuredPulls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QtTest>

#include <cstring>
#include <memory>

namespace {

const QString kExamples = QStringLiteral(TORQWELL_SOURCE_DIR "/examples");
constexpr float kIvcLater = 6.0f;  // degrees: the known change of the engine the pull is made from
constexpr int kMatchTimeoutMs = 300000;

}  // namespace

class MatchDlgTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void aPullOfTheEngineWithALaterIntakeClosingIsMatchedAndMadeIntoANewEngine();
    void stopAndCloseEndAMatchUnderWayWithTheBestFoundSoFar();
    void titlesOfMatchedEnginesDropTheFilesExtension();
    void theGraphShowsOnlyTheSpeedsAroundThePull();

private:
    std::unique_ptr<GuiTestFixture> m_fixture;
    std::unique_ptr<RecordingPresenter> m_presenter;
    std::unique_ptr<CMainFrame> m_frame;
    CChildFrame* m_child = nullptr;
    float m_trueIvc = 0.0f;
    QStringList m_refusals;
    QStringList m_notes;
};

void MatchDlgTest::init()
{
    m_refusals.clear();
    m_notes.clear();
    m_fixture = std::make_unique<GuiTestFixture>();
    m_presenter = std::make_unique<RecordingPresenter>();
    m_frame = std::make_unique<CMainFrame>(m_fixture->Folder());
    m_frame->PullCommands().SetOfferPrompt(
        [](QWidget*, const QString&, const QStringList&) { return false; });
    // The program's own CSV does not name its units: hp and lb-ft, the question's defaults.
    m_frame->PullCommands().SetUnitsChooser(
        [](QWidget*, const QString&, bool, bool, PullReadOptions&) { return true; });
    // Its other columns are noted as skipped; a refusal would fail the test.
    m_frame->PullCommands().SetMessageShower(
        [this](QWidget*, const QString& text, bool refusal) { (refusal ? m_refusals : m_notes) << text; });
    const QString engine = m_fixture->FilePath(QStringLiteral("chevy-350-street.trq"));
    QVERIFY(QFile::copy(kExamples + QStringLiteral("/chevy-350-street.trq"), engine));
    m_child = m_frame->OpenDocumentFile(engine);
    QVERIFY(m_child != nullptr);

    // The pull: the same engine with the intake closing 6 degrees later, as
    // its own CSV export gives it (which names its units).
    CTorqDoc truth;
    m_child->Document().CopyTo(truth);
    m_trueIvc = truth.Cam().NominalIvc().GetValue() + kIvcLater;
    truth.Cam().NominalIvc().SetValue(m_trueIvc);
    QVERIFY(truth.RunSimulation(false, false));
    QFile pull(m_fixture->FilePath(QStringLiteral("truth.csv")));
    QVERIFY(pull.open(QIODevice::WriteOnly));
    pull.write(QByteArray::fromStdString(FormatResultsCsv(truth)));
    pull.close();
    QVERIFY(m_frame->PullCommands().AddPullFile(*m_child, pull.fileName(), {}, true));
    QVERIFY2(m_refusals.isEmpty(), qPrintable(m_refusals.join('\n')));
    QVERIFY(!m_notes.isEmpty());
}

void MatchDlgTest::cleanup()
{
    m_frame.reset();
    m_presenter.reset();
    m_fixture.reset();
}

void MatchDlgTest::aPullOfTheEngineWithALaterIntakeClosingIsMatchedAndMadeIntoANewEngine()
{
    const CTorqDoc& original = m_child->Document();
    const float ivcBefore = original.Cam().NominalIvc().GetValue();
    std::optional<MatchResult> result;
    const auto drive = [&](CMatchDlg& dialog) {
        dialog.SetThreadCount(2);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.PullBox()->currentText(), QStringLiteral("Measured: truth.csv"));
        QVERIFY(dialog.SummaryLabel()->text().startsWith(QStringLiteral("Error today: RMS difference")));
        // Nothing free yet: nothing to run.
        QVERIFY(!dialog.MatchButton()->isEnabled());
        QVERIFY(!dialog.MakeEngineButton()->isEnabled());
        const CMatchFigureTable::Row& ivc = dialog.FigureTable()->RowOf(MatchFigure::Ivc);
        QVERIFY2(ivc.today->text().startsWith(QString::number(int(ivcBefore))),
                 qPrintable(ivc.today->text()));
        QVERIFY(!ivc.from->isEnabled());
        ivc.free->setChecked(true);
        QVERIFY(ivc.from->isEnabled());
        // The default band: today's value plus and minus 20 degrees, on the 2-degree step.
        QVERIFY(ivc.from->value() <= ivcBefore - 20 && ivc.to->value() >= ivcBefore + 20);

        QSignalSpy finished(&dialog, &CMatchDlg::MatchFinished);
        QTest::mouseClick(dialog.MatchButton(), Qt::LeftButton);
        QVERIFY(dialog.IsRunning());
        QVERIFY(dialog.StopButton()->isEnabled());
        QVERIFY(!dialog.FigureTable()->isEnabled());
        QVERIFY(finished.wait(kMatchTimeoutMs));
        QVERIFY(!dialog.IsRunning());
        result = dialog.Result();
        QVERIFY(result.has_value());
        QVERIFY(!result->stopped);
        QCOMPARE(dialog.ProgressBar()->value(), dialog.ProgressBar()->maximum());
        // The values found, the error before and after and both curves over the pull.
        QVERIFY(!ivc.found->text().isEmpty());
        QVERIFY(ivc.firm->text().contains(QStringLiteral(" - ")));
        const QString summary = dialog.SummaryLabel()->text();
        QVERIFY2(summary.contains(QStringLiteral("Error before: RMS difference")), qPrintable(summary));
        QVERIFY2(summary.contains(QStringLiteral("Error after: RMS difference")), qPrintable(summary));
        QStringList legends;
        for (const ChartCurve& curve : dialog.Chart()->Picture().curves) legends << curve.legend;
        QVERIFY2(legends.contains(QStringLiteral("Power (HP)-Today")), qPrintable(legends.join(',')));
        QVERIFY(legends.contains(QStringLiteral("Power (HP)-Matched")));
        QVERIFY(legends.contains(QStringLiteral("Measured: truth.csv")));
        QVERIFY(dialog.MakeEngineButton()->isEnabled());
        QTest::mouseClick(dialog.MakeEngineButton(), Qt::LeftButton);
    };
    m_frame->PullCommands().SetMatchDialogRunner([&](CMatchDlg& dialog) {
        drive(dialog);
        return dialog.result();
    });
    m_frame->PullCommands().MatchAction()->trigger();
    QVERIFY(result.has_value());

    // The intake closing is found within one natural step (2 degrees) and the pull nearly met.
    QCOMPARE(result->figures.size(), std::size_t(1));
    QVERIFY2(std::abs(result->figures[0].after - m_trueIvc) <= 2.0,
             qPrintable(QString::number(result->figures[0].after)));
    QVERIFY(result->after.rmsPercent < 0.5);
    QVERIFY(result->after.rmsPercent < result->before.rmsPercent);

    // Make Engine opened "Matched-<title>" with the values found; the original stays as it was.
    CChildFrame* matched = m_frame->ActiveChild();
    QVERIFY(matched != nullptr && matched != m_child);
    QCOMPARE(matched->Document().GetTitle(), std::string("Matched-chevy-350-street"));
    QVERIFY(matched->Document().GetPathName().empty());
    QVERIFY(matched->Document().IsModified());
    QCOMPARE(double(matched->Document().Cam().NominalIvc().GetValue()), result->figures[0].after);
    QVERIFY(std::memcmp(matched->Document().GetResultSeries(kSeriesPower).data(),
                        result->afterResults[kSeriesPower - 1].data(), sizeof(ResultSeriesValues)) == 0);
    QCOMPARE(original.Cam().NominalIvc().GetValue(), ivcBefore);
    QVERIFY(!original.IsModified());
    QCOMPARE(m_frame->ChildFrames().size(), 2);
    // It opens with the pull beside it.
    QCOMPARE(matched->MeasuredPulls().Pulls().size(), std::size_t(1));
    QCOMPARE(matched->MeasuredPulls().Pulls()[0].FileName(), QStringLiteral("truth.csv"));
    QVERIFY(m_presenter->Codes().empty());
}

void MatchDlgTest::stopAndCloseEndAMatchUnderWayWithTheBestFoundSoFar()
{
    // Six figures free: a match long enough to be stopped half way.
    const MatchFigure freed[] = {MatchFigure::Ivo, MatchFigure::Ivc,       MatchFigure::Evo,
                                 MatchFigure::Evc, MatchFigure::Induction, MatchFigure::IntakeLift};
    const auto drive = [&](CMatchDlg& dialog) {
        dialog.SetThreadCount(2);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        for (MatchFigure figure : freed) dialog.FigureTable()->RowOf(figure).free->setChecked(true);
        QSignalSpy finished(&dialog, &CMatchDlg::MatchFinished);

        // The window answers while the match runs: its progress is shown.
        dialog.OnMatch();
        QTRY_VERIFY_WITH_TIMEOUT(!dialog.ProgressLabel()->text().isEmpty(), 60000);
        QVERIFY(dialog.IsRunning());
        QVERIFY2(QRegularExpression(QStringLiteral("^[0-9]+% - Match To Dyno - chevy-350-street.trq$"))
                     .match(dialog.windowTitle())
                     .hasMatch(),
                 qPrintable(dialog.windowTitle()));
        QTest::mouseClick(dialog.StopButton(), Qt::LeftButton);
        QVERIFY(finished.wait(kMatchTimeoutMs));
        QVERIFY(dialog.Result()->stopped);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Match To Dyno - chevy-350-street.trq"));
        QVERIFY2(dialog.SummaryLabel()->text().contains(QStringLiteral("The match was stopped")),
                 qPrintable(dialog.SummaryLabel()->text()));
        QVERIFY(dialog.Result()->after.rmsPercent <= dialog.Result()->before.rmsPercent);

        // Closed while running, the dialog stops the match first and then closes.
        dialog.OnMatch();
        QVERIFY(dialog.IsRunning());
        dialog.reject();
        QVERIFY(dialog.isVisible());
        QVERIFY(finished.wait(kMatchTimeoutMs));
        QVERIFY(!dialog.isVisible());
    };
    m_frame->PullCommands().SetMatchDialogRunner([&](CMatchDlg& dialog) {
        drive(dialog);
        return dialog.result();
    });
    m_frame->PullCommands().MatchAction()->trigger();
    QCOMPARE(m_frame->ChildFrames().size(), 1);  // nothing was made
}

void MatchDlgTest::titlesOfMatchedEnginesDropTheFilesExtension()
{
    QCOMPARE(CMatchDlg::MatchedTitle("chevy-350-street.trq"), std::string("Matched-chevy-350-street"));
    QCOMPARE(CMatchDlg::MatchedTitle("Big.Block.TRQ"), std::string("Matched-Big.Block"));
    QCOMPARE(CMatchDlg::MatchedTitle("Torq3"), std::string("Matched-Torq3"));
}

void MatchDlgTest::theGraphShowsOnlyTheSpeedsAroundThePull()
{
    // Power rising 100 hp every 1000 rpm up to 11000, and torque on the second axis.
    ChartPicture picture;
    picture.x.maximum = 11000;
    ChartCurve power;
    ChartCurve torque;
    torque.y2 = true;
    for (double rpm = 2000; rpm <= 11000; rpm += 500) {
        power.points.append(QPointF(rpm, rpm / 10 - 100));
        torque.points.append(QPointF(rpm, 400 - rpm / 100));
    }
    picture.curves = {power, torque};
    picture.peaks.push_back({false, QPointF(11000, 1000), QStringLiteral("1000 hp @ 11000 rpm"), Qt::red});

    const ChartPicture shown = AroundSpeeds(picture, 3000, 5500);
    QCOMPARE(shown.curves[0].points.front(), QPointF(3000, 200));
    QCOMPARE(shown.curves[0].points.back(), QPointF(5500, 450));
    QCOMPARE(shown.curves[1].points.size(), qsizetype(6));
    QCOMPARE(shown.x.minimum, 3000.0);
    QCOMPARE(shown.x.maximum, 5500.0);
    // Power 200 to 450 hp starts at 0 (the lowest is under half the highest); torque 345 to 370 does not.
    QCOMPARE(shown.y1.minimum, 0.0);
    QVERIFY(shown.y1.maximum >= 450 && shown.y1.maximum < 600);
    QVERIFY(shown.y2.minimum > 300 && shown.y2.minimum <= 345);
    QVERIFY(shown.y2.maximum >= 370 && shown.y2.maximum < 400);
    QVERIFY(shown.peaks.empty());  // the peak beyond the pull is not there to label
}

QTEST_MAIN(MatchDlgTest)
#include "MatchDlgTest.moc"
