// torqwell-cli iterate-merge SHARD.json... [--format table|json] [--save-best DIR]

#include "CliCommands.h"
#include "IterateCommand.h"
#include "IterateShardFile.h"

#include "model/TorqDoc.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>

namespace cli {

namespace {

using namespace iterate;

constexpr const char* kDescription =
    "Combines the shard records of a series split with iterate --shard K/N into the results\n"
    "of the whole series: the same ten best, in the same slots, with the same test numbers\n"
    "and scores as iterate run on one machine, printed the same way. Every shard of the\n"
    "split must be given once, all of one series, computed on processors of one kind.";

struct MergeOptions {
    QStringList files;
    IterateFormat format = IterateFormat::Table;
    QString saveFolder;
    bool force = false;
};

bool ParseMergeOptions(CommandLine& line, const QStringList& arguments, QTextStream& out, QTextStream& err,
                       MergeOptions& options, int& status)
{
    line.Parser().addOption(QCommandLineOption({"f", "format"}, "table or json.", "format", "table"));
    line.Parser().addOption(QCommandLineOption(
        "save-best",
        "Write each kept engine with its results as DIR/Best<n>-<engine title>.trq, as iterate does.",
        "DIR"));
    line.Parser().addOption(QCommandLineOption(
        "force", "With --save-best: replace and remove the Best files of an earlier run."));
    line.Parser().addPositionalArgument("SHARD.json", "The shard records, one per shard, in any order.");
    if (!line.Parse(arguments, out, err, status)) return false;
    const QCommandLineParser& parser = line.Parser();
    options.files = parser.positionalArguments();
    if (options.files.isEmpty()) {
        status = line.UsageError(err, "expects the shard records of a series");
        return false;
    }
    const QString format = parser.value("format");
    if (format != "table" && format != "json") {
        status = line.UsageError(err, "unknown format '" + format + "' (table or json)");
        return false;
    }
    options.format = format == "json" ? IterateFormat::Json : IterateFormat::Table;
    options.saveFolder = parser.value("save-best");
    options.force = parser.isSet("force");
    return true;
}

// A folder of the merge's own under the temporary folder ($TMPDIR or /tmp),
// removed with its content by its bytes (the engine's name need not be
// UTF-8); empty when it could not be made.
class ScratchFolder {
public:
    ScratchFolder()
    {
        const char* base = std::getenv("TMPDIR");
        std::string pattern =
            std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/torqwell-merge-XXXXXX";
        if (::mkdtemp(pattern.data()) != nullptr) m_path = pattern;
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        if (!m_path.empty()) std::filesystem::remove_all(m_path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

QString ShardName(const SeriesShare& share)
{
    return QString("%1 of %2").arg(share.index).arg(share.count);
}

// "shard 3 of 8 is missing", "shards 2, 3 of 3 are missing"; past a few,
// how many more.
QString MissingShards(const std::map<std::int32_t, qsizetype>& byIndex, std::int32_t count)
{
    constexpr int kMostListed = 5;
    QStringList listed;
    std::int32_t missing = 0;
    for (std::int32_t k = 1; k <= count; ++k) {
        if (byIndex.count(k) != 0) continue;
        if (++missing <= kMostListed) listed << QString::number(k);
    }
    if (missing == 0) return {};
    QString text = (missing == 1 ? "shard " : "shards ") + listed.join(", ");
    if (missing > kMostListed) text += QString(" and %1 more").arg(missing - kMostListed);
    return text + " of " + QString::number(count) + (missing == 1 ? " is" : " are") + " missing";
}

// The records form one whole split of one series, computed alike; false
// with the first problem found.
bool CheckShards(const std::vector<ShardRecord>& records, const QStringList& files, QString& problem)
{
    const ShardRecord& first = records.front();
    const std::int32_t count = first.share.count;
    std::map<std::int32_t, qsizetype> byIndex;
    for (qsizetype i = 0; i < files.size(); ++i) {
        const ShardRecord& record = records[std::size_t(i)];
        const QString name = "'" + files[i] + "'";
        if (!SameSeries(record.series, first.series)) {
            problem = name + " is a shard of another series than '" + files[0] +
                      "' (its engine, sweeps, criterion or band differ)";
            return false;
        }
        if (record.share.count != count) {
            problem = name + " is shard " + ShardName(record.share) + ", '" + files[0] + "' shard " +
                      ShardName(first.share) + ": shards of different splits";
            return false;
        }
        if (record.fusedMultiplyAdd != first.fusedMultiplyAdd) {
            problem =
                name + " was computed " + (record.fusedMultiplyAdd ? "with" : "without") +
                " fused multiply-add (" + QString::fromStdString(record.instructionSet) + "), '" + files[0] +
                "' " + (first.fusedMultiplyAdd ? "with" : "without") + " (" +
                QString::fromStdString(first.instructionSet) +
                "): their results may differ in the last digits; run every shard on processors of one kind";
            return false;
        }
        if (record.testsIssued != record.series.totalTests) {
            problem = name + " (shard " + ShardName(record.share) + ") stopped before the end of the series";
            return false;
        }
        const auto [place, added] = byIndex.emplace(record.share.index, i);
        if (!added) {
            problem = "shard " + ShardName(record.share) + " is given twice ('" + files[place->second] +
                      "' and " + name + ")";
            return false;
        }
    }
    problem = MissingShards(byIndex, count);
    return problem.isEmpty();
}

// Each record's sweeps as typed give, on the baseline, the values it ran
// with: a record whose text and numbers part is damaged, whatever its digest.
bool CheckSweepTexts(const CommandLine& line, const std::vector<ShardRecord>& records,
                     const QStringList& files, const CTorqDoc& baseline, QString& problem)
{
    for (std::size_t i = 0; i < records.size(); ++i) {
        const ShardSeries& series = records[i].series;
        IterateOptions options;
        QString unused;
        QTextStream quiet(&unused);
        int status = kExitOk;
        IteratorSetup setup;
        const bool built = SeriesOptions(series, options, problem) &&
                           SetUpSeries(line, options, baseline, setup, quiet, status);
        for (std::size_t s = 0; built && s < series.sweeps.size(); ++s) {
            const ShardSweep& sweep = series.sweeps[s];
            const IterationParam& slot = setup.params[s];
            if (slot.minValue.GetValue() != sweep.min || slot.maxValue.GetValue() != sweep.max ||
                slot.stepValue.GetValue() != sweep.step || slot.numberOfSteps != sweep.steps) {
                problem = "'" + files[qsizetype(i)] + "' is damaged: its sweep '" + ArgumentText(sweep.text) +
                          "' does not give the values it ran with";
                return false;
            }
        }
        if (!built) {
            problem =
                "'" + files[qsizetype(i)] + "' is damaged: its sweeps do not make a series of its engine";
            return false;
        }
    }
    return true;
}

// Every shard's entries, in test order.
std::vector<ShardEntry> AllEntries(const std::vector<ShardRecord>& records)
{
    std::vector<ShardEntry> entries;
    for (const ShardRecord& record : records)
        entries.insert(entries.end(), record.entries.begin(), record.entries.end());
    std::sort(entries.begin(), entries.end(),
              [](const ShardEntry& a, const ShardEntry& b) { return a.testNumber < b.testNumber; });
    return entries;
}

}  // namespace

int IterateMergeCommand(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    CommandLine line("iterate-merge", "[options] SHARD.json...", kDescription);
    MergeOptions merge;
    int status = kExitOk;
    if (!ParseMergeOptions(line, arguments, out, err, merge, status)) return status;

    std::vector<ShardRecord> records(std::size_t(merge.files.size()));
    QString problem;
    for (qsizetype i = 0; i < merge.files.size(); ++i) {
        if (!ReadShardRecordFile(merge.files[i], records[std::size_t(i)], problem))
            return line.Error(err, problem);
    }
    if (!CheckShards(records, merge.files, problem)) return line.Error(err, problem);

    // The series again, from the engine file and the sweeps it ran with.
    const ShardSeries& series = records.front().series;
    const ScratchFolder folder;
    const QString engineFile = folder.Path().empty() ? QString() : WriteSeriesEngine(series, folder.Path());
    if (engineFile.isEmpty())
        return line.Error(err, "cannot write the series' engine file to a temporary folder");
    IterateOptions options;
    if (!SeriesOptions(series, options, problem))
        return line.Error(err, "'" + merge.files[0] + "' is damaged: " + problem);
    options.engineFile = engineFile;
    options.format = merge.format;
    options.saveFolder = merge.saveFolder;
    options.force = merge.force;
    options.inputs = merge.files;
    CliPresenter presenter(err);
    CTorqDoc baseline;
    if (!OpenBaseline(baseline, engineFile)) return presenter.FailureExitCode();
    IteratorSetup setup;
    if (!SetUpSeries(line, options, baseline, setup, err, status)) return status;
    if (!CheckSweepTexts(line, records, merge.files, baseline, problem)) return line.Error(err, problem);
    const QString refusal = CheckSaveTargets(options, baseline);
    if (!refusal.isEmpty()) return line.Error(err, refusal);
    IteratorTest& iterator = IteratorTest::Instance();
    ApplySetup(iterator, setup);
    if (iterator.GetTotalTests() != series.totalTests) {
        iterator.ResetAll();
        return line.Error(err, "the shards' series gives another number of tests here");
    }
    ReplayShardEntries(iterator, AllEntries(records));

    return FinishSeries(line, iterator, baseline, options, out, err);
}

}  // namespace cli
