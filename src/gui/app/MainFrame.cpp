#include "MainFrame.h"

#include "AboutDlg.h"
#include "AppIcons.h"
#include "ChildFrame.h"
#include "IteratorCommands.h"
#include "UserManual.h"
#include "dialogs/CalculatorCommands.h"
#include "model/DosRecordExport.h"
#include "model/EngineFile.h"
#include "model/GameTextExport.h"
#include "model/MenuCommands.h"
#include "model/TorqDoc.h"
#include "views/Chart2dView.h"
#include "views/EngineFormView.h"
#include "views/EngineHistory.h"
#include "views/ResultsTableView.h"
#include "views/StatusText.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QProcess>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUndoGroup>
#include <QUndoStack>
#include <QUrl>

#include <filesystem>
#include <optional>
#include <system_error>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

const QString kEngineFilter = QStringLiteral("Torqwell Engine Files(*.trq)");
const QString kAllFilesFilter = QStringLiteral("All Files (*)");
const QString kProductInfoProgram = QStringLiteral("VellDemo/Vellmor Software.exe");

// The document commands that need an engine window.
constexpr int kDocumentCommands[] = {FrameCmd::kFileClose,
                                     FrameCmd::kFileSave,
                                     FrameCmd::kFileSaveAs,
                                     FrameCmd::kFilePrint,
                                     FrameCmd::kFilePrintPreview,
                                     Cmd::kExportGameText,
                                     Cmd::kExportDosRecord,
                                     Cmd::kRun,
                                     Cmd::kAutoRun,
                                     Cmd::kClearComponents,
                                     Cmd::kEnglishUnits,
                                     Cmd::kMetricUnits,
                                     Cmd::kIteratorTesting,
                                     FrameCmd::kWindowArrange,
                                     Cmd::kCompressionRatioMath,
                                     Cmd::kAirflowMath,
                                     Cmd::kCamMath};

// Arranging windows needs them as windows: not while they are workbook tabs.
constexpr int kWindowArrangingCommands[] = {FrameCmd::kWindowCascade, FrameCmd::kWindowTile};

// What Edit > Undo calls a command of the Engine menu.
QString EngineChangeName(int command, const CTorqDoc& doc)
{
    switch (command) {
        case Cmd::kAutoRun:
            return doc.IsAutoRun() ? QStringLiteral("Auto Run On") : QStringLiteral("Auto Run Off");
        case Cmd::kClearComponents:
            return QStringLiteral("Clear Components");
        case Cmd::kEnglishUnits:
            return QStringLiteral("Domestic/English Units");
        case Cmd::kMetricUnits:
            return QStringLiteral("Foreign/Metric Units");
        default:
            return QString();
    }
}

// An engine file among dropped URLs: local, and named *.trq.
bool IsEngineFileUrl(const QUrl& url)
{
    return url.isLocalFile() && url.toLocalFile().endsWith(QStringLiteral(".trq"), Qt::CaseInsensitive);
}

QList<QUrl> EngineFileUrls(const QMimeData* data)
{
    QList<QUrl> engines;
    if (data == nullptr || !data->hasUrls()) return engines;
    const QList<QUrl> urls = data->urls();
    for (const QUrl& url : urls) {
        if (IsEngineFileUrl(url)) engines.append(url);
    }
    return engines;
}

// Engine-menu entries whose check mark the document decides.
constexpr int kCheckedEngineCommands[] = {Cmd::kAutoRun, Cmd::kEnglishUnits, Cmd::kMetricUnits};

// Whether a lock key is on, where the platform lets a program read it.
std::optional<bool> LockKeyState(int index)
{
#ifdef Q_OS_WIN
    static constexpr int keys[] = {VK_CAPITAL, VK_NUMLOCK, VK_SCROLL};
    return (GetKeyState(keys[index]) & 1) != 0;
#else
    Q_UNUSED(index);
    return std::nullopt;
#endif
}

QString DefaultChooseFileName(QWidget* parent, const FileDialogRequest& request)
{
    QFileDialog dialog(parent, request.title);
    const bool save = request.mode == FileDialogRequest::Mode::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(request.nameFilters);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.proposedPath.isEmpty()) {
        const QFileInfo proposed(request.proposedPath);
        dialog.setDirectory(proposed.absolutePath());
        if (save) dialog.selectFile(proposed.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

QMessageBox::StandardButton DefaultAskSaveChanges(QWidget* parent, const QString& title)
{
    return QMessageBox::question(parent, QStringLiteral("Torqwell"),
                                 QObject::tr("Save changes to %1?").arg(title),
                                 QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
}

}  // namespace

CMainFrame::CMainFrame(const QString& startFolder, QWidget* parent)
    : QMainWindow(parent),
      m_startFolder(startFolder),
      m_lastFolder(startFolder),
      m_mdiArea(new QMdiArea(this)),
      m_undoGroup(new QUndoGroup(this)),
      m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution)),
      m_chooseFileName(DefaultChooseFileName),
      m_askSaveChanges(DefaultAskSaveChanges),
      m_showExportError([](QWidget* parent, const QString& title, const QString& text) {
          QMessageBox::warning(parent, title, text);
      }),
      m_iteratorCommands(
          new CIteratorCommands(*this, IteratorTest::Instance(), [this] { return NewDocument(); })),
      m_openDocument([](const QUrl& url) { return QDesktopServices::openUrl(url); })
{
    setWindowIcon(MakeAppIcon());
    m_mdiArea->setViewMode(QMdiArea::TabbedView);
    m_mdiArea->setDocumentMode(true);
    m_mdiArea->setTabsMovable(true);
    m_mdiArea->setTabsClosable(true);
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdiArea);
    setAcceptDrops(true);
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, &CMainFrame::OnSubWindowActivated);

    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    RebuildRecentFileMenu();
    UpdateCommandStates();
    UpdateMainTitle();
}

