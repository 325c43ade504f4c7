#pragma once

#include <QString>

#include <vector>

class CTorqDoc;

// The engine in a few lines per component group, as the dyno sheet lists it:
// the form's groups with their main values and units. Parts that do not
// apply (nitrous without a nitrous fuel, the blower without the forced-
// induction manifold) are left out; a value not set shows "***".
struct EngineSummaryLine {
    QString label;
    QString value;
};

struct EngineSummaryGroup {
    QString title;
    std::vector<EngineSummaryLine> lines;
};

std::vector<EngineSummaryGroup> SummarizeEngine(const CTorqDoc& document);
