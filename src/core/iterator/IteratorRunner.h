#pragma once

#include "Iterator.h"
#include "IteratorShard.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

struct SimInputs;
struct SimWorkspace;

// Runs an iterator series in batches on several threads. The calling thread
// issues the next combinations (IteratorTest::IssueNextTest), every thread
// simulates some of them on an engine copy and simulation records of its
// own, and the calling thread then hands the outcomes back to the iterator
// in test-number order (IteratorTest::FinishTest). The kept results, their
// slots, test numbers, scores and engines, the working engine and every
// counter end exactly as after the same number of RunNextTest calls, and
// validation messages are shown in the same order, from the calling thread.
//
// With the batch kernel (the default) each thread fills the SIMD lanes of
// the cycle model with the engines of several tests and simulates them at
// once (RunEngineSimBatch); each engine's results are bit for bit those of
// its own run. Without it, each test is one engine run, and one thread is
// exactly a loop of RunNextTest calls.
//
// Memory does not grow with the series: a batch is worked off in chunks of
// a fixed size, and the engine copies, records and chunk buffer are made
// once and reused.
class IteratorRunner {
public:
    // threads: how many threads simulate (the calling thread is one of
    // them); 0 takes the hardware's count.
    explicit IteratorRunner(IteratorTest& iterator, int threads = 0);
    ~IteratorRunner();
    IteratorRunner(const IteratorRunner&) = delete;
    IteratorRunner& operator=(const IteratorRunner&) = delete;

    void SetThreadCount(int threads);  // 0 = the hardware's count
    int GetThreadCount() const { return m_threadCount; }
    static int HardwareThreadCount();

    // Several engines at once in SIMD lanes (true, the default), or one
    // engine run per test. The results are the same either way.
    void SetBatchKernel(bool batch);
    bool UsesBatchKernel() const { return m_batchKernel; }

    // A shard of the series (IteratorShard.h): every test is still issued
    // and counted, but only the share's tests are simulated and offered to
    // the best results. The whole series (1 of 1) by default.
    void SetShare(const SeriesShare& share);

    // Called on the calling thread each time a test has entered the best
    // results, with its test number; the working engine then holds that
    // test's results.
    void SetNewBestObserver(std::function<void(std::int32_t testNumber)> observer);

    struct Batch {
        std::int32_t testsIssued = 0;     // combinations issued (test numbers used)
        std::int32_t testsSimulated = 0;  // of those, tests with results
        bool newBest = false;             // some test entered the best results
    };

    // As up to maxTests calls of RunNextTest, ending early when the series
    // is done. With one thread it is exactly those calls.
    Batch RunTests(std::int32_t maxTests);

private:
    struct Worker;
    struct Job;

    Batch RunSequentially(std::int32_t maxTests);
    void PrepareWorkers();
    void StartThreads();
    void StopThreads();
    void EvaluateChunk(int jobCount);
    void WorkOn(Worker& worker);
    void WorkOnInBatches(Worker& worker);
    void Evaluate(Job& job, Worker& worker) const;
    bool PrepareInputs(Job& job, Worker& worker, SimInputs& inputs) const;
    void SimulateBatch(Worker& worker, int count);
    void ThreadMain(int workerIndex, std::uint64_t seen);

    IteratorTest& m_iterator;
    int m_threadCount = 1;
    bool m_batchKernel = true;
    SeriesShare m_share;
    std::function<void(std::int32_t)> m_newBestObserver;
    std::vector<std::unique_ptr<Worker>> m_workers;  // [0] is the calling thread's
    std::vector<Job> m_jobs;                         // one chunk
    std::vector<std::thread> m_threads;

    std::mutex m_mutex;
    std::condition_variable m_wake;      // a chunk is ready, or stop
    std::condition_variable m_finished;  // the last helper thread is through
    std::uint64_t m_generation = 0;
    int m_jobCount = 0;
    int m_busyThreads = 0;
    bool m_stop = false;
    std::atomic<int> m_nextJob{0};
};
