#include "CliSupport.h"

#include "base/Util.h"
#include "model/EngineFile.h"
#include "model/TorqDoc.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace cli {

int ExitCodeForMessage(int code)
{
    if ((code >= 43 && code <= 50) || code == 78) return kExitUsage;
    return kExitEngine;
}

// ---------------------------------------------------------------- presenter

CliPresenter::CliPresenter(QTextStream& err) : m_err(err), m_previous(InstallMessagePresenter(this)) {}

CliPresenter::~CliPresenter() { InstallMessagePresenter(m_previous); }

void CliPresenter::Print(const ErrorMessage& message)
{
    QString text = QString::fromStdString(message.text);
    while (text.endsWith('\n')) text.chop(1);
    m_err << QString::fromStdString(message.title) << ": " << text << Qt::endl;
}

void CliPresenter::ShowMessage(MessageKind kind, int code, const ErrorMessage& message)
{
    if (kind == MessageKind::Note) return;
    if (kind == MessageKind::Error) {
        if (!m_shownErrors.insert(code).second) return;
        if (m_firstError == 0) m_firstError = code;
    }
    Print(message);
}

WarningAnswer CliPresenter::AskWarning(int code, const ErrorMessage& message)
{
    Print(message);
    const bool ok = m_okWarnings.count(code) != 0;
    m_err << (ok ? "Answered OK." : "Answered Cancel.") << Qt::endl;
    return ok ? WarningAnswer::Ok : WarningAnswer::Cancel;
}

int CliPresenter::FailureExitCode() const
{
    return m_firstError != 0 ? ExitCodeForMessage(m_firstError) : kExitEngine;
}

// ---------------------------------------------------------------- command line

CommandLine::CommandLine(const QString& name, const QString& synopsis, const QString& description)
    : m_name(name), m_synopsis(synopsis)
{
    m_parser.setApplicationDescription(description);
    m_parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    m_parser.addOption(QCommandLineOption({"h", "help"}, "Shows this help."));
}

QString CommandLine::HelpText() const
{
    // The parser's own usage line names the executable; ours names the command.
    QString text = m_parser.helpText();
    const qsizetype firstLineEnd = text.indexOf('\n');
    text.remove(0, firstLineEnd + 1);
    return QString("Usage: %1 %2 %3\n").arg(kProgramName, m_name, m_synopsis) + text;
}

bool CommandLine::Parse(const QStringList& arguments, QTextStream& out, QTextStream& err, int& exitCode)
{
    if (!m_parser.parse(QStringList{QString(kProgramName) + " " + m_name} + arguments)) {
        exitCode = UsageError(err, m_parser.errorText());
        return false;
    }
    if (m_parser.isSet("help")) {
        out << HelpText();
        out.flush();
        exitCode = kExitOk;
        return false;
    }
    return true;
}

int CommandLine::UsageError(QTextStream& err, const QString& text) const
{
    err << kProgramName << " " << m_name << ": " << text << Qt::endl;
    err << "Try '" << kProgramName << " " << m_name << " --help'." << Qt::endl;
    return kExitUsage;
}

// ---------------------------------------------------------------- engines and files

std::string LocalPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

bool OpenEngine(CTorqDoc& doc, const QString& path) { return OpenEngineDocument(doc, LocalPath(path)); }

bool RunEngine(CTorqDoc& doc) { return doc.RunSimulation(true, true); }

QString RoundTripText(float value) { return QString::fromStdString(FormatC("%.9g", double(value))); }

ExportTarget ResolveExportTarget(const QString& output, const QString& proposedName)
{
    if (output.isEmpty()) return {".", proposedName};
    const QFileInfo info(output);
    if (info.isDir() || output.endsWith('/')) return {output, proposedName};
    const QString folder = info.path();
    return {folder.isEmpty() ? QString(".") : folder, info.fileName()};
}

}  // namespace cli
