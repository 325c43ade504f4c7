// torqwell-cli sheet ENGINE.trq -o SHEET.pdf|png|svg [--units english|kpa|bar] [--range auto|low|mid|hi]
// [--pull PULL.csv ...] [--power-unit U] [--torque-unit U] [--force]

#include "CliCommands.h"
#include "CliSupport.h"

#include "model/TorqDoc.h"
#include "report/ChartPicture.h"
#include "report/DynoSheet.h"
#include "report/MeasuredCurves.h"
#include "report/MeasuredPulls.h"
#include "report/PageHeader.h"
#include "report/ReportFile.h"

#include <QFileInfo>
#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <system_error>

namespace cli {

namespace {

// Qt's own diagnostics ("XDG_RUNTIME_DIR not set", a missing font) are not
// this program's messages: the error stream keeps to those. A platform that
// cannot start is fatal to Qt, which would abort; the command ends with a
// message of its own and status 2 instead.
void KeepQtMessagesOffTheErrorStream(QtMsgType type, const QMessageLogContext&, const QString&)
{
    if (type != QtFatalMsg) return;
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    std::fprintf(stderr,
                 "%s sheet: the Qt platform '%s' (QT_QPA_PLATFORM) cannot start here; without "
                 "QT_QPA_PLATFORM the sheet is drawn offscreen\n",
                 kProgramName, platform.constData());
    std::fflush(stderr);
    std::_Exit(kExitUsage);
}

// Fonts and painting need a GUI application. The sheet is drawn on Qt's
// offscreen platform, which needs no display, unless the caller chose a
// platform with QT_QPA_PLATFORM.
bool EnsureGuiApplication(QTextStream& err)
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) return true;
    if (QCoreApplication::instance() != nullptr) {
        err << kProgramName << " sheet: drawing needs a GUI application" << Qt::endl;
        return false;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(KeepQtMessagesOffTheErrorStream);
    static int argc = 1;
    static char name[] = "torqwell-cli";
    static char* argv[] = {name, nullptr};
    static QGuiApplication application(argc, argv);
    return true;
}

bool IsSameFile(const QString& a, const QString& b)
{
    std::error_code error;
    return std::filesystem::equivalent(LocalPath(a), LocalPath(b), error);
}

void AddPullOptions(QCommandLineParser& parser)
{
    parser.addOption(QCommandLineOption(
        "pull", "A measured dyno pull (CSV or text) to draw beside the engine's curves; may be given again.",
        "PULL.csv"));
    parser.addOption(QCommandLineOption(
        "power-unit", "The unit of a pull's power column whose header names none: hp (default), kW or PS.",
        "unit"));
    parser.addOption(QCommandLineOption(
        "torque-unit", "The unit of a pull's torque column whose header names none: lb-ft (default) or Nm.",
        "unit"));
}

// The pulls named on the command line, read; false with the message given.
bool ReadPulls(const QCommandLineParser& parser, CMeasuredPulls& measured, QTextStream& err, QString& problem)
{
    PullReadOptions options;
    if (parser.isSet("power-unit") &&
        !ParsePullPowerUnit(parser.value("power-unit").toStdString(), options.powerUnit)) {
        problem = "unknown power unit '" + parser.value("power-unit") + "' (hp, kW or PS)";
        return false;
    }
    if (parser.isSet("torque-unit") &&
        !ParsePullTorqueUnit(parser.value("torque-unit").toStdString(), options.torqueUnit)) {
        problem = "unknown torque unit '" + parser.value("torque-unit") + "' (lb-ft or Nm)";
        return false;
    }
    for (const QString& path : parser.values("pull")) {
        const PullReading reading = ReadDynoPullFile(LocalPath(path), options);
        if (!reading.ok) {
            problem = "'" + path + "': " + QString::fromStdString(reading.error);
            return false;
        }
        for (const std::string& note : reading.pull.notes)
            err << kProgramName << " sheet: '" << path << "': " << QString::fromStdString(note) << Qt::endl;
        measured.Add({QFileInfo(path).absoluteFilePath(), options, reading.pull});
    }
    return true;
}

// The options of `sheet`, with its help text.
void AddSheetOptions(CommandLine& line)
{
    line.Parser().addOption(
        QCommandLineOption({"o", "output"}, "The sheet to write (.pdf, .png or .svg).", "file"));
    line.Parser().addOption(QCommandLineOption(
        "units",
        "Results of a metric engine in english (hp, ft-lbs, psi; the default), kpa (kW, N·m, kPa) or bar.",
        "units", "english"));
    line.Parser().addOption(QCommandLineOption(
        "range",
        "The y axes' range: auto (fits the curves; the default), low, mid or hi (the graph's fixed ranges).",
        "range", "auto"));
    AddPullOptions(line.Parser());
    line.AllowRepeated("pull");
    line.Parser().addOption(QCommandLineOption("force", "Replace an existing output file."));
    line.Parser().addPositionalArgument("ENGINE.trq", "The engine file.");
}

// The output is never a file the command reads, and replaces a file only
// with --force; a refusal says why (false).
bool CheckSheetOutput(const QCommandLineParser& parser, const QString& output, const QString& engine,
                      QTextStream& err)
{
    for (const QString& pull : parser.values("pull")) {
        if (IsSameFile(output, pull)) {
            err << kProgramName << " sheet: " << output << " is a pull it reads; choose another output"
                << Qt::endl;
            return false;
        }
    }
    if (IsSameFile(output, engine)) {
        err << kProgramName << " sheet: " << output << " is the engine file it reads; choose another output"
            << Qt::endl;
        return false;
    }
    std::error_code unused;
    if (std::filesystem::exists(LocalPath(output), unused) && !parser.isSet("force")) {
        err << kProgramName << " sheet: " << output << " exists; use --force to replace it" << Qt::endl;
        return false;
    }
    return true;
}

// The sheet of the run engine: power and torque against engine speed in the
// chosen range, with the pulls beside them.
DynoSheetContent SheetContent(const CTorqDoc& doc, const QString& engine, ResultUnits units, int rangeKind,
                              const CMeasuredPulls& measured)
{
    const QFileInfo engineFile(engine);
    ChartOptions options;
    options.axes = {ChartAxisDescription::Make(kSeriesEngineSpeed, kHiRange),
                    ChartAxisDescription::Make(kSeriesPower, rangeKind),
                    ChartAxisDescription::Make(kSeriesTorque, rangeKind)};
    options.resultUnits = units;
    DynoSheetContent content;
    content.document = &doc;
    content.engineName = QString::fromStdString(doc.GetTitle());
    if (content.engineName.isEmpty()) content.engineName = engineFile.fileName();
    content.filePath = engineFile.absoluteFilePath();
    content.date = TodayText();
    content.units = ShownResultUnits(units, doc);
    content.graph = BuildMeasuredChartPicture({{&doc, content.engineName}}, options, &measured);
    content.measured = &measured;
    return content;
}

}  // namespace

