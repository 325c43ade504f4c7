#pragma once

#include "RecentFileList.h"

#include <QHash>
#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>
#include <QPrinter>
#include <QStringList>

#include <functional>
#include <memory>

class CChildFrame;
class CHelpWindow;
class CIteratorCommands;
class CPullCommands;
class CTorqDoc;
struct ReferenceEngine;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;
class QUrl;
class QUndoGroup;

// Command identifiers of the frame's own menu entries (file, view, window).
namespace FrameCmd {
inline constexpr int kFileNew = 57600;
inline constexpr int kFileOpen = 57601;
inline constexpr int kFileClose = 57602;
inline constexpr int kFileSave = 57603;
inline constexpr int kFileSaveAs = 57604;
inline constexpr int kFilePrintSetup = 57606;
inline constexpr int kFilePrint = 57607;
inline constexpr int kFilePrintPreview = 57609;
inline constexpr int kFileMru1 = 57616;  // then 57617..57619
inline constexpr int kEditUndo = 57643;
inline constexpr int kEditRedo = 57644;
inline constexpr int kWindowArrange = 57649;
inline constexpr int kWindowCascade = 57650;
inline constexpr int kWindowTile = 57651;
inline constexpr int kAppExit = 57665;
inline constexpr int kViewToolbar = 59392;
inline constexpr int kViewStatusBar = 59393;
inline constexpr int kViewWorkbook = 59394;
inline constexpr int kEditCopy = 57634;
inline constexpr int kExportDynoSheet = 33420;
inline constexpr int kExportResults = 33421;
inline constexpr int kHelpContents = 57667;
inline constexpr int kCompareParts = 33422;
inline constexpr int kWhatToChangeNext = 33423;
}  // namespace FrameCmd

// What a file dialog is asked for.
struct FileDialogRequest {
    enum class Mode { Open, Save };
    Mode mode = Mode::Open;
    QString title;
    QStringList nameFilters;
    QString proposedPath;   // folder and proposed file name
    QString defaultSuffix;  // without the dot
};

