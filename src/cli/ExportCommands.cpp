// torqwell-cli export-dos ENGINE.trq [-o OUT.trq]
// torqwell-cli export-game ENGINE.trq [-o OUT.gme]

#include "CliCommands.h"
#include "CliSupport.h"
#include "FileTargets.h"

#include "base/Util.h"
#include "model/DosRecordExport.h"
#include "model/ExportSupport.h"
#include "model/GameTextExport.h"
#include "model/TorqDoc.h"

#include <filesystem>

namespace cli {

namespace {

struct ExportKind {
    const char* name;
    const char* extension;
    const char* description;
    bool (*check)(CTorqDoc&);
    std::string (*proposedName)(const CTorqDoc&);
    bool (*write)(CTorqDoc&, const std::string&, const std::string&);
};

// The target's checks: never the engine read, and an existing file only
// with --force. A chosen name that the 8.3 form changes is checked by the
// export itself: when its short form names an existing file, that file was
// never chosen, and the export refuses it with 78 whatever --force says.
QString CheckExportTarget(FileTargets& targets, const std::string& target, const std::string& chosenName,
                          const char* extension)
{
    if (DosFileName(chosenName, extension) != chosenName) return targets.CheckNotRead(target);
    return targets.Check(target);
}

int RunExport(const ExportKind& kind, const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    CommandLine line(kind.name, "[options] ENGINE.trq", kind.description);
    line.Parser().addOption(QCommandLineOption(
        {"o", "output"},
        QString("The file to write. Its name is cut to the DOS 8.3 form (%1); a name that the cut "
                "changes, whose short form names an existing file, is refused (also with --force). "
                "Without -o, or with a folder, the name is the engine's file name in that form, in the "
                "current folder or the folder given. The engine file itself is never written over.")
            .arg(kind.extension),
        "file"));
    AddForceOption(line);
    line.Parser().addPositionalArgument("ENGINE.trq", "The engine file to export.");
    int status = kExitOk;
    if (!line.Parse(arguments, out, err, status)) return status;
    const QStringList files = line.Parser().positionalArguments();
    if (files.size() != 1) return line.UsageError(err, "expects one engine file");

    CliPresenter presenter(err);
    CTorqDoc doc;
    if (!OpenEngine(doc, files.front()) || !kind.check(doc)) return presenter.FailureExitCode();
    const ExportTarget target =
        ResolveExportTarget(line.Parser().value("output"), ArgumentText(kind.proposedName(doc)));
    if (target.fileName.isEmpty()) return line.UsageError(err, "the output needs a file name");
    const std::string folder = LocalPath(target.folder);
    const std::string chosenName = LocalPath(target.fileName);
    const std::string path = ExportTargetPath(folder, chosenName, kind.extension);

    FileTargets targets(line.Parser().isSet("force"));
    targets.AddInput(LocalPath(files.front()));
    const QString refusal = CheckExportTarget(targets, path, chosenName, kind.extension);
    if (!refusal.isEmpty()) return line.Error(err, refusal);
    if (!kind.write(doc, folder, chosenName)) return presenter.FailureExitCode();
    PrintWrote(out, ArgumentText(std::filesystem::path(path).lexically_normal().string()));
    return kExitOk;
}

}  // namespace

int ExportDosCommand(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    static const ExportKind kind = {
        "export-dos",
        ".trq",
        "Exports an engine as the 815-byte engine record of the older DOS programs, with the\n"
        "checks of the desktop program's export: a complete engine with results, English units,\n"
        "no automatic valve sizes or lifts, a 1.5 inHg pressure drop, one of the listed heads\n"
        "with its valve count, and no forced induction.",
        &CheckDosRecordExport,
        &ProposedDosRecordName,
        &ExportDosRecordFile};
    return RunExport(kind, arguments, out, err);
}

int ExportGameCommand(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    static const ExportKind kind = {
        "export-game",
        ".gme",
        "Exports an engine as the racing game's engine file: bore, stroke, cylinders and two\n"
        "blocks of speed, power, torque and BMEP (the first run on plain gasoline when the\n"
        "engine has nitrous). The engine must be complete and have results.",
        &CheckGameTextExport,
        &ProposedGameTextName,
        &ExportGameTextFile};
    return RunExport(kind, arguments, out, err);
}

}  // namespace cli
