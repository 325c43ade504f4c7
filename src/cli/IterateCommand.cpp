// torqwell-cli iterate ENGINE.trq --sweep NAME=MIN:MAX:STEP [--sweep ...] [--criterion power|torque]
//                      [--band MIN-MAX] [--threads N] [--no-batch] [--format table|json]
//                      [--save-best DIR] [--force] [--shard K/N] [--search [--budget N]]

#include "IterateCommand.h"

#include "CliCommands.h"
#include "FileTargets.h"
#include "IterateShardFile.h"

#include "iterator/IteratorRunner.h"
#include "iterator/IteratorSetup.h"
#include "model/EngineFile.h"
#include "model/TorqDoc.h"
#include "study/IteratorSearch.h"
#include "study/TestPace.h"

#include <QFileDevice>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace cli {

namespace iterate {

// ---------------------------------------------------------------- parse

constexpr const char* kDescription =
    "Iterator testing: steps up to eight engine parameters over their ranges, simulates every\n"
    "combination on a copy of the engine and keeps the ten best by peak power or torque inside\n"
    "an engine-speed band. The first sweep changes slowest, the last fastest; every sweep ends\n"
    "on its MAX. The kept results are listed in their slots (No. 1 to 10), which are not\n"
    "sorted: a better result takes the place of the weakest.\n"
    "With --search only the tests that lead to the best run: a coarse lattice over every\n"
    "combination, compass searches from its best points, the neighbours of the ten best and the\n"
    "values of each sweep through the best. The kept results are those a series of the tests it\n"
    "ran would keep, each with its test's number and score.";

constexpr int kMostSweeps = 8;  // the rows of the setup dialog

bool ParseSweep(const QString& text, SweepText& sweep, QString& problem)
{
    const qsizetype equals = text.indexOf('=');
    const QStringList parts = equals < 0 ? QStringList() : text.mid(equals + 1).split(':');
    if (parts.size() != 3) {
        problem = "--sweep '" + text + "' is not NAME=MIN:MAX:STEP";
        return false;
    }
    sweep.name = text.left(equals).trimmed();
    sweep.type = IterationDataTypeOfSweepName(sweep.name.toStdString());
    if (sweep.type == kItrNone) {
        problem = "unknown sweep '" + sweep.name +
                  "' (bore, stroke, compression, ivo, ivc, evo, evc, int-lift or exh-lift)";
        return false;
    }
    sweep.min = parts[0].trimmed();
    sweep.max = parts[1].trimmed();
    sweep.step = parts[2].trimmed();
    return true;
}

// The --sweep texts, one to eight of them; false with a message for the user.
bool ParseSweeps(const QStringList& texts, std::vector<SweepText>& sweeps, QString& problem)
{
    if (texts.isEmpty()) {
        problem = "needs at least one --sweep";
        return false;
    }
    if (texts.size() > kMostSweeps) {
        problem = "takes at most 8 sweeps";
        return false;
    }
    sweeps.resize(std::size_t(texts.size()));
    for (qsizetype i = 0; i < texts.size(); ++i) {
        if (!ParseSweep(texts[i], sweeps[std::size_t(i)], problem)) return false;
    }
    return true;
}

// "MIN-MAX" in rpm, both within the 19 engine speeds' span.
bool ParseBand(const QString& text, float& minRpm, float& maxRpm)
{
    const QStringList parts = text.split('-');
    bool minOk = false;
    bool maxOk = false;
    if (parts.size() == 2) {
        minRpm = parts[0].trimmed().toFloat(&minOk);
        maxRpm = parts[1].trimmed().toFloat(&maxOk);
    }
    const auto inSpan = [](float rpm) { return rpm >= kLowestBandRpm && rpm <= kHighestBandRpm; };
    return minOk && maxOk && inSpan(minRpm) && inSpan(maxRpm);
}

// "K/N": shard K of N, 1 <= K <= N <= kMostShards.
bool ParseShare(const QString& text, SeriesShare& share)
{
    const QStringList parts = text.split('/');
    if (parts.size() != 2) return false;
    bool indexOk = false;
    bool countOk = false;
    share.index = parts[0].trimmed().toInt(&indexOk);
    share.count = parts[1].trimmed().toInt(&countOk);
    return indexOk && countOk && share.count >= 1 && share.count <= kMostShards && share.index >= 1 &&
           share.index <= share.count;
}

// --threads N, 1 to 256; every hardware thread when not given.
bool ParseThreads(const QCommandLineParser& parser, int& threads)
{
    if (!parser.isSet("threads")) {
        threads = IteratorRunner::HardwareThreadCount();
        return true;
    }
    bool ok = false;
    threads = parser.value("threads").toInt(&ok);
    return ok && threads >= 1 && threads <= 256;
}

void AddIterateOptions(CommandLine& line)
{
    line.Parser().addOption(QCommandLineOption(
        "sweep",
        "A parameter to step: bore, stroke, compression, ivo, ivc, evo, evc, int-lift or exh-lift,\n"
        "from MIN to MAX by STEP in the units the engine is shown in.",
        "NAME=MIN:MAX:STEP"));
    line.Parser().addOption(
        QCommandLineOption("criterion", "power (default) or torque.", "criterion", "power"));
    line.Parser().addOption(QCommandLineOption("band", "The engine speeds scored, rpm within 2000-11000.",
                                               "MIN-MAX", "2000-11000"));
    line.Parser().addOption(
        QCommandLineOption("threads", "Threads that simulate (default: every core).", "N"));
    line.Parser().addOption(
        QCommandLineOption("no-batch",
                           "Simulate one engine at a time instead of several side by side in SIMD lanes "
                           "(the same results, more slowly; for comparison)."));
    line.Parser().addOption(
        QCommandLineOption("shard",
                           "Run only shard K of N of the series (every N-th test) and print the shard record "
                           "that iterate-merge combines with the other shards into the series' results.",
                           "K/N"));
    line.Parser().addOption(QCommandLineOption(
        "search",
        "Search for the best instead of running every combination: a small share of the tests, and\n"
        "no bound on the number of combinations but the search's own (2^53)."));
    line.Parser().addOption(QCommandLineOption(
        "budget", "With --search: the most tests to run (default: as many as the search needs).", "N"));
    line.Parser().addOption(QCommandLineOption({"f", "format"}, "table or json.", "format", "table"));
    line.Parser().addOption(QCommandLineOption(
        "save-best",
        "Write each kept engine with its results as DIR/Best<n>-<engine title>.trq, all of them\n"
        "or none. DIR is created after the series has run. Best files of this engine from an\n"
        "earlier run are refused unless --force is given; with --force they are replaced, and\n"
        "those beyond this run's kept results are removed, so that DIR holds this run only.",
        "DIR"));
    line.Parser().addOption(QCommandLineOption(
        "force", "With --save-best: replace and remove the Best files of an earlier run."));
    line.AllowRepeated("sweep");
    line.Parser().addPositionalArgument("ENGINE.trq", "The baseline engine.");
}

// Reads and checks the options, reporting the first problem only. False
// when the command is done: help printed (status 0) or a usage error (status 2).
bool ParseIterateOptions(CommandLine& line, const QStringList& arguments, QTextStream& out, QTextStream& err,
                         IterateOptions& options, int& status)
{
    if (!line.Parse(arguments, out, err, status)) return false;
    const QCommandLineParser& parser = line.Parser();
    const auto fail = [&](const QString& text) {
        status = line.UsageError(err, text);
        return false;
    };

    const QStringList files = parser.positionalArguments();
    if (files.size() != 1) return fail("expects one engine file");
    options.engineFile = files.front();
    QString problem;
    if (!ParseSweeps(parser.values("sweep"), options.sweeps, problem)) return fail(problem);
    const QString criterion = parser.value("criterion");
    if (criterion != "power" && criterion != "torque") {
        return fail("unknown criterion '" + criterion + "' (power or torque)");
    }
    options.setup.Reset();
    options.setup.criterion = criterion == "power" ? kMaxPower : kMaxTorque;
    if (!ParseBand(parser.value("band"), options.setup.minRpm, options.setup.maxRpm)) {
        return fail("--band takes MIN-MAX in rpm within 2000-11000");
    }
    if (!ParseThreads(parser, options.threads)) return fail("--threads takes 1 to 256");
    options.batchKernel = !parser.isSet("no-batch");
    const QString format = parser.value("format");
    if (format != "table" && format != "json") return fail("unknown format '" + format + "' (table or json)");
    options.formatGiven = parser.isSet("format");
    options.format = format == "json" ? IterateFormat::Json : IterateFormat::Table;
    options.saveFolder = parser.value("save-best");
    options.force = parser.isSet("force");
    options.search = parser.isSet("search");
    if (parser.isSet("budget")) {
        if (!options.search) return fail("--budget goes with --search");
        bool ok = false;
        options.budget = parser.value("budget").trimmed().toLongLong(&ok);
        if (!ok || options.budget < 1) return fail("--budget takes a whole number of tests, 1 or more");
    }
    options.sharded = parser.isSet("shard");
    if (options.sharded && options.search) {
        return fail("--search runs on one machine; --shard splits a series of every combination");
    }
    if (options.sharded) {
        if (!ParseShare(parser.value("shard"), options.share))
            return fail("--shard takes K/N with 1 <= K <= N <= 100000");
        // The record is JSON whatever the format; a table or saved engines
        // come from iterate-merge.
        if ((options.formatGiven && options.format != IterateFormat::Json) || !options.saveFolder.isEmpty()) {
            return fail(
                "--shard prints the shard record (JSON); --format table and --save-best go with "
                "iterate-merge");
        }
    }
    return true;
}

// ---------------------------------------------------------------- run

// The baseline as the desktop program opens it, complete enough to run.
// Messages go to the installed presenter.
bool OpenBaseline(CTorqDoc& baseline, const QString& path)
{
    if (!OpenEngine(baseline, path)) return false;
    ErrorCode code = 0;
    if (!baseline.Validate(code)) {
        ShowErrorMessage(code);
        return false;
    }
    return true;
}

// The slot of a sweep, its three values checked against the ranges of the
// engine parameter and of the step, in the engine's units, as the setup
// dialog's fields check them.
bool BuildSlot(const SweepText& sweep, const CTorqDoc& engine, IterationParam& slot, QString& problem)
{
    slot.ChooseDataType(sweep.type, engine);
    const std::pair<CFloatPtSpec*, const QString*> fields[] = {
        {&slot.minValue, &sweep.min}, {&slot.maxValue, &sweep.max}, {&slot.stepValue, &sweep.step}};
    for (const auto& [spec, text] : fields) {
        if (!spec->SetFromText(text->toStdString(), false)) {
            problem = QString("%1: '%2' refused (%3)")
                          .arg(sweep.name, *text, QString::fromStdString(spec->GetPrompt()));
            return false;
        }
    }
    slot.ComputeSteps();
    return true;
}

// The setup of the series on the open baseline, with the setup dialog's
// checks: the baseline when it is chosen, the slots and the rest at OK.
// False with status 2 when the series cannot run as asked.
bool SetUpSeries(const CommandLine& line, const IterateOptions& options, const CTorqDoc& baseline,
                 IteratorSetup& setup, QTextStream& err, int& status, ErrorCode* refusal)
{
    if (refusal != nullptr) *refusal = 0;
    setup = options.setup;
    setup.baseline = &baseline;
    ErrorCode code = CheckBaselineChoice(baseline);
    for (std::size_t i = 0; code == 0 && i < options.sweeps.size(); ++i) {
        QString problem;
        if (!BuildSlot(options.sweeps[i], baseline, setup.params[i], problem)) {
            status = line.UsageError(err, problem);
            return false;
        }
    }
    if (code == 0) code = options.search ? CheckSearchSetup(setup) : CheckSetup(setup);
    if (code != 0) {
        ShowErrorMessage(code);
        if (refusal != nullptr) *refusal = code;
        status = kExitUsage;
        return false;
    }
    return true;
}

// The progress line is for a person watching: only when the error stream is the terminal.
bool ErrorStreamIsTerminal(const QTextStream& err)
{
    const auto* file = qobject_cast<const QFileDevice*>(err.device());
    return file != nullptr && file->handle() == STDERR_FILENO && isatty(STDERR_FILENO) == 1;
}

// "Every combination: N tests, about T at P tests/s on K threads", and the
// advice to search when that is more than about a minute. The iterator is
// prepared (its combinations ready to apply); it does not change.
void PrintEstimate(const IteratorTest& iterator, const IterateOptions& options, QTextStream& err)
{
    if (!SearchGrid(iterator).IsSearchable()) return;  // too many to sample evenly, or to search
    StudyRunner runner(options.threads);
    runner.SetBatchKernel(options.batchKernel);
    const TestPace pace = MeasureTestPace(iterator, runner);
    const std::int64_t total = SearchGrid(iterator).Size();
    const double seconds = pace.SecondsFor(static_cast<long double>(total));
    err << "Every combination: " << total << " tests, about " << QString::fromStdString(DurationText(seconds))
        << " at " << QString::number(pace.TestsPerSecond(), 'f', 0) << " tests/s on " << options.threads
        << (options.threads == 1 ? " thread" : " threads");
    if (seconds > kSearchWorthSeconds) err << "; --search finds the best in a small share of them";
    err << Qt::endl;
}

// After the series' size refused it (Msg::IteratorTooManyTests): how long it would take, and the search.
void SuggestSearch(const IteratorSetup& setup, const IterateOptions& options, QTextStream& err)
{
    IteratorTest iterator{IteratorTest::Detached{}};
    ApplySearchSetup(iterator, setup);
    PrintEstimate(iterator, options, err);
}

// Every test of the series (of its shard), in batches of 64 per thread so
// that the progress line moves. A shard records each test that enters its
// ten best.
void RunSeries(IteratorTest& iterator, const IteratorSetup& setup, const IterateOptions& options,
               std::vector<ShardEntry>& entries, QTextStream& err)
{
    const int threads = options.threads;
    ApplySetup(iterator, setup);
    if (!options.sharded && iterator.GetTotalTests() >= kTestsWorthAnEstimate)
        PrintEstimate(iterator, options, err);
    IteratorRunner runner(iterator, threads);
    runner.SetBatchKernel(options.batchKernel);
    runner.SetShare(options.share);
    if (options.sharded) {
        runner.SetNewBestObserver(
            [&](std::int32_t test) { entries.push_back(EntryOfWorkingEngine(iterator, test)); });
    }
    const bool showProgress = ErrorStreamIsTerminal(err);
    const auto start = std::chrono::steady_clock::now();
    while (!iterator.IsDone()) {
        runner.RunTests(64 * threads);
        if (showProgress) {
            err << "\rTest " << iterator.GetTestsRun() << " of " << iterator.GetTotalTests() << " ("
                << iterator.GetProgressPercent() << "%)" << Qt::flush;
        }
    }
    if (showProgress) {
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        err << "\n"
            << iterator.GetTestsRun() << " tests in " << QString::number(seconds, 'f', 2) << " s on "
            << threads << " threads" << Qt::endl;
    }
}

// The search, batch after batch so that the progress line moves. False
// when the grid is larger than a search takes.
bool RunSearch(IteratorTest& iterator, const IteratorSetup& setup, const IterateOptions& options,
               RunCounts& counts, QTextStream& err)
{
    ApplySearchSetup(iterator, setup);
    IteratorSearch search(iterator, options.threads);
    search.SetBatchKernel(options.batchKernel);
    if (!search.Start(options.budget)) return false;
    const bool showProgress = ErrorStreamIsTerminal(err);
    const auto start = std::chrono::steady_clock::now();
    while (search.RunBatch()) {
        if (showProgress && search.HasBest()) {
            err << "\rSearch: " << search.GetTestsRun() << " tests, best "
                << QString::number(double(search.GetBestScore()), 'f', 2) << Qt::flush;
        }
    }
    if (showProgress) {
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        err << "\n"
            << search.GetTestsRun() << " of " << search.GetGridSize() << " tests in "
            << QString::number(seconds, 'f', 2) << " s on " << options.threads << " threads" << Qt::endl;
    }
    counts = {search.GetGridSize(), search.GetTestsRun(), true};
    return true;
}

// The most engines a series keeps: Best1 to Best10.
constexpr int kMostKept = 10;

// DIR/Best<n>-<title up to its first '.'>.trq, in the file system's bytes.
std::string BestPath(const QString& folder, const CTorqDoc& baseline, int number)
{
    const std::string& title = baseline.GetTitle();
    const std::string name =
        "Best" + std::to_string(number) + "-" + title.substr(0, title.find('.')) + ".trq";
    return (std::filesystem::path(LocalPath(folder)) / name).string();
}

QString CheckSaveTargets(const IterateOptions& options, const CTorqDoc& baseline)
{
    if (options.saveFolder.isEmpty()) return {};
    QString folder = CheckOutputFolder(LocalPath(options.saveFolder));
    if (!folder.isEmpty()) return folder;
    FileTargets targets(options.force);
    targets.AddInput(LocalPath(options.engineFile));
    for (const QString& input : options.inputs) targets.AddInput(LocalPath(input));
    for (int number = 1; number <= kMostKept; ++number) {
        QString refusal = targets.Check(BestPath(options.saveFolder, baseline, number));
        if (!refusal.isEmpty()) return refusal;
    }
    return {};
}

bool SaveBest(const IteratorTest& iterator, const CTorqDoc& baseline, const QString& folder, bool force,
              QString& failure)
{
    std::error_code error;
    std::filesystem::create_directories(LocalPath(folder), error);
    if (error) {
        failure = "cannot create the folder '" + folder + "': " + QString::fromStdString(error.message());
        return false;
    }
    OutputFiles files(force);
    bool written = true;
    for (int i = 0; written && i < iterator.GetKeptCount(); ++i) {
        CTorqDoc best;
        iterator.CopyBestEngine(i, best);
        written = files.Write(BestPath(folder, baseline, i + 1), [&best](CAtomicFile& file) {
            return ConfirmEngineSave(best) && FinishEngineFile(best, file);
        });
    }
    // The new set and the removal of the old set's rest, uncut by a signal.
    const CTerminationSignalsHeld held;
    if (!written || !files.CommitAll()) {
        failure = files.FailureText();
        return false;
    }
    // Without force the folder held no Best files when the run began; any
    // that appeared since are another run's.
    for (int number = iterator.GetKeptCount() + 1; force && number <= kMostKept; ++number) {
        std::filesystem::remove(BestPath(folder, baseline, number), error);
    }
    return true;
}

int FinishSeries(const CommandLine& line, IteratorTest& iterator, const CTorqDoc& baseline,
                 const IterateOptions& options, QTextStream& out, QTextStream& err)
{
    return FinishSeries(line, iterator, RunCounts::OfSeries(iterator), baseline, options, out, err);
}

int FinishSeries(const CommandLine& line, IteratorTest& iterator, const RunCounts& counts,
                 const CTorqDoc& baseline, const IterateOptions& options, QTextStream& out, QTextStream& err)
{
    PrintResults(iterator, counts, options, out);
    QString failure;
    const bool saved = options.saveFolder.isEmpty() ||
                       SaveBest(iterator, baseline, options.saveFolder, options.force, failure);
    iterator.ResetAll();  // the baseline goes with this command
    if (saved) return kExitOk;
    line.Error(err, failure);
    return kExitUsage;
}

}  // namespace iterate

