#include "CylHeadFlowEditor.h"

#include <algorithm>

CylHeadFlowEditor::CylHeadFlowEditor(const CylHeadFlowData& data, const CFileSpec& airflowFile)
    : m_data(data), m_file(airflowFile)
{
}

std::string CylHeadFlowEditor::FileName() const
{
    return m_file.IsValid() ? m_file.GetFileName() : std::string();
}

ErrorCode CylHeadFlowEditor::StepPointCount(int step)
{
    const std::int32_t old = m_data.GetPointCount();
    const std::int32_t count =
        std::clamp(old + std::clamp(step, -1, 1), CylHeadFlowData::kMinPoints, CylHeadFlowData::kMaxPoints);
    if (count == old) return Msg::None;
    if (count < old) {
        m_data.SetPointCount(count);
        return Msg::None;
    }
    // The new point continues the step between the last two old points.
    const std::int32_t lastOld = old - 1;
    ErrorCode code = 0;
    if (!m_data.CheckIntakeLiftStep(lastOld, code) || !m_data.CheckExhaustLiftStep(lastOld, code))
        return code;
    m_data.SetPointCount(count);
    m_data.ExtendIntakeLifts(lastOld);
    m_data.ExtendExhaustLifts(lastOld);
    m_data.RepeatLastFlows();
    return Msg::None;
}

ErrorCode CylHeadFlowEditor::CalcOthers(Side side, std::int32_t point)
{
    // A row out of use has nothing after it to fill.
    if (point < 0 || point >= m_data.GetPointCount()) return Msg::None;
    ErrorCode code = 0;
    if (side == Side::Intake) {
        if (!m_data.CheckIntakeLiftStep(point, code)) return code;
        m_data.ExtendIntakeLifts(point);
    } else {
        if (!m_data.CheckExhaustLiftStep(point, code)) return code;
        m_data.ExtendExhaustLifts(point);
    }
    return Msg::None;
}

void CylHeadFlowEditor::ResetAll()
{
    m_data.ResetDefaults();
    m_file.MarkUnset();
}

bool CylHeadFlowEditor::Open(const std::string& path, const std::string& fileName)
{
    CylHeadFlowData loaded;
    if (!loaded.LoadFromFile(path)) return false;
    loaded.SetUnitSystem(m_data.GetUnitSystem());
    m_data.Assign(loaded);
    m_file.SetFromText(fileName.empty() ? path : fileName, false);
    return true;
}

bool CylHeadFlowEditor::Save(const std::string& path, const std::string& fileName)
{
    TORQ_ASSERT(CheckComplete() == 0);
    if (!m_data.SaveToFile(path)) return false;
    m_file.SetFromText(fileName.empty() ? path : fileName, false);
    return true;
}

ErrorCode CylHeadFlowEditor::CheckComplete() const
{
    ErrorCode code = Msg::None;
    m_data.CheckComplete(code);
    return code;
}
