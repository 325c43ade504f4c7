// The main window's file commands: new, open, recent files, save and the
// exports to the older programs, with the folder the file dialogs start in.

#include "MainFrame.h"

#include "ChildFrame.h"
#include "PullCommands.h"
#include "commands/EngineHistory.h"
#include "model/DosRecordExport.h"
#include "model/EngineFile.h"
#include "model/GameTextExport.h"
#include "model/TorqDoc.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>

#include <filesystem>
#include <system_error>

namespace {

const QString kEngineFilter = QStringLiteral("Torqwell Engine Files(*.trq)");
const QString kAllFilesFilter = QStringLiteral("All Files (*)");

}  // namespace

QString CMainFrame::ChooseFileName(const FileDialogRequest& request)
{
    QString path = m_chooseFileName(this, request);
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
    CChildFrame* child = AddChildFrame(std::move(document));
    m_pullCommands->OfferRememberedPulls(*child);
    return child;
}

CPullCommands* CMainFrame::CreatePullCommands()
{
    CPullCommands::Window hooks;
    hooks.activeChild = [this] { return ActiveChild(); };
    hooks.chooseFileToOpen = [this](const QString& title, const QStringList& filters) {
        return ChooseFileName(
            {FileDialogRequest::Mode::Open, title, filters, ProposedPath(QString()), QString()});
    };
    hooks.ensureResults = [this](CChildFrame& child) { return EnsureResults(child); };
    hooks.addEngine = [this](std::unique_ptr<CTorqDoc> engine) { return AddChildFrame(std::move(engine)); };
    return new CPullCommands(*this, std::move(hooks));
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
    if (!SaveEngineDocument(doc, QFileInfo(path).absoluteFilePath().toStdString())) {
        // A save refused after it ran an engine out of date keeps the run, as Run! does.
        child.History()->TakeCurrentState();
        doc.UpdateAllViews();
        return false;
    }
    // Saving may have run the engine; what is saved is the clean state.
    child.History()->MarkSaved();
    // The pulls beside the engine are remembered beside its file, under a new name too.
    m_pullCommands->RememberPullsOf(child);
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