CMainFrame::~CMainFrame()
{
    // The engine windows go first, and without telling a frame that is going away.
    disconnect(m_mdiArea, nullptr, this, nullptr);
    const auto children = m_mdiArea->findChildren<CChildFrame*>();
    for (CChildFrame* child : children) disconnect(child, nullptr, this, nullptr);
    qDeleteAll(children);
}

// ---------------------------------------------------------------- menus

QAction* CMainFrame::AddCommand(QMenu* menu, int command, const QString& text, const QString& statusTip)
{
    QAction* action = menu->addAction(text);
    action->setStatusTip(statusTip);
    m_actions.insert(command, action);
    return action;
}

void CMainFrame::CreateMenus()
{
    CreateFileMenu();
    CreateEditMenu();
    CreateEngineMenu();
    CreateViewMenu();
    CreateWindowMenu();
    CreateHelpMenu();
}

void CMainFrame::CreateFileMenu()
{
    m_fileMenu = menuBar()->addMenu(tr("&File"));
    QMenu* menu = m_fileMenu;
    QAction* action = AddCommand(menu, FrameCmd::kFileNew, tr("&New"), tr("Create a new engine"));
    action->setShortcut(QKeySequence::New);
    action->setIcon(MakeToolIcon(ToolIcon::New));
    connect(action, &QAction::triggered, this, [this] { NewDocument(); });

    action = AddCommand(menu, FrameCmd::kFileOpen, tr("&Open..."), tr("Open an existing engine file"));
    action->setShortcut(QKeySequence::Open);
    action->setIcon(MakeToolIcon(ToolIcon::Open));
    connect(action, &QAction::triggered, this, &CMainFrame::OnFileOpen);

    m_exampleMenu = menu->addMenu(tr("Open Exa&mple"));
    m_exampleMenu->setStatusTip(tr("Open one of the example engines that come with Torqwell"));
    connect(m_exampleMenu, &QMenu::aboutToShow, this, &CMainFrame::RebuildExampleMenu);
    RebuildExampleMenu();

    action = AddCommand(menu, FrameCmd::kFileClose, tr("&Close"), tr("Close the active engine"));
    connect(action, &QAction::triggered, this, [this] {
        if (CChildFrame* child = ActiveChild()) child->close();
    });

    action = AddCommand(menu, FrameCmd::kFileSave, tr("&Save"), tr("Save the active engine"));
    action->setShortcut(QKeySequence::Save);
    action->setIcon(MakeToolIcon(ToolIcon::Save));
    connect(action, &QAction::triggered, this, [this] {
        if (CChildFrame* child = ActiveChild()) SaveDocument(*child, false);
    });

    action = AddCommand(menu, FrameCmd::kFileSaveAs, tr("Save &As..."),
                        tr("Save the active engine under a new name"));
    connect(action, &QAction::triggered, this, [this] {
        if (CChildFrame* child = ActiveChild()) SaveDocument(*child, true);
    });
    menu->addSeparator();

    QMenu* exportMenu = menu->addMenu(tr("&Export To Other Programs"));
    action = AddCommand(exportMenu, Cmd::kExportGameText, tr("Export To &NIRA Intense Imports Game..."),
                        tr("Write the engine as a racing game engine file"));
    connect(action, &QAction::triggered, this, &CMainFrame::OnExportGameText);
    action = AddCommand(exportMenu, Cmd::kExportDosRecord, tr("Export To &DOS Engine Record..."),
                        tr("Write the engine as an engine record for the older DOS programs"));
    connect(action, &QAction::triggered, this, &CMainFrame::OnExportDosRecord);
    AddResultExports(menu);
    menu->addSeparator();

    action = AddCommand(menu, FrameCmd::kFilePrint, tr("&Print..."), tr("Print the active sheet"));
    action->setShortcut(QKeySequence::Print);
    action->setIcon(MakeToolIcon(ToolIcon::Print));
    connect(action, &QAction::triggered, this, &CMainFrame::OnFilePrint);
    action = AddCommand(menu, FrameCmd::kFilePrintPreview, tr("Print Pre&view"), tr("Show the printed page"));
    connect(action, &QAction::triggered, this, &CMainFrame::OnFilePrintPreview);
    action = AddCommand(menu, FrameCmd::kFilePrintSetup, tr("P&rint Setup..."),
                        tr("Choose the printer and the page"));
    connect(action, &QAction::triggered, this, &CMainFrame::OnFilePrintSetup);

    m_recentSeparator = menu->addSeparator();
    for (int i = 0; i < CRecentFileList::kMaxEntries; ++i) {
        QAction* recent = AddCommand(menu, FrameCmd::kFileMru1 + i, QString(), tr("Open this engine file"));
        connect(recent, &QAction::triggered, this, [this, i] { OpenRecentFile(i); });
        m_recentActions.append(recent);
    }
    menu->addSeparator();
    action =
        AddCommand(menu, FrameCmd::kAppExit, tr("E&xit"), tr("Quit Torqwell; asks to save modified engines"));
    connect(action, &QAction::triggered, this, &QWidget::close);
}

