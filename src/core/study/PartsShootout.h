#pragma once

#include "EditStudy.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Which parts to buy: every combination of the choices ticked in a few
// groups of the engine form, each run against the user's engine with its
// other values unchanged, ranked by a score in an engine-speed band.

// The groups a comparison varies, in the order their choices are applied
// (the form's, top to bottom).
enum class PartGroup { Head, Induction, Manifold, Fuel, Exhaust, Cam, Lifter };

inline constexpr PartGroup kPartGroups[] = {PartGroup::Head,  PartGroup::Induction, PartGroup::Manifold,
                                            PartGroup::Fuel,  PartGroup::Exhaust,   PartGroup::Cam,
                                            PartGroup::Lifter};

// "head", "induction", "manifold", "fuel", "exhaust", "cam", "lifter".
const char* PartGroupName(PartGroup group);
std::optional<PartGroup> ParsePartGroupName(std::string_view name);
// "Cylinder Heads", "Induction", ... as the dialog labels them.
const char* PartGroupTitle(PartGroup group);

// One choice of a group: its name as the form shows it and the edit that makes it.
struct PartOption {
    std::string name;
    EngineEdit edit;
};

// The engine's own camshaft, as the cam group offers it beside the five
// nominal cams: "Own: " and its cam type.
PartOption OwnCamOption(const CTorqDoc& base);
PartOption RatingOption(float cfm, float inHg);
// The name a choice of the exhaust group has while the forced-induction
// manifold takes the exhaust over.
inline constexpr const char* kTakenOverExhaustName = "Forced Induction Exhaust";

// The choices of a group that the form allows on the base engine, in menu
// order: the choices a comparison ticks unless told otherwise. The cam group
// has the five nominal cams and the engine's own; the induction group the
// engine's own rating and those of the induction menu at its pressure drop;
// the manifolds the forced-induction one only for an engine with a blower.
std::vector<PartOption> AllowedPartOptions(const CTorqDoc& base, PartGroup group);

struct PartGroupChoices {
    PartGroup group;
    std::vector<PartOption> options;
};

struct ShootoutSetup {
    std::vector<PartGroupChoices> groups;  // each group at most once, any order
    StudyCriterion criterion = StudyCriterion::PeakPower;
    SpeedBand band{};
    std::size_t top = 20;  // rows of the result
};

// Why a setup cannot run, in the user's words, or nothing. A group without
// choices, a group given twice, a choice the base engine cannot take (an
// exhaust while the forced-induction manifold takes the exhaust over and no
// other manifold is ticked) are refused.
std::optional<std::string> ShootoutRefusal(const CTorqDoc& base, const ShootoutSetup& setup);

// A combination: for each group of the setup (in the setup's order) the
// index of its option, or kTakenOver for an exhaust the forced-induction
// manifold takes over.
using Combination = std::vector<int>;
inline constexpr int kTakenOver = -1;

struct ShootoutRow {
    std::size_t combination = 0;  // its number in the order the combinations were made
    Combination choices;
    StudyFigures figures;
    StudyGain gain;
};

// Ranked best first; equal scores keep the order in which the combinations
// were made (the first group of the setup changes slowest, each group's
// choices in the order given), so a ranking never depends on threads or
// chunks.
struct ShootoutResult {
    std::size_t combinations = 0;  // that the form allows
    std::size_t run = 0;           // done and scored
    std::size_t failed = 0;        // done but not run: listed in failures
    StudyFigures baseline;
    std::vector<ShootoutRow> rows;      // the best setup.top of those run
    std::vector<ShootoutRow> failures;  // every failure, in combination order
};

class PartsShootout {
public:
    // The setup must pass ShootoutRefusal.
    PartsShootout(const CTorqDoc& base, ShootoutSetup setup);
    PartsShootout(const PartsShootout&) = delete;
    PartsShootout& operator=(const PartsShootout&) = delete;

    const ShootoutSetup& Setup() const { return m_setup; }
    std::size_t CombinationCount() const { return m_combinations.size(); }
    const Combination& CombinationAt(std::size_t combination) const { return m_combinations[combination]; }

    bool RunBaseline(std::string& failure) { return m_study.RunBaseline(failure); }
    void RunNext(const StudyRunner& runner, std::size_t count = EditStudy::kChunkEngines)
    {
        m_study.RunNext(runner, count);
    }
    void RunAll(const StudyRunner& runner) { m_study.RunAll(runner); }
    std::size_t DoneCount() const { return m_study.DoneCount(); }
    bool IsDone() const { return m_study.IsDone(); }

    // The ranking of what is done so far.
    ShootoutResult Result() const;

    // The engine of a combination, as the comparison ran it.
    bool MakeEngine(std::size_t combination, CTorqDoc& into) const
    {
        return m_study.MakeEngine(combination, into);
    }
    // The choice names of a combination, by group.
    std::vector<std::pair<PartGroup, std::string>> ChoiceNames(const Combination& choices) const;
    // "Dual-Plane Manifold, Small-Tube Headers": the changes from the base
    // engine, for the title of an engine made from a row.
    std::string ChangesText(const Combination& choices) const;

private:
    void Edits(std::size_t combination, std::vector<EngineEdit>& edits) const;

    ShootoutSetup m_setup;
    std::vector<Combination> m_combinations;
    EditStudy m_study;
};

// More combinations than this are refused: tick fewer choices.
inline constexpr std::size_t kMostShootoutCombinations = 2'000'000;
// The number of combinations the form allows for a setup, without making them.
std::size_t CountCombinations(const CTorqDoc& base, const ShootoutSetup& setup);
