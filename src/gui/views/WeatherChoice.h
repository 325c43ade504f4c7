#pragma once

#include "model/WeatherCorrection.h"

class CTorqDoc;

// The day each open engine's results are shown for, as the user chose it in
// the graph's properties: the model's standard day until a standard and a
// day are chosen. Like the result units, the choice belongs to the window's
// session, not to the engine file; the table, every graph of the engine, its
// printouts, its dyno sheet and its exported CSV follow it.

ResultCorrection ChosenCorrection(const CTorqDoc& document);
// Takes the choice and updates every view of the engine.
void ChooseCorrection(CTorqDoc& document, const ResultCorrection& correction);

// The day last typed in any graph's properties (remembered in the settings),
// offered for the next engine the user corrects; the model's day at first.
AirConditions LastTypedDay();
void RememberTypedDay(const AirConditions& day);