void CMainFrame::CreateEditMenu()
{
    m_editMenu = menuBar()->addMenu(tr("&Edit"));
    // The active engine's history names the change: "Undo Compression Ratio 10.5".
    QAction* undo = m_undoGroup->createUndoAction(this, tr("&Undo"));
    undo->setShortcuts(QKeySequence::Undo);
    undo->setStatusTip(tr("Take back the last change of the engine"));
    m_actions.insert(FrameCmd::kEditUndo, undo);
    m_editMenu->addAction(undo);
    QAction* redo = m_undoGroup->createRedoAction(this, tr("&Redo"));
    redo->setShortcuts(QKeySequence::Redo);
    redo->setStatusTip(tr("Make the change that was taken back again"));
    m_actions.insert(FrameCmd::kEditRedo, redo);
    m_editMenu->addAction(redo);
    m_editMenu->addSeparator();
    AddCopyCommand(m_editMenu);
}

void CMainFrame::CreateEngineMenu()
{
    // Alt+N: Alt+E belongs to the Edit menu.
    QMenu* menu = menuBar()->addMenu(tr("E&ngine"));
    QAction* run = AddCommand(menu, Cmd::kRun, tr("&Run!"), tr("Run the simulation of the active engine"));
    run->setShortcut(QKeySequence(Qt::Key_F5));
    run->setIcon(MakeToolIcon(ToolIcon::Run));
    QAction* autoRun =
        AddCommand(menu, Cmd::kAutoRun, tr("&Auto Run"), tr("Run the simulation after every change"));
    autoRun->setCheckable(true);
    menu->addSeparator();
    AddCommand(menu, Cmd::kClearComponents, tr("&Clear Components"),
               tr("Remove every component of the engine"));
    menu->addSeparator();
    for (int command : {Cmd::kEnglishUnits, Cmd::kMetricUnits}) {
        QAction* action =
            AddCommand(menu, command,
                       command == Cmd::kEnglishUnits ? tr("Domestic/English") : tr("Foreign/Metric Units"),
                       tr("Show the engine in these units"));
        action->setCheckable(true);
    }
    menu->addSeparator();
    // The engine's command posts "Run the Iterator", which runs once the menu command has returned.
    connect(AddCommand(menu, Cmd::kIteratorTesting, tr("&Iterator Testing..."),
                       tr("Step chosen parameters of an engine over ranges and keep the ten best results")),
            &QAction::triggered, this, [this] {
                QMetaObject::invokeMethod(m_iteratorCommands, &CIteratorCommands::RunIterator,
                                          Qt::QueuedConnection);
            });
    for (int command :
         {Cmd::kRun, Cmd::kAutoRun, Cmd::kClearComponents, Cmd::kEnglishUnits, Cmd::kMetricUnits}) {
        connect(m_actions.value(command), &QAction::triggered, this,
                [this, command] { OnEngineCommand(command); });
    }
    connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandStates);

    // The engine's calculators, in a menu of their own beside it.
    QMenu* calculators = menuBar()->addMenu(tr("&Calculators"));
    AddCommand(calculators, Cmd::kCompressionRatioMath, tr("Compression &Ratio Math..."),
               tr("Work out the compression ratio from chamber, gasket and deck measurements"));
    AddCommand(calculators, Cmd::kAirflowMath, tr("&Airflow Math..."),
               tr("Convert an airflow to a carburettor rating"));
    AddCommand(calculators, Cmd::kCamMath, tr("&Cam Math..."),
               tr("Work out the valve events from a cam card"));
    for (int command : {Cmd::kCompressionRatioMath, Cmd::kAirflowMath, Cmd::kCamMath}) {
        connect(m_actions.value(command), &QAction::triggered, this, [this, command] {
            if (CChildFrame* child = ActiveChild()) RunCalculatorCommand(command, child->Document(), this);
        });
    }
    connect(calculators, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandStates);
}

