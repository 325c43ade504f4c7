// The main window's commands on measured pulls: Graph > Add Measured Pull...
// with its units question and the reader's messages, Remove Measured Pull,
// the pulls remembered beside an engine file and offered when it opens
// again, and File > Open Example > Reference Engines with its published peaks.

#include "GuiTestFixture.h"
#include "GuiTestSupport.h"
#include "app/ChildFrame.h"
#include "app/MainFrame.h"
#include "app/PullCommands.h"
#include "app/RememberedPulls.h"
#include "report/MeasuredPulls.h"
#include "views/Chart2dView.h"

#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QtTest>

#include <deque>
#include <memory>

namespace {

constexpr double kHpPerKw = 1000.0 / 745.699872;
constexpr double kLbFtPerNm = 1.0 / 1.3558179483;
const QString kExamples = QStringLiteral(TORQWELL_SOURCE_DIR "/examples");

// Power without a unit, torque in N·m and a column the reader does not use.
const char* const kPullText =
    "RPM,Power,Torque (Nm),AFR\n3000,100,300,12.5\n4000,140,330,12.6\n5000,160,300,12.8\n6000,150,240,12.9\n";

// The answers the tests give the dialogs, and what the commands asked.
struct Answers {
    std::vector<std::pair<bool, bool>> unitQuestions;  // power asked, torque asked
    PullPowerUnit powerUnit = PullPowerUnit::Kilowatt;
    QStringList refusals;
    QStringList notes;
    QStringList offeredEngines;
    QStringList offeredPulls;
    bool addOffered = true;

    void Install(CPullCommands& commands)
    {
        commands.SetUnitsChooser(
            [this](QWidget*, const QString&, bool askPower, bool askTorque, PullReadOptions& options) {
                unitQuestions.emplace_back(askPower, askTorque);
                options.powerUnit = powerUnit;
                return true;
            });
        commands.SetMessageShower(
            [this](QWidget*, const QString& text, bool refusal) { (refusal ? refusals : notes) << text; });
        commands.SetOfferPrompt([this](QWidget*, const QString& engine, const QStringList& pulls) {
            offeredEngines << engine;
            offeredPulls += pulls;
            return addOffered;
        });
    }
};

QMenu* SubMenu(QMenu* menu, const QString& title)
{
    for (QAction* action : menu->actions()) {
        if (action->menu() != nullptr && action->text() == title) return action->menu();
    }
    return nullptr;
}

}  // namespace

class PullCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void theGraphMenuAddsAPullAskingOnlyForTheUnitsItsFileDoesNotName();
    void aFileThatIsNoPullIsRefusedWithTheReadersReasonAndAddsNothing();
    void removingAPullTakesItOffTheGraphAndOutOfWhatIsRemembered();
    void thePullsOfAnEngineFileAreOfferedAgainWhenItOpensAgain();
    void theReferenceEnginesOpenWithTheirPublishedPeaksMarked();
    void theExportedDynoSheetCarriesTheEnginesPulls();

private:
    // A copy of the Chevy 350 example in the scratch folder, opened.
    CChildFrame* OpenEngine();
    QString WritePull(const QString& name, const char* text) const;

    std::unique_ptr<GuiTestFixture> m_fixture;
    std::unique_ptr<RecordingPresenter> m_presenter;
    std::unique_ptr<CMainFrame> m_frame;
    Answers m_answers;
    std::deque<QString> m_chosenFiles;
};

void PullCommandsTest::init()
{
    m_fixture = std::make_unique<GuiTestFixture>();
    m_presenter = std::make_unique<RecordingPresenter>();
    m_frame = std::make_unique<CMainFrame>(m_fixture->Folder());
    m_answers = Answers{};
    m_answers.Install(m_frame->PullCommands());
    m_chosenFiles.clear();
    m_frame->SetFileNameChooser([this](QWidget*, const FileDialogRequest&) {
        if (m_chosenFiles.empty()) return QString();
        const QString path = m_chosenFiles.front();
        m_chosenFiles.pop_front();
        return path;
    });
}

void PullCommandsTest::cleanup()
{
    m_frame.reset();
    m_presenter.reset();
    m_fixture.reset();
}

CChildFrame* PullCommandsTest::OpenEngine()
{
    const QString copy = m_fixture->FilePath(QStringLiteral("chevy-350-street.trq"));
    if (!QFile::exists(copy)) QFile::copy(kExamples + QStringLiteral("/chevy-350-street.trq"), copy);
    return m_frame->OpenDocumentFile(copy);
}

QString PullCommandsTest::WritePull(const QString& name, const char* text) const
{
    QFile file(m_fixture->FilePath(name));
    if (!file.open(QIODevice::WriteOnly)) return {};
    file.write(text);
    return file.fileName();
}

