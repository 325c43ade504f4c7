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

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QProcess>
#include <QRadioButton>
#include <QtTest>

namespace {

// Saves the engine under the path, as Save with the file dialog answered.
void ScriptedSaveAs(CMainFrame& frame, CChildFrame* child, const QString& path)
{
    frame.SetFileNameChooser([path](QWidget*, const FileDialogRequest&) { return path; });
    QVERIFY(frame.SaveDocument(*child, true));
}

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
    void aSearchSetUpInTheDialogKeepsWhatTheCoreSearchKeepsAndMakesBestDocuments();
    void aHaltedSearchGoesOnWhenTheDialogOpensAgain();
    void aSecondSeriesGivesItsDocumentsNamesNoOpenEngineHas();
    void savedBestDocumentsAreTheCommandLinesBestFilesByteForByte();

private:
    // Opens the demo engine and sets up a three-test stroke series on it.
    CChildFrame* OpenBaselineWithThreeTests();
    // Runs the dialog's series to its end, as the user does with Run.
    static bool RunToTheEnd(CItrRunDlg& dialog);
    // Runs the series as it stands, keeps every result and waits for the documents.
    bool KeepEveryResultOfASeries(int documentsAfter);

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

void IteratorCommandsTest::aSearchSetUpInTheDialogKeepsWhatTheCoreSearchKeepsAndMakesBestDocuments()
{
    CChildFrame* baseline = m_frame->OpenDocumentFile(ExamplePath("chevy-350-street.trq"));
    QVERIFY(baseline != nullptr);
    IteratorTest& iterator = IteratorTest::Instance();
    // 7 bores x 51 IVC x 51 EVO = 18,207 combinations, scored by power from 4000 to 6500 rpm.
    m_frame->IteratorCommands().SetRunDialog([](CItrRunDlg& dialog) {
        dialog.SetSetupRunner([](CItrSetupDlg& setup) {
            QTimer::singleShot(0, &setup, [&setup] {
                // The offscreen platform leaves a dialog opened from a dialog inactive.
                QApplication::setActiveWindow(&setup);
                if (!QTest::qWaitForWindowActive(&setup)) {
                    setup.reject();
                    return;
                }
                TypeSeries(setup, QStringLiteral("chevy-350-street.trq"),
                           {{0, "Bore", "4.00", "4.06", "0.01"},
                            {2, "IVC", "40", "90", "1"},
                            {3, "EVO", "40", "90", "1"}});
                Choose(setup.MinRpmList(), QStringLiteral("4000"));
                Choose(setup.MaxRpmList(), QStringLiteral("6500"));
                setup.SearchButton()->click();
                setup.OkButton()->click();
            });
            return setup.exec();
        });
        dialog.SetupButton()->click();
        if (!RunToTheEnd(dialog)) return int(QDialog::Rejected);
        dialog.KeepAllButton()->click();
        dialog.OkButton()->click();
        return dialog.result();
    });
    m_frame->IteratorCommands().RunIterator();
    QVERIFY(m_presenter->Codes().empty());
    QCOMPARE(iterator.GetMethod(), IteratorMethod::Search);
    QVERIFY(m_frame->IteratorCommands().IsMakingDocuments());

    // What the core's search keeps of the same settings (the used rows in
    // the same order number the combinations alike, whichever rows they are).
    const CTorqDoc& engine = baseline->Document();
    IteratorSetup rows = SetupOf(
        engine, {Sweep(kItrBore, engine, 4.00f, 4.06f, 0.01f), Sweep(kItrIvc, engine, 40.0f, 90.0f, 1.0f),
                 Sweep(kItrEvo, engine, 40.0f, 90.0f, 1.0f)});
    rows.minRpm = 4000.0f;
    rows.maxRpm = 6500.0f;
    IteratorTest reference{IteratorTest::Detached{}};
    IteratorSearch whole(reference);
    SearchWhole(reference, whole, rows);
    QCOMPARE(m_frame->IteratorCommands().Search().GetTestOrder(), whole.GetTestOrder());
    CompareKeptResults(iterator, reference);

    // A Best document from each: the values and results of its test.
    QTRY_COMPARE_WITH_TIMEOUT(m_frame->ChildFrames().size(), 11, 20000);
    QTRY_VERIFY(!m_frame->IteratorCommands().IsMakingDocuments());
    const QList<CChildFrame*> made = m_frame->ChildFrames();
    for (int i = 0; i < 10; ++i) {
        const CTorqDoc& document = made[i + 1]->Document();
        QCOMPARE(QString::fromStdString(document.GetTitle()),
                 QStringLiteral("Best%1-chevy-350-street").arg(i + 1));
        const CTorqDoc& kept = reference.GetBestEngine(i);
        QCOMPARE(document.Bore().GetValue(), kept.Bore().GetValue());
        QCOMPARE(document.Cam().NominalIvc().GetValue(), kept.Cam().NominalIvc().GetValue());
        QCOMPARE(document.Cam().NominalEvo().GetValue(), kept.Cam().NominalEvo().GetValue());
        QCOMPARE(document.GetResultSeries(kSeriesPower), kept.GetResultSeries(kSeriesPower));
    }
}

void IteratorCommandsTest::aHaltedSearchGoesOnWhenTheDialogOpensAgain()
{
    CChildFrame* baseline = m_frame->OpenDocumentFile(ExamplePath("chevy-350-street.trq"));
    QVERIFY(baseline != nullptr);
    const CTorqDoc& engine = baseline->Document();
    // 21 bores x 51 IVC x 51 EVO x 41 EVC = 2,239,461 combinations.
    const IteratorSetup rows = SetupOf(
        engine, {Sweep(kItrBore, engine, 3.90f, 4.10f, 0.01f), Sweep(kItrIvc, engine, 40.0f, 90.0f, 1.0f),
                 Sweep(kItrEvo, engine, 40.0f, 90.0f, 1.0f), Sweep(kItrEvc, engine, 10.0f, 50.0f, 1.0f)});
    IteratorTest& iterator = IteratorTest::Instance();
    ConfigureSearch(iterator, rows);

    std::int64_t halted = 0;
    m_frame->IteratorCommands().SetRunDialog([&](CItrRunDlg& dialog) {
        dialog.RunButton()->click();
        if (!QTest::qWaitFor([&] { return dialog.Search().GetTestsRun() > 0; }, 60000))
            return int(QDialog::Rejected);
        dialog.HaltButton()->click();
        halted = dialog.Search().GetTestsRun();
        // The results so far, ready to tick.
        if (dialog.GetRunState() != CItrRunDlg::kReady || dialog.ResultList()->count() != 10)
            return int(QDialog::Rejected);
        dialog.ResultList()->item(4)->setCheckState(Qt::Checked);
        dialog.CloseButton()->click();
        return dialog.result();
    });
    m_frame->IteratorCommands().RunIterator();
    QVERIFY(halted > 0);
    QVERIFY2(!m_frame->IteratorCommands().Search().IsDone(), "the search ended before it could be halted");
    QCOMPARE(iterator.GetKeptCount(), 10);
    QVERIFY(iterator.GetKeepFlag(4));

    // Opened again: halted where it was, and Run goes on to the end.
    QString stateSeen;
    QString testsSeen;
    m_frame->IteratorCommands().SetRunDialog([&](CItrRunDlg& dialog) {
        stateSeen = dialog.StateLabel()->text();
        testsSeen = dialog.CurrentTestLabel()->text();
        if (!RunToTheEnd(dialog)) return int(QDialog::Rejected);
        dialog.CloseButton()->click();
        return dialog.result();
    });
    m_frame->IteratorCommands().RunIterator();
    QCOMPARE(stateSeen, QStringLiteral("READY"));
    QCOMPARE(testsSeen, QString::number(halted));
    QVERIFY(m_frame->IteratorCommands().Search().IsDone());

    IteratorTest reference{IteratorTest::Detached{}};
    IteratorSearch whole(reference);
    SearchWhole(reference, whole, rows);
    QCOMPARE(m_frame->IteratorCommands().Search().GetTestOrder(), whole.GetTestOrder());
    CompareKeptResults(iterator, reference);
    QVERIFY(iterator.GetKeepFlag(4));  // the tick stays with its slot
    QVERIFY(m_presenter->Codes().empty());

    // A series set up since ends the search.
    ConfigureSeries(iterator, engine, {Sweep(kItrStroke, engine, 3.40f, 3.50f, 0.05f)});
    m_frame->IteratorCommands().SetRunDialog([&](CItrRunDlg& dialog) {
        stateSeen = dialog.StateLabel()->text();
        return int(QDialog::Rejected);
    });
    m_frame->IteratorCommands().RunIterator();
    QCOMPARE(stateSeen, QStringLiteral("READY"));
    QVERIFY(!m_frame->IteratorCommands().Search().IsStarted());
}

bool IteratorCommandsTest::KeepEveryResultOfASeries(int documentsAfter)
{
    m_frame->IteratorCommands().SetRunDialog([](CItrRunDlg& dialog) {
        dialog.RestartButton()->click();
        if (!RunToTheEnd(dialog)) return int(QDialog::Rejected);
        dialog.KeepAllButton()->click();
        dialog.OkButton()->click();
        return dialog.result();
    });
    m_frame->IteratorCommands().RunIterator();
    return QTest::qWaitFor(
        [&] {
            return !m_frame->IteratorCommands().IsMakingDocuments() &&
                   m_frame->ChildFrames().size() == documentsAfter;
        },
        20000);
}

void IteratorCommandsTest::aSecondSeriesGivesItsDocumentsNamesNoOpenEngineHas()
{
    QVERIFY(OpenBaselineWithThreeTests() != nullptr);
    QVERIFY(KeepEveryResultOfASeries(4));
    // One of the first series saved: its name with ".trq" is still its name.
    ScriptedSaveAs(*m_frame, m_frame->ChildFrames()[2],
                   m_fixture->FilePath(QStringLiteral("Best2-chevy-350-street.trq")));
    QVERIFY(KeepEveryResultOfASeries(7));
    QCOMPARE(WindowTitles(*m_frame),
             (QStringList{"chevy-350-street.trq", "Best1-chevy-350-street", "Best2-chevy-350-street.trq",
                          "Best3-chevy-350-street", "Best1-chevy-350-street (2)",
                          "Best2-chevy-350-street (2)", "Best3-chevy-350-street (2)"}));
    QVERIFY(KeepEveryResultOfASeries(10));
    QCOMPARE(WindowTitles(*m_frame).mid(7),
             (QStringList{"Best1-chevy-350-street (3)", "Best2-chevy-350-street (3)",
                          "Best3-chevy-350-street (3)"}));
    QVERIFY(m_presenter->Codes().empty());
}

void IteratorCommandsTest::savedBestDocumentsAreTheCommandLinesBestFilesByteForByte()
{
    // A series that changes compression, bore and stroke: every kept engine
    // has a combustion space and volumes of its own.
    CChildFrame* child = m_frame->OpenDocumentFile(ExamplePath("chevy-350-street.trq"));
    QVERIFY(child != nullptr);
    const CTorqDoc& baseline = child->Document();
    ConfigureSeries(
        IteratorTest::Instance(), baseline,
        {Sweep(kItrCompression, baseline, 11.0f, 12.0f, 1.0f), Sweep(kItrBore, baseline, 4.0f, 4.03f, 0.03f),
         Sweep(kItrStroke, baseline, 3.48f, 3.5f, 0.02f)});
    QCOMPARE(IteratorTest::Instance().GetTotalTests(), 8);
    QVERIFY(KeepEveryResultOfASeries(9));

    const QString guiFolder = m_fixture->FilePath(QStringLiteral("gui"));
    const QString cliFolder = m_fixture->FilePath(QStringLiteral("cli"));
    QVERIFY(QDir().mkpath(guiFolder));
    const QList<CChildFrame*> made = m_frame->ChildFrames().mid(1);
    for (CChildFrame* best : made) {
        const QString name = QString::fromStdString(best->Document().GetTitle()) + QStringLiteral(".trq");
        ScriptedSaveAs(*m_frame, best, QDir(guiFolder).filePath(name));
    }

    QProcess cli;
    cli.start(
        QStringLiteral(TORQWELL_CLI_PATH),
        {QStringLiteral("iterate"), ExamplePath("chevy-350-street.trq"), "--sweep", "compression=11:12:1",
         "--sweep", "bore=4.0:4.03:0.03", "--sweep", "stroke=3.48:3.5:0.02", "--save-best", cliFolder});
    QVERIFY(cli.waitForFinished(60000));
    QCOMPARE(cli.exitCode(), 0);
    const QStringList names = QDir(cliFolder).entryList(QDir::Files, QDir::Name);
    QCOMPARE(names.size(), 8);
    QCOMPARE(QDir(guiFolder).entryList(QDir::Files, QDir::Name), names);
    for (const QString& name : names) {
        QFile fromCli(QDir(cliFolder).filePath(name));
        QFile fromGui(QDir(guiFolder).filePath(name));
        QVERIFY(fromCli.open(QIODevice::ReadOnly) && fromGui.open(QIODevice::ReadOnly));
        QCOMPARE(fromGui.readAll(), fromCli.readAll());
    }
    QVERIFY(m_presenter->Codes().empty());
}

QTEST_MAIN(IteratorCommandsTest)
#include "IteratorCommandsTest.moc"
