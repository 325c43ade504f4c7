// torqwell-cli match ENGINE.trq --pull PULL.csv --vary NAME[=MIN:MAX] [--vary ...] -o MATCHED.trq
//                    [--force] [-f table|json] [--power-unit U] [--torque-unit U] [--columns S,P,T]
//                    [--threads N] [--no-batch]

#include "CliCommands.h"
#include "CliSupport.h"
#include "FileTargets.h"
#include "StudyOptions.h"

#include "base/Units.h"
#include "base/Util.h"
#include "model/EngineFile.h"
#include "model/TorqDoc.h"
#include "study/DynoMatch.h"

#include <QFileDevice>

#include <unistd.h>

#include <charconv>
#include <cmath>

namespace cli {

namespace {

constexpr const char* kDescription =
    "Matches an engine to a measured dyno pull: finds the values of the figures you free,\n"
    "each inside its range, that bring the model's power and torque closest to the pull\n"
    "(least squares over the engine speeds the pull covers, power and torque alike in %\n"
    "of the pull's peaks), saves the engine with those values as MATCHED.trq and prints\n"
    "the values with the error before and after. For each figure it also gives the firm\n"
    "range, over which the best error stays within a small margin, and it names the\n"
    "figures that trade off against each other (a smaller carburettor with a higher lift\n"
    "can give almost the same curve). A pull the model cannot come near is no error: the\n"
    "result says how far it got.\n"
    "\n"
    "The pull is comma-, semicolon- or tab-separated text with a header naming an engine-\n"
    "speed column (RPM, Engine Speed, Speed) and a power (Power, HP, BHP, kW, PS) and/or\n"
    "torque column (Torque, TQ, lb-ft, ft-lbs, Nm); units from the header ('Power (kW)',\n"
    "'Torque [Nm]') or the options; 'torqwell-cli run --format csv' output is a pull.";

// One --vary as typed.
struct VaryText {
    MatchFigure figure = MatchFigure::Bore;
    QString name;
    bool hasRange = false;
    QString min;
    QString max;
};

struct MatchOptions {
    QString engineFile;
    QString pullFile;
    QString output;
    std::vector<VaryText> varies;
    PullReadOptions pull;
    bool json = false;
    bool force = false;
    int threads = 1;
    bool batchKernel = true;
};

QString FigureNames()
{
    QStringList names;
    for (const MatchFigureInfo& info : AllMatchFigures()) names << info.name;
    return names.join(", ");
}

// "NAME" or "NAME=MIN:MAX"; false with a message for the user.
bool ParseVary(const QString& text, VaryText& vary, QString& problem)
{
    const qsizetype equals = text.indexOf('=');
    vary.name = (equals < 0 ? text : text.left(equals)).trimmed();
    const auto figure = MatchFigureNamed(vary.name.toStdString());
    if (!figure) {
        problem = "unknown figure '" + vary.name + "' (" + FigureNames() + ")";
        return false;
    }
    vary.figure = *figure;
    if (equals < 0) return true;
    const QStringList parts = text.mid(equals + 1).split(':');
    if (parts.size() != 2) {
        problem = "--vary '" + text + "' is not NAME or NAME=MIN:MAX";
        return false;
    }
    vary.hasRange = true;
    vary.min = parts[0].trimmed();
    vary.max = parts[1].trimmed();
    return true;
}

bool ParseVaries(const QStringList& texts, std::vector<VaryText>& varies, QString& problem)
{
    if (texts.isEmpty()) {
        problem = "needs at least one --vary";
        return false;
    }
    for (const QString& text : texts) {
        VaryText vary;
        if (!ParseVary(text, vary, problem)) return false;
        for (const VaryText& earlier : varies) {
            if (earlier.figure == vary.figure) {
                problem = "--vary " + vary.name + " is given twice";
                return false;
            }
        }
        varies.push_back(vary);
    }
    return true;
}

// "SPEED,POWER,TORQUE": the pull's columns by name; any may be left empty.
bool ParseColumns(const QString& text, PullReadOptions& pull)
{
    const QStringList parts = text.split(',');
    if (parts.size() != 3) return false;
    pull.speedColumn = parts[0].trimmed().toStdString();
    pull.powerColumn = parts[1].trimmed().toStdString();
    pull.torqueColumn = parts[2].trimmed().toStdString();
    return true;
}

void AddMatchOptions(CommandLine& line)
{
    QCommandLineParser& parser = line.Parser();
    parser.addOption(QCommandLineOption("pull", "The measured pull: CSV or text.", "PULL.csv"));
    parser.addOption(QCommandLineOption(
        "vary",
        "A figure to free: bore, stroke, compression, ivo, ivc, evo, evc, int-lift, exh-lift,\n"
        "induction, intake-valve or exhaust-valve, over MIN to MAX in the units the engine is\n"
        "shown in; without a range, over a band around today's value.",
        "NAME[=MIN:MAX]"));
    parser.addOption(QCommandLineOption({"o", "output"}, "The matched engine file to write.", "file"));
    AddForceOption(line);
    parser.addOption(QCommandLineOption({"f", "format"}, "table or json.", "format", "table"));
    parser.addOption(QCommandLineOption(
        "power-unit", "The unit of a power column whose header names none: hp (default), kW or PS.", "unit"));
    parser.addOption(QCommandLineOption(
        "torque-unit", "The unit of a torque column whose header names none: lb-ft (default) or Nm.",
        "unit"));
    parser.addOption(
        QCommandLineOption("columns",
                           "The pull's speed, power and torque columns by their header names, when they\n"
                           "have other names; any may be left empty, e.g. 'Drehzahl,Leistung,'.",
                           "S,P,T"));
    parser.addOption(QCommandLineOption("threads", "Threads that simulate (default: every core).", "N"));
    parser.addOption(
        QCommandLineOption("no-batch",
                           "Simulate one engine at a time instead of several side by side in SIMD lanes "
                           "(the same results, more slowly; for comparison)."));
    line.AllowRepeated("vary");
    parser.addPositionalArgument("ENGINE.trq", "The engine to match.");
}

bool ParseMatchOptions(CommandLine& line, const QStringList& arguments, QTextStream& out, QTextStream& err,
                       MatchOptions& options, int& status)
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
    options.pullFile = parser.value("pull");
    if (options.pullFile.isEmpty()) return fail("needs --pull PULL.csv");
    options.output = parser.value("output");
    if (options.output.isEmpty()) return fail("needs -o MATCHED.trq");
    QString problem;
    if (!ParseVaries(parser.values("vary"), options.varies, problem)) return fail(problem);
    const QString format = parser.value("format");
    if (format != "table" && format != "json") return fail("unknown format '" + format + "' (table or json)");
    options.json = format == "json";
    options.force = parser.isSet("force");
    if (parser.isSet("power-unit") &&
        !ParsePullPowerUnit(parser.value("power-unit").toStdString(), options.pull.powerUnit)) {
        return fail("unknown power unit '" + parser.value("power-unit") + "' (hp, kW or PS)");
    }
    if (parser.isSet("torque-unit") &&
        !ParsePullTorqueUnit(parser.value("torque-unit").toStdString(), options.pull.torqueUnit)) {
        return fail("unknown torque unit '" + parser.value("torque-unit") + "' (lb-ft or Nm)");
    }
    if (parser.isSet("columns") && !ParseColumns(parser.value("columns"), options.pull)) {
        return fail("--columns takes SPEED,POWER,TORQUE");
    }
    if (!ParseStudyThreads(parser, options.threads)) return fail("--threads takes 1 to 256");
    options.batchKernel = !parser.isSet("no-batch");
    return true;
}

// ---------------------------------------------------------------- the ranges

bool ParseShownNumber(const QString& text, double& value)
{
    bool ok = false;
    value = text.toDouble(&ok);
    return ok && std::isfinite(value);
}

// The ranges in English units: given (in the engine's units) or the default band.
bool BuildRanges(const MatchOptions& options, const CTorqDoc& engine, MatchSetup& setup, QString& problem)
{
    for (const VaryText& vary : options.varies) {
        if (!vary.hasRange) {
            setup.ranges.push_back(DefaultRange(engine, vary.figure));
            continue;
        }
        double min = 0.0;
        double max = 0.0;
        if (!ParseShownNumber(vary.min, min) || !ParseShownNumber(vary.max, max)) {
            problem = "--vary " + vary.name + ": '" + vary.min + ":" + vary.max + "' is not MIN:MAX";
            return false;
        }
        setup.ranges.push_back({vary.figure, ToEnglishUnits(engine, vary.figure, min),
                                ToEnglishUnits(engine, vary.figure, max)});
    }
    problem = QString::fromStdString(CheckMatchSetup(engine, setup));
    return problem.isEmpty();
}

// ---------------------------------------------------------------- running

bool ErrorStreamIsTerminal(const QTextStream& err)
{
    const auto* file = qobject_cast<const QFileDevice*>(err.device());
    return file != nullptr && file->handle() == STDERR_FILENO && isatty(STDERR_FILENO) == 1;
}

MatchResult RunMatch(const CTorqDoc& engine, const DynoPull& pull, const MatchSetup& setup,
                     const MatchOptions& options, QTextStream& err)
{
    StudyRunner runner(options.threads);
    runner.SetBatchKernel(options.batchKernel);
    MatchProgressCallback progress;
    if (ErrorStreamIsTerminal(err)) {
        progress = [&err](const MatchProgress& at) {
            err << "\rMatching: " << int(at.fraction * 100.0) << " %, " << at.testsRun << " engines, rms "
                << QString::number(at.bestRmsPercent, 'f', 2) << " % of peak   " << Qt::flush;
            return true;
        };
    }
    MatchResult result = MatchToPull(engine, pull, setup, runner, progress);
    if (progress) err << "\n" << Qt::flush;
    return result;
}

// ---------------------------------------------------------------- printing

// The shortest text that gives back the number exactly.
QString ExactText(double value)
{
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return QString::fromLatin1(text, int(end - text));
}

QString ExactText(float value)
{
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return QString::fromLatin1(text, int(end - text));
}

// A firm range's end: interpolated, so six significant digits say all it knows.
QString FirmText(double value)
{
    return QString::fromStdString(FormatC("%.6g", value));
}

// A figure's value as the engine shows it: its format and unit.
QString Shown(const CTorqDoc& engine, MatchFigure figure, double english)
{
    const CFloatPtSpec& spec = FigureParameter(engine, figure);
    const double shown = ToShownUnits(engine, figure, english);
    return QString::fromStdString(FormatC(FindUnitInfo(spec.GetUnitCode())->format, shown));
}

QString UnitLabel(const CTorqDoc& engine, MatchFigure figure)
{
    return QString::fromStdString(TrimBlanks(FigureParameter(engine, figure).GetUnitsLabel()));
}

QString RmsText(bool has, double value)
{
    return has ? QString::number(value, 'f', 2) : QString("-");
}

QString FormatTable(const MatchResult& result, const CTorqDoc& base, const CTorqDoc& matched,
                    const MatchOptions& options)
{
    const PullComparison& after = result.after;
    QString text = QString("Match of %1 to %2: %3 engine speeds covered\n\n")
                       .arg(options.engineFile, options.pullFile)
                       .arg(after.covered);
    text += QString("%1%2%3%4%5\n")
                .arg("Figure", -15)
                .arg("Range", -24)
                .arg("Before", 10)
                .arg("After", 10)
                .arg("   Firm range");
    for (const MatchedFigure& figure : result.figures) {
        const MatchFigure which = figure.range.figure;
        const QString unit = UnitLabel(base, which);
        const QString range = Shown(base, which, figure.range.min) + " - " +
                              Shown(base, which, figure.range.max) + (unit.isEmpty() ? "" : " " + unit);
        const QString firm = result.firmRangesKnown ? Shown(base, which, figure.firmFrom) + " - " +
                                                          Shown(base, which, figure.firmTo)
                                                    : QString("not worked out");
        text += QString("%1%2%3%4   %5\n")
                    .arg(FigureInfo(which).name, -15)
                    .arg(range, -24)
                    .arg(QString::fromStdString(FigureParameter(base, which).GetText()), 10)
                    .arg(QString::fromStdString(FigureParameter(matched, which).GetText()), 10)
                    .arg(firm);
    }
    for (auto [i, j] : result.tradeOffs) {
        text += QString("\n%1 and %2 trade off: the pull fixes them only together.")
                    .arg(FigureInfo(result.figures[i].range.figure).name,
                         FigureInfo(result.figures[j].range.figure).name);
    }
    text += result.tradeOffs.empty() ? "\n" : "\n\n";
    text += QString("%1%2%3\n").arg("", -24).arg("Before", 10).arg("After", 10);
    text += QString("%1%2%3\n")
                .arg("RMS power (hp)", -24)
                .arg(RmsText(result.before.hasPower && result.beforeRan, result.before.rmsPowerHp), 10)
                .arg(RmsText(after.hasPower && result.afterRan, after.rmsPowerHp), 10);
    text += QString("%1%2%3\n")
                .arg("RMS torque (ft-lbs)", -24)
                .arg(RmsText(result.before.hasTorque && result.beforeRan, result.before.rmsTorqueLbFt), 10)
                .arg(RmsText(after.hasTorque && result.afterRan, after.rmsTorqueLbFt), 10);
    text += QString("%1%2%3\n")
                .arg("RMS (% of peak)", -24)
                .arg(RmsText(result.beforeRan, result.before.rmsPercent), 10)
                .arg(RmsText(result.afterRan, after.rmsPercent), 10);
    text += QString("\nTests run: %1\n").arg(result.testsRun);
    for (const std::string& note : result.notes) text += QString::fromStdString(note) + "\n";
    return text;
}

QString JsonString(const QString& text)
{
    QString escaped;
    for (const QChar c : text) {
        if (c == '"' || c == '\\') {
            escaped += '\\';
            escaped += c;
        } else if (c.unicode() < 0x20) {
            escaped += QString("\\u%1").arg(c.unicode(), 4, 16, QChar('0'));
        } else {
            escaped += c;
        }
    }
    return '"' + escaped + '"';
}

QString JsonRms(bool has, double value)
{
    return has ? ExactText(value) : QString("null");
}

// Written by hand to keep the keys in their documented order; values in the
// engine's units, the matched ones exactly as the saved engine holds them,
// the rms errors (hp, ft-lbs) with every digit.
QString FormatJson(const MatchResult& result, const CTorqDoc& base, const CTorqDoc& matched)
{
    QStringList parameters;
    for (const MatchedFigure& figure : result.figures) {
        const MatchFigure which = figure.range.figure;
        const QString firmFrom =
            result.firmRangesKnown ? FirmText(ToShownUnits(base, which, figure.firmFrom)) : "null";
        const QString firmTo =
            result.firmRangesKnown ? FirmText(ToShownUnits(base, which, figure.firmTo)) : "null";
        parameters << QString("\"%1\": {\"from\": %2, \"to\": %3, \"firm_from\": %4, \"firm_to\": %5}")
                          .arg(FigureInfo(which).name, ExactText(FigureParameter(base, which).GetValue()),
                               ExactText(FigureParameter(matched, which).GetValue()), firmFrom, firmTo);
    }
    QStringList tradeOffs;
    for (auto [i, j] : result.tradeOffs) {
        tradeOffs << QString("[\"%1\", \"%2\"]")
                         .arg(FigureInfo(result.figures[i].range.figure).name,
                              FigureInfo(result.figures[j].range.figure).name);
    }
    QStringList notes;
    for (const std::string& note : result.notes) notes << JsonString(QString::fromStdString(note));
    const PullComparison& before = result.before;
    const PullComparison& after = result.after;
    return QString(
               "{\"points\": %1, \"parameters\": {%2}, \"rms_power_before\": %3, \"rms_power_after\": %4, "
               "\"rms_torque_before\": %5, \"rms_torque_after\": %6, \"tests_run\": %7, "
               "\"rms_percent_before\": "
               "%8, \"rms_percent_after\": %9, \"trade_offs\": [%10], \"stopped\": %11, \"notes\": [%12]}\n")
        .arg(after.covered)
        .arg(parameters.join(", "))
        .arg(JsonRms(before.hasPower && result.beforeRan, before.rmsPowerHp),
             JsonRms(after.hasPower && result.afterRan, after.rmsPowerHp),
             JsonRms(before.hasTorque && result.beforeRan, before.rmsTorqueLbFt),
             JsonRms(after.hasTorque && result.afterRan, after.rmsTorqueLbFt))
        .arg(result.testsRun)
        .arg(JsonRms(result.beforeRan, before.rmsPercent), JsonRms(result.afterRan, after.rmsPercent),
             tradeOffs.join(", "), result.stopped ? "true" : "false", notes.join(", "));
}

}  // namespace

