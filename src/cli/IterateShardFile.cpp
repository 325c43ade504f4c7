#include "IterateShardFile.h"

#include "base/AtomicFile.h"
#include "sim/EngineSim.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace cli::iterate {

namespace {

// More than a record of any series that a shard can keep in its memory.
constexpr std::size_t kMostRecordBytes = std::size_t(1) << 30;

ShardSeries SeriesOf(const IteratorTest& iterator, const IterateOptions& options,
                     const std::string& engineFile)
{
    ShardSeries series;
    series.engineFileName = std::filesystem::path(LocalPath(options.engineFile)).filename().string();
    series.engineFile = engineFile;
    for (std::size_t i = 0; i < options.sweeps.size(); ++i) {
        const SweepText& typed = options.sweeps[i];
        IterationParam slot;
        iterator.GetSlot(static_cast<int>(i), slot);
        series.sweeps.push_back({LocalPath(typed.name + "=" + typed.min + ":" + typed.max + ":" + typed.step),
                                 slot.minValue.GetValue(), slot.maxValue.GetValue(),
                                 slot.stepValue.GetValue(), slot.numberOfSteps});
    }
    series.criterion = iterator.GetCriterion();
    iterator.GetScoringBand(series.minRpm, series.maxRpm);
    series.totalTests = iterator.GetTotalTests();
    return series;
}

}  // namespace

void PrintShardRecord(const IteratorTest& iterator, const IterateOptions& options,
                      const std::string& engineFile, const std::vector<ShardEntry>& entries, QTextStream& out)
{
    ShardRecord record;
    record.series = SeriesOf(iterator, options, engineFile);
    record.share = options.share;
    record.testsIssued = iterator.GetTestsRun();
    record.instructionSet = EngineSimInstructionSet();
    record.fusedMultiplyAdd = EngineSimFusesMultiplyAdd();
    record.entries = entries;
    // The record is valid UTF-8: bytes outside it are escaped in its strings.
    out << QString::fromStdString(WriteShardRecord(record));
    out.flush();
}

bool ReadShardRecordFile(const QString& path, ShardRecord& record, QString& problem)
{
    const QString name = "'" + path + "'";
    std::string text;
    switch (ReadRegularFile(LocalPath(path), kMostRecordBytes, text)) {
        case WholeFileRead::Ok:
            break;
        case WholeFileRead::CannotOpen:
            problem = "cannot read " + name + ": " +
                      (errno == EINVAL ? QString("it is no file (a folder, a device or a pipe)")
                                       : QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        case WholeFileRead::TooLarge:
            problem = name + " is larger than 1 GiB, more than any shard record";
            return false;
    }
    std::string what;
    if (ReadShardRecord(text, record, what)) return true;
    problem = name + " " + QString::fromStdString(what);
    return false;
}

bool SeriesOptions(const ShardSeries& series, IterateOptions& options, QString& problem)
{
    options.sweeps.clear();
    for (const ShardSweep& sweep : series.sweeps) {
        SweepText text;
        if (!ParseSweep(ArgumentText(sweep.text), text, problem)) return false;
        options.sweeps.push_back(text);
    }
    options.setup.Reset();
    options.setup.criterion = series.criterion;
    options.setup.minRpm = series.minRpm;
    options.setup.maxRpm = series.maxRpm;
    return true;
}

QString WriteSeriesEngine(const ShardSeries& series, const std::string& folder)
{
    const std::filesystem::path path = std::filesystem::path(folder) / series.engineFileName;
    CAtomicFile file(path);
    if (!file.Open()) return {};
    const bool written = std::fwrite(series.engineFile.data(), 1, series.engineFile.size(), file.File()) ==
                         series.engineFile.size();
    if (!written || file.Commit() != CAtomicFile::Result::Ok) return {};
    return ArgumentText(path.string());
}

}  // namespace cli::iterate
