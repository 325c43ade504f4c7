#pragma once

#include "report/ChartSeries.h"

#include <QDialog>

#include <array>

class CDocumentRegistry;
class CTorqDoc;
class QCheckBox;
class QComboBox;

// The graph options: which other open engines the graph compares with its
// own (up to three), the series and range of each axis, whether every engine
// gets a colour of its own, and the units of a metric engine's results. The
// dialog opens on one options value and gives back another; it knows no graph.
class CChart2dDlg : public QDialog {
    Q_OBJECT
public:
    CChart2dDlg(const CTorqDoc& ownDocument, const CDocumentRegistry& registry, QWidget* parent = nullptr);

    // Shows these choices; a compared engine that is no longer open shows "(None)".
    void SetOptions(const ChartOptions& options);
    // The choices shown; axis titles and fixed ranges come from the series table.
    ChartOptions Options() const;

    QComboBox* CompareBox(int index) const { return m_compare[static_cast<std::size_t>(index)]; }
    QComboBox* SeriesBox(ChartAxis axis) const { return m_series[Index(axis)]; }
    QComboBox* RangeBox(ChartAxis axis) const { return m_range[Index(axis)]; }
    QCheckBox* ColourEachEngineBox() const { return m_colourEachEngine; }
    QComboBox* UnitsBox() const { return m_units; }

private:
    static std::size_t Index(ChartAxis axis) { return static_cast<std::size_t>(axis); }
    QWidget* MakeCompareGroup(const CTorqDoc& ownDocument, const CDocumentRegistry& registry);
    QWidget* MakeAxesGroup();
    QWidget* MakeLookGroup(const CTorqDoc& ownDocument);

    std::array<QComboBox*, kChartCompareCount> m_compare{};
    std::array<QComboBox*, kChartAxisCount> m_series{};
    std::array<QComboBox*, kChartAxisCount> m_range{};
    QCheckBox* m_colourEachEngine = nullptr;
    QComboBox* m_units = nullptr;
};
