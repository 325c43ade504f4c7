#pragma once

#include "base/TorqSpec.h"

#include <cstdint>
#include <string_view>

class CTorqDoc;

// The engine parameters an iterator slot may sweep. The value is what the
// setup lists store as item data; 0 leaves the slot empty.
enum IterationDataType : std::int32_t {
    kItrNone = 0,
    kItrBore = 1,         // "Bore"
    kItrStroke = 2,       // "Stroke"
    kItrCompression = 3,  // "Compression Ratio"
    kItrIvo = 4,          // cam "Nominal Intake Valve Opening"
    kItrIvc = 5,          // cam "Nominal Intake Valve Closing"
    kItrEvo = 6,          // cam "Nominal Exhaust Valve Opening"
    kItrEvc = 7,          // cam "Nominal Exhaust Valve Closing"
    kItrIntakeLift = 8,   // cam "Intake Valve Lift"
    kItrExhaustLift = 9,  // cam "Exhaust Valve Lift"
};

inline constexpr int kIterationDataTypeCount = 10;

bool IsIterationDataType(std::int32_t type);

// The name a sweep of the type goes by on the command line and in series
// files: "bore", "stroke", "compression", "ivo", "ivc", "evo", "evc",
// "int-lift", "exh-lift" ("" for type 0).
const char* IterationSweepName(IterationDataType type);

// The type a sweep name stands for; kItrNone for a name that is none of them.
IterationDataType IterationDataTypeOfSweepName(std::string_view name);

// The name the setup lists show: "(None)", "Bore", "Stroke", "Compression",
// "IVO", "IVC", "EVO", "EVC", "Int Lift", "Exh Lift".
const char* IterationDataTypeName(IterationDataType type);

// Whether setting this parameter changes the compression that the
// compression-ratio calculator worked out (bore, stroke, compression ratio).
bool AffectsCalculatorCompression(IterationDataType type);

// The engine parameter a data type sweeps (type 1..9).
CFloatPtSpec& SweptParameter(CTorqDoc& engine, IterationDataType type);
const CFloatPtSpec& SweptParameter(const CTorqDoc& engine, IterationDataType type);

// The step template of a data type (1..9): one of six program-wide
// parameters built once ("Bore Step", "Stroke Step", "Compression Ratio
// Step", "Valve Event Step", "Intake Valve Lift Step", "Exhaust Valve Lift
// Step"), in English units and holding the default step. They never change
// after they are built, so any thread may read them.
const CFloatPtSpec& StepTemplate(IterationDataType type);

// One row of the iterator setup: which parameter is swept, from Min Value
// to Max Value by Step Value, and where the odometer stands in the sweep.
class IterationParam {
public:
    IterationParam();
    // A copy takes every field, the three parameters whole (value, units,
    // range and set flag, even of an unset parameter).
    IterationParam(const IterationParam& other);
    IterationParam& operator=(const IterationParam& other) = default;

    // Type 0, the three parameters unset, the odometer fields zeroed.
    void Clear();

    // Clears the slot and takes the type. For a type other than 0, Min Value
    // and Max Value become copies of the engine's parameter (value, range,
    // units) and Step Value a copy of the type's step template, switched to
    // metric when the engine shows metric units.
    void ChooseDataType(IterationDataType type, const CTorqDoc& baseline);

    // Number of values one cycle of the sweep issues, in 32-bit floats:
    // q = (Max - Min) / Step, n = trunc(q), one more when the remainder q - n
    // is above 0.01, and the last value is Max itself: steps = n + 1. Zero
    // when Max is not above Min, Step is not above 0 or the range is shorter
    // than one step. Stores the number and returns it.
    std::int32_t ComputeSteps();

    IterationDataType dataType = kItrNone;
    CFloatPtSpec minValue;
    CFloatPtSpec maxValue;
    CFloatPtSpec stepValue;
    float currentValue = 0.0f;   // the value this slot gives the current test
    std::int32_t stepIndex = 0;  // values issued in the current cycle
    bool wrapped = false;        // the cycle has issued Max Value
    std::int32_t numberOfSteps = 0;
};

// Step count of a sweep by the rule of IterationParam::ComputeSteps.
std::int32_t CountSteps(float minValue, float maxValue, float stepValue);
