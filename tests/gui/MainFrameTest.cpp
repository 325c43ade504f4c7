#include "GuiTestFixture.h"
#include "GuiTestSupport.h"
#include "app/ChildFrame.h"
#include "app/MainFrame.h"
#include "app/RecentFileList.h"
#include "app/SplitterTabWnd.h"
#include "model/DocumentRegistry.h"
#include "model/EngineFile.h"
#include "model/MenuCommands.h"
#include "views/Chart2dView.h"
#include "views/ResultsTableView.h"
#include "views/StaleResultsNote.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <QtTest>

#include <deque>

namespace {

// Stands in for the file dialogs: answers from a queue and keeps every request.
struct ScriptedChooser {
    std::deque<QString> answers;
    QList<FileDialogRequest> requests;

    CMainFrame::FileNameChooser Function()
    {
        return [this](QWidget*, const FileDialogRequest& request) {
            requests.append(request);
            if (answers.empty()) return QString();
            const QString answer = answers.front();
            answers.pop_front();
            return answer;
        };
    }
};

// Stands in for the save-changes question.
struct ScriptedPrompt {
    std::deque<QMessageBox::StandardButton> answers;
    QStringList askedFor;

    CMainFrame::SaveChangesPrompt Function()
    {
        return [this](QWidget*, const QString& title) {
            askedFor << title;
            if (answers.empty()) return QMessageBox::Cancel;
            const QMessageBox::StandardButton answer = answers.front();
            answers.pop_front();
            return answer;
        };
    }
};

QStringList AllMenuTexts(const QMenu* menu)
{
    QStringList texts;
    for (QAction* action : menu->actions()) {
        if (action->isSeparator()) continue;
        texts << action->text();
        if (action->menu() != nullptr) texts += AllMenuTexts(action->menu());
    }
    return texts;
}

QStringList MenuBarTexts(const CMainFrame& frame)
{
    QStringList texts;
    for (QAction* action : frame.menuBar()->actions()) {
        texts << action->text();
        if (action->menu() != nullptr) texts += AllMenuTexts(action->menu());
    }
    return texts;
}

void BuildEngine(CTorqDoc& doc, bool run)
{
    if (!run) QCOMPARE(ApplyMenuCommand(doc, Cmd::kAutoRun), CommandResult::Applied);  // Auto Run off
    QVERIFY(ApplyChevy350Commands(doc));
    doc.Recalculate();
    QCOMPARE(doc.HasResults(), run);
}

}  // namespace

class MainFrameTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void menusCarryEveryCommandWithItsText();
    void everyMenuOfTheMenuBarHasAnAltKeyOfItsOwn();
    void theEntriesOfEachMenuHaveAltKeysOfTheirOwn();
    void newEnginesAreNumberedAndShowTheModifiedMark();
    void saveAsAndOpenGoThroughTheFileDialogs();
    void savingWithoutResultsAsksWarning204();
    void aSaveRunsAnEngineOutOfDateAndItOpensOutOfDateWithAutoRunOff();
    void aFileThatFailsToOpenLeavesNoWindow();
    void recentFilesKeepTheFourNewest();
    void closingAsksToSaveEveryModifiedEngine();
    void helpCommandsReportWhatCannotBeStarted();
    void engineMenuFollowsTheActiveEngine();
    void calculatorsOpenOverTheActiveEngine();
    void windowMenuListsAndActivatesTheEngines();
    void aClosedEngineWindowIsNeverTakenForTheActiveOne();
    void exportsProposeDosNames();
    void printoutsGoOnThePaperOfTheUsersCountry();

private:
    std::unique_ptr<GuiTestFixture> m_fixture;
};

void MainFrameTest::init()
{
    m_fixture = std::make_unique<GuiTestFixture>();
}

