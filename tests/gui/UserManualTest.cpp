#include "GuiTestFixture.h"
#include "GuiTestSupport.h"
#include "app/ChildFrame.h"
#include "app/HelpWindow.h"
#include "app/MainFrame.h"
#include "app/ManualPages.h"
#include "app/UserManual.h"
#include "dialogs/CamMathDlg.h"
#include "model/MenuCommands.h"
#include "views/Chart2dView.h"
#include "views/EngineFormView.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>
#include <QtTest>

namespace {

// Stands in for the desktop's opener: keeps every file it is asked to open
// and answers as told.
struct FakeOpener {
    bool succeeds = true;
    QList<QUrl> opened;

    CMainFrame::DocumentOpener Function()
    {
        return [this](const QUrl& url) {
            opened.append(url);
            return succeeds;
        };
    }
};

bool WriteFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// A start folder whose manual/ is the build's copy of the manual's pages.
bool LinkManualPages(const QTemporaryDir& startFolder)
{
    return QFile::link(QStringLiteral(TORQWELL_MANUAL_PAGES),
                       QDir(startFolder.path()).filePath(QStringLiteral("manual")));
}

}  // namespace

class UserManualTest : public QObject {
    Q_OBJECT

private slots:
    void helpOpensTheBuiltManualThroughTheDesktop();
    void aMissingManualShows76AndOpensNothing();
    void anOpenerThatFailsShows76();
    void theManualThatCameWithTheProgramComesBeforeOneInTheStartFolder();
    void aFolderNamedLikeTheManualIsNoManual();
    void f1ShowsThePageAboutTheWindowOrDialogWithTheFocus();
    void contentsListsTheChaptersWithTheirPicturesAndSearchFindsWords();
    void withoutItsPagesHelpOpensThePdfAndWithoutEither76NamesTheFile();
    void thePagesAreFoundBesideTheProgramInTheDataFolderThenTheStartFolder();
    void theProductInformationEntryShowsOnlyWhenItsProgramExists();

private:
    GuiTestFixture m_fixture;  // for the whole run
};

void UserManualTest::helpOpensTheBuiltManualThroughTheDesktop()
{
    // The build writes the manual beside the program; a program started in
    // that folder finds it there.
    const QFileInfo built(QStringLiteral(TORQWELL_MANUAL_PDF));
    QVERIFY2(built.isFile(), qPrintable(built.filePath() + QStringLiteral(" has not been built")));
    QFile pdf(built.filePath());
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QCOMPARE(pdf.read(5), QByteArray("%PDF-"));

    RecordingPresenter messages;
    FakeOpener opener;
    CMainFrame frame(built.absolutePath());
    frame.SetDocumentOpener(opener.Function());
    QAction* command = frame.CommandAction(Cmd::kUserManual);
    QVERIFY(command->isEnabled());  // no engine window is needed
    command->trigger();

    QCOMPARE(opener.opened.size(), 1);
    QVERIFY(opener.opened.first().isLocalFile());
    QCOMPARE(QFileInfo(opener.opened.first().toLocalFile()).canonicalFilePath(), built.canonicalFilePath());
    QVERIFY(messages.Codes().empty());
}

void UserManualTest::aMissingManualShows76AndOpensNothing()
{
    RecordingPresenter messages;
    FakeOpener opener;
    QTemporaryDir empty;
    CMainFrame frame(empty.path());
    frame.SetDocumentOpener(opener.Function());
    frame.CommandAction(Cmd::kUserManual)->trigger();

    // Asking the desktop to open a file that is not there would only give
    // the user the desktop's own puzzling error.
    QVERIFY(opener.opened.isEmpty());
    QCOMPARE(messages.Codes(), std::vector<int>{Msg::ManualReaderNotStarted});
    QCOMPARE(frame.ChildFrames().size(), 0);
}

void UserManualTest::anOpenerThatFailsShows76()
{
    RecordingPresenter messages;
    QTemporaryDir folder;
    QVERIFY(WriteFile(folder.filePath(QString::fromLatin1(kUserManualFileName)), "%PDF-1.4\n"));
    FakeOpener opener;
    opener.succeeds = false;  // no program for PDF files on this desktop
    CMainFrame frame(folder.path());
    frame.SetDocumentOpener(opener.Function());
    frame.CommandAction(Cmd::kUserManual)->trigger();

    QCOMPARE(opener.opened.size(), 1);
    QCOMPARE(messages.Codes(), std::vector<int>{Msg::ManualReaderNotStarted});

    // The same desktop with a PDF program: the manual opens, and nothing is said.
    messages.Clear();
    opener.succeeds = true;
    frame.CommandAction(Cmd::kUserManual)->trigger();
    QCOMPARE(opener.opened.size(), 2);
    QVERIFY(messages.Codes().empty());
}

