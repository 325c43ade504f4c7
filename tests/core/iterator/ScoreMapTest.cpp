#include "iterator/ScoreMap.h"

#include "iterator/Iterator.h"
#include "iterator/IteratorRunner.h"

#include "EngineBuilds.h"
#include "IteratorSeries.h"
#include "RecordingPresenter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using Axis = IteratorScoreMap::Axis;

IteratorScoreMap MapOf(const std::vector<Axis>& axes)
{
    IteratorScoreMap map;
    map.Reset(axes);
    return map;
}

}  // namespace

TEST(IteratorScoreMap, EachCellKeepsTheBestScoreOverTheOtherSweeps)
{
    // Bore 4.00 / 4.03 / 4.06, stroke 3.4 / 3.5, IVC 60 / 70: a cell of
    // (bore, stroke) keeps the better of its two IVC tests.
    IteratorScoreMap map = MapOf({IteratorScoreMap::MakeAxis(kItrBore, 4.0f, 4.06f, 0.03f),
                                  IteratorScoreMap::MakeAxis(kItrStroke, 3.4f, 3.5f, 0.1f),
                                  IteratorScoreMap::MakeAxis(kItrIvc, 60.0f, 70.0f, 10.0f)});
    ASSERT_EQ(map.GetAxis(0).cells, 3);
    float bore = 4.0f;
    for (int b = 0; b < 3; ++b, bore += 0.03f) {
        for (float stroke : {3.4f, 3.5f}) {
            for (float ivc : {60.0f, 70.0f}) {
                const float values[] = {bore, stroke, ivc};
                map.Record(values,
                           300.0f + 10.0f * b + (stroke > 3.45f ? 5.0f : 0.0f) + (ivc > 65 ? 1.0f : 0.0f));
            }
        }
    }
    EXPECT_EQ(map.GetTestsRecorded(), 12);
    const IteratorScoreMap::Grid boreByStroke = map.GetGrid(0, 1);
    ASSERT_EQ(boreByStroke.columns, 3);
    ASSERT_EQ(boreByStroke.rows, 2);
    EXPECT_FLOAT_EQ(boreByStroke.At(0, 0), 301.0f);  // 4.00 x 3.4, the better of IVC 60 and 70
    EXPECT_FLOAT_EQ(boreByStroke.At(2, 1), 326.0f);  // 4.06 x 3.5
    EXPECT_FLOAT_EQ(boreByStroke.lowest, 301.0f);
    EXPECT_FLOAT_EQ(boreByStroke.highest, 326.0f);
    // The same pair the other way round is its transpose.
    const IteratorScoreMap::Grid strokeByBore = map.GetGrid(1, 0);
    ASSERT_EQ(strokeByBore.columns, 2);
    for (int column = 0; column < 3; ++column) {
        for (int row = 0; row < 2; ++row)
            EXPECT_EQ(strokeByBore.At(row, column), boreByStroke.At(column, row));
    }
    // IVC against stroke keeps the best bore: 4.06.
    EXPECT_FLOAT_EQ(map.GetGrid(2, 1).At(1, 0), 321.0f);
}

TEST(IteratorScoreMap, ACellNoTestReachedHasNoScore)
{
    IteratorScoreMap map = MapOf({IteratorScoreMap::MakeAxis(kItrIvo, 10.0f, 30.0f, 10.0f),
                                  IteratorScoreMap::MakeAxis(kItrEvc, 10.0f, 30.0f, 10.0f)});
    const float values[] = {20.0f, 30.0f};
    map.Record(values, 250.0f);
    const IteratorScoreMap::Grid grid = map.GetGrid(0, 1);
    EXPECT_FALSE(grid.empty);
    EXPECT_FLOAT_EQ(grid.At(1, 2), 250.0f);
    EXPECT_TRUE(std::isnan(grid.At(0, 0)));
    map.Reset({map.GetAxis(0), map.GetAxis(1)});
    EXPECT_TRUE(map.GetGrid(0, 1).empty);
}