void MainFrameTest::menusCarryEveryCommandWithItsText()
{
    CMainFrame frame(m_fixture->Folder());
    const QStringList texts = MenuBarTexts(frame);
    for (const char* text : {"&File",
                             "&New",
                             "&Open...",
                             "&Close",
                             "&Save",
                             "Save &As...",
                             "&Export To Other Programs",
                             "Export To &NIRA Intense Imports Game...",
                             "&Print...",
                             "Print Pre&view",
                             "P&rint Setup...",
                             "E&xit",
                             "&Run!",
                             "&Auto Run",
                             "&Clear Components",
                             "Domestic/English",
                             "Foreign/Metric Units",
                             "&Toolbar",
                             "&Status Bar",
                             "&Workbook",
                             "&Window",
                             "&Cascade",
                             "&Tile",
                             "&Arrange Icons",
                             "&Help",
                             "&User Manual...",
                             "&Vellmor Software...",
                             "&About Torqwell...",
                             "&Calculators",
                             "Compression &Ratio Math...",
                             "&Airflow Math...",
                             "&Cam Math..."}) {
        QVERIFY2(texts.contains(QString::fromLatin1(text)), text);
    }
    QVERIFY(texts.contains(QStringLiteral("&Iterator Testing...")));
    QCOMPARE(frame.CommandAction(Cmd::kExportDosRecord)->text().contains(QStringLiteral("DOS")), true);
    QVERIFY(frame.CommandAction(Cmd::kAutoRun)->isCheckable());
    QVERIFY(frame.CommandAction(FrameCmd::kViewWorkbook)->isChecked());
    QCOMPARE(frame.MdiArea()->viewMode(), QMdiArea::TabbedView);
    // No engine window: the document commands wait for one.
    QVERIFY(!frame.CommandAction(Cmd::kRun)->isEnabled());
    QVERIFY(!frame.CommandAction(FrameCmd::kFileSave)->isEnabled());
    QVERIFY(!frame.CommandAction(Cmd::kCamMath)->isEnabled());
    QVERIFY(frame.CommandAction(FrameCmd::kFileNew)->isEnabled());

    // The key-state indicators are there; without a readable state they stay dimmed.
    QCOMPARE(frame.KeyStateIndicators().size(), 3);
#ifndef Q_OS_WIN
    for (QLabel* indicator : frame.KeyStateIndicators()) QVERIFY(!indicator->isEnabled());
#endif
    QCOMPARE(frame.statusBar()->currentMessage(), QStringLiteral("Ready"));
    frame.statusBar()->showMessage(QStringLiteral("a prompt"));
    frame.statusBar()->clearMessage();
    QCOMPARE(frame.statusBar()->currentMessage(), QStringLiteral("Ready"));
}

void MainFrameTest::everyMenuOfTheMenuBarHasAnAltKeyOfItsOwn()
{
    CMainFrame frame(m_fixture->Folder());
    QMap<QChar, QString> menus;
    for (const QAction* action : frame.menuBar()->actions()) {
        const QString text = action->text();
        const qsizetype amp = text.indexOf(QLatin1Char('&'));
        QVERIFY2(amp >= 0 && amp + 1 < text.size(), qPrintable(text));
        const QChar key = text.at(amp + 1).toLower();
        QVERIFY2(!menus.contains(key), qPrintable(text + " and " + menus.value(key) + " share Alt+" + key));
        menus.insert(key, text);
    }
    QVERIFY(menus.size() >= 7);
}

void MainFrameTest::theEntriesOfEachMenuHaveAltKeysOfTheirOwn()
{
    CMainFrame frame(m_fixture->Folder());
    frame.NewDocument();
    std::vector<const QMenu*> menus;
    for (const QAction* action : frame.menuBar()->actions()) menus.push_back(action->menu());
    for (std::size_t i = 0; i < menus.size(); ++i) {
        QMap<QChar, QString> keys;
        for (const QAction* action : menus[i]->actions()) {
            if (action->menu() != nullptr) menus.push_back(action->menu());
            const QString text = action->text();
            const qsizetype amp = text.indexOf(QLatin1Char('&'));
            if (amp < 0 || amp + 1 >= text.size() || !action->isVisible()) continue;
            const QChar key = text.at(amp + 1).toLower();
            QVERIFY2(!keys.contains(key), qPrintable(text + " and " + keys.value(key) + " share Alt+" + key));
            keys.insert(key, text);
        }
    }
    QVERIFY(frame.CommandAction(FrameCmd::kExportDynoSheet)->text() ==
            QStringLiteral("Export D&yno Sheet..."));
}

