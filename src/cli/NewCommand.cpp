// torqwell-cli new -o ENGINE.trq [component choices]

#include "ChoiceLookup.h"
#include "CliCommands.h"
#include "CliSupport.h"

#include "base/Util.h"
#include "model/ComponentTable.h"
#include "model/EngineFile.h"
#include "model/TorqDoc.h"

#include <QFileInfo>

#include <algorithm>

namespace cli {

namespace {

constexpr const char* kDescription =
    "Builds an engine from component choices, runs it and saves it as an engine file\n"
    "(version 3.10), as a user would pick the parts from the engine form's menus.\n"
    "\n"
    "Choices are given by their name in the menus or by their index in the list:\n"
    "'torqwell-cli new --list GROUP' prints a list (blocks, heads, manifolds, fuels,\n"
    "blowers, exhausts, cams, lifters, timings). Names are compared without regard to\n"
    "case; '&' stands for the '&&' of the Roots blower names. Numbers are in English\n"
    "units (in, cfm, inHg, lbs/min, psi, rpm, degrees, %) and may be any value within\n"
    "the parameter's range, not only the menu values. Later options refine earlier\n"
    "ones: --bore after --block, --cam-events after --cam and --timing.\n"
    "\n"
    "An engine that is incomplete is refused with the desktop program's message\n"
    "(exit status 3), and so is one the simulation cannot run, unless\n"
    "--allow-no-results is given. Notes the desktop program shows about a choice\n"
    "(4-valve heads, individual runners, timing methods) are not printed.\n"
    "\n"
    "Example (the small-block of examples/chevy-350-street.trq):\n"
    "  torqwell-cli new -o chevy-350-street.trq --block \"Chevy 350\"\n"
    "    --head \"Wedge/Stock Ports And Valves\" --intake-valve 1.94 --exhaust-valve 1.50\n"
    "    --compression 8.5 --induction 600@1.5 --manifold \"Dual-Plane Manifold\"\n"
    "    --exhaust \"Stock Manifolds And Mufflers\" --cam \"Stock Street/Economy\" --lifter Hyd.\n"
    "    --intake-lift 0.39 --exhaust-lift 0.41";

struct NewOption {
    const char* name;
    const char* valueName;  // nullptr for a switch
    const char* description;
};

// In the order the engine form groups them; the help lists them so.
const NewOption kOptions[] = {
    {"o", "file", "The engine file to write (required)."},
    {"list", "group", "Print the choices of a group with their indices, and nothing else."},
    {"units", "system", "english (default) or metric: the units the saved engine is shown in."},
    {"block", "name|index", "Short block, e.g. \"Chevy 350\" or 36."},
    {"bore", "in", "Bore, instead of the short block's."},
    {"stroke", "in", "Stroke, instead of the short block's."},
    {"cylinders", "n", "Number of cylinders, instead of the short block's."},
    {"head", "name|index", "Cylinder heads 1 to 16, e.g. \"Wedge/Stock Ports And Valves\"."},
    {"airflow", "file.flw", "Cylinder heads from an airflow data file (\"User Entered Airflow Data\")."},
    {"intake-valves", "1|2", "Intake valves per cylinder (a 4-valve head sets 2)."},
    {"exhaust-valves", "1|2", "Exhaust valves per cylinder."},
    {"intake-valve", "in|auto", "Intake valve diameter; auto sizes both valves from the bore."},
    {"exhaust-valve", "in|auto", "Exhaust valve diameter; auto sizes both valves from the bore."},
    {"compression", "ratio", "Compression ratio, 6 to 18."},
    {"induction", "cfm[@inHg]", "Induction flow and the pressure drop it is rated at (default 1.5), e.g. 750@1.5."},
    {"pressure-drop", "inHg", "Pressure drop of the induction rating, 1.5 to 3.0."},
    {"manifold", "name|index", "Intake manifold, e.g. \"Dual-Plane Manifold\"."},
    {"fuel", "name|index", "Fuel (default Gasoline); \"Gasoline/Nitrous\" takes its flow from --nitrous."},
    {"nitrous", "lbs/min", "Nitrous oxide flow, 0 to 20."},
    {"blower", "name|index",
     "Turbocharger or supercharger; chooses the \"Forced Induction\" manifold unless --manifold is given."},
    {"blower-flow", "cfm", "Blower flow rate (the custom units need their values)."},
    {"blower-pressure-ratio", "ratio", "Blower pressure ratio (turbochargers, centrifugal blowers)."},
    {"blower-efficiency", "%", "Blower efficiency."},
    {"blower-rpm", "rpm", "Blower speed (centrifugal blowers)."},
    {"blower-surge-flow", "cfm", "Surge flow rate (turbochargers)."},
    {"blower-internal-gear", "ratio", "Internal gear ratio (centrifugal blowers)."},
    {"blower-belt-gear", "ratio", "Belt drive ratio (centrifugal and Roots blowers)."},
    {"boost-limit", "psi", "Boost level limit (the unit's own, 10 psi, when not given)."},
    {"intercooler", "%|none", "Intercooler efficiency, 0 to 150, or none."},
    {"exhaust", "name|index", "Exhaust system, e.g. \"Small-Tube Headers With Mufflers\"."},
    {"cam", "name|index", "Camshaft type, e.g. \"High Performance Street\"; sets its valve events."},
    {"cam-name", "text", "Your own cam's description (cam type \"Custom Cam Type\"); give --timing and --cam-events."},
    {"cam-file", "file.cam", "The camshaft from a cam file."},
    {"lifter", "name|index", "Lifters: Hyd., Solid or Roller."},
    {"timing", "seat|050", "Timing method of the valve events: seat-to-seat or at 0.050 in lift."},
    {"cam-events", "IVO,IVC,EVO,EVC",
     "Nominal valve events in crank degrees: intake opens BTDC, closes ABDC, exhaust opens BBDC, closes ATDC."},
    {"advance", "deg", "Cam advance (+) or retard (-), -15 to 15."},
    {"intake-lift", "in|auto", "Intake valve lift; auto sizes both lifts from the cam and the valve."},
    {"exhaust-lift", "in|auto", "Exhaust valve lift; auto sizes both lifts from the cam and the valve."},
    {"save-cam", "file.cam", "Also save the engine's camshaft as a cam file (the engine names it)."},
    {"save-airflow", "file.flw", "Also save the heads' airflow data as an airflow file (the engine names it)."},
    {"allow-no-results", nullptr, "Save an engine the simulation cannot run, without results."},
};

// Short forms the menus' names do not have.
QString Alias(const QString& option, const QString& value)
{
    const QString lower = value.trimmed().toLower();
    if (option == "timing") {
        if (lower == "seat" || lower == "seat-to-seat") return "1";
        if (lower == "050" || lower == "0.050") return "2";
    }
    if (option == "lifter" && (lower == "hyd" || lower == "hydraulic")) return "1";
    return value;
}

bool IsAuto(const QString& value) { return value.trimmed().compare("auto", Qt::CaseInsensitive) == 0; }

// Applies the options to a new engine, one group after the other. The first
// problem is printed as a usage error and stops the building.
class EngineBuilder {
public:
    EngineBuilder(const CommandLine& line, const QCommandLineParser& options, QTextStream& err, CTorqDoc& doc)
        : m_line(line), m_options(options), m_err(err), m_doc(doc)
    {
    }

