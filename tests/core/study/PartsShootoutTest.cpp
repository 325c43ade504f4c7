#include "study/PartsShootout.h"

#include "EngineBuilds.h"
#include "RecordingPresenter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

PartOption Menu(Choice choice)
{
    return {ChoiceName(choice), EngineEdit::Pick(choice)};
}

PartGroupChoices Group(PartGroup group, std::initializer_list<Choice> choices)
{
    PartGroupChoices options{group, {}};
    for (Choice choice : choices) options.options.push_back(Menu(choice));
    return options;
}

constexpr Choice kWedgeHeads{ChoiceGroup::CylinderHead, 3};
constexpr Choice kPortedWedgeHeads{ChoiceGroup::CylinderHead, 4};
constexpr Choice kCantedHeads{ChoiceGroup::CylinderHead, 6};
constexpr Choice kSinglePlane{ChoiceGroup::Manifold, 0};
constexpr Choice kDualPlane{ChoiceGroup::Manifold, 1};
constexpr Choice kForcedInduction = NamedChoice::kForcedInductionManifold;
constexpr Choice kStockExhaust = NamedChoice::kStockExhaust;
constexpr Choice kSmallTubeHeaders{ChoiceGroup::ExhaustSystem, 2};
constexpr Choice kLargeTubeHeaders{ChoiceGroup::ExhaustSystem, 4};
constexpr Choice kRaceHeaders{ChoiceGroup::ExhaustSystem, 6};
constexpr Choice kCircleTrackCam{ChoiceGroup::CamType, 3};

// The engine of a comparison's row built by hand: the user's engine with
// the row's choices picked from the form's menus, then recalculated.
StudyRunner::Outcome RunByHand(const CTorqDoc& base, std::initializer_list<Choice> choices)
{
    CTorqDoc engine;
    base.CopyTo(engine);
    engine.SetAutoRun(false);
    for (Choice choice : choices) EXPECT_EQ(engine.Apply(choice), CommandResult::Applied);
    engine.Recalculate();
    return StudyRunner::RunAlone(engine);
}

class PartsShootoutOnChevy350 : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(BuildChevy350(base)); }

    RecordingPresenter presenter;
    CTorqDoc base;
};

TEST_F(PartsShootoutOnChevy350, TheForcedInductionManifoldTakesTheExhaustOverSoItsExhaustsCountOnce)
{
    ShootoutSetup setup;
    setup.groups = {
        Group(PartGroup::Head, {kWedgeHeads, kPortedWedgeHeads, kCantedHeads}),
        Group(PartGroup::Manifold, {kSinglePlane, kForcedInduction, kDualPlane}),
        Group(PartGroup::Exhaust, {kStockExhaust, kSmallTubeHeaders, kLargeTubeHeaders, kRaceHeaders})};
    ASSERT_FALSE(ShootoutRefusal(base, setup).has_value());
    // 3 heads x (2 manifolds x 4 exhausts + the forced-induction manifold once).
    EXPECT_EQ(CountCombinations(base, setup), 27u);
    PartsShootout shootout(base, setup);
    ASSERT_EQ(shootout.CombinationCount(), 27u);

    std::size_t takenOver = 0;
    for (std::size_t i = 0; i < shootout.CombinationCount(); ++i) {
        const Combination& choices = shootout.CombinationAt(i);
        const bool forced = choices[1] == 1;
        EXPECT_EQ(choices[2] == kTakenOver, forced) << "combination " << i;
        if (!forced) continue;
        ++takenOver;
        // The engine keeps its own exhaust: no ticked exhaust is ever applied.
        CTorqDoc engine;
        ASSERT_TRUE(shootout.MakeEngine(i, engine));
        EXPECT_EQ(engine.ExhaustSystem().GetChoiceName(), base.ExhaustSystem().GetChoiceName());
        EXPECT_EQ(shootout.ChoiceNames(choices)[2].second, kTakenOverExhaustName);
    }
    EXPECT_EQ(takenOver, 3u);
}

