#include "StudyRunner.h"

#include "model/SimInterface.h"
#include "sim/EngineSim.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

namespace {

constexpr int kMostThreads = 256;

int HardwareThreads()
{
    const unsigned count = std::thread::hardware_concurrency();
    return count == 0 ? 1 : static_cast<int>(std::min<unsigned>(count, kMostThreads));
}

using Outcome = StudyRunner::Outcome;

// One thread's share of a chunk: its own engine and simulation records, the
// lanes' worth of inputs for the batch kernel, and which outcomes they fill.
struct Worker {
    CTorqDoc engine;
    SimWorkspace workspace;
    std::vector<SimInputs> inputs;
    std::vector<SimResults> results;
    std::vector<std::size_t> filling;
};

class ChunkRun {
public:
    ChunkRun(const CTorqDoc& base, const StudyRunner::MakeEngine& make, std::span<Outcome> outcomes,
             bool batch)
        : m_base(base), m_make(make), m_outcomes(outcomes), m_batch(batch)
    {
    }

    void WorkOn(Worker& worker)
    {
        if (m_batch) {
            WorkOnInBatches(worker);
            return;
        }
        for (std::size_t i = NextEngine(); i < m_outcomes.size(); i = NextEngine()) {
            if (Prepare(i, worker.engine))
                m_outcomes[i] = StudyRunner::RunAlone(worker.engine, &worker.workspace);
        }
    }

private:
    std::size_t NextEngine() { return m_next.fetch_add(1, std::memory_order_relaxed); }

    // Engine i made on the worker's copy of the base and validated; an
    // engine that cannot be made or does not validate gets its outcome here.
    bool Prepare(std::size_t i, CTorqDoc& engine)
    {
        Outcome& outcome = m_outcomes[i];
        outcome = Outcome{};
        m_base.CopyTo(engine);
        if (!m_make(i, engine)) return false;
        ErrorCode code = 0;
        if (!engine.Validate(code)) {
            outcome.kind = Outcome::Kind::InvalidEngine;
            outcome.validationCode = code;
            return false;
        }
        return true;
    }

    // Fills the lanes with the engines that validate; a full set of lanes,
    // and what is left at the end, run as one batch.
    void WorkOnInBatches(Worker& worker)
    {
        const std::size_t lanes = worker.inputs.size();
        std::size_t filled = 0;
        for (std::size_t i = NextEngine(); i < m_outcomes.size(); i = NextEngine()) {
            if (!Prepare(i, worker.engine)) continue;
            worker.inputs[filled] = SimInputs{};
            SimInterface::FillInputs(worker.engine, worker.inputs[filled]);
            worker.filling[filled++] = i;
            if (filled == lanes) {
                SimulateBatch(worker, filled);
                filled = 0;
            }
        }
        if (filled > 0) SimulateBatch(worker, filled);
    }

    // A run whose first power point is 0 failed, as the engine's own run
    // tells it.
    void SimulateBatch(Worker& worker, std::size_t count)
    {
        RunEngineSimBatch(std::span(worker.inputs).first(count), std::span(worker.results).first(count));
        for (std::size_t k = 0; k < count; ++k) {
            Outcome& outcome = m_outcomes[worker.filling[k]];
            if (worker.results[k].power[0] != 0.0f) {
                outcome.kind = Outcome::Kind::Simulated;
                CopyRunResults(worker.results[k], outcome.results);
            } else {
                outcome.kind = Outcome::Kind::RunFailed;
            }
        }
    }

    const CTorqDoc& m_base;
    const StudyRunner::MakeEngine& m_make;
    std::span<Outcome> m_outcomes;
    bool m_batch;
    std::atomic<std::size_t> m_next{0};
};

}  // namespace

StudyRunner::StudyRunner(int threads)
{
    SetThreadCount(threads);
}

void StudyRunner::SetThreadCount(int threads)
{
    TORQ_ASSERT(threads >= 0 && threads <= kMostThreads);
    m_threadCount = threads == 0 ? HardwareThreads() : threads;
}

StudyRunner::Outcome StudyRunner::RunAlone(CTorqDoc& engine, SimWorkspace* workspace)
{
    Outcome outcome;
    ErrorCode code = 0;
    if (!engine.Validate(code)) {
        outcome.kind = Outcome::Kind::InvalidEngine;
        outcome.validationCode = code;
    } else if (engine.RunSimulation(false, false, workspace)) {
        outcome.kind = Outcome::Kind::Simulated;
        for (int series = 1; series <= kResultSeriesCount; ++series)
            outcome.results[static_cast<std::size_t>(series - 1)] = engine.GetResultSeries(series);
    } else {
        outcome.kind = Outcome::Kind::RunFailed;
    }
    return outcome;
}

void StudyRunner::Run(const CTorqDoc& base, const MakeEngine& make, std::span<Outcome> outcomes) const
{
    if (outcomes.empty()) return;
    ChunkRun chunk(base, make, outcomes, m_batchKernel);
    // No more threads than a batch of lanes each can keep busy.
    const std::size_t lanes = static_cast<std::size_t>(m_batchKernel ? EngineSimBatchWidth() : 1);
    const std::size_t useful = (outcomes.size() + lanes - 1) / lanes;
    const int threads =
        static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(m_threadCount), useful));

    std::vector<std::unique_ptr<Worker>> workers;
    for (int t = 0; t < threads; ++t) {
        auto worker = std::make_unique<Worker>();
        worker->inputs.resize(lanes);
        worker->results.resize(lanes);
        worker->filling.resize(lanes);
        workers.push_back(std::move(worker));
    }
    std::vector<std::thread> helpers;
    for (int t = 1; t < threads; ++t)
        helpers.emplace_back([&chunk, &workers, t] { chunk.WorkOn(*workers[t]); });
    chunk.WorkOn(*workers[0]);
    for (std::thread& helper : helpers) helper.join();
}
