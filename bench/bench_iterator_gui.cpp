// Iterator throughput in the desktop program against the command line, on
// the same series and machine: the run dialog's series (slices on every
// core between its event loop's turns, the charts drawn as it goes) and
// `torqwell-cli iterate` (one process, its start-up taken off), each run
// several times in turn, so that both see the same load on the machine.
// Prints tests per second of both, the median ratio, and whether both kept
// the same ten.
//
//   xvfb-run -a -s "-screen 0 1280x800x24" build/release/bench/bench_iterator_gui
//   build/release/bench/bench_iterator_gui --offscreen        (no 3-D surface)
//   options: --repeats N (default 9), --threads N (default every core)
//
// On a machine that other work shares, the median ratio of the rounds and
// the ratio of the best rounds (the least disturbed of each) are the
// figures to read; a single round says little.

#include "dialogs/ItrBestSurface.h"
#include "dialogs/ItrRunDlg.h"
#include "iterator/IteratorSetup.h"
#include "model/DocumentRegistry.h"
#include "model/EngineFile.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QPushButton>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const char* const kEngineFile = TORQWELL_SOURCE_DIR "/examples/chevy-350-street.trq";

// 11 bores x 20 IVC x 10 EVO x 10 EVC = 22,000 tests: a second or two each
// on the batch kernel, long enough that a round measures the steady pace and
// not the first slices, short enough that many rounds fit and the two runs of
// a round see about the same load.
struct Sweep {
    const char* cliName;
    IterationDataType type;
    float min, max, step;
};
constexpr Sweep kSweeps[] = {
    {"bore", kItrBore, 3.95f, 4.05f, 0.01f},
    {"ivc", kItrIvc, 55.0f, 74.0f, 1.0f},
    {"evo", kItrEvo, 60.0f, 69.0f, 1.0f},
    {"evc", kItrEvc, 20.0f, 29.0f, 1.0f},
};
// The setup dialog's rows: bore is a numeric row, the others cam rows.
constexpr int kRows[] = {0, 2, 3, 4};

struct Outcome {
    double seconds = 0.0;
    int tests = 0;
    std::vector<int> keptTests;  // test numbers of No. 1 to 10
};

// tiny: a 2-test series, whose time is about the command's start-up alone.
Outcome RunCommandLine(int threads, bool tiny = false)
{
    QStringList arguments{QStringLiteral("iterate"),   QString::fromLatin1(kEngineFile),
                          QStringLiteral("--format"),  QStringLiteral("json"),
                          QStringLiteral("--threads"), QString::number(threads)};
    if (tiny) arguments << QStringLiteral("--sweep") << QStringLiteral("ivc=60:61:1");
    for (const Sweep& sweep : kSweeps) {
        if (tiny) break;
        arguments
            << QStringLiteral("--sweep")
            << QStringLiteral("%1=%2:%3:%4").arg(sweep.cliName).arg(sweep.min).arg(sweep.max).arg(sweep.step);
    }
    QProcess cli;
    QElapsedTimer clock;
    clock.start();
    cli.start(QStringLiteral(TORQWELL_CLI_PATH), arguments);
    cli.waitForFinished(-1);
    Outcome outcome;
    outcome.seconds = clock.nsecsElapsed() / 1e9;
    const QJsonObject report = QJsonDocument::fromJson(cli.readAllStandardOutput()).object();
    outcome.tests = report[QStringLiteral("tests_run")].toInt();
    for (const QJsonValue kept : report[QStringLiteral("best")].toArray()) {
        outcome.keptTests.push_back(kept.toObject()[QStringLiteral("test")].toInt());
    }
    return outcome;
}