    bool Build()
    {
        return ShortBlock() && CylinderHeads() && Number("compression", m_doc.CompressionRatio()) && Induction() &&
               ForcedInduction() && Choose("exhaust") && Camshaft();
    }

    int Status() const { return m_status; }

private:
    bool Fail(const QString& text)
    {
        m_status = m_line.UsageError(m_err, text);
        return false;
    }

    bool Has(const char* option) const { return m_options.isSet(option); }
    QString Value(const char* option) const { return m_options.value(option); }

    bool Number(const char* option, CFloatPtSpec& spec)
    {
        return !Has(option) || NumberText(QString("--") + option, Value(option), spec);
    }

    bool NumberText(const QString& what, const QString& text, CFloatPtSpec& spec)
    {
        bool isNumber = false;
        text.trimmed().toDouble(&isNumber);
        if (!isNumber) return Fail(what + ": '" + text + "' is not a number");
        if (!spec.SetFromText(text.trimmed().toStdString(), false)) {
            return Fail(what + " " + text + ": " + QString::fromStdString(spec.GetPrompt()));
        }
        return true;
    }

    bool Integer(const char* option, CIntegerSpec& spec)
    {
        if (!Has(option)) return true;
        bool isNumber = false;
        Value(option).trimmed().toInt(&isNumber);
        if (!isNumber || !spec.SetFromText(Value(option).trimmed().toStdString(), false)) {
            return Fail(QString("--") + option + " " + Value(option) + ": " +
                        QString::fromStdString(spec.GetPrompt()));
        }
        return true;
    }

