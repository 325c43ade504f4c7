#pragma once

#include "model/DocumentCommands.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace cli {

// The part-type groups of the component choice table that "new" chooses
// from by name or by index.
struct ChoiceList {
    const char* key;     // as --list takes it: "blocks", "heads", ...
    const char* option;  // the option that chooses from it: "block", "head", ...
    ChoiceGroup group;
};

const std::vector<ChoiceList>& ChoiceLists();
const ChoiceList* FindChoiceList(const QString& key);

// The choice given by its part-type index (what the engine file stores) or
// by its name. Names are compared without regard to case or to repeated
// blanks, and "&" matches the doubled "&&" of names such as "Roots- B&&M
// 144 Powercharger". A name that several rows share gives all of them in
// candidates and no choice; nothing that matches gives neither.
struct ChoiceMatch {
    std::optional<Choice> choice;
    std::vector<Choice> candidates;
};
ChoiceMatch FindChoice(const ChoiceList& list, const QString& nameOrIndex);

// "  36  Chevy 350" lines for --list and for an ambiguous name, the short
// blocks with their bore, stroke and cylinder count.
QString DescribeChoice(Choice choice);
QString ListChoices(const ChoiceList& list);

}  // namespace cli
