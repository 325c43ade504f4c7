#pragma once

#include "EngineEdit.h"
#include "StudyRunner.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The scores of one engine of a study: how it ranks, its peaks, or why it
// did not run.
struct StudyFigures {
    bool ran = false;
    float score = 0.0f;      // by the study's criterion, in its band
    PeakPoint peakPower{};   // hp at rpm, over every speed
    PeakPoint peakTorque{};  // ft-lbs at rpm
    std::string failure;     // when it did not run: the message the desktop program shows
};

// The gain of a score over the baseline's, absolute and in % of the
// baseline (0 % when the baseline scores 0).
struct StudyGain {
    float absolute = 0.0f;
    float percent = 0.0f;
};
StudyGain GainOver(float score, float baselineScore);

// Many engines made from one base engine by lists of edits, run on a
// StudyRunner a chunk at a time and scored: the common ground of the parts
// comparison and of what to change next. The base engine is copied; the
// edits of engine i come from a function that may be called on several
// threads at once.
class EditStudy {
public:
    using EditsOf = std::function<void(std::size_t engine, std::vector<EngineEdit>& edits)>;

    EditStudy(const CTorqDoc& base, std::size_t engineCount, EditsOf editsOf, StudyCriterion criterion,
              SpeedBand band);

    // Runs the base engine as it is. False when it does not run; failure
    // then says why.
    bool RunBaseline(std::string& failure);
    const StudyFigures& Baseline() const { return m_baseline; }

    std::size_t EngineCount() const { return m_figures.size(); }
    std::size_t DoneCount() const { return m_done; }
    bool IsDone() const { return m_done == m_figures.size(); }
    // Runs the next engines, at most count of them.
    void RunNext(const StudyRunner& runner, std::size_t count);
    void RunAll(const StudyRunner& runner);
    // The figures of the engines run so far, by engine number.
    const std::vector<StudyFigures>& Figures() const { return m_figures; }

    // Engine i as the study makes it, on a copy of the base; false when an
    // edit is refused. kBaseline makes the base engine itself, recalculated.
    bool MakeEngine(std::size_t engine, CTorqDoc& into) const;
    void EditsOfEngine(std::size_t engine, std::vector<EngineEdit>& edits) const { m_editsOf(engine, edits); }
    StudyCriterion Criterion() const { return m_criterion; }
    SpeedBand Band() const { return m_band; }
    const CTorqDoc& Base() const { return m_base; }

    // Engines a chunk holds: a few batches of lanes on every thread, short
    // enough for the desktop program to stay responsive between chunks.
    static constexpr std::size_t kChunkEngines = 256;
    static constexpr std::size_t kBaseline = static_cast<std::size_t>(-1);

private:
    StudyFigures Score(const StudyRunner::Outcome& outcome) const;

    CTorqDoc m_base;
    EditsOf m_editsOf;
    StudyCriterion m_criterion;
    SpeedBand m_band;
    StudyFigures m_baseline;
    std::vector<StudyFigures> m_figures;
    std::size_t m_done = 0;
};