void CMainFrame::CreateViewMenu()
{
    QMenu* menu = menuBar()->addMenu(tr("&View"));
    QAction* toolbar =
        AddCommand(menu, FrameCmd::kViewToolbar, tr("&Toolbar"), tr("Show or hide the toolbar"));
    toolbar->setCheckable(true);
    toolbar->setChecked(true);
    connect(toolbar, &QAction::toggled, this, [this](bool on) { m_toolBar->setVisible(on); });
    QAction* status =
        AddCommand(menu, FrameCmd::kViewStatusBar, tr("&Status Bar"), tr("Show or hide the status bar"));
    status->setCheckable(true);
    status->setChecked(true);
    connect(status, &QAction::toggled, this, [this](bool on) { statusBar()->setVisible(on); });
    QAction* workbook = AddCommand(menu, FrameCmd::kViewWorkbook, tr("&Workbook"),
                                   tr("Show the engine windows as tabs of a workbook"));
    workbook->setCheckable(true);
    workbook->setChecked(true);
    connect(workbook, &QAction::toggled, this, [this](bool on) {
        m_mdiArea->setViewMode(on ? QMdiArea::TabbedView : QMdiArea::SubWindowView);
        if (!on) {
            if (QMdiSubWindow* current = m_mdiArea->currentSubWindow()) current->showMaximized();
        }
        UpdateCommandStates();
        UpdateMainTitle();
    });
}

void CMainFrame::CreateWindowMenu()
{
    m_windowMenu = menuBar()->addMenu(tr("&Window"));
    connect(m_windowMenu, &QMenu::aboutToShow, this, &CMainFrame::RebuildWindowMenu);
    // Arranging windows needs them as windows: both wait while the workbook shows tabs.
    connect(AddCommand(m_windowMenu, FrameCmd::kWindowCascade, tr("&Cascade"),
                       tr("Arrange the windows overlapped")),
            &QAction::triggered, m_mdiArea, &QMdiArea::cascadeSubWindows);
    connect(
        AddCommand(m_windowMenu, FrameCmd::kWindowTile, tr("&Tile"), tr("Arrange the windows side by side")),
        &QAction::triggered, m_mdiArea, &QMdiArea::tileSubWindows);
    connect(AddCommand(m_windowMenu, FrameCmd::kWindowArrange, tr("&Arrange Icons"),
                       tr("Line up the minimized windows at the bottom")),
            &QAction::triggered, this, &CMainFrame::ArrangeIcons);
    RebuildWindowMenu();
}

void CMainFrame::CreateHelpMenu()
{
    QMenu* menu = menuBar()->addMenu(tr("&Help"));
    connect(AddCommand(menu, Cmd::kUserManual, tr("&User Manual..."), tr("Open the user manual")),
            &QAction::triggered, this, &CMainFrame::OnHelpUserManual);
    connect(AddCommand(menu, Cmd::kProductInfo, tr("&Vellmor Software..."), tr("Product information")),
            &QAction::triggered, this, &CMainFrame::OnHelpProductInfo);
    menu->addSeparator();
    connect(AddCommand(menu, Cmd::kAbout, tr("&About Torqwell..."), tr("Version and credits")),
            &QAction::triggered, this, &CMainFrame::OnAppAbout);
}

void CMainFrame::CreateToolBar()
{
    m_toolBar = addToolBar(tr("Toolbar"));
    m_toolBar->setObjectName(QStringLiteral("MainToolBar"));
    m_toolBar->setIconSize(QSize(20, 20));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_toolBar->toggleViewAction()->setVisible(false);
    m_toolBar->addAction(CommandAction(FrameCmd::kFileNew));
    m_toolBar->addAction(CommandAction(FrameCmd::kFileOpen));
    m_toolBar->addAction(CommandAction(FrameCmd::kFileSave));
    m_toolBar->addSeparator();
    m_toolBar->addAction(CommandAction(FrameCmd::kFilePrint));
    m_toolBar->addSeparator();
    m_toolBar->addAction(CommandAction(Cmd::kRun));
    // The Run! button says what it does.
    if (auto* runButton = qobject_cast<QToolButton*>(m_toolBar->widgetForAction(CommandAction(Cmd::kRun)))) {
        runButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    }
}

void CMainFrame::CreateStatusBar()
{
    QStatusBar* bar = statusBar();
    // The message pane says "Ready" whenever nothing else is shown.
    connect(bar, &QStatusBar::messageChanged, this, [bar](const QString& message) {
        if (message.isEmpty()) bar->showMessage(QString::fromLatin1(kReadyStatusText));
    });
    bar->showMessage(QString::fromLatin1(kReadyStatusText));
    for (const char* text : {"CAP", "NUM", "SCRL"}) {
        auto* indicator = new QLabel(QString::fromLatin1(text), bar);
        indicator->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        indicator->setAlignment(Qt::AlignCenter);
        indicator->setMinimumWidth(indicator->fontMetrics().horizontalAdvance(QStringLiteral("SCRL")) + 12);
        bar->addPermanentWidget(indicator);
        m_keyIndicators.append(indicator);
    }
    UpdateKeyStateIndicators();
#ifdef Q_OS_WIN
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &CMainFrame::UpdateKeyStateIndicators);
    timer->start(250);