void MainFrameTest::newEnginesAreNumberedAndShowTheModifiedMark()
{
    CMainFrame frame(m_fixture->Folder());
    CChildFrame* first = frame.NewDocument();
    frame.CommandAction(FrameCmd::kFileNew)->trigger();
    CChildFrame* second = frame.ActiveChild();
    QVERIFY(second != first);
    QCOMPARE(first->windowTitle(), QStringLiteral("Torq1[*]"));
    QCOMPARE(second->windowTitle(), QStringLiteral("Torq2[*]"));
    QVERIFY(!second->isWindowModified());
    QVERIFY(CDocumentRegistry::Instance().Find(second->Document().GetDocumentNumber()) ==
            &second->Document());

    second->Document().SetModified();
    second->Document().UpdateAllViews();
    QVERIFY(second->isWindowModified());
    QVERIFY(frame.isWindowModified());
    QVERIFY(frame.windowTitle().contains(QStringLiteral("Torq2")));

    // Five views on the same document, in the two panes.
    QCOMPARE(second->LeftPane()->count(), 3);
    QCOMPARE(second->LeftPane()->tabText(0), QStringLiteral("Engine"));
    QCOMPARE(second->LeftPane()->tabText(1), QStringLiteral("Graph"));
    QCOMPARE(second->LeftPane()->tabText(2), QStringLiteral("Table"));
    QCOMPARE(second->RightPane()->count(), 2);
    QCOMPARE(second->RightPane()->tabText(0), QStringLiteral("Graph"));
    QCOMPARE(second->RightTable()->Document(), &second->Document());
}

void MainFrameTest::saveAsAndOpenGoThroughTheFileDialogs()
{
    RecordingPresenter messages;
    ScriptedChooser chooser;
    CMainFrame frame(m_fixture->Folder());
    frame.SetFileNameChooser(chooser.Function());
    CChildFrame* child = frame.NewDocument();
    BuildEngine(child->Document(), true);
    child->Document().SetModified();

    const QString path = m_fixture->FilePath(QStringLiteral("Street 350.trq"));
    chooser.answers.push_back(path);
    frame.CommandAction(FrameCmd::kFileSave)->trigger();  // untitled: asks for a name
    QVERIFY(messages.Codes().empty());
    QVERIFY(QFile::exists(path));
    QCOMPARE(chooser.requests.size(), 1);
    const FileDialogRequest& request = chooser.requests.first();
    QCOMPARE(request.mode, FileDialogRequest::Mode::Save);
    QCOMPARE(request.nameFilters, (QStringList{"Torqwell Engine Files(*.trq)", "All Files (*)"}));
    QCOMPARE(QFileInfo(request.proposedPath).fileName(), QStringLiteral("Torq1.trq"));
    QCOMPARE(child->windowTitle(), QStringLiteral("Street 350.trq[*]"));
    QVERIFY(!child->isWindowModified());
    QCOMPARE(frame.RecentFiles().Entries().value(0), QFileInfo(path).absoluteFilePath());

    // Save again: the path is known, no dialog.
    frame.CommandAction(FrameCmd::kFileSave)->trigger();
    QCOMPARE(chooser.requests.size(), 1);

    const float bore = child->Document().Bore().GetValue();
    const float power = child->Document().GetResult(kSeriesPower, 8);
    child->close();
    QTRY_COMPARE(frame.ChildFrames().size(), 0);

    chooser.answers.push_back(path);
    frame.CommandAction(FrameCmd::kFileOpen)->trigger();
    QCOMPARE(chooser.requests.last().mode, FileDialogRequest::Mode::Open);
    QCOMPARE(chooser.requests.last().nameFilters.first(), QStringLiteral("Torqwell Engine Files(*.trq)"));
    QCOMPARE(frame.ChildFrames().size(), 1);
    CChildFrame* opened = frame.ActiveChild();
    QCOMPARE(opened->windowTitle(), QStringLiteral("Street 350.trq[*]"));
    QCOMPARE(opened->Document().Bore().GetValue(), bore);
    // Opening runs the engine again (Auto Run) and the table shows it.
    QCOMPARE(opened->Document().GetResult(kSeriesPower, 8), power);
    QVERIFY(opened->LeftTable()->ScreenLayout().cells[8][1] != QStringLiteral("0"));

    // The same file again shows the window that has it.
    QCOMPARE(frame.OpenDocumentFile(path), opened);
    QCOMPARE(frame.ChildFrames().size(), 1);

    // Save As proposes the file's own path.
    chooser.answers.push_back(QString());  // cancelled
    frame.CommandAction(FrameCmd::kFileSaveAs)->trigger();
    QCOMPARE(QFileInfo(chooser.requests.last().proposedPath).absoluteFilePath(),
             QFileInfo(path).absoluteFilePath());
    QCOMPARE(chooser.requests.last().title, QStringLiteral("Save As"));
}

