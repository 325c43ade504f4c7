// The Help menu's commands: the user manual, the maker's product
// information and About.

#include "MainFrame.h"

#include "AboutDlg.h"
#include "UserManual.h"
#include "base/ErrCode.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace {

const QString kProductInfoProgram = QStringLiteral("VellDemo/Vellmor Software.exe");

}  // namespace

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