void UserManualTest::theManualThatCameWithTheProgramComesBeforeOneInTheStartFolder()
{
    // An installation: <prefix>/bin/torqwell and <prefix>/share/torqwell/Trqmanual.pdf.
    QTemporaryDir root;
    const QDir prefix(root.path());
    QVERIFY(prefix.mkpath(QStringLiteral("bin")));
    QVERIFY(prefix.mkpath(QStringLiteral("share/torqwell")));
    QVERIFY(prefix.mkpath(QStringLiteral("work")));
    const QString programFolder = prefix.filePath(QStringLiteral("bin"));
    const QString startFolder = prefix.filePath(QStringLiteral("work"));
    const QString manualName = QString::fromLatin1(kUserManualFileName);

    QCOMPARE(UserManualFolders(startFolder, programFolder),
             (QStringList{programFolder, prefix.filePath(QStringLiteral("share/torqwell")), startFolder}));
    QVERIFY(FindUserManual(startFolder, programFolder).isEmpty());

    // Without an installed manual, one in the start folder is the manual.
    const QString inStartFolder = prefix.filePath(QStringLiteral("work/") + manualName);
    QVERIFY(WriteFile(inStartFolder, "local"));
    QCOMPARE(FindUserManual(startFolder, programFolder), inStartFolder);

    // The installed one comes before a PDF of that name where the program was started.
    const QString installed = prefix.filePath(QStringLiteral("share/torqwell/") + manualName);
    QVERIFY(WriteFile(installed, "installed"));
    QCOMPARE(FindUserManual(startFolder, programFolder), installed);

    // A build tree writes the manual beside the program: that is the one it came with.
    const QString besideProgram = prefix.filePath(QStringLiteral("bin/") + manualName);
    QVERIFY(WriteFile(besideProgram, "built"));
    QCOMPARE(FindUserManual(startFolder, programFolder), besideProgram);

    // Started in the program's own folder, that folder is looked at once.
    QCOMPARE(UserManualFolders(programFolder, programFolder).size(), 2);
}

void UserManualTest::aFolderNamedLikeTheManualIsNoManual()
{
    QTemporaryDir root;
    const QDir folder(root.path());
    QVERIFY(folder.mkdir(QString::fromLatin1(kUserManualFileName)));
    QVERIFY(FindUserManual(root.path(), QString()).isEmpty());

    RecordingPresenter messages;
    FakeOpener opener;
    CMainFrame frame(root.path());
    frame.SetDocumentOpener(opener.Function());
    frame.CommandAction(Cmd::kUserManual)->trigger();
    QVERIFY(opener.opened.isEmpty());
    QCOMPARE(messages.Codes(), std::vector<int>{Msg::ManualReaderNotStarted});
}

void UserManualTest::f1ShowsThePageAboutTheWindowOrDialogWithTheFocus()
{
    QTemporaryDir start;
    QVERIFY(LinkManualPages(start));
    RecordingPresenter messages;
    FakeOpener opener;
    CMainFrame frame(start.path());
    frame.SetDocumentOpener(opener.Function());
    frame.resize(1100, 700);
    frame.show();
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    CChildFrame* child = frame.NewDocument();
    QApplication::processEvents();

    QTest::keyClick(child->EngineSheet()->Controls().front(), Qt::Key_F1);
    QVERIFY(frame.HelpWindow() != nullptr);
    QVERIFY(frame.HelpWindow()->isVisible());
    QCOMPARE(frame.HelpWindow()->CurrentPage(), QStringLiteral("02-engine-form.md"));

    QTest::keyClick(child->RightGraph(), Qt::Key_F1);
    QCOMPARE(frame.HelpWindow()->CurrentPage(), QStringLiteral("03-results.md#the-graph"));
    // The page is the one the link names: its heading is where the page is read.
    QCOMPARE(frame.HelpWindow()->Browser()->textCursor().block().text(), QStringLiteral("The graph"));

    // In a modal dialog the help is the dialog's while it is open, and can be used.
    QString pageInDialog;
    QWidget* ownerInDialog = nullptr;
    CCamMathDlg dialog(child->Document(), &frame);
    QTimer::singleShot(0, &dialog, [&] {
        QTest::keyClick(dialog.Edit(CCamMathDlg::Input::IntakeDuration), Qt::Key_F1);
        pageInDialog = frame.HelpWindow()->CurrentPage();
        ownerInDialog = frame.HelpWindow()->parentWidget();
        QVERIFY(!frame.HelpWindow()->isHidden());
        dialog.reject();
    });
    dialog.exec();
    QCOMPARE(pageInDialog, QStringLiteral("04-calculators.md#cam-timing-calculator"));
    QCOMPARE(ownerInDialog, &dialog);
    QCOMPARE(frame.HelpWindow()->parentWidget(), &frame);
    QVERIFY(frame.HelpWindow()->isVisible());
    QVERIFY(opener.opened.isEmpty());
    QVERIFY(messages.Codes().empty());
}

