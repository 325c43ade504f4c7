#include "EngineEdit.h"

#include "base/ErrCode.h"
#include "model/ComponentTable.h"

namespace {

// clang-format off
constexpr NumberParameterInfo kNumberParameters[] = {
    {NumberParameter::Bore,                "bore",                  0.010f, [](CTorqDoc& e) -> CFloatPtSpec& { return e.Bore(); }},
    {NumberParameter::Stroke,              "stroke",                0.010f, [](CTorqDoc& e) -> CFloatPtSpec& { return e.Stroke(); }},
    {NumberParameter::IntakeValve,         "intake-valve",          0.020f, [](CTorqDoc& e) -> CFloatPtSpec& { return e.IntakeValveDiameter(); }},
    {NumberParameter::ExhaustValve,        "exhaust-valve",         0.020f, [](CTorqDoc& e) -> CFloatPtSpec& { return e.ExhaustValveDiameter(); }},
    {NumberParameter::Compression,         "compression",           0.25f,  [](CTorqDoc& e) -> CFloatPtSpec& { return e.CompressionRatio(); }},
    {NumberParameter::Induction,           "induction",             50.0f,  [](CTorqDoc& e) -> CFloatPtSpec& { return e.InductionFlow(); }},
    {NumberParameter::Nitrous,             "nitrous",               0.5f,   [](CTorqDoc& e) -> CFloatPtSpec& { return e.NitrousFlowRate(); }},
    {NumberParameter::BlowerFlow,          "blower-flow",           50.0f,  [](CTorqDoc& e) -> CFloatPtSpec& { return e.BlowerFlowRate(); }},
    {NumberParameter::BlowerPressureRatio, "blower-pressure-ratio", 0.1f,   [](CTorqDoc& e) -> CFloatPtSpec& { return e.BlowerPressureRatio(); }},
    {NumberParameter::BlowerEfficiency,    "blower-efficiency",     2.0f,   [](CTorqDoc& e) -> CFloatPtSpec& { return e.BlowerEfficiency(); }},
    {NumberParameter::BlowerRpm,           "blower-rpm",            1000.0f,[](CTorqDoc& e) -> CFloatPtSpec& { return e.BlowerRpm(); }},
    {NumberParameter::BlowerSurgeFlow,     "blower-surge-flow",     50.0f,  [](CTorqDoc& e) -> CFloatPtSpec& { return e.BlowerSurgeFlowRate(); }},
    {NumberParameter::BlowerInternalGear,  "blower-internal-gear",  0.1f,   [](CTorqDoc& e) -> CFloatPtSpec& { return e.BlowerInternalGearRatio(); }},
    {NumberParameter::BlowerBeltGear,      "blower-belt-gear",      0.05f,  [](CTorqDoc& e) -> CFloatPtSpec& { return e.BlowerBeltGearRatio(); }},
    {NumberParameter::BoostLimit,          "boost-limit",           1.0f,   [](CTorqDoc& e) -> CFloatPtSpec& { return e.BlowerBoostLevelLimit(); }},
    {NumberParameter::Intercooler,         "intercooler",           5.0f,   [](CTorqDoc& e) -> CFloatPtSpec& { return e.IntercoolerEfficiency(); }},
    {NumberParameter::Ivo,                 "ivo",                   2.0f,   [](CTorqDoc& e) -> CFloatPtSpec& { return e.Cam().NominalIvo(); }},
    {NumberParameter::Ivc,                 "ivc",                   2.0f,   [](CTorqDoc& e) -> CFloatPtSpec& { return e.Cam().NominalIvc(); }},
    {NumberParameter::Evo,                 "evo",                   2.0f,   [](CTorqDoc& e) -> CFloatPtSpec& { return e.Cam().NominalEvo(); }},
    {NumberParameter::Evc,                 "evc",                   2.0f,   [](CTorqDoc& e) -> CFloatPtSpec& { return e.Cam().NominalEvc(); }},
    {NumberParameter::Advance,             "advance",               2.0f,   [](CTorqDoc& e) -> CFloatPtSpec& { return e.Cam().AdvanceRetard(); }},
    {NumberParameter::IntakeLift,          "int-lift",              0.010f, [](CTorqDoc& e) -> CFloatPtSpec& { return e.Cam().IntakeLift(); }},
    {NumberParameter::ExhaustLift,         "exh-lift",              0.010f, [](CTorqDoc& e) -> CFloatPtSpec& { return e.Cam().ExhaustLift(); }},
};
// clang-format on

// Answers nothing and shows nothing: a study's engines are made on several
// threads at once, and none of them is the user's.
class SilentPresenter final : public MessagePresenter {
public:
    void ShowMessage(MessageKind, int, const ErrorMessage&) override {}
    WarningAnswer AskWarning(int, const ErrorMessage&) override { return WarningAnswer::Cancel; }
};

SilentPresenter g_silentPresenter;

bool ApplyNumber(CTorqDoc& engine, const EngineEdit& edit)
{
    return NumberParameterOf(edit.parameter).spec(engine).SetFromText(edit.text, false);
}

// As the document applies an induction choice: both values in English
// units, then back to the engine's unit system.
void ApplyRating(CTorqDoc& engine, const EngineEdit& edit)
{
    engine.InductionFlow().SetValueIn(edit.cfm, true);
    engine.PressureDrop().SetValueIn(edit.inHg, true);
    engine.SetUnitSystem(engine.GetUnitSystem());
}

bool ApplyEdit(CTorqDoc& engine, const EngineEdit& edit)
{
    if (EditEnabling(engine, edit) != Enabling::Enabled) return false;
    switch (edit.kind) {
        case EngineEdit::Kind::KeepOwn:
            return true;
        case EngineEdit::Kind::MenuChoice:
            return engine.Apply(edit.choice) == CommandResult::Applied;
        case EngineEdit::Kind::InductionRating:
            ApplyRating(engine, edit);
            return true;
        case EngineEdit::Kind::Number:
            return ApplyNumber(engine, edit);
    }
    return false;
}

}  // namespace

