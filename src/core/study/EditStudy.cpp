#include "EditStudy.h"

#include "base/ErrCode.h"

#include <algorithm>

namespace {

// The run fails as the document's own run does, with its message.
constexpr int kRunFailedMessage = 42;
constexpr const char* kEditRefusedText = "The engine form does not allow this change on this engine.";

}  // namespace

StudyGain GainOver(float score, float baselineScore)
{
    StudyGain gain;
    gain.absolute = score - baselineScore;
    gain.percent = baselineScore != 0.0f ? gain.absolute / baselineScore * 100.0f : 0.0f;
    return gain;
}

EditStudy::EditStudy(const CTorqDoc& base, std::size_t engineCount, EditsOf editsOf, StudyCriterion criterion,
                     SpeedBand band)
    : m_editsOf(std::move(editsOf)), m_criterion(criterion), m_band(band), m_figures(engineCount)
{
    base.CopyTo(m_base);
}

StudyFigures EditStudy::Score(const StudyRunner::Outcome& outcome) const
{
    StudyFigures figures;
    switch (outcome.kind) {
        case StudyRunner::Outcome::Kind::Simulated:
            figures.ran = true;
            figures.score = StudyScore(outcome.results, m_criterion, m_band);
            figures.peakPower = SeriesPeak(outcome.results, kSeriesPower);
            figures.peakTorque = SeriesPeak(outcome.results, kSeriesTorque);
            break;
        case StudyRunner::Outcome::Kind::InvalidEngine:
            figures.failure = GetErrorMessage(outcome.validationCode).text;
            break;
        case StudyRunner::Outcome::Kind::RunFailed:
            figures.failure = GetErrorMessage(kRunFailedMessage).text;
            break;
        case StudyRunner::Outcome::Kind::NotMade:
            figures.failure = kEditRefusedText;
            break;
    }
    return figures;
}

bool EditStudy::RunBaseline(std::string& failure)
{
    QuietMessages quiet;
    CTorqDoc engine;
    if (!MakeEngine(kBaseline, engine)) return false;
    m_baseline = Score(StudyRunner::RunAlone(engine));
    failure = m_baseline.failure;
    return m_baseline.ran;
}

bool EditStudy::MakeEngine(std::size_t engine, CTorqDoc& into) const
{
    m_base.CopyTo(into);
    std::vector<EngineEdit> edits;
    if (engine != kBaseline) m_editsOf(engine, edits);
    return MakeEditedEngine(into, edits);
}

void EditStudy::RunNext(const StudyRunner& runner, std::size_t count)
{
    const std::size_t first = m_done;
    const std::size_t chunk = std::min(count, m_figures.size() - first);
    if (chunk == 0) return;
    std::vector<StudyRunner::Outcome> outcomes(chunk);
    {
        QuietMessages quiet;
        runner.Run(
            m_base,
            [this, first](std::size_t index, CTorqDoc& engine) {
                std::vector<EngineEdit> edits;
                m_editsOf(first + index, edits);
                return MakeEditedEngine(engine, edits);
            },
            outcomes);
    }
    for (std::size_t i = 0; i < chunk; ++i) m_figures[first + i] = Score(outcomes[i]);
    m_done += chunk;
}

void EditStudy::RunAll(const StudyRunner& runner)
{
    while (!IsDone()) RunNext(runner, kChunkEngines);
}
