// torqwell-cli shootout ENGINE.trq --vary GROUP[=CHOICE,CHOICE...] [--vary ...]
//                       [--criterion power|torque|average-power] [--band MIN-MAX] [--top N]
//                       [--threads N] [-f table|json|csv]

#include "ChoiceLookup.h"
#include "CliCommands.h"
#include "CliSupport.h"
#include "StudyOptions.h"

#include "model/TorqDoc.h"
#include "study/PartsShootout.h"

#include <QFileDevice>

#include <unistd.h>

namespace cli {

namespace {

constexpr const char* kDescription =
    "Compares parts: runs every combination of the choices you give for a few groups of the\n"
    "engine form against the engine, with its other values unchanged, and lists the best by\n"
    "a score in an engine-speed band, with the gain over the engine as it is.\n"
    "\n"
    "Groups: head, manifold, induction, exhaust, cam, lifter, fuel. Choices by name or index\n"
    "as 'torqwell-cli new --list' shows them, separated by commas; 'own' in the cam group is\n"
    "the engine's own cam; the induction group takes flow ratings, cfm[@inHg] (1.5 inHg when\n"
    "not given). A group without choices tries every choice the engine form allows for this\n"
    "engine (induction: the engine's rating and the menu's at its pressure drop).\n"
    "\n"
    "The engine form's rules hold: on the \"Forced Induction\" manifold the blower takes the\n"
    "exhaust over, so its combinations count once, with the engine's own exhaust. Scores:\n"
    "power and torque are the highest point in the band, average-power the mean of the power\n"
    "points in it. Equal scores keep the order of the combinations (the first --vary changes\n"
    "slowest). A combination that does not run is counted and listed apart with its message.";

constexpr int kDefaultTop = 20;

QString Lifter(const QString& value)
{
    const QString lower = value.trimmed().toLower();
    return lower == "hyd" || lower == "hydraulic" ? QString("1") : value;
}

bool ErrorStreamIsTerminal(const QTextStream& err)
{
    const auto* file = qobject_cast<const QFileDevice*>(err.device());
    return file != nullptr && file->handle() == STDERR_FILENO && isatty(STDERR_FILENO) == 1;
}

// Reads one --vary: the group and its choices, a name at a time. Names may
// hold commas ("Wedge/Pocket Porting, Stock Valve Size"): a piece that names
// nothing is joined with the next.
class VaryReader {
public:
    VaryReader(const CTorqDoc& base, QString& problem) : m_base(base), m_problem(problem) {}

    bool Read(const QString& text, PartGroupChoices& choices)
    {
        const qsizetype equals = text.indexOf('=');
        const QString groupName = (equals < 0 ? text : text.left(equals)).trimmed();
        const auto group = ParsePartGroupName(groupName.toStdString());
        if (!group) {
            return Fail("unknown group '" + groupName +
                        "' (head, manifold, induction, exhaust, cam, lifter or fuel)");
        }
        choices.group = *group;
        if (equals < 0) return Defaults(choices);
        const QStringList pieces = text.mid(equals + 1).split(',');
        for (qsizetype first = 0; first < pieces.size();) {
            qsizetype last = first;
            if (!ReadChoice(choices, pieces, first, last)) return false;
            first = last + 1;
        }
        return true;
    }

private:
    bool Fail(const QString& text)
    {
        m_problem = text;
        return false;
    }

    bool Defaults(PartGroupChoices& choices)
    {
        choices.options = AllowedPartOptions(m_base, choices.group);
        if (!choices.options.empty()) return true;
        return Fail(QString("--vary %1: the engine form allows no %1 on this engine")
                        .arg(PartGroupName(choices.group)));
    }

    // The choice that pieces first..last name, the fewest pieces that name one.
    bool ReadChoice(PartGroupChoices& choices, const QStringList& pieces, qsizetype first, qsizetype& last)
    {
        for (last = first; last < pieces.size(); ++last) {
            const QString name = pieces.mid(first, last - first + 1).join(',').trimmed();
            const Found found = Find(choices.group, name);
            if (found == Found::Ambiguous) return false;
            if (found == Found::One) {
                choices.options.push_back(m_found);
                return true;
            }
        }
        if (!m_problem.isEmpty()) return false;
        return Fail(QString("unknown %1 '%2'; 'torqwell-cli new --list %1s' shows the choices")
                        .arg(PartGroupName(choices.group), pieces[first].trimmed()));
    }

    enum class Found { None, One, Ambiguous };

