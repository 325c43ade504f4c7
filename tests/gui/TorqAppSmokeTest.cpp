#include "GuiTestFixture.h"
#include "GuiTestSupport.h"
#include "app/ChildFrame.h"
#include "app/MainFrame.h"
#include "app/SplitterTabWnd.h"
#include "app/TorqApp.h"
#include "model/EngineFile.h"
#include "model/MenuCommands.h"
#include "views/Chart2dView.h"
#include "views/EngineFormView.h"
#include "views/ResultsTableView.h"
#include "widgets/TorqSpecEdit.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QLineSeries>
#include <QMdiArea>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <cstdio>

class TorqAppSmokeTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void startsWithOneNewEngineThenOpensTheFilesNamedOnTheCommandLine();
    void buildsRunsAndClearsAnEngineThroughTheMenus();
    void splashHoldsTheMainWindowForTwoSeconds();
    void optionsAreNoFilesAndDoubleDashEndsThem();

private:
    std::unique_ptr<GuiTestFixture> m_fixture;  // one for the whole run
};

void TorqAppSmokeTest::initTestCase()
{
    m_fixture = std::make_unique<GuiTestFixture>();
}

void TorqAppSmokeTest::startsWithOneNewEngineThenOpensTheFilesNamedOnTheCommandLine()
{
    // Two engine files to name on the command line, one of them with a byte
    // in its name that is no UTF-8: the name must reach the file system as it is.
    const QString path = m_fixture->FilePath("named.trq");
    const std::string oddPath = QFile::encodeName(m_fixture->Folder()).toStdString() + "/odd\xff.trq";
    // The temporary folder cannot name this file to remove it: the test does.
    struct RemoveAtEnd {
        const std::string& path;
        ~RemoveAtEnd() { std::remove(path.c_str()); }
    } removeOdd{oddPath};
    {
        RecordingPresenter quiet;
        CTorqDoc engine;
        QVERIFY(ApplyChevy350Commands(engine));
        engine.Recalculate();
        QVERIFY(SaveEngineDocument(engine, path.toStdString()));
        QVERIFY(SaveEngineDocument(engine, oddPath));
    }

    // The program shows its own message boxes: read and close each one.
    QStringList shown;
    QTimer closer;
    connect(&closer, &QTimer::timeout, [&shown] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown << box->text();
            box->accept();
        }
    });
    closer.start(20);
    CTorqApp app({false, 0, m_fixture->Folder()});
    const std::string missing = QFile::encodeName(m_fixture->FilePath("missing.trq")).toStdString();
    QVERIFY(app.InitInstance({"torqwell", QFile::encodeName(path).toStdString(), "--", missing, oddPath}));
    CMainFrame* frame = app.MainFrame();
    QVERIFY(frame != nullptr);
    QCOMPARE(QCoreApplication::organizationName(), QStringLiteral("Parvane Software"));
    QCOMPARE(app.StartFolder(), m_fixture->Folder());
    QVERIFY(frame->windowState() & Qt::WindowMaximized);

    // The new engine first, as always, then the files that could be read.
    const QList<CChildFrame*> children = frame->ChildFrames();
    QCOMPARE(children.size(), 3);
    CChildFrame* fresh = children[0];
    QCOMPARE(fresh->Document().GetTitle(), std::string("Torq1"));
    QVERIFY(!fresh->Document().ShortBlockType().IsSet());
    QVERIFY(fresh->Document().GetPathName().empty());
    QCOMPARE(children[1]->Document().GetTitle(), std::string("named.trq"));
    QVERIFY(children[1]->Document().HasResults());
    QCOMPARE(children[2]->Document().GetPathName(), oddPath);
    // The missing file says so, and the files after it still open.
    QCOMPARE(shown, QStringList{QString::fromStdString(GetErrorMessage(Msg::FileOpen).text)});
    QCOMPARE(frame->ActiveChild(), children[2]);

    QVERIFY(qobject_cast<CEngineFormView*>(fresh->EngineSheet()) != nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(frame));
    // 400 pixels, or half the window where that is less (the graph pane keeps at least half).
    const CTorqSplitterWnd* splitter = fresh->Splitter();
    const int half = (splitter->width() - splitter->handleWidth()) / 2;
    QCOMPARE(fresh->LeftPane()->width(), std::min(CTorqSplitterWnd::kLeftPaneWidth, half));
}

void TorqAppSmokeTest::optionsAreNoFilesAndDoubleDashEndsThem()
{
    using Args = std::vector<std::string>;
    QCOMPARE(FilesNamedOnCommandLine({"torqwell"}), Args{});
    QCOMPARE(FilesNamedOnCommandLine({"torqwell", "-style", "a.trq", "--x", "", "--", "-b.trq"}),
             (Args{"a.trq", "-b.trq"}));
}

void TorqAppSmokeTest::buildsRunsAndClearsAnEngineThroughTheMenus()
{
    CTorqApp app({false, 0, m_fixture->Folder()});
    QVERIFY(app.InitInstance({"torqwell"}));
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

    // Clearing is a change like any other: marked, and taken back by Edit > Undo.
    const QString powerOfTheEdit = child->LeftTable()->ScreenLayout().cells[10][1];
    frame->CommandAction(Cmd::kClearComponents)->trigger();
    QCOMPARE(child->LeftTable()->ScreenLayout().cells[10][1], QStringLiteral("0"));
    QVERIFY(doc.IsModified());
    frame->CommandAction(FrameCmd::kEditUndo)->trigger();
    QCOMPARE(doc.Bore().GetValue(), 4.125f);
    QCOMPARE(child->LeftTable()->ScreenLayout().cells[10][1], powerOfTheEdit);
    QStringList askedFor;
    frame->SetSaveChangesPrompt([&askedFor](QWidget*, const QString& title) {
        askedFor << title;
        return QMessageBox::No;
    });
    QVERIFY(frame->close());
    QCOMPARE(askedFor, QStringList{"Torq1"});
}

void TorqAppSmokeTest::splashHoldsTheMainWindowForTwoSeconds()
{
    CTorqApp app({true, 2000, m_fixture->Folder()});
    QVERIFY(app.InitInstance({"torqwell"}));
    QVERIFY(app.SplashShownMs() >= 2000);
    QVERIFY(app.MainFrame()->isVisible());
    QCOMPARE(app.MainFrame()->ChildFrames().size(), 1);
}

QTEST_MAIN(TorqAppSmokeTest)
#include "TorqAppSmokeTest.moc"