int MatchCommand(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    CommandLine line("match", "[options] ENGINE.trq --pull PULL.csv --vary NAME[=MIN:MAX] -o MATCHED.trq",
                     kDescription);
    AddMatchOptions(line);
    MatchOptions options;
    int status = kExitOk;
    if (!ParseMatchOptions(line, arguments, out, err, options, status)) return status;

    // Every target checked before anything runs: never the engine or the pull read.
    FileTargets targets(options.force);
    targets.AddInput(LocalPath(options.engineFile));
    targets.AddInput(LocalPath(options.pullFile));
    const QString refusal = targets.Check(LocalPath(options.output));
    if (!refusal.isEmpty()) return line.Error(err, refusal);

    CliPresenter presenter(err);
    CTorqDoc engine;
    if (!OpenEngine(engine, options.engineFile)) return presenter.FailureExitCode();
    ErrorCode code = 0;
    if (!engine.Validate(code)) {
        ShowErrorMessage(code);
        return presenter.FailureExitCode();
    }
    MatchSetup setup;
    QString problem;
    if (!BuildRanges(options, engine, setup, problem)) return line.UsageError(err, problem);

    const PullReading reading = ReadDynoPullFile(LocalPath(options.pullFile), options.pull);
    if (!reading.ok) {
        return line.Error(err, "'" + options.pullFile + "': " + QString::fromStdString(reading.error));
    }
    for (const std::string& note : reading.pull.notes) {
        err << kProgramName << " match: '" << options.pullFile << "': " << QString::fromStdString(note)
            << Qt::endl;
    }
    const MatchResult result = RunMatch(engine, reading.pull, setup, options, err);
    if (!result.afterRan) return line.Error(err, "no engine inside the ranges runs; nothing was written");
    CTorqDoc matched;
    MakeMatchedEngine(engine, result, matched);
    if (!RunEngine(matched) || !SaveEngineDocument(matched, LocalPath(options.output))) {
        return presenter.FailureExitCode();
    }
    if (options.json) {
        out << FormatJson(result, engine, matched);
    } else {
        out << FormatTable(result, engine, matched, options);
        PrintWrote(out, options.output);
    }
    out.flush();
    return kExitOk;
}

}  // namespace cli