#endif
}

void CMainFrame::UpdateKeyStateIndicators()
{
    for (int i = 0; i < m_keyIndicators.size(); ++i) {
        QLabel* indicator = m_keyIndicators[i];
        const std::optional<bool> on = LockKeyState(i);
        // Where the state cannot be read the indicator stays dimmed rather than guess.
        indicator->setEnabled(on.value_or(false));
        indicator->setToolTip(on.has_value() ? QString()
                                             : tr("The lock-key state cannot be read on this platform"));
    }
}

void CMainFrame::RebuildRecentFileMenu()
{
    const QStringList& entries = m_recentFiles.Entries();
    for (int i = 0; i < m_recentActions.size(); ++i) {
        QAction* action = m_recentActions[i];
        const bool used = i < entries.size();
        action->setVisible(used);
        if (used) {
            action->setText(CRecentFileList::MenuText(i, entries[i]));
            action->setData(entries[i]);
        }
    }
    m_recentSeparator->setVisible(!entries.isEmpty());
}

void CMainFrame::RebuildWindowMenu()
{
    // Keep the three arranging commands, then list the windows.
    const auto actions = m_windowMenu->actions();
    for (int i = 3; i < actions.size(); ++i) {
        m_windowMenu->removeAction(actions[i]);
        if (actions[i]->parent() == m_windowMenu) delete actions[i];
    }
    const QList<CChildFrame*> children = ChildFrames();
    if (children.isEmpty()) return;
    m_windowMenu->addSeparator();
    CChildFrame* active = ActiveChild();
    for (int i = 0; i < children.size(); ++i) {
        CChildFrame* child = children[i];
        QString title = QString::fromStdString(child->Document().GetTitle());
        title.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* action =
            m_windowMenu->addAction(i < 9 ? QStringLiteral("&%1 %2").arg(i + 1).arg(title) : title);
        action->setCheckable(true);
        action->setChecked(child == active);
        connect(action, &QAction::triggered, this, [this, child] { m_mdiArea->setActiveSubWindow(child); });
    }
}

void CMainFrame::UpdateCommandStates()
{
    CChildFrame* child = ActiveChild();
    for (int command : kDocumentCommands) m_actions.value(command)->setEnabled(child != nullptr);
    const bool workbook = m_mdiArea->viewMode() == QMdiArea::TabbedView;
    for (int command : kWindowArrangingCommands)
        m_actions.value(command)->setEnabled(child != nullptr && !workbook);
    for (int command : kCheckedEngineCommands) {
        m_actions.value(command)->setChecked(child != nullptr &&
                                             MenuCommandState(child->Document(), command).checked);
    }
    UpdateResultCommands();
}

void CMainFrame::UpdateMainTitle()
{
    CChildFrame* child = ActiveChild();
    if (child == nullptr) {
        setWindowTitle(QStringLiteral("Torqwell"));
        setWindowModified(false);
        return;
    }
    // Outside the workbook a maximized window adds its own title to the
    // frame's, so the frame names only the program there.
    if (m_mdiArea->viewMode() == QMdiArea::TabbedView) {
        setWindowTitle(QStringLiteral("Torqwell - ") + child->windowTitle());
    } else {
        setWindowTitle(QStringLiteral("Torqwell[*]"));
    }
    setWindowModified(child->Document().IsModified());
}

// ---------------------------------------------------------------- windows

CChildFrame* CMainFrame::ActiveChild() const
{
    if (auto* current = qobject_cast<CChildFrame*>(m_mdiArea->currentSubWindow())) return current;
    // While the frame itself is being activated the area may briefly name no
    // window; the one activated last is still the user's.
    if (m_lastActive != nullptr && m_mdiArea->subWindowList().contains(m_lastActive.data()))
        return m_lastActive;
    return nullptr;
}

void CMainFrame::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() &&
        m_mdiArea->activeSubWindow() == nullptr && m_lastActive != nullptr &&
        m_mdiArea->subWindowList().contains(m_lastActive.data())) {
        m_mdiArea->setActiveSubWindow(m_lastActive);
    }
}

QList<CChildFrame*> CMainFrame::ChildFrames() const
{
    QList<CChildFrame*> children;
    const auto windows = m_mdiArea->subWindowList();
    for (QMdiSubWindow* window : windows) {
        if (auto* child = qobject_cast<CChildFrame*>(window)) children.append(child);
    }
    return children;
}

