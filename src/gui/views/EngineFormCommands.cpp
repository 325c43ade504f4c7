// The engine form's popup-menu commands: component choices go to the
// document; the airflow and cam file commands, the custom cam type and the
// custom port flow ask the user first.

#include "views/EngineFormView.h"

#include "base/ErrCode.h"
#include "model/MenuCommands.h"
#include "views/AirFlowDlg.h"
#include "views/CamTypeDlg.h"
#include "widgets/TorqSpecEdit.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

void CEngineFormView::OnMenuCommand(int command)
{
    if (m_document == nullptr) return;
    // The edit that the entry belongs to ends with the entry's change.
    if (HoldsOpenEdit()) m_editCommand = command;
    switch (command) {
        case Cmd::kOpenAirflow:
            OpenComponentFile(FileRequest::OpenAirflow);
            break;
        case Cmd::kSaveAirflow:
            SaveComponentFile(FileRequest::SaveAirflow);
            break;
        case Cmd::kOpenCam:
            OpenComponentFile(FileRequest::OpenCam);
            break;
        case Cmd::kSaveCam:
            SaveComponentFile(FileRequest::SaveCam);
            break;
        case Cmd::kCustomCamType:
            AskCustomCamType();
            break;
        case Cmd::kCustomPortFlow:
            EditAirflowData();
            break;
        default:
            ApplyMenuCommand(*m_document, command);
            break;
    }
}

void CEngineFormView::AfterComponentChange()
{
    // As after a menu choice: an open editor shows the change and closes.
    m_document->UpdateAllViews(HoldsOpenEdit() ? DocumentChange::ChoiceApplied : DocumentChange::Updated);
}

void CEngineFormView::OpenComponentFile(FileRequest request)
{
    const QString path = AskFileName(request, QString());
    if (path.isEmpty() || m_document == nullptr) return;
    const std::string nativePath = QFile::encodeName(path).toStdString();
    const std::string fileName = QFileInfo(path).fileName().toStdString();
    const bool opened = request == FileRequest::OpenAirflow
                            ? m_document->OpenAirflowFile(nativePath, fileName)
                            : m_document->OpenCamFile(nativePath, fileName);
    if (opened) AfterComponentChange();
}

void CEngineFormView::SaveComponentFile(FileRequest request)
{
    const bool airflow = request == FileRequest::SaveAirflow;
    // Only complete data is worth a file: the first gap is reported instead.
    ErrorCode code = 0;
    const bool complete =
        airflow ? m_document->FlowData().CheckComplete(code) : m_document->Cam().CheckComplete(code);
    if (!complete) {
        ShowErrorMessage(code);
        return;
    }
    const CFileSpec& current = airflow ? m_document->AirflowFile() : m_document->CamDataFile();
    const QString proposed = current.IsSet() ? QString::fromStdString(current.GetText()) : QString();
    const QString path = AskFileName(request, proposed);
    if (path.isEmpty() || m_document == nullptr) return;
    const std::string nativePath = QFile::encodeName(path).toStdString();
    const std::string fileName = QFileInfo(path).fileName().toStdString();
    const bool saved = airflow ? m_document->SaveAirflowFile(nativePath, fileName)
                               : m_document->SaveCamFile(nativePath, fileName);
    if (saved) AfterComponentChange();
}

void CEngineFormView::AskCustomCamType()
{
    const CPartTypeSpec& camType = m_document->Cam().CamType();
    const QString current = camType.IsSet() ? QString::fromStdString(camType.GetChoiceName()) : QString();
    CCamTypeDlg dialog(current, DialogParent());
    if (dialog.exec() != QDialog::Accepted || m_document == nullptr) return;
    m_document->ApplyCustomCamType(dialog.Description().toStdString());
}

void CEngineFormView::EditAirflowData()
{
    CAirFlowDlg dialog(*m_document, DialogParent());
    dialog.SetFileAsker([this](bool save, const QString& proposedName) {
        return AskFileName(save ? FileRequest::SaveAirflow : FileRequest::OpenAirflow, proposedName);
    });
    // On OK the dialog hands the data to the engine, which names the head.
    dialog.exec();
}

QWidget* CEngineFormView::DialogParent()
{
    // Over the open editor, so that the dialog is not hidden behind it.
    if (CTorqSpecEditDlg* editor = CTorqSpecEditDlg::OpenEditor()) return editor;
    return this;
}

QString CEngineFormView::AskFileName(FileRequest request, const QString& proposedName)
{
    if (m_fileNameAsker) return m_fileNameAsker(request, proposedName);
    const bool airflow = request == FileRequest::OpenAirflow || request == FileRequest::SaveAirflow;
    const bool open = request == FileRequest::OpenAirflow || request == FileRequest::OpenCam;
    QFileDialog dialog(DialogParent());
    dialog.setNameFilters(
        {airflow ? QStringLiteral("Airflow Files (*.flw)") : QStringLiteral("Cam Data Files (*.cam)"),
         QStringLiteral("All Files (*)")});
    dialog.setDefaultSuffix(airflow ? QStringLiteral("flw") : QStringLiteral("cam"));
    dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (m_document != nullptr && !m_document->GetPathName().empty()) {
        dialog.setDirectory(QFileInfo(QString::fromStdString(m_document->GetPathName())).absolutePath());
    }
    if (!open && !proposedName.isEmpty()) dialog.selectFile(proposedName);
    if (dialog.exec() != QDialog::Accepted) return {};
    return dialog.selectedFiles().value(0);
}
