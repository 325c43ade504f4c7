#include "GuiTestFixture.h"
#include "GuiTestSupport.h"
#include "app/ChildFrame.h"
#include "app/MainFrame.h"
#include "app/SplitterTabWnd.h"
#include "model/EngineFile.h"
#include "model/MenuCommands.h"
#include "model/ResultsCsv.h"
#include "views/Chart2dView.h"
#include "views/EngineFormView.h"
#include "views/ResultsTableView.h"
#include "widgets/TorqSpecEdit.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMimeData>
#include <QMouseEvent>
#include <QProcess>
#include <QSplitterHandle>
#include <QTabBar>
#include <QtTest>

#include <deque>
#include <memory>

namespace {

// Answers the file dialogs from a queue.
struct ScriptedChooser {
    std::deque<QString> answers;

    CMainFrame::FileNameChooser Function()
    {
        return [this](QWidget*, const FileDialogRequest&) {
            if (answers.empty()) return QString();
            const QString answer = answers.front();
            answers.pop_front();
            return answer;
        };
    }
};

QStringList ExampleEngines()
{
    const QDir examples(QStringLiteral(TORQWELL_SOURCE_DIR "/examples"));
    QStringList paths;
    for (const QString& name : examples.entryList({QStringLiteral("*.trq")}, QDir::Files, QDir::Name)) {
        paths << examples.filePath(name);
    }
    return paths;
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A click on a sheet tab, as the user turns to that sheet.
void ClickTab(CSplitterPaneTabWnd* pane, int index)
{
    QTabBar* bar = pane->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
}

}  // namespace

class ResultsSharingTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void exportedResultsAreByteIdenticalToTheCommandLine();
    void theDynoSheetIsExportedAndAnUnwritableTargetIsReported();
    void resultsOfAnEngineChangedSinceItsRunAreRunAgainBeforeTheyLeave();
    void printFollowsTheSheetTheUserSeesNotTheKeyboardFocus();
    void editCopyPutsTheShownTableOnTheClipboard();
    void aClosedEngineLeavesTheOtherGraphsAtOnce();
    void theSplitterRemembersTheLeftPaneAndGivesWayInANarrowWindow();

private:
    std::unique_ptr<GuiTestFixture> m_fixture;
};

void ResultsSharingTest::init()
{
    m_fixture = std::make_unique<GuiTestFixture>();
}

void ResultsSharingTest::exportedResultsAreByteIdenticalToTheCommandLine()
{
    CMainFrame frame(m_fixture->Folder());
    ScriptedChooser chooser;
    frame.SetFileNameChooser(chooser.Function());
    const QStringList engines = ExampleEngines();
    QVERIFY(engines.size() >= 7);
    for (const QString& engine : engines) {
        QVERIFY(frame.OpenDocumentFile(engine) != nullptr);
        // "torqwell-cli run" opens the engine and runs it: Run! does the same here.
        frame.CommandAction(Cmd::kRun)->trigger();
        const QString csv =
            m_fixture->FilePath(QFileInfo(engine).completeBaseName() + QStringLiteral(".csv"));
        chooser.answers.push_back(csv);
        QVERIFY(frame.OnExportResults());

        QProcess cli;
        cli.start(QStringLiteral(TORQWELL_CLI_PATH),
                  {QStringLiteral("run"), engine, QStringLiteral("--format"), QStringLiteral("csv")});
        QVERIFY(cli.waitForFinished(20000));
        QCOMPARE(cli.exitCode(), 0);
        const QByteArray expected = cli.readAllStandardOutput();
        QVERIFY(expected.startsWith("rpm,power,torque,"));
        QCOMPARE(ReadAll(csv), expected);
    }
}