CChildFrame* CMainFrame::AddChildFrame(std::unique_ptr<CTorqDoc> document)
{
    auto* child = new CChildFrame(std::move(document));
    child->SetCloseQuery([this](CChildFrame& frame) { return SaveModified(frame); });
    connect(child, &CChildFrame::CaptionChanged, this, [this, child] {
        if (child == ActiveChild()) UpdateMainTitle();
    });
    connect(child, &CChildFrame::ActiveSheetChanged, this, [this, child] {
        if (child == ActiveChild()) UpdateResultCommands();
    });
    connect(child, &QObject::destroyed, this, [this] {
        UpdateCommandStates();
        UpdateMainTitle();
    });
    m_undoGroup->addStack(child->History()->Stack());
    // The start-up hint goes with the first change of its engine.
    connect(child->History()->Stack(), &QUndoStack::indexChanged, this, [this, child] {
        if (child == m_hintedChild) ClearStartHint();
    });
    m_mdiArea->addSubWindow(child);
    // New and opened engines always get the whole workbook.
    child->showMaximized();
    m_mdiArea->setActiveSubWindow(child);
    OnSubWindowActivated(child);
    return child;
}

void CMainFrame::OnSubWindowActivated(QMdiSubWindow* window)
{
    // Activating an engine window brings all of its views up to date.
    if (auto* child = qobject_cast<CChildFrame*>(window)) {
        m_lastActive = child;
        m_undoGroup->setActiveStack(child->History()->Stack());
        child->Document().UpdateAllViews();
    } else if (ActiveChild() == nullptr) {
        m_undoGroup->setActiveStack(nullptr);
    }
    UpdateCommandStates();
    UpdateMainTitle();
}

void CMainFrame::ArrangeIcons()
{
    // Minimized windows line up from the bottom left.
    int x = 0;
    const auto windows = m_mdiArea->subWindowList();
    for (QMdiSubWindow* window : windows) {
        if (!window->isMinimized()) continue;
        const QSize size = window->size();
        window->move(x, m_mdiArea->viewport()->height() - size.height());
        x += size.width();
    }
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    // Every modified engine is asked about before any window closes, so
    // that one Cancel keeps the program exactly as it was.
    const QList<CChildFrame*> children = ChildFrames();
    for (CChildFrame* child : children) {
        if (!child->Document().IsModified()) continue;
        m_mdiArea->setActiveSubWindow(child);
        if (!SaveModified(*child)) {
            event->ignore();
            return;
        }
    }
    for (CChildFrame* child : children) child->CloseWithoutQuery();
    event->accept();
}

// ---------------------------------------------------------------- files

QString CMainFrame::ChooseFileName(const FileDialogRequest& request)
{
    const QString path = m_chooseFileName(this, request);
    if (!path.isEmpty()) RememberFolder(path);
    return path;
}

QString CMainFrame::ProposedPath(const QString& fileName) const
{
    return QDir(m_lastFolder).filePath(fileName);
}

void CMainFrame::RememberFolder(const QString& path)
{
    m_lastFolder = QFileInfo(path).absolutePath();
}

CChildFrame* CMainFrame::NewDocument()
{
    auto document = std::make_unique<CTorqDoc>();
    document->SetTitle("Torq" + std::to_string(++m_untitledCount));
    return AddChildFrame(std::move(document));
}

void CMainFrame::OnFileOpen()
{
    const QString path = ChooseFileName({FileDialogRequest::Mode::Open,
                                         tr("Open"),
                                         {kEngineFilter, kAllFilesFilter},
                                         ProposedPath(QString()),
                                         QStringLiteral("trq")});
    if (!path.isEmpty()) OpenDocumentFile(path);
}

CChildFrame* CMainFrame::OpenDocumentFile(const QString& path)
{
    return OpenNativeDocumentFile(QFile::encodeName(QFileInfo(path).absoluteFilePath()).toStdString());
}

CChildFrame* CMainFrame::OpenNativeDocumentFile(const std::string& nativePath)
{
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(nativePath, error);
    if (error) absolute = nativePath;
    for (CChildFrame* child : ChildFrames()) {
        const std::string& open = child->Document().GetPathName();
        if (!open.empty() && std::filesystem::equivalent(open, absolute, error)) {
            m_mdiArea->setActiveSubWindow(child);
            return child;
        }
    }
    auto document = std::make_unique<CTorqDoc>();
    // A file that fails has shown its message; the new engine is dropped.
    if (!OpenEngineDocument(*document, absolute.string())) return nullptr;
    m_recentFiles.Add(QFile::decodeName(QByteArray::fromStdString(absolute.string())));
    RebuildRecentFileMenu();
    ClearStartHint();
    return AddChildFrame(std::move(document));
}

void CMainFrame::OpenRecentFile(int index)
{
    const QStringList& entries = m_recentFiles.Entries();
    if (index >= entries.size()) return;
    const QString path = entries[index];
    if (OpenDocumentFile(path) == nullptr) {
        m_recentFiles.Remove(path);
        RebuildRecentFileMenu();
    }
}

