#include "IterationParam.h"

#include "base/ErrCode.h"
#include "model/TorqDoc.h"

#include <array>
#include <cmath>
#include <limits>

namespace {

// A step template: English bounds, and the English minimum is also the default step.
CFloatPtSpec MakeTemplate(const char* name, UnitCode englishUnit, float minimum, float maximum,
                          UnitCode metricUnit, float factor)
{
    CFloatPtSpec spec(name, englishUnit, minimum, maximum, metricUnit, factor);
    spec.SetValue(minimum);
    return spec;
}

// Built on first use (thread-safe initialisation) and never changed after.
const std::array<CFloatPtSpec, 6>& StepTemplates()
{
    static const std::array<CFloatPtSpec, 6> templates = {
        MakeTemplate("Bore Step", UnitCode::Inch, 0.01f, 1.0f, UnitCode::Millimetre, kInchesToMillimetres),
        MakeTemplate("Stroke Step", UnitCode::Inch, 0.01f, 1.0f, UnitCode::Millimetre, kInchesToMillimetres),
        MakeTemplate("Compression Ratio Step", UnitCode::Ratio, 0.1f, 1.0f, UnitCode::Ratio, 1.0f),
        MakeTemplate("Valve Event Step", UnitCode::Degree, 1.0f, 30.0f, UnitCode::Degree, 1.0f),
        MakeTemplate("Intake Valve Lift Step", UnitCode::Inch, 0.01f, 1.0f, UnitCode::Millimetre,
                     kInchesToMillimetres),
        MakeTemplate("Exhaust Valve Lift Step", UnitCode::Inch, 0.01f, 1.0f, UnitCode::Millimetre,
                     kInchesToMillimetres),
    };
    return templates;
}

// The three parameters of a fresh slot: plain numbers from 0 to 10.
CFloatPtSpec PlainBound(const char* name)
{
    return CFloatPtSpec(name, UnitCode::Plain, 0.0f, 10.0f, UnitCode::Plain, 1.0f);
}

}  // namespace

bool IsIterationDataType(std::int32_t type)
{
    return type >= kItrNone && type <= kItrExhaustLift;
}

const char* IterationDataTypeName(IterationDataType type)
{
    static constexpr const char* kNames[kIterationDataTypeCount] = {
        "(None)", "Bore", "Stroke", "Compression", "IVO", "IVC", "EVO", "EVC", "Int Lift", "Exh Lift"};
    TORQ_ASSERT(IsIterationDataType(type));
    return kNames[type];
}

const char* IterationSweepName(IterationDataType type)
{
    static constexpr const char* kNames[kIterationDataTypeCount] = {
        "", "bore", "stroke", "compression", "ivo", "ivc", "evo", "evc", "int-lift", "exh-lift"};
    TORQ_ASSERT(IsIterationDataType(type));
    return kNames[type];
}

IterationDataType IterationDataTypeOfSweepName(std::string_view name)
{
    for (std::int32_t type = kItrBore; type < kIterationDataTypeCount; ++type) {
        const auto candidate = static_cast<IterationDataType>(type);
        if (name == IterationSweepName(candidate)) return candidate;
    }
    return kItrNone;
}

bool AffectsCalculatorCompression(IterationDataType type)
{
    return type == kItrBore || type == kItrStroke || type == kItrCompression;
}

CFloatPtSpec& SweptParameter(CTorqDoc& engine, IterationDataType type)
{
    switch (type) {
        case kItrBore:
            return engine.Bore();
        case kItrStroke:
            return engine.Stroke();
        case kItrCompression:
            return engine.CompressionRatio();
        case kItrIvo:
            return engine.Cam().NominalIvo();
        case kItrIvc:
            return engine.Cam().NominalIvc();
        case kItrEvo:
            return engine.Cam().NominalEvo();
        case kItrEvc:
            return engine.Cam().NominalEvc();
        case kItrIntakeLift:
            return engine.Cam().IntakeLift();
        case kItrExhaustLift:
            return engine.Cam().ExhaustLift();
        case kItrNone:
            break;
    }
    ReportAssertion(__FILE__, __LINE__);
}

const CFloatPtSpec& SweptParameter(const CTorqDoc& engine, IterationDataType type)
{
    return SweptParameter(const_cast<CTorqDoc&>(engine), type);
}

const CFloatPtSpec& StepTemplate(IterationDataType type)
{
    const auto& templates = StepTemplates();
    switch (type) {
        case kItrBore:
            return templates[0];
        case kItrStroke:
            return templates[1];
        case kItrCompression:
            return templates[2];
        case kItrIvo:
        case kItrIvc:
        case kItrEvo:
        case kItrEvc:
            return templates[3];
        case kItrIntakeLift:
            return templates[4];
        case kItrExhaustLift:
            return templates[5];
        case kItrNone:
            break;
    }
    ReportAssertion(__FILE__, __LINE__);
}

std::int32_t CountSteps(float minValue, float maxValue, float stepValue)
{
    // Whole steps are counted with 0.01 of a step to spare, as the last step
    // below: 4.02 - 4.00 is 0.019999981 in floats, yet it is one step of 0.02.
    constexpr float kStepTolerance = 0.01f;
    const float range = maxValue - minValue;
    if (!(range > 0.0f) || !(stepValue > 0.0f)) return 0;
    const float q = range / stepValue;
    if (q < 1.0f - kStepTolerance) return 0;
    // A sweep this long is refused at setup anyway (300,000,000 tests at
    // most); saturate rather than overflow the count.
    constexpr float kLongest = 2147483520.0f;  // the largest float below 2^31
    if (!(q < kLongest)) return std::numeric_limits<std::int32_t>::max();
    std::int32_t n = static_cast<std::int32_t>(q);
    // A remainder of more than 0.01 of a step gives one shorter last step.
    if (q - static_cast<float>(n) > kStepTolerance) ++n;
    return n + 1;
}

// ---------------------------------------------------------------- IterationParam

IterationParam::IterationParam()
    : minValue(PlainBound("Min Value")),
      maxValue(PlainBound("Max Value")),
      stepValue(PlainBound("Step Value"))
{
}

IterationParam::IterationParam(const IterationParam& other) : IterationParam()
{
    *this = other;
}

void IterationParam::Clear()
{
    dataType = kItrNone;
    minValue.MarkUnset();
    maxValue.MarkUnset();
    stepValue.MarkUnset();
    currentValue = 0.0f;
    stepIndex = 0;
    wrapped = false;
    numberOfSteps = 0;
}

void IterationParam::ChooseDataType(IterationDataType type, const CTorqDoc& baseline)
{
    TORQ_ASSERT(IsIterationDataType(type));
    Clear();
    dataType = type;
    if (type == kItrNone) return;
    minValue = SweptParameter(baseline, type);
    maxValue = SweptParameter(baseline, type);
    stepValue = StepTemplate(type);
    if (baseline.GetUnitSystem() == kMetricUnits) stepValue.ToMetric();
}

std::int32_t IterationParam::ComputeSteps()
{
    numberOfSteps = CountSteps(minValue.GetValue(), maxValue.GetValue(), stepValue.GetValue());
    return numberOfSteps;
}
