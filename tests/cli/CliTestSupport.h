#pragma once

#include "CliCommands.h"

#include "ExampleFiles.h"

#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <filesystem>
#include <string>
#include <vector>

#include "TempFile.h"

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

// The commands of a README of the examples: each "torqwell-cli ..." line of a
// sh block with its continuation lines, split as the shell would.
inline std::vector<QStringList> ReadmeCommands(const std::filesystem::path& readme)
{
    std::vector<QStringList> commands;
    const QRegularExpression block("```sh\\n(.*?)```", QRegularExpression::DotMatchesEverythingOption);
    for (const auto& match : block.globalMatch(QString::fromStdString(ReadWholeFile(readme)))) {
        QString text = match.captured(1);
        text.replace("\\\n", " ");
        QStringList words;
        const QRegularExpression word("\"([^\"]*)\"|(\\S+)");
        for (const auto& piece : word.globalMatch(text)) {
            words << (piece.captured(1).isNull() ? piece.captured(2) : piece.captured(1));
        }
        commands.push_back(words);
    }
    return commands;
}