bool CMainFrame::SaveDocument(CChildFrame& child, bool askForName)
{
    CTorqDoc& doc = child.Document();
    QString path = QString::fromStdString(doc.GetPathName());
    if (askForName || path.isEmpty()) {
        QString proposed = path;
        if (proposed.isEmpty()) {
            proposed = QString::fromStdString(doc.GetTitle());
            if (QFileInfo(proposed).suffix().isEmpty()) proposed += QStringLiteral(".trq");
            proposed = ProposedPath(proposed);
        }
        path = ChooseFileName({FileDialogRequest::Mode::Save,
                               tr("Save As"),
                               {kEngineFilter, kAllFilesFilter},
                               proposed,
                               QStringLiteral("trq")});
        if (path.isEmpty()) return false;
    }
    if (!SaveEngineDocument(doc, QFileInfo(path).absoluteFilePath().toStdString())) return false;
    // Saving may have run the engine; what is saved is the clean state.
    child.History()->MarkSaved();
    m_recentFiles.Add(path);
    RebuildRecentFileMenu();
    doc.UpdateAllViews();
    child.UpdateCaption();
    return true;
}

bool CMainFrame::SaveModified(CChildFrame& child)
{
    const CTorqDoc& doc = child.Document();
    if (!doc.IsModified()) return true;
    switch (m_askSaveChanges(this, QString::fromStdString(doc.GetTitle()))) {
        case QMessageBox::Yes:
            return SaveDocument(child, false);
        case QMessageBox::No:
            return true;
        default:
            return false;
    }
}

void CMainFrame::OnExportGameText()
{
    CChildFrame* child = ActiveChild();
    if (child == nullptr) return;
    CTorqDoc& doc = child->Document();
    if (!CheckGameTextExport(doc)) return;
    const QString path =
        ChooseFileName({FileDialogRequest::Mode::Save,
                        tr("Export To NIRA Intense Imports Game File"),
                        {QStringLiteral("NIRA Intense Imports Game Files (*.gme)"), kAllFilesFilter},
                        ProposedPath(QString::fromStdString(ProposedGameTextName(doc))),
                        QStringLiteral("gme")});
    if (path.isEmpty()) return;
    const QFileInfo chosen(path);
    ExportGameTextFile(doc, chosen.absolutePath().toStdString(), chosen.fileName().toStdString());
}

void CMainFrame::OnExportDosRecord()
{
    CChildFrame* child = ActiveChild();
    if (child == nullptr) return;
    CTorqDoc& doc = child->Document();
    if (!CheckDosRecordExport(doc)) return;
    const QString path = ChooseFileName({FileDialogRequest::Mode::Save,
                                         tr("Export To DOS Engine Record File"),
                                         {QStringLiteral("DOS Engine Record Files (*.trq)"), kAllFilesFilter},
                                         ProposedPath(QString::fromStdString(ProposedDosRecordName(doc))),
                                         QStringLiteral("trq")});
    if (path.isEmpty()) return;
    const QFileInfo chosen(path);
    ExportDosRecordFile(doc, chosen.absolutePath().toStdString(), chosen.fileName().toStdString());
}

// ---------------------------------------------------------------- engine commands

void CMainFrame::OnEngineCommand(int command)
{
    CChildFrame* child = ActiveChild();
    if (child == nullptr) return;
    CTorqDoc& doc = child->Document();
    if (ApplyMenuCommand(doc, command) == CommandResult::Applied) {
        // A run changes no part of the engine, only what it yields: the
        // results belong to the present state and are not undone by
        // themselves.
        if (command == Cmd::kRun) {
            child->History()->TakeCurrentState();
        } else {
            child->History()->Record(EngineChangeName(command, doc));
        }
    }
    UpdateCommandStates();
}

// ---------------------------------------------------------------- examples, start-up hint, dropped files

QString CMainFrame::ExampleFolder() const
{
    if (!m_exampleFolder.isEmpty()) return m_exampleFolder;
#ifdef TORQWELL_SOURCE_DIR
    const QString sourceFolder = QStringLiteral(TORQWELL_SOURCE_DIR "/examples");
#else
    const QString sourceFolder;
#endif
    return FindExampleFolder(QCoreApplication::applicationDirPath(), sourceFolder);
}

QString CMainFrame::FindExampleFolder(const QString& programFolder, const QString& sourceFolder)
{
    // Installed: <prefix>/bin/torqwell beside <prefix>/share/torqwell/examples.
    const QDir installed(QDir(programFolder).filePath(QStringLiteral("../share/torqwell/examples")));
    if (installed.exists()) return installed.canonicalPath();
    // A build tree: the examples of the source it was built from.
    if (!sourceFolder.isEmpty() && QDir(sourceFolder).exists()) return QDir(sourceFolder).canonicalPath();
    return {};
}

