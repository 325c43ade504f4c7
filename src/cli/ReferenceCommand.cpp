// torqwell-cli reference [--format table|json|markdown] [--library DIR]

#include "CliCommands.h"
#include "CliSupport.h"

#include "study/ReferenceLibrary.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <system_error>

namespace cli {

namespace {

constexpr const char* kDescription =
    "Runs every engine of the reference library, engine files built from published\n"
    "engine-dyno tests, and prints the published peak power and torque with their engine\n"
    "speeds beside the model's, the % errors ((model - published) / published), and the\n"
    "median and the worst of the errors' sizes. A figure the source does not give is '-'\n"
    "in the tables and null in JSON. The library's README (examples/reference) says what\n"
    "each engine's build takes from its source and what it assumes.";

namespace fs = std::filesystem;

// Installed: <prefix>/bin/torqwell-cli beside <prefix>/share/torqwell/examples/reference;
// in a build tree, the library of the source it was built from.
QString DefaultLibraryFolder()
{
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    if (!error) {
        const fs::path installed = program.parent_path() / "../share/torqwell/examples/reference";
        if (fs::exists(installed / kReferenceDataFile, error))
            return QString::fromStdString(fs::weakly_canonical(installed, error).string());
    }
#ifdef TORQWELL_SOURCE_DIR
    return QStringLiteral(TORQWELL_SOURCE_DIR "/examples/reference");
#else
    return QStringLiteral("examples/reference");
#endif
}

QString ShortestText(double value)
{
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return QString::fromLatin1(text, int(end - text));
}

QString JsonNumber(const std::optional<double>& value)
{
    return value ? ShortestText(*value) : QString("null");
}

QString JsonText(const std::string& text)
{
    QString escaped;
    for (const QChar c : QString::fromStdString(text)) {
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

// "239 @ 4100", "239 @ -" or "-".
QString Peak(const std::optional<double>& value, const std::optional<double>& rpm)
{
    if (!value) return "-";
    return QString::number(*value, 'f', 0) + " @ " + (rpm ? QString::number(*rpm, 'f', 0) : QString("-"));
}

QString ModelPeak(const ReferenceRun& run, const PeakPoint& peak)
{
    if (!run.ran) return "-";
    return Peak(double(peak.value), double(peak.rpm));
}

QString Percent(const std::optional<double>& value)
{
    return value ? QString::number(*value, 'f', 1) : QString("-");
}

QString FormatTable(const ReferenceLibrary& library, const ReferenceReport& report)
{
    QString text = QString("%1%2%3%4%5%6%7\n")
                       .arg("Engine", -46)
                       .arg("Published hp", 14)
                       .arg("Model hp", 14)
                       .arg("Error %", 9)
                       .arg("Published tq", 14)
                       .arg("Model tq", 14)
                       .arg("Error %", 9);
    for (std::size_t i = 0; i < library.engines.size(); ++i) {
        const ReferenceEngine& engine = library.engines[i];
        const ReferenceRun& run = report.runs[i];
        text += QString("%1%2%3%4%5%6%7\n")
                    .arg(QString::fromStdString(engine.name).left(45), -46)
                    .arg(Peak(engine.published.power, engine.published.powerRpm), 14)
                    .arg(ModelPeak(run, run.power), 14)
                    .arg(Percent(run.powerErrorPercent), 9)
                    .arg(Peak(engine.published.torque, engine.published.torqueRpm), 14)
                    .arg(ModelPeak(run, run.torque), 14)
                    .arg(Percent(run.torqueErrorPercent), 9);
    }
    text +=
        QString(
            "\nPeak power within a median %1 % (worst %2 %), peak torque within a median %3 % (worst %4 %)\n")
            .arg(Percent(report.medianPowerErrorPercent), Percent(report.worstPowerErrorPercent),
                 Percent(report.medianTorqueErrorPercent), Percent(report.worstTorqueErrorPercent));
    text += "hp and lb-ft at rpm; the model's peaks are the highest of its 19 speed points, 500 rpm apart.\n";
    return text;
}

// The table of the manual's page, in Markdown, with short headings to fit a page.
QString FormatMarkdown(const ReferenceLibrary& library, const ReferenceReport& report)
{
    QString text =
        "| Engine | Published hp | Model hp | Error | Published lb-ft | Model lb-ft | Error |\n"
        "|---|---:|---:|---:|---:|---:|---:|\n";
    for (std::size_t i = 0; i < library.engines.size(); ++i) {
        const ReferenceEngine& engine = library.engines[i];
        const ReferenceRun& run = report.runs[i];
        text += QString("| %1 | %2 | %3 | %4 | %5 | %6 | %7 |\n")
                    .arg(QString::fromStdString(engine.name))
                    .arg(Peak(engine.published.power, engine.published.powerRpm))
                    .arg(ModelPeak(run, run.power))
                    .arg(Percent(run.powerErrorPercent))
                    .arg(Peak(engine.published.torque, engine.published.torqueRpm))
                    .arg(ModelPeak(run, run.torque))
                    .arg(Percent(run.torqueErrorPercent));
    }
    text +=
        QString(
            "\nPeaks @ rpm; errors in %. Peak power within a median %1 % (worst %2 %); peak torque within a "
            "median %3 % (worst %4 %).\n")
            .arg(Percent(report.medianPowerErrorPercent), Percent(report.worstPowerErrorPercent),
                 Percent(report.medianTorqueErrorPercent), Percent(report.worstTorqueErrorPercent));
    return text;
}

QString JsonPeaks(const std::optional<double>& power, const std::optional<double>& powerRpm,
                  const std::optional<double>& torque, const std::optional<double>& torqueRpm)
{
    return QString("{\"power\": %1, \"power_rpm\": %2, \"torque\": %3, \"torque_rpm\": %4}")
        .arg(JsonNumber(power), JsonNumber(powerRpm), JsonNumber(torque), JsonNumber(torqueRpm));
}

// Written by hand to keep the keys in their documented order; the model's
// figures with the 9 digits that give back its floats.
QString FormatJson(const ReferenceLibrary& library, const ReferenceReport& report)
{
    QStringList engines;
    for (std::size_t i = 0; i < library.engines.size(); ++i) {
        const ReferenceEngine& engine = library.engines[i];
        const ReferenceRun& run = report.runs[i];
        const PublishedPeaks& published = engine.published;
        const QString model =
            run.ran ? QString("{\"power\": %1, \"power_rpm\": %2, \"torque\": %3, \"torque_rpm\": %4}")
                          .arg(RoundTripText(run.power.value), RoundTripText(run.power.rpm),
                               RoundTripText(run.torque.value), RoundTripText(run.torque.rpm))
                    : JsonPeaks({}, {}, {}, {});
        engines
            << QString(
                   "{\"name\": %1, \"file\": %2, \"published\": %3, \"model\": %4, \"power_error_pct\": %5, "
                   "\"torque_error_pct\": %6}")
                   .arg(JsonText(engine.name), JsonText("examples/reference/" + engine.file),
                        JsonPeaks(published.power, published.powerRpm, published.torque, published.torqueRpm),
                        model, JsonNumber(run.powerErrorPercent), JsonNumber(run.torqueErrorPercent));
    }
    return QString(
               "{\"engines\": [%1], \"median_power_error_pct\": %2, \"worst_power_error_pct\": %3, "
               "\"median_torque_error_pct\": %4, \"worst_torque_error_pct\": %5}\n")
        .arg(engines.join(", "), JsonNumber(report.medianPowerErrorPercent),
             JsonNumber(report.worstPowerErrorPercent), JsonNumber(report.medianTorqueErrorPercent),
             JsonNumber(report.worstTorqueErrorPercent));
}

}  // namespace

int ReferenceCommand(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    CommandLine line("reference", "[options]", kDescription);
    line.Parser().addOption(
        QCommandLineOption({"f", "format"}, "table, json or markdown (the table of the user manual's page).",
                           "format", "table"));
    line.Parser().addOption(QCommandLineOption(
        "library", "The library's folder (default: the installed examples/reference).", "DIR"));
    int status = kExitOk;
    if (!line.Parse(arguments, out, err, status)) return status;
    if (!line.Parser().positionalArguments().isEmpty()) return line.UsageError(err, "takes no arguments");
    const QString format = line.Parser().value("format");
    if (format != "table" && format != "json" && format != "markdown") {
        return line.UsageError(err, "unknown format '" + format + "' (table, json or markdown)");
    }
    const QString folder =
        line.Parser().isSet("library") ? line.Parser().value("library") : DefaultLibraryFolder();

    CliPresenter presenter(err);
    ReferenceLibrary library;
    std::string error;
    if (!LoadReferenceLibrary(LocalPath(folder), library, error)) {
        return line.Error(err, QString::fromStdString(error));
    }
    const ReferenceReport report = RunReferenceLibrary(library);
    if (format == "json") {
        out << FormatJson(library, report);
    } else if (format == "markdown") {
        out << FormatMarkdown(library, report);
    } else {
        out << FormatTable(library, report);
    }
    out.flush();
    const bool allRan =
        std::all_of(report.runs.begin(), report.runs.end(), [](const ReferenceRun& run) { return run.ran; });
    return allRan ? kExitOk : presenter.FailureExitCode();
}

}  // namespace cli