void MainFrameTest::savingWithoutResultsAsksWarning204()
{
    RecordingPresenter messages;
    ScriptedChooser chooser;
    CMainFrame frame(m_fixture->Folder());
    frame.SetFileNameChooser(chooser.Function());

    // An incomplete engine is refused with its first validation message.
    CChildFrame* empty = frame.NewDocument();
    chooser.answers.push_back(m_fixture->FilePath("empty.trq"));
    QVERIFY(!frame.SaveDocument(*empty, false));
    QCOMPARE(messages.Codes(), std::vector<int>{Msg::BoreStrokeSelectionRequired});
    QVERIFY(!QFile::exists(m_fixture->FilePath("empty.trq")));

    CChildFrame* child = frame.NewDocument();
    BuildEngine(child->Document(), false);
    const QString path = m_fixture->FilePath("norun.trq");
    messages.Clear();
    chooser.answers.push_back(path);
    messages.AnswerNextWarning(WarningAnswer::Cancel);
    QVERIFY(!frame.SaveDocument(*child, false));
    QCOMPARE(messages.Codes(), std::vector<int>{Msg::SaveWithoutResults});
    QVERIFY(!QFile::exists(path));
    QCOMPARE(child->Document().GetTitle(), std::string("Torq2"));

    chooser.answers.push_back(path);
    messages.AnswerNextWarning(WarningAnswer::Ok);
    QVERIFY(frame.SaveDocument(*child, false));
    QVERIFY(QFile::exists(path));
    QCOMPARE(child->Document().GetTitle(), std::string("norun.trq"));
}

void MainFrameTest::aSaveRunsAnEngineOutOfDateAndItOpensOutOfDateWithAutoRunOff()
{
    RecordingPresenter messages;
    ScriptedChooser chooser;
    CMainFrame frame(m_fixture->Folder());
    frame.SetFileNameChooser(chooser.Function());
    CChildFrame* child = frame.NewDocument();
    CTorqDoc& doc = child->Document();
    BuildEngine(doc, true);
    const float power10 = doc.GetResult(kSeriesPower, 8);
    // Auto Run off, then 12:1: the table shows the 10:1 results, out of date.
    constexpr int kCompression12 = 32882;
    QCOMPARE(ApplyMenuCommand(doc, Cmd::kAutoRun), CommandResult::Applied);
    QCOMPARE(ApplyMenuCommand(doc, kCompression12), CommandResult::Applied);
    doc.Recalculate();  // as the form does after a choice
    doc.UpdateAllViews();
    QVERIFY(child->LeftTable()->IsStale());

    const QString path = m_fixture->FilePath(QStringLiteral("twelve.trq"));
    chooser.answers.push_back(path);
    QVERIFY(frame.SaveDocument(*child, false));
    QVERIFY(messages.Codes().empty());
    QVERIFY(!child->LeftTable()->IsStale());
    QVERIFY(doc.GetResult(kSeriesPower, 8) != power10);
    const float power12 = doc.GetResult(kSeriesPower, 8);
    child->close();
    QTRY_COMPARE(frame.ChildFrames().size(), 0);

    // Opened again, the engine has no results until it runs, and says so.
    CChildFrame* opened = frame.OpenDocumentFile(path);
    QVERIFY(opened != nullptr);
    QVERIFY(opened->LeftTable()->IsStale());
    QVERIFY(opened->RightGraph()->IsStale());
    const auto* note = opened->LeftTable()->findChild<CStaleResultsNote*>();
    QVERIFY(note != nullptr && note->isVisibleTo(opened->LeftTable()));
    frame.CommandAction(Cmd::kRun)->trigger();
    QVERIFY(!opened->LeftTable()->IsStale());
    QCOMPARE(opened->Document().GetResult(kSeriesPower, 8), power12);
    QVERIFY(messages.Codes().empty());
}

