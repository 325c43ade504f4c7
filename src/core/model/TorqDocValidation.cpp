// The engine's validation: the groups of the form in order, each naming its
// first gap by its message.

#include "TorqDoc.h"

#include "base/Assertion.h"

#include <initializer_list>
#include <utility>

namespace {

// Tests a chain of (parameter, code) pairs in order; the first invalid one gives its code.
bool AllValid(std::initializer_list<std::pair<const CTorqSpec*, int>> checks, ErrorCode& code)
{
    for (const auto& [spec, failCode] : checks) {
        if (!spec->IsValid()) {
            code = ErrorCode(failCode);
            return false;
        }
    }
    return true;
}

}  // namespace

bool CTorqDoc::ValidateShortBlock(ErrorCode& code) const
{
    return AllValid({{&ShortBlockType(), Msg::BoreStrokeSelectionRequired},
                     {&Bore(), Msg::BoreRequired},
                     {&Stroke(), Msg::StrokeRequired},
                     {&NumberOfCylinders(), Msg::CylinderCountRequired}},
                    code);
}

bool CTorqDoc::ValidateCylinderHeads(ErrorCode& code) const
{
    if (!AllValid({{&CylinderHeadType(), Msg::CylinderHeadRequired},
                   {&IntakeValveCount(), Msg::IntakeValveCountRequired},
                   {&ExhaustValveCount(), Msg::ExhaustValveCountRequired}},
                  code)) {
        return false;
    }
    if (!FlowData().CheckComplete(code)) return false;
    return AllValid({{&IntakeValveDiameter(), Msg::IntakeValveDiameterRequired},
                     {&ExhaustValveDiameter(), Msg::ExhaustValveDiameterRequired}},
                    code);
}

bool CTorqDoc::ValidateInduction(ErrorCode& code) const
{
    if (!AllValid({{&InductionFlow(), Msg::InductionFlowRequired},
                   {&PressureDrop(), Msg::InductionPressureDropRequired},
                   {&ManifoldType(), Msg::ManifoldRequired},
                   {&FuelType(), Msg::FuelTypeRequired},
                   {&NitrousFlowRate(), Msg::NitrousFlowRequired}},
                  code)) {
        return false;
    }
    if (ManifoldType().GetIndex() != kForcedInductionManifold) return true;
    return ValidateForcedInduction(code);
}

// The blower's values, in the order the messages ask for them; each kind
// needs only the values its model reads.
bool CTorqDoc::ValidateForcedInduction(ErrorCode& code) const
{
    if (!ForcedInductionType().IsValid() || ForcedInductionType().GetIndex() == kForcedInductionNoneIndex) {
        code = Msg::BlowerRequired;
        return false;
    }
    const int kind = m_values.forcedInductionClass;
    TORQ_ASSERT(kind != kNoForcedInduction);
    const bool turbo = kind == kTurbocharger;
    const bool centrifugal = kind == kCentrifugalBlower;
    const bool roots = kind == kRootsBlower;
    const std::pair<const CFloatPtSpec*, int> checks[] = {
        {&BlowerFlowRate(), Msg::BlowerFlowRequired},
        {(turbo || centrifugal) ? &BlowerPressureRatio() : nullptr, Msg::BlowerPressureRatioRequired},
        {&BlowerBoostLevelLimit(), Msg::BlowerBoostLimitRequired},
        {centrifugal ? &BlowerRpm() : nullptr, Msg::BlowerRpmRequired},
        {(centrifugal || roots) ? &BlowerBeltGearRatio() : nullptr, Msg::BlowerBeltGearRatioRequired},
        {turbo ? &BlowerSurgeFlowRate() : nullptr, Msg::BlowerSurgeFlowRequired},
        {&BlowerEfficiency(), Msg::BlowerEfficiencyRequired},
        {centrifugal ? &BlowerInternalGearRatio() : nullptr, Msg::BlowerInternalGearRatioRequired},
    };
    for (const auto& [spec, failCode] : checks) {
        if (spec != nullptr && !spec->IsValid()) {
            code = ErrorCode(failCode);
            return false;
        }
    }
    return true;
}

bool CTorqDoc::Validate(ErrorCode& code) const
{
    return ValidateShortBlock(code) && ValidateCylinderHeads(code) &&
           AllValid({{&CompressionRatio(), Msg::CompressionRatioRequired}}, code) &&
           ValidateInduction(code) && AllValid({{&ExhaustSystem(), Msg::ExhaustRequired}}, code) &&
           Cam().CheckComplete(code);
}

bool CTorqDoc::IsGroupComplete(EngineGroup group) const
{
    ErrorCode code = 0;
    switch (group) {
        case EngineGroup::ShortBlock:
            return ValidateShortBlock(code);
        case EngineGroup::CylinderHeads:
            return ValidateCylinderHeads(code);
        case EngineGroup::Compression:
            return CompressionRatio().IsValid();
        case EngineGroup::Induction:
            return ValidateInduction(code);
        case EngineGroup::Exhaust:
            return ExhaustSystem().IsValid();
        case EngineGroup::Camshaft:
            return Cam().CheckComplete(code);
    }
    return false;
}
