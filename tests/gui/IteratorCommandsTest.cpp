// The main window's iterator commands: the menu entry that posts "Run the
// Iterator", warning 201, and the Best documents made one per tick of
// timer 1 from the ticked results.

#include "GuiTestFixture.h"
#include "GuiTestSupport.h"
#include "IteratorGuiSupport.h"

#include "app/ChildFrame.h"
#include "app/IteratorCommands.h"
#include "app/MainFrame.h"
#include "dialogs/ItrRunDlg.h"
#include "model/MenuCommands.h"

#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QtTest>

namespace {

QStringList WindowTitles(const CMainFrame& frame)
{
    QStringList titles;
    for (CChildFrame* child : frame.ChildFrames())
        titles << QString::fromStdString(child->Document().GetTitle());
    return titles;
}

}  // namespace

class IteratorCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void theEngineMenuPostsRunTheIterator();
    void aChangedCamTimingMethodAsksBeforeTheIteratorResets();
    void okMakesABestDocumentPerTickFromEachTickedResult();
    void closeMakesNothingAndTheTicksWait();
    void aDocumentThatCannotBeMadeGives66AndTheRestFollow();

private:
    // Opens the demo engine and sets up a three-test stroke series on it.
    CChildFrame* OpenBaselineWithThreeTests();
    // Runs the dialog's series to its end, as the user does with Run.
    static bool RunToTheEnd(CItrRunDlg& dialog);

    std::unique_ptr<GuiTestFixture> m_fixture;
    std::unique_ptr<RecordingPresenter> m_presenter;
    std::unique_ptr<CMainFrame> m_frame;
};

void IteratorCommandsTest::init()
{
    m_fixture = std::make_unique<GuiTestFixture>();
    m_presenter = std::make_unique<RecordingPresenter>();
    IteratorTest::Instance().ResetAll();
    m_frame = std::make_unique<CMainFrame>(m_fixture->Folder());
    m_frame->IteratorCommands().SetRunDialogOptions({false, 2});
}

void IteratorCommandsTest::cleanup()
{
    m_frame.reset();
    IteratorTest::Instance().ResetAll();
    m_presenter.reset();
}

CChildFrame* IteratorCommandsTest::OpenBaselineWithThreeTests()
{
    CChildFrame* child = m_frame->OpenDocumentFile(ExamplePath("chevy-350-street.trq"));
    if (child == nullptr) return nullptr;
    const CTorqDoc& baseline = child->Document();
    ConfigureSeries(IteratorTest::Instance(), baseline, ShortStrokeSweep(baseline).rows);
    return child;
}

bool IteratorCommandsTest::RunToTheEnd(CItrRunDlg& dialog)
{
    dialog.RunButton()->click();
    return QTest::qWaitFor([&] { return dialog.GetRunState() == CItrRunDlg::kDone; }, 60000);
}

void IteratorCommandsTest::theEngineMenuPostsRunTheIterator()
{
    QAction* entry = m_frame->CommandAction(Cmd::kIteratorTesting);
    QVERIFY(entry != nullptr);
    QCOMPARE(entry->text(), QStringLiteral("&Iterator Testing..."));
    QVERIFY(!entry->isEnabled());  // a command of an engine: there is none yet
    m_frame->NewDocument();
    QVERIFY(entry->isEnabled());

    int opened = 0;
    QString state;
    m_frame->IteratorCommands().SetRunDialog([&](CItrRunDlg& dialog) {
        ++opened;
        state = dialog.StateLabel()->text();
        return int(QDialog::Rejected);
    });
    entry->trigger();
    QCOMPARE(opened, 0);  // not from within the menu command
    QTRY_COMPARE(opened, 1);
    QCOMPARE(state, QStringLiteral("NEEDS SETUP"));
    QVERIFY(!m_frame->IteratorCommands().IsMakingDocuments());
}

void IteratorCommandsTest::aChangedCamTimingMethodAsksBeforeTheIteratorResets()
{
    CChildFrame* child = OpenBaselineWithThreeTests();
    QVERIFY(child != nullptr);
    IteratorTest& iterator = IteratorTest::Instance();
    int opened = 0;
    int stateSeen = -1;
    m_frame->IteratorCommands().SetRunDialog([&](CItrRunDlg& dialog) {
        ++opened;
        stateSeen = dialog.GetRunState();
        return int(QDialog::Rejected);
    });
    // Unchanged: no question, the series waits READY.
    m_frame->IteratorCommands().RunIterator();
    QCOMPARE(opened, 1);
    QCOMPARE(stateSeen, int(CItrRunDlg::kReady));
    QVERIFY(m_presenter->Codes().empty());

    const int timing = child->Document().Cam().TimingMethod().GetIndex();
    QCOMPARE(
        ApplyMenuCommand(child->Document(), timing == 1 ? Cmd::kTimingFiftyLift : Cmd::kTimingSeatToSeat),
        CommandResult::Applied);
    m_presenter->Clear();
    // Cancel: the iterator does not open and keeps its series.
    m_presenter->AnswerNextWarning(WarningAnswer::Cancel);
    m_frame->IteratorCommands().RunIterator();
    QCOMPARE(m_presenter->Codes(), std::vector<int>{Msg::IteratorBaselineTimingChanged});
    QCOMPARE(opened, 1);
    QCOMPARE(iterator.GetTotalTests(), 3);

    // OK: every setting is reset and the dialog needs a new setup.
    m_presenter->AnswerNextWarning(WarningAnswer::Ok);
    m_frame->IteratorCommands().RunIterator();
    QCOMPARE(opened, 2);
    QCOMPARE(stateSeen, int(CItrRunDlg::kNeedsSetup));
    QVERIFY(iterator.GetBaseline() == nullptr);
    QCOMPARE(iterator.GetTotalTests(), 0);
}

