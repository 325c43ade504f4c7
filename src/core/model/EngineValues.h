#pragma once

#include "base/TorqSpec.h"
#include "base/Units.h"
#include "components/Cam.h"
#include "components/CylHeadFlow.h"

#include <array>
#include <cstdint>
#include <vector>

// Forced-induction class of the chosen unit.
enum ForcedInductionClass : std::int32_t {
    kNoForcedInduction = 0,
    kTurbocharger = 1,
    kCentrifugalBlower = 2,
    kRootsBlower = 3,
};

inline constexpr int kResultSeriesCount = 8;
inline constexpr int kResultPointCount = 19;

using ResultSeriesValues = std::array<float, kResultPointCount>;

// What clearing the engine does to a parameter.
enum class OnClear {
    MarkUnset,        // shows "***"; the value stays behind it
    Reset,            // back to its minimum, unset
    CalculatorInput,  // unset with the compression calculator's inputs, which a warning may also clear
};

// A parameter's part when the engine is cleared and when its unit system changes.
struct ParameterRole {
    OnClear onClear;
    bool switchesUnits;  // SetUnitSystem shows it in the engine's unit system
};

// Everything one engine consists of, by value: every parameter with its set
// flag, value, units and range, the airflow and cam data, the compression
// calculator's inputs, the automatic switches, the unit system and the
// eight result series of the last run. Not the document around it (number,
// title, path, modified flag, views): copying the values copies the engine.
struct EngineValues {
    // Every parameter with its name, range and units, at its English minimum and unset.
    EngineValues();
    // Exact: every parameter keeps its set flag, value, units and range, even
    // a set value outside its range, which a float parameter's own copy
    // constructor would leave unset.
    EngineValues(const EngineValues& other);
    EngineValues& operator=(const EngineValues& other) = default;
    // Exact: every parameter with its set flag, value, units and range, the
    // airflow and cam data, the switches and every result bit for bit.
    bool operator==(const EngineValues& other) const = default;

    // Calls visit(parameter, role) for every parameter of the engine itself in
    // declaration order, each as its own kind (CFloatPtSpec&, CPartTypeSpec&,
    // ...). The parameters inside the airflow and cam data are theirs.
    template <class Visit>
    void ForEachParameter(Visit&& visit)
    {
        VisitParameters(*this, visit);
    }
    template <class Visit>
    void ForEachParameter(Visit&& visit) const
    {
        VisitParameters(*this, visit);
    }

    // Unsets or resets every parameter as its role says, except the calculator's inputs.
    void ClearParameters();
    // Calculator not used, its seven parameters unset (the piston kind is the document's).
    void ClearCalculatorInputs();
    // 0 English, 1 metric: stores the system and converts every parameter whose
    // role says so, and the airflow and cam data.
    void SetUnitSystem(std::int32_t system);
    std::vector<CFloatPtSpec*> UnitSwitchedParameters();

