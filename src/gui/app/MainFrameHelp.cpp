// The Help menu's commands: the manual inside the program (F1 and
// Contents), the manual as a PDF, the maker's product information and About.

#include "MainFrame.h"

#include "AboutDlg.h"
#include "HelpTopics.h"
#include "HelpWindow.h"
#include "ManualPages.h"
#include "UserManual.h"
#include "base/ErrCode.h"
#include "model/MenuCommands.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QProcess>
#include <QStatusBar>
#include <QUrl>

namespace {

const QString kProductInfoProgram = QStringLiteral("VellDemo/Vellmor Software.exe");
constexpr int kStatusTipMs = 8000;

QString ProgramFolder()
{
    return QCoreApplication::applicationDirPath();
}

}  // namespace

CHelpWindow* CMainFrame::HelpWindow() const
{
    return m_helpWindow;
}

void CMainFrame::ShowHelpPage(const QString& page)
{
    if (ShowBuiltInHelp(page)) return;
    if (!OpenManualPdf()) ShowManualMissing();
}

void CMainFrame::OnHelpContents()
{
    ShowHelpPage(QString::fromLatin1(ManualPages::kContentsPage));
}

void CMainFrame::OnHelpUserManual()
{
    if (OpenManualPdf()) return;
    if (ShowBuiltInHelp(QString::fromLatin1(ManualPages::kContentsPage))) {
        statusBar()->showMessage(tr("The PDF manual cannot be opened here: it is shown inside the program"),
                                 kStatusTipMs);
        return;
    }
    ShowManualMissing();
}

// The help window lives beside the main window; while a modal dialog is open
// it is that dialog's, so that it can be read and scrolled meanwhile, and it
// comes back to the main window when the dialog closes.
bool CMainFrame::ShowBuiltInHelp(const QString& page)
{
    if (m_helpWindow == nullptr) {
        const QString folder = FindManualPages(m_startFolder, ProgramFolder());
        if (folder.isEmpty()) return false;
        auto* window = new CHelpWindow(this);
        if (!window->LoadManual(folder)) {
            delete window;
            return false;
        }
        m_helpWindow = window;
    }
    QWidget* modal = QApplication::activeModalWidget();
    QWidget* owner = modal != nullptr && modal != m_helpWindow ? modal : this;
    if (m_helpWindow->parentWidget() != owner) {
        const QRect geometry = m_helpWindow->geometry();
        const bool placed = m_helpWindow->isVisible() || m_helpWindow->testAttribute(Qt::WA_Moved);
        m_helpWindow->setParent(owner, Qt::Window);
        if (placed) m_helpWindow->setGeometry(geometry);
        if (auto* dialog = qobject_cast<QDialog*>(owner)) {
            connect(dialog, &QDialog::finished, m_helpWindow, [this, dialog] {
                if (m_helpWindow == nullptr || m_helpWindow->parentWidget() != dialog) return;
                const bool shown = m_helpWindow->isVisible();
                const QRect geometry = m_helpWindow->geometry();
                m_helpWindow->setParent(this, Qt::Window);
                m_helpWindow->setGeometry(geometry);
                if (shown) m_helpWindow->show();
            });
        }
    }
    m_helpWindow->ShowPage(page);
    m_helpWindow->show();
    m_helpWindow->raise();
    m_helpWindow->activateWindow();
    return true;
}

bool CMainFrame::OpenManualPdf()
{
    const QString manual = FindUserManual(m_startFolder, ProgramFolder());
    // The desktop opens the manual with the program it has for PDF files.
    return !manual.isEmpty() && m_openDocument(QUrl::fromLocalFile(manual));
}

// Neither the manual's pages nor a PDF program: the message says where the
// manual is, or where it was looked for.
void CMainFrame::ShowManualMissing()
{
    const QString manual = FindUserManual(m_startFolder, ProgramFolder());
    const QString where =
        manual.isEmpty()
            ? tr("%1 is in none of: %2")
                  .arg(QString::fromLatin1(kUserManualFileName),
                       UserManualFolders(m_startFolder, ProgramFolder()).join(QStringLiteral(", ")))
            : tr("The manual: %1").arg(QDir::toNativeSeparators(manual));
    ShowErrorMessage(Msg::ManualReaderNotStarted, where.toStdString());
}

QString CMainFrame::ProductInfoProgram() const
{
    return QDir(m_startFolder).filePath(kProductInfoProgram);
}

void CMainFrame::UpdateHelpCommands()
{
    // The program is not installed with Torqwell: the entry shows where it is there.
    const QFileInfo program(ProductInfoProgram());
    CommandAction(Cmd::kProductInfo)->setVisible(program.isFile() && program.isExecutable());
}

void CMainFrame::OnHelpProductInfo()
{
    const QString program = ProductInfoProgram();
    if (!QProcess::startDetached(program, {}, QFileInfo(program).absolutePath()))
        ShowErrorMessage(Msg::ProductInfoNotStarted);
}

void CMainFrame::OnAppAbout()
{
    CAboutDlg dialog(this);
    dialog.exec();
}

// F1 in this window or in a window of its own (a dialog, the form's in-place
// editor); the help window answers its own keys.
bool CMainFrame::IsHelpKeyFor(QObject* watched, QEvent* event) const
{
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier) return false;
    const auto* widget = qobject_cast<const QWidget*>(watched);
    if (widget == nullptr) return false;
    const QWidget* window = widget->window();
    if (m_helpWindow != nullptr && window == m_helpWindow) return false;
    for (const QWidget* owner = window; owner != nullptr; owner = owner->parentWidget()) {
        if (owner == this) return true;
    }
    return false;
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    // A key goes to the widget with the focus: its window or dialog has the page.
    if (IsHelpKeyFor(watched, event)) {
        ShowHelpPage(HelpPageFor(qobject_cast<QWidget*>(watched)));
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}
