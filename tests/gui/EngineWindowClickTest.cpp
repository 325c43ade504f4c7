// Clicks into an engine window that is not the active one: activating it
// brings its views up to date while the click is still being delivered.

#include "GuiTestSupport.h"
#include "app/ChildFrame.h"
#include "app/MainFrame.h"
#include "app/SplitterTabWnd.h"
#include "views/Chart2dView.h"
#include "views/ChartLegend.h"

#include <QLabel>
#include <QMdiArea>
#include <QPointer>
#include <QTemporaryDir>
#include <QtTest>

class EngineWindowClickTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void aPressOnAGraphLegendOfAnotherEngineWindowActivatesThatWindow();

private:
    std::unique_ptr<TemporarySettings> m_settings;
};

void EngineWindowClickTest::initTestCase()
{
    m_settings = std::make_unique<TemporarySettings>();
}

void EngineWindowClickTest::aPressOnAGraphLegendOfAnotherEngineWindowActivatesThatWindow()
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

QTEST_MAIN(EngineWindowClickTest)
#include "EngineWindowClickTest.moc"
