#include "study/PullComparison.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

DynoPull PullOf(std::initializer_list<PullRow> rows)
{
    DynoPull pull;
    pull.rows = rows;
    pull.hasPower = true;
    pull.hasTorque = true;
    return pull;
}

// Model results with power 100 + 10 i hp and torque 300 lb-ft at 2000 + 500 i rpm.
RunSeries ModelResults()
{
    RunSeries results{};
    for (int i = 0; i < kResultPointCount; ++i) {
        results[kSeriesEngineSpeed - 1][i] = 2000.0f + 500.0f * float(i);
        results[kSeriesPower - 1][i] = 100.0f + 10.0f * float(i);
        results[kSeriesTorque - 1][i] = 300.0f;
    }
    return results;
}

TEST(PullComparison, TheMeasuredFigureIsTheRowsAtARowAndTheStraightLineBetweenRowsButNothingBeyond)
{
    const DynoPull pull = PullOf({{3000, 150, 260, 2}, {4000, 210, 280, 3}, {5200, 240, 250, 4}});
    EXPECT_EQ(MeasuredAt(pull, PullFigure::Power, 3000.0), 150.0);
    EXPECT_EQ(MeasuredAt(pull, PullFigure::Torque, 5200.0), 250.0);
    EXPECT_DOUBLE_EQ(*MeasuredAt(pull, PullFigure::Power, 3500.0), 180.0);
    EXPECT_DOUBLE_EQ(*MeasuredAt(pull, PullFigure::Torque, 4900.0), 280.0 - 30.0 * 900.0 / 1200.0);
    EXPECT_FALSE(MeasuredAt(pull, PullFigure::Power, 2999.0));
    EXPECT_FALSE(MeasuredAt(pull, PullFigure::Torque, 5200.5));
    DynoPull powerOnly = pull;
    powerOnly.hasTorque = false;
    EXPECT_FALSE(MeasuredAt(powerOnly, PullFigure::Torque, 4000.0));
}

TEST(PullComparison, DifferencesAndTheirRmsCountOnlyTheSpeedPointsThePullCovers)
{
    // Covers 3000 to 4200 rpm: the model points 3000, 3500 and 4000 (model
    // power 120, 130, 140 hp).
    const DynoPull pull = PullOf({{3000, 110, 290, 2}, {4200, 170, 302, 3}});
    const PullComparison comparison = ComparePull(ModelResults(), pull);
    EXPECT_EQ(comparison.covered, 3);
    EXPECT_FALSE(comparison.points[1].covered);
    EXPECT_TRUE(comparison.points[2].covered);
    EXPECT_FALSE(comparison.points[7].covered);
    // Measured power 110, 135, 160: differences +10, -5, -20.
    EXPECT_DOUBLE_EQ(comparison.points[3].measuredPower, 135.0);
    EXPECT_DOUBLE_EQ(comparison.points[4].powerDiff, -20.0);
    EXPECT_DOUBLE_EQ(comparison.rmsPowerHp, std::sqrt((100.0 + 25.0 + 400.0) / 3.0));
    // Measured torque 290, 295, 300: differences +10, +5, 0.
    EXPECT_DOUBLE_EQ(comparison.rmsTorqueLbFt, std::sqrt((100.0 + 25.0) / 3.0));
    // In % of the pull's peaks (170 hp, 302 lb-ft), power and torque alike.
    const double power = (100.0 + 25.0 + 400.0) / (170.0 * 170.0);
    const double torque = (100.0 + 25.0) / (302.0 * 302.0);
    EXPECT_NEAR(comparison.rmsPercent, 100.0 * std::sqrt((power + torque) / 6.0), 1e-12);
}

TEST(PullComparison, APullWithoutTorqueIsComparedOnPowerAlone)
{
    DynoPull pull = PullOf({{3000, 110, 0, 2}, {4200, 170, 0, 3}});
    pull.hasTorque = false;
    const PullComparison comparison = ComparePull(ModelResults(), pull);
    EXPECT_EQ(comparison.rmsTorqueLbFt, 0.0);
    EXPECT_NEAR(comparison.rmsPercent, 100.0 * std::sqrt((100.0 + 25.0 + 400.0) / 3.0) / 170.0, 1e-12);
}

}  // namespace
