#include "EnablingRules.h"

#include "ComponentTable.h"
#include "TorqDoc.h"
#include "base/ErrCode.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <optional>

namespace {

// "Fuel Type" entries that carry no nitrous: gasoline and the alcohol and
// racing fuels; every other entry is gasoline with a nitrous system.
constexpr int kFuelsWithoutNitrous[] = {1, 10, 19, 20, 21};

constexpr int kUnitKinds = 4;  // none, turbocharger, centrifugal blower, Roots blower

// A figure of the forced-induction unit and the kinds that read it.
struct BlowerFigure {
    const CFloatPtSpec* figure;
    std::array<bool, kUnitKinds> readBy;  // by ForcedInductionClass
};

std::array<BlowerFigure, 8> BlowerFigures(const CTorqDoc& doc)
{
    // clang-format off
    //                                    none   turbo  centrif Roots
    return {{
        {&doc.BlowerFlowRate(),          {false, true,  true,  true}},
        {&doc.BlowerPressureRatio(),     {false, true,  true,  false}},
        {&doc.BlowerEfficiency(),        {false, true,  true,  true}},
        {&doc.BlowerRpm(),               {false, false, true,  false}},
        {&doc.BlowerSurgeFlowRate(),     {false, true,  false, false}},
        {&doc.BlowerInternalGearRatio(), {false, false, true,  false}},
        {&doc.BlowerBeltGearRatio(),     {false, false, true,  true}},
        {&doc.BlowerBoostLevelLimit(),   {false, true,  true,  true}},
    }};
    // clang-format on
}

bool OnForcedInductionManifold(const CTorqDoc& doc)
{
    const CPartTypeSpec& manifold = doc.ManifoldType();
    return manifold.IsSet() && manifold.GetIndex() == kForcedInductionManifold;
}

// The kind of the chosen unit, checked against the unit: "None" is the only
// unit without a kind.
int UnitKind(const CTorqDoc& doc)
{
    const int kind = doc.GetForcedInductionClass();
    TORQ_ASSERT(kind >= kNoForcedInduction && kind <= kRootsBlower);
    const bool none = doc.ForcedInductionType().GetIndex() == kForcedInductionNoneIndex;
    TORQ_ASSERT(none == (kind == kNoForcedInduction));
    return kind;
}

bool FuelCarriesNitrous(const CTorqDoc& doc)
{
    const CPartTypeSpec& fuel = doc.FuelType();
    return fuel.IsSet() && std::find(std::begin(kFuelsWithoutNitrous), std::end(kFuelsWithoutNitrous),
                                     fuel.GetIndex()) == std::end(kFuelsWithoutNitrous);
}

// The rule for the blower type, its figures and the intercooler; nothing for
// any other parameter.
std::optional<Enabling> ForcedInductionEnabling(const CTorqDoc& doc, const CTorqSpec& parameter)
{
    const bool onManifold = OnForcedInductionManifold(doc);
    if (&parameter == &doc.ForcedInductionType() || &parameter == &doc.IntercoolerEfficiency()) {
        return onManifold ? Enabling::Enabled : Enabling::NoForcedInductionManifold;
    }
    for (const BlowerFigure& entry : BlowerFigures(doc)) {
        if (entry.figure != &parameter) continue;
        if (!onManifold) return Enabling::NoForcedInductionManifold;
        return entry.readBy[std::size_t(UnitKind(doc))] ? Enabling::Enabled : Enabling::NotReadByBlowerKind;
    }
    return std::nullopt;
}

}  // namespace

Enabling ParameterEnabling(const CTorqDoc& doc, const CTorqSpec& parameter)
{
    if (const auto forcedInduction = ForcedInductionEnabling(doc, parameter)) return *forcedInduction;
    if (&parameter == &doc.ExhaustSystem()) {
        return ShowsForcedInductionExhaust(doc) ? Enabling::ExhaustTakenByBlower : Enabling::Enabled;
    }
    if (&parameter == &doc.NitrousFlowRate()) {
        return FuelCarriesNitrous(doc) ? Enabling::Enabled : Enabling::FuelWithoutNitrous;
    }
    return Enabling::Enabled;
}

bool IsParameterEnabled(const CTorqDoc& doc, const CTorqSpec& parameter)
{
    return ParameterEnabling(doc, parameter) == Enabling::Enabled;
}

Enabling ChoiceEnabling(const CTorqDoc& doc, Choice choice)
{
    switch (choice.group) {
        case ChoiceGroup::ForcedInduction:
            return ParameterEnabling(doc, doc.ForcedInductionType());
        case ChoiceGroup::Intercooler:
            return ParameterEnabling(doc, doc.IntercoolerEfficiency());
        case ChoiceGroup::ExhaustSystem:
            return ParameterEnabling(doc, doc.ExhaustSystem());
        default:
            return Enabling::Enabled;
    }
}

Enabling CommandEnabling(const CTorqDoc& doc, EngineCommand command)
{
    if (command == EngineCommand::AutoValveSizes && !doc.GetCommandState(command).enabled) {
        return Enabling::AutoSizesNeedListedHead;
    }
    return Enabling::Enabled;
}

std::vector<ListedChoice> ListChoices(const CTorqDoc& doc, ChoiceGroup group)
{
    std::vector<ListedChoice> listed;
    const auto rows = ChoicesOf(group);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Choice choice{group, static_cast<int>(i)};
        listed.push_back({choice, &rows[i], ChoiceEnabling(doc, choice)});
    }
    return listed;
}

bool ShowsForcedInductionExhaust(const CTorqDoc& doc)
{
    return OnForcedInductionManifold(doc);
}
