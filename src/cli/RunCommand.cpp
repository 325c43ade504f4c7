// torqwell-cli run ENGINE.trq [--format table|csv|json]

#include "CliCommands.h"
#include "CliSupport.h"
#include "ResultFormats.h"

#include "model/TorqDoc.h"

namespace cli {

int RunCommand(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    CommandLine line(
        "run", "[options] ENGINE.trq",
        "Opens an engine file as the desktop program does, runs the simulation and prints\n"
        "the 19 result points from 2000 to 11000 rpm: power (hp), torque (ft-lbs), intake\n"
        "manifold pressure (psi absolute), volumetric efficiency (%), IMEP, BMEP and FMEP (psi).\n"
        "csv and json print every value with 9 significant digits, which give back the\n"
        "model's 32-bit floats exactly.");
    line.Parser().addOption(QCommandLineOption(
        {"f", "format"}, "table (the desktop program's results table), csv or json.", "format", "table"));
    line.Parser().addPositionalArgument("ENGINE.trq", "The engine file to run.");
    int status = kExitOk;
    if (!line.Parse(arguments, out, err, status)) return status;

    const QStringList files = line.Parser().positionalArguments();
    if (files.size() != 1) return line.UsageError(err, "expects one engine file");
    const QString format = line.Parser().value("format");
    if (format != "table" && format != "csv" && format != "json") {
        return line.UsageError(err, "unknown format '" + format + "' (table, csv or json)");
    }

    CliPresenter presenter(err);
    CTorqDoc doc;
    if (!OpenEngine(doc, files.front()) || !RunEngine(doc)) return presenter.FailureExitCode();
    if (format == "table") {
        out << FormatResultsTable(doc);
    } else if (format == "csv") {
        out << FormatResultsCsv(doc);
    } else {
        out << FormatResultsJson(doc, files.front());
    }
    out.flush();
    return kExitOk;
}

}  // namespace cli
