#include "CliSupport.h"

#include "base/Util.h"
#include "model/EngineFile.h"
#include "model/TorqDoc.h"

#include <QFileDevice>

#include <filesystem>
#include <system_error>

namespace cli {

int ExitCodeForMessage(int code)
{
    if ((code >= Msg::FileOpen && code <= Msg::CamFileVersion) || code == Msg::ExportDosNameTaken)
        return kExitUsage;
    return kExitEngine;
}

// ---------------------------------------------------------------- presenter

CliPresenter::CliPresenter(QTextStream& err) : m_err(err), m_previous(InstallMessagePresenter(this)) {}

CliPresenter::~CliPresenter()
{
    InstallMessagePresenter(m_previous);
}

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
    for (const QString& option : m_parser.optionNames()) {
        if (m_repeatable.contains(option) || m_parser.values(option).size() <= 1) continue;
        exitCode = UsageError(err, (option.size() == 1 ? "-" : "--") + option + " is given more than once");
        return false;
    }
    return true;
}

int CommandLine::UsageError(QTextStream& err, const QString& text) const
{
    Error(err, text);
    err << "Try '" << kProgramName << " " << m_name << " --help'." << Qt::endl;
    return kExitUsage;
}

int CommandLine::Error(QTextStream& err, const QString& text) const
{
    err << kProgramName << " " << m_name << ": " << text << Qt::endl;
    return kExitUsage;
}

// ---------------------------------------------------------------- names as bytes

namespace {
constexpr char16_t kEscapedByteBase = 0xDC00;  // U+DC80 to U+DCFF stand for the bytes 0x80 to 0xFF
}  // namespace

QString ArgumentText(std::string_view bytes)
{
    QString text;
    std::size_t runStart = 0;
    const auto takeRun = [&](std::size_t end) {
        text += QString::fromUtf8(bytes.data() + runStart, qsizetype(end - runStart));
    };
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t length = CharacterLength(bytes, at);
        const auto byte = static_cast<unsigned char>(bytes[at]);
        if (length == 1 && byte >= 0x80) {
            takeRun(at);
            text += QChar(char16_t(kEscapedByteBase + byte));
            runStart = at + 1;
        }
        at += length;
    }
    takeRun(bytes.size());
    return text;
}

std::string LocalPath(const QString& path)
{
    std::string bytes;
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char16_t unit = path[i].unicode();
        const bool paired = i > 0 && path[i - 1].isHighSurrogate();
        if (unit < kEscapedByteBase + 0x80 || unit > kEscapedByteBase + 0xFF || paired) continue;
        bytes += path.mid(runStart, i - runStart).toStdString();
        bytes += static_cast<char>(unit - kEscapedByteBase);
        runStart = i + 1;
    }
    bytes += path.mid(runStart).toStdString();
    return bytes;
}

void PrintWrote(QTextStream& out, const QString& path, const QString& rest)
{
    out << "Wrote ";
    // A file's own stream takes the name's bytes; a text stream (the tests') takes the text.
    auto* file = qobject_cast<QFileDevice*>(out.device());
    if (file == nullptr) {
        out << path;
    } else {
        out.flush();
        const std::string bytes = LocalPath(path);
        // After a failed write the stream keeps its status and the file its error text.
        const bool failed =
            out.status() == QTextStream::Ok &&
            (file->write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size()) || !file->flush());
        if (failed) out.setStatus(QTextStream::WriteFailed);
    }
    out << rest << Qt::endl;
}

// ---------------------------------------------------------------- engines and files

bool OpenEngine(CTorqDoc& doc, const QString& path)
{
    return OpenEngineDocument(doc, LocalPath(path));
}

bool RunEngine(CTorqDoc& doc)
{
    return doc.RunSimulation(true, true);
}

QString RoundTripText(float value)
{
    return QString::fromStdString(FormatC("%.9g", double(value)));
}

ExportTarget ResolveExportTarget(const QString& output, const QString& proposedName)
{
    if (output.isEmpty()) return {".", proposedName};
    std::error_code ignored;
    if (output.endsWith('/') || std::filesystem::is_directory(LocalPath(output), ignored)) {
        return {output, proposedName};
    }
    const qsizetype slash = output.lastIndexOf('/');
    if (slash < 0) return {".", output};
    return {slash == 0 ? QString("/") : output.left(slash), output.mid(slash + 1)};
}

}  // namespace cli