int SheetCommand(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    CommandLine line("sheet", "[options] ENGINE.trq -o SHEET.pdf|png|svg",
                     "Opens an engine file, runs it and writes its dyno sheet: one page with the engine's\n"
                     "name and file, the date, the peaks, the graph of power and torque, the results\n"
                     "table and the engine in brief. The output's extension chooses the format: .pdf,\n"
                     ".png (192 pixels per inch) or .svg. Each --pull is drawn beside the curves and\n"
                     "its root-mean-square difference from the run named under the peaks. Needs no\n"
                     "display.");
    AddSheetOptions(line);
    int status = kExitOk;
    if (!line.Parse(arguments, out, err, status)) return status;

    const QStringList files = line.Parser().positionalArguments();
    if (files.size() != 1) return line.UsageError(err, "expects one engine file");
    const QString output = line.Parser().value("output");
    if (output.isEmpty()) return line.UsageError(err, "needs the sheet to write: -o SHEET.pdf, .png or .svg");
    if (SheetFormatOf(output) == SheetFormat::Unknown) {
        return line.UsageError(err, "cannot tell the format of '" + output + "': use .pdf, .png or .svg");
    }
    ResultUnits units = ResultUnits::English;
    if (!ResultUnitsFromKey(line.Parser().value("units").toStdString(), units)) {
        return line.UsageError(err,
                               "unknown units '" + line.Parser().value("units") + "' (english, kpa or bar)");
    }
    const QStringList ranges{"auto", "low", "mid", "hi"};
    const int rangeKind = static_cast<int>(ranges.indexOf(line.Parser().value("range")));
    if (rangeKind < 0) {
        return line.UsageError(err,
                               "unknown range '" + line.Parser().value("range") + "' (auto, low, mid or hi)");
    }
    if (!CheckSheetOutput(line.Parser(), output, files.front(), err)) return kExitUsage;

    CMeasuredPulls measured;
    QString problem;
    if (!ReadPulls(line.Parser(), measured, err, problem)) {
        err << kProgramName << " sheet: " << problem << Qt::endl;
        return kExitUsage;
    }

    CliPresenter presenter(err);
    CTorqDoc doc;
    if (!OpenEngine(doc, files.front()) || !RunEngine(doc)) return presenter.FailureExitCode();
    if (!EnsureGuiApplication(err)) return kExitUsage;

    // The name passes as its bytes; without --force a file that appeared
    // at it since the check above is kept.
    const DynoSheetContent content = SheetContent(doc, files.front(), units, rangeKind, measured);
    QString error;
    if (!WriteFileAtomically(LocalPath(output), output, RenderDynoSheet(content, SheetFormatOf(output)),
                             error, line.Parser().isSet("force"))) {
        err << kProgramName << " sheet: " << error << Qt::endl;
        return kExitUsage;
    }
    PrintWrote(out, output);
    return kExitOk;
}

}  // namespace cli
