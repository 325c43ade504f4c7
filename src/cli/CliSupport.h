#pragma once

#include "base/ErrCode.h"

#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <set>
#include <string>
#include <string_view>

class CTorqDoc;

namespace cli {

// Exit status of every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitUsage = 2;   // bad usage, or a file that cannot be read or written
inline constexpr int kExitEngine = 3;  // an incomplete engine, a failed run, an engine an export refuses

inline constexpr const char* kProgramName = "torqwell-cli";
inline constexpr const char* kProgramVersion = "3.10";

// The exit status for a message of the error-code table: file errors (43 to
// 50) and the export's name collision (78) are the user's files; everything
// else is about the engine.
int ExitCodeForMessage(int code);

// The command line's message presenter, installed for its lifetime. Errors
// are printed to the error stream as "title: text", each code once (a
// repeated run would otherwise repeat its message). Notes, which tell the
// desktop user about a choice already made, are not printed. Warnings are
// printed with the answer given: OK for the codes allowed by AnswerOk,
// Cancel for all others.
class CliPresenter final : public MessagePresenter {
public:
    explicit CliPresenter(QTextStream& err);
    ~CliPresenter() override;
    CliPresenter(const CliPresenter&) = delete;
    CliPresenter& operator=(const CliPresenter&) = delete;

    void AnswerOk(int warningCode) { m_okWarnings.insert(warningCode); }

    void ShowMessage(MessageKind kind, int code, const ErrorMessage& message) override;
    WarningAnswer AskWarning(int code, const ErrorMessage& message) override;

    // The status for a command that failed: from the first error shown, or
    // kExitEngine when the failure was a warning answered Cancel.
    int FailureExitCode() const;

private:
    void Print(const ErrorMessage& message);

    QTextStream& m_err;
    MessagePresenter* m_previous;
    std::set<int> m_okWarnings;
    std::set<int> m_shownErrors;
    int m_firstError = 0;
};

// One command's options and help: QCommandLineParser with the command's own
// usage line, and -h/--help.
class CommandLine {
public:
    // synopsis: what follows "torqwell-cli NAME" in the usage line.
    CommandLine(const QString& name, const QString& synopsis, const QString& description);

    QCommandLineParser& Parser() { return m_parser; }
    QString HelpText() const;

    // An option that may be given more than once (every value counts). Any
    // other option given twice is a usage error: the second would silently
    // win over the first.
    void AllowRepeated(const QString& option) { m_repeatable << option; }

    // Parses the command's arguments. False when the command is done: help
    // was printed (exitCode 0) or the usage was wrong (message printed,
    // exitCode 2).
    bool Parse(const QStringList& arguments, QTextStream& out, QTextStream& err, int& exitCode);

    // Prints "torqwell-cli NAME: text" and the hint to --help; returns 2.
    int UsageError(QTextStream& err, const QString& text) const;
    // Prints "torqwell-cli NAME: text" alone (a refused file, not a misuse); returns 2.
    int Error(QTextStream& err, const QString& text) const;

private:
    QString m_name;
    QString m_synopsis;
    QCommandLineParser m_parser;
    QStringList m_repeatable;
};

// File names pass from the command line to the file system as the bytes they
// were given, also when they are not UTF-8 (a name in another 8-bit
// encoding). ArgumentText decodes an argument for the parser: valid UTF-8 as
// such, every other byte 0x80-0xFF as the lone surrogate U+DC80-U+DCFF, which
// no valid text contains; LocalPath gives back exactly the original bytes.
QString ArgumentText(std::string_view bytes);
std::string LocalPath(const QString& path);

// Prints "Wrote PATH" and the rest of the line, the path in its own bytes.
void PrintWrote(QTextStream& out, const QString& path, const QString& rest = QString());

// Opens an engine file as the desktop program does (Recalculate, and a run
// when the file's Auto Run is on). Messages go to the installed presenter.
bool OpenEngine(CTorqDoc& doc, const QString& path);

// Runs the engine afresh; shows the validation code or 42.
bool RunEngine(CTorqDoc& doc);

// A float with the 9 significant digits that give back any 32-bit float.
QString RoundTripText(float value);

// The folder and the file name an export writes to, from -o: a folder given
// with -o (or no -o at all) takes the proposed name.
struct ExportTarget {
    QString folder;
    QString fileName;
};
ExportTarget ResolveExportTarget(const QString& output, const QString& proposedName);

}  // namespace cli
