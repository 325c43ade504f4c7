#include "iterator/IteratorPacer.h"

#include "EngineBuilds.h"
#include "IteratorTestHelpers.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr double kSecondsPerTest = 0.002;

// A clock that runs secondsPerTest for every test the iterator has run,
// plus whatever time the caller spends between slices (idle).
struct SimulatedClock {
    const IteratorTest* iterator = nullptr;
    double secondsPerTest = kSecondsPerTest;
    double idle = 0.0;
    double operator()() const { return iterator->GetTestsRun() * secondsPerTest + idle; }
};

class PacedSeries : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(BuildChevy350(m_baseline));
        // 5 x 5 x 8 = 200 tests.
        for (IteratorTest* iterator : {&m_paced, &m_reference}) {
            Configure(*iterator, m_baseline,
                      {Sweep(kItrBore, m_baseline, 4.00f, 4.04f, 0.01f),
                       Sweep(kItrIvc, m_baseline, 60.0f, 64.0f, 1.0f),
                       Sweep(kItrEvo, m_baseline, 60.0f, 67.0f, 1.0f)});
        }
        m_clock.iterator = &m_paced;
    }

    CTorqDoc m_baseline;
    IteratorTest m_paced{IteratorTest::Detached{}};
    IteratorTest m_reference{IteratorTest::Detached{}};
    SimulatedClock m_clock;
};

}  // namespace

TEST(IteratorPacer, TheBatchMovesTowardsTheSliceTargetInWholeTestsPerThread)
{
    // 2 tests in 4 ms want 20 for 40 ms, but a batch at most doubles.
    EXPECT_EQ(IteratorPacer::NextBatchSize(2, 2, 0.004, 0.040, 2), 4);
    // 40 tests in 80 ms: half of them fill 40 ms.
    EXPECT_EQ(IteratorPacer::NextBatchSize(40, 40, 0.080, 0.040, 2), 20);
    // ... and a batch at most halves.
    EXPECT_EQ(IteratorPacer::NextBatchSize(40, 40, 0.400, 0.040, 2), 20);
    // 53.3 wanted on 3 threads: 18 each.
    EXPECT_EQ(IteratorPacer::NextBatchSize(40, 40, 0.030, 0.040, 3), 54);
    // Faster than the clock can tell: double.
    EXPECT_EQ(IteratorPacer::NextBatchSize(6, 6, 0.0, 0.040, 3), 12);
    // A slice that found the series over teaches nothing.
    EXPECT_EQ(IteratorPacer::NextBatchSize(24, 0, 0.001, 0.040, 4), 24);
    // One test slower than the target still gives every thread one.
    EXPECT_EQ(IteratorPacer::NextBatchSize(4, 4, 2.0, 0.040, 4), 4);
    EXPECT_EQ(IteratorPacer::NextBatchSize(1, 1, 2.0, 0.040, 1), 1);
    // Fewer tests than asked for (the series ended) count as they ran.
    EXPECT_EQ(IteratorPacer::NextBatchSize(100, 10, 0.020, 0.040, 2), 50);
}

TEST_F(PacedSeries, SlicesSettleOnTheTargetAndRunTheSeriesAsOneTestAfterAnother)
{
    IteratorPacer pacer(m_paced, 2, std::ref(m_clock));
    pacer.SetSliceTarget(0.040);
    EXPECT_EQ(pacer.GetBatchSize(), 2);
    pacer.StartTiming();
    std::vector<std::int32_t> batches;
    std::int32_t issued = 0;
    while (!m_paced.IsDone()) {
        batches.push_back(pacer.GetBatchSize());
        issued += pacer.RunSlice().testsIssued;
        ASSERT_LT(batches.size(), 100u);
    }
    EXPECT_EQ(issued, 200);
    // 2 ms a test: 20 tests fill the 40 ms slice.
    ASSERT_GE(batches.size(), 6u);
    EXPECT_EQ(std::vector<std::int32_t>(batches.begin(), batches.begin() + 6),
              (std::vector<std::int32_t>{2, 4, 8, 16, 20, 20}));

    bool isNewBest = false;
    while (!m_reference.IsDone()) m_reference.RunNextTest(isNewBest);
    ASSERT_EQ(m_paced.GetKeptCount(), m_reference.GetKeptCount());
    for (int i = 0; i < m_reference.GetKeptCount(); ++i) {
        EXPECT_EQ(m_paced.GetBestTestNumber(i), m_reference.GetBestTestNumber(i)) << "No. " << i + 1;
        EXPECT_EQ(Bits(m_paced.GetBestScore(i)), Bits(m_reference.GetBestScore(i))) << "No. " << i + 1;
    }
}