int IterateCommand(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    using namespace iterate;
    CommandLine line("iterate", "[options] ENGINE.trq --sweep NAME=MIN:MAX:STEP [--sweep ...]", kDescription);
    AddIterateOptions(line);
    IterateOptions options;
    int status = kExitOk;
    if (!ParseIterateOptions(line, arguments, out, err, options, status)) return status;

    CliPresenter presenter(err);
    // A shard record carries the engine file itself, as it was read: a
    // regular file of an engine's size, as the engine reader takes.
    std::string engineFile;
    if (options.sharded && ReadRegularFile(LocalPath(options.engineFile), kMostShardEngineFileBytes,
                                           engineFile) != WholeFileRead::Ok) {
        ShowErrorMessage(Msg::FileOpen);
        return presenter.FailureExitCode();
    }
    CTorqDoc baseline;
    if (!OpenBaseline(baseline, options.engineFile)) return presenter.FailureExitCode();
    IteratorSetup setup;
    ErrorCode setupRefusal = 0;
    if (!SetUpSeries(line, options, baseline, setup, err, status, &setupRefusal)) {
        if (setupRefusal == Msg::IteratorTooManyTests) SuggestSearch(setup, options, err);
        return status;
    }
    const QString refusal = CheckSaveTargets(options, baseline);
    if (!refusal.isEmpty()) return line.Error(err, refusal);
    IteratorTest& iterator = IteratorTest::Instance();
    if (options.search) {
        RunCounts counts;
        if (!RunSearch(iterator, setup, options, counts, err)) {
            const long double combinations = SearchGrid(iterator).CountedPoints();
            iterator.ResetAll();
            return line.Error(err, QString("a search takes at most %1 combinations; this series has %2")
                                       .arg(SearchGrid::kMostPoints)
                                       .arg(double(combinations), 0, 'g', 3));
        }
        return FinishSeries(line, iterator, counts, baseline, options, out, err);
    }
    std::vector<ShardEntry> entries;
    RunSeries(iterator, setup, options, entries, err);

    if (options.sharded) {
        PrintShardRecord(iterator, options, engineFile, entries, out);
        iterator.ResetAll();
        return kExitOk;
    }
    return FinishSeries(line, iterator, baseline, options, out, err);
}

}  // namespace cli
