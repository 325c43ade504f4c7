#include "StudyCommands.h"

#include "ChildFrame.h"
#include "MainFrame.h"
#include "commands/EngineHistory.h"
#include "dialogs/PartsShootoutDlg.h"
#include "dialogs/SensitivityDlg.h"

namespace {

std::function<CTorqDoc*()> DocumentMaker(CMainFrame& frame)
{
    return [&frame]() -> CTorqDoc* {
        CChildFrame* child = frame.NewDocument();
        return child != nullptr ? &child->Document() : nullptr;
    };
}

}  // namespace

void OpenPartsShootout(CMainFrame& frame)
{
    CChildFrame* child = frame.ActiveChild();
    if (child == nullptr) return;
    CPartsShootoutDlg dialog(child->Document(), DocumentMaker(frame), &frame);
    dialog.exec();
}

void OpenSensitivity(CMainFrame& frame)
{
    CChildFrame* child = frame.ActiveChild();
    if (child == nullptr) return;
    CTorqDoc& engine = child->Document();
    const auto apply = [&engine](const EngineEdit& edit, const QString& name) {
        if (!MakeEditedEngine(engine, std::span(&edit, 1))) return;
        // Recalculated once more as any change is: with Auto Run on, the engine runs.
        engine.Recalculate();
        engine.UpdateAllViews();
        RecordEngineChange(engine, name);
    };
    CSensitivityDlg dialog(engine, DocumentMaker(frame), apply, &frame);
    dialog.exec();
}
