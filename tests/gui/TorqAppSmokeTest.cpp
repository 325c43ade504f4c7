#include "GuiTestSupport.h"
#include "app/ChildFrame.h"
#include "app/MainFrame.h"
#include "app/SplitterTabWnd.h"
#include "app/TorqApp.h"
#include "model/Commands.h"
#include "model/EngineFile.h"
#include "views/Chart2dView.h"
#include "views/EngineFormView.h"
#include "views/ResultsTableView.h"
#include "views/TorqSpecEdit.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QMdiArea>
#include <QTemporaryDir>
#include <QtTest>

class TorqAppSmokeTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void startsWithOneNewEngineAndIgnoresTheCommandLine();
    void buildsRunsAndClearsAnEngineThroughTheMenus();
    void splashHoldsTheMainWindowForTwoSeconds();

private:
    std::unique_ptr<TemporarySettings> m_settings;
    QTemporaryDir m_folder;
};

void TorqAppSmokeTest::initTestCase() { m_settings = std::make_unique<TemporarySettings>(); }

void TorqAppSmokeTest::startsWithOneNewEngineAndIgnoresTheCommandLine()
{
    // An engine file to name on the command line.
    const QString path = m_folder.filePath("named.trq");
    {
        RecordingPresenter quiet;
        CTorqDoc engine;
        QVERIFY(ApplyChevy350Commands(engine));
        engine.Recalculate();
        QVERIFY(SaveEngineDocument(engine, path.toStdString()));
    }

    CTorqApp app({false, 0, m_folder.path()});
    QVERIFY(app.InitInstance({QStringLiteral("torqwell"), path}));
    CMainFrame* frame = app.MainFrame();
    QVERIFY(frame != nullptr);
    QCOMPARE(QCoreApplication::organizationName(), QStringLiteral("Parvane Software"));
    QCOMPARE(app.StartFolder(), m_folder.path());
    QVERIFY(frame->windowState() & Qt::WindowMaximized);
    QCOMPARE(frame->ChildFrames().size(), 1);
    CChildFrame* child = frame->ActiveChild();
    QCOMPARE(child->Document().GetTitle(), std::string("Torq1"));
    QVERIFY(!child->Document().ShortBlockType().IsSet());
    QVERIFY(child->Document().GetPathName().empty());
    QVERIFY(qobject_cast<CEngineFormView*>(child->EngineSheet()) != nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(frame));
    // 400 pixels, or half the window where that is less (the graph pane keeps at least half).
    const CTorqSplitterWnd* splitter = child->Splitter();
    const int half = (splitter->width() - splitter->handleWidth()) / 2;
    QCOMPARE(child->LeftPane()->width(), std::min(CTorqSplitterWnd::kLeftPaneWidth, half));
}