void MainFrameTest::aFileThatFailsToOpenLeavesNoWindow()
{
    RecordingPresenter messages;
    CMainFrame frame(m_fixture->Folder());
    frame.NewDocument();
    const QString path = m_fixture->FilePath("old.trq");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("3.09\n0\n");
    file.close();
    const std::size_t openBefore = CDocumentRegistry::Instance().Documents().size();

    QCOMPARE(frame.OpenDocumentFile(path), nullptr);
    QCOMPARE(messages.Codes(), std::vector<int>{Msg::EngineFileVersion});
    QCOMPARE(frame.ChildFrames().size(), 1);
    QCOMPARE(CDocumentRegistry::Instance().Documents().size(), openBefore);
    QVERIFY(frame.RecentFiles().Entries().isEmpty());
}

void MainFrameTest::recentFilesKeepTheFourNewest()
{
    RecordingPresenter messages;
    {
        CRecentFileList list;
        for (const char* name : {"a.trq", "b.trq", "c.trq", "d.trq", "e.trq"})
            list.Add(m_fixture->FilePath(name));
        list.Add(m_fixture->FilePath("c.trq"));  // again: to the top, no double entry
        QCOMPARE(list.Entries().size(), 4);
        QCOMPARE(QFileInfo(list.Entries()[0]).fileName(), QStringLiteral("c.trq"));
        QCOMPARE(QFileInfo(list.Entries()[1]).fileName(), QStringLiteral("e.trq"));
        QCOMPARE(QFileInfo(list.Entries()[3]).fileName(), QStringLiteral("b.trq"));
    }
    // Stored in the settings under the organisation's key.
    QSettings settings;
    QCOMPARE(QFileInfo(settings.value("Recent File List/File2").toString()).fileName(),
             QStringLiteral("e.trq"));
    QVERIFY(!settings.contains("Recent File List/File5"));

    CMainFrame frame(m_fixture->Folder());
    QCOMPARE(frame.RecentFiles().Entries().size(), 4);
    QAction* first = frame.CommandAction(FrameCmd::kFileMru1);
    QVERIFY(first->isVisible());
    QVERIFY(first->text().startsWith(QStringLiteral("&1 ")));
    QVERIFY(first->text().endsWith(QStringLiteral("c.trq")));
    QVERIFY(frame.CommandAction(FrameCmd::kFileMru1 + 3)->text().startsWith(QStringLiteral("&4 ")));

    // A recent file that is gone shows its message and leaves the list.
    first->trigger();
    QCOMPARE(messages.Codes(), std::vector<int>{Msg::FileOpen});
    QCOMPARE(frame.RecentFiles().Entries().size(), 3);
    QVERIFY(frame.CommandAction(FrameCmd::kFileMru1)->text().endsWith(QStringLiteral("e.trq")));
    QVERIFY(!frame.CommandAction(FrameCmd::kFileMru1 + 3)->isVisible());
    QCOMPARE(CRecentFileList().Entries().size(), 3);

    QCOMPARE(CRecentFileList::MenuText(1, QStringLiteral("/x/R&D.trq")), QStringLiteral("&2 /x/R&&D.trq"));
}