void UserManualTest::contentsListsTheChaptersWithTheirPicturesAndSearchFindsWords()
{
    QTemporaryDir start;
    QVERIFY(LinkManualPages(start));
    CMainFrame frame(start.path());
    frame.CommandAction(FrameCmd::kHelpContents)->trigger();
    CHelpWindow* help = frame.HelpWindow();
    QVERIFY(help != nullptr);
    QCOMPARE(help->CurrentPage(), QStringLiteral("README.md"));
    QCOMPARE(frame.CommandAction(FrameCmd::kHelpContents)->shortcut(), QKeySequence(Qt::Key_F1));

    // The contents: the contents page, then the chapters the contents page lists, with their sections.
    QTreeWidget* contents = help->ContentsTree();
    QCOMPARE(contents->topLevelItemCount(), 1 + int(help->Pages().Chapters().size()));
    QVERIFY(help->Pages().Chapters().size() >= 11);
    QCOMPARE(contents->topLevelItem(3)->text(0), QStringLiteral("3. Results: the graph and the table"));
    QTest::mouseClick(contents->viewport(), Qt::LeftButton, {},
                      contents->visualItemRect(contents->topLevelItem(1)).center());
    QCOMPARE(help->CurrentPage(), QStringLiteral("01-getting-started.md"));
    // Its pictures come with it.
    const QVariant picture = help->Browser()->document()->resource(
        QTextDocument::ImageResource, QUrl(QStringLiteral("images/main-window.png")));
    QVERIFY(!picture.value<QImage>().isNull() || !picture.value<QPixmap>().isNull());

    // A link to another page's heading.
    help->Browser()->setSource(QUrl(QStringLiteral("09-the-model.md#flow-through-the-valves")));
    QCOMPARE(help->CurrentPage(), QStringLiteral("09-the-model.md#flow-through-the-valves"));
    QCOMPARE(help->Browser()->textCursor().block().text(), QStringLiteral("Flow through the valves"));

    // Search: every section with all the words, and the first word found on its page.
    help->SearchBox()->setText(QStringLiteral("out of date"));
    QListWidget* results = help->SearchResults();
    QVERIFY(results->count() > 0);
    QListWidgetItem* hit = nullptr;
    for (int i = 0; i < results->count(); ++i) {
        if (results->item(i)->text() ==
            QStringLiteral("Results: the graph and the table - When the results are out of date"))
            hit = results->item(i);
    }
    QVERIFY(hit != nullptr);
    QTest::mouseClick(results->viewport(), Qt::LeftButton, {}, results->visualItemRect(hit).center());
    QCOMPARE(help->CurrentPage(), QStringLiteral("03-results.md#when-the-results-are-out-of-date"));
    QCOMPARE(help->Browser()->textCursor().selectedText().toLower(), QStringLiteral("out"));
    help->SearchBox()->setText(QStringLiteral("zzzz nowhere"));
    QCOMPARE(results->count(), 0);
}

