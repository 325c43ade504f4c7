// torqwell-cli sensitivity ENGINE.trq [--criterion power|torque|average-power] [--band MIN-MAX]
//                          [--threads N] [-f table|json|csv]

#include "CliCommands.h"
#include "CliSupport.h"
#include "StudyOptions.h"

#include "model/TorqDoc.h"
#include "study/Sensitivity.h"

namespace cli {

namespace {

constexpr const char* kDescription =
    "What to change next: runs the engine with one change at a time and lists the changes by\n"
    "their gain in a score, the biggest first. Every number of the engine form that you set\n"
    "goes one step down and one step up inside its range (0.010 in of bore, stroke and lift,\n"
    "0.020 in of valve diameter, 0.25 of compression, 50 cfm of induction, 2 degrees of cam\n"
    "timing and advance, ...), and every choice one place up and down its menu. Numbers the\n"
    "form calculates itself (automatic valve sizes and lifts) or does not offer for this\n"
    "engine are left alone. Parameters are named as iterate --sweep and new's options name\n"
    "them; numbers are in the units the engine is shown in. Equal gains keep the order of\n"
    "the form. A change whose engine does not run is listed apart with its message.";

QString ValueJson(const SensitivityChange& change, bool to)
{
    if (change.isChoice) return JsonText(QString::fromStdString(to ? change.toText : change.fromText));
    return RoundTripText(to ? change.to : change.from);
}

QString ValueCsv(const SensitivityChange& change, bool to)
{
    if (change.isChoice) return CsvField(QString::fromStdString(to ? change.toText : change.fromText));
    return RoundTripText(to ? change.to : change.from);
}

QString FormatJson(const Sensitivity& study, const SensitivityResult& result, const StudyOptions& options)
{
    QString text = QString("{\"criterion\": \"%1\", \"band\": [%2, %3], \"baseline\": {%4}, \"changes\": [")
                       .arg(CriterionName(options.criterion), RoundTripText(options.band.minRpm),
                            RoundTripText(options.band.maxRpm), FiguresJson(result.baseline));
    const auto change = [&](const SensitivityRow& row) {
        const SensitivityChange& c = study.Changes()[row.change];
        return QString("\"parameter\": \"%1\", \"from\": %2, \"to\": %3")
            .arg(QString::fromStdString(c.parameter), ValueJson(c, false), ValueJson(c, true));
    };
    for (std::size_t k = 0; k < result.rows.size(); ++k) {
        const SensitivityRow& row = result.rows[k];
        text += QString("%1\n  {%2, \"score\": %3, \"gain\": %4, \"gain_percent\": %5}")
                    .arg(k == 0 ? "" : ",", change(row), RoundTripText(row.figures.score),
                         RoundTripText(row.gain.absolute), RoundTripText(row.gain.percent));
    }
    text += "], \"failures\": [";
    for (std::size_t k = 0; k < result.failures.size(); ++k) {
        const SensitivityRow& row = result.failures[k];
        text +=
            QString("%1\n  {%2, \"message\": %3}")
                .arg(k == 0 ? "" : ",", change(row), JsonText(QString::fromStdString(row.figures.failure)));
    }
    return text + "]}\n";
}

QString FormatCsv(const Sensitivity& study, const SensitivityResult& result)
{
    QString text = "parameter,from,to,score,gain,gain_percent,message\n";
    const auto line = [&](const SensitivityRow& row, bool ran) {
        const SensitivityChange& c = study.Changes()[row.change];
        QStringList fields{QString::fromStdString(c.parameter), ValueCsv(c, false), ValueCsv(c, true)};
        if (ran) {
            fields << RoundTripText(row.figures.score) << RoundTripText(row.gain.absolute)
                   << RoundTripText(row.gain.percent) << "";
        } else {
            fields << ""
                   << ""
                   << "" << CsvField(QString::fromStdString(row.figures.failure));
        }
        text += fields.join(',') + "\n";
    };
    for (const SensitivityRow& row : result.rows) line(row, true);
    for (const SensitivityRow& row : result.failures) line(row, false);
    return text;
}

QString FormatTable(const Sensitivity& study, const SensitivityResult& result, const StudyOptions& options)
{
    const QString unit = CriterionUnit(options.criterion);
    QString text = QString("What to change next on %1: %2 changes, %3 failed\n")
                       .arg(options.engineFile)
                       .arg(study.Changes().size())
                       .arg(result.failures.size());
    text += QString("Score: %1; the engine as it is: %2 %3\n\n")
                .arg(CriterionText(options), QString::number(double(result.baseline.score), 'f', 1), unit);
    text += QString("%1  %2  %3  %4  %5  %6\n")
                .arg("Parameter", -21)
                .arg("From", -38)
                .arg("To", -38)
                .arg("Score " + unit, 12)
                .arg("Gain", 8)
                .arg("Gain %", 7);
    const auto line = [&](const SensitivityRow& row) {
        const SensitivityChange& c = study.Changes()[row.change];
        return QString("%1  %2  %3  ")
            .arg(QString::fromStdString(c.parameter), -21)
            .arg(QString::fromStdString(c.fromText), -38)
            .arg(QString::fromStdString(c.toText), -38);
    };
    for (const SensitivityRow& row : result.rows) {
        text += line(row) + QString("%1  %2  %3\n")
                                .arg(QString::number(double(row.figures.score), 'f', 1), 12)
                                .arg(QString::number(double(row.gain.absolute), 'f', 1), 8)
                                .arg(QString::number(double(row.gain.percent), 'f', 1), 7);
    }
    if (!result.failures.empty()) text += QString("\nFailed (%1):\n").arg(result.failures.size());
    for (const SensitivityRow& row : result.failures)
        text += line(row) + QString::fromStdString(row.figures.failure) + "\n";
    return text;
}

}  // namespace

int SensitivityCommand(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    CommandLine line("sensitivity", "ENGINE.trq [options]", kDescription);
    AddStudyOptions(line);
    int status = kExitOk;
    if (!line.Parse(arguments, out, err, status)) return status;
    StudyOptions options;
    if (!ParseStudyOptions(line, err, options, status)) return status;

    CliPresenter presenter(err);
    CTorqDoc base;
    if (!OpenEngine(base, options.engineFile)) return presenter.FailureExitCode();
    Sensitivity study(base, options.criterion, options.band);
    if (!RunStudyBaseline(line, err, study, status)) return status;
    study.RunAll(StudyRunner(options.threads));
    const SensitivityResult result = study.Result();
    switch (options.format) {
        case StudyFormat::Table:
            out << FormatTable(study, result, options);
            break;
        case StudyFormat::Json:
            out << FormatJson(study, result, options);
            break;
        case StudyFormat::Csv:
            out << FormatCsv(study, result);
            break;
    }
    out.flush();
    return kExitOk;
}

}  // namespace cli
