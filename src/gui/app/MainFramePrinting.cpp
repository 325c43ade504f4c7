// File > Print, Print Preview and Print Setup: the sheet the user sees, on
// the printer the frame keeps for the whole session.

#include "MainFrame.h"

#include "ChildFrame.h"
#include "model/TorqDoc.h"
#include "views/Chart2dView.h"
#include "views/EngineFormView.h"
#include "views/ResultsTableView.h"

#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>

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
