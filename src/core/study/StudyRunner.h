#pragma once

#include "StudyScore.h"
#include "model/TorqDoc.h"

#include <cstddef>
#include <functional>
#include <span>

// Runs many engines, each made from one base engine by a change of the
// caller's, on every core: several engines at once in the SIMD lanes of the
// cycle model (the batch kernel), or one engine run at a time. Either way an
// engine's results are, to the bit, those of its own run in the desktop
// program: the same document, the same inputs, the same kernel.
//
// A study runs its engines in chunks of a few hundred, so that it can show
// its progress and stop between chunks; a chunk's outcomes come back in the
// order of its engines, whatever the number of threads.
class StudyRunner {
public:
    // threads: how many threads run engines (the calling thread is one of
    // them); 0 takes the hardware's count.
    explicit StudyRunner(int threads = 0);

    void SetThreadCount(int threads);
    int GetThreadCount() const { return m_threadCount; }
    void SetBatchKernel(bool batch) { m_batchKernel = batch; }
    bool UsesBatchKernel() const { return m_batchKernel; }

    // Turns engine, a fresh copy of the base engine, into engine number
    // index of the chunk. Called on several threads at once, each with its
    // own engine: it must only change that engine, silently (no message, no
    // warning, no run). Returns false when the change cannot be made.
    using MakeEngine = std::function<bool(std::size_t index, CTorqDoc& engine)>;

    struct Outcome {
        enum class Kind { NotMade, InvalidEngine, RunFailed, Simulated };
        Kind kind = Kind::NotMade;
        ErrorCode validationCode = 0;  // InvalidEngine: the first check that failed
        RunSeries results{};           // Simulated: series 1..8 as the document keeps them
    };

    // Makes and runs outcomes.size() engines from base.
    void Run(const CTorqDoc& base, const MakeEngine& make, std::span<Outcome> outcomes) const;

    // The results of one engine run on its own, as the desktop program runs
    // it (validation first, messages kept silent): the reference that every
    // study's figures equal. workspace: simulation records of the caller's
    // own (the program-wide pair when null, for the calling thread only).
    static Outcome RunAlone(CTorqDoc& engine, SimWorkspace* workspace = nullptr);

private:
    int m_threadCount = 1;
    bool m_batchKernel = true;
};
