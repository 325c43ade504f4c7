// torqwell-cli calc compression|airflow|cam [options]
//
// The desktop program's three calculators on the command line: the same
// core arithmetic, the same ranges, the same checks and messages.

#include "CliCommands.h"
#include "CliSupport.h"
#include "HelpRanges.h"

#include "base/Util.h"
#include "components/AirflowCalculator.h"
#include "components/CamCalculator.h"
#include "components/CompressionCalculator.h"
#include "model/DocumentCalculators.h"
#include "model/TorqDoc.h"

#include <functional>
#include <utility>
#include <vector>

namespace cli {

namespace {

constexpr const char* kCalcDescription =
    "The calculators of the desktop program's Calculators menu:\n"
    "  compression  the compression ratio from the chamber, head gasket and deck measurements\n"
    "  airflow      an airflow measured at one pressure drop, converted to a carburettor rating\n"
    "  cam          the four valve events from the figures of a cam card\n"
    "'torqwell-cli calc KIND --help' shows the options of each. Every number is checked\n"
    "against the range the desktop program allows and must be a whole number text\n"
    "('4abc' is refused). Exit status: 0 the figures are printed; 2 bad input: a value\n"
    "out of range (the range is printed), or figures the desktop program would refuse\n"
    "to apply (they are printed, with the program's message).";

// One "label: value units" row, or the JSON value of a figure.
struct Figure {
    const char* label;  // the dialog's label
    const char* key;    // the JSON key
    std::string value;  // as the dialog shows it; empty for none
    std::string units;
    std::string jsonValue;  // when the JSON value differs from the shown one
};

void PrintFigures(QTextStream& out, const std::vector<Figure>& figures, bool json)
{
    if (json) {
        out << "{";
        for (std::size_t i = 0; i < figures.size(); ++i) {
            const Figure& figure = figures[i];
            const std::string& value = figure.jsonValue.empty() ? figure.value : figure.jsonValue;
            // A shown figure is a JSON number ("8.65", "-10.59"); none, or an infinite ratio, is null.
            const bool number = !value.empty() && value != "Infinity";
            out << (i == 0 ? "" : ", ") << '"' << figure.key
                << "\": " << (number ? QString::fromStdString(value) : QStringLiteral("null"));
        }
        out << "}\n";
    } else {
        for (const Figure& figure : figures) {
            QString row = QString::fromLatin1(figure.label).leftJustified(22) +
                          QString::fromStdString(figure.value).rightJustified(10);
            if (!figure.units.empty() && !figure.value.empty())
                row += " " + QString::fromStdString(figure.units);
            while (row.endsWith(' ')) row.chop(1);
            out << row << "\n";
        }
    }
    out.flush();
}

// The options of one calculator: numbers are handed to the calculator's
// parameters as the dialog's fields hand them over.
class CalcLine {
public:
    CalcLine(const QString& name, const QString& synopsis, const QString& description)
        : m_line("calc " + name, synopsis, description)
    {
        m_line.Parser().addOption(
            QCommandLineOption({"f", "format"}, "table (the dialog's figures) or json.", "format", "table"));
    }

    CommandLine& Line() { return m_line; }
    QCommandLineParser& Parser() { return m_line.Parser(); }

    void AddOption(const char* name, const char* valueName, const QString& description)
    {
        Parser().addOption(valueName != nullptr ? QCommandLineOption(name, description, valueName)
                                                : QCommandLineOption(name, description));
    }

    // Parses; false when done (help printed or bad usage).
    bool Parse(const QStringList& arguments, QTextStream& out, QTextStream& err)
    {
        if (!m_line.Parse(arguments, out, err, m_status)) return false;
        if (!Parser().positionalArguments().isEmpty()) {
            return Fail(err, "unexpected argument '" + Parser().positionalArguments().front() + "'");
        }
        const QString format = Parser().value("format");
        if (format != "table" && format != "json")
            return Fail(err, "unknown format '" + format + "' (table or json)");
        m_json = format == "json";
        return true;
    }

    bool Json() const { return m_json; }
    int Status() const { return m_status; }
    bool Has(const char* option) { return m_line.Parser().isSet(option); }
    QString Value(const char* option) { return m_line.Parser().value(option); }