void ResultsSharingTest::resultsOfAnEngineChangedSinceItsRunAreRunAgainBeforeTheyLeave()
{
    CMainFrame frame(m_fixture->Folder());
    ScriptedChooser chooser;
    frame.SetFileNameChooser(chooser.Function());
    CChildFrame* child =
        frame.OpenDocumentFile(QStringLiteral(TORQWELL_SOURCE_DIR "/examples/chevy-350-street.trq"));
    QVERIFY(child != nullptr);
    CTorqDoc& doc = child->Document();
    frame.CommandAction(Cmd::kAutoRun)->trigger();  // off
    QVERIFY(!doc.IsAutoRun());
    const std::string before = FormatResultsCsv(doc);
    doc.CompressionRatio().SetValue(10.5f);
    doc.Recalculate();
    QVERIFY(doc.AreResultsStale());
    QCOMPARE(FormatResultsCsv(doc), before);  // the graph and table grey these out

    const QString csv = m_fixture->FilePath(QStringLiteral("changed.csv"));
    chooser.answers.push_back(csv);
    QVERIFY(frame.OnExportResults());
    QVERIFY(!doc.AreResultsStale());
    QVERIFY(ReadAll(csv).toStdString() != before);
    QCOMPARE(ReadAll(csv).toStdString(), FormatResultsCsv(doc));
}

void ResultsSharingTest::theDynoSheetIsExportedAndAnUnwritableTargetIsReported()
{
    CMainFrame frame(m_fixture->Folder());
    ScriptedChooser chooser;
    frame.SetFileNameChooser(chooser.Function());
    QStringList errors;
    frame.SetExportErrorShower([&errors](QWidget*, const QString&, const QString& text) { errors << text; });
    QVERIFY(!frame.CommandAction(FrameCmd::kExportDynoSheet)->isEnabled());
    CChildFrame* child = frame.OpenDocumentFile(ExampleEngines().front());
    QVERIFY(child != nullptr);
    QVERIFY(frame.CommandAction(FrameCmd::kExportDynoSheet)->isEnabled());

    const QString pdf = m_fixture->FilePath(QStringLiteral("sheet.pdf"));
    chooser.answers.push_back(pdf);
    QVERIFY(frame.OnExportDynoSheet());
    const QByteArray bytes = ReadAll(pdf);
    QVERIFY(bytes.startsWith("%PDF"));
    QCOMPARE(bytes.count("/Type /Page\n"), 1);
    QVERIFY(errors.isEmpty());

    const QString missing = m_fixture->FilePath(QStringLiteral("gone/sheet.png"));
    chooser.answers.push_back(missing);
    QVERIFY(!frame.OnExportDynoSheet());
    QCOMPARE(errors.size(), 1);
    QVERIFY(errors.front().contains(missing));
    QVERIFY(!QFile::exists(missing));
}

void ResultsSharingTest::printFollowsTheSheetTheUserSeesNotTheKeyboardFocus()
{
    CMainFrame frame(m_fixture->Folder());
    frame.resize(1100, 700);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    CChildFrame* child = frame.NewDocument();
    QApplication::processEvents();
    QAction* print = frame.CommandAction(FrameCmd::kFilePrint);
    QCOMPARE(child->ActiveSheet(), child->EngineSheet());
    QVERIFY(print->toolTip().contains(QStringLiteral("Engine sheet of Torq1 (left pane)")));

    // The user puts a value of the form in focus, then turns the right pane to its table.
    child->EngineSheet()->Controls().front()->setFocus();
    ClickTab(child->RightPane(), 1);
    QApplication::processEvents();
    QCOMPARE(child->ActiveSheet(), child->RightTable());
    QVERIFY2(print->toolTip().contains(QStringLiteral("Table sheet of Torq1 (right pane)")),
             qPrintable(print->toolTip()));

    // A click in the left pane's graph makes that the sheet printed.
    ClickTab(child->LeftPane(), 1);
    QApplication::processEvents();
    QTest::mouseClick(child->LeftGraph(), Qt::LeftButton, {}, QPoint(50, 50));
    QCOMPARE(child->ActiveSheet(), child->LeftGraph());
    QVERIFY(print->toolTip().contains(QStringLiteral("Graph sheet of Torq1 (left pane)")));
    // Focus moving into the other pane by itself does not change it.
    child->RightTable()->setFocus();
    QApplication::processEvents();
    QCOMPARE(child->ActiveSheet(), child->LeftGraph());
    QTest::mouseClick(child->RightTable()->viewport(), Qt::LeftButton, {}, QPoint(30, 30));
    QCOMPARE(child->ActiveSheet(), child->RightTable());
}

