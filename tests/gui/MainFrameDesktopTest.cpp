// The main window as a desktop program: the example engines under File >
// Open Example, the hint on the first engine, engine files dropped on the
// window, and the window conventions of the workbook.

#include "GuiTestFixture.h"
#include "GuiTestSupport.h"
#include "TempFile.h"
#include "app/ChildFrame.h"
#include "app/MainFrame.h"
#include "app/TorqApp.h"
#include "model/EngineFile.h"
#include "model/MenuCommands.h"
#include "views/EngineFormView.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMdiArea>
#include <QMenu>
#include <QMimeData>
#include <QUrl>
#include <QtTest>

#include <memory>

namespace {

const QString kSourceExamples = QStringLiteral(TORQWELL_SOURCE_DIR "/examples");

// Sends a drag carrying these files onto the window, then the drop; true when the drag was taken.
bool DropFiles(QWidget& window, const QStringList& paths)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths) urls.append(QUrl::fromLocalFile(path));
    data.setUrls(urls);
    const QPoint centre = window.rect().center();
    QDragEnterEvent enter(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent drop(QPointF(centre), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &drop);
    return drop.isAccepted();
}

}  // namespace

class MainFrameDesktopTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void openExampleListsTheShippedEnginesAndOpensOneAsANewEngine();
    void theExamplesAreFoundInstalledBesideTheProgramOrInTheSourceTree();
    void theFirstEngineShowsAHintUntilTheUserEditsOrOpensSomething();
    void engineFilesDroppedOnTheWindowOpen();
    void workbookConventions();

private:
    std::unique_ptr<GuiTestFixture> m_fixture;
    std::unique_ptr<RecordingPresenter> m_presenter;
};

void MainFrameDesktopTest::init()
{
    m_fixture = std::make_unique<GuiTestFixture>();
    m_presenter = std::make_unique<RecordingPresenter>();
}

void MainFrameDesktopTest::cleanup()
{
    m_presenter.reset();
}

void MainFrameDesktopTest::openExampleListsTheShippedEnginesAndOpensOneAsANewEngine()
{
    CMainFrame frame(m_fixture->Folder());
    // Run from the build tree: the source's examples.
    QCOMPARE(frame.ExampleFolder(), QDir(kSourceExamples).canonicalPath());
    QMenu* menu = frame.ExampleMenu();
    QVERIFY(menu != nullptr);
    emit menu->aboutToShow();
    QStringList listed;
    for (const QAction* action : menu->actions()) listed << action->text();
    QStringList shipped = QDir(kSourceExamples).entryList({QStringLiteral("*.trq")}, QDir::Files, QDir::Name);
    for (QString& name : shipped) name.chop(4);
    QCOMPARE(listed, shipped);
    QVERIFY(listed.contains(QStringLiteral("chevy-350-street")));

    const QString example = QDir(kSourceExamples).filePath(QStringLiteral("chevy-350-street.trq"));
    const std::string before = ReadWholeFile(example.toStdString());
    for (QAction* action : menu->actions()) {
        if (action->text() == QStringLiteral("chevy-350-street")) action->trigger();
    }
    CChildFrame* child = frame.ActiveChild();
    QVERIFY(child != nullptr);
    const CTorqDoc& doc = child->Document();
    QCOMPARE(doc.GetTitle(), std::string("chevy-350-street.trq"));
    QCOMPARE(doc.ShortBlockType().GetText(), std::string("Chevy 350"));
    QVERIFY(doc.HasResults());
    QVERIFY(!doc.IsModified());
    // Opened as a new engine: Save asks where, and the shipped file stays as it is.
    QVERIFY(doc.GetPathName().empty());
    QVERIFY(frame.RecentFiles().Entries().isEmpty());
    QList<FileDialogRequest> requests;
    frame.SetFileNameChooser([&requests](QWidget*, const FileDialogRequest& request) {
        requests.append(request);
        return QString();
    });
    frame.CommandAction(FrameCmd::kFileSave)->trigger();
    QCOMPARE(requests.size(), 1);
    QCOMPARE(QFileInfo(requests[0].proposedPath).fileName(), QStringLiteral("chevy-350-street.trq"));
    QCOMPARE(ReadWholeFile(example.toStdString()), before);
    QVERIFY(m_presenter->Codes().empty());
}

void MainFrameDesktopTest::theExamplesAreFoundInstalledBesideTheProgramOrInTheSourceTree()
{
    TempDir prefix;
    const QString root = QString::fromStdString(prefix.Path().string());
    QVERIFY(QDir(root).mkpath(QStringLiteral("bin")));
    const QString programFolder = root + QStringLiteral("/bin");
    const QString source = QString::fromStdString(prefix.File("source-examples").string());
    QVERIFY(QDir(root).mkpath(QStringLiteral("source-examples")));

    QCOMPARE(CMainFrame::FindExampleFolder(programFolder, source), QDir(source).canonicalPath());
    QVERIFY(QDir(root).mkpath(QStringLiteral("share/torqwell/examples")));
    QCOMPARE(CMainFrame::FindExampleFolder(programFolder, source),
             QDir(root + QStringLiteral("/share/torqwell/examples")).canonicalPath());
    QVERIFY(QDir(root).rmpath(QStringLiteral("share/torqwell/examples")));
    QCOMPARE(CMainFrame::FindExampleFolder(programFolder, QString()), QString());

    // Without any examples the menu says so instead of standing empty.
    CMainFrame frame(m_fixture->Folder());
    frame.SetExampleFolder(QString::fromStdString(prefix.File("source-examples").string()));
    emit frame.ExampleMenu()->aboutToShow();
    QCOMPARE(frame.ExampleMenu()->actions().size(), 1);
    QVERIFY(!frame.ExampleMenu()->actions().first()->isEnabled());
}

