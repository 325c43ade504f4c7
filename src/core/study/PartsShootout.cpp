#include "PartsShootout.h"

#include "base/ErrCode.h"
#include "base/Util.h"
#include "model/ComponentTable.h"

#include <algorithm>
#include <numeric>

namespace {

struct PartGroupRow {
    PartGroup group;
    const char* name;
    const char* title;
    ChoiceGroup choices;  // the induction rating is typed, not chosen from its menu
};

constexpr PartGroupRow kPartGroupRows[] = {
    {PartGroup::Head, "head", "Cylinder Heads", ChoiceGroup::CylinderHead},
    {PartGroup::Induction, "induction", "Induction", ChoiceGroup::Induction},
    {PartGroup::Manifold, "manifold", "Intake Manifold", ChoiceGroup::Manifold},
    {PartGroup::Fuel, "fuel", "Fuel", ChoiceGroup::Fuel},
    {PartGroup::Exhaust, "exhaust", "Exhaust", ChoiceGroup::ExhaustSystem},
    {PartGroup::Cam, "cam", "Cam Type", ChoiceGroup::CamType},
    {PartGroup::Lifter, "lifter", "Lifters", ChoiceGroup::LifterType},
};

const PartGroupRow& RowOf(PartGroup group)
{
    for (const PartGroupRow& row : kPartGroupRows) {
        if (row.group == group) return row;
    }
    ReportAssertion(__FILE__, __LINE__);
}

bool IsForcedInductionManifold(const PartOption& option)
{
    return option.edit.kind == EngineEdit::Kind::MenuChoice &&
           option.edit.choice == NamedChoice::kForcedInductionManifold;
}

// Where the groups sit in a setup; -1 for a group it does not vary.
struct GroupPlaces {
    int manifold = -1;
    int exhaust = -1;
};

GroupPlaces PlacesOf(const ShootoutSetup& setup)
{
    GroupPlaces places;
    for (std::size_t i = 0; i < setup.groups.size(); ++i) {
        if (setup.groups[i].group == PartGroup::Manifold) places.manifold = static_cast<int>(i);
        if (setup.groups[i].group == PartGroup::Exhaust) places.exhaust = static_cast<int>(i);
    }
    return places;
}

// Whether the combination puts the engine on the forced-induction manifold,
// which takes the exhaust over.
bool OnForcedInduction(const CTorqDoc& base, const ShootoutSetup& setup, GroupPlaces places,
                       const Combination& choices)
{
    if (places.manifold < 0) return ShowsForcedInductionExhaust(base);
    const PartGroupChoices& manifolds = setup.groups[static_cast<std::size_t>(places.manifold)];
    return IsForcedInductionManifold(manifolds.options[static_cast<std::size_t>(choices[places.manifold])]);
}

// Every combination the form allows, the first group changing slowest. An
// exhaust on the forced-induction manifold is no choice: of the exhausts,
// one combination stays, with the exhaust taken over.
std::vector<Combination> MakeCombinations(const CTorqDoc& base, const ShootoutSetup& setup)
{
    std::vector<Combination> combinations;
    const GroupPlaces places = PlacesOf(setup);
    Combination choices(setup.groups.size(), 0);
    for (;;) {
        const bool takenOver = places.exhaust >= 0 && OnForcedInduction(base, setup, places, choices);
        if (!takenOver) {
            combinations.push_back(choices);
        } else if (choices[places.exhaust] == 0) {
            combinations.push_back(choices);
            combinations.back()[places.exhaust] = kTakenOver;
        }
        int group = static_cast<int>(choices.size()) - 1;
        for (; group >= 0; --group) {
            const std::size_t at = static_cast<std::size_t>(group);
            if (++choices[at] < static_cast<int>(setup.groups[at].options.size())) break;
            choices[at] = 0;
        }
        if (group < 0) return combinations;
    }
}

std::string RatingName(float cfm, float inHg)
{
    return FormatC("%g@%g", double(cfm), double(inHg));
}

// Why the base engine cannot take an option, or nothing.
std::optional<std::string> OptionRefusal(const CTorqDoc& base, PartGroup group, const PartOption& option,
                                         bool manifoldVaried)
{
    const std::string what = std::string(PartGroupName(group)) + " \"" + option.name + "\": ";
    const EngineEdit& edit = option.edit;
    if (edit.kind == EngineEdit::Kind::InductionRating) {
        const CFloatPtSpec& flow = base.InductionFlow();
        if (edit.cfm < flow.GetEnglishMinimum() || edit.cfm > flow.GetEnglishMaximum()) {
            return what + FormatC("the induction flow is %g to %g cfm", double(flow.GetEnglishMinimum()),
                                  double(flow.GetEnglishMaximum()));
        }
        if (edit.inHg != 1.5f && edit.inHg != 3.0f)
            return what + "the rating's pressure drop is 1.5 or 3.0 inHg";
        return std::nullopt;
    }
    if (edit.kind != EngineEdit::Kind::MenuChoice) return std::nullopt;
    if (edit.choice == NamedChoice::kCustomCamType)
        return what + "a cam of your own needs its valve events; \"own\" keeps the engine's";
    if (edit.choice.group != RowOf(group).choices || !IsChoice(edit.choice))
        return what + "not a choice of this group";
    if (group == PartGroup::Exhaust && !manifoldVaried &&
        ChoiceEnabling(base, edit.choice) == Enabling::ExhaustTakenByBlower) {
        return what + "the \"Forced Induction\" manifold takes the exhaust over on this engine";
    }
    return std::nullopt;
}

}  // namespace

