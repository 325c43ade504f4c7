// torqwell-cli export-dos ENGINE.trq [-o OUT.trq]
// torqwell-cli export-game ENGINE.trq [-o OUT.gme]

#include "CliCommands.h"
#include "CliSupport.h"

#include "base/Util.h"
#include "model/DosRecordExport.h"
#include "model/GameTextExport.h"
#include "model/TorqDoc.h"

#include <QDir>

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

int RunExport(const ExportKind& kind, const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    CommandLine line(kind.name, "[options] ENGINE.trq", kind.description);
    line.Parser().addOption(QCommandLineOption(
        {"o", "output"},
        QString("The file to write. Its name is cut to the DOS 8.3 form (%1); a name longer than 12 "
                "characters whose short form names an existing file is refused. Without -o, or with a "
                "folder, the name is the engine's file name in that form, in the current folder or the "
                "folder given.")
            .arg(kind.extension),
        "file"));
    line.Parser().addPositionalArgument("ENGINE.trq", "The engine file to export.");
    int status = kExitOk;
    if (!line.Parse(arguments, out, err, status)) return status;
    const QStringList files = line.Parser().positionalArguments();
    if (files.size() != 1) return line.UsageError(err, "expects one engine file");

    CliPresenter presenter(err);
    CTorqDoc doc;
    if (!OpenEngine(doc, files.front()) || !kind.check(doc)) return presenter.FailureExitCode();
    const ExportTarget target =
        ResolveExportTarget(line.Parser().value("output"), QString::fromStdString(kind.proposedName(doc)));
    if (target.fileName.isEmpty()) return line.UsageError(err, "the output needs a file name");
    if (!kind.write(doc, LocalPath(target.folder), LocalPath(target.fileName))) {
        return presenter.FailureExitCode();
    }
    const QString written =
        QDir(target.folder).filePath(QString::fromStdString(DosFileName(LocalPath(target.fileName), kind.extension)));
    out << "Wrote " << QDir::cleanPath(written) << Qt::endl;
    return kExitOk;
}

}  // namespace

int ExportDosCommand(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    static const ExportKind kind = {
        "export-dos", ".trq",
        "Exports an engine as the 815-byte engine record of the older DOS programs, with the\n"
        "checks of the desktop program's export: a complete engine with results, English units,\n"
        "no automatic valve sizes or lifts, a 1.5 inHg pressure drop, one of the listed heads\n"
        "with its valve count, and no forced induction.",
        &CheckDosRecordExport, &ProposedDosRecordName, &ExportDosRecordFile};
    return RunExport(kind, arguments, out, err);
}

int ExportGameCommand(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    static const ExportKind kind = {
        "export-game", ".gme",
        "Exports an engine as the racing game's engine file: bore, stroke, cylinders and two\n"
        "blocks of speed, power, torque and BMEP (the first run on plain gasoline when the\n"
        "engine has nitrous). The engine must be complete and have results.",
        &CheckGameTextExport, &ProposedGameTextName, &ExportGameTextFile};
    return RunExport(kind, arguments, out, err);
}

}  // namespace cli
