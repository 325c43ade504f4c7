#include "GuiTestFixture.h"
#include "GuiTestSupport.h"
#include "app/MainFrame.h"
#include "app/UserManual.h"
#include "model/MenuCommands.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
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

}  // namespace

class UserManualTest : public QObject {
    Q_OBJECT

private slots:
    void helpOpensTheBuiltManualThroughTheDesktop();
    void aMissingManualShows76AndOpensNothing();
    void anOpenerThatFailsShows76();
    void theManualIsLookedForInTheStartFolderThenBesideTheProgramThenInItsDataFolder();
    void aFolderNamedLikeTheManualIsNoManual();

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

void UserManualTest::theManualIsLookedForInTheStartFolderThenBesideTheProgramThenInItsDataFolder()
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
             (QStringList{startFolder, programFolder, prefix.filePath(QStringLiteral("share/torqwell"))}));
    QVERIFY(FindUserManual(startFolder, programFolder).isEmpty());

    const QString installed = prefix.filePath(QStringLiteral("share/torqwell/") + manualName);
    QVERIFY(WriteFile(installed, "installed"));
    QCOMPARE(FindUserManual(startFolder, programFolder), installed);

    // A build tree writes the manual beside the program.
    const QString besideProgram = prefix.filePath(QStringLiteral("bin/") + manualName);
    QVERIFY(WriteFile(besideProgram, "built"));
    QCOMPARE(FindUserManual(startFolder, programFolder), besideProgram);

    // A manual in the folder the program was started in comes first.
    const QString inStartFolder = prefix.filePath(QStringLiteral("work/") + manualName);
    QVERIFY(WriteFile(inStartFolder, "local"));
    QCOMPARE(FindUserManual(startFolder, programFolder), inStartFolder);

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

QTEST_MAIN(UserManualTest)
#include "UserManualTest.moc"
