// The airflow and cam data that a dialog hands back on OK or a file brings:
// airflow data of the user's own makes the user airflow head, a typed cam
// description the custom cam type, and an airflow or cam file is taken
// whole or not at all and named in the engine.

#include "TorqDoc.h"

#include "ComponentTable.h"
#include "base/Assertion.h"
#include "base/Util.h"

namespace {

constexpr const char* kCustomAirflowName = "Custom Airflow";

bool IsStandardHeadName(const std::string& name)
{
    for (const ComponentChoice& head : ChoicesOf(ChoiceGroup::CylinderHead)) {
        if (name == head.name) return true;
    }
    return false;
}

}  // namespace

void CTorqDoc::ApplyUserAirflowData(const CylHeadFlowData& flowData, const CFileSpec& airflowFile)
{
    FlowData().Assign(flowData);
    if (airflowFile.IsSet()) {
        m_values.airflowFile = airflowFile;
    } else {
        AirflowFile().MarkUnset();
    }
    std::string headName = TrimBlanks(FlowData().GetDescription());
    if (IsStandardHeadName(headName)) headName = kCustomAirflowName;
    CylinderHeadType().SetChoice(kCustomHeadIndex, headName);
    m_values.autoValveSizes = false;
    if (!IntakeValveCount().IsValid() || !ExhaustValveCount().IsValid()) {
        IntakeValveCount().SetValue(1);
        ExhaustValveCount().SetValue(1);
    }
    EndCommand(CommandEnding::Recalculate);
}

void CTorqDoc::ApplyCustomCamType(const std::string& description)
{
    SetCustomCamType(description);
    EndCommand(CommandEnding::ShowInEditor);
}

// A file that fails to load must not leave the engine's airflow or cam data
// half replaced: the file is read into a copy that is taken only when whole.
bool CTorqDoc::OpenAirflowFile(const std::string& path, const std::string& fileName)
{
    CylHeadFlowData loaded;
    if (!loaded.LoadFromFile(path)) return false;
    FlowData().Assign(loaded);
    AirflowFile().SetFromText(fileName.empty() ? path : fileName, false);
    const std::string& description = FlowData().GetDescription();
    const std::string headName = description.empty() ? std::string(kCustomAirflowName) : description;
    CylinderHeadType().SetChoice(kCustomHeadIndex, headName);
    if (!IntakeValveCount().IsValid() || !ExhaustValveCount().IsValid()) {
        IntakeValveCount().SetValue(1);
        ExhaustValveCount().SetValue(1);
    }
    SetUnitSystem(m_values.unitSystem);
    return true;
}

bool CTorqDoc::SaveAirflowFile(const std::string& path, const std::string& fileName)
{
    if (!FlowData().SaveToFile(path)) return false;
    AirflowFile().SetFromText(fileName.empty() ? path : fileName, false);
    return true;
}

bool CTorqDoc::OpenCamFile(const std::string& path, const std::string& fileName)
{
    CamData loaded;
    if (!loaded.LoadFromFile(path)) return false;
    Cam().Assign(loaded);
    CamDataFile().SetFromText(fileName.empty() ? path : fileName, false);
    SetUnitSystem(m_values.unitSystem);
    return true;
}

bool CTorqDoc::SaveCamFile(const std::string& path, const std::string& fileName)
{
    if (!Cam().SaveToFile(path)) return false;
    CamDataFile().SetFromText(fileName.empty() ? path : fileName, false);
    return true;
}