void MainFrameDesktopTest::theFirstEngineShowsAHintUntilTheUserEditsOrOpensSomething()
{
    const QString hint = QStringLiteral("Build an engine from the form, or File > Open Example");
    {
        CTorqApp app({false, 0, m_fixture->Folder()});
        QVERIFY(app.InitInstance({"torqwell"}));
        RecordingPresenter messages;  // in place of the program's message boxes
        CChildFrame* first = app.MainFrame()->ActiveChild();
        QCOMPARE(first->EngineSheet()->Hint(), hint);
        // A run is no edit; Auto Run off is one.
        app.MainFrame()->CommandAction(Cmd::kRun)->trigger();
        QCOMPARE(messages.Codes(), std::vector<int>{Msg::BoreStrokeSelectionRequired});  // no short block yet
        QCOMPARE(first->EngineSheet()->Hint(), hint);
        app.MainFrame()->CommandAction(Cmd::kAutoRun)->trigger();
        QCOMPARE(first->EngineSheet()->Hint(), QString());
    }
    // Opening an engine takes the hint away too; later engines never show it.
    CMainFrame frame(m_fixture->Folder());
    CChildFrame* first = frame.NewDocument();
    frame.ShowStartHint();
    QCOMPARE(first->EngineSheet()->Hint(), hint);
    CChildFrame* opened =
        frame.OpenExample(QDir(kSourceExamples).filePath(QStringLiteral("ford-302-nitrous.trq")));
    QVERIFY(opened != nullptr);
    QCOMPARE(first->EngineSheet()->Hint(), QString());
    QCOMPARE(opened->EngineSheet()->Hint(), QString());
    QCOMPARE(frame.NewDocument()->EngineSheet()->Hint(), QString());
}

void MainFrameDesktopTest::engineFilesDroppedOnTheWindowOpen()
{
    CMainFrame frame(m_fixture->Folder());
    QVERIFY(frame.acceptDrops());
    const QString first = m_fixture->FilePath(QStringLiteral("first.trq"));
    const QString second = m_fixture->FilePath(QStringLiteral("Second.TRQ"));
    for (const QString& path : {first, second}) {
        QVERIFY(QFile::copy(QDir(kSourceExamples).filePath(QStringLiteral("chevy-383-built.trq")), path));
    }
    const QString notes = m_fixture->FilePath(QStringLiteral("notes.txt"));
    WriteWholeFile(notes.toStdString(), "not an engine\n");

    // Nothing inside an engine window takes a drop for itself: wherever the
    // file lands, it reaches the main window (the graphs would take it for their scenes).
    CChildFrame* empty = frame.NewDocument();
    const auto inside = empty->findChildren<QWidget*>();
    for (const QWidget* widget : inside) QVERIFY2(!widget->acceptDrops(), widget->metaObject()->className());
    empty->CloseWithoutQuery();
    QTRY_VERIFY(frame.ChildFrames().isEmpty());

    // Only engine files are taken; others in the same drag are left alone.
    QVERIFY(!DropFiles(frame, {notes}));
    QVERIFY(frame.ChildFrames().isEmpty());
    QVERIFY(DropFiles(frame, {first, notes, second}));
    const QList<CChildFrame*> children = frame.ChildFrames();
    QCOMPARE(children.size(), 2);
    QCOMPARE(QString::fromStdString(children[0]->Document().GetPathName()),
             QFileInfo(first).absoluteFilePath());
    QCOMPARE(children[1]->Document().GetTitle(), std::string("Second.TRQ"));
    QCOMPARE(children[0]->Document().ShortBlockType().GetText(), std::string("Chevy 383"));
    QVERIFY(m_presenter->Codes().empty());

    // Dropped again, an open engine is shown rather than opened twice.
    QVERIFY(DropFiles(frame, {first}));
    QCOMPARE(frame.ChildFrames().size(), 2);
    QCOMPARE(frame.ActiveChild(), children[0]);
}

void MainFrameDesktopTest::workbookConventions()
{
    CMainFrame frame(m_fixture->Folder());
    frame.resize(1024, 700);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    CChildFrame* child = frame.NewDocument();
    QVERIFY(!child->windowIcon().isNull());
    QCOMPARE(child->windowIcon().cacheKey() != 0, true);

    // In the workbook the frame names the engine; outside it a maximized
    // window adds its own title, so the frame names the program only.
    QCOMPARE(frame.windowTitle(), QStringLiteral("Torqwell - Torq1[*]"));
    QVERIFY(!frame.CommandAction(FrameCmd::kWindowCascade)->isEnabled());
    frame.CommandAction(FrameCmd::kViewWorkbook)->trigger();
    QApplication::processEvents();
    QVERIFY(child->isMaximized());
    QCOMPARE(frame.windowTitle().count(QStringLiteral("Torq1")), 1);
    QVERIFY(frame.CommandAction(FrameCmd::kWindowCascade)->isEnabled());
    frame.CommandAction(FrameCmd::kWindowCascade)->trigger();
    QVERIFY(!child->isMaximized());
    QCOMPARE(frame.MdiArea()->viewMode(), QMdiArea::SubWindowView);
}

QTEST_MAIN(MainFrameDesktopTest)
#include "MainFrameDesktopTest.moc"
