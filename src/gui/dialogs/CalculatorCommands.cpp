#include "dialogs/CalculatorCommands.h"

#include "dialogs/AirFlowMathDlg.h"
#include "dialogs/CamMathDlg.h"
#include "dialogs/CompRatioDlg.h"
#include "model/Commands.h"
#include "model/TorqDoc.h"

bool IsCalculatorCommand(int command)
{
    return command == Cmd::kCompressionRatioMath || command == Cmd::kAirflowMath || command == Cmd::kCamMath;
}

void RunCalculatorCommand(int command, CTorqDoc& doc, QWidget* parent)
{
    TORQ_ASSERT(IsCalculatorCommand(command));
    if (command == Cmd::kCompressionRatioMath) {
        if (!doc.CanOpenCompressionCalculator()) return;
        CCompRatioDlg dialog(doc, parent);
        dialog.exec();
    } else if (command == Cmd::kAirflowMath) {
        CAirFlowMathDlg dialog(doc, parent);
        dialog.exec();
    } else {
        CCamMathDlg dialog(doc, parent);
        dialog.exec();
    }
}
