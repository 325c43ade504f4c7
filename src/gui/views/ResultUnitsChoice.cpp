#include "ResultUnitsChoice.h"

#include "model/TorqDoc.h"

#include <unordered_map>

namespace {

// Document numbers are never given twice in a run, so a closed engine's
// entry can never be taken for another engine's.
std::unordered_map<int, ResultUnits>& Choices()
{
    static std::unordered_map<int, ResultUnits> choices;
    return choices;
}

}  // namespace

ResultUnits ChosenResultUnits(const CTorqDoc& document)
{
    const auto found = Choices().find(document.GetDocumentNumber());
    return found == Choices().end() ? ResultUnits::English : found->second;
}

void ChooseResultUnits(CTorqDoc& document, ResultUnits units)
{
    if (ChosenResultUnits(document) == units) return;
    Choices()[document.GetDocumentNumber()] = units;
    document.UpdateAllViews();
}

ResultUnits DisplayedResultUnits(const CTorqDoc& document)
{
    return ShownResultUnits(ChosenResultUnits(document), document);
}
