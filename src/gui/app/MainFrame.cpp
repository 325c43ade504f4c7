// The main window itself: its workbook of engine windows, which of them is
// active, the command states and titles that follow it, and the Engine
// menu's commands on the active engine.

#include "MainFrame.h"

#include "AppIcons.h"
#include "ChildFrame.h"
#include "IteratorCommands.h"
#include "PullCommands.h"
#include "commands/EngineHistory.h"
#include "model/MenuCommands.h"
#include "model/TorqDoc.h"
#include "report/PageHeader.h"
#include "views/EngineFormView.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QUndoGroup>
#include <QUndoStack>
#include <QUrl>

namespace {

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
                                     FrameCmd::kCompareParts,
                                     FrameCmd::kWhatToChangeNext,
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

// Engine-menu entries whose check mark the document decides.
constexpr int kCheckedEngineCommands[] = {Cmd::kAutoRun, Cmd::kEnglishUnits, Cmd::kMetricUnits};

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
      m_pullCommands(CreatePullCommands()),
      m_openDocument([](const QUrl& url) { return QDesktopServices::openUrl(url); })
{
    setWindowIcon(MakeAppIcon());
    // Printouts and the dyno sheet on the same paper: the user's country's.
    m_printer->setPageSize(QPageSize(LocalePaperSize()));
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
    // F1 in this window and in every dialog it opens.
    qApp->installEventFilter(this);
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
    m_pullCommands->UpdateCommandStates(child != nullptr);
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
    if (m_lastActive != nullptr && m_mdiArea->subWindowList().contains(m_lastActive)) return m_lastActive;
    return nullptr;
}

void CMainFrame::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() &&
        m_mdiArea->activeSubWindow() == nullptr && m_lastActive != nullptr &&
        m_mdiArea->subWindowList().contains(m_lastActive)) {
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
    // A window that says it is destroyed is no engine window any more (its
    // document is gone) though the area still lists it: forget it before the
    // menus and the title look for the active engine.
    connect(child, &QObject::destroyed, this, [this, child] {
        if (m_lastActive == child) m_lastActive = nullptr;
        if (m_hintedChild == child) m_hintedChild = nullptr;
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
