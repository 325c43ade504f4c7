#include "views/EngineFormMenus.h"

#include "base/ErrCode.h"
#include "model/ComponentTable.h"
#include "model/MenuCommands.h"
#include "model/TorqDoc.h"

#include <QAction>
#include <QMenu>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <vector>

namespace {

using Chooser = std::function<void(int)>;

constexpr double kMillimetresPerInch = 25.4;
// Two compression ratios closer than this are the same choice (the slack of every range check).
constexpr float kSameRatio = 0.00001f;

QAction* AddChoice(QMenu& menu, const QString& text, int command, const Chooser& choose)
{
    QAction* action = menu.addAction(text);
    action->setData(command);
    QObject::connect(action, &QAction::triggered, &menu, [choose, command] { choose(command); });
    return action;
}

// A switch shows its state whether on or off.
void Check(QAction* action, bool checked)
{
    action->setCheckable(true);
    action->setChecked(checked);
}

// Of a list of choices only the current one carries a mark.
void MarkIfCurrent(QAction* action, bool current)
{
    if (!current) return;
    action->setCheckable(true);
    action->setChecked(true);
}

// A row of a part-type list; checked while it is the engine's choice.
QAction* AddPartChoice(QMenu& menu, const QString& text, int command, const CPartTypeSpec& current,
                       const Chooser& choose)
{
    QAction* action = AddChoice(menu, text, command, choose);
    MarkIfCurrent(action, current.IsSet() && current.GetIndex() == FindComponentChoice(command).partIndex);
    return action;
}

QString RowName(int command)
{
    return QString::fromUtf8(FindComponentChoice(command).name);
}

// A length of the table (inches) in the engine's unit system.
QString LengthText(float inches, const CTorqDoc& document, int inchDecimals = 3)
{
    if (document.GetUnitSystem() == kMetricUnits) {
        return QStringLiteral("%1 mm").arg(inches * kMillimetresPerInch, 0, 'f', 2);
    }
    return QStringLiteral("%1 in").arg(double(inches), 0, 'f', inchDecimals);
}

void AddToggle(QMenu& menu, const QString& text, int command, const CTorqDoc& document, const Chooser& choose)
{
    QAction* action = AddChoice(menu, text, command, choose);
    const CommandState state = MenuCommandState(document, command);
    Check(action, state.checked);
    action->setEnabled(state.enabled);
}

void AddSizes(QMenu& menu, Cmd::Range range, const CTorqDoc& document, const Chooser& choose)
{
    for (int command = range.first; command <= range.last; ++command) {
        AddChoice(menu, LengthText(FindComponentChoice(command).values[0], document), command, choose);
    }
}

// The leading words that every name of a group shares, without the model
// words (those with a digit) at their end: the maker's name ("Air Research",
// "Roto-master", "B&&M", and "Warner-Ishi" for two RHB5 units).
QString CommonLeadingWords(const QStringList& names)
{
    QStringList common = names.value(0).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString& name : names) {
        const QStringList words = name.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        qsizetype shared = 0;
        while (shared < common.size() && shared < words.size() && common[shared] == words[shared]) ++shared;
        common = common.mid(0, shared);
    }
    const auto hasDigit = [](const QString& word) {
        return std::any_of(word.begin(), word.end(), [](QChar c) { return c.isDigit(); });
    };
    while (common.size() > 1 && hasDigit(common.back())) common.removeLast();
    return common.join(QLatin1Char(' '));
}

// Entries grouped by the first word of their text, in table order.
struct NamedGroup {
    QString key;
    std::vector<int> commands;
    QStringList texts;
};

std::vector<NamedGroup> GroupByFirstWord(const std::vector<std::pair<int, QString>>& entries)
{
    std::vector<NamedGroup> groups;
    for (const auto& [command, text] : entries) {
        const QString key = text.section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty);
        auto found =
            std::find_if(groups.begin(), groups.end(), [&](const NamedGroup& g) { return g.key == key; });
        if (found == groups.end()) {
            groups.push_back({key, {}, {}});
            found = std::prev(groups.end());
        }
        found->commands.push_back(command);
        found->texts.push_back(text);
    }
    return groups;
}

