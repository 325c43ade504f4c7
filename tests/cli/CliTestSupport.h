#pragma once

#include "CliCommands.h"

#include "ExampleFiles.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

#include <filesystem>
#include <string>

// What one run of the tool printed and returned.
struct CliResult {
    int status;
    QString out;
    QString err;
};

// Runs the tool in this process, as main does, with the output captured.
inline CliResult RunCli(const QStringList& arguments)
{
    CliResult result{0, {}, {}};
    QTextStream out(&result.out);
    QTextStream err(&result.err);
    result.status = cli::RunTool(arguments, out, err);
    out.flush();
    err.flush();
    return result;
}

inline QString Q(const std::filesystem::path& path)
{
    return QString::fromStdString(path.string());
}

// An example file of the source tree, as an argument of the tool.
inline QString Example(const char* name)
{
    return Q(ExamplesFolder() / name);
}