void MainFrameTest::closingAsksToSaveEveryModifiedEngine()
{
    RecordingPresenter messages;
    ScriptedChooser chooser;
    ScriptedPrompt prompt;
    auto frame = std::make_unique<CMainFrame>(m_fixture->Folder());
    frame->SetFileNameChooser(chooser.Function());
    frame->SetSaveChangesPrompt(prompt.Function());
    CChildFrame* clean = frame->NewDocument();
    CChildFrame* edited = frame->NewDocument();
    BuildEngine(edited->Document(), true);
    edited->Document().SetModified();
    Q_UNUSED(clean);

    // Cancel keeps the program and both engines.
    prompt.answers.push_back(QMessageBox::Cancel);
    QVERIFY(!frame->close());
    QCOMPARE(prompt.askedFor, QStringList{"Torq2"});
    QCOMPARE(frame->ChildFrames().size(), 2);

    // Closing one window: No closes it without saving.
    prompt.answers.push_back(QMessageBox::No);
    QVERIFY(edited->close());
    QTRY_COMPARE(frame->ChildFrames().size(), 1);
    QVERIFY(chooser.requests.isEmpty());

    // Yes saves first; a cancelled file dialog keeps the window open.
    CChildFrame* third = frame->NewDocument();
    BuildEngine(third->Document(), true);
    third->Document().SetModified();
    prompt.answers.push_back(QMessageBox::Yes);
    chooser.answers.push_back(QString());
    QVERIFY(!third->close());
    prompt.answers.push_back(QMessageBox::Yes);
    const QString path = m_fixture->FilePath("saved on close.trq");
    chooser.answers.push_back(path);
    QVERIFY(frame->close());
    QVERIFY(QFile::exists(path));
    QCOMPARE(prompt.askedFor.size(), 4);  // the unmodified engine was never asked about
    QVERIFY(messages.Codes().empty());
}

void MainFrameTest::helpCommandsReportWhatCannotBeStarted()
{
    RecordingPresenter messages;
    CMainFrame frame(m_fixture->Folder());
    frame.CommandAction(Cmd::kUserManual)->trigger();
    QCOMPARE(messages.Codes(), std::vector<int>{Msg::ManualReaderNotStarted});
    frame.CommandAction(Cmd::kProductInfo)->trigger();
    QCOMPARE(messages.Codes(), (std::vector<int>{Msg::ManualReaderNotStarted, Msg::ProductInfoNotStarted}));
    QCOMPARE(frame.ChildFrames().size(), 0);
}

void MainFrameTest::engineMenuFollowsTheActiveEngine()
{
    RecordingPresenter messages;
    CMainFrame frame(m_fixture->Folder());
    CChildFrame* english = frame.NewDocument();
    CChildFrame* metric = frame.NewDocument();
    QVERIFY(ApplyChevy350Commands(metric->Document()));

    frame.CommandAction(Cmd::kMetricUnits)->trigger();
    QCOMPARE(metric->Document().GetUnitSystem(), 1);
    QVERIFY(frame.CommandAction(Cmd::kMetricUnits)->isChecked());
    QVERIFY(!frame.CommandAction(Cmd::kEnglishUnits)->isChecked());
    QCOMPARE(metric->Document().Bore().GetTextWithUnits(), std::string("101.60 mm"));

    frame.CommandAction(Cmd::kAutoRun)->trigger();
    QVERIFY(!metric->Document().IsAutoRun());
    QVERIFY(!frame.CommandAction(Cmd::kAutoRun)->isChecked());

    // Another engine window brings its own settings to the menu.
    frame.MdiArea()->setActiveSubWindow(english);
    QCOMPARE(frame.ActiveChild(), english);
    QVERIFY(frame.CommandAction(Cmd::kEnglishUnits)->isChecked());
    QVERIFY(frame.CommandAction(Cmd::kAutoRun)->isChecked());

    // Run! on an incomplete engine shows its first gap; Clear Components empties an engine.
    frame.CommandAction(Cmd::kRun)->trigger();
    QCOMPARE(messages.Codes(), std::vector<int>{Msg::BoreStrokeSelectionRequired});
    frame.MdiArea()->setActiveSubWindow(metric);
    frame.CommandAction(Cmd::kClearComponents)->trigger();
    QVERIFY(!metric->Document().ShortBlockType().IsSet());
    QVERIFY(frame.CommandAction(Cmd::kEnglishUnits)->isChecked());
}