// The main window: the multiple-document frame with its menus, toolbar,
// status bar and workbook of engine windows, and the commands that belong to
// no single view. Each job has a file of its own: the window and its engine
// windows (MainFrame.cpp), menus, toolbar and status bar (MainFrameMenus),
// file commands (MainFrameFiles), results out of the program
// (MainFrameResults), printing (MainFramePrinting), the example engines
// (MainFrameExamples), dropped files (MainFrameDrop) and help (MainFrameHelp).
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    // Returns the chosen path, or an empty string when the user cancelled.
    using FileNameChooser = std::function<QString(QWidget* parent, const FileDialogRequest& request)>;
    // Asks whether to save a modified document: Yes, No or Cancel.
    using SaveChangesPrompt =
        std::function<QMessageBox::StandardButton(QWidget* parent, const QString& title)>;
    // Shows why an export failed.
    using ExportErrorShower = std::function<void(QWidget* parent, const QString& title, const QString& text)>;
    // Opens a file with the program the desktop has for it; false when it could not.
    using DocumentOpener = std::function<bool(const QUrl& url)>;

    explicit CMainFrame(const QString& startFolder, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // The dialogs can be replaced, so that the commands run without a modal window.
    void SetFileNameChooser(FileNameChooser chooser) { m_chooseFileName = std::move(chooser); }
    void SetSaveChangesPrompt(SaveChangesPrompt prompt) { m_askSaveChanges = std::move(prompt); }
    void SetExportErrorShower(ExportErrorShower shower) { m_showExportError = std::move(shower); }
    void SetDocumentOpener(DocumentOpener opener) { m_openDocument = std::move(opener); }

    // ---- files
    CChildFrame* NewDocument();
    // Opens an engine file in a new window (or shows the window that has it open).
    CChildFrame* OpenDocumentFile(const QString& path);
    // The same for a path in the file system's own bytes (a command-line argument).
    CChildFrame* OpenNativeDocumentFile(const std::string& nativePath);
    void OnFileOpen();
    bool SaveDocument(CChildFrame& child, bool askForName);
    // Asks to save a modified document; false when the user cancelled.
    bool SaveModified(CChildFrame& child);
    void OnExportGameText();
    void OnExportDosRecord();
    // File > Export Dyno Sheet... (PDF, PNG or SVG) and Export Results... (CSV),
    // written through a temporary file; false when nothing was written.
    bool OnExportDynoSheet();
    bool OnExportResults();
    // Edit > Copy: the table as text and HTML, the graph as an image.
    void OnEditCopy();

    // ---- the example engines that come with the program
    // The examples' folder: <prefix>/share/torqwell/examples beside the
    // installed program, else the examples of the source tree it was built
    // from; empty when there is neither.
    QString ExampleFolder() const;
    static QString FindExampleFolder(const QString& programFolder, const QString& sourceFolder);
    void SetExampleFolder(const QString& folder) { m_exampleFolder = folder; }
    // The example engine files, by name.
    QStringList ExampleFiles() const;
    // Opens an example as a new engine under its name, without a path.
    CChildFrame* OpenExample(const QString& path);
    // Opens an engine of the reference library as OpenExample does, with the
    // peaks its source published marked on its graph.
    CChildFrame* OpenReferenceEngine(const QString& folder, const ReferenceEngine& engine);
    QMenu* ExampleMenu() const { return m_exampleMenu; }

    // The hint on the first engine after start-up, until the user edits or opens something.
    void ShowStartHint();
    void ClearStartHint();

    // The undo histories of the engine windows; the active window's answers Edit > Undo.
    QUndoGroup* UndoGroup() const { return m_undoGroup; }

    // ---- printing the active sheet
    void OnFilePrint();
    void OnFilePrintPreview();
    void OnFilePrintSetup();
    // Prints one sheet of a document window on the printer.
    static void PrintSheet(QWidget* sheet, QPrinter& printer, const QString& title);
    // The printer of the session, set up on the paper of the user's country.
    QPrinter& Printer() const { return *m_printer; }

    // ---- help
    // F1 anywhere in the window or its dialogs shows the manual's page about
    // the window or dialog with the focus, Help > Contents its contents,
    // inside the program; where its pages are missing the PDF opens instead.
    void ShowHelpPage(const QString& page);
    void OnHelpContents();
    // Help > User Manual...: the manual as a PDF, for printing; without one
    // (or a program to open it) the manual inside the program. Message 76,
    // naming the file, only when neither can be shown.
    void OnHelpUserManual();
    void OnHelpProductInfo();
    void OnAppAbout();
    // The manual inside the program, once it has been shown.
    CHelpWindow* HelpWindow() const;
    // The product-information program; its Help entry shows only when it exists.
    QString ProductInfoProgram() const;

    // The menu entry or toolbar button of a command (for tests and the toolbar).
    QAction* CommandAction(int command) const { return m_actions.value(command, nullptr); }
    CChildFrame* ActiveChild() const;
    QList<CChildFrame*> ChildFrames() const;
    QMdiArea* MdiArea() const { return m_mdiArea; }
    const CRecentFileList& RecentFiles() const { return m_recentFiles; }
    const QString& StartFolder() const { return m_startFolder; }
    CIteratorCommands& IteratorCommands() const { return *m_iteratorCommands; }
    CPullCommands& PullCommands() const { return *m_pullCommands; }
    QList<QLabel*> KeyStateIndicators() const { return m_keyIndicators; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    // Engine files (*.trq) dropped on the window open.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // ---- menus, toolbar and status bar (MainFrameMenus.cpp)
    QAction* AddCommand(QMenu* menu, int command, const QString& text, const QString& statusTip);
    void CreateMenus();
    void CreateFileMenu();
    void AddEngineFileCommands(QMenu* menu);
    void AddExportCommands(QMenu* menu);
    void AddPrintCommands(QMenu* menu);
    void AddRecentFileCommands(QMenu* menu);
    void CreateEditMenu();
    void CreateEngineMenu();
    void CreateViewMenu();
    void CreateWindowMenu();
    void CreateHelpMenu();
    void CreateToolBar();
    void CreateStatusBar();
    void UpdateKeyStateIndicators();
    void RebuildRecentFileMenu();
    void RebuildWindowMenu();
    // ---- the window and its engine windows (MainFrame.cpp)
    void UpdateCommandStates();
    void UpdateMainTitle();
    void OnEngineCommand(int command);
    void OnSubWindowActivated(QMdiSubWindow* window);
    void ArrangeIcons();
    CChildFrame* AddChildFrame(std::unique_ptr<CTorqDoc> document);
    // ---- files (MainFrameFiles.cpp)
    void OpenRecentFile(int index);
    QString ChooseFileName(const FileDialogRequest& request);
    QString ProposedPath(const QString& fileName) const;
    void RememberFolder(const QString& path);
    // ---- results (MainFrameResults.cpp)
    void AddResultExports(QMenu* menu);
    void AddCopyCommand(QMenu* menu);
    void UpdateResultCommands();
    bool EnsureResults(CChildFrame& child);
    // ---- examples (MainFrameExamples.cpp)
    void RebuildExampleMenu();
    // ---- help (MainFrameHelp.cpp)
    bool ShowBuiltInHelp(const QString& page);
    bool OpenManualPdf();
    void ShowManualMissing();
    void UpdateHelpCommands();
    bool IsHelpKeyFor(QObject* watched, QEvent* event) const;
    void AddReferenceEngineMenu();
    // ---- measured pulls: the commands (PullCommands) with what they need of the window
    CPullCommands* CreatePullCommands();

    QString m_startFolder;
    QString m_lastFolder;
    QMdiArea* m_mdiArea;
    QUndoGroup* m_undoGroup;
    QToolBar* m_toolBar = nullptr;
    QMenu* m_fileMenu = nullptr;
    QMenu* m_editMenu = nullptr;
    QMenu* m_exampleMenu = nullptr;
    QString m_exampleFolder;  // set by tests; else found beside the program
    // Engine windows the frame remembers; a window forgets itself here as
    // it is destroyed (see AddChildFrame), while its destructor runs.
    CChildFrame* m_hintedChild = nullptr;
    QMenu* m_windowMenu = nullptr;
    QAction* m_recentSeparator = nullptr;
    QList<QAction*> m_recentActions;
    QList<QLabel*> m_keyIndicators;
    QHash<int, QAction*> m_actions;
    CRecentFileList m_recentFiles;
    int m_untitledCount = 0;
    CChildFrame* m_lastActive = nullptr;
    std::unique_ptr<QPrinter> m_printer;
    FileNameChooser m_chooseFileName;
    SaveChangesPrompt m_askSaveChanges;
    ExportErrorShower m_showExportError;
    CIteratorCommands* m_iteratorCommands;
    CPullCommands* m_pullCommands;
    DocumentOpener m_openDocument;
    QPointer<CHelpWindow> m_helpWindow;
};