void FillShortBlocks(QMenu& menu, const CTorqDoc& document, const Chooser& choose)
{
    std::vector<std::pair<int, QString>> entries;
    for (int command = Cmd::kShortBlocks.first; command <= Cmd::kShortBlocks.last; ++command) {
        entries.emplace_back(command, RowName(command));
    }
    for (const NamedGroup& group : GroupByFirstWord(entries)) {
        QMenu* make = menu.addMenu(group.key);
        for (std::size_t i = 0; i < group.commands.size(); ++i) {
            const ComponentChoice& row = FindComponentChoice(group.commands[i]);
            // Two blocks may share a name: bore, stroke and cylinders tell them apart.
            const QString detail =
                QStringLiteral("%1 x %2, %3 cyl")
                    .arg(LengthText(row.values[0], document).section(QLatin1Char(' '), 0, 0),
                         LengthText(row.values[1], document))
                    .arg(static_cast<int>(row.values[2]));
            AddPartChoice(*make, group.texts[int(i)] + QLatin1Char('\t') + detail, group.commands[i],
                          document.ShortBlockType(), choose);
        }
    }
}

void AddValveCounts(QMenu& menu, const QString& title, const CIntegerSpec& count, int oneValve, int twoValves,
                    const Chooser& choose)
{
    QMenu* sub = menu.addMenu(title);
    MarkIfCurrent(AddChoice(*sub, QStringLiteral("&1"), oneValve, choose),
                  count.IsSet() && count.GetValue() == 1);
    MarkIfCurrent(AddChoice(*sub, QStringLiteral("&2"), twoValves, choose),
                  count.IsSet() && count.GetValue() == 2);
}

void FillCylinderHeads(QMenu& menu, const CTorqDoc& document, const Chooser& choose)
{
    for (int command = Cmd::kStandardHeads.first; command <= Cmd::kStandardHeads.last; ++command) {
        AddPartChoice(menu, RowName(command), command, document.CylinderHeadType(), choose);
    }
    // The user's own flow-bench data, typed in the airflow data dialog.
    AddPartChoice(menu, QStringLiteral("Custom Port Flow..."), Cmd::kCustomPortFlow,
                  document.CylinderHeadType(), choose);
    menu.addSeparator();
    AddValveCounts(menu, QStringLiteral("&Intake Valves per Cylinder"), document.IntakeValveCount(),
                   Cmd::kOneIntakeValve, Cmd::kTwoIntakeValves, choose);
    AddValveCounts(menu, QStringLiteral("&Exhaust Valves per Cylinder"), document.ExhaustValveCount(),
                   Cmd::kOneExhaustValve, Cmd::kTwoExhaustValves, choose);
}

void FillInduction(QMenu& menu, const Chooser& choose)
{
    bool twoBarrel = true;
    for (int command = Cmd::kInduction.first; command <= Cmd::kInduction.last; ++command) {
        const ComponentChoice& row = FindComponentChoice(command);
        const bool atThreeInches = row.values[1] > 2.0f;
        if (twoBarrel && !atThreeInches) menu.addSeparator();
        twoBarrel = atThreeInches;
        QString text = QStringLiteral("%1 cfm @ %2 inHg")
                           .arg(double(row.values[0]), 0, 'f', 0)
                           .arg(double(row.values[1]), 0, 'f', 1);
        if (atThreeInches) text += QStringLiteral("\t2-barrel");
        AddChoice(menu, text, command, choose);
    }
}

void FillFuels(QMenu& menu, const CTorqDoc& document, const Chooser& choose)
{
    for (int command = Cmd::kFuels.first; command <= Cmd::kFuels.last; ++command) {
        const ComponentChoice& row = FindComponentChoice(command);
        QString text = RowName(command);
        if (row.values[0] > 0.0f)
            text += QStringLiteral("\t%1 lbs/min").arg(double(row.values[0]), 0, 'f', 0);
        AddPartChoice(menu, text, command, document.FuelType(), choose);
    }
}

bool IsCustomForcedInduction(int command)
{
    return command == Cmd::kCustomTurbo || command == Cmd::kCustomCentrifugalBlower ||
           command == Cmd::kCustomRootsBlower;
}