    Found Find(PartGroup group, const QString& name)
    {
        if (group == PartGroup::Induction) return Rating(name);
        if (group == PartGroup::Cam && name.compare("own", Qt::CaseInsensitive) == 0) {
            m_found = OwnCamOption(m_base);
            return Found::One;
        }
        const ChoiceList* menu = FindChoiceList(PartGroupName(group));
        const ChoiceMatch match = FindChoice(*menu, group == PartGroup::Lifter ? Lifter(name) : name);
        if (match.choice) {
            m_found = {ChoiceName(*match.choice), EngineEdit::Pick(*match.choice)};
            return Found::One;
        }
        if (match.candidates.empty()) return Found::None;
        m_problem = QString("'%1' names several %2s; give the index:").arg(name, PartGroupName(group));
        for (Choice choice : match.candidates) m_problem += "\n" + DescribeChoice(choice);
        return Found::Ambiguous;
    }

    Found Rating(const QString& text)
    {
        const QStringList parts = text.split('@');
        bool cfmOk = false;
        bool inHgOk = parts.size() == 1;
        const float cfm = parts[0].trimmed().toFloat(&cfmOk);
        const float inHg = parts.size() == 2 ? parts[1].trimmed().toFloat(&inHgOk) : 1.5f;
        if (parts.size() > 2 || !cfmOk || !inHgOk) {
            m_problem = "induction '" + text + "' is not cfm or cfm@inHg";
            return Found::Ambiguous;
        }
        m_found = RatingOption(cfm, inHg);
        return Found::One;
    }

