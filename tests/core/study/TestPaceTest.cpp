#include "study/TestPace.h"

#include "EngineBuilds.h"
#include "IteratorSeries.h"
#include "RecordingPresenter.h"

#include <gtest/gtest.h>

TEST(TestPace, ASampleOfASmallSeriesRunsEachCombinationOnceAndLeavesTheSeriesAsItWas)
{
    RecordingPresenter quiet;
    CTorqDoc baseline;
    ASSERT_TRUE(BuildChevy350(baseline));
    IteratorTest iterator{IteratorTest::Detached{}};
    Configure(iterator, baseline,
              {Sweep(kItrIvc, baseline, 60.0f, 64.0f, 1.0f), Sweep(kItrEvo, baseline, 60.0f, 62.0f, 1.0f)});
    // Fifteen tests never take a minute: the sample stops at the whole series.
    const TestPace pace = MeasureTestPace(iterator, StudyRunner(2), 60.0);
    EXPECT_EQ(pace.tests, 15);
    EXPECT_GT(pace.TestsPerSecond(), 0.0);
    EXPECT_NEAR(pace.SecondsFor(2 * 15), 2 * pace.seconds, 1e-9);
    EXPECT_EQ(iterator.GetTestsRun(), 0);
    EXPECT_EQ(iterator.GetKeptCount(), 0);
}

TEST(TestPace, ADurationIsGivenInTheLargestUnitThatHoldsIt)
{
    EXPECT_EQ(DurationText(4.3), "4.3 s");
    EXPECT_EQ(DurationText(42.0), "42 s");
    EXPECT_EQ(DurationText(210.0), "3.5 min");
    EXPECT_EQ(DurationText(7560.0), "2.1 h");
    EXPECT_EQ(DurationText(4.0 * 86400.0), "4.0 days");
    EXPECT_EQ(DurationText(12.3 * 365.25 * 86400.0), "12.3 years");
}

TEST(TestPace, AStopRequestedEndsTheMeasuringWithAPaceOfNoTests)
{
    RecordingPresenter quiet;
    CTorqDoc baseline;
    ASSERT_TRUE(BuildChevy350(baseline));
    IteratorTest iterator{IteratorTest::Detached{}};
    Configure(iterator, baseline,
              {Sweep(kItrIvc, baseline, 40.0f, 100.0f, 1.0f), Sweep(kItrEvo, baseline, 40.0f, 100.0f, 1.0f)});
    std::stop_source stop;
    stop.request_stop();
    const TestPace pace = MeasureTestPace(iterator, StudyRunner(2), 60.0, stop.get_token());
    EXPECT_EQ(pace.tests, 0);
    EXPECT_EQ(pace.TestsPerSecond(), 0.0);
}
