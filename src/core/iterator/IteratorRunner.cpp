#include "IteratorRunner.h"

#include "model/SimInterface.h"
#include "sim/EngineSim.h"

#include <algorithm>
#include <span>

namespace {

// Tests per thread in one chunk: enough that the wait for the slowest test
// at the end of a chunk costs little, few enough that the chunk buffer
// stays small (about 0.7 KB a test).
constexpr int kChunkTestsPerThread = 128;
constexpr int kMostThreads = 256;

}  // namespace

// What one thread needs to simulate tests: an engine that starts each
// batch as a copy of the working engine, and its own simulation records:
// one pair for a single run, and the lanes' worth for the batch kernel with
// the jobs whose engines fill them.
struct IteratorRunner::Worker {
    CTorqDoc engine;
    SimWorkspace workspace;
    std::vector<SimInputs> inputs;
    std::vector<SimResults> results;
    std::vector<int> jobs;
};

// One combination of a chunk: issued by the calling thread, simulated by
// whichever thread takes it.
struct IteratorRunner::Job {
    CombinationValues values{};
    std::int32_t testNumber = 0;
    IteratorTest::TestOutcome outcome;
};

IteratorRunner::IteratorRunner(IteratorTest& iterator, int threads) : m_iterator(iterator)
{
    SetThreadCount(threads);
}

IteratorRunner::~IteratorRunner()
{
    StopThreads();
}

int IteratorRunner::HardwareThreadCount()
{
    const unsigned count = std::thread::hardware_concurrency();
    return count == 0 ? 1 : static_cast<int>(std::min<unsigned>(count, kMostThreads));
}

void IteratorRunner::SetBatchKernel(bool batch)
{
    m_batchKernel = batch;
}

void IteratorRunner::SetShare(const SeriesShare& share)
{
    TORQ_ASSERT(share.count >= 1 && share.index >= 1 && share.index <= share.count);
    m_share = share;
}

void IteratorRunner::SetNewBestObserver(std::function<void(std::int32_t testNumber)> observer)
{
    m_newBestObserver = std::move(observer);
}

void IteratorRunner::SetThreadCount(int threads)
{
    TORQ_ASSERT(threads >= 0 && threads <= kMostThreads);
    StopThreads();
    m_threadCount = threads == 0 ? HardwareThreadCount() : threads;
    // Made again on the next parallel batch, in the new number.
    m_workers.clear();
    m_jobs.clear();
    m_jobs.shrink_to_fit();
}

IteratorRunner::Batch IteratorRunner::RunTests(std::int32_t maxTests)
{
    TORQ_ASSERT(maxTests >= 0);
    if (m_threadCount == 1 && !m_batchKernel && m_share.IsWhole()) return RunSequentially(maxTests);

    PrepareWorkers();
    Batch batch;
    const int capacity = static_cast<int>(m_jobs.size());
    while (batch.testsIssued < maxTests && !m_iterator.IsDone()) {
        // The next tests of the share; another share's tests are only counted.
        int issued = 0;
        int count = 0;
        while (count < capacity && batch.testsIssued + issued < maxTests &&
               m_iterator.IssueNextTest(m_jobs[count].values, m_jobs[count].testNumber)) {
            ++issued;
            if (m_share.Contains(m_jobs[count].testNumber)) ++count;
        }
        if (issued == 0) break;
        if (count > 0) EvaluateChunk(count);
        // Back in test order, on this thread: messages, the working engine
        // and the best results change exactly as one test after another would.
        for (int j = 0; j < count; ++j) {
            const Job& job = m_jobs[j];
            bool isNewBest = false;
            if (m_iterator.FinishTest(job.values, job.testNumber, job.outcome, isNewBest))
                ++batch.testsSimulated;
            if (isNewBest && m_newBestObserver) m_newBestObserver(job.testNumber);
            batch.newBest = batch.newBest || isNewBest;
        }
        batch.testsIssued += issued;
    }
    return batch;
}

IteratorRunner::Batch IteratorRunner::RunSequentially(std::int32_t maxTests)
{
    Batch batch;
    for (std::int32_t call = 0; call < maxTests && !m_iterator.IsDone(); ++call) {
        const std::int32_t before = m_iterator.GetTestsRun();
        bool isNewBest = false;
        if (m_iterator.RunNextTest(isNewBest)) ++batch.testsSimulated;
        if (isNewBest && m_newBestObserver) m_newBestObserver(m_iterator.GetTestsRun());
        batch.testsIssued += m_iterator.GetTestsRun() - before;
        batch.newBest = batch.newBest || isNewBest;
    }
    return batch;
}

// Every engine copy starts the batch as the working engine stands: the
// baseline with the previous test's values. A test then sets all its swept
// values, so that the copy that simulates test k is, apart from the results
// that the run replaces, the working engine of a sequential run at test k.
void IteratorRunner::PrepareWorkers()
{
    if (m_workers.empty()) {
        const std::size_t lanes = static_cast<std::size_t>(EngineSimBatchWidth());
        for (int i = 0; i < m_threadCount; ++i) {
            auto worker = std::make_unique<Worker>();
            worker->inputs.resize(lanes);
            worker->results.resize(lanes);
            worker->jobs.resize(lanes);
            m_workers.push_back(std::move(worker));
        }
        m_jobs.resize(static_cast<std::size_t>(m_threadCount) * kChunkTestsPerThread);
    }
    for (const auto& worker : m_workers) m_iterator.GetWorkingEngine().CopyTo(worker->engine);
    if (m_threads.empty()) StartThreads();
}