Outcome RunDialog(const CTorqDoc& baseline, int threads, bool surface)
{
    IteratorTest iterator{IteratorTest::Detached{}};
    IteratorSetup setup;
    setup.Reset();
    setup.baseline = &baseline;
    for (std::size_t i = 0; i < std::size(kSweeps); ++i) {
        IterationParam& row = setup.params[static_cast<std::size_t>(kRows[i])];
        row.ChooseDataType(kSweeps[i].type, baseline);
        row.minValue.SetValue(kSweeps[i].min);
        row.maxValue.SetValue(kSweeps[i].max);
        row.stepValue.SetValue(kSweeps[i].step);
        row.ComputeSteps();
    }
    ApplySetup(iterator, setup);

    CItrRunDlg dialog(iterator, CDocumentRegistry::Instance(), CItrRunDlg::Options{surface, threads});
    dialog.show();
    QApplication::processEvents();
    QElapsedTimer clock;
    clock.start();
    dialog.RunButton()->click();
    while (dialog.GetRunState() == CItrRunDlg::kRunning)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    Outcome outcome;
    outcome.seconds = clock.nsecsElapsed() / 1e9;
    outcome.tests = iterator.GetTestsRun();
    for (int i = 0; i < iterator.GetKeptCount(); ++i)
        outcome.keptTests.push_back(iterator.GetBestTestNumber(i));
    return outcome;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

int IntOption(const QStringList& arguments, const QString& name, int fallback)
{
    const qsizetype at = arguments.indexOf(name);
    return at >= 0 && at + 1 < arguments.size() ? arguments[at + 1].toInt() : fallback;
}

}  // namespace

int main(int argc, char* argv[])
{
    const bool offscreen =
        std::any_of(argv, argv + argc, [](const char* a) { return qstrcmp(a, "--offscreen") == 0; });
    if (offscreen) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments();
    const int repeats = std::max(1, IntOption(arguments, QStringLiteral("--repeats"), 9));
    const int threads =
        IntOption(arguments, QStringLiteral("--threads"), IteratorRunner::HardwareThreadCount());
    QString whyNot;
    const bool surface = CItrBestSurface::CanShowSurface(whyNot);

    CTorqDoc baseline;
    if (!OpenEngineDocument(baseline, kEngineFile)) return 2;
    baseline.SetTitle("chevy-350-street.trq");
    CDocumentRegistry::Instance().Add(baseline);

    std::printf("22,000-test series on %d threads, %s\n", threads,
                surface ? "the dialog with its 3-D surface"
                        : qPrintable("the dialog without its surface: " + whyNot));
    std::vector<double> startups;
    for (int i = 0; i < 3; ++i) startups.push_back(RunCommandLine(threads, true).seconds);
    const double startup = Median(startups);
    std::printf("command line start-up (a 2-test series): %.3f s, taken off its times below\n", startup);
    std::vector<double> cliPace;
    std::vector<double> dialogPace;
    std::vector<double> ratios;
    bool sameKept = true;
    for (int round = 0; round < repeats; ++round) {
        const Outcome cli = RunCommandLine(threads);
        const Outcome dialog = RunDialog(baseline, threads, surface);
        sameKept = sameKept && cli.keptTests == dialog.keptTests && cli.tests == dialog.tests;
        cliPace.push_back(cli.tests / (cli.seconds - startup));
        dialogPace.push_back(dialog.tests / dialog.seconds);
        ratios.push_back(dialogPace.back() / cliPace.back());
        std::printf(
            "round %d: command line %7.1f tests/s (%.2f s), dialog %7.1f tests/s (%.2f s), ratio %.3f\n",
            round + 1, cliPace.back(), cli.seconds - startup, dialogPace.back(), dialog.seconds,
            ratios.back());
    }
    std::printf("median: command line %.1f tests/s, dialog %.1f tests/s, median ratio %.3f\n",
                Median(cliPace), Median(dialogPace), Median(ratios));
    const double bestCli = *std::max_element(cliPace.begin(), cliPace.end());
    const double bestDialog = *std::max_element(dialogPace.begin(), dialogPace.end());
    std::printf("best: command line %.1f tests/s, dialog %.1f tests/s, ratio %.3f\n", bestCli, bestDialog,
                bestDialog / bestCli);
    std::printf("same kept tests in the same order: %s\n", sameKept ? "yes" : "NO");
    CDocumentRegistry::Instance().Remove(baseline);
    return sameKept ? 0 : 1;
}
