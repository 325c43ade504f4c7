#include "MenuCommands.h"

#include "ComponentTable.h"
#include "TorqDoc.h"
#include "base/Assertion.h"

#include <utility>

namespace {

struct EngineCommandEntry {
    EngineCommand command;
    int menuCommand;
};

constexpr EngineCommandEntry kEngineCommandEntries[] = {
    {EngineCommand::OneIntakeValve, Cmd::kOneIntakeValve},
    {EngineCommand::TwoIntakeValves, Cmd::kTwoIntakeValves},
    {EngineCommand::OneExhaustValve, Cmd::kOneExhaustValve},
    {EngineCommand::TwoExhaustValves, Cmd::kTwoExhaustValves},
    {EngineCommand::PressureDrop15, Cmd::kPressureDrop15},
    {EngineCommand::PressureDrop30, Cmd::kPressureDrop30},
    {EngineCommand::AutoValveSizes, Cmd::kAutoValveSizes},
    {EngineCommand::AutoValveLift, Cmd::kAutoValveLift},
    {EngineCommand::AutoRun, Cmd::kAutoRun},
    {EngineCommand::EnglishUnits, Cmd::kEnglishUnits},
    {EngineCommand::MetricUnits, Cmd::kMetricUnits},
    {EngineCommand::Run, Cmd::kRun},
    {EngineCommand::ClearComponents, Cmd::kClearComponents},
};

std::optional<Choice> ChoiceOf(int menuCommand)
{
    for (ChoiceGroup group : kChoiceGroups) {
        const auto rows = ChoicesOf(group);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (rows[i].menuCommand == menuCommand) return Choice{group, static_cast<int>(i)};
        }
    }
    return std::nullopt;
}

}  // namespace

const ComponentChoice* TryFindComponentChoice(int menuCommand)
{
    for (const ComponentChoice& row : ComponentChoices()) {
        if (row.menuCommand == menuCommand) return &row;
    }
    return nullptr;
}

const ComponentChoice& FindComponentChoice(int menuCommand)
{
    const ComponentChoice* row = TryFindComponentChoice(menuCommand);
    TORQ_ASSERT(row != nullptr);
    return *row;
}

std::optional<DocumentCommand> DocumentCommandOf(int menuCommand)
{
    if (const std::optional<Choice> choice = ChoiceOf(menuCommand)) return *choice;
    for (const EngineCommandEntry& entry : kEngineCommandEntries) {
        if (entry.menuCommand == menuCommand) return entry.command;
    }
    return std::nullopt;
}

int MenuCommandOf(const DocumentCommand& command)
{
    if (const auto* choice = std::get_if<Choice>(&command)) return ChoiceRow(*choice).menuCommand;
    for (const EngineCommandEntry& entry : kEngineCommandEntries) {
        if (entry.command == std::get<EngineCommand>(command)) return entry.menuCommand;
    }
    ReportAssertion(__FILE__, __LINE__);
}

CommandResult ApplyMenuCommand(CTorqDoc& doc, int menuCommand)
{
    const std::optional<DocumentCommand> command = DocumentCommandOf(menuCommand);
    if (!command) return CommandResult::NotHandled;
    return doc.Apply(*command);
}

CommandState MenuCommandState(const CTorqDoc& doc, int menuCommand)
{
    const std::optional<DocumentCommand> command = DocumentCommandOf(menuCommand);
    if (!command || !std::holds_alternative<EngineCommand>(*command)) return {};
    return doc.GetCommandState(std::get<EngineCommand>(*command));
}
