#include "EngineValues.h"

#include "base/EngineRanges.h"
#include "components/CompressionCalculator.h"

#include <cfloat>

namespace {

CFloatPtSpec Length(const char* name, float minIn, float maxIn)
{
    return CFloatPtSpec(name, UnitCode::Inch, minIn, maxIn, UnitCode::Millimetre, kInchesToMillimetres);
}

CFloatPtSpec Same(const char* name, UnitCode unit, float minimum, float maximum)
{
    return CFloatPtSpec(name, unit, minimum, maximum, unit, 1.0f);
}

}  // namespace

EngineValues::EngineValues()
    : shortBlockType("Short Block Type", 1, 205),
      bore(Length("Bore", 2.8f, 7.0f)),
      stroke(Length("Stroke", 2.4f, 7.0f)),
      cylinders("Number of Cylinders", 1, 12),
      cylinderVolume(Same("Cylinder Volume", UnitCode::CubicCentimetre, 1.0f, 4415.0f)),
      totalBlockVolume("Total Block Volume", UnitCode::CubicInch, 1.0f, 5000.0f, UnitCode::CubicCentimetre,
                       kCubicInchesToCubicCentimetres),
      cylinderHeadType("Cylinder Head Type", 1, 17),
      airflowFile("Airflow File"),
      intakeValves("Number of Intake Valves per Cylinder", 1, 2),
      exhaustValves("Number of Exhaust Valves per Cylinder", 1, 2),
      intakeValveDiameter(Length("Intake Valve Diameter", 0.75f, 4.0f)),
      exhaustValveDiameter(Length("Exhaust Valve Diameter", 0.5f, 3.25f)),
      compressionRatio(Same("Compression Ratio", UnitCode::Ratio, EngineRanges::kCompressionRatioMin,
                            EngineRanges::kCompressionRatioMax)),
      combustionSpace(Same("Combustion Space", UnitCode::CubicCentimetre, 0.1f, 5000.0f)),
      inductionFlow(Same("Induction Flow", UnitCode::Cfm, EngineRanges::kInductionFlowMinCfm,
                         EngineRanges::kInductionFlowMaxCfm)),
      pressureDrop(Same("Pressure Drop", UnitCode::InchMercury, 1.5f, 3.0f)),
      manifoldType("Manifold Type", 1, 7),
      fuelType("Fuel Type", 1, 21),
      nitrousFlowRate(Same("Nitrous Flow Rate", UnitCode::PoundsPerMinute, 0.0f, 20.0f)),
      forcedInductionType("Forced Induction Type", 1, 71),
      blowerFlowRate(Same("Blower Flow Rate", UnitCode::Cfm, 0.1f, 1000.0f)),
      blowerPressureRatio(Same("Blower Pressure Ratio", UnitCode::Ratio, 0.1f, 10.0f)),
      blowerEfficiency(Same("Blower Efficiency", UnitCode::Percent, 0.0f, 100.0f)),
      blowerRpm(Same("Blower RPM", UnitCode::Rpm, 1000.0f, 100000.0f)),
      blowerSurgeFlowRate(Same("Blower Surge Flow Rate", UnitCode::Cfm, 10.0f, 1000.0f)),
      blowerInternalGearRatio(Same("Blower Internal Gear Ratio", UnitCode::Ratio, 0.1f, 10.0f)),
      blowerBeltGearRatio(Same("Blower Belt Gear Ratio", UnitCode::Ratio, 0.1f, 10.0f)),
      blowerBoostLevelLimit(Same("Blower Boost Level Limit", UnitCode::Psi, 0.5f, 80.0f)),
      intercoolerEfficiency(Same("Intercooler Efficiency", UnitCode::Percent, 0.0f, 150.0f)),
      exhaustSystem("Exhaust System", 1, 7),
      camDataFile("Cam Data File"),
      chamberVolume(Same("Cylinder Head Chamber Volume", UnitCode::CubicCentimetre, 0.1f, 500.0f)),
      // The gasket bore spans the bore range and an inch more.
      gasketBore(Length("Head Gasket Bore Diameter", 2.8f, 8.0f)),
      gasketThickness(Length("Head Gasket Compressed Thickness", 0.0f, 0.15f)),
      pistonDistance(Length("Piston Distance", CompressionCalculator::kFlattopDistanceMinIn,
                            CompressionCalculator::kDistanceMaxIn)),
      pistonDeckVolume(Same("Piston to Block Deck Volume", UnitCode::CubicCentimetre, 0.1f, 6000.0f)),
      gasketVolume(Same("Head Gasket Volume", UnitCode::CubicCentimetre, -100000.0f, FLT_MAX)),
      deckVolume(Same("Deck Volume", UnitCode::CubicCentimetre, -100000.0f, FLT_MAX))
{
}

// Built, then assigned: the parameter kinds' assignments copy exactly, and
// the airflow and cam data assign through their Assign.
EngineValues::EngineValues(const EngineValues& other) : EngineValues()
{
    *this = other;
}

void EngineValues::ClearParameters()
{
    ForEachParameter([](auto& spec, ParameterRole role) {
        if (role.onClear == OnClear::MarkUnset) spec.MarkUnset();
        if constexpr (requires { spec.Reset(); }) {
            if (role.onClear == OnClear::Reset) spec.Reset();
        }
    });
}

void EngineValues::ClearCalculatorInputs()
{
    calculatorUsed = false;
    ForEachParameter([](CTorqSpec& spec, ParameterRole role) {
        if (role.onClear == OnClear::CalculatorInput) spec.MarkUnset();
    });
}

void EngineValues::SetUnitSystem(std::int32_t system)
{
    unitSystem = system;
    const bool english = system == kEnglishUnits;
    ForEachParameter([english](auto& spec, ParameterRole role) {
        if constexpr (requires { spec.SetUnits(english); }) {
            if (role.switchesUnits) spec.SetUnits(english);
        }
    });
    flowData.SetUnitSystem(english ? kEnglishUnits : kMetricUnits);
    cam.SetUnitSystem(english ? kEnglishUnits : kMetricUnits);
}

std::vector<CFloatPtSpec*> EngineValues::UnitSwitchedParameters()
{
    std::vector<CFloatPtSpec*> switched;
    ForEachParameter([&switched](auto& spec, ParameterRole role) {
        if constexpr (requires { spec.SetUnits(true); }) {
            if (role.switchesUnits) switched.push_back(&spec);
        }
    });
    return switched;
}