QStringList CMainFrame::ExampleFiles() const
{
    const QString folder = ExampleFolder();
    if (folder.isEmpty()) return {};
    QStringList files;
    const QStringList names =
        QDir(folder).entryList({QStringLiteral("*.trq")}, QDir::Files | QDir::Readable, QDir::Name);
    for (const QString& name : names) files.append(QDir(folder).filePath(name));
    return files;
}

void CMainFrame::RebuildExampleMenu()
{
    m_exampleMenu->clear();
    const QStringList files = ExampleFiles();
    for (const QString& file : files) {
        QString text = QFileInfo(file).completeBaseName();
        text.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* action = m_exampleMenu->addAction(text);
        action->setData(file);
        action->setStatusTip(tr("Open the example engine %1").arg(QFileInfo(file).fileName()));
        connect(action, &QAction::triggered, this, [this, file] { OpenExample(file); });
    }
    if (files.isEmpty()) m_exampleMenu->addAction(tr("(no examples installed)"))->setEnabled(false);
}

CChildFrame* CMainFrame::OpenExample(const QString& path)
{
    auto document = std::make_unique<CTorqDoc>();
    if (!OpenEngineDocument(*document, QFile::encodeName(QFileInfo(path).absoluteFilePath()).toStdString())) {
        return nullptr;
    }
    // The example opens as a new engine under its name: saving asks where,
    // and the example that came with the program stays as it is.
    document->SetPathName(std::string());
    ClearStartHint();
    return AddChildFrame(std::move(document));
}

void CMainFrame::ShowStartHint()
{
    CChildFrame* child = ActiveChild();
    if (child == nullptr) return;
    m_hintedChild = child;
    child->EngineSheet()->SetHint(tr("Build an engine from the form, or File > Open Example"));
}

void CMainFrame::ClearStartHint()
{
    if (m_hintedChild != nullptr) m_hintedChild->EngineSheet()->SetHint(QString());
    m_hintedChild = nullptr;
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (!EngineFileUrls(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void CMainFrame::dragMoveEvent(QDragMoveEvent* event)
{
    if (!EngineFileUrls(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    const QList<QUrl> engines = EngineFileUrls(event->mimeData());
    if (engines.isEmpty()) return;
    event->acceptProposedAction();
    // Each file that cannot be read shows its message; the others still open.
    for (const QUrl& url : engines) OpenDocumentFile(url.toLocalFile());
}

// ---------------------------------------------------------------- printing

void CMainFrame::PrintSheet(QWidget* sheet, QPrinter& printer, const QString& title)
{
    if (auto* form = qobject_cast<CEngineFormView*>(sheet)) {
        form->Print(&printer, title);
    } else if (auto* table = qobject_cast<CResultsTableView*>(sheet)) {
        table->Print(printer);
    } else if (auto* graph = qobject_cast<CChart2dView*>(sheet)) {
        graph->Print(printer);
    }
}

void CMainFrame::OnFilePrint()
{
    CChildFrame* child = ActiveChild();
    if (child == nullptr) return;
    QPrintDialog dialog(m_printer.get(), this);
    dialog.setWindowTitle(tr("Print"));
    if (dialog.exec() != QDialog::Accepted) return;
    PrintSheet(child->ActiveSheet(), *m_printer, QString::fromStdString(child->Document().GetTitle()));
}

void CMainFrame::OnFilePrintPreview()
{
    CChildFrame* child = ActiveChild();
    if (child == nullptr) return;
    QWidget* sheet = child->ActiveSheet();
    const QString title = QString::fromStdString(child->Document().GetTitle());
    QPrintPreviewDialog preview(m_printer.get(), this);
    preview.setWindowTitle(tr("Print Preview - %1").arg(title));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [sheet, title](QPrinter* printer) { PrintSheet(sheet, *printer, title); });
    preview.resize(size() * 0.8);
    preview.exec();
}

void CMainFrame::OnFilePrintSetup()
{
    QPageSetupDialog dialog(m_printer.get(), this);
    dialog.exec();
}

// ---------------------------------------------------------------- help

void CMainFrame::OnHelpUserManual()
{
    const QString manual = FindUserManual(m_startFolder, QCoreApplication::applicationDirPath());
    // The desktop opens the manual with the program it has for PDF files.
    if (manual.isEmpty() || !m_openDocument(QUrl::fromLocalFile(manual)))
        ShowErrorMessage(Msg::ManualReaderNotStarted);
}

void CMainFrame::OnHelpProductInfo()
{
    const QString program = QDir(m_startFolder).filePath(kProductInfoProgram);
    if (!QProcess::startDetached(program, {}, QFileInfo(program).absolutePath()))
        ShowErrorMessage(Msg::ProductInfoNotStarted);
}

void CMainFrame::OnAppAbout()
{
    CAboutDlg dialog(this);
    dialog.exec();
}
