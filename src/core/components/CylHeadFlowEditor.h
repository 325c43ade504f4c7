#pragma once

#include "CylHeadFlow.h"
#include "base/ErrCode.h"
#include "base/TorqSpec.h"

#include <cstdint>
#include <string>

// The working copy that the airflow data dialog edits: the engine's
// cylinder-head airflow data and the name of its airflow file. Nothing
// reaches the engine until the copy is handed to
// CTorqDoc::ApplyUserAirflowData; a file opened or saved here names the
// copy only.
class CylHeadFlowEditor {
public:
    enum class Side { Intake, Exhaust };

    CylHeadFlowEditor(const CylHeadFlowData& data, const CFileSpec& airflowFile);

    CylHeadFlowData& Data() { return m_data; }
    const CylHeadFlowData& Data() const { return m_data; }
    const CFileSpec& AirflowFile() const { return m_file; }
    // The file's name, empty while the copy has none.
    std::string FileName() const;

    // One point more or fewer: a step of any size counts as one, within 4 to
    // 10 points. A new last point continues the lift series by the step
    // between the two points before it and repeats their last airflows; a
    // series whose last two lifts do not rise cannot be continued and is
    // refused with 51 (intake) or 52 (exhaust). 0 when taken.
    ErrorCode StepPointCount(int step);

    // "Calc Others": the lifts after point k continue its step from the lift
    // before it (from zero for point 0), never above 1.5 in. A lift that
    // does not rise above the one before gives 51 / 52 and changes nothing.
    ErrorCode CalcOthers(Side side, std::int32_t point);

    // Default data again, and no file.
    void ResetAll();

    // Opens an airflow file into the copy: the copy is replaced only by a
    // whole file, shown in the copy's unit system, and then named by
    // fileName. False (the message shown) when the file cannot be read.
    bool Open(const std::string& path, const std::string& fileName);
    // Saves the copy (which must be complete) and names it by fileName.
    bool Save(const std::string& path, const std::string& fileName);

    // The checks of OK and of saving (CylHeadFlowData::CheckComplete): 0 when complete.
    ErrorCode CheckComplete() const;

    // The figure a refusal of CheckComplete is about, for the dialog to put
    // the keyboard on it: the description (61), a side's test diameter or
    // pressure drop (53 to 56), the first point whose lift or airflow is
    // missing (57 to 60), or the first lift that does not rise above the one
    // before it (51, 52).
    struct Field {
        enum class Kind { Description, TestDiameter, TestPressure, Lift, Airflow };
        Kind kind = Kind::Description;
        Side side = Side::Intake;
        int point = 0;

        bool operator==(const Field&) const = default;
    };
    Field FieldOf(ErrorCode code) const;

private:
    CylHeadFlowData m_data;
    CFileSpec m_file;
};