void PullCommandsTest::theGraphMenuAddsAPullAskingOnlyForTheUnitsItsFileDoesNotName()
{
    CPullCommands& commands = m_frame->PullCommands();
    QVERIFY(!commands.AddPullAction()->isEnabled());  // no engine yet
    CChildFrame* child = OpenEngine();
    QVERIFY(child != nullptr);
    QVERIFY(commands.AddPullAction()->isEnabled());
    QCOMPARE(commands.GraphMenu()->title(), QStringLiteral("&Graph"));
    QCOMPARE(commands.AddPullAction()->text(), QStringLiteral("Add Measured &Pull..."));
    QCOMPARE(commands.MatchAction()->text(), QStringLiteral("Match To &Dyno..."));

    m_chosenFiles.push_back(WritePull(QStringLiteral("day1.csv"), kPullText));
    commands.AddPullAction()->trigger();
    // Torque says N·m in its header; power is asked for, and kW chosen.
    QCOMPARE(m_answers.unitQuestions, (std::vector<std::pair<bool, bool>>{{true, false}}));
    const CMeasuredPulls& measured = child->MeasuredPulls();
    QCOMPARE(measured.Pulls().size(), std::size_t(1));
    const MeasuredPull& pull = measured.Pulls()[0];
    QCOMPARE(pull.FileName(), QStringLiteral("day1.csv"));
    QCOMPARE(pull.options.powerUnit, PullPowerUnit::Kilowatt);
    QCOMPARE(pull.pull.rows[0].powerHp, 100.0 * kHpPerKw);
    QCOMPARE(pull.pull.rows[0].torqueLbFt, 300.0 * kLbFtPerNm);
    // The reader's note on the column it skipped is shown, and nothing is refused.
    QCOMPARE(m_answers.notes.size(), 1);
    QVERIFY2(m_answers.notes[0].contains(QStringLiteral("AFR")), qPrintable(m_answers.notes[0]));
    QVERIFY(m_answers.refusals.isEmpty());
    // Both graphs of the window draw it.
    int drawn = 0;
    for (const ChartCurve& curve : child->LeftGraph()->Picture().curves)
        drawn += curve.legend == QStringLiteral("Measured: day1.csv") ? 1 : 0;
    QCOMPARE(drawn, 2);
    QVERIFY(child->RightGraph()->MeasuredPulls() == &measured);
    QVERIFY(m_presenter->Codes().empty());

    // Cancelling the file dialog adds nothing.
    commands.AddPullAction()->trigger();
    QCOMPARE(measured.Pulls().size(), std::size_t(1));
}

void PullCommandsTest::aFileThatIsNoPullIsRefusedWithTheReadersReasonAndAddsNothing()
{
    CChildFrame* child = OpenEngine();
    m_chosenFiles.push_back(
        WritePull(QStringLiteral("bad.csv"), "RPM,Power\n3000,100\n4000,x\n5000,1\n6000,2\n"));
    m_frame->PullCommands().AddPullAction()->trigger();
    QCOMPARE(m_answers.refusals.size(), 1);
    QVERIFY2(m_answers.refusals[0].contains(QStringLiteral("bad.csv")), qPrintable(m_answers.refusals[0]));
    QVERIFY2(m_answers.refusals[0].contains(QStringLiteral("line 3, column 2")),
             qPrintable(m_answers.refusals[0]));
    QVERIFY(child->MeasuredPulls().IsEmpty());
    QVERIFY(m_answers.unitQuestions.empty());
}

void PullCommandsTest::removingAPullTakesItOffTheGraphAndOutOfWhatIsRemembered()
{
    CChildFrame* child = OpenEngine();
    CPullCommands& commands = m_frame->PullCommands();
    QVERIFY(commands.AddPullFile(*child, WritePull(QStringLiteral("day1.csv"), kPullText), {}, false));
    QVERIFY(commands.AddPullFile(*child, WritePull(QStringLiteral("day2.csv"), kPullText), {}, false));
    const QString engine = m_fixture->FilePath(QStringLiteral("chevy-350-street.trq"));
    QCOMPARE(RememberedPullsOf(engine).size(), std::size_t(2));

    emit commands.RemoveMenu()->aboutToShow();
    QStringList entries;
    for (QAction* action : commands.RemoveMenu()->actions()) entries << action->text();
    QCOMPARE(entries, (QStringList{"Measured: day1.csv", "Measured: day2.csv"}));
    commands.RemoveMenu()->actions()[0]->trigger();
    QCOMPARE(child->MeasuredPulls().Pulls().size(), std::size_t(1));
    QCOMPARE(child->MeasuredPulls().Pulls()[0].FileName(), QStringLiteral("day2.csv"));
    const auto remembered = RememberedPullsOf(engine);
    QCOMPARE(remembered.size(), std::size_t(1));
    QCOMPARE(remembered[0].path, m_fixture->FilePath(QStringLiteral("day2.csv")));

    commands.RemovePull(*child, 0);
    QVERIFY(RememberedPullsOf(engine).empty());
    emit commands.RemoveMenu()->aboutToShow();
    QCOMPARE(commands.RemoveMenu()->actions().size(), 1);
    QVERIFY(!commands.RemoveMenu()->actions()[0]->isEnabled());  // "(no measured pulls)"
}

