#pragma once

#include "study/DynoMatch.h"
#include "study/MatchFigures.h"

#include <QWidget>

#include <array>

class CTorqDoc;
class QCheckBox;
class QDoubleSpinBox;
class QLabel;

// The figures a match may free, one row each: a tick to free it, today's
// value, the range to search (From, To; a band around today's value to
// begin with) in the units the engine shows, and after a match the value
// found and its firm range.
class CMatchFigureTable : public QWidget {
    Q_OBJECT
public:
    explicit CMatchFigureTable(const CTorqDoc& engine, QWidget* parent = nullptr);

    struct Row {
        MatchFigure figure;
        QCheckBox* free = nullptr;
        QLabel* today = nullptr;
        QDoubleSpinBox* from = nullptr;
        QDoubleSpinBox* to = nullptr;
        QLabel* found = nullptr;
        QLabel* firm = nullptr;
    };
    const Row& RowOf(MatchFigure figure) const { return m_rows[static_cast<std::size_t>(figure)]; }

    // The ticked figures with their ranges in English units, in table order.
    std::vector<FigureRange> TickedRanges() const;
    bool AnyTicked() const;

    // The values a match found and their firm ranges; Clear empties them.
    void ShowResult(const MatchResult& result);
    void ClearResult();

signals:
    void TickedChanged();

private:
    void AddRow(int gridRow, MatchFigure figure);
    QString Shown(MatchFigure figure, double english) const;

    const CTorqDoc& m_engine;
    std::array<Row, kMatchFigureCount> m_rows{};
};
