// torqwell-cli new -o ENGINE.trq [component choices]

#include "ChoiceLookup.h"
#include "CliCommands.h"
#include "CliSupport.h"
#include "FileTargets.h"
#include "HelpRanges.h"

#include "base/LineFile.h"
#include "base/Util.h"
#include "model/ComponentTable.h"
#include "model/EnablingRules.h"
#include "model/EngineFile.h"
#include "model/TorqDoc.h"

#include <algorithm>
#include <filesystem>
#include <optional>

namespace cli {

namespace {

constexpr const char* kDescription =
    "Builds an engine from component choices, runs it and saves it as an engine file\n"
    "(version %1), as a user would pick the parts from the engine form's menus.\n"
    "\n"
    "Choices are given by their name in the menus or by their index in the list:\n"
    "'torqwell-cli new --list GROUP' prints a list (blocks, heads, manifolds, fuels,\n"
    "blowers, exhausts, cams, lifters, timings). Names are compared without regard to\n"
    "case; '&' stands for the '&&' of the Roots blower names. Numbers are in English\n"
    "units (in, cfm, inHg, lbs/min, psi, rpm, degrees, %) and may be any value within\n"
    "the parameter's range, not only the menu values. Later options refine earlier\n"
    "ones: --bore after --block, --cam-events after --cam and --timing.\n"
    "\n"
    "The engine form's rules hold here too: --nitrous only with a \"Gasoline/Nitrous\"\n"
    "fuel; --blower and --intercooler only on the \"Forced Induction\" manifold (which\n"
    "--blower chooses unless --manifold is given); of the blower figures only those its\n"
    "kind reads (a turbocharger has no --blower-rpm, a Roots blower no\n"
    "--blower-pressure-ratio); automatic valve sizes only for one of the listed heads.\n"
    "An option they do not allow is refused, naming it (exit status 2). Each option is\n"
    "given once.\n"
    "\n"
    "An engine that is incomplete is refused with the desktop program's message\n"
    "(exit status 3), and so is one the simulation cannot run, unless\n"
    "--allow-no-results is given. Notes the desktop program shows about a choice\n"
    "(4-valve heads, individual runners, timing methods) are not printed.\n"
    "\n"
    "Every file to write is checked before any is written: none may exist unless\n"
    "--force is given, and none may be a file the command reads (--airflow, --cam-file).\n"
    "The engine file and the --save-cam and --save-airflow files appear together, or\n"
    "none of them does.\n"
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
    QString (*range)() = nullptr;  // what "%1" in the description stands for
};

// The ranges the options' descriptions quote, from the parameters they set.
QString HeadIndexRange()
{
    const auto heads = ChoicesOf(ChoiceGroup::CylinderHead);
    return QString("%1 to %2").arg(heads.front().partIndex).arg(heads.back().partIndex);
}
QString CompressionRange()
{
    return RangeText(NewEngineValues().compressionRatio, 0, 0);
}
QString PressureDropRange()
{
    return RangeText(NewEngineValues().pressureDrop, 1, 1);
}
QString NitrousRange()
{
    return RangeText(NewEngineValues().nitrousFlowRate, 0, 0);
}
QString IntercoolerRange()
{
    return RangeText(NewEngineValues().intercoolerEfficiency, 0, 0);
}
QString AdvanceRange()
{
    return RangeText(NewEngineValues().cam.AdvanceRetard(), 0, 0);
}

// In the order the engine form groups them; the help lists them so.
const NewOption kOptions[] = {
    {"o", "file", "The engine file to write (required)."},
    {"list", "group", "Print the choices of a group with their indices, and nothing else."},
    {"units", "system", "english (default) or metric: the units the saved engine is shown in."},
    {"block", "name|index", "Short block, e.g. \"Chevy 350\" or 36."},
    {"bore", "in", "Bore, instead of the short block's."},
    {"stroke", "in", "Stroke, instead of the short block's."},
    {"cylinders", "n", "Number of cylinders, instead of the short block's."},
    {"head", "name|index", "Cylinder heads %1, e.g. \"Wedge/Stock Ports And Valves\".", HeadIndexRange},
    {"airflow", "file.flw", "Cylinder heads from an airflow data file (\"User Entered Airflow Data\")."},
    {"intake-valves", "1|2", "Intake valves per cylinder (a 4-valve head sets 2)."},
    {"exhaust-valves", "1|2", "Exhaust valves per cylinder."},
    {"intake-valve", "in|auto", "Intake valve diameter; auto sizes both valves from the bore."},
    {"exhaust-valve", "in|auto", "Exhaust valve diameter; auto sizes both valves from the bore."},
    {"compression", "ratio", "Compression ratio, %1.", CompressionRange},
    {"induction", "cfm[@inHg]",
     "Induction flow and the pressure drop it is rated at (default 1.5), e.g. 750@1.5."},
    {"pressure-drop", "inHg", "Pressure drop of the induction rating, %1.", PressureDropRange},
    {"manifold", "name|index", "Intake manifold, e.g. \"Dual-Plane Manifold\"."},
    {"fuel", "name|index", "Fuel (default Gasoline); \"Gasoline/Nitrous\" takes its flow from --nitrous."},
    {"nitrous", "lbs/min", "Nitrous oxide flow, %1.", NitrousRange},
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
    {"intercooler", "%|none", "Intercooler efficiency, %1, or none.", IntercoolerRange},
    {"exhaust", "name|index", "Exhaust system, e.g. \"Small-Tube Headers With Mufflers\"."},
    {"cam", "name|index", "Camshaft type, e.g. \"High Performance Street\"; sets its valve events."},
    {"cam-name", "text",
     "Your own cam's description (cam type \"Custom Cam Type\"); give --timing and --cam-events."},
    {"cam-file", "file.cam", "The camshaft from a cam file."},
    {"lifter", "name|index", "Lifters: Hyd., Solid or Roller."},
    {"timing", "seat|050", "Timing method of the valve events: seat-to-seat or at 0.050 in lift."},
    {"cam-events", "IVO,IVC,EVO,EVC",
     "Nominal valve events in crank degrees: intake opens BTDC, closes ABDC, exhaust opens BBDC, closes "
     "ATDC."},
    {"advance", "deg", "Cam advance (+) or retard (-), %1.", AdvanceRange},
    {"intake-lift", "in|auto", "Intake valve lift; auto sizes both lifts from the cam and the valve."},
    {"exhaust-lift", "in|auto", "Exhaust valve lift; auto sizes both lifts from the cam and the valve."},
    {"save-cam", "file.cam", "Also save the engine's camshaft as a cam file (the engine names it)."},
    {"save-airflow", "file.flw",
     "Also save the heads' airflow data as an airflow file (the engine names it)."},
    {"allow-no-results", nullptr, "Save an engine the simulation cannot run, without results."},
    {"force", nullptr, "Replace files that exist already (never a file the command reads)."},
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

bool IsAuto(const QString& value)
{
    return value.trimmed().compare("auto", Qt::CaseInsensitive) == 0;
}

// The file name part of a path, as the engine names its cam and airflow files.
std::string FileNameOf(const QString& path)
{
    return std::filesystem::path(LocalPath(path)).filename().string();
}

const char* UnitKindName(int kind)
{
    switch (kind) {
        case kTurbocharger:
            return "turbocharger";
        case kCentrifugalBlower:
            return "centrifugal blower";
        case kRootsBlower:
            return "Roots blower";
        default:
            return "unit";
    }
}

// Why the engine form would not take the option, in the user's words.
QString RefusalText(const QString& option, Enabling enabling, const CTorqDoc& doc, const CTorqSpec* parameter)
{
    const QString parameterName =
        parameter != nullptr ? QString::fromStdString(parameter->GetName()) : QString();
    switch (enabling) {
        case Enabling::NoForcedInductionManifold:
            return option + ": only with forced induction, on the \"Forced Induction\" manifold (--blower)";
        case Enabling::NotReadByBlowerKind:
            return QString("%1: the %2 \"%3\" has no %4")
                .arg(option, UnitKindName(doc.GetForcedInductionClass()),
                     QString::fromStdString(doc.ForcedInductionType().GetChoiceName()), parameterName);
        case Enabling::ExhaustTakenByBlower:
            return option + ": the \"Forced Induction\" manifold takes the exhaust over";
        case Enabling::FuelWithoutNitrous:
            return QString("%1: the fuel \"%2\" carries no nitrous; choose --fuel \"Gasoline/Nitrous\"")
                .arg(option, QString::fromStdString(doc.FuelType().GetChoiceName()));
        case Enabling::AutoSizesNeedListedHead:
            return option + " auto: automatic valve sizes need one of the listed heads, not airflow data";
        case Enabling::Enabled:
            break;
    }
    return {};
}

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
        // The exhaust before the induction: the forced-induction manifold takes the
        // exhaust over, so a user picks the exhaust first, as on the form.
        return ShortBlock() && CylinderHeads() && Number("compression", m_doc.CompressionRatio()) &&
               Choose("exhaust") && Induction() && ForcedInduction() && Camshaft();
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
        if (!Has(option)) return true;
        return Allowed(QString("--") + option, ParameterEnabling(m_doc, spec), &spec) &&
               NumberText(QString("--") + option, Value(option), spec);
    }