TEST_F(PartsShootoutOnChevy350, RowsHaveTheScoresOfTheSameEngineBuiltByHandToTheBit)
{
    ShootoutSetup setup;
    setup.groups = {Group(PartGroup::Exhaust, {kStockExhaust, kRaceHeaders}),
                    Group(PartGroup::Head, {kWedgeHeads, kCantedHeads}),
                    {PartGroup::Induction, {RatingOption(600.0f, 1.5f), RatingOption(850.0f, 1.5f)}},
                    {PartGroup::Cam, {Menu(kCircleTrackCam), OwnCamOption(base)}}};
    setup.criterion = StudyCriterion::AveragePower;
    setup.band = {3000.0f, 6500.0f};
    setup.top = 16;
    PartsShootout shootout(base, setup);
    std::string failure;
    ASSERT_TRUE(shootout.RunBaseline(failure)) << failure;
    shootout.RunAll(StudyRunner(2));
    const ShootoutResult result = shootout.Result();
    ASSERT_EQ(result.combinations, 16u);
    ASSERT_EQ(result.run, 16u);
    EXPECT_TRUE(presenter.Messages().empty());

    const StudyRunner::Outcome baseline = RunByHand(base, {});
    EXPECT_EQ(result.baseline.score, StudyScore(baseline.results, setup.criterion, setup.band));

    // Choices by hand, in the form's order: heads, induction, exhaust, cam.
    const Choice heads[] = {kWedgeHeads, kCantedHeads};
    const Choice inductions[] = {{ChoiceGroup::Induction, 7}, {ChoiceGroup::Induction, 13}};  // 600, 850 cfm
    const Choice exhausts[] = {kStockExhaust, kRaceHeaders};
    for (const ShootoutRow& row : result.rows) {
        const Combination& c = row.choices;
        const StudyRunner::Outcome alone =
            c[3] == 0 ? RunByHand(base, {heads[c[1]], inductions[c[2]], exhausts[c[0]], kCircleTrackCam})
                      : RunByHand(base, {heads[c[1]], inductions[c[2]], exhausts[c[0]]});
        ASSERT_EQ(alone.kind, StudyRunner::Outcome::Kind::Simulated);
        EXPECT_EQ(row.figures.score, StudyScore(alone.results, setup.criterion, setup.band))
            << shootout.ChangesText(c);
        EXPECT_EQ(row.figures.peakPower.value, SeriesPeak(alone.results, kSeriesPower).value);
        EXPECT_EQ(row.figures.peakTorque.rpm, SeriesPeak(alone.results, kSeriesTorque).rpm);
        EXPECT_EQ(row.gain.absolute, row.figures.score - result.baseline.score);
    }
    // Best first.
    for (std::size_t k = 1; k < result.rows.size(); ++k)
        EXPECT_GE(result.rows[k - 1].figures.score, result.rows[k].figures.score);
}

TEST_F(PartsShootoutOnChevy350, EqualScoresRankInTheOrderTheCombinationsWereMadeWhateverTheThreads)
{
    ShootoutSetup setup;
    // The small-tube headers twice: two engines alike, two equal scores.
    setup.groups = {Group(PartGroup::Head, {kWedgeHeads, kPortedWedgeHeads}),
                    Group(PartGroup::Exhaust, {kSmallTubeHeaders, kStockExhaust, kSmallTubeHeaders})};
    std::vector<std::vector<std::size_t>> rankings;
    for (int threads : {1, 3}) {
        PartsShootout shootout(base, setup);
        std::string failure;
        ASSERT_TRUE(shootout.RunBaseline(failure));
        // Chunks of two: the ranking does not depend on them either.
        while (!shootout.IsDone()) shootout.RunNext(StudyRunner(threads), 2);
        std::vector<std::size_t> ranking;
        for (const ShootoutRow& row : shootout.Result().rows) ranking.push_back(row.combination);
        rankings.push_back(ranking);
    }
    ASSERT_EQ(rankings[0], rankings[1]);
    ASSERT_EQ(rankings[0].size(), 6u);
    for (std::size_t first : {std::size_t{0}, std::size_t{3}}) {
        const auto a = std::find(rankings[0].begin(), rankings[0].end(), first);
        const auto b = std::find(rankings[0].begin(), rankings[0].end(), first + 2);
        EXPECT_EQ(b - a, 1) << "the twin of combination " << first << " follows it";
    }
}

