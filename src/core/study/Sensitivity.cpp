#include "Sensitivity.h"

#include "base/Util.h"
#include "model/ComponentTable.h"

#include <algorithm>
#include <optional>

namespace {

// A menu whose neighbouring choices a sensitivity tries, and the rows of it
// that are no neighbour: a unit or cam of the user's own needs the user's values.
struct ChoiceMenu {
    const char* parameter;  // as new's options name it
    ChoiceGroup menu;
    const CPartTypeSpec& (*spec)(const CTorqDoc& engine);
    bool (*skipped)(Choice choice);
};

bool NoneSkipped(Choice)
{
    return false;
}

bool SkipsCustomCam(Choice choice)
{
    return choice == NamedChoice::kCustomCamType;
}

bool SkipsNoOrCustomBlower(Choice choice)
{
    return choice == NamedChoice::kNoForcedInduction || choice == NamedChoice::kCustomTurbo ||
           choice == NamedChoice::kCustomCentrifugalBlower || choice == NamedChoice::kCustomRootsBlower;
}

// clang-format off
const ChoiceMenu kChoiceMenus[] = {
    {"head",     ChoiceGroup::CylinderHead, [](const CTorqDoc& e) -> const CPartTypeSpec& { return e.CylinderHeadType(); }, NoneSkipped},
    {"manifold", ChoiceGroup::Manifold,      [](const CTorqDoc& e) -> const CPartTypeSpec& { return e.ManifoldType(); }, NoneSkipped},
    {"fuel",     ChoiceGroup::Fuel,          [](const CTorqDoc& e) -> const CPartTypeSpec& { return e.FuelType(); }, NoneSkipped},
    {"blower",   ChoiceGroup::ForcedInduction, [](const CTorqDoc& e) -> const CPartTypeSpec& { return e.ForcedInductionType(); }, SkipsNoOrCustomBlower},
    {"exhaust",  ChoiceGroup::ExhaustSystem, [](const CTorqDoc& e) -> const CPartTypeSpec& { return e.ExhaustSystem(); }, NoneSkipped},
    {"cam",      ChoiceGroup::CamType,       [](const CTorqDoc& e) -> const CPartTypeSpec& { return e.Cam().CamType(); }, SkipsCustomCam},
    {"lifter",   ChoiceGroup::LifterType,    [](const CTorqDoc& e) -> const CPartTypeSpec& { return e.Cam().LifterType(); }, NoneSkipped},
    {"timing",   ChoiceGroup::TimingMethod,  [](const CTorqDoc& e) -> const CPartTypeSpec& { return e.Cam().TimingMethod(); }, NoneSkipped},
};
// clang-format on

// A number the user types on the form: set, enabled, and not calculated
// automatically from the others.
bool IsTypedByUser(const CTorqDoc& base, const NumberParameterInfo& info)
{
    const CFloatPtSpec& spec = ParameterSpec(base, info.parameter);
    if (!spec.IsValid() || !IsParameterEnabled(base, spec)) return false;
    switch (info.parameter) {
        case NumberParameter::IntakeValve:
        case NumberParameter::ExhaustValve:
            return !base.IsAutoValveSizes();
        case NumberParameter::IntakeLift:
        case NumberParameter::ExhaustLift:
            return !base.Cam().IsAutoValveLift();
        default:
            return true;
    }
}

void AddNumberChanges(const CTorqDoc& base, const NumberParameterInfo& info,
                      std::vector<SensitivityChange>& changes)
{
    const CFloatPtSpec& spec = ParameterSpec(base, info.parameter);
    const float step = spec.IsEnglish() ? info.englishStep : info.englishStep * spec.GetFactor();
    for (float direction : {-1.0f, 1.0f}) {
        // What a user would type: the shortest text of the stepped value.
        const std::string text = FormatC("%.6g", double(spec.GetValue() + direction * step));
        CFloatPtSpec typed = spec;
        if (!typed.SetFromText(text, false) || typed.GetValue() == spec.GetValue()) continue;
        SensitivityChange change;
        change.parameter = info.name;
        change.from = spec.GetValue();
        change.to = typed.GetValue();
        change.fromText = spec.GetText();
        change.toText = typed.GetText();
        change.edit = EngineEdit::Typed(info.parameter, text);
        changes.push_back(std::move(change));
    }
}

// The engine's place in the menu; nothing when it has none of them.
std::optional<Choice> CurrentChoice(const CTorqDoc& base, const ChoiceMenu& menu)
{
    const CPartTypeSpec& spec = menu.spec(base);
    if (!spec.IsValid()) return std::nullopt;
    const auto rows = ChoicesOf(menu.menu);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].partIndex == spec.GetIndex()) return Choice{menu.menu, static_cast<int>(i)};
    }
    return std::nullopt;
}

void AddChoiceChanges(const CTorqDoc& base, const ChoiceMenu& menu, std::vector<SensitivityChange>& changes)
{
    const std::optional<Choice> current = CurrentChoice(base, menu);
    if (!current || ChoiceEnabling(base, *current) != Enabling::Enabled) return;
    for (int direction : {-1, 1}) {
        Choice neighbour{menu.menu, current->index + direction};
        while (IsChoice(neighbour) && menu.skipped(neighbour)) neighbour.index += direction;
        if (!IsChoice(neighbour) || ChoiceEnabling(base, neighbour) != Enabling::Enabled) continue;
        SensitivityChange change;
        change.parameter = menu.parameter;
        change.isChoice = true;
        change.fromText = menu.spec(base).GetChoiceName();
        change.toText = ChoiceName(neighbour);
        change.edit = EngineEdit::Pick(neighbour);
        changes.push_back(std::move(change));
    }
}

}  // namespace

std::vector<SensitivityChange> SensitivityChanges(const CTorqDoc& base)
{
    std::vector<SensitivityChange> changes;
    for (const NumberParameterInfo& info : NumberParameters()) {
        if (IsTypedByUser(base, info)) AddNumberChanges(base, info, changes);
    }
    for (const ChoiceMenu& menu : kChoiceMenus) AddChoiceChanges(base, menu, changes);
    return changes;
}

Sensitivity::Sensitivity(const CTorqDoc& base, StudyCriterion criterion, SpeedBand band)
    : m_changes(SensitivityChanges(base)),
      m_study(
          base, m_changes.size(),
          [this](std::size_t change, std::vector<EngineEdit>& edits) {
              edits.assign(1, m_changes[change].edit);
          },
          criterion, band)
{
}

SensitivityResult Sensitivity::Result() const
{
    SensitivityResult result;
    result.baseline = m_study.Baseline();
    const std::vector<StudyFigures>& figures = m_study.Figures();
    for (std::size_t i = 0; i < m_study.DoneCount(); ++i) {
        SensitivityRow row{i, figures[i], GainOver(figures[i].score, result.baseline.score)};
        (figures[i].ran ? result.rows : result.failures).push_back(std::move(row));
    }
    std::stable_sort(
        result.rows.begin(), result.rows.end(),
        [](const SensitivityRow& a, const SensitivityRow& b) { return a.gain.absolute > b.gain.absolute; });
    return result;
}
