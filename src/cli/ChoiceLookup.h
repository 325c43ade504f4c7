#pragma once

#include "model/Commands.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace cli {

// The part-type groups of the component choice table that "new" chooses
// from by name or by index.
struct ChoiceGroup {
    const char* key;     // as --list takes it: "blocks", "heads", ...
    const char* option;  // the option that chooses from it: "block", "head", ...
    Cmd::Range commands;
};

const std::vector<ChoiceGroup>& ChoiceGroups();
const ChoiceGroup* FindChoiceGroup(const QString& key);

// The menu command of a choice given by its index in the group's list
// (what the engine file stores) or by its name. Names are compared without
// regard to case or to repeated blanks, and "&" matches the doubled "&&" of
// names such as "Roots- B&&M 144 Powercharger". A name that several rows
// share gives all of them in candidates and no command (0); nothing that
// matches gives 0 and no candidates.
struct ChoiceMatch {
    int command = 0;
    std::vector<int> candidates;
};
ChoiceMatch FindChoice(const ChoiceGroup& group, const QString& nameOrIndex);

// "  36  Chevy 350" lines for --list and for an ambiguous name, the short
// blocks with their bore, stroke and cylinder count.
QString DescribeChoice(const ChoiceGroup& group, int command);
QString ListChoices(const ChoiceGroup& group);

}  // namespace cli
