// Events that reach an engine window while another is under way: a click
// into a window that is not the active one (activating it brings its views
// up to date while the click is still being delivered), and a value's menu
// dropped again before the editor has closed after a choice.

#include "GuiTestFixture.h"
#include "GuiTestSupport.h"
#include "app/ChildFrame.h"
#include "app/MainFrame.h"
#include "app/SplitterTabWnd.h"
#include "commands/EngineHistory.h"
#include "views/Chart2dView.h"
#include "views/ChartLegend.h"
#include "views/EngineFormView.h"
#include "widgets/TorqSpecEdit.h"

#include <QGraphicsView>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QUndoStack>
#include <QtTest>

#include <functional>
#include <vector>

class EngineWindowEventsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void aPressOnAGraphLegendOfAnotherEngineWindowActivatesThatWindow();
    void aPressOnTheGraphOfAnotherEngineWindowActivatesThatWindow();
    void aValuesMenuDroppedAgainBeforeItsEditorClosedTakesNoSecondChoice();
    void escapeBeforeTheEditorClosedAfterAChoiceStillEndsTheEdit();

private:
    std::unique_ptr<GuiTestFixture> m_fixture;
};

void EngineWindowEventsTest::initTestCase()
{
    m_fixture = std::make_unique<GuiTestFixture>();
}

void EngineWindowEventsTest::aPressOnAGraphLegendOfAnotherEngineWindowActivatesThatWindow()
{
    RecordingPresenter messages;
    QTemporaryDir folder;
    CMainFrame frame(folder.path());
    frame.resize(1280, 900);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    CChildFrame* first = frame.OpenExample(QDir(frame.ExampleFolder()).filePath("chevy-350-street.trq"));
    CChildFrame* second = frame.OpenExample(QDir(frame.ExampleFolder()).filePath("ford-302-nitrous.trq"));
    QVERIFY(first != nullptr && second != nullptr);
    // Both windows on show, side by side, the second one active.
    frame.CommandAction(FrameCmd::kViewWorkbook)->trigger();
    QCOMPARE(frame.MdiArea()->viewMode(), QMdiArea::SubWindowView);
    frame.CommandAction(FrameCmd::kWindowTile)->trigger();
    frame.MdiArea()->setActiveSubWindow(second);
    QCOMPARE(frame.ActiveChild(), second);

    // The legend under the first window's graph names the engine's curves.
    first->RightPane()->setCurrentWidget(first->RightGraph());
    QApplication::processEvents();
    QLabel* entry = nullptr;
    for (QLabel* label :
         first->RightGraph()->findChildren<CChartLegend*>().value(0)->findChildren<QLabel*>()) {
        if (label->isVisible() && !label->text().isEmpty()) entry = label;
    }
    QVERIFY(entry != nullptr);

    // The press activates the first window, whose views are redrawn then: the
    // legend's entries that go must outlive the press delivered to one of them.
    const QPointer<QLabel> pressed(entry);
    QTest::mousePress(entry, Qt::LeftButton, {}, entry->rect().center());
    if (pressed != nullptr) QTest::mouseRelease(entry, Qt::LeftButton, {}, entry->rect().center());
    QTRY_COMPARE(frame.ActiveChild(), first);
    QVERIFY(messages.Codes().empty());
}

void EngineWindowEventsTest::aPressOnTheGraphOfAnotherEngineWindowActivatesThatWindow()
{
    RecordingPresenter messages;
    QTemporaryDir folder;
    CMainFrame frame(folder.path());
    frame.resize(1280, 900);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    CChildFrame* first = frame.OpenExample(QDir(frame.ExampleFolder()).filePath("chevy-350-street.trq"));
    CChildFrame* second = frame.OpenExample(QDir(frame.ExampleFolder()).filePath("ford-302-nitrous.trq"));
    QVERIFY(first != nullptr && second != nullptr);
    frame.CommandAction(FrameCmd::kViewWorkbook)->trigger();
    frame.CommandAction(FrameCmd::kWindowTile)->trigger();
    frame.MdiArea()->setActiveSubWindow(second);
    first->RightPane()->setCurrentWidget(first->RightGraph());
    QApplication::processEvents();

    // A press at each point of a grid over the first window's graph, the
    // second window active again before each: the curves, the peak labels
    // and the plot area the press lands on are drawn anew as it activates.
    QGraphicsView* view = first->RightGraph()->findChild<QGraphicsView*>();
    QVERIFY(view != nullptr);
    QWidget* plot = view->viewport();
    for (int x = 1; x < 8; ++x) {
        for (int y = 1; y < 8; ++y) {
            frame.MdiArea()->setActiveSubWindow(second);
            QApplication::processEvents();
            const QPoint at(plot->width() * x / 8, plot->height() * y / 8);
            QTest::mousePress(plot, Qt::LeftButton, {}, at);
            QTest::mouseRelease(plot, Qt::LeftButton, {}, at);
            QTRY_COMPARE(frame.ActiveChild(), first);
        }
    }
    QVERIFY(messages.Codes().empty());
}

