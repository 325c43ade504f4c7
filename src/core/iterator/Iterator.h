#pragma once

#include "IterationParam.h"
#include "ScoreMap.h"
#include "base/ErrCode.h"
#include "model/TorqDoc.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

inline constexpr int kIterationSlotCount = 9;  // rows 1..8 of the setup, slot 9 stays empty
static_assert(kIterationSlotCount <= IteratorScoreMap::kMostAxes);
inline constexpr int kBestResultCount = 10;
inline constexpr int kMaxTotalTests = 300000000;
inline constexpr float kLowestBandRpm = 2000.0f;
inline constexpr float kHighestBandRpm = 11000.0f;

enum IteratorCriterion : std::int32_t { kMaxPower = 0, kMaxTorque = 1 };

// How the configured combinations run: every one of them in test order (a
// series), or only those a search picks (IteratorSearch, in the study library).
enum class IteratorMethod : std::int32_t { EveryCombination = 0, Search = 1 };

// The application's open engine documents, as far as the iterator needs to
// know them: whether an address is (still) one of them. The GUI answers from
// its document list, the command-line tool from the engine it loaded.
class DocumentDirectory {
public:
    virtual ~DocumentDirectory() = default;
    virtual bool IsOpen(const CTorqDoc* document) const = 0;
};

// A directory kept by hand: the documents added and not yet removed.
class DocumentList final : public DocumentDirectory {
public:
    void Add(const CTorqDoc* document);
    void Remove(const CTorqDoc* document);
    bool IsOpen(const CTorqDoc* document) const override;

private:
    std::vector<const CTorqDoc*> m_documents;
};

// One kept result: the working engine as it stood after the test, with its results.
struct BestResult {
    CTorqDoc engine;
    bool keep = false;
    std::int64_t testNumber = 0;  // 1-based; a search's grid may pass 2^31 tests
    float score = 0.0f;           // hp or lb-ft
};

// The values of one combination, one per active slot in slot order.
using CombinationValues = std::array<float, kIterationSlotCount>;

// Iterator testing: a baseline engine, up to eight swept parameters, and
// the ten best results of every combination of their stepped values, each
// simulated on a private copy of the baseline (the working engine) and
// scored by its peak power or torque inside an engine-speed band.
//
// The combinations are enumerated by an odometer over the active slots: the
// last changes fastest, every slot starts at Min Value and ends on Max Value
// exactly. The ten best are kept unsorted: in arrival order until ten are
// kept, then a better result takes the place of the weakest (the one with
// the smallest index among equals); a tie with the weakest is not kept.
//
// There is one in the program (Instance). Tests and tools that need an
// iterator of their own construct one with the Detached tag.
class IteratorTest {
public:
    struct Detached {};

    // The program's iterator, constructed on first use (call it at start-up)
    // and living until exit.
    static IteratorTest& Instance();
    explicit IteratorTest(Detached);
    IteratorTest(const IteratorTest&) = delete;
    IteratorTest& operator=(const IteratorTest&) = delete;

    // Everything back to the cleared state: no baseline, empty slots, no
    // results, criterion Max Power, band 2000 to 11000 rpm.
    void ResetAll();

    // Registers a valid engine as the baseline and copies it into the
    // working engine; an invalid one shows its validation message and
    // changes nothing.
    void SetBaseline(const CTorqDoc* document);
    // The registered baseline; it may have been closed since (see HasOpenBaseline).
    const CTorqDoc* GetBaseline() const { return m_baseline; }
    std::int32_t GetBaselineNumber() const { return m_baselineNumber; }
    // A baseline is registered and still open with its document number.
    bool HasOpenBaseline(const DocumentDirectory& open) const;
    // ResetAll when a registered baseline is gone; true when it reset.
    bool ResetIfBaselineGone(const DocumentDirectory& open);
    // The open baseline's cam timing method differs from the one at registration.
    bool BaselineTimingChanged(const DocumentDirectory& open) const;
    // The baseline's title and true; "(None)" and false without a baseline. A
    // registered baseline is read: check first that it is still open.
    bool GetBaselineTitle(std::string& title) const;

    void SetCriterion(std::int32_t criterion);
    std::int32_t GetCriterion() const { return m_criterion; }
    // Both within 2000..11000 rpm, minimum below maximum.
    void SetScoringBand(float minRpm, float maxRpm);
    void GetScoringBand(float& minRpm, float& maxRpm) const;

    void SetSlot(int index, const IterationParam& slot);
    void GetSlot(int index, IterationParam& slot) const;

    // The most tests a search of the combinations runs; 0 for as many as it
    // needs. Kept with the settings for the search to read when it starts.
    void SetSearchBudget(std::int64_t tests);
    std::int64_t GetSearchBudget() const { return m_searchBudget; }
    // Every combination after PrepareRun (and ResetAll), a search after PrepareSearch.
    IteratorMethod GetMethod() const { return m_method; }

    // Starts the configured series from its first combination and forgets
    // the kept results; baseline, working engine, criterion and band stay.
    void PrepareRun();
    // Readies the configured combinations for a search (IteratorSearch, in
    // the study library), which picks the tests it runs itself, of a grid of
    // any size, and hands its kept results in through FinishTest: as
    // PrepareRun, but with no total counted (total tests and tests run stay
    // 0, the search counts its own) and nothing for RunNextTest to issue.
    void PrepareSearch();
    // False with 62 (no baseline), the working engine's validation code, or
    // 63 (one combination or none, also for a search); the caller shows the message.
    bool IsReady(ErrorCode& code) const;