void ResultsSharingTest::editCopyPutsTheShownTableOnTheClipboard()
{
    CMainFrame frame(m_fixture->Folder());
    frame.resize(1100, 700);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    CChildFrame* child = frame.OpenDocumentFile(ExampleEngines().front());
    QVERIFY(child != nullptr);
    QApplication::processEvents();
    QAction* copy = frame.CommandAction(FrameCmd::kEditCopy);
    QVERIFY(!copy->isEnabled());  // nothing to copy from the engine form
    ClickTab(child->LeftPane(), 2);
    QApplication::processEvents();
    QVERIFY(copy->isEnabled());
    QApplication::clipboard()->clear();
    copy->trigger();
    const QMimeData* data = QApplication::clipboard()->mimeData();
    QVERIFY(data != nullptr);
    QVERIFY(data->text().startsWith(QStringLiteral("RPM\tPower (hp)\tTorque (ft-lbs)")));
    QCOMPARE(data->text().count(QLatin1Char('\n')), 1 + kResultPointCount);
    QVERIFY(data->hasHtml());

    // On a graph, Copy puts the picture on the clipboard.
    ClickTab(child->LeftPane(), 1);
    QApplication::processEvents();
    copy->trigger();
    QVERIFY(!QApplication::clipboard()->image().isNull());
}

void ResultsSharingTest::aClosedEngineLeavesTheOtherGraphsAtOnce()
{
    CMainFrame frame(m_fixture->Folder());
    CChildFrame* first = frame.NewDocument();
    CChildFrame* second = frame.NewDocument();
    QVERIFY(ApplyChevy350Commands(second->Document()));
    second->Document().Recalculate();
    frame.MdiArea()->setActiveSubWindow(first);
    first->RightGraph()->SetCompareDocuments({second->Document().GetDocumentNumber(), 0, 0});
    QCOMPARE(first->RightGraph()->SetCount(), 2);

    // The other engine's window closes while the first stays active: no
    // update of the first engine comes, and still the curves go at once.
    second->close();
    QCOMPARE(frame.ActiveChild(), first);
    QCOMPARE(first->RightGraph()->SetCount(), 1);
    QCOMPARE(first->RightGraph()->Picture().curves.size(), std::size_t{2});
}

void ResultsSharingTest::theSplitterRemembersTheLeftPaneAndGivesWayInANarrowWindow()
{
    CMainFrame frame(m_fixture->Folder());
    frame.resize(1280, 800);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    CChildFrame* child = frame.NewDocument();
    QApplication::processEvents();
    CTorqSplitterWnd* splitter = child->Splitter();
    QCOMPARE(splitter->sizes().front(), CTorqSplitterWnd::kLeftPaneWidth);

    // The user drags the handle 120 pixels to the right.
    QSplitterHandle* handle = splitter->handle(1);
    const QPoint grip = handle->rect().center();
    QMouseEvent press(QEvent::MouseButtonPress, grip, handle->mapToGlobal(grip), Qt::LeftButton,
                      Qt::LeftButton, {});
    QApplication::sendEvent(handle, &press);
    const QPoint to = grip + QPoint(120, 0);
    QMouseEvent move(QEvent::MouseMove, to, handle->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(handle, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, to, handle->mapToGlobal(to), Qt::LeftButton, Qt::NoButton,
                        {});
    QApplication::sendEvent(handle, &release);
    const int dragged = splitter->sizes().front();
    QVERIFY2(dragged > CTorqSplitterWnd::kLeftPaneWidth + 100, qPrintable(QString::number(dragged)));
    QCOMPARE(CTorqSplitterWnd::RememberedLeftPaneWidth(), dragged);

    // The next engine window opens with that width.
    CChildFrame* next = frame.NewDocument();
    QApplication::processEvents();
    QCOMPARE(next->Splitter()->sizes().front(), dragged);

    // In a window of 1024 x 600 the graph pane keeps at least half.
    frame.resize(1024, 600);
    QApplication::processEvents();
    const QList<int> sizes = next->Splitter()->sizes();
    QVERIFY2(sizes[1] >= sizes[0], qPrintable(QStringLiteral("%1 %2").arg(sizes[0]).arg(sizes[1])));
}

QTEST_MAIN(ResultsSharingTest)
#include "ResultsSharingTest.moc"
