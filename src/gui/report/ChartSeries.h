#pragma once

#include "model/ResultDifference.h"
#include "model/ResultUnits.h"
#include "model/WeatherCorrection.h"

#include <array>
#include <cstdint>
#include <string>

// What the graph can show and how its axes are chosen: the series table, the
// range kinds and the plain options value that the graph view and its options
// dialog hand each other. Plain values only; no widgets.

inline constexpr int kChartSeriesCount = 9;   // 0 "(None)", then result series 1..8
inline constexpr int kChartCompareCount = 7;  // other engines one graph compares with its own
inline constexpr int kChartRangeKinds = 4;
inline constexpr int kChartAxisCount = 3;

enum ChartRangeKind : int { kAutoRange = 0, kLowRange = 1, kMidRange = 2, kHiRange = 3 };
enum class ChartAxis { X, Y1, Y2 };
inline constexpr std::array<ChartAxis, kChartAxisCount> kChartAxes{ChartAxis::X, ChartAxis::Y1,
                                                                   ChartAxis::Y2};

// One row of the graph's series table: what an axis shows for a result series.
struct ChartSeriesInfo {
    int index;
    const char* title;  // axis title and legend text
    const char* units;
    const char* menuName;                                    // entry of the Data menus
    std::array<std::array<std::int32_t, 2>, 3> fixedRanges;  // low, mid, high: {min, max}
};

const ChartSeriesInfo& GetChartSeries(int index);
const char* GetRangeKindName(int rangeKind);

// The axis title of a series in the units shown: the series table's title
// in the model's units ("Power (HP)"), else the series' name with the
// other unit ("Power (kW)", "IMEP (bar)"; UTF-8).
std::string ChartSeriesTitle(int index, ResultUnits units);

// What one axis shows: a series and how its range is chosen.
struct ChartAxisDescription {
    int series = 0;
    std::string title;
    std::string units;
    int rangeKind = kAutoRange;
    std::int32_t minimum = 0;  // fixed ranges only
    std::int32_t maximum = 0;

    // A new series keeps the range kind; a fixed kind takes the series' own range.
    void SetSeries(int newSeries);
    void SetRangeKind(int newKind);
    static ChartAxisDescription Make(int series, int rangeKind);

    bool operator==(const ChartAxisDescription&) const = default;
};

// The three axes of one graph.
struct ChartAxes {
    ChartAxisDescription x;
    ChartAxisDescription y1;
    ChartAxisDescription y2;

    const ChartAxisDescription& operator[](ChartAxis axis) const;
    ChartAxisDescription& operator[](ChartAxis axis);

    bool operator==(const ChartAxes&) const = default;
};

// Everything the graph options set: the engines compared with the graph's
// own (document numbers, 0 for none), the axes, whether every engine gets a
// colour of its own, the units the results are shown in (those of a metric
// engine; an English engine always shows horsepower, ft-lbs and psi), the
// day the results are corrected to, and whether the y axes show each
// engine's difference from one of the engines shown (its document number).
struct ChartOptions {
    std::array<int, kChartCompareCount> comparedDocuments{};
    ChartAxes axes;
    bool colourEachEngine = false;
    ResultUnits resultUnits = ResultUnits::English;
    ResultCorrection correction;
    DifferenceKind difference = DifferenceKind::None;
    int differenceBaseline = 0;

    bool operator==(const ChartOptions&) const = default;
};