TEST(IteratorScoreMap, MaxValueIsTheLastStepAlsoAfterAShortStep)
{
    // 0, 0.3, 0.6, 0.9 and then Max Value 1.0: five steps, 1.0 the fifth,
    // though (1.0 - 0) / 0.3 rounds to the fourth.
    IteratorScoreMap map = MapOf({IteratorScoreMap::MakeAxis(kItrCompression, 0.0f, 1.0f, 0.3f),
                                  IteratorScoreMap::MakeAxis(kItrIvo, 0.0f, 1.0f, 1.0f)});
    EXPECT_EQ(map.GetAxis(0).steps, 5);
    EXPECT_EQ(map.StepOf(0, 0.9f), 3);
    EXPECT_EQ(map.StepOf(0, 1.0f), 4);
    // Steps added up in floats, as the sweep makes them, find their own cell.
    float value = 0.0f;
    for (int step = 0; step < 4; ++step, value += 0.3f) EXPECT_EQ(map.StepOf(0, value), step);
}

TEST(IteratorScoreMap, ALongSweepSharesItsValuesOutOverSixtyCellsInOrder)
{
    // IVC 20..120 by 0.5: 201 values over 60 cells of three or four values.
    IteratorScoreMap map = MapOf({IteratorScoreMap::MakeAxis(kItrIvc, 20.0f, 120.0f, 0.5f),
                                  IteratorScoreMap::MakeAxis(kItrEvo, 40.0f, 50.0f, 5.0f)});
    ASSERT_EQ(map.GetAxis(0).steps, 201);
    ASSERT_EQ(map.GetAxis(0).cells, IteratorScoreMap::kMostCells);
    EXPECT_EQ(map.CellOf(0, 20.0f), 0);
    EXPECT_EQ(map.CellOf(0, 120.0f), IteratorScoreMap::kMostCells - 1);
    // Every value falls in the cell whose range holds it, and the ranges follow on.
    int lastCell = 0;
    for (int step = 0; step < 201; ++step) {
        const float value = 20.0f + 0.5f * step;
        const int cell = map.CellOf(0, value);
        EXPECT_TRUE(cell == lastCell || cell == lastCell + 1) << value;
        EXPECT_LE(map.CellLowValue(0, cell), value);
        EXPECT_GE(map.CellHighValue(0, cell), value);
        lastCell = cell;
    }
    EXPECT_FLOAT_EQ(map.CellLowValue(0, 0), 20.0f);
    EXPECT_FLOAT_EQ(map.CellHighValue(0, IteratorScoreMap::kMostCells - 1), 120.0f);
}

TEST(IteratorScoreMap, ASeriesOnEveryCoreMapsTheScoreOfEachOfItsTests)
{
    // Nine tests of IVC and EVO on the 350: all nine are kept, and each kept
    // result's score stands in the cell of its own IVC and EVO, whichever
    // thread simulated it.
    RecordingPresenter presenter;
    CTorqDoc baseline;
    BuildChevy350(baseline);
    IteratorTest iterator{IteratorTest::Detached{}};
    Configure(iterator, baseline,
              {Sweep(kItrIvc, baseline, 56.0f, 76.0f, 10.0f), Sweep(kItrEvo, baseline, 60.0f, 80.0f, 10.0f)});
    IteratorRunner runner(iterator, 2);
    runner.RunTests(100);
    ASSERT_TRUE(iterator.IsDone());
    ASSERT_EQ(iterator.GetKeptCount(), 9);
    const IteratorScoreMap& map = iterator.GetScoreMap();
    EXPECT_EQ(map.GetTestsRecorded(), 9);
    const IteratorScoreMap::Grid grid = map.GetGrid(0, 1);
    for (int i = 0; i < iterator.GetKeptCount(); ++i) {
        const CamData& cam = iterator.GetBestEngine(i).Cam();
        const int column = map.CellOf(0, cam.NominalIvc().GetValue());
        const int row = map.CellOf(1, cam.NominalEvo().GetValue());
        EXPECT_EQ(grid.At(column, row), iterator.GetBestScore(i)) << "kept result " << i + 1;
    }
    // A new series starts an empty map.
    iterator.PrepareRun();
    EXPECT_EQ(iterator.GetScoreMap().GetTestsRecorded(), 0);
    EXPECT_TRUE(iterator.GetScoreMap().GetGrid(0, 1).empty);
}