TEST_F(PartsShootoutOnChevy350, AnEngineThatFailsIsCountedAndListedApartWithItsMessage)
{
    ShootoutSetup setup;
    // The forced-induction manifold without a blower does not validate.
    setup.groups = {Group(PartGroup::Manifold, {kSinglePlane, kForcedInduction, kDualPlane})};
    setup.top = 2;
    PartsShootout shootout(base, setup);
    std::string failure;
    ASSERT_TRUE(shootout.RunBaseline(failure));
    shootout.RunAll(StudyRunner(2));
    const ShootoutResult result = shootout.Result();
    EXPECT_EQ(result.combinations, 3u);
    EXPECT_EQ(result.run, 2u);
    EXPECT_EQ(result.failed, 1u);
    ASSERT_EQ(result.failures.size(), 1u);
    EXPECT_EQ(result.failures[0].combination, 1u);
    EXPECT_FALSE(result.failures[0].figures.failure.empty());
    for (const ShootoutRow& row : result.rows) EXPECT_NE(row.combination, 1u);
}

TEST_F(PartsShootoutOnChevy350, ASetupTheFormWouldNotAllowIsRefusedNamingTheChoice)
{
    ShootoutSetup empty;
    EXPECT_TRUE(ShootoutRefusal(base, empty).has_value());
    empty.groups = {{PartGroup::Lifter, {}}};
    EXPECT_EQ(ShootoutRefusal(base, empty).value_or(""), "lifter: no choice to try");

    ShootoutSetup custom;
    custom.groups = {Group(PartGroup::Cam, {NamedChoice::kCustomCamType})};
    EXPECT_NE(ShootoutRefusal(base, custom).value_or("").find("cam \"Custom Cam Type\""), std::string::npos);

    ShootoutSetup rating;
    rating.groups = {{PartGroup::Induction, {RatingOption(750.0f, 2.0f)}}};
    EXPECT_TRUE(ShootoutRefusal(base, rating).has_value());
    rating.groups = {{PartGroup::Induction, {RatingOption(1.0e6f, 1.5f)}}};
    EXPECT_TRUE(ShootoutRefusal(base, rating).has_value());
}

TEST(PartsShootout, OnAForcedInductionEngineNoExhaustIsAllowedUnlessTheManifoldVaries)
{
    RecordingPresenter presenter;
    CTorqDoc turbo;
    ASSERT_TRUE(BuildTurboFour(turbo));
    EXPECT_TRUE(AllowedPartOptions(turbo, PartGroup::Exhaust).empty());
    EXPECT_EQ(AllowedPartOptions(turbo, PartGroup::Manifold).size(), 7u);

    ShootoutSetup setup;
    setup.groups = {Group(PartGroup::Exhaust, {kSmallTubeHeaders})};
    const std::string refusal = ShootoutRefusal(turbo, setup).value_or("");
    EXPECT_NE(refusal.find("exhaust \"Small-Tube Headers With Mufflers\""), std::string::npos) << refusal;

    setup.groups.push_back(Group(PartGroup::Manifold, {kDualPlane, kForcedInduction}));
    EXPECT_FALSE(ShootoutRefusal(turbo, setup).has_value());
    EXPECT_EQ(CountCombinations(turbo, setup), 2u);
}

TEST(PartsShootout, TheDefaultChoicesAreTheMenusWithTheEnginesOwnCamAndRating)
{
    RecordingPresenter presenter;
    CTorqDoc base;
    ASSERT_TRUE(BuildChevy350(base));
    EXPECT_EQ(AllowedPartOptions(base, PartGroup::Head).size(), 16u);
    EXPECT_EQ(AllowedPartOptions(base, PartGroup::Exhaust).size(), 7u);
    // Without a blower the forced-induction manifold could not run.
    EXPECT_EQ(AllowedPartOptions(base, PartGroup::Manifold).size(), 6u);
    const std::vector<PartOption> cams = AllowedPartOptions(base, PartGroup::Cam);
    ASSERT_EQ(cams.size(), 6u);
    EXPECT_EQ(cams.back().name, "Own: High Performance Street");
    const std::vector<PartOption> ratings = AllowedPartOptions(base, PartGroup::Induction);
    ASSERT_FALSE(ratings.empty());
    EXPECT_EQ(ratings.front().name, "750@1.5");
    for (std::size_t i = 1; i < ratings.size(); ++i) EXPECT_NE(ratings[i].name, "750@1.5");
}

}  // namespace