void FillForcedInduction(QMenu& menu, const CTorqDoc& document, const Chooser& choose)
{
    const CPartTypeSpec& current = document.ForcedInductionType();
    AddPartChoice(menu, RowName(Cmd::kForcedInductionNone), Cmd::kForcedInductionNone, current, choose);
    menu.addSeparator();
    const QString kindTitles[] = {QString(), QStringLiteral("&Turbochargers"),
                                  QStringLiteral("&Centrifugal Blowers"), QStringLiteral("&Roots Blowers")};
    for (int kind = kTurbocharger; kind <= kRootsBlower; ++kind) {
        // The kind is the name's prefix ("Turbo-", "Centrifugal-", "Roots-"):
        // what follows it is maker and model.
        std::vector<std::pair<int, QString>> entries;
        for (int command = Cmd::kForcedInduction.first; command <= Cmd::kForcedInduction.last; ++command) {
            const ComponentChoice& row = FindComponentChoice(command);
            if (static_cast<int>(row.values[0]) != kind || IsCustomForcedInduction(command) ||
                command == Cmd::kForcedInductionNone) {
                continue;
            }
            entries.emplace_back(command, RowName(command).section(QLatin1Char('-'), 1).trimmed());
        }
        QMenu* kindMenu = menu.addMenu(kindTitles[kind]);
        for (const NamedGroup& group : GroupByFirstWord(entries)) {
            QMenu* maker = kindMenu->addMenu(CommonLeadingWords(group.texts));
            for (std::size_t i = 0; i < group.commands.size(); ++i) {
                const ComponentChoice& row = FindComponentChoice(group.commands[i]);
                const QString text =
                    group.texts[int(i)] + QStringLiteral("\t%1 cfm").arg(double(row.values[1]), 0, 'f', 0);
                AddPartChoice(*maker, text, group.commands[i], current, choose);
            }
        }
    }
    menu.addSeparator();
    for (int command : {Cmd::kCustomTurbo, Cmd::kCustomCentrifugalBlower, Cmd::kCustomRootsBlower}) {
        AddPartChoice(menu, RowName(command), command, current, choose);
    }
}

void FillIntercooler(QMenu& menu, const Chooser& choose)
{
    AddChoice(menu, RowName(Cmd::kIntercoolerNone), Cmd::kIntercoolerNone, choose);
    for (int command = Cmd::kIntercoolerNone + 1; command <= Cmd::kIntercoolers.last; ++command) {
        AddChoice(menu, QStringLiteral("%1 %").arg(double(FindComponentChoice(command).values[0]), 0, 'f', 0),
                  command, choose);
    }
}

// Part-type lists whose menu entries read differently from the stored names.
void FillNamedEntries(QMenu& menu, Cmd::Range range, std::initializer_list<const char*> texts,
                      const CPartTypeSpec& current, const Chooser& choose)
{
    TORQ_ASSERT(static_cast<int>(texts.size()) == range.Count());
    int command = range.first;
    for (const char* text : texts) AddPartChoice(menu, QString::fromUtf8(text), command++, current, choose);
}

void FillCamTypes(QMenu& menu, const CTorqDoc& document, const Chooser& choose)
{
    FillNamedEntries(menu, Cmd::kCamTypes,
                     {"Stock Street/Economy Profile", "High Performance Street Profile",
                      "Dual Purpose Street/Track Profile", "Drag-Race/Circle-Track Profile",
                      "Drag-Race High-Speed Profile", "Custom Cam Type..."},
                     document.Cam().CamType(), choose);
    // The custom entry opens a dialog; a separator sets it apart.
    QList<QAction*> actions = menu.actions();
    menu.insertSeparator(actions.last());
}

void FillLifts(QMenu& menu, Cmd::Range range, const CTorqDoc& document, const Chooser& choose)
{
    AddToggle(menu, QStringLiteral("Auto Calculate Valve Lift"), Cmd::kAutoValveLift, document, choose);
    menu.addSeparator();
    AddSizes(menu, range, document, choose);
}

void FillDiameters(QMenu& menu, Cmd::Range range, const CTorqDoc& document, const Chooser& choose)
{
    AddToggle(menu, QStringLiteral("Auto Calculate Valve Size"), Cmd::kAutoValveSizes, document, choose);
    menu.addSeparator();
    for (int command = range.first; command <= range.last; ++command) {
        AddChoice(menu, LengthText(FindComponentChoice(command).values[0], document, 2), command, choose);
    }
}

void FillRatios(QMenu& menu, const CTorqDoc& document, const Chooser& choose)
{
    const CFloatPtSpec& current = document.CompressionRatio();
    for (int command = Cmd::kCompressionRatios.first; command <= Cmd::kCompressionRatios.last; ++command) {
        const float ratio = FindComponentChoice(command).values[0];
        QAction* action =
            AddChoice(menu, QStringLiteral("%1:1").arg(double(ratio), 0, 'f', 1), command, choose);
        // A ratio is the same figure in both unit systems.
        MarkIfCurrent(action, current.IsSet() && std::fabs(current.GetValue() - ratio) <= kSameRatio);
    }
}