    // Issues, applies and simulates the next combination. True when the
    // test was simulated (isNewBest: it entered the best results); false
    // when the series is finished or the test gave no results. A test whose
    // engine fails validation shows the validation message.
    bool RunNextTest(bool& isNewBest);

    bool IsDone() const { return m_done; }
    std::int32_t GetTotalTests() const { return m_totalTests; }
    std::int32_t GetTestsRun() const { return m_testsRun; }
    std::int32_t GetKeptCount() const { return m_keptCount; }
    int GetProgressPercent() const;

    // Kept result i, 0 <= i < kept count.
    const CTorqDoc& GetBestEngine(int i) const;
    // The engine kept result i becomes, in the desktop program's Best
    // document and in the command line's Best file alike: a copy of it with
    // the derived values its swept bore, stroke or compression give (the
    // volumes and the combustion space), and the test's results.
    void CopyBestEngine(int i, CTorqDoc& engine) const;
    const ResultSeriesValues& GetBestPower(int i) const;
    const ResultSeriesValues& GetBestTorque(int i) const;
    std::int64_t GetBestTestNumber(int i) const;
    float GetBestScore(int i) const;
    bool GetKeepFlag(int i) const;       // 0 <= i <= 9
    void SetKeepFlag(int i, bool keep);  // 0 <= i < kept count
    float GetLowestKeptScore() const { return m_lowestScore; }
    std::int32_t GetLowestKeptIndex() const { return m_lowestIndex; }

    // The working engine and its series 1..3: after a test, that test's results.
    const CTorqDoc& GetWorkingEngine() const { return m_working; }
    const ResultSeriesValues& GetWorkingSpeeds() const;
    const ResultSeriesValues& GetWorkingPower() const;
    const ResultSeriesValues& GetWorkingTorque() const;

    // ---- A test in three parts, for the batch runner (IteratorRunner),
    // which simulates the combinations elsewhere and hands their outcomes
    // back in test-number order. RunNextTest is IssueNextTest, then
    // ApplyValues and the simulation on the working engine, then
    // FinishTest; a batch in those parts leaves every field exactly as the
    // same number of RunNextTest calls would.

    // Issues and counts the next combination: its values and its test
    // number. False when the series is finished (and then done is set).
    bool IssueNextTest(CombinationValues& values, std::int32_t& testNumber);
    // Sets a combination on an engine, the working engine or a copy of it,
    // clearing compression-ratio calculator results when bore, stroke or
    // compression is swept. Shows nothing and touches nothing else.
    void ApplyValues(CTorqDoc& engine, const CombinationValues& values) const;

    // How a test's simulation went, as the engine's run operation reports it.
    struct TestOutcome {
        enum class Kind { Simulated, InvalidEngine, RunFailed };
        Kind kind = Kind::RunFailed;
        ErrorCode validationCode = 0;                                  // InvalidEngine
        std::array<ResultSeriesValues, kResultSeriesCount> results{};  // Simulated: series 1..8
    };
    // Applies the combination to the working engine and leaves it as its
    // own run would have (results stored, or cleared with the validation
    // message shown), then offers a simulated test to the best results.
    // Same return value and isNewBest as RunNextTest.
    bool FinishTest(const CombinationValues& values, std::int64_t testNumber, const TestOutcome& outcome,
                    bool& isNewBest);

    // The peak power or torque of the working engine inside the scoring band (0 at least).
    float Score() const;

    // The best score of every two swept parameters' cells over the tests
    // run since the series started (PrepareRun, PrepareSearch): the axes are
    // the active slots in slot order.
    const IteratorScoreMap& GetScoreMap() const { return m_scoreMap; }

private:
    IteratorTest();  // the program's one
    void Advance(int activeIndex);
    void StartAfresh();
    void ComputeTotal();
    long double CountCombinations() const;
    bool OfferBest(std::int64_t testNumber);
    void ResetScoreMap();
    void ClearBestResults();
    void CheckBestIndex(int i) const;

    bool m_done = false;
    std::int32_t m_totalTests = 0;
    std::int32_t m_testsRun = 0;
    const CTorqDoc* m_baseline = nullptr;
    std::int32_t m_baselineNumber = 0;
    CTorqDoc m_working;
    std::int32_t m_baselineTimingMethod = 0;
    std::array<IterationParam, kIterationSlotCount> m_slots;
    std::array<IterationParam*, kIterationSlotCount> m_active{};
    std::int32_t m_activeCount = 0;
    std::array<BestResult, kBestResultCount> m_best;
    std::int32_t m_keptCount = 0;
    std::int32_t m_ringPosition = -1;
    std::int32_t m_criterion = kMaxPower;
    IteratorMethod m_method = IteratorMethod::EveryCombination;
    std::int64_t m_searchBudget = 0;
    float m_minRpm = kLowestBandRpm;
    float m_maxRpm = kHighestBandRpm;
    float m_lowestScore = 0.0f;
    std::int32_t m_lowestIndex = -1;
    IteratorScoreMap m_scoreMap;
};