TEST_F(PacedSeries, ThePaceCountsTheTimeBetweenSlicesAndGivesTheTimeLeft)
{
    IteratorPacer pacer(m_paced, 1, std::ref(m_clock));
    pacer.StartTiming();
    EXPECT_EQ(pacer.GetTestsPerSecond(), 0.0);
    EXPECT_LT(pacer.GetSecondsLeft(), 0.0);

    // 40 tests in slices, 10 ms of drawing after each.
    int slices = 0;
    while (m_paced.GetTestsRun() < 40) {
        pacer.RunSlice();
        m_clock.idle += 0.010;
        ++slices;
    }
    const std::int32_t run = m_paced.GetTestsRun();
    const double expectedPace = run / (run * kSecondsPerTest + (slices - 1) * 0.010);
    EXPECT_NEAR(pacer.GetTestsPerSecond(), expectedPace, 1e-9);
    EXPECT_NEAR(pacer.GetSecondsLeft(), (200 - run) / expectedPace, 1e-9);

    // A halt of a minute: the pace is measured again from the next start.
    m_clock.idle += 60.0;
    pacer.StartTiming();
    EXPECT_EQ(pacer.GetTestsPerSecond(), 0.0);
    const std::int32_t before = m_paced.GetTestsRun();
    pacer.RunSlice();
    EXPECT_NEAR(pacer.GetTestsPerSecond(), 1.0 / kSecondsPerTest, 1e-6);
    EXPECT_GT(m_paced.GetTestsRun(), before);
}

TEST_F(PacedSeries, AGapLeavesThePaceOnceItIsOutsideTheWindow)
{
    // 50 ms a test: one test a slice, 20 tests a second.
    m_clock.secondsPerTest = 0.050;
    IteratorPacer pacer(m_paced, 1, std::ref(m_clock));
    pacer.StartTiming();
    pacer.RunSlice();
    m_clock.idle += 10.0;
    while (m_paced.GetTestsRun() < 21) pacer.RunSlice();
    // The pace reaches back to the last slice before its 3 s window: 20
    // tests from 0.05 s to 11.05 s, the gap included.
    EXPECT_NEAR(pacer.GetTestsPerSecond(), 20 / 11.0, 1e-9);
    // Nine seconds of steady slices later the gap is forgotten.
    while (!m_paced.IsDone()) pacer.RunSlice();
    EXPECT_NEAR(pacer.GetTestsPerSecond(), 20.0, 1e-6);
    EXPECT_NEAR(pacer.GetSecondsLeft(), 0.0, 1e-9);
}

TEST_F(PacedSeries, TheShareBetweenSlicesIsTheCallersPartOfTheTime)
{
    // 40 ms a test: one test a slice.
    m_clock.secondsPerTest = 0.040;
    IteratorPacer pacer(m_paced, 1, std::ref(m_clock));
    pacer.StartTiming();
    EXPECT_EQ(pacer.GetShareBetweenSlices(), 0.0);
    pacer.RunSlice();
    m_clock.idle += 0.010;
    EXPECT_EQ(pacer.GetShareBetweenSlices(), 0.0);  // no gap measured yet
    // 10 ms of drawing after every slice: a fifth of the time.
    for (int slice = 0; slice < 100; ++slice) {
        pacer.RunSlice();
        m_clock.idle += 0.010;
    }
    EXPECT_EQ(pacer.GetBatchSize(), 1);
    EXPECT_NEAR(pacer.GetShareBetweenSlices(), 0.2, 1e-6);
    // A new run forgets it.
    pacer.StartTiming();
    EXPECT_EQ(pacer.GetShareBetweenSlices(), 0.0);
    pacer.RunSlice();
    pacer.RunSlice();
    EXPECT_EQ(pacer.GetShareBetweenSlices(), 0.0);  // nothing happened between these two
}