    bool Fail(QTextStream& err, const QString& text)
    {
        m_status = m_line.UsageError(err, text);
        return false;
    }

    // The same, as the command's exit status.
    int Usage(QTextStream& err, const QString& text)
    {
        Fail(err, text);
        return m_status;
    }

    // A required option.
    bool Require(QTextStream& err, std::initializer_list<const char*> options)
    {
        for (const char* option : options) {
            if (!Has(option)) return Fail(err, QString("--%1 is required").arg(option));
        }
        return true;
    }

    // The option's number typed into a field: refused texts and values out
    // of the parameter's range are usage errors that print the range.
    bool Number(QTextStream& err, const char* option, const CFloatPtSpec& parameter,
                const std::function<EntryResult(const std::string&)>& enter)
    {
        const QString text = Value(option).trimmed();
        bool whole = false;
        text.toDouble(&whole);
        if (!whole) return Fail(err, QString("--%1: '%2' is not a number").arg(option, Value(option)));
        if (enter(text.toStdString()) != EntryResult::Accepted) {
            return Fail(
                err, QString("--%1 %2: %3").arg(option, text, QString::fromStdString(parameter.GetPrompt())));
        }
        return true;
    }

private:
    CommandLine m_line;
    int m_status = kExitOk;
    bool m_json = false;
};

// Prints the calculator's message for a failed check: figures the dialog
// would refuse to apply are bad input, status 2.
int CheckFailed(QTextStream& err, ErrorCode code)
{
    CliPresenter presenter(err);
    ShowErrorMessage(code);
    return kExitUsage;
}

std::string ShownText(const CFloatPtSpec& parameter)
{
    return EditText(parameter);
}

// ---------------------------------------------------------------- compression

constexpr const char* kCompressionDescription =
    "The compression ratio from what is measured on the parts (the Compression Ratio\n"
    "Calculator). Lengths in inches, or millimetres with --metric; volumes in cc.\n"
    "A flattop piston (the default) is measured down the bore at TDC (--deck), negative\n"
    "when it stands above the deck; a piston with a dome, dish or valve reliefs is given\n"
    "with the volume measured above it (--dome) at a distance down from TDC (--deck).\n"
    "\n"
    "Example: torqwell-cli calc compression --bore 4.0 --stroke 3.48 --chamber 64\n"
    "  --gasket-bore 4.1 --gasket-thickness 0.040 --deck 0.025";

// The options of the compression calculator, their ranges from the engine's parameters.
void AddCompressionOptions(CalcLine& line)
{
    const EngineValues& engine = NewEngineValues();
    using Calculator = CompressionCalculator;
    line.AddOption("bore", "in",
                   "Cylinder bore (the short block's), " + RangeText(engine.bore, 1, 1) + " in.");
    line.AddOption(
        "stroke", "in",
        "Crankshaft stroke, " + RangeText(engine.stroke, 1, 1) + " in: with the bore, the swept volume.");
    line.AddOption("chamber", "cc",
                   "Cylinder head chamber volume, " + RangeText(engine.chamberVolume, 1, 0) +
                       " cc (kept to 2 decimals).");
    line.AddOption("gasket-bore", "in",
                   "Head gasket bore diameter, " + RangeText(engine.gasketBore, 1, 1) + " in.");
    line.AddOption("gasket-thickness", "in",
                   "Head gasket compressed thickness, " + RangeText(engine.gasketThickness, 0, 2) + " in.");
    line.AddOption("deck", "in",
                   "Piston down the bore at TDC, " +
                       RangeText(Calculator::kFlattopDistanceMinIn, Calculator::kDistanceMaxIn, 1, 1) +
                       " in (flattop); with --dome, the distance down\n"
                       "from TDC where the volume above the piston is measured, " +
                       RangeText(Calculator::kDomedDistanceMinIn, Calculator::kDistanceMaxIn, 1, 1) + " in.");
    line.AddOption("dome", "cc",
                   "A piston with a dome, dish or valve reliefs: the volume measured above it, " +
                       RangeText(engine.pistonDeckVolume, 1, 0) + " cc.");
    line.AddOption("metric", nullptr, "Lengths in millimetres.");
}

int CompressionCalc(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    using Input = CompressionCalculator::Input;
    CalcLine line("compression", "[options]", kCompressionDescription);
    AddCompressionOptions(line);
    if (!line.Parse(arguments, out, err)) return line.Status();
    const bool domed = line.Has("dome");
    if (!line.Require(err, {"bore", "stroke", "chamber", "gasket-bore", "gasket-thickness", "deck"})) {
        return line.Status();
    }

    // A short block of the given bore and stroke, as the document computes its swept volume.
    CTorqDoc doc;
    doc.SetAutoRun(false);
    if (line.Has("metric")) doc.SetUnitSystem(kMetricUnits);
    const auto typed = [](CFloatPtSpec& parameter) {
        return [&parameter](const std::string& text) { return EnterNumber(parameter, text); };
    };
    if (!line.Number(err, "bore", doc.Bore(), typed(doc.Bore())) ||
        !line.Number(err, "stroke", doc.Stroke(), typed(doc.Stroke()))) {
        return line.Status();
    }
    doc.ShortBlockType().SetFromText("Measured Short Block", false);
    doc.NumberOfCylinders().SetValue(1);
    doc.Recalculate();

    CompressionCalculator calculator = CompressionCalculatorFor(doc);
    calculator.SetPistonKind(domed ? CompressionCalculator::kDomedPiston
                                   : CompressionCalculator::kFlattopPiston);
    const std::pair<const char*, Input> inputs[] = {{"chamber", Input::ChamberVolume},
                                                    {"gasket-bore", Input::GasketBore},
                                                    {"gasket-thickness", Input::GasketThickness},
                                                    {"deck", Input::PistonDistance},
                                                    {"dome", Input::PistonVolume}};
    for (const auto& [option, input] : inputs) {
        if (!line.Has(option)) continue;
        const auto enter = [&calculator, input = input](const std::string& text) {
            return calculator.Enter(input, text);
        };
        if (!line.Number(err, option, calculator.Parameter(input), enter)) return line.Status();
    }

    PrintFigures(
        out,
        {{"Head Gasket Volume:", "gasket_volume", ShownText(calculator.GasketVolume()), "cc", ""},
         {"Deck Volume @ TDC:", "deck_volume", ShownText(calculator.DeckVolume()), "cc", ""},
         {"Swept Cylinder Vol:", "swept_volume", ShownText(calculator.SweptVolume()), "cc", ""},
         {"Total Combustion Vol:", "total_combustion_volume", ShownText(calculator.TotalVolume()), "cc", ""},
         {"Compression Ratio:", "compression_ratio", calculator.RatioText(), "", ""}},
        line.Json());
    const ErrorCode code = calculator.CheckApply();
    return code == 0 ? kExitOk : CheckFailed(err, code);
}

// ---------------------------------------------------------------- airflow

constexpr const char* kAirflowDescription =
    "Converts an airflow measured at one pressure drop to the airflow at another by the\n"
    "square-root law (the Airflow Math Calculator): to a carburettor rating standard,\n"
    "2-barrel at 3.0 inHg or 4-barrel at 1.5 inHg, or to a pressure drop of your own in\n"
    "inches of water. A rated airflow must lie within %1 cfm, as the engine's\n"
    "induction flow does.\n"
    "\n"
    "Example: torqwell-cli calc airflow --flow 600 --at 20 --to 4bbl";

// The options of the airflow calculator, their ranges from its own parameters.
void AddAirflowOptions(CalcLine& line)
{
    using Input = AirflowCalculator::Input;
    const AirflowCalculator ranges(kEnglishUnits);  // in inches of water
    line.AddOption(
        "flow", "cfm",
        "The measured airflow, " + RangeText(ranges.Parameter(Input::KnownAirflow), 0, 0) + " cfm.");
    line.AddOption("at", "inH2O",
                   "The pressure drop it was measured at, " +
                       RangeText(ranges.Parameter(Input::KnownPressure), 1, 0) + " inches of water.");
    line.AddOption("at-hg", "inHg", "The same in inches of mercury (1 inH2O = 0.0738 inHg).");
    line.AddOption("to", "target",
                   "2bbl (3.0 inHg), 4bbl (1.5 inHg), or a pressure drop in inches of water.");
}

int AirflowCalc(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    using Input = AirflowCalculator::Input;
    CalcLine line("airflow", "[options]",
                  QString(kAirflowDescription).arg(RangeText(NewEngineValues().inductionFlow, 0, 0)));
    AddAirflowOptions(line);
    if (!line.Parse(arguments, out, err)) return line.Status();
    if (!line.Require(err, {"flow", "to"})) return line.Status();
    if (line.Has("at") == line.Has("at-hg"))
        return line.Usage(err, "give the measured pressure drop once: --at or --at-hg");

    const QString to = line.Value("to").trimmed().toLower();
    int mode = AirflowCalculator::kNoStandard;
    if (to == "2bbl") mode = AirflowCalculator::kTwoBarrel;
    if (to == "4bbl") mode = AirflowCalculator::kFourBarrel;
    const bool free = mode == AirflowCalculator::kNoStandard;

    AirflowCalculator calculator(kEnglishUnits);
    calculator.ShowKnownPressureInMercury(line.Has("at-hg"));
    calculator.ShowTargetPressureInMercury(!free);
    calculator.SetMode(mode);
    const auto field = [&calculator](Input input) {
        return [&calculator, input](const std::string& text) { return calculator.Enter(input, text); };
    };
    const char* known = line.Has("at") ? "at" : "at-hg";
    if (!line.Number(err, "flow", calculator.Parameter(Input::KnownAirflow), field(Input::KnownAirflow)) ||
        !line.Number(err, known, calculator.Parameter(Input::KnownPressure), field(Input::KnownPressure)) ||
        (free && !line.Number(err, "to", calculator.Parameter(Input::TargetPressure),
                              field(Input::TargetPressure)))) {
        return line.Status();
    }

    // The target as the dialog shows it; in inches of mercury for JSON, as the engine takes it.
    const float inHg = free ? calculator.TargetPressureInHg() : calculator.RatingPressureInHg();
    const CFloatPtSpec& shownTarget = calculator.Parameter(Input::TargetPressure);
    PrintFigures(out,
                 {{"Airflow Rate:", "airflow", ShownText(calculator.Airflow()), "cfm", ""},
                  {"Pressure Drop:", "pressure_drop_inhg", ShownText(shownTarget),
                   shownTarget.GetUnitsLabel(), FormatC("%.6g", double(inHg))}},
                 line.Json());
    const ErrorCode code = free ? 0 : calculator.CheckApply();
    return code == 0 ? kExitOk : CheckFailed(err, code);
}

// ---------------------------------------------------------------- cam

// The four nominal events' ranges of a timing method: "-25 to 50, -10 to 95,
// ...", or, where all four start at the same angle, "0 to 80/120/\n115/80"
// (the line break keeps the help within its width).
QString EventRanges(const CamData& cam)
{
    const CFloatPtSpec* events[] = {&cam.NominalIvo(), &cam.NominalIvc(), &cam.NominalEvo(),
                                    &cam.NominalEvc()};
    const auto number = [](float value) { return QString::number(double(value), 'f', 0); };
    QStringList maxima;
    QStringList ranges;
    bool oneMinimum = true;
    for (const CFloatPtSpec* event : events) {
        oneMinimum = oneMinimum && event->GetMinimum() == events[0]->GetMinimum();
        maxima << number(event->GetMaximum());
        ranges << RangeText(*event, 0, 0);
    }
    if (!oneMinimum) return ranges.join(", ");
    return number(events[0]->GetMinimum()) + " to " + maxima.mid(0, 2).join("/") + "/\n" +
           maxima.mid(2).join("/");
}

// "(seat-to-seat 0 to 80/120/\n115/80, 0.050-lift -25 to 50, ...)", from the cam's ranges.
QString CamEventRanges()
{
    CamData cam;
    cam.ApplySeatToSeatRanges();
    const QString seatToSeat = EventRanges(cam);
    cam.ApplyFiftyLiftRanges();
    return "(seat-to-seat " + seatToSeat + ", 0.050-lift " + EventRanges(cam) + ")";
}

int CamCalc(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    using Input = CamCalculator::Input;
    CalcLine line(
        "cam", "[options]",
        QString("The four nominal valve events from the figures of a cam card (the Cam Math\n"
                "Calculator), in crank degrees: IVO before TDC, IVC after BDC, EVO before BDC, EVC\n"
                "after TDC. An event outside the timing method's range %1 is not given: it is\n"
                "empty in the table, null in json, and the status is 2.\n"
                "\n"
                "Example: torqwell-cli calc cam --lsa 110 --icl 106 --intake-duration 280\n"
                "  --exhaust-duration 280")
            .arg(CamEventRanges()));
    line.AddOption("lsa", "deg", "Lobe center (lobe separation) angle, cam degrees.");
    line.AddOption("icl", "deg", "Intake centerline, crank degrees after TDC.");
    line.AddOption("intake-duration", "deg", "Intake duration, crank degrees.");
    line.AddOption("exhaust-duration", "deg", "Exhaust duration, crank degrees.");
    line.AddOption("timing", "method",
                   "seat (default) or 050: the card's figures are seat to seat or at 0.050 in lift.");
    if (!line.Parse(arguments, out, err)) return line.Status();
    if (!line.Require(err, {"lsa", "icl", "intake-duration", "exhaust-duration"})) {
        return line.Status();
    }
    const QString timing = line.Has("timing") ? line.Value("timing").trimmed().toLower() : "seat";
    CamData cam;
    if (timing == "seat") {
        cam.SetTimingMethod(CamData::kSeatToSeat, CamData::kSeatToSeatName);
    } else if (timing == "050") {
        cam.SetTimingMethod(CamData::kFiftyLift, CamData::kFiftyLiftName);
    } else {
        return line.Usage(err, "unknown --timing '" + line.Value("timing") + "' (seat or 050)");
    }

    CamCalculator calculator(cam);
    const std::pair<const char*, Input> inputs[] = {{"lsa", Input::LobeCenter},
                                                    {"icl", Input::IntakeCenterline},
                                                    {"intake-duration", Input::IntakeDuration},
                                                    {"exhaust-duration", Input::ExhaustDuration}};
    for (const auto& [option, input] : inputs) {
        const auto enter = [&calculator, input = input](const std::string& text) {
            return calculator.Enter(input, text);
        };
        if (!line.Number(err, option, calculator.Parameter(input), enter)) return line.Status();
    }
    const CamData& events = calculator.Cam();
    PrintFigures(out,
                 {{"IVO (degrees BTDC):", "ivo", ShownText(events.NominalIvo()), "", ""},
                  {"IVC (degrees ABDC):", "ivc", ShownText(events.NominalIvc()), "", ""},
                  {"EVO (degrees BBDC):", "evo", ShownText(events.NominalEvo()), "", ""},
                  {"EVC (degrees ATDC):", "evc", ShownText(events.NominalEvc()), "", ""}},
                 line.Json());
    const ErrorCode code = calculator.CheckEvents();
    return code == 0 ? kExitOk : CheckFailed(err, code);
}

void PrintCalcHelp(QTextStream& out)
{
    out << "Usage: " << kProgramName << " calc compression|airflow|cam [options]\n"
        << kCalcDescription << "\n";
    out.flush();
}

}  // namespace

int CalcCommand(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    const QString kind = arguments.value(0);
    if (kind == "-h" || kind == "--help" || kind == "help") {
        PrintCalcHelp(out);
        return kExitOk;
    }
    const QStringList rest = arguments.mid(1);
    if (kind == "compression") return CompressionCalc(rest, out, err);
    if (kind == "airflow") return AirflowCalc(rest, out, err);
    if (kind == "cam") return CamCalc(rest, out, err);
    err << kProgramName
        << " calc: " << (kind.isEmpty() ? QString("which calculator?") : "unknown calculator '" + kind + "'")
        << " (compression, airflow or cam)" << Qt::endl;
    err << "Try '" << kProgramName << " calc --help'." << Qt::endl;
    return kExitUsage;
}

}  // namespace cli
