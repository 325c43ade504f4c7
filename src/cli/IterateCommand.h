#pragma once

// The parts of "iterate" that "iterate-merge" shares: the sweeps as typed,
// the series set up on the baseline, and the printed and saved results.

#include "CliSupport.h"

#include "iterator/IteratorSetup.h"
#include "iterator/IteratorShard.h"

#include <QString>
#include <QTextStream>

#include <cstdint>
#include <vector>

class CTorqDoc;

namespace cli::iterate {

// One --sweep as typed: the parameter and its three texts.
struct SweepText {
    QString name;
    IterationDataType type = kItrNone;
    QString min;
    QString max;
    QString step;
};

enum class IterateFormat { Table, Json };

// What the command was asked for, checked as far as the arguments alone
// allow: the slots are built once the baseline is open, in its units.
struct IterateOptions {
    QString engineFile;
    std::vector<SweepText> sweeps;  // in the order given: the first changes slowest
    IteratorSetup setup;            // criterion and band; no baseline and empty slots yet
    int threads = 1;
    bool batchKernel = true;  // several engines at once in SIMD lanes
    bool sharded = false;     // --shard: print the shard record of share
    SeriesShare share;        // the whole series unless --shard
    bool search = false;      // --search: run only the tests that lead to the best
    std::int64_t budget = 0;  // --budget: the most tests a search runs; 0 for no limit
    bool formatGiven = false;
    IterateFormat format = IterateFormat::Table;
    QString saveFolder;  // empty: the kept engines are not written
    bool force = false;  // the Best files of an earlier run may be replaced
    QStringList inputs;  // files read besides the engine (shard records): never written over
};

// "NAME=MIN:MAX:STEP"; false with a message for the user.
bool ParseSweep(const QString& text, SweepText& sweep, QString& problem);

// The baseline as the desktop program opens it, complete enough to run.
// Messages go to the installed presenter.
bool OpenBaseline(CTorqDoc& baseline, const QString& path);

// The setup of the series on the open baseline, with the setup dialog's
// checks (a search's without the bound on the number of tests). False with
// status 2 when the series cannot run as asked; refusal, when given, then
// holds the code of the check that refused it (0 for a refused sweep).
bool SetUpSeries(const CommandLine& line, const IterateOptions& options, const CTorqDoc& baseline,
                 IteratorSetup& setup, QTextStream& err, int& status, ErrorCode* refusal = nullptr);

// What a run reports beside its kept results: the combinations of the
// series, the tests that ran and whether every combination ran or a search
// picked them.
struct RunCounts {
    std::int64_t totalTests = 0;
    std::int64_t testsRun = 0;
    bool search = false;

    static RunCounts OfSeries(const IteratorTest& iterator);
};

// The kept results of a finished series or search, as a table or as JSON.
void PrintResults(const IteratorTest& iterator, const RunCounts& counts, const IterateOptions& options,
                  QTextStream& out);

// Before the series runs: the folder can hold the Best files, and none of
// them is the engine read or, without --force, a file of an earlier run.
// Empty, or the refusal.
QString CheckSaveTargets(const IterateOptions& options, const CTorqDoc& baseline);

// Each kept engine with its results as DIR/Best<n>-<title up to its first
// '.'>.trq, all written before any is committed, all or none. Without
// force none replaces a file (one that appeared since CheckSaveTargets
// fails the set); with force the Best files of an earlier run beyond this
// run's are removed too. SIGINT and SIGTERM wait until the set is in place.
// False (with failure naming the file) when the folder or a file could not
// be written.
bool SaveBest(const IteratorTest& iterator, const CTorqDoc& baseline, const QString& folder, bool force,
              QString& failure);

// The end of a series that has run (or been merged from its shards): its
// kept results printed, the Best files saved when asked, and the iterator
// cleared, since its baseline goes with the command. The exit status.
int FinishSeries(const CommandLine& line, IteratorTest& iterator, const CTorqDoc& baseline,
                 const IterateOptions& options, QTextStream& out, QTextStream& err);
// The same for a search, or a series, with the counts given.
int FinishSeries(const CommandLine& line, IteratorTest& iterator, const RunCounts& counts,
                 const CTorqDoc& baseline, const IterateOptions& options, QTextStream& out, QTextStream& err);

}  // namespace cli::iterate
