#include "StudyOptions.h"

#include "base/Util.h"
#include "iterator/Iterator.h"
#include "study/StudyRunner.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace cli {

namespace {

// "MIN-MAX" in rpm, both within the 19 engine speeds' span, MIN below MAX.
bool ParseBand(const QString& text, SpeedBand& band)
{
    const QStringList parts = text.split('-');
    if (parts.size() != 2) return false;
    bool minOk = false;
    bool maxOk = false;
    band.minRpm = parts[0].trimmed().toFloat(&minOk);
    band.maxRpm = parts[1].trimmed().toFloat(&maxOk);
    const auto inSpan = [](float rpm) { return rpm >= kLowestBandRpm && rpm <= kHighestBandRpm; };
    return minOk && maxOk && inSpan(band.minRpm) && inSpan(band.maxRpm) && band.minRpm < band.maxRpm;
}

}  // namespace

bool ParseStudyThreads(const QCommandLineParser& parser, int& threads)
{
    threads = StudyRunner(0).GetThreadCount();
    if (!parser.isSet("threads")) return true;
    bool ok = false;
    threads = parser.value("threads").toInt(&ok);
    return ok && threads >= 1 && threads <= 256;
}

void AddStudyOptions(CommandLine& line)
{
    QCommandLineParser& parser = line.Parser();
    parser.addOption(
        QCommandLineOption("criterion", "power (default), torque or average-power.", "criterion", "power"));
    parser.addOption(QCommandLineOption("band",
                                        "The engine speeds scored, rpm within 2000-11000, the lower first.",
                                        "MIN-MAX", "2000-11000"));
    parser.addOption(QCommandLineOption("threads", "Threads that simulate (default: every core).", "N"));
    parser.addOption(QCommandLineOption({"f", "format"}, "table, json or csv.", "format", "table"));
    parser.addPositionalArgument("ENGINE.trq", "The engine to start from.");
}

bool ParseStudyOptions(CommandLine& line, QTextStream& err, StudyOptions& options, int& status)
{
    const QCommandLineParser& parser = line.Parser();
    const auto fail = [&](const QString& text) {
        status = line.UsageError(err, text);
        return false;
    };
    const QStringList files = parser.positionalArguments();
    if (files.size() != 1) return fail("expects one engine file");
    options.engineFile = files.front();
    const QString criterion = parser.value("criterion");
    if (!ParseCriterionName(criterion.toStdString().c_str(), options.criterion)) {
        return fail("unknown criterion '" + criterion + "' (power, torque or average-power)");
    }
    if (!ParseBand(parser.value("band"), options.band)) {
        return fail("--band takes MIN-MAX in rpm within 2000-11000, the lower first");
    }
    const QString format = parser.value("format");
    if (format == "table") {
        options.format = StudyFormat::Table;
    } else if (format == "json") {
        options.format = StudyFormat::Json;
    } else if (format == "csv") {
        options.format = StudyFormat::Csv;
    } else {
        return fail("unknown format '" + format + "' (table, json or csv)");
    }
    if (!ParseStudyThreads(parser, options.threads)) return fail("--threads takes 1 to 256");
    return true;
}

QString CriterionUnit(StudyCriterion criterion)
{
    return criterion == StudyCriterion::PeakTorque ? "ft-lbs" : "hp";
}

QString CriterionText(const StudyOptions& options)
{
    return QString("%1 in %2-%3 rpm")
        .arg(CriterionName(options.criterion), RoundTripText(options.band.minRpm),
             RoundTripText(options.band.maxRpm));
}

QString JsonText(const QString& text)
{
    const QString array = QString::fromUtf8(QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact));
    return array.mid(1, array.size() - 2);
}

QString CsvField(const QString& text)
{
    if (!text.contains(',') && !text.contains('"')) return text;
    QString quoted = text;
    quoted.replace("\"", "\"\"");
    return "\"" + quoted + "\"";
}

QString FiguresJson(const StudyFigures& figures)
{
    return QString(
               "\"score\": %1, \"peak_power\": %2, \"peak_power_rpm\": %3, \"peak_torque\": %4, "
               "\"peak_torque_rpm\": %5")
        .arg(RoundTripText(figures.score), RoundTripText(figures.peakPower.value),
             RoundTripText(figures.peakPower.rpm), RoundTripText(figures.peakTorque.value),
             RoundTripText(figures.peakTorque.rpm));
}

QString PeakText(const PeakPoint& peak)
{
    return QString::fromStdString(FormatC("%.1f @ %.0f", double(peak.value), double(peak.rpm)));
}

}  // namespace cli