    // The menu command of the option's choice; 0 after a usage error.
    int ChoiceCommand(const char* option)
    {
        const ChoiceGroup* group = FindChoiceGroup(option);
        const ChoiceMatch match = FindChoice(*group, Alias(option, Value(option)));
        if (match.command != 0) return match.command;
        if (match.candidates.empty()) {
            Fail(QString("unknown --%1 '%2'; 'torqwell-cli new --list %3' shows the choices")
                     .arg(option, Value(option), group->key));
            return 0;
        }
        QString text = QString("'%1' names several %2; give the index:").arg(Value(option), group->key);
        for (int command : match.candidates) text += "\n" + DescribeChoice(*group, command);
        Fail(text);
        return 0;
    }

    bool Apply(int command)
    {
        if (m_doc.OnCommand(command) != CommandResult::Applied) return Fail("the choice was refused");
        return true;
    }

    bool Choose(const char* option)
    {
        if (!Has(option)) return true;
        const int command = ChoiceCommand(option);
        return command != 0 && Apply(command);
    }

    bool ShortBlock()
    {
        return Choose("block") && Number("bore", m_doc.Bore()) && Number("stroke", m_doc.Stroke()) &&
               Integer("cylinders", m_doc.NumberOfCylinders());
    }

    bool CylinderHeads()
    {
        if (Has("head") && Has("airflow")) return Fail("--head and --airflow both choose the heads");
        if (!Choose("head")) return false;
        if (Has("airflow")) {
            const QString path = Value("airflow");
            if (!m_doc.OpenAirflowFile(LocalPath(path), LocalPath(QFileInfo(path).fileName()))) {
                m_status = kExitUsage;  // the file's message is shown
                return false;
            }
        }
        if (!Integer("intake-valves", m_doc.IntakeValveCount()) ||
            !Integer("exhaust-valves", m_doc.ExhaustValveCount())) {
            return false;
        }
        const bool autoIntake = Has("intake-valve") && IsAuto(Value("intake-valve"));
        const bool autoExhaust = Has("exhaust-valve") && IsAuto(Value("exhaust-valve"));
        if (autoIntake || autoExhaust) {
            if ((Has("intake-valve") && !autoIntake) || (Has("exhaust-valve") && !autoExhaust)) {
                return Fail("auto sizes both valves: give no diameter beside it");
            }
            m_doc.SetAutoValveSizes(true);
            return true;
        }
        return Number("intake-valve", m_doc.IntakeValveDiameter()) &&
               Number("exhaust-valve", m_doc.ExhaustValveDiameter());
    }

    bool Induction()
    {
        if (Has("induction")) {
            const QStringList parts = Value("induction").split('@');
            if (parts.size() > 2) return Fail("--induction takes cfm or cfm@inHg");
            if (!NumberText("--induction", parts[0], m_doc.InductionFlow()) ||
                !NumberText("--induction", parts.size() == 2 ? parts[1] : QString("1.5"), m_doc.PressureDrop())) {
                return false;
            }
        }
        return Number("pressure-drop", m_doc.PressureDrop()) && Choose("manifold") && Fuel() &&
               Number("nitrous", m_doc.NitrousFlowRate());
    }

    // "Gasoline/Nitrous" is the name of six menu entries that differ only in
    // their nitrous flow: --nitrous tells them apart.
    bool Fuel()
    {
        if (!Has("fuel")) return true;
        const ChoiceMatch match = FindChoice(*FindChoiceGroup("fuel"), Value("fuel"));
        if (match.candidates.size() <= 1 || !Has("nitrous")) return Choose("fuel");
        const float nitrous = Value("nitrous").toFloat();
        int command = match.candidates.front();
        for (int candidate : match.candidates) {
            if (FindComponentChoice(candidate).values[0] == nitrous) command = candidate;
        }
        return Apply(command);
    }