QAction* FindEntry(QMenu* menu, const QString& start)
{
    for (QAction* action : menu->actions()) {
        if (action->text().startsWith(start)) return action;
    }
    return nullptr;
}

void EngineWindowEventsTest::aValuesMenuDroppedAgainBeforeItsEditorClosedTakesNoSecondChoice()
{
    RecordingPresenter messages;
    QTemporaryDir folder;
    CMainFrame frame(folder.path());
    frame.resize(1280, 900);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    CChildFrame* child = frame.OpenExample(QDir(frame.ExampleFolder()).filePath("chevy-350-street.trq"));
    QVERIFY(child != nullptr);
    CTorqDoc& doc = child->Document();
    auto* form = qobject_cast<CEngineFormView*>(child->EngineSheet());
    CTorqSpecEditCtrl* ratio = form->Control(QStringLiteral("Compression Ratio"));
    QVERIFY(ratio != nullptr && ratio->BeginEdit());
    CTorqSpecEditDlg* editor = CTorqSpecEditDlg::OpenEditor();
    QVERIFY(editor != nullptr);

    // As fast hands (or a script) do it, each step an event of its own, the
    // next one already waiting when a step runs: the menu dropped and 15.0:1
    // chosen (the editor closes with OK once that event is done), the menu
    // dropped again before the close has come, and 11.0:1 chosen once it has.
    QToolButton* button = editor->MenuButton();
    const auto choose = [](const QString& entry) {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr) return;
        menu->setActiveAction(FindEntry(menu, entry));
        QTest::keyClick(menu, Qt::Key_Return);
    };
    const QPointer<QToolButton> alive(button);
    const std::vector<std::function<void()>> steps = {
        [button] { QTest::mousePress(button, Qt::LeftButton); },
        [choose] { choose(QStringLiteral("15.0:1")); },
        [alive] {
            if (alive != nullptr && CTorqSpecEditDlg::OpenEditor() != nullptr)
                QTest::mousePress(alive, Qt::LeftButton);
        },
        [choose] { choose(QStringLiteral("11.0:1")); },
    };
    std::size_t next = 0;
    std::function<void()> run = [&] {
        if (next == steps.size()) return;
        const std::size_t step = next++;
        QTimer::singleShot(0, &frame, run);
        steps[step]();
    };
    QTimer::singleShot(0, &frame, run);
    QTRY_VERIFY(next == steps.size() && CTorqSpecEditDlg::OpenEditor() == nullptr &&
                QApplication::activePopupWidget() == nullptr);

    // The menu went with its editor: the engine holds the one choice, with
    // the combustion space it gives.
    QCOMPARE(doc.CompressionRatio().GetValue(), 15.0f);
    CTorqDoc recalculated;
    doc.CopyTo(recalculated);
    recalculated.SetAutoRun(false);
    recalculated.Recalculate();
    QCOMPARE(doc.CombustionSpace().GetValue(), recalculated.CombustionSpace().GetValue());
    QVERIFY(messages.Codes().empty());
}

void EngineWindowEventsTest::escapeBeforeTheEditorClosedAfterAChoiceStillEndsTheEdit()
{
    RecordingPresenter messages;
    QTemporaryDir folder;
    CMainFrame frame(folder.path());
    frame.resize(1280, 900);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    CChildFrame* child = frame.OpenExample(QDir(frame.ExampleFolder()).filePath("chevy-350-street.trq"));
    QVERIFY(child != nullptr);
    CTorqDoc& doc = child->Document();
    QVERIFY(!doc.Cam().IsAutoValveLift());
    const int changes = child->History()->Stack()->count();
    auto* form = qobject_cast<CEngineFormView*>(child->EngineSheet());
    CTorqSpecEditCtrl* lift = form->Control(QStringLiteral("Exhaust Valve Lift"));
    QVERIFY(lift != nullptr && lift->BeginEdit());
    CTorqSpecEditDlg* editor = CTorqSpecEditDlg::OpenEditor();
    QVERIFY(editor != nullptr);

    // The choice is taken, and Escape comes before the editor's posted close.
    QAction* automatic = FindEntry(editor->Menu(), QStringLiteral("Auto Calculate Valve Lift"));
    QVERIFY(automatic != nullptr);
    automatic->trigger();
    QTest::keyClick(editor->TextBox(), Qt::Key_Escape);
    QTRY_VERIFY(CTorqSpecEditDlg::OpenEditor() == nullptr);

    // The engine has the choice with the lifts it gives, and Undo can take it back.
    QVERIFY(doc.Cam().IsAutoValveLift());
    CTorqDoc recalculated;
    doc.CopyTo(recalculated);
    recalculated.SetAutoRun(false);
    recalculated.Recalculate();
    QCOMPARE(doc.Cam().ExhaustLift().GetValue(), recalculated.Cam().ExhaustLift().GetValue());
    QCOMPARE(child->History()->Stack()->count(), changes + 1);
    QVERIFY(messages.Codes().empty());
}

QTEST_MAIN(EngineWindowEventsTest)
#include "EngineWindowEventsTest.moc"