void MainFrameTest::calculatorsOpenOverTheActiveEngine()
{
    RecordingPresenter messages;
    CMainFrame frame(m_fixture->Folder());
    CChildFrame* child = frame.NewDocument();
    QVERIFY(frame.CommandAction(Cmd::kCamMath)->isEnabled());

    // Without a short block there is nothing to compress: 88, and no dialog.
    frame.CommandAction(Cmd::kCompressionRatioMath)->trigger();
    QCOMPARE(messages.Codes(), std::vector<int>{Msg::CalculatorShortBlockIncomplete});

    QVERIFY(ApplyChevy350Commands(child->Document()));
    for (int command : {Cmd::kCompressionRatioMath, Cmd::kAirflowMath, Cmd::kCamMath}) {
        QString title;
        QTimer::singleShot(0, &frame, [&title] {
            QWidget* dialog = QApplication::activeModalWidget();
            if (dialog == nullptr) return;
            title = dialog->windowTitle();
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        frame.CommandAction(command)->trigger();
        const QString expected = command == Cmd::kCompressionRatioMath
                                     ? QStringLiteral("Compression Ratio Calculator")
                                 : command == Cmd::kAirflowMath ? QStringLiteral("Airflow Math Calculator")
                                                                : QStringLiteral("Cam Math Calculator");
        QCOMPARE(title, expected);
    }
    // Escape cancelled each one: nothing was applied.
    QVERIFY(!child->Document().IsModified());
    QVERIFY(!child->Document().IsCompressionFromCalculator());
}

void MainFrameTest::aClosedEngineWindowIsNeverTakenForTheActiveOne()
{
    // While a closed window is destroyed its document is already gone: the
    // menus that follow the active engine must not read it.
    CMainFrame frame(m_fixture->Folder());
    const QList<CChildFrame*> engines{frame.NewDocument(), frame.NewDocument()};
    int destroyed = 0;
    int takenWhileDying = 0;
    for (CChildFrame* engine : engines) {
        connect(engine, &QObject::destroyed, &frame, [&, engine] {
            ++destroyed;
            if (frame.ActiveChild() == engine) ++takenWhileDying;
        });
    }
    frame.CommandAction(FrameCmd::kFileClose)->trigger();
    frame.CommandAction(FrameCmd::kFileClose)->trigger();
    QTRY_COMPARE(destroyed, 2);
    QCOMPARE(takenWhileDying, 0);
    QCOMPARE(frame.ActiveChild(), nullptr);
    QVERIFY(!frame.CommandAction(Cmd::kRun)->isEnabled());
}

void MainFrameTest::windowMenuListsAndActivatesTheEngines()
{
    CMainFrame frame(m_fixture->Folder());
    CChildFrame* first = frame.NewDocument();
    frame.NewDocument();
    auto* windowMenu = qobject_cast<QMenu*>(frame.CommandAction(FrameCmd::kWindowCascade)->parent());
    QVERIFY(windowMenu != nullptr);
    for (int shown = 0; shown < 2; ++shown) {  // rebuilt every time it opens
        emit windowMenu->aboutToShow();
        QStringList listed;
        QString checked;
        for (QAction* action : windowMenu->actions()) {
            if (action->text().startsWith(QLatin1Char('&')) &&
                action->text().contains(QStringLiteral("Torq"))) {
                listed << action->text();
                if (action->isChecked()) checked = action->text();
            }
        }
        QCOMPARE(listed, (QStringList{"&1 Torq1", "&2 Torq2"}));
        QCOMPARE(checked, QStringLiteral("&2 Torq2"));
    }
    for (QAction* action : windowMenu->actions()) {
        if (action->text() == QStringLiteral("&1 Torq1")) action->trigger();
    }
    QCOMPARE(frame.ActiveChild(), first);

    // Arranging needs windows, not workbook tabs: Cascade and Tile wait for the workbook to be left.
    QVERIFY(!frame.CommandAction(FrameCmd::kWindowTile)->isEnabled());
    QVERIFY(!frame.CommandAction(FrameCmd::kWindowCascade)->isEnabled());
    frame.CommandAction(FrameCmd::kViewWorkbook)->trigger();
    QCOMPARE(frame.MdiArea()->viewMode(), QMdiArea::SubWindowView);
    QVERIFY(frame.CommandAction(FrameCmd::kWindowTile)->isEnabled());
    QVERIFY(frame.CommandAction(FrameCmd::kWindowCascade)->isEnabled());
    frame.CommandAction(FrameCmd::kWindowTile)->trigger();
    QCOMPARE(frame.MdiArea()->viewMode(), QMdiArea::SubWindowView);
    frame.CommandAction(FrameCmd::kViewWorkbook)->trigger();
    QCOMPARE(frame.MdiArea()->viewMode(), QMdiArea::TabbedView);
    QVERIFY(!frame.CommandAction(FrameCmd::kWindowTile)->isEnabled());
}

void MainFrameTest::exportsProposeDosNames()
{
    RecordingPresenter messages;
    ScriptedChooser chooser;
    CMainFrame frame(m_fixture->Folder());
    frame.SetFileNameChooser(chooser.Function());
    CChildFrame* child = frame.NewDocument();

    // Without a complete engine the export stops before the dialog.
    frame.CommandAction(Cmd::kExportGameText)->trigger();
    QCOMPARE(messages.Codes(), std::vector<int>{Msg::BoreStrokeSelectionRequired});
    QVERIFY(chooser.requests.isEmpty());
    messages.Clear();

    BuildEngine(child->Document(), true);
    child->Document().SetTitle("My Big Engine.trq");
    chooser.answers.push_back(m_fixture->FilePath("LongEngineName.gme"));
    frame.CommandAction(Cmd::kExportGameText)->trigger();
    QVERIFY(messages.Codes().empty());
    const FileDialogRequest game = chooser.requests.last();
    QCOMPARE(game.title, QStringLiteral("Export To NIRA Intense Imports Game File"));
    QCOMPARE(game.nameFilters.first(), QStringLiteral("NIRA Intense Imports Game Files (*.gme)"));
    QCOMPARE(game.defaultSuffix, QStringLiteral("gme"));
    QCOMPARE(QFileInfo(game.proposedPath).fileName(), QStringLiteral("My Big E.gme"));
    QVERIFY(QFile::exists(m_fixture->FilePath("LongEngi.gme")));

    chooser.answers.push_back(m_fixture->FilePath("dosrec.trq"));
    frame.CommandAction(Cmd::kExportDosRecord)->trigger();
    QVERIFY(messages.Codes().empty());
    const FileDialogRequest dos = chooser.requests.last();
    QCOMPARE(QFileInfo(dos.proposedPath).fileName(), QStringLiteral("My Big E.trq"));
    QVERIFY(dos.nameFilters.first().endsWith(QStringLiteral("(*.trq)")));
    QCOMPARE(QFileInfo(m_fixture->FilePath("dosrec.trq")).size(), qint64{815});
}

void MainFrameTest::printoutsGoOnThePaperOfTheUsersCountry()
{
    const QLocale before;
    for (const auto& [locale, paper] :
         {std::pair{QLocale(QLocale::English, QLocale::UnitedStates), QPageSize::Letter},
          std::pair{QLocale(QLocale::German, QLocale::Germany), QPageSize::A4}}) {
        QLocale::setDefault(locale);
        CMainFrame frame(m_fixture->Folder());
        QCOMPARE(frame.Printer().pageLayout().pageSize().id(), paper);
    }
    QLocale::setDefault(before);
}

QTEST_MAIN(MainFrameTest)
#include "MainFrameTest.moc"