void PullCommandsTest::thePullsOfAnEngineFileAreOfferedAgainWhenItOpensAgain()
{
    CChildFrame* child = OpenEngine();
    m_chosenFiles.push_back(WritePull(QStringLiteral("day1.csv"), kPullText));
    m_frame->PullCommands().AddPullAction()->trigger();
    QCOMPARE(child->MeasuredPulls().Pulls().size(), std::size_t(1));
    // The engine file itself does not change.
    const QString engine = m_fixture->FilePath(QStringLiteral("chevy-350-street.trq"));
    QFile original(kExamples + QStringLiteral("/chevy-350-street.trq"));
    QFile copy(engine);
    QVERIFY(original.open(QIODevice::ReadOnly) && copy.open(QIODevice::ReadOnly));
    QCOMPARE(copy.readAll(), original.readAll());
    child->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(m_frame->ChildFrames().isEmpty());

    // Declined: the engine opens without them, and they stay remembered.
    m_answers.addOffered = false;
    child = OpenEngine();
    QCOMPARE(m_answers.offeredEngines, QStringList{"chevy-350-street.trq"});
    QCOMPARE(m_answers.offeredPulls, QStringList{"day1.csv"});
    QVERIFY(child->MeasuredPulls().IsEmpty());
    child->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // Taken: added again with the units chosen the first time, not asked again.
    m_answers.addOffered = true;
    child = OpenEngine();
    QCOMPARE(m_answers.offeredEngines.size(), 2);
    QCOMPARE(child->MeasuredPulls().Pulls().size(), std::size_t(1));
    QCOMPARE(child->MeasuredPulls().Pulls()[0].options.powerUnit, PullPowerUnit::Kilowatt);
    QCOMPARE(child->MeasuredPulls().Pulls()[0].pull.rows[0].powerHp, 100.0 * kHpPerKw);
    QCOMPARE(m_answers.unitQuestions.size(), std::size_t(1));

    // Saved under another name, the engine takes its pulls along.
    const QString renamed = m_fixture->FilePath(QStringLiteral("renamed.trq"));
    m_chosenFiles.push_back(renamed);
    QVERIFY(m_frame->SaveDocument(*child, true));
    QCOMPARE(RememberedPullsOf(renamed).size(), std::size_t(1));
    // A pull file that has gone since is refused with its reason; the others still come.
    QVERIFY(QFile::remove(m_fixture->FilePath(QStringLiteral("day1.csv"))));
    child->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    child = m_frame->OpenDocumentFile(renamed);
    QVERIFY(child->MeasuredPulls().IsEmpty());
    QCOMPARE(m_answers.refusals.size(), 1);
    QVERIFY2(m_answers.refusals[0].contains(QStringLiteral("cannot be read")),
             qPrintable(m_answers.refusals[0]));
}

void PullCommandsTest::theReferenceEnginesOpenWithTheirPublishedPeaksMarked()
{
    QMenu* examples = m_frame->ExampleMenu();
    emit examples->aboutToShow();
    QMenu* reference = SubMenu(examples, QStringLiteral("&Reference Engines"));
    QVERIFY(reference != nullptr);
    QCOMPARE(reference->actions().size(), 15);
    QAction* stock = reference->actions()[0];
    QCOMPARE(stock->text(), QStringLiteral("GM Goodwrench 350, stock"));
    stock->trigger();
    CChildFrame* child = m_frame->ActiveChild();
    QVERIFY(child != nullptr);
    QCOMPARE(child->Document().GetTitle(), std::string("goodwrench-350-stock.trq"));
    QVERIFY(child->Document().GetPathName().empty());  // opened as a new engine, as every example
    QVERIFY(child->Document().HasResults());
    const auto& published = child->MeasuredPulls().Published();
    QVERIFY(published.has_value());
    QCOMPARE(published->engineName, QStringLiteral("GM Goodwrench 350, stock"));
    // The published 239 hp at 4100 rpm and 324 lb-ft at 3700 rpm stand on the graph.
    QList<QPointF> marks;
    for (const ChartCurve& curve : child->LeftGraph()->Picture().curves) {
        if (curve.legend == QStringLiteral("Published: GM Goodwrench 350, stock")) marks += curve.points;
    }
    QCOMPARE(marks, (QList<QPointF>{QPointF(4100, 239), QPointF(3700, 324)}));
    // Rebuilding the menu leaves one submenu, not one more each time.
    emit examples->aboutToShow();
    QCOMPARE(examples->findChildren<QMenu*>(Qt::FindDirectChildrenOnly).size(), 1);
}

void PullCommandsTest::theExportedDynoSheetCarriesTheEnginesPulls()
{
    CChildFrame* child = OpenEngine();
    QVERIFY(m_frame->PullCommands().AddPullFile(*child, WritePull(QStringLiteral("day1.csv"), kPullText), {},
                                                false));
    const QString sheet = m_fixture->FilePath(QStringLiteral("sheet.svg"));
    m_chosenFiles.push_back(sheet);
    QVERIFY(m_frame->OnExportDynoSheet());
    QFile file(sheet);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray svg = file.readAll();
    QVERIFY(svg.contains("Measured: day1.csv"));
    QVERIFY(svg.contains("RMS difference"));
}

QTEST_MAIN(PullCommandsTest)
#include "PullCommandsTest.moc"
