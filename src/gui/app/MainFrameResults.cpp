// The main window's commands that take results out of the program: the dyno
// sheet, the CSV of the results, Edit > Copy, and the print command's tip
// that names the sheet File > Print prints.

#include "ChildFrame.h"
#include "MainFrame.h"
#include "SplitterTabWnd.h"
#include "commands/EngineHistory.h"
#include "model/ResultsCsv.h"
#include "model/TorqDoc.h"
#include "report/DynoSheet.h"
#include "report/MeasuredCurves.h"
#include "report/MeasuredPulls.h"
#include "report/ReportFile.h"
#include "views/Chart2dView.h"
#include "views/ResultUnitsChoice.h"
#include "views/ResultsTableView.h"
#include "views/WeatherChoice.h"

#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>

namespace {

const QString kAllFiles = QStringLiteral("All Files (*)");

// The engine's name without the engine file's extension, for a proposed file name.
QString BaseName(const CTorqDoc& doc)
{
    const QString title = QString::fromStdString(doc.GetTitle());
    return title.endsWith(QLatin1String(".trq"), Qt::CaseInsensitive) ? title.chopped(4) : title;
}

// The graph as the user set it up: the active sheet when it is a graph,
// else the right pane's graph.
const CChart2dView* GraphOf(const CChildFrame& child)
{
    if (const auto* graph = qobject_cast<const CChart2dView*>(child.ActiveSheet())) return graph;
    return child.RightGraph();
}

}  // namespace

void CMainFrame::AddResultExports(QMenu* menu)
{
    // Alt+S is Save and Alt+R Print Setup in the same menu.
    QAction* sheet = AddCommand(menu, FrameCmd::kExportDynoSheet, tr("Export D&yno Sheet..."),
                                tr("Write a one-page dyno sheet of the engine as PDF, PNG or SVG"));
    connect(sheet, &QAction::triggered, this, &CMainFrame::OnExportDynoSheet);
    QAction* results = AddCommand(menu, FrameCmd::kExportResults, tr("Export Resul&ts..."),
                                  tr("Write the 19 result points as comma-separated values"));
    connect(results, &QAction::triggered, this, &CMainFrame::OnExportResults);
}

void CMainFrame::AddCopyCommand(QMenu* menu)
{
    QAction* copy = AddCommand(menu, FrameCmd::kEditCopy, tr("&Copy"),
                               tr("Copy the table as text for a spreadsheet, or the graph as an image"));
    // Anywhere in the window: a text box with the focus (the form's in-place
    // editor) takes Ctrl+C for its own text first.
    copy->setShortcut(QKeySequence::Copy);
    connect(copy, &QAction::triggered, this, &CMainFrame::OnEditCopy);
}

void CMainFrame::UpdateResultCommands()
{
    CChildFrame* child = ActiveChild();
    QWidget* sheet = child != nullptr ? child->ActiveSheet() : nullptr;
    for (int command : {FrameCmd::kExportDynoSheet, FrameCmd::kExportResults}) {
        CommandAction(command)->setEnabled(child != nullptr);
    }
    CommandAction(FrameCmd::kEditCopy)
        ->setEnabled(qobject_cast<CResultsTableView*>(sheet) != nullptr ||
                     qobject_cast<CChart2dView*>(sheet) != nullptr);
    // The tip says which sheet File > Print prints: the one the user sees.
    const QString tip =
        child != nullptr ? tr("Print %1").arg(child->ActiveSheetDescription()) : tr("Print the active sheet");
    CommandAction(FrameCmd::kFilePrint)->setToolTip(tip);
    CommandAction(FrameCmd::kFilePrint)->setStatusTip(tip);
    CommandAction(FrameCmd::kFilePrintPreview)
        ->setStatusTip(child != nullptr
                           ? tr("Show the printed page of %1").arg(child->ActiveSheetDescription())
                           : QString());
}

void CMainFrame::OnEditCopy()
{
    CChildFrame* child = ActiveChild();
    if (child == nullptr) return;
    if (auto* table = qobject_cast<CResultsTableView*>(child->ActiveSheet())) {
        table->Copy();
    } else if (auto* graph = qobject_cast<CChart2dView*>(child->ActiveSheet())) {
        graph->CopyImage();
    }
}

bool CMainFrame::EnsureResults(CChildFrame& child)
{
    // An engine never run, or changed since its last run (Auto Run off), is
    // run now: a sheet or a file never carries results of another engine
    // than the one it describes. One that cannot run says why and exports
    // nothing. As Run! does, the results join the present state of the
    // engine's history rather than making a change of their own.
    CTorqDoc& doc = child.Document();
    if (doc.HasResults() && !doc.AreResultsStale()) return true;
    const bool ran = doc.RunSimulation(true, true);
    if (child.History() != nullptr) child.History()->TakeCurrentState();
    doc.UpdateAllViews();
    return ran;
}

bool CMainFrame::OnExportDynoSheet()
{
    CChildFrame* child = ActiveChild();
    if (child == nullptr || !EnsureResults(*child)) return false;
    const CTorqDoc& doc = child->Document();
    const QString path = ChooseFileName(
        {FileDialogRequest::Mode::Save,
         tr("Export Dyno Sheet"),
         {tr("PDF Document (*.pdf)"), tr("PNG Image (*.png)"), tr("SVG Image (*.svg)"), kAllFiles},
         ProposedPath(BaseName(doc) + QStringLiteral(".pdf")),
         QStringLiteral("pdf")});
    if (path.isEmpty()) return false;
    const CChart2dView* graph = GraphOf(*child);
    DynoSheetContent content;
    content.document = &doc;
    content.engineName = QString::fromStdString(doc.GetTitle());
    content.filePath = QString::fromStdString(doc.GetPathName());
    content.date = TodayText();
    content.units = DisplayedResultUnits(doc);
    content.correction = ChosenCorrection(doc);
    // The pulls beside the engine are drawn and their differences named, as on its graph.
    content.graph = BuildMeasuredChartPicture(graph->Engines(), graph->Options(), &child->MeasuredPulls());
    content.measured = &child->MeasuredPulls();
    QString error;
    if (!ExportDynoSheet(content, QFileInfo(path).absoluteFilePath(), error)) {
        m_showExportError(this, tr("Export Dyno Sheet"), error);
        return false;
    }
    return true;
}

bool CMainFrame::OnExportResults()
{
    CChildFrame* child = ActiveChild();
    if (child == nullptr || !EnsureResults(*child)) return false;
    const CTorqDoc& doc = child->Document();
    const QString path = ChooseFileName({FileDialogRequest::Mode::Save,
                                         tr("Export Results"),
                                         {tr("Comma-Separated Values (*.csv)"), kAllFiles},
                                         ProposedPath(BaseName(doc) + QStringLiteral(".csv")),
                                         QStringLiteral("csv")});
    if (path.isEmpty()) return false;
    QString error;
    // On a corrected day the file says so in its first line and its column names.
    const QByteArray csv = QByteArray::fromStdString(FormatResultsCsv(doc, ChosenCorrection(doc)));
    if (!WriteFileAtomically(QFileInfo(path).absoluteFilePath(), csv, error)) {
        m_showExportError(this, tr("Export Results"), error);
        return false;
    }
    return true;
}