    bool ForcedInduction()
    {
        if (Has("blower")) {
            const int command = ChoiceCommand("blower");
            if (command == 0 || !Apply(command)) return false;
            if (!Has("manifold") && command != Cmd::kForcedInductionNone && !Apply(Cmd::kForcedInductionManifold)) {
                return false;
            }
        }
        if (!Number("blower-flow", m_doc.BlowerFlowRate()) ||
            !Number("blower-pressure-ratio", m_doc.BlowerPressureRatio()) ||
            !Number("blower-efficiency", m_doc.BlowerEfficiency()) || !Number("blower-rpm", m_doc.BlowerRpm()) ||
            !Number("blower-surge-flow", m_doc.BlowerSurgeFlowRate()) ||
            !Number("blower-internal-gear", m_doc.BlowerInternalGearRatio()) ||
            !Number("blower-belt-gear", m_doc.BlowerBeltGearRatio()) ||
            !Number("boost-limit", m_doc.BlowerBoostLevelLimit())) {
            return false;
        }
        if (Has("intercooler") && Value("intercooler").trimmed().compare("none", Qt::CaseInsensitive) == 0) {
            return Apply(Cmd::kIntercoolerNone);
        }
        return Number("intercooler", m_doc.IntercoolerEfficiency());
    }

    bool Camshaft()
    {
        if (Has("cam") + Has("cam-name") + Has("cam-file") > 1) {
            return Fail("--cam, --cam-name and --cam-file each choose the whole camshaft: give one");
        }
        if (Has("cam")) {
            const int command = ChoiceCommand("cam");
            if (command == 0) return false;
            if (command == Cmd::kCustomCamType) {
                m_doc.ApplyCustomCamType(FindComponentChoice(command).name);
            } else if (!Apply(command)) {
                return false;
            }
        }
        if (Has("cam-name")) {
            if (Value("cam-name").trimmed().isEmpty()) return Fail("--cam-name needs a description");
            m_doc.ApplyCustomCamType(Value("cam-name").toStdString());
        }
        if (Has("cam-file")) {
            const QString path = Value("cam-file");
            if (!m_doc.OpenCamFile(LocalPath(path), LocalPath(QFileInfo(path).fileName()))) {
                m_status = kExitUsage;
                return false;
            }
        }
        return Choose("lifter") && Choose("timing") && CamEvents() && Number("advance", m_doc.Cam().AdvanceRetard()) &&
               Lifts();
    }

    bool CamEvents()
    {
        if (!Has("cam-events")) return true;
        const QStringList events = Value("cam-events").split(',');
        if (events.size() != 4) return Fail("--cam-events takes four numbers: IVO,IVC,EVO,EVC");
        CamData& cam = m_doc.Cam();
        CFloatPtSpec* specs[] = {&cam.NominalIvo(), &cam.NominalIvc(), &cam.NominalEvo(), &cam.NominalEvc()};
        for (int i = 0; i < 4; ++i) {
            if (!NumberText("--cam-events", events[i], *specs[i])) return false;
        }
        return true;
    }

    bool Lifts()
    {
        const bool autoIntake = Has("intake-lift") && IsAuto(Value("intake-lift"));
        const bool autoExhaust = Has("exhaust-lift") && IsAuto(Value("exhaust-lift"));
        if (autoIntake || autoExhaust) {
            if ((Has("intake-lift") && !autoIntake) || (Has("exhaust-lift") && !autoExhaust)) {
                return Fail("auto sizes both lifts: give no lift beside it");
            }
            m_doc.Cam().SetAutoValveLift(true);
            return true;
        }
        const bool done = Number("intake-lift", m_doc.Cam().IntakeLift()) &&
                          Number("exhaust-lift", m_doc.Cam().ExhaustLift());
        if (done && (Has("intake-lift") || Has("exhaust-lift"))) m_doc.Cam().SetAutoValveLift(false);
        return done;
    }

