// torqwell-cli convert IN.trq -o OUT.trq [--units english|metric] [--allow-no-results] [--force]

#include "CliCommands.h"
#include "CliSupport.h"
#include "FileTargets.h"
#include "HelpRanges.h"

#include "model/EngineFile.h"
#include "model/TorqDoc.h"

namespace cli {

int ConvertCommand(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    CommandLine line(
        "convert", "[options] IN.trq -o OUT.trq",
        QString("Opens an engine file of any readable version (%1 to %2), runs it afresh and\n"
                "saves it as version %2 with its results: how old files are brought up to date.\n"
                "OUT is a new file (or an existing one with --force), never IN itself: the file\n"
                "read stays as it was. OUT appears only once it is complete.")
            .arg(OldestReadableFileVersion(), WrittenFileVersion()));
    line.Parser().addOption(QCommandLineOption({"o", "output"}, "The engine file to write.", "file"));
    AddForceOption(line);
    line.Parser().addOption(
        QCommandLineOption("units", "english or metric: the units the saved engine is shown in.", "system"));
    line.Parser().addOption(QCommandLineOption(
        "allow-no-results",
        "Save an engine the simulation cannot run, without results (warning 204 answered OK)."));
    line.Parser().addPositionalArgument("IN.trq", "The engine file to read.");
    int status = kExitOk;
    if (!line.Parse(arguments, out, err, status)) return status;
    const QStringList files = line.Parser().positionalArguments();
    if (files.size() != 1) return line.UsageError(err, "expects one engine file to read");
    const QString output = line.Parser().value("output");
    if (output.isEmpty()) return line.UsageError(err, "needs -o OUT.trq");
    const QString units = line.Parser().value("units");
    if (!units.isEmpty() && units != "english" && units != "metric") {
        return line.UsageError(err, "unknown units '" + units + "' (english or metric)");
    }
    const bool allowNoResults = line.Parser().isSet("allow-no-results");
    FileTargets targets(line.Parser().isSet("force"));
    targets.AddInput(LocalPath(files.front()));
    const QString refusal = targets.Check(LocalPath(output));
    if (!refusal.isEmpty()) return line.Error(err, refusal);

    CliPresenter presenter(err);
    if (allowNoResults) presenter.AnswerOk(Msg::SaveWithoutResults);
    CTorqDoc doc;
    if (!OpenEngine(doc, files.front())) return presenter.FailureExitCode();
    if (!units.isEmpty()) doc.SetUnitSystem(units == "metric" ? kMetricUnits : kEnglishUnits);
    ErrorCode code = 0;
    if (!doc.Validate(code)) {
        ShowErrorMessage(code);
        return presenter.FailureExitCode();
    }
    if (!RunEngine(doc) && !allowNoResults) return presenter.FailureExitCode();
    if (!SaveEngineDocument(doc, LocalPath(output))) return presenter.FailureExitCode();
    PrintWrote(out, output);
    return kExitOk;
}

}  // namespace cli
