#pragma once

#include "report/ChartSeries.h"

#include <QDialog>

#include <array>

class CDocumentRegistry;
class CTorqDoc;
class CWeatherGroup;
class QCheckBox;
class QComboBox;

// The graph options: which other open engines the graph compares with its
// own (up to seven), the series and range of each axis, whether every engine
// gets a colour of its own, the units of a metric engine's results, the day
// the results are corrected to, and whether the curves show values or each
// engine's difference from one of the engines shown. The dialog opens on one
// options value and gives back another; it knows no graph. OK refuses a day
// that cannot be, with its reason.
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
    CWeatherGroup* WeatherGroup() const { return m_weather; }
    QComboBox* DifferenceBox() const { return m_difference; }
    QComboBox* BaselineBox() const { return m_baseline; }

    void accept() override;

private:
    static std::size_t Index(ChartAxis axis) { return static_cast<std::size_t>(axis); }
    QWidget* MakeCompareGroup(const CTorqDoc& ownDocument, const CDocumentRegistry& registry);
    QWidget* MakeAxesGroup();
    QWidget* MakeLookGroup(const CTorqDoc& ownDocument);
    QWidget* MakeDifferenceGroup();
    void ListBaselines();

    std::array<QComboBox*, kChartCompareCount> m_compare{};
    std::array<QComboBox*, kChartAxisCount> m_series{};
    std::array<QComboBox*, kChartAxisCount> m_range{};
    QCheckBox* m_colourEachEngine = nullptr;
    QComboBox* m_units = nullptr;
    CWeatherGroup* m_weather = nullptr;
    QComboBox* m_difference = nullptr;
    QComboBox* m_baseline = nullptr;
    QString m_ownName;
    int m_ownNumber = 0;
};