const char* PartGroupName(PartGroup group)
{
    return RowOf(group).name;
}

const char* PartGroupTitle(PartGroup group)
{
    return RowOf(group).title;
}

std::optional<PartGroup> ParsePartGroupName(std::string_view name)
{
    for (const PartGroupRow& row : kPartGroupRows) {
        if (name == row.name) return row.group;
    }
    return std::nullopt;
}

PartOption OwnCamOption(const CTorqDoc& base)
{
    return {"Own: " + base.Cam().CamType().GetChoiceName(), EngineEdit{}};
}

PartOption RatingOption(float cfm, float inHg)
{
    return {RatingName(cfm, inHg), EngineEdit::Rating(cfm, inHg)};
}

std::vector<PartOption> AllowedPartOptions(const CTorqDoc& base, PartGroup group)
{
    std::vector<PartOption> options;
    if (group == PartGroup::Induction) {
        const float ownCfm = base.InductionFlow().GetEnglishValue();
        const float ownInHg = base.PressureDrop().GetEnglishValue();
        options.push_back(RatingOption(ownCfm, ownInHg));
        for (const ComponentChoice& row : ChoicesOf(ChoiceGroup::Induction)) {
            if (row.values[1] == ownInHg && row.values[0] != ownCfm)
                options.push_back(RatingOption(row.values[0], row.values[1]));
        }
        return options;
    }
    // The forced-induction manifold needs a blower, which no group chooses:
    // offered only to an engine that has one.
    const bool hasBlower = base.ForcedInductionType().IsValid() &&
                           base.ForcedInductionType().GetIndex() != kForcedInductionNoneIndex;
    for (const ListedChoice& listed : ListChoices(base, RowOf(group).choices)) {
        if (listed.choice == NamedChoice::kForcedInductionManifold && !hasBlower) continue;
        if (listed.choice == NamedChoice::kCustomCamType) continue;
        if (listed.enabling == Enabling::Enabled)
            options.push_back({ChoiceName(listed.choice), EngineEdit::Pick(listed.choice)});
    }
    if (group == PartGroup::Cam) options.push_back(OwnCamOption(base));
    return options;
}

std::size_t CountCombinations(const CTorqDoc& base, const ShootoutSetup& setup)
{
    const GroupPlaces places = PlacesOf(setup);
    // Saturates just above the most a comparison takes.
    const auto times = [](std::size_t a, std::size_t b) {
        if (a == 0 || b == 0) return std::size_t{0};
        return a > (kMostShootoutCombinations + 1) / b ? kMostShootoutCombinations + 1 : a * b;
    };
    std::size_t others = 1;
    for (std::size_t i = 0; i < setup.groups.size(); ++i) {
        if (static_cast<int>(i) != places.manifold && static_cast<int>(i) != places.exhaust)
            others = times(others, setup.groups[i].options.size());
    }
    const std::size_t exhausts =
        places.exhaust < 0 ? 1 : setup.groups[static_cast<std::size_t>(places.exhaust)].options.size();
    std::size_t pairs = 0;
    if (places.manifold < 0) {
        pairs = places.exhaust >= 0 && ShowsForcedInductionExhaust(base) ? std::min<std::size_t>(exhausts, 1)
                                                                         : exhausts;
    } else {
        for (const PartOption& manifold : setup.groups[static_cast<std::size_t>(places.manifold)].options)
            pairs += places.exhaust >= 0 && IsForcedInductionManifold(manifold)
                         ? std::min<std::size_t>(exhausts, 1)
                         : exhausts;
    }
    return times(others, pairs);
}