    const CTorqDoc& m_base;
    QString& m_problem;
    PartOption m_found;
};

bool ParseSetup(CommandLine& line, const CTorqDoc& base, const StudyOptions& options, ShootoutSetup& setup,
                QString& problem)
{
    const QCommandLineParser& parser = line.Parser();
    const QStringList varies = parser.values("vary");
    if (varies.isEmpty()) {
        problem = "needs at least one --vary GROUP[=CHOICE,...]";
        return false;
    }
    VaryReader reader(base, problem);
    for (const QString& vary : varies) {
        PartGroupChoices choices;
        if (!reader.Read(vary, choices)) return false;
        setup.groups.push_back(std::move(choices));
    }
    setup.criterion = options.criterion;
    setup.band = options.band;
    bool ok = false;
    const int top = parser.value("top").toInt(&ok);
    if (!ok || top < 1) {
        problem = "--top takes a number of rows, 1 or more";
        return false;
    }
    setup.top = static_cast<std::size_t>(top);
    if (const auto refusal = ShootoutRefusal(base, setup)) {
        problem = QString::fromStdString(*refusal);
        return false;
    }
    return true;
}

void RunWithProgress(PartsShootout& shootout, const StudyRunner& runner, QTextStream& err)
{
    const bool progress = ErrorStreamIsTerminal(err);
    while (!shootout.IsDone()) {
        shootout.RunNext(runner);
        if (progress) {
            err << "\rComparing: " << shootout.DoneCount() << " of " << shootout.CombinationCount()
                << " combinations   " << Qt::flush;
        }
    }
    if (progress) err << "\n" << Qt::flush;
}

// ---------------------------------------------------------------- printing

QString ChoicesJson(const PartsShootout& shootout, const Combination& choices)
{
    QStringList fields;
    for (const auto& [group, name] : shootout.ChoiceNames(choices))
        fields << JsonText(PartGroupName(group)) + ": " + JsonText(QString::fromStdString(name));
    return "{" + fields.join(", ") + "}";
}

QString FormatJson(const PartsShootout& shootout, const ShootoutResult& result, const StudyOptions& options)
{
    QString text = QString(
                       "{\"combinations\": %1, \"run\": %2, \"failed\": %3, \"criterion\": \"%4\", "
                       "\"band\": [%5, %6], \"baseline\": {%7}, \"results\": [")
                       .arg(result.combinations)
                       .arg(result.run)
                       .arg(result.failed)
                       .arg(CriterionName(options.criterion), RoundTripText(options.band.minRpm),
                            RoundTripText(options.band.maxRpm), FiguresJson(result.baseline));
    for (std::size_t k = 0; k < result.rows.size(); ++k) {
        const ShootoutRow& row = result.rows[k];
        text += QString("%1\n  {\"rank\": %2, \"choices\": %3, %4, \"gain\": %5, \"gain_percent\": %6}")
                    .arg(k == 0 ? "" : ",")
                    .arg(k + 1)
                    .arg(ChoicesJson(shootout, row.choices), FiguresJson(row.figures),
                         RoundTripText(row.gain.absolute), RoundTripText(row.gain.percent));
    }
    text += "], \"failures\": [";
    for (std::size_t k = 0; k < result.failures.size(); ++k) {
        const ShootoutRow& row = result.failures[k];
        text += QString("%1\n  {\"choices\": %2, \"message\": %3}")
                    .arg(k == 0 ? "" : ",", ChoicesJson(shootout, row.choices),
                         JsonText(QString::fromStdString(row.figures.failure)));
    }
    return text + "]}\n";
}

QString FormatCsv(const PartsShootout& shootout, const ShootoutResult& result)
{
    QStringList header{"rank"};
    for (const PartGroupChoices& group : shootout.Setup().groups) header << PartGroupName(group.group);
    header << "score"
           << "gain"
           << "gain_percent"
           << "peak_power"
           << "peak_power_rpm"
           << "peak_torque"
           << "peak_torque_rpm"
           << "message";
    QString text = header.join(',') + "\n";
    const auto line = [&](const QString& rank, const ShootoutRow& row, bool ran) {
        QStringList fields{rank};
        for (const auto& entry : shootout.ChoiceNames(row.choices))
            fields << CsvField(QString::fromStdString(entry.second));
        if (ran) {
            fields << RoundTripText(row.figures.score) << RoundTripText(row.gain.absolute)
                   << RoundTripText(row.gain.percent) << RoundTripText(row.figures.peakPower.value)
                   << RoundTripText(row.figures.peakPower.rpm) << RoundTripText(row.figures.peakTorque.value)
                   << RoundTripText(row.figures.peakTorque.rpm) << "";
        } else {
            fields << ""
                   << ""
                   << ""
                   << ""
                   << ""
                   << ""
                   << "" << CsvField(QString::fromStdString(row.figures.failure));
        }
        text += fields.join(',') + "\n";
    };
    for (std::size_t k = 0; k < result.rows.size(); ++k) line(QString::number(k + 1), result.rows[k], true);
    for (const ShootoutRow& row : result.failures) line("", row, false);
    return text;
}

QString FormatTable(const PartsShootout& shootout, const ShootoutResult& result, const StudyOptions& options)
{
    const QString unit = CriterionUnit(options.criterion);
    QString text = QString("Parts comparison of %1: %2 combinations, %3 run, %4 failed\n")
                       .arg(options.engineFile)
                       .arg(result.combinations)
                       .arg(result.run)
                       .arg(result.failed);
    text += QString("Score: %1; the engine as it is: %2 %3\n\n")
                .arg(CriterionText(options), QString::number(double(result.baseline.score), 'f', 1), unit);
    text += QString("%1  %2  %3  %4  %5  %6  Choices\n")
                .arg("Rank", 4)
                .arg("Score " + unit, 12)
                .arg("Gain", 8)
                .arg("Gain %", 7)
                .arg("Peak hp @ rpm", 16)
                .arg("Peak ft-lbs @ rpm", 18);
    for (std::size_t k = 0; k < result.rows.size(); ++k) {
        const ShootoutRow& row = result.rows[k];
        text += QString("%1  %2  %3  %4  %5  %6  %7\n")
                    .arg(k + 1, 4)
                    .arg(QString::number(double(row.figures.score), 'f', 1), 12)
                    .arg(QString::number(double(row.gain.absolute), 'f', 1), 8)
                    .arg(QString::number(double(row.gain.percent), 'f', 1), 7)
                    .arg(PeakText(row.figures.peakPower), 16)
                    .arg(PeakText(row.figures.peakTorque), 18)
                    .arg(QString::fromStdString(shootout.ChangesText(row.choices)));
    }
    if (!result.failures.empty()) text += QString("\nFailed (%1):\n").arg(result.failures.size());
    for (const ShootoutRow& row : result.failures) {
        text += QString("  %1: %2\n")
                    .arg(QString::fromStdString(shootout.ChangesText(row.choices)),
                         QString::fromStdString(row.figures.failure));
    }
    return text;
}

}  // namespace

int ShootoutCommand(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    CommandLine line("shootout", "ENGINE.trq --vary GROUP[=CHOICE,...] [--vary ...] [options]", kDescription);
    line.Parser().addOption(QCommandLineOption(
        "vary", "A group to vary and its choices: head, manifold, induction, exhaust, cam, lifter or fuel.",
        "GROUP[=CHOICE,...]"));
    line.Parser().addOption(
        QCommandLineOption("top", "The rows of the result (default 20).", "N", QString::number(kDefaultTop)));
    line.AllowRepeated("vary");
    AddStudyOptions(line);
    int status = kExitOk;
    if (!line.Parse(arguments, out, err, status)) return status;
    StudyOptions options;
    if (!ParseStudyOptions(line, err, options, status)) return status;

    CliPresenter presenter(err);
    CTorqDoc base;
    if (!OpenEngine(base, options.engineFile)) return presenter.FailureExitCode();
    ShootoutSetup setup;
    QString problem;
    if (!ParseSetup(line, base, options, setup, problem)) return line.UsageError(err, problem);

    PartsShootout shootout(base, setup);
    if (!RunStudyBaseline(line, err, shootout, status)) return status;
    StudyRunner runner(options.threads);
    RunWithProgress(shootout, runner, err);
    const ShootoutResult result = shootout.Result();
    switch (options.format) {
        case StudyFormat::Table:
            out << FormatTable(shootout, result, options);
            break;
        case StudyFormat::Json:
            out << FormatJson(shootout, result, options);
            break;
        case StudyFormat::Csv:
            out << FormatCsv(shootout, result);
            break;
    }
    out.flush();
    return kExitOk;
}

}  // namespace cli