void TorqAppSmokeTest::buildsRunsAndClearsAnEngineThroughTheMenus()
{
    CTorqApp app({false, 0, m_folder.path()});
    QVERIFY(app.InitInstance({QStringLiteral("torqwell")}));
    RecordingPresenter messages;
    CMainFrame* frame = app.MainFrame();
    frame->resize(1280, 800);
    QVERIFY(QTest::qWaitForWindowExposed(frame));
    CChildFrame* child = frame->ActiveChild();
    CTorqDoc& doc = child->Document();

    // Auto Run off from the Engine menu, then the parts from the form's menus.
    frame->CommandAction(Cmd::kAutoRun)->trigger();
    QVERIFY(!doc.IsAutoRun());
    QVERIFY(ApplyChevy350Commands(doc));
    doc.Recalculate();
    QVERIFY(!doc.HasResults());
    QCOMPARE(child->LeftTable()->ScreenLayout().cells[0][0], QStringLiteral("0"));

    // Table on the left, graph on the right, as a user compares them.
    child->LeftPane()->setCurrentIndex(2);
    child->RightPane()->setCurrentIndex(0);
    QApplication::processEvents();

    QElapsedTimer timer;
    timer.start();
    frame->CommandAction(Cmd::kRun)->trigger();
    frame->repaint();
    child->LeftTable()->viewport()->repaint();
    child->RightGraph()->repaint();
    const qint64 updateMs = timer.elapsed();
    qInfo("Engine > Run! to the table and graphs drawn: %lld ms", updateMs);

    QVERIFY(messages.Codes().empty());
    QVERIFY(doc.HasResults());
    const ResultsTableLayout table = child->LeftTable()->ScreenLayout();
    for (int row = 0; row < kResultPointCount; ++row) {
        QCOMPARE(table.cells[row][0], QString::number(2000 + 500 * row));
    }
    // A small-block Chevy on the dyno: a few hundred horsepower somewhere in the range.
    double peak = 0;
    for (int row = 0; row < kResultPointCount; ++row) peak = std::max(peak, table.cells[row][1].toDouble());
    QVERIFY2(peak > 200 && peak < 700, qPrintable(QString::number(peak)));
    QCOMPARE(child->RightTable()->ScreenLayout().cells[6][3], table.cells[6][3]);
    for (CChart2dView* graph : {child->LeftGraph(), child->RightGraph()}) {
        const auto points = graph->Y1Series(0)->points();
        QCOMPARE(points[6], QPointF(doc.GetResult(kSeriesEngineSpeed, 6), doc.GetResult(kSeriesPower, 6)));
    }

    // An edit on the form with Auto Run on: OK re-runs the engine and redraws.
    frame->CommandAction(Cmd::kAutoRun)->trigger();
    QVERIFY(doc.IsAutoRun());
    auto* form = qobject_cast<CEngineFormView*>(child->EngineSheet());
    CTorqSpecEditCtrl* bore = form->Control(QStringLiteral("Bore"));
    QVERIFY(bore != nullptr);
    const QString powerBefore = table.cells[10][1];
    QVERIFY(bore->BeginEdit());
    CTorqSpecEditDlg* editor = CTorqSpecEditDlg::OpenEditor();
    QVERIFY(editor != nullptr);
    editor->TextBox()->setText(QStringLiteral("4.125"));
    timer.restart();
    editor->OkButton()->click();
    frame->repaint();
    child->LeftTable()->viewport()->repaint();
    child->RightGraph()->repaint();
    const qint64 editMs = timer.elapsed();
    qInfo("Edit OK to the table and graphs drawn: %lld ms", editMs);
    QTRY_VERIFY(CTorqSpecEditDlg::OpenEditor() == nullptr);
    QVERIFY(messages.Codes().empty());
    QCOMPARE(doc.Bore().GetValue(), 4.125f);
    QVERIFY(doc.IsModified());
    QVERIFY(child->isWindowModified());
    QVERIFY(child->LeftTable()->ScreenLayout().cells[10][1] != powerBefore);
    QCOMPARE(child->RightGraph()->Y1Series(0)->points()[10].y(), double(doc.GetResult(kSeriesPower, 10)));

    // A second engine, compared on the first one's graph, then closed.
    frame->CommandAction(FrameCmd::kFileNew)->trigger();
    CChildFrame* second = frame->ActiveChild();
    QVERIFY(second != child);
    QCOMPARE(second->Document().GetTitle(), std::string("Torq2"));
    child->RightGraph()->SetCompareDocuments({second->Document().GetDocumentNumber(), 0, 0});
    QCOMPARE(child->RightGraph()->SetCount(), 2);
    frame->CommandAction(FrameCmd::kFileClose)->trigger();
    QTRY_COMPARE(frame->ChildFrames().size(), 1);
    // Coming back to the first window updates its views: the closed engine leaves the graph.
    QCOMPARE(frame->ActiveChild(), child);
    child->Document().UpdateAllViews();
    QCOMPARE(child->RightGraph()->SetCount(), 1);

    frame->CommandAction(Cmd::kClearComponents)->trigger();
    QCOMPARE(child->LeftTable()->ScreenLayout().cells[10][1], QStringLiteral("0"));
    QVERIFY(!doc.IsModified());
    QVERIFY(frame->close());
}

void TorqAppSmokeTest::splashHoldsTheMainWindowForTwoSeconds()
{
    CTorqApp app({true, 2000, m_folder.path()});
    QVERIFY(app.InitInstance({QStringLiteral("torqwell")}));
    QVERIFY(app.SplashShownMs() >= 2000);
    QVERIFY(app.MainFrame()->isVisible());
    QCOMPARE(app.MainFrame()->ChildFrames().size(), 1);
}

QTEST_MAIN(TorqAppSmokeTest)
#include "TorqAppSmokeTest.moc"
