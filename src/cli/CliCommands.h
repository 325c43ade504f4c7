#pragma once

#include <QStringList>
#include <QTextStream>

#include <span>

// The commands of torqwell-cli. Each takes the arguments after its name,
// prints its results to out and its messages to err, and returns the exit
// status (cli::kExitOk, kExitUsage or kExitEngine, CliSupport.h).
//
// To add a command: write "int XxxCommand(const QStringList&, QTextStream&,
// QTextStream&)" in a file of its own in src/cli/, declare it below, and add
// one row to the table in CliCommands.cpp. The tool's --help lists it from
// that row, "torqwell-cli help xxx" and "torqwell-cli xxx --help" show its
// own help.

namespace cli {

using CommandFunction = int (*)(const QStringList& arguments, QTextStream& out, QTextStream& err);

struct CliCommand {
    const char* name;
    const char* summary;  // one line for the tool's --help
    CommandFunction run;
};

std::span<const CliCommand> Commands();
const CliCommand* FindCommand(const QString& name);

// The whole tool: arguments without the program name. Dispatches to a
// command or answers --help and --version itself.
int RunTool(const QStringList& arguments, QTextStream& out, QTextStream& err);

int RunCommand(const QStringList& arguments, QTextStream& out, QTextStream& err);
int NewCommand(const QStringList& arguments, QTextStream& out, QTextStream& err);
int ExportDosCommand(const QStringList& arguments, QTextStream& out, QTextStream& err);
int ExportGameCommand(const QStringList& arguments, QTextStream& out, QTextStream& err);
int ConvertCommand(const QStringList& arguments, QTextStream& out, QTextStream& err);
int IterateCommand(const QStringList& arguments, QTextStream& out, QTextStream& err);
int IterateMergeCommand(const QStringList& arguments, QTextStream& out, QTextStream& err);
int CalcCommand(const QStringList& arguments, QTextStream& out, QTextStream& err);
int SheetCommand(const QStringList& arguments, QTextStream& out, QTextStream& err);
int MatchCommand(const QStringList& arguments, QTextStream& out, QTextStream& err);
int ReferenceCommand(const QStringList& arguments, QTextStream& out, QTextStream& err);
int ShootoutCommand(const QStringList& arguments, QTextStream& out, QTextStream& err);
int SensitivityCommand(const QStringList& arguments, QTextStream& out, QTextStream& err);

}  // namespace cli
