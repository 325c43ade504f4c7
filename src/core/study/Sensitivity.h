#pragma once

#include "EditStudy.h"

#include <string>
#include <vector>

// What to change next: the user's engine with one change at a time, every
// number of the form a user sets one step up and one step down inside its
// range, and every choice one place up and down its menu, each scored
// against the engine as it is.
//
// The steps are those a builder takes (in English units; a metric engine
// takes the same step converted): 0.010 in of bore, stroke and lift, 0.020 in
// of valve diameter, 0.25 of compression, 50 cfm of induction, 2 degrees of
// cam timing and advance, and so on (NumberParameters). A number the form
// does not let the user type (a blower figure the unit does not read, a
// valve size or lift calculated automatically) is not changed, and neither
// is a choice the form disables.

struct SensitivityChange {
    std::string parameter;  // "bore", "ivc", "head": as iterate --sweep and new's options name it
    bool isChoice = false;
    float from = 0.0f;  // a number: the values in the engine's units
    float to = 0.0f;
    std::string fromText;  // the number as the form shows it, or the choice's name
    std::string toText;
    EngineEdit edit;
};

// Every change of the engine, in the order of the form: each number down
// then up, then each choice's menu neighbours above then below.
std::vector<SensitivityChange> SensitivityChanges(const CTorqDoc& base);

struct SensitivityRow {
    std::size_t change = 0;  // its place in Changes()
    StudyFigures figures;
    StudyGain gain;
};

// Sorted by gain, the biggest first; equal gains keep the order of the form.
struct SensitivityResult {
    StudyFigures baseline;
    std::vector<SensitivityRow> rows;
    std::vector<SensitivityRow> failures;  // changes whose engine did not run, in the form's order
};

class Sensitivity {
public:
    Sensitivity(const CTorqDoc& base, StudyCriterion criterion, SpeedBand band);
    Sensitivity(const Sensitivity&) = delete;
    Sensitivity& operator=(const Sensitivity&) = delete;

    const std::vector<SensitivityChange>& Changes() const { return m_changes; }
    bool RunBaseline(std::string& failure) { return m_study.RunBaseline(failure); }
    void RunNext(const StudyRunner& runner, std::size_t count = EditStudy::kChunkEngines)
    {
        m_study.RunNext(runner, count);
    }
    void RunAll(const StudyRunner& runner) { m_study.RunAll(runner); }
    std::size_t DoneCount() const { return m_study.DoneCount(); }
    bool IsDone() const { return m_study.IsDone(); }
    SensitivityResult Result() const;
    // The engine with one change, as the study ran it.
    bool MakeEngine(std::size_t change, CTorqDoc& into) const { return m_study.MakeEngine(change, into); }

private:
    std::vector<SensitivityChange> m_changes;
    EditStudy m_study;
};