void IteratorRunner::StartThreads()
{
    m_stop = false;
    for (int i = 1; i < m_threadCount; ++i)
        m_threads.emplace_back(&IteratorRunner::ThreadMain, this, i, m_generation);
}

void IteratorRunner::StopThreads()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    for (std::thread& thread : m_threads) thread.join();
    m_threads.clear();
}

void IteratorRunner::EvaluateChunk(int jobCount)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_jobCount = jobCount;
        m_nextJob.store(0, std::memory_order_relaxed);
        m_busyThreads = static_cast<int>(m_threads.size());
        ++m_generation;
    }
    m_wake.notify_all();
    WorkOn(*m_workers[0]);
    std::unique_lock<std::mutex> lock(m_mutex);
    m_finished.wait(lock, [this] { return m_busyThreads == 0; });
}

// seen: the last chunk before this thread started, which is not its to work on.
void IteratorRunner::ThreadMain(int workerIndex, std::uint64_t seen)
{
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [&] { return m_stop || m_generation != seen; });
            if (m_stop) return;
            seen = m_generation;
        }
        WorkOn(*m_workers[workerIndex]);
        std::lock_guard<std::mutex> lock(m_mutex);
        if (--m_busyThreads == 0) m_finished.notify_one();
    }
}

void IteratorRunner::WorkOn(Worker& worker)
{
    if (m_batchKernel) {
        WorkOnInBatches(worker);
        return;
    }
    for (;;) {
        const int j = m_nextJob.fetch_add(1, std::memory_order_relaxed);
        if (j >= m_jobCount) return;
        Evaluate(m_jobs[j], worker);
    }
}

// The engine's own run operation, silent: what it would have shown is
// recorded for the calling thread to show in turn.
void IteratorRunner::Evaluate(Job& job, Worker& worker) const
{
    CTorqDoc& engine = worker.engine;
    m_iterator.ApplyValues(engine, job.values);
    IteratorTest::TestOutcome& outcome = job.outcome;
    ErrorCode code = 0;
    if (engine.RunSimulation(false, false, &worker.workspace)) {
        outcome.kind = IteratorTest::TestOutcome::Kind::Simulated;
        for (int series = 1; series <= kResultSeriesCount; ++series) {
            outcome.results[series - 1] = engine.GetResultSeries(series);
        }
    } else if (!engine.Validate(code)) {
        outcome.kind = IteratorTest::TestOutcome::Kind::InvalidEngine;
        outcome.validationCode = code;
    } else {
        outcome.kind = IteratorTest::TestOutcome::Kind::RunFailed;
    }
}

// Takes jobs one at a time and fills the lanes with the engines that pass
// validation; a full set of lanes, and what is left at the end of the
// chunk, run as one batch.
void IteratorRunner::WorkOnInBatches(Worker& worker)
{
    const int lanes = static_cast<int>(worker.inputs.size());
    int filled = 0;
    for (;;) {
        const int j = m_nextJob.fetch_add(1, std::memory_order_relaxed);
        if (j >= m_jobCount) break;
        if (!PrepareInputs(m_jobs[j], worker, worker.inputs[filled])) continue;
        worker.jobs[filled++] = j;
        if (filled == lanes) {
            SimulateBatch(worker, filled);
            filled = 0;
        }
    }
    if (filled > 0) SimulateBatch(worker, filled);
}

// The test's values on the worker's engine and, when it validates, its
// simulation inputs as the engine's run operation would fill them. An
// engine that does not validate gets its outcome here.
bool IteratorRunner::PrepareInputs(Job& job, Worker& worker, SimInputs& inputs) const
{
    CTorqDoc& engine = worker.engine;
    m_iterator.ApplyValues(engine, job.values);
    ErrorCode code = 0;
    if (!engine.Validate(code)) {
        job.outcome.kind = IteratorTest::TestOutcome::Kind::InvalidEngine;
        job.outcome.validationCode = code;
        return false;
    }
    inputs = SimInputs{};
    SimInterface::FillInputs(engine, inputs);
    return true;
}

void IteratorRunner::SimulateBatch(Worker& worker, int count)
{
    const auto size = static_cast<std::size_t>(count);
    RunEngineSimBatch(std::span(worker.inputs).first(size), std::span(worker.results).first(size));
    for (std::size_t k = 0; k < size; ++k) {
        IteratorTest::TestOutcome& outcome = m_jobs[static_cast<std::size_t>(worker.jobs[k])].outcome;
        const SimResults& results = worker.results[k];
        if (results.power[0] != 0.0f) {
            outcome.kind = IteratorTest::TestOutcome::Kind::Simulated;
            CopyRunResults(results, outcome.results);
        } else {
            outcome.kind = IteratorTest::TestOutcome::Kind::RunFailed;
        }
    }
}
