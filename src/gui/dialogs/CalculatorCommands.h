#pragma once

#include <QString>

class CTorqDoc;
class QWidget;

// The engine's three calculators as menu commands: "Compression &Ratio
// Math...", "&Airflow Math..." and "&Cam Math..." (Cmd::kCompressionRatioMath,
// kAirflowMath, kCamMath).
bool IsCalculatorCommand(int command);

// Opens the command's calculator over parent, modally. The engine changes
// only when the user applies the result, which ends one change of the
// engine's undo history; the compression ratio calculator needs a complete
// short block and otherwise shows error 88.
void RunCalculatorCommand(int command, CTorqDoc& doc, QWidget* parent);

// The name of a calculator's applied result in the undo history.
QString CalculatorChangeName(int command);
