#pragma once

#include "views/Chart2dView.h"

#include <QDialog>

#include <array>

class CDocumentRegistry;
class CTorqDoc;
class QComboBox;

// The graph options: which other open engines the graph compares with its
// own (up to three), and the series and range of each axis.
class CChart2dDlg : public QDialog {
    Q_OBJECT
public:
    CChart2dDlg(const CTorqDoc& ownDocument, const CDocumentRegistry& registry, QWidget* parent = nullptr);

    void SetAxes(const ChartAxisDescription& x, const ChartAxisDescription& y1, const ChartAxisDescription& y2);
    ChartAxisDescription AxisChoice(ChartAxis axis) const;

    // Document numbers of the compared engines; 0 for "(None)".
    void SetComparedDocuments(const std::array<int, kChartSlotCount - 1>& documentNumbers);
    std::array<int, kChartSlotCount - 1> ComparedDocuments() const;

    QComboBox* CompareBox(int index) const { return m_compare[static_cast<std::size_t>(index)]; }
    QComboBox* SeriesBox(ChartAxis axis) const { return m_series[Index(axis)]; }
    QComboBox* RangeBox(ChartAxis axis) const { return m_range[Index(axis)]; }

private:
    static std::size_t Index(ChartAxis axis) { return static_cast<std::size_t>(axis); }

    std::array<QComboBox*, kChartSlotCount - 1> m_compare{};
    std::array<QComboBox*, 3> m_series{};
    std::array<QComboBox*, 3> m_range{};
};