    // The engine form's enabling rules (model/EnablingRules.h): an option
    // they do not allow is refused, naming it.
    bool Allowed(const QString& option, Enabling enabling, const CTorqSpec* parameter = nullptr)
    {
        if (enabling == Enabling::Enabled) return true;
        return Fail(RefusalText(option, enabling, m_doc, parameter));
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

    // The option's choice; none after a usage error.
    std::optional<Choice> OptionChoice(const char* option)
    {
        const ChoiceList* list = FindChoiceList(option);
        const ChoiceMatch match = FindChoice(*list, Alias(option, Value(option)));
        if (match.choice) return match.choice;
        if (match.candidates.empty()) {
            Fail(QString("unknown --%1 '%2'; 'torqwell-cli new --list %3' shows the choices")
                     .arg(option, Value(option), list->key));
            return std::nullopt;
        }
        QString text = QString("'%1' names several %2; give the index:").arg(Value(option), list->key);
        for (Choice candidate : match.candidates) text += "\n" + DescribeChoice(candidate);
        Fail(text);
        return std::nullopt;
    }

    bool Apply(Choice choice, const QString& option)
    {
        if (!Allowed(option, ChoiceEnabling(m_doc, choice))) return false;
        if (m_doc.Apply(choice) == CommandResult::Applied) return true;
        return Fail(option + ": the choice was refused");
    }

    bool Choose(const char* option)
    {
        if (!Has(option)) return true;
        const std::optional<Choice> choice = OptionChoice(option);
        return choice && Apply(*choice, QString("--") + option);
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
            if (!m_doc.OpenAirflowFile(LocalPath(path), FileNameOf(path))) {
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
            if (!Allowed(autoIntake ? "--intake-valve" : "--exhaust-valve",
                         CommandEnabling(m_doc, EngineCommand::AutoValveSizes))) {
                return false;
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
                !NumberText("--induction", parts.size() == 2 ? parts[1] : QString("1.5"),
                            m_doc.PressureDrop())) {
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
        const ChoiceMatch match = FindChoice(*FindChoiceList("fuel"), Value("fuel"));
        if (match.candidates.size() <= 1 || !Has("nitrous")) return Choose("fuel");
        const float nitrous = Value("nitrous").toFloat();
        Choice fuel = match.candidates.front();
        for (Choice candidate : match.candidates) {
            if (ChoiceRow(candidate).values[0] == nitrous) fuel = candidate;
        }
        return Apply(fuel, "--fuel");
    }

    bool ForcedInduction()
    {
        if (Has("blower")) {
            const std::optional<Choice> blower = OptionChoice("blower");
            if (!blower) return false;
            // A blower sits on the forced-induction manifold: as in the form, it is chosen first.
            if (!Has("manifold") && !Apply(NamedChoice::kForcedInductionManifold, "--blower")) return false;
            if (!Apply(*blower, "--blower")) return false;
        }
        if (!Number("blower-flow", m_doc.BlowerFlowRate()) ||
            !Number("blower-pressure-ratio", m_doc.BlowerPressureRatio()) ||
            !Number("blower-efficiency", m_doc.BlowerEfficiency()) ||
            !Number("blower-rpm", m_doc.BlowerRpm()) ||
            !Number("blower-surge-flow", m_doc.BlowerSurgeFlowRate()) ||
            !Number("blower-internal-gear", m_doc.BlowerInternalGearRatio()) ||
            !Number("blower-belt-gear", m_doc.BlowerBeltGearRatio()) ||
            !Number("boost-limit", m_doc.BlowerBoostLevelLimit())) {
            return false;
        }
        if (Has("intercooler") && Value("intercooler").trimmed().compare("none", Qt::CaseInsensitive) == 0) {
            return Apply(NamedChoice::kNoIntercooler, "--intercooler");
        }
        return Number("intercooler", m_doc.IntercoolerEfficiency());
    }

    bool Camshaft()
    {
        if (Has("cam") + Has("cam-name") + Has("cam-file") > 1) {
            return Fail("--cam, --cam-name and --cam-file each choose the whole camshaft: give one");
        }
        // "Custom Cam Type" is a cam of the user's own under that name.
        if (!Choose("cam")) return false;
        if (Has("cam-name")) {
            if (Value("cam-name").trimmed().isEmpty()) return Fail("--cam-name needs a description");
            m_doc.ApplyCustomCamType(Value("cam-name").toStdString());
        }
        if (Has("cam-file")) {
            const QString path = Value("cam-file");
            if (!m_doc.OpenCamFile(LocalPath(path), FileNameOf(path))) {
                m_status = kExitUsage;
                return false;
            }
        }
        return Choose("lifter") && Choose("timing") && CamEvents() &&
               Number("advance", m_doc.Cam().AdvanceRetard()) && Lifts();
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

// The files new writes: -o and the optional cam and airflow files.
struct NewOutputs {
    QString engine;
    QString cam;      // empty: none
    QString airflow;  // empty: none
};

// Every target checked before anything is written; empty, or the refusal.
QString CheckOutputs(const QCommandLineParser& options, const NewOutputs& outputs)
{
    FileTargets targets(options.isSet("force"));
    for (const char* input : {"airflow", "cam-file"}) {
        if (options.isSet(input)) targets.AddInput(LocalPath(options.value(input)));
    }
    for (const QString& output : {outputs.cam, outputs.airflow, outputs.engine}) {
        if (output.isEmpty()) continue;
        const QString refusal = targets.Check(LocalPath(output));
        if (!refusal.isEmpty()) return refusal;
    }
    return {};
}

// The cam and airflow files and the engine file that names them, each
// written completely before any of them replaces its target. False when one
// failed (its message shown, the file named in failure).
bool SaveOutputs(CTorqDoc& doc, const NewOutputs& outputs, QString& failure)
{
    // The engine names the files it is saved with.
    if (!outputs.cam.isEmpty()) doc.CamDataFile().SetFromText(FileNameOf(outputs.cam), false);
    if (!outputs.airflow.isEmpty()) doc.AirflowFile().SetFromText(FileNameOf(outputs.airflow), false);

    OutputFiles files;
    const auto block = [](auto& data) {
        return [&data](CAtomicFile& file) {
            return FinishTextFile(file, [&data](std::FILE* stream) { data.WriteBlock(stream); });
        };
    };
    const bool written =
        (outputs.cam.isEmpty() || files.Write(LocalPath(outputs.cam), block(doc.Cam()))) &&
        (outputs.airflow.isEmpty() || files.Write(LocalPath(outputs.airflow), block(doc.FlowData()))) &&
        files.Write(LocalPath(outputs.engine),
                    [&doc](CAtomicFile& file) { return FinishEngineFile(doc, file); }) &&
        files.CommitAll();
    failure = files.FailureText();
    return written;
}

// What follows "Wrote FILE": ": 348 hp at 5500 rpm, 378 ft-lbs at 4000 rpm"
QString Summary(const CTorqDoc& doc)
{
    if (!doc.HasResults()) return " without results";
    const auto& power = doc.GetResultSeries(kSeriesPower);
    const auto& torque = doc.GetResultSeries(kSeriesTorque);
    const auto peakPower = std::max_element(power.begin(), power.end()) - power.begin();
    const auto peakTorque = std::max_element(torque.begin(), torque.end()) - torque.begin();
    return QString::fromStdString(FormatC(
        ": %.0f hp at %.0f rpm, %.0f ft-lbs at %.0f rpm", double(power[std::size_t(peakPower)]),
        double(doc.GetResult(kSeriesEngineSpeed, int(peakPower))), double(torque[std::size_t(peakTorque)]),
        double(doc.GetResult(kSeriesEngineSpeed, int(peakTorque)))));
}

void AddNewOptions(CommandLine& line)
{
    for (const NewOption& option : kOptions) {
        const QStringList names =
            QString(option.name) == "o" ? QStringList{"o", "output"} : QStringList{option.name};
        const QString description =
            option.range != nullptr ? QString(option.description).arg(option.range()) : option.description;
        if (option.valueName == nullptr) {
            line.Parser().addOption(QCommandLineOption(names, description));
        } else {
            line.Parser().addOption(QCommandLineOption(names, description, option.valueName));
        }
    }
}

}  // namespace

int NewCommand(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    CommandLine line("new", "-o ENGINE.trq [options]", QString(kDescription).arg(WrittenFileVersion()));
    AddNewOptions(line);
    int status = kExitOk;
    if (!line.Parse(arguments, out, err, status)) return status;
    const QCommandLineParser& options = line.Parser();
    if (!options.positionalArguments().isEmpty()) {
        return line.UsageError(err, "unexpected '" + options.positionalArguments().front() + "'");
    }

    if (options.isSet("list")) {
        const ChoiceList* list = FindChoiceList(options.value("list"));
        if (list == nullptr) return line.UsageError(err, "unknown group '" + options.value("list") + "'");
        out << ListChoices(*list);
        out.flush();
        return kExitOk;
    }
    const NewOutputs outputs{options.value("output"), options.value("save-cam"),
                             options.value("save-airflow")};
    if (outputs.engine.isEmpty()) return line.UsageError(err, "needs -o ENGINE.trq");
    const QString units = options.value("units");
    if (!units.isEmpty() && units != "english" && units != "metric") {
        return line.UsageError(err, "unknown units '" + units + "' (english or metric)");
    }
    const bool allowNoResults = options.isSet("allow-no-results");
    const QString refusal = CheckOutputs(options, outputs);
    if (!refusal.isEmpty()) return line.Error(err, refusal);

    CliPresenter presenter(err);
    if (allowNoResults) presenter.AnswerOk(Msg::SaveWithoutResults);
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
    if (!ConfirmEngineSave(doc)) return presenter.FailureExitCode();
    QString failure;
    if (!SaveOutputs(doc, outputs, failure)) {
        line.Error(err, failure);
        return presenter.FailureExitCode();
    }
    PrintWrote(out, outputs.engine, Summary(doc));
    return kExitOk;
}

}  // namespace cli