    const CommandLine& m_line;
    const QCommandLineParser& m_options;
    QTextStream& m_err;
    CTorqDoc& m_doc;
    int m_status = kExitOk;
};

// The cam and airflow files, before the engine file that names them.
bool SaveComponentFiles(CTorqDoc& doc, const QCommandLineParser& options)
{
    const QString cam = options.value("save-cam");
    if (!cam.isEmpty() && !doc.SaveCamFile(LocalPath(cam), LocalPath(QFileInfo(cam).fileName()))) return false;
    const QString airflow = options.value("save-airflow");
    return airflow.isEmpty() || doc.SaveAirflowFile(LocalPath(airflow), LocalPath(QFileInfo(airflow).fileName()));
}

// "Wrote FILE: 348 hp at 5500 rpm, 378 lb-ft at 4000 rpm"
QString Summary(const CTorqDoc& doc, const QString& path)
{
    if (!doc.HasResults()) return "Wrote " + path + " without results";
    const auto& power = doc.GetResultSeries(kSeriesPower);
    const auto& torque = doc.GetResultSeries(kSeriesTorque);
    const auto peakPower = std::max_element(power.begin(), power.end()) - power.begin();
    const auto peakTorque = std::max_element(torque.begin(), torque.end()) - torque.begin();
    return QString::fromStdString(FormatC("Wrote %s: %.0f hp at %.0f rpm, %.0f lb-ft at %.0f rpm",
                                          LocalPath(path).c_str(), double(power[std::size_t(peakPower)]),
                                          double(doc.GetResult(kSeriesEngineSpeed, int(peakPower))),
                                          double(torque[std::size_t(peakTorque)]),
                                          double(doc.GetResult(kSeriesEngineSpeed, int(peakTorque)))));
}

}  // namespace

int NewCommand(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    CommandLine line("new", "-o ENGINE.trq [options]", kDescription);
    for (const NewOption& option : kOptions) {
        const QStringList names = QString(option.name) == "o" ? QStringList{"o", "output"} : QStringList{option.name};
        if (option.valueName == nullptr) {
            line.Parser().addOption(QCommandLineOption(names, option.description));
        } else {
            line.Parser().addOption(QCommandLineOption(names, option.description, option.valueName));
        }
    }
    int status = kExitOk;
    if (!line.Parse(arguments, out, err, status)) return status;
    const QCommandLineParser& options = line.Parser();
    if (!options.positionalArguments().isEmpty()) {
        return line.UsageError(err, "unexpected '" + options.positionalArguments().front() + "'");
    }

    if (options.isSet("list")) {
        const ChoiceGroup* group = FindChoiceGroup(options.value("list"));
        if (group == nullptr) return line.UsageError(err, "unknown group '" + options.value("list") + "'");
        out << ListChoices(*group);
        out.flush();
        return kExitOk;
    }
    const QString output = options.value("output");
    if (output.isEmpty()) return line.UsageError(err, "needs -o ENGINE.trq");
    const QString units = options.value("units");
    if (!units.isEmpty() && units != "english" && units != "metric") {
        return line.UsageError(err, "unknown units '" + units + "' (english or metric)");
    }
    const bool allowNoResults = options.isSet("allow-no-results");

    CliPresenter presenter(err);
    if (allowNoResults) presenter.AnswerOk(204);
    CTorqDoc doc;
    EngineBuilder builder(line, options, err, doc);
    if (!builder.Build()) return builder.Status() != kExitOk ? builder.Status() : presenter.FailureExitCode();

    // The derived values first (volumes, automatic sizes, cam events), then one run with its messages.
    doc.SetAutoRun(false);
    doc.Recalculate();
    doc.SetAutoRun(true);
    ErrorCode code = 0;
    if (!doc.Validate(code)) {
        ShowErrorMessage(code);
        return presenter.FailureExitCode();
    }
    if (!RunEngine(doc) && !allowNoResults) return presenter.FailureExitCode();
    if (units == "metric") doc.SetUnitSystem(kMetricUnits);
    if (!SaveComponentFiles(doc, options)) return presenter.FailureExitCode();
    if (!SaveEngineDocument(doc, LocalPath(output))) return presenter.FailureExitCode();
    out << Summary(doc, output) << Qt::endl;
    return kExitOk;
}

}  // namespace cli