void FillPartList(QMenu& menu, Cmd::Range range, const CPartTypeSpec& current, const Chooser& choose)
{
    for (int command = range.first; command <= range.last; ++command) {
        AddPartChoice(menu, RowName(command), command, current, choose);
    }
}

// The induction group's menus.
void FillInductionMenu(QMenu& menu, FormMenu which, const CTorqDoc& document, const Chooser& choose)
{
    switch (which) {
        case FormMenu::Induction:
            FillInduction(menu, choose);
            break;
        case FormMenu::PressureDrop:
            AddChoice(menu, QStringLiteral("1.5 inHg"), Cmd::kPressureDrop15, choose);
            AddChoice(menu, QStringLiteral("3.0 inHg"), Cmd::kPressureDrop30, choose);
            break;
        case FormMenu::Manifolds:
            FillPartList(menu, Cmd::kManifolds, document.ManifoldType(), choose);
            break;
        case FormMenu::Fuels:
            FillFuels(menu, document, choose);
            break;
        case FormMenu::ForcedInduction:
            FillForcedInduction(menu, document, choose);
            break;
        case FormMenu::Intercooler:
            FillIntercooler(menu, choose);
            break;
        default:
            break;
    }
}

// The camshaft group's menus.
void FillCamshaftMenu(QMenu& menu, FormMenu which, const CTorqDoc& document, const Chooser& choose)
{
    switch (which) {
        case FormMenu::CamTypes:
            FillCamTypes(menu, document, choose);
            break;
        case FormMenu::CamFile:
            AddChoice(menu, QStringLiteral("&Open Cam File..."), Cmd::kOpenCam, choose);
            AddChoice(menu, QStringLiteral("Save Cam File &As..."), Cmd::kSaveCam, choose);
            break;
        case FormMenu::LifterTypes:
            FillNamedEntries(menu, Cmd::kLifterTypes,
                             {"Hydraulic Flat-Tappet Lifters", "Solid Flat-Tappet Lifters",
                              "Roller Solid Or Hydraulic Lifters"},
                             document.Cam().LifterType(), choose);
            break;
        case FormMenu::TimingMethods:
            FillNamedEntries(menu, Cmd::kTimingMethods, {"Seat-To-Seat Timing", "0.050-inch Timing"},
                             document.Cam().TimingMethod(), choose);
            break;
        case FormMenu::IntakeValveLifts:
            FillLifts(menu, Cmd::kIntakeValveLifts, document, choose);
            break;
        case FormMenu::ExhaustValveLifts:
            FillLifts(menu, Cmd::kExhaustValveLifts, document, choose);
            break;
        default:
            break;
    }
}

}  // namespace

void FillFormMenu(QMenu& menu, FormMenu which, const CTorqDoc& document, const Chooser& choose)
{
    switch (which) {
        case FormMenu::None:
            break;
        case FormMenu::ShortBlocks:
            FillShortBlocks(menu, document, choose);
            break;
        case FormMenu::CylinderHeads:
            FillCylinderHeads(menu, document, choose);
            break;
        case FormMenu::AirflowFile:
            AddChoice(menu, QStringLiteral("&Open Airflow File..."), Cmd::kOpenAirflow, choose);
            AddChoice(menu, QStringLiteral("Save Airflow File &As..."), Cmd::kSaveAirflow, choose);
            break;
        case FormMenu::IntakeValveDiameters:
            FillDiameters(menu, Cmd::kIntakeValveDiameters, document, choose);
            break;
        case FormMenu::ExhaustValveDiameters:
            FillDiameters(menu, Cmd::kExhaustValveDiameters, document, choose);
            break;
        case FormMenu::CompressionRatios:
            FillRatios(menu, document, choose);
            break;
        case FormMenu::Induction:
        case FormMenu::PressureDrop:
        case FormMenu::Manifolds:
        case FormMenu::Fuels:
        case FormMenu::ForcedInduction:
        case FormMenu::Intercooler:
            FillInductionMenu(menu, which, document, choose);
            break;
        case FormMenu::ExhaustSystems:
            FillPartList(menu, Cmd::kExhaustSystems, document.ExhaustSystem(), choose);
            break;
        case FormMenu::CamTypes:
        case FormMenu::CamFile:
        case FormMenu::LifterTypes:
        case FormMenu::TimingMethods:
        case FormMenu::IntakeValveLifts:
        case FormMenu::ExhaustValveLifts:
            FillCamshaftMenu(menu, which, document, choose);
            break;
    }
}
