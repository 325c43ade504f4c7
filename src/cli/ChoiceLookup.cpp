#include "ChoiceLookup.h"

#include "base/Util.h"
#include "model/ComponentTable.h"

namespace cli {

namespace {

QString Normalized(QString name)
{
    name.replace("&&", "&");
    return name.simplified().toCaseFolded();
}

bool IsShortBlocks(const ChoiceGroup& group)
{
    return group.commands.first == Cmd::kShortBlocks.first;
}

}  // namespace

const std::vector<ChoiceGroup>& ChoiceGroups()
{
    static const std::vector<ChoiceGroup> groups = {
        {"blocks", "block", Cmd::kShortBlocks},
        {"heads", "head", Cmd::kStandardHeads},
        {"manifolds", "manifold", Cmd::kManifolds},
        {"fuels", "fuel", Cmd::kFuels},
        {"blowers", "blower", Cmd::kForcedInduction},
        {"exhausts", "exhaust", Cmd::kExhaustSystems},
        {"cams", "cam", Cmd::kCamTypes},
        {"lifters", "lifter", Cmd::kLifterTypes},
        {"timings", "timing", Cmd::kTimingMethods},
    };
    return groups;
}

const ChoiceGroup* FindChoiceGroup(const QString& key)
{
    for (const ChoiceGroup& group : ChoiceGroups()) {
        if (key == group.key || key == group.option) return &group;
    }
    return nullptr;
}

ChoiceMatch FindChoice(const ChoiceGroup& group, const QString& nameOrIndex)
{
    ChoiceMatch match;
    bool isIndex = false;
    const int index = nameOrIndex.trimmed().toInt(&isIndex);
    const QString wanted = Normalized(nameOrIndex);
    for (int command = group.commands.first; command <= group.commands.last; ++command) {
        const ComponentChoice& row = FindComponentChoice(command);
        const bool matches = isIndex ? row.partIndex == index : Normalized(row.name) == wanted;
        if (matches) match.candidates.push_back(command);
    }
    if (match.candidates.size() == 1) match.command = match.candidates.front();
    return match;
}

QString DescribeChoice(const ChoiceGroup& group, int command)
{
    const ComponentChoice& row = FindComponentChoice(command);
    QString line = QString("%1  %2").arg(row.partIndex, 4).arg(QString::fromUtf8(row.name));
    if (IsShortBlocks(group)) {
        line += QString::fromStdString(FormatC("  (%.3f x %.3f in, %d cylinders)", double(row.values[0]),
                                               double(row.values[1]), int(row.values[2])));
    }
    return line;
}

QString ListChoices(const ChoiceGroup& group)
{
    QString text;
    for (int command = group.commands.first; command <= group.commands.last; ++command) {
        text += DescribeChoice(group, command) + "\n";
    }
    return text;
}

}  // namespace cli