void UserManualTest::withoutItsPagesHelpOpensThePdfAndWithoutEither76NamesTheFile()
{
    // Only the PDF: F1 and Contents open it.
    QTemporaryDir withPdf;
    const QString pdf = QDir(withPdf.path()).filePath(QString::fromLatin1(kUserManualFileName));
    QVERIFY(WriteFile(pdf, "%PDF-1.4\n"));
    {
        RecordingPresenter messages;
        FakeOpener opener;
        CMainFrame frame(withPdf.path());
        frame.SetDocumentOpener(opener.Function());
        frame.CommandAction(FrameCmd::kHelpContents)->trigger();
        QCOMPARE(opener.opened.size(), 1);
        QCOMPARE(QFileInfo(opener.opened.first().toLocalFile()).canonicalFilePath(),
                 QFileInfo(pdf).canonicalFilePath());
        QVERIFY(frame.HelpWindow() == nullptr);
        QVERIFY(messages.Codes().empty());

        // No program for PDF files either: 76, naming the file.
        opener.succeeds = false;
        frame.CommandAction(FrameCmd::kHelpContents)->trigger();
        QCOMPARE(messages.Codes(), std::vector<int>{76});
        const std::string& text = messages.Messages().back().message.text;
        QVERIFY(text.starts_with(GetErrorMessage(76).text));
        QVERIFY2(
            QString::fromStdString(text).endsWith(
                QStringLiteral("The manual: ") + QDir::toNativeSeparators(QFileInfo(pdf).absoluteFilePath())),
            text.c_str());
    }
    // Nothing at all: 76 says where the manual was looked for.
    QTemporaryDir empty;
    RecordingPresenter messages;
    FakeOpener opener;
    CMainFrame frame(empty.path());
    frame.SetDocumentOpener(opener.Function());
    frame.CommandAction(Cmd::kUserManual)->trigger();
    QCOMPARE(messages.Codes(), std::vector<int>{76});
    const QString text = QString::fromStdString(messages.Messages().back().message.text);
    QVERIFY2(text.contains(QStringLiteral("Trqmanual.pdf is in none of: ")) &&
                 text.contains(QDir(empty.path()).absolutePath()),
             qPrintable(text));

    // The pages without a PDF: User Manual... shows them instead.
    QTemporaryDir pagesOnly;
    QVERIFY(LinkManualPages(pagesOnly));
    CMainFrame withPages(pagesOnly.path());
    withPages.SetDocumentOpener(opener.Function());
    messages.Clear();
    withPages.CommandAction(Cmd::kUserManual)->trigger();
    QVERIFY(withPages.HelpWindow() != nullptr);
    QCOMPARE(withPages.HelpWindow()->CurrentPage(), QStringLiteral("README.md"));
    QVERIFY(messages.Codes().empty());
}

void UserManualTest::thePagesAreFoundBesideTheProgramInTheDataFolderThenTheStartFolder()
{
    QTemporaryDir root;
    const QDir prefix(root.path());
    for (const char* folder : {"bin/manual", "share/torqwell/manual", "work/manual"}) {
        QVERIFY(prefix.mkpath(QString::fromLatin1(folder)));
    }
    const QString programFolder = prefix.filePath(QStringLiteral("bin"));
    const QString startFolder = prefix.filePath(QStringLiteral("work"));
    QCOMPARE(ManualPageFolders(startFolder, programFolder),
             (QStringList{prefix.filePath(QStringLiteral("bin/manual")),
                          prefix.filePath(QStringLiteral("share/torqwell/manual")),
                          prefix.filePath(QStringLiteral("work/manual"))}));
    QVERIFY(FindManualPages(startFolder, programFolder).isEmpty());  // no contents page anywhere
    for (const char* page :
         {"work/manual/README.md", "share/torqwell/manual/README.md", "bin/manual/README.md"}) {
        QVERIFY(WriteFile(prefix.filePath(QString::fromLatin1(page)), "# Manual\n"));
        QCOMPARE(FindManualPages(startFolder, programFolder),
                 QFileInfo(prefix.filePath(QString::fromLatin1(page))).absolutePath());
    }
    // The build writes them beside the program.
    QVERIFY(QFileInfo(QStringLiteral(TORQWELL_MANUAL_PAGES "/README.md")).isFile());
    QVERIFY(QFileInfo(QStringLiteral(TORQWELL_MANUAL_PAGES "/images/main-window.png")).isFile());
}

void UserManualTest::theProductInformationEntryShowsOnlyWhenItsProgramExists()
{
    QTemporaryDir start;
    CMainFrame frame(start.path());
    QAction* entry = frame.CommandAction(Cmd::kProductInfo);
    QVERIFY(!entry->isVisible());
    const QString program = frame.ProductInfoProgram();
    QVERIFY(QDir().mkpath(QFileInfo(program).absolutePath()));
    QVERIFY(WriteFile(program, "#!/bin/sh\n"));
    QVERIFY(QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QMenu* help = frame.menuBar()->actions().last()->menu();
    emit help->aboutToShow();
    QVERIFY(entry->isVisible());
}

QTEST_MAIN(UserManualTest)
#include "UserManualTest.moc"