std::span<const NumberParameterInfo> NumberParameters()
{
    return kNumberParameters;
}

const NumberParameterInfo& NumberParameterOf(NumberParameter parameter)
{
    for (const NumberParameterInfo& info : kNumberParameters) {
        if (info.parameter == parameter) return info;
    }
    ReportAssertion(__FILE__, __LINE__);
}

const CFloatPtSpec& ParameterSpec(const CTorqDoc& engine, NumberParameter parameter)
{
    // The accessors take the engine to change; reading through them changes nothing.
    return NumberParameterOf(parameter).spec(const_cast<CTorqDoc&>(engine));
}

EngineEdit EngineEdit::Pick(Choice choice)
{
    EngineEdit edit;
    edit.kind = Kind::MenuChoice;
    edit.choice = choice;
    return edit;
}

EngineEdit EngineEdit::Rating(float cfm, float inHg)
{
    EngineEdit edit;
    edit.kind = Kind::InductionRating;
    edit.cfm = cfm;
    edit.inHg = inHg;
    return edit;
}

EngineEdit EngineEdit::Typed(NumberParameter parameter, std::string text)
{
    EngineEdit edit;
    edit.kind = Kind::Number;
    edit.parameter = parameter;
    edit.text = std::move(text);
    return edit;
}

Enabling EditEnabling(const CTorqDoc& engine, const EngineEdit& edit)
{
    switch (edit.kind) {
        case EngineEdit::Kind::KeepOwn:
            return Enabling::Enabled;
        case EngineEdit::Kind::MenuChoice:
            return ChoiceEnabling(engine, edit.choice);
        case EngineEdit::Kind::InductionRating:
            return ParameterEnabling(engine, engine.InductionFlow());
        case EngineEdit::Kind::Number:
            return ParameterEnabling(engine, ParameterSpec(engine, edit.parameter));
    }
    return Enabling::Enabled;
}

bool MakeEditedEngine(CTorqDoc& engine, std::span<const EngineEdit> edits)
{
    const bool autoRun = engine.IsAutoRun();
    engine.SetAutoRun(false);
    for (const EngineEdit& edit : edits) {
        if (!ApplyEdit(engine, edit)) {
            engine.SetAutoRun(autoRun);
            return false;
        }
    }
    engine.Recalculate();
    engine.SetAutoRun(autoRun);
    return true;
}

std::string ChoiceName(Choice choice)
{
    if (!IsChoice(choice)) return {};
    const ComponentChoice& row = ChoiceRow(choice);
    if (row.name == nullptr) return {};
    std::string name = row.name;
    // The menus double an ampersand so that it shows as one.
    for (std::size_t at = name.find("&&"); at != std::string::npos; at = name.find("&&", at + 1))
        name.erase(at, 1);
    return name;
}

QuietMessages::QuietMessages() : m_previous(InstallMessagePresenter(&g_silentPresenter)) {}

QuietMessages::~QuietMessages()
{
    InstallMessagePresenter(m_previous);
}
