// The main window's menus, toolbar and status bar: every command with its
// text, shortcut and status tip, connected to what carries it out.

#include "MainFrame.h"

#include "AppIcons.h"
#include "ChildFrame.h"
#include "IteratorCommands.h"
#include "PullCommands.h"
#include "StudyCommands.h"
#include "dialogs/CalculatorCommands.h"
#include "model/MenuCommands.h"
#include "model/TorqDoc.h"
#include "widgets/StatusText.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUndoGroup>

#include <optional>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

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

}  // namespace

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
    m_pullCommands->CreateGraphMenu(*menuBar());
    CreateViewMenu();
    CreateWindowMenu();
    CreateHelpMenu();
}

void CMainFrame::CreateFileMenu()
{
    m_fileMenu = menuBar()->addMenu(tr("&File"));
    AddEngineFileCommands(m_fileMenu);
    m_fileMenu->addSeparator();
    AddExportCommands(m_fileMenu);
    m_fileMenu->addSeparator();
    AddPrintCommands(m_fileMenu);
    AddRecentFileCommands(m_fileMenu);
    m_fileMenu->addSeparator();
    QAction* exit = AddCommand(m_fileMenu, FrameCmd::kAppExit, tr("E&xit"),
                               tr("Quit Torqwell; asks to save modified engines"));
    connect(exit, &QAction::triggered, this, &QWidget::close);
}

void CMainFrame::AddEngineFileCommands(QMenu* menu)
{
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
}

void CMainFrame::AddExportCommands(QMenu* menu)
{
    QMenu* exportMenu = menu->addMenu(tr("&Export To Other Programs"));
    QAction* action =
        AddCommand(exportMenu, Cmd::kExportGameText, tr("Export To &NIRA Intense Imports Game..."),
                   tr("Write the engine as a racing game engine file"));
    connect(action, &QAction::triggered, this, &CMainFrame::OnExportGameText);
    action = AddCommand(exportMenu, Cmd::kExportDosRecord, tr("Export To &DOS Engine Record..."),
                        tr("Write the engine as an engine record for the older DOS programs"));
    connect(action, &QAction::triggered, this, &CMainFrame::OnExportDosRecord);
    AddResultExports(menu);
}

void CMainFrame::AddPrintCommands(QMenu* menu)
{
    QAction* action = AddCommand(menu, FrameCmd::kFilePrint, tr("&Print..."), tr("Print the active sheet"));
    action->setShortcut(QKeySequence::Print);
    action->setIcon(MakeToolIcon(ToolIcon::Print));
    connect(action, &QAction::triggered, this, &CMainFrame::OnFilePrint);
    action = AddCommand(menu, FrameCmd::kFilePrintPreview, tr("Print Pre&view"), tr("Show the printed page"));
    connect(action, &QAction::triggered, this, &CMainFrame::OnFilePrintPreview);
    action = AddCommand(menu, FrameCmd::kFilePrintSetup, tr("P&rint Setup..."),
                        tr("Choose the printer and the page"));
    connect(action, &QAction::triggered, this, &CMainFrame::OnFilePrintSetup);
}

// Four entries, shown as the recent-file list fills (RebuildRecentFileMenu).
void CMainFrame::AddRecentFileCommands(QMenu* menu)
{
    m_recentSeparator = menu->addSeparator();
    for (int i = 0; i < CRecentFileList::kMaxEntries; ++i) {
        QAction* recent = AddCommand(menu, FrameCmd::kFileMru1 + i, QString(), tr("Open this engine file"));
        connect(recent, &QAction::triggered, this, [this, i] { OpenRecentFile(i); });
        m_recentActions.append(recent);
    }
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
    m_pullCommands->AddMatchCommand(*menu);
    connect(AddCommand(menu, FrameCmd::kCompareParts, tr("Compare &Parts..."),
                       tr("Run every combination of the parts you tick and list the best")),
            &QAction::triggered, this, [this] { OpenPartsShootout(*this); });
    connect(AddCommand(menu, FrameCmd::kWhatToChangeNext, tr("&What To Change Next..."),
                       tr("Try each number a step each way and each choice a place, sorted by gain")),
            &QAction::triggered, this, [this] { OpenSensitivity(*this); });
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
    QAction* contents = AddCommand(menu, FrameCmd::kHelpContents, tr("&Contents"),
                                   tr("The user manual inside the program; F1 shows the page about "
                                      "the window or dialog you are in"));
    // F1 is taken wherever the keyboard is, dialogs included (eventFilter);
    // here it is only named, and works while the menu is open.
    contents->setShortcut(QKeySequence::HelpContents);
    contents->setShortcutContext(Qt::WidgetShortcut);
    connect(contents, &QAction::triggered, this, &CMainFrame::OnHelpContents);
    connect(AddCommand(menu, Cmd::kUserManual, tr("&User Manual..."),
                       tr("Open the user manual as a PDF, to read or print")),
            &QAction::triggered, this, &CMainFrame::OnHelpUserManual);
    connect(AddCommand(menu, Cmd::kProductInfo, tr("&Vellmor Software..."), tr("Product information")),
            &QAction::triggered, this, &CMainFrame::OnHelpProductInfo);
    connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateHelpCommands);
    UpdateHelpCommands();
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
