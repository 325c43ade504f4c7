#include "CliCommands.h"

#include "CliSupport.h"

#include <QFileDevice>

#include <array>

namespace cli {

namespace {

constexpr std::array<CliCommand, 13> kCommands = {{
    {"run", "Open an engine file, run it and print the 19 result points.", &RunCommand},
    {"new", "Build an engine from component choices and save it as an engine file.", &NewCommand},
    {"export-dos", "Export an engine as the 815-byte record of the older DOS programs.", &ExportDosCommand},
    {"export-game", "Export an engine as the racing game's text file (.gme).", &ExportGameCommand},
    {"convert", "Save an engine file of any readable version as version 3.10 with fresh results.",
     &ConvertCommand},
    {"iterate", "Sweep engine parameters over ranges and list the ten best combinations.", &IterateCommand},
    {"iterate-merge", "Combine the shards of an iterator series run on several machines.",
     &IterateMergeCommand},
    {"calc", "The calculators: compression ratio, airflow rating, cam valve events.", &CalcCommand},
    {"sheet", "Write an engine's one-page dyno sheet as PDF, PNG or SVG (no display needed).", &SheetCommand},
    {"match", "Match an engine to a measured dyno pull by the figures you free.", &MatchCommand},
    {"reference", "Run the reference engines of published dyno tests: published against modelled peaks.",
     &ReferenceCommand},
    {"shootout", "Compare parts: every combination of the choices given, the best by a score.",
     &ShootoutCommand},
    {"sensitivity", "What to change next: each number a step each way, each choice a place.",
     &SensitivityCommand},
}};

void PrintToolHelp(QTextStream& out)
{
    out << "Usage: " << kProgramName << " COMMAND [options] [arguments]\n"
        << "The Torqwell engine dynamometer on the command line.\n\nCommands:\n";
    for (const CliCommand& command : Commands()) {
        out << "  " << QString(command.name).leftJustified(15) << command.summary << "\n";
    }
    out << "\n"
        << "  " << kProgramName << " COMMAND --help   shows the options of a command.\n"
        << "  " << kProgramName << " --version        shows the version.\n\n"
        << "Files: a command never writes over a file it reads, and replaces a file\n"
        << "that exists only when --force is given. Names are taken as their bytes.\n\n"
        << "Exit status: 0 success; 2 bad usage (an option given twice, one the engine\n"
        << "form would not allow, a calculation the desktop program would not apply),\n"
        << "a file that cannot be read or written, a write\n"
        << "refused, or a standard output that cannot be written; 3 an incomplete\n"
        << "engine, a failed simulation, or an engine that an export refuses.\n"
        << "Messages go to the standard error.\n";
    out.flush();
}

// A full disk or a closed file on the standard output fails the command: a
// script must never take an empty results file for a success.
int CheckedOutput(QTextStream& out, QTextStream& err, int status)
{
    out.flush();
    if (out.status() == QTextStream::Ok) return status;
    const auto* file = qobject_cast<const QFileDevice*>(out.device());
    err << kProgramName << ": cannot write the standard output";
    if (file != nullptr) err << ": " << file->errorString();
    err << Qt::endl;
    return status == kExitOk ? kExitUsage : status;
}

}  // namespace

std::span<const CliCommand> Commands()
{
    return kCommands;
}

const CliCommand* FindCommand(const QString& name)
{
    for (const CliCommand& command : Commands()) {
        if (name == command.name) return &command;
    }
    return nullptr;
}

namespace {

// The tool's own options, or the command.
int DispatchTool(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    if (arguments.isEmpty()) {
        PrintToolHelp(err);
        return kExitUsage;
    }
    const QString& first = arguments.front();
    if (first == "-h" || first == "--help" || (first == "help" && arguments.size() == 1)) {
        PrintToolHelp(out);
        return kExitOk;
    }
    if (first == "-v" || first == "--version") {
        out << kProgramName << " " << kProgramVersion << Qt::endl;
        return kExitOk;
    }
    // "help COMMAND" is "COMMAND --help".
    const bool help = first == "help";
    const QString name = help ? arguments[1] : first;
    const CliCommand* command = FindCommand(name);
    if (command == nullptr) {
        err << kProgramName << ": unknown command '" << name << "'" << Qt::endl;
        err << "Try '" << kProgramName << " --help'." << Qt::endl;
        return kExitUsage;
    }
    return command->run(help ? QStringList{"--help"} : arguments.mid(1), out, err);
}

}  // namespace

int RunTool(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    return CheckedOutput(out, err, DispatchTool(arguments, out, err));
}

}  // namespace cli
