#pragma once

#include "model/ResultUnits.h"

class CTorqDoc;

// The units each open engine's results are shown in, as the user chose them
// in the graph options or the table's menu: horsepower, ft-lbs and psi until
// a metric engine is given kilowatts, newton-metres and kilopascals or bar.
// The choice belongs to the window's session, not to the engine file.

ResultUnits ChosenResultUnits(const CTorqDoc& document);
// Takes the choice and updates every view of the engine.
void ChooseResultUnits(CTorqDoc& document, ResultUnits units);
// What the table, the graph and the printouts show: the choice on a metric
// engine, the model's units on an English one.
ResultUnits DisplayedResultUnits(const CTorqDoc& document);