    // ---- short block
    CPartTypeSpec shortBlockType;
    CFloatPtSpec bore;
    CFloatPtSpec stroke;
    CIntegerSpec cylinders;
    CFloatPtSpec cylinderVolume;    // cc, both systems
    CFloatPtSpec totalBlockVolume;  // ci or cc
    // ---- cylinder heads
    CPartTypeSpec cylinderHeadType;
    CFileSpec airflowFile;
    CylHeadFlowData flowData;
    CIntegerSpec intakeValves;  // per cylinder
    CIntegerSpec exhaustValves;
    CFloatPtSpec intakeValveDiameter;
    CFloatPtSpec exhaustValveDiameter;
    // ---- compression
    CFloatPtSpec compressionRatio;
    CFloatPtSpec combustionSpace;  // cc
    // ---- induction
    CFloatPtSpec inductionFlow;  // cfm at the pressure drop below
    CFloatPtSpec pressureDrop;   // inHg
    CPartTypeSpec manifoldType;
    CPartTypeSpec fuelType;
    CFloatPtSpec nitrousFlowRate;  // lbs/min
    CPartTypeSpec forcedInductionType;
    std::int32_t forcedInductionClass = kNoForcedInduction;
    CFloatPtSpec blowerFlowRate;
    CFloatPtSpec blowerPressureRatio;
    CFloatPtSpec blowerEfficiency;  // %
    CFloatPtSpec blowerRpm;
    CFloatPtSpec blowerSurgeFlowRate;  // cfm
    CFloatPtSpec blowerInternalGearRatio;
    CFloatPtSpec blowerBeltGearRatio;
    CFloatPtSpec blowerBoostLevelLimit;  // psi
    CFloatPtSpec intercoolerEfficiency;  // %
    // ---- exhaust and camshaft
    CPartTypeSpec exhaustSystem;
    CFileSpec camDataFile;
    CamData cam;
    // ---- compression calculator inputs
    bool calculatorUsed = false;  // the ratio and combustion space came from the calculator
    std::int32_t pistonKind = 2;  // 1 domed/dished, 2 flattop
    CFloatPtSpec chamberVolume;
    CFloatPtSpec gasketBore;
    CFloatPtSpec gasketThickness;
    CFloatPtSpec pistonDistance;
    CFloatPtSpec pistonDeckVolume;
    CFloatPtSpec gasketVolume;
    CFloatPtSpec deckVolume;
    // ---- results of the last run (series 1..8 at [series - 1], English units) and switches
    std::array<ResultSeriesValues, kResultSeriesCount> results{};
    // The results belong to the engine as it was before a later change (Auto
    // Run off), or an engine opened with Auto Run off has none of its own
    // yet: they stay on show, marked as out of date, until the next run.
    bool resultsStale = false;
    std::int32_t unitSystem = kEnglishUnits;
    bool autoValveSizes = false;
    bool autoRun = true;

private:
    template <class Values, class Visit>
    static void VisitParameters(Values& values, Visit& visit);
};

// The one list of the engine's own parameters with their roles.
template <class Values, class Visit>
void EngineValues::VisitParameters(Values& v, Visit& visit)
{
    constexpr ParameterRole unset{OnClear::MarkUnset, false};
    constexpr ParameterRole unsetSwitched{OnClear::MarkUnset, true};
    constexpr ParameterRole reset{OnClear::Reset, false};
    constexpr ParameterRole resetSwitched{OnClear::Reset, true};
    constexpr ParameterRole calculatorInput{OnClear::CalculatorInput, true};

    visit(v.shortBlockType, unset);
    visit(v.bore, unsetSwitched);
    visit(v.stroke, unsetSwitched);
    visit(v.cylinders, unset);
    visit(v.cylinderVolume, unsetSwitched);
    visit(v.totalBlockVolume, unsetSwitched);
    visit(v.cylinderHeadType, unset);
    visit(v.airflowFile, unset);
    visit(v.intakeValves, unset);
    visit(v.exhaustValves, unset);
    visit(v.intakeValveDiameter, unsetSwitched);
    visit(v.exhaustValveDiameter, unsetSwitched);
    visit(v.compressionRatio, unsetSwitched);
    visit(v.combustionSpace, unsetSwitched);
    visit(v.inductionFlow, unsetSwitched);
    visit(v.pressureDrop, unsetSwitched);
    visit(v.manifoldType, unset);
    visit(v.fuelType, unset);
    visit(v.nitrousFlowRate, unsetSwitched);
    visit(v.forcedInductionType, unset);  // a cleared engine then chooses "None"
    visit(v.blowerFlowRate, resetSwitched);
    visit(v.blowerPressureRatio, reset);
    visit(v.blowerEfficiency, reset);
    visit(v.blowerRpm, reset);
    visit(v.blowerSurgeFlowRate, resetSwitched);
    visit(v.blowerInternalGearRatio, reset);
    visit(v.blowerBeltGearRatio, reset);
    visit(v.blowerBoostLevelLimit, resetSwitched);
    visit(v.intercoolerEfficiency, reset);
    visit(v.exhaustSystem, unset);
    visit(v.camDataFile, unset);
    visit(v.chamberVolume, calculatorInput);
    visit(v.gasketBore, calculatorInput);
    visit(v.gasketThickness, calculatorInput);
    visit(v.pistonDistance, calculatorInput);
    visit(v.pistonDeckVolume, calculatorInput);
    visit(v.gasketVolume, calculatorInput);
    visit(v.deckVolume, calculatorInput);
}