std::optional<std::string> ShootoutRefusal(const CTorqDoc& base, const ShootoutSetup& setup)
{
    if (setup.groups.empty()) return "nothing to vary: choose at least one group";
    const GroupPlaces places = PlacesOf(setup);
    for (std::size_t i = 0; i < setup.groups.size(); ++i) {
        const PartGroupChoices& group = setup.groups[i];
        const char* name = PartGroupName(group.group);
        for (std::size_t j = 0; j < i; ++j) {
            if (setup.groups[j].group == group.group) return std::string(name) + ": the group is given twice";
        }
        if (group.options.empty()) return std::string(name) + ": no choice to try";
        for (const PartOption& option : group.options) {
            if (auto refusal = OptionRefusal(base, group.group, option, places.manifold >= 0)) return refusal;
        }
    }
    if (setup.band.minRpm >= setup.band.maxRpm) return "the band's lower speed must be below its upper";
    if (setup.top == 0) return "the result needs at least one row";
    const std::size_t count = CountCombinations(base, setup);
    if (count > kMostShootoutCombinations) {
        return FormatC("more than %zu combinations: choose fewer parts", kMostShootoutCombinations);
    }
    return std::nullopt;
}

PartsShootout::PartsShootout(const CTorqDoc& base, ShootoutSetup setup)
    : m_setup(std::move(setup)),
      m_combinations(MakeCombinations(base, m_setup)),
      m_study(
          base, m_combinations.size(),
          [this](std::size_t combination, std::vector<EngineEdit>& edits) { Edits(combination, edits); },
          m_setup.criterion, m_setup.band)
{
}

void PartsShootout::Edits(std::size_t combination, std::vector<EngineEdit>& edits) const
{
    const Combination& choices = m_combinations[combination];
    edits.clear();
    // In the form's order, whatever the order of the setup's groups.
    for (PartGroup group : kPartGroups) {
        for (std::size_t i = 0; i < m_setup.groups.size(); ++i) {
            if (m_setup.groups[i].group != group || choices[i] == kTakenOver) continue;
            edits.push_back(m_setup.groups[i].options[static_cast<std::size_t>(choices[i])].edit);
        }
    }
}

ShootoutResult PartsShootout::Result() const
{
    ShootoutResult result;
    result.combinations = m_combinations.size();
    result.baseline = m_study.Baseline();
    const std::vector<StudyFigures>& figures = m_study.Figures();
    std::vector<std::size_t> ran;
    for (std::size_t i = 0; i < m_study.DoneCount(); ++i) {
        if (figures[i].ran) {
            ran.push_back(i);
        } else {
            result.failures.push_back({i, m_combinations[i], figures[i], {}});
        }
    }
    result.run = ran.size();
    result.failed = result.failures.size();
    const std::size_t top = std::min(m_setup.top, ran.size());
    std::partial_sort(ran.begin(), ran.begin() + static_cast<std::ptrdiff_t>(top), ran.end(),
                      [&figures](std::size_t a, std::size_t b) {
                          if (figures[a].score != figures[b].score)
                              return figures[a].score > figures[b].score;
                          return a < b;
                      });
    for (std::size_t k = 0; k < top; ++k) {
        const std::size_t i = ran[k];
        result.rows.push_back(
            {i, m_combinations[i], figures[i], GainOver(figures[i].score, result.baseline.score)});
    }
    return result;
}

std::vector<std::pair<PartGroup, std::string>> PartsShootout::ChoiceNames(const Combination& choices) const
{
    std::vector<std::pair<PartGroup, std::string>> names;
    for (std::size_t i = 0; i < m_setup.groups.size(); ++i) {
        const PartGroupChoices& group = m_setup.groups[i];
        names.emplace_back(group.group, choices[i] == kTakenOver
                                            ? std::string(kTakenOverExhaustName)
                                            : group.options[static_cast<std::size_t>(choices[i])].name);
    }
    return names;
}

std::string PartsShootout::ChangesText(const Combination& choices) const
{
    std::string text;
    for (const auto& [group, name] : ChoiceNames(choices)) {
        if (name == kTakenOverExhaustName) continue;
        if (!text.empty()) text += ", ";
        text += group == PartGroup::Induction ? name + " cfm" : name;
    }
    return text;
}