void IteratorCommandsTest::okMakesABestDocumentPerTickFromEachTickedResult()
{
    CChildFrame* baseline = OpenBaselineWithThreeTests();
    QVERIFY(baseline != nullptr);
    IteratorTest& iterator = IteratorTest::Instance();
    m_frame->IteratorCommands().SetRunDialog([](CItrRunDlg& dialog) {
        if (!RunToTheEnd(dialog)) return int(QDialog::Rejected);
        dialog.KeepAllButton()->click();
        dialog.OkButton()->click();
        return dialog.result();
    });
    m_frame->IteratorCommands().RunIterator();
    QVERIFY(m_frame->IteratorCommands().IsMakingDocuments());
    QCOMPARE(m_frame->ChildFrames().size(), 1);  // the first waits for the first tick

    // The baseline may close meanwhile: the documents still carry its name.
    baseline->CloseWithoutQuery();
    QTRY_COMPARE_WITH_TIMEOUT(m_frame->ChildFrames().size(), 3, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(
        WindowTitles(*m_frame),
        (QStringList{"Best1-chevy-350-street", "Best2-chevy-350-street", "Best3-chevy-350-street"}), 10000);
    QTRY_VERIFY(!m_frame->IteratorCommands().IsMakingDocuments());
    const QList<CChildFrame*> made = m_frame->ChildFrames();
    for (int i = 0; i < 3; ++i) {
        const CTorqDoc& document = made[i]->Document();
        QVERIFY(document.IsModified());
        QVERIFY(made[i]->isWindowModified());
        QVERIFY(!iterator.GetKeepFlag(i));
        // The kept engine with its results: the swept stroke and its power.
        QCOMPARE(document.Stroke().GetValue(), iterator.GetBestEngine(i).Stroke().GetValue());
        QCOMPARE(document.GetResultSeries(kSeriesPower), iterator.GetBestPower(i));
    }
    QCOMPARE(made[2]->Document().Stroke().GetValue(), 3.50f);
    QVERIFY(m_presenter->Codes().empty());

    // Without ticks a tick makes nothing and the timer stays off.
    m_frame->IteratorCommands().CreateBestDocuments();
    QCOMPARE(m_frame->ChildFrames().size(), 3);
    QVERIFY(!m_frame->IteratorCommands().IsMakingDocuments());
}

void IteratorCommandsTest::closeMakesNothingAndTheTicksWait()
{
    QVERIFY(OpenBaselineWithThreeTests() != nullptr);
    IteratorTest& iterator = IteratorTest::Instance();
    m_frame->IteratorCommands().SetRunDialog([](CItrRunDlg& dialog) {
        if (!RunToTheEnd(dialog)) return int(QDialog::Rejected);
        dialog.ResultList()->item(0)->setCheckState(Qt::Checked);
        dialog.ResultList()->item(2)->setCheckState(Qt::Checked);
        dialog.CloseButton()->click();
        return dialog.result();
    });
    m_frame->IteratorCommands().RunIterator();
    QVERIFY(!m_frame->IteratorCommands().IsMakingDocuments());
    QTest::qWait(3 * CIteratorCommands::kTimer1Ms);
    QCOMPARE(m_frame->ChildFrames().size(), 1);
    QVERIFY(iterator.GetKeepFlag(0) && !iterator.GetKeepFlag(1) && iterator.GetKeepFlag(2));

    // Opened again: the ticks are shown, and OK now makes the two.
    QStringList shown;
    m_frame->IteratorCommands().SetRunDialog([&](CItrRunDlg& dialog) {
        for (int i = 0; i < dialog.ResultList()->count(); ++i) {
            shown << QString::number(dialog.ResultList()->item(i)->checkState() == Qt::Checked);
        }
        dialog.OkButton()->click();
        return dialog.result();
    });
    m_frame->IteratorCommands().RunIterator();
    QCOMPARE(shown, (QStringList{"1", "0", "1"}));
    QTRY_COMPARE_WITH_TIMEOUT(
        WindowTitles(*m_frame),
        (QStringList{"chevy-350-street.trq", "Best1-chevy-350-street", "Best3-chevy-350-street"}), 10000);
}

void IteratorCommandsTest::aDocumentThatCannotBeMadeGives66AndTheRestFollow()
{
    QVERIFY(OpenBaselineWithThreeTests() != nullptr);
    IteratorTest& iterator = IteratorTest::Instance();
    m_frame->IteratorCommands().SetRunDialog([](CItrRunDlg& dialog) {
        if (!RunToTheEnd(dialog)) return int(QDialog::Rejected);
        dialog.KeepAllButton()->click();
        dialog.OkButton()->click();
        return dialog.result();
    });
    m_frame->IteratorCommands().RunIterator();
    QVERIFY(m_frame->IteratorCommands().IsMakingDocuments());

    // The first document cannot be made; the next ticks go on with the others.
    bool first = true;
    m_frame->IteratorCommands().SetDocumentMaker([&]() -> CChildFrame* {
        if (std::exchange(first, false)) return nullptr;
        return m_frame->NewDocument();
    });
    QTRY_VERIFY_WITH_TIMEOUT(
        !m_frame->IteratorCommands().IsMakingDocuments() && m_frame->ChildFrames().size() == 3, 10000);
    QCOMPARE(m_presenter->Codes(), std::vector<int>{Msg::IteratorBestDocumentFailed});
    QCOMPARE(WindowTitles(*m_frame),
             (QStringList{"chevy-350-street.trq", "Best2-chevy-350-street", "Best3-chevy-350-street"}));
    QVERIFY(!iterator.GetKeepFlag(0));
}

QTEST_MAIN(IteratorCommandsTest)
#include "IteratorCommandsTest.moc"
