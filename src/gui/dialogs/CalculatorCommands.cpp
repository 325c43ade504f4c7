#include "dialogs/CalculatorCommands.h"

#include "commands/EngineHistory.h"
#include "dialogs/AirFlowMathDlg.h"
#include "dialogs/CamMathDlg.h"
#include "dialogs/CompRatioDlg.h"
#include "model/MenuCommands.h"
#include "model/TorqDoc.h"

bool IsCalculatorCommand(int command)
{
    return command == Cmd::kCompressionRatioMath || command == Cmd::kAirflowMath || command == Cmd::kCamMath;
}

namespace {

// Runs the calculator; true when the user applied its result to the engine.
bool RunCalculator(int command, CTorqDoc& doc, QWidget* parent)
{
    if (command == Cmd::kCompressionRatioMath) {
        if (!doc.CanOpenCompressionCalculator()) return false;
        CCompRatioDlg dialog(doc, parent);
        return dialog.exec() == QDialog::Accepted;
    }
    if (command == Cmd::kAirflowMath) {
        CAirFlowMathDlg dialog(doc, parent);
        return dialog.exec() == QDialog::Accepted;
    }
    CCamMathDlg dialog(doc, parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace

QString CalculatorChangeName(int command)
{
    TORQ_ASSERT(IsCalculatorCommand(command));
    if (command == Cmd::kCompressionRatioMath) return QStringLiteral("Compression Ratio Math");
    if (command == Cmd::kAirflowMath) return QStringLiteral("Airflow Math");
    return QStringLiteral("Cam Math");
}

void RunCalculatorCommand(int command, CTorqDoc& doc, QWidget* parent)
{
    TORQ_ASSERT(IsCalculatorCommand(command));
    if (RunCalculator(command, doc, parent)) RecordEngineChange(doc, CalculatorChangeName(command));
}
