#include "Sensitivity.h"

#include "base/Util.h"
#include "model/Commands.h"
#include "model/ComponentTable.h"

#include <algorithm>

namespace {

// A menu whose neighbouring choices a sensitivity tries, and the rows of it
// that are no neighbour: a unit or cam of the user's own needs the user's values.
struct ChoiceMenu {
    const char* parameter;  // as new's options name it
    Cmd::Range menu;
    const CPartTypeSpec& (*spec)(const CTorqDoc& engine);
    bool (*skipped)(int command);
};

bool NoneSkipped(int)
{
    return false;
}

bool SkipsCustomCam(int command)
{
    return command == Cmd::kCustomCamType;
}

bool SkipsNoOrCustomBlower(int command)
{
    return command == Cmd::kForcedInductionNone || command == Cmd::kCustomTurbo ||
           command == Cmd::kCustomCentrifugalBlower || command == Cmd::kCustomRootsBlower;
}

// clang-format off
const ChoiceMenu kChoiceMenus[] = {
    {"head",     Cmd::kStandardHeads,   [](const CTorqDoc& e) -> const CPartTypeSpec& { return e.CylinderHeadType(); }, NoneSkipped},
    {"manifold", Cmd::kManifolds,       [](const CTorqDoc& e) -> const CPartTypeSpec& { return e.ManifoldType(); }, NoneSkipped},
    {"fuel",     Cmd::kFuels,           [](const CTorqDoc& e) -> const CPartTypeSpec& { return e.FuelType(); }, NoneSkipped},
    {"blower",   Cmd::kForcedInduction, [](const CTorqDoc& e) -> const CPartTypeSpec& { return e.ForcedInductionType(); }, SkipsNoOrCustomBlower},
    {"exhaust",  Cmd::kExhaustSystems,  [](const CTorqDoc& e) -> const CPartTypeSpec& { return e.ExhaustSystem(); }, NoneSkipped},
    {"cam",      Cmd::kCamTypes,        [](const CTorqDoc& e) -> const CPartTypeSpec& { return e.Cam().CamType(); }, SkipsCustomCam},
    {"lifter",   Cmd::kLifterTypes,     [](const CTorqDoc& e) -> const CPartTypeSpec& { return e.Cam().LifterType(); }, NoneSkipped},
    {"timing",   Cmd::kTimingMethods,   [](const CTorqDoc& e) -> const CPartTypeSpec& { return e.Cam().TimingMethod(); }, NoneSkipped},
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

// The engine's row of the menu; 0 when it has none of them.
int CurrentCommand(const CTorqDoc& base, const ChoiceMenu& menu)
{
    const CPartTypeSpec& spec = menu.spec(base);
    if (!spec.IsValid()) return 0;
    for (int command = menu.menu.first; command <= menu.menu.last; ++command) {
        if (FindComponentChoice(command).partIndex == spec.GetIndex()) return command;
    }
    return 0;
}

void AddChoiceChanges(const CTorqDoc& base, const ChoiceMenu& menu, std::vector<SensitivityChange>& changes)
{
    const int current = CurrentCommand(base, menu);
    if (current == 0 || CommandEnabling(base, current) != Enabling::Enabled) return;
    for (int direction : {-1, 1}) {
        int neighbour = current + direction;
        while (menu.menu.Contains(neighbour) && menu.skipped(neighbour)) neighbour += direction;
        if (!menu.menu.Contains(neighbour) || CommandEnabling(base, neighbour) != Enabling::Enabled) continue;
        SensitivityChange change;
        change.parameter = menu.parameter;
        change.isChoice = true;
        change.fromText = menu.spec(base).GetChoiceName();
        change.toText = ChoiceName(neighbour);
        change.edit = EngineEdit::Choice(neighbour);
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
