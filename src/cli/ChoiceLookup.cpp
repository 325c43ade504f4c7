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

}  // namespace

const std::vector<ChoiceList>& ChoiceLists()
{
    static const std::vector<ChoiceList> lists = {
        {"blocks", "block", ChoiceGroup::ShortBlock},
        {"heads", "head", ChoiceGroup::CylinderHead},
        {"manifolds", "manifold", ChoiceGroup::Manifold},
        {"fuels", "fuel", ChoiceGroup::Fuel},
        {"blowers", "blower", ChoiceGroup::ForcedInduction},
        {"exhausts", "exhaust", ChoiceGroup::ExhaustSystem},
        {"cams", "cam", ChoiceGroup::CamType},
        {"lifters", "lifter", ChoiceGroup::LifterType},
        {"timings", "timing", ChoiceGroup::TimingMethod},
    };
    return lists;
}

const ChoiceList* FindChoiceList(const QString& key)
{
    for (const ChoiceList& list : ChoiceLists()) {
        if (key == list.key || key == list.option) return &list;
    }
    return nullptr;
}

ChoiceMatch FindChoice(const ChoiceList& list, const QString& nameOrIndex)
{
    ChoiceMatch match;
    bool isIndex = false;
    const int index = nameOrIndex.trimmed().toInt(&isIndex);
    const QString wanted = Normalized(nameOrIndex);
    const auto rows = ChoicesOf(list.group);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const bool matches = isIndex ? rows[i].partIndex == index : Normalized(rows[i].name) == wanted;
        if (matches) match.candidates.push_back(Choice{list.group, static_cast<int>(i)});
    }
    if (match.candidates.size() == 1) match.choice = match.candidates.front();
    return match;
}

QString DescribeChoice(Choice choice)
{
    const ComponentChoice& row = ChoiceRow(choice);
    QString line = QString("%1  %2").arg(row.partIndex, 4).arg(QString::fromUtf8(row.name));
    if (choice.group == ChoiceGroup::ShortBlock) {
        line += QString::fromStdString(FormatC("  (%.3f x %.3f in, %d cylinders)", double(row.values[0]),
                                               double(row.values[1]), int(row.values[2])));
    }
    return line;
}

QString ListChoices(const ChoiceList& list)
{
    QString text;
    const auto rows = ChoicesOf(list.group);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        text += DescribeChoice(Choice{list.group, static_cast<int>(i)}) + "\n";
    }
    return text;
}

}  // namespace cli
