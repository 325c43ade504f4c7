#pragma once

// The parts of "iterate" that "iterate-merge" shares: the sweeps as typed,
// the series set up on the baseline, and the printed and saved results.

#include "CliSupport.h"

#include "iterator/IteratorSetup.h"
#include "iterator/IteratorShard.h"

#include <QString>
#include <QTextStream>

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
    bool formatGiven = false;
    IterateFormat format = IterateFormat::Table;
    QString saveFolder;  // empty: the kept engines are not written
};

// "NAME=MIN:MAX:STEP"; false with a message for the user.
bool ParseSweep(const QString& text, SweepText& sweep, QString& problem);

// The baseline as the desktop program opens it, complete enough to run.
// Messages go to the installed presenter.
bool OpenBaseline(CTorqDoc& baseline, const QString& path);

// The setup of the series on the open baseline, with the setup dialog's
// checks. False with status 2 when the series cannot run as asked.
bool SetUpSeries(const CommandLine& line, const IterateOptions& options, const CTorqDoc& baseline,
                 IteratorSetup& setup, QTextStream& err, int& status);

// The kept results of a finished series, as a table or as JSON.
void PrintResults(const IteratorTest& iterator, const IterateOptions& options, QTextStream& out);

// Best<n>-<title up to its first '.'>.trq for each kept engine, with its
// results. False when a file could not be written (its message is shown).
bool SaveBest(const IteratorTest& iterator, const CTorqDoc& baseline, const QString& folder);

}  // namespace cli::iterate
