#pragma once

#include "DynoPull.h"
#include "MatchFigures.h"
#include "PullComparison.h"
#include "StudyRunner.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

class CTorqDoc;

// Matching an engine to a measured pull: the values of the freed figures,
// inside their ranges, that bring the model's power and torque closest to
// the pull (least squares over the speed points the pull covers, power and
// torque alike in % of the pull's peaks).
//
// The method, every step of it deterministic (the same answer on any number
// of threads, with the batch kernel or without it, since each engine's run
// is the same to the bit either way):
//   1. a coarse look over the whole box of ranges (a grid, or for more than
//      five figures a Halton set), all on the batch runner at once;
//   2. from today's values and the best few distinct points of that look,
//      Levenberg-Marquardt steps on the differences, the Jacobian by central
//      differences of one natural step, the trial steps of three dampings
//      run together;
//   3. a compass search on the figures' lattice (with the diagonals of
//      pairs, which follow a valley where two figures trade off) from the
//      best of those, its steps halved down to the lattice;
//   4. for each figure, the firm range: walking it out from the best value
//      one natural step at a time, the other figures matched again at each
//      step, until the best error passes the margin. Figures whose best
//      values move by a natural step or more across another's firm range
//      trade off against it.
// A pull that the model cannot come near inside the ranges is no failure:
// the result says how far it got.

struct MatchSetup {
    std::vector<FigureRange> ranges;  // the freed figures, each once, English units
    // Most engines to run; the match stops with what it has when it gets there.
    int mostTests = 40000;
};

struct MatchProgress {
    double fraction = 0.0;  // 0 to 1, as far as it can be foreseen
    int testsRun = 0;
    double bestRmsPercent = 0.0;
};

// Called between chunks of runs; returning false stops the match, which
// then gives the best it has found.
using MatchProgressCallback = std::function<bool(const MatchProgress&)>;

struct MatchedFigure {
    FigureRange range;      // English units
    double before = 0.0;    // today's value, English units
    double after = 0.0;     // the matched value, English units
    double firmFrom = 0.0;  // where the best error stays within the margin
    double firmTo = 0.0;
    bool atRangeEdge = false;  // the matched value lies on an end of its range
};

struct MatchResult {
    std::vector<MatchedFigure> figures;  // in the order of the setup
    // Pairs of figures (indices into figures) that trade off against each other.
    std::vector<std::pair<std::size_t, std::size_t>> tradeOffs;
    bool beforeRan = false;
    bool afterRan = false;
    PullComparison before;
    PullComparison after;
    RunSeries beforeResults{};
    RunSeries afterResults{};
    int testsRun = 0;
    bool stopped = false;          // stopped by the caller or the test budget
    bool firmRangesKnown = false;  // step 4 ran to its end
    double marginPercent = 0.0;    // the firm ranges' limit on the rms error, % of peak
    // What the user should know: figures on a range's end, engines that
    // switch off an automatic calculation, how far the model stays from the pull.
    std::vector<std::string> notes;
};

// The firm ranges' margin: the best rms error plus 10 % of itself, and at
// least plus 0.05 % of the pull's peak (a difference no dyno tells apart).
inline constexpr double kFirmMarginShare = 0.10;
inline constexpr double kFirmMarginFloorPercent = 0.05;

// An rms error (% of the pull's peak) above which the result says that the
// model does not come near the pull with these figures free.
inline constexpr double kFarFromPullPercent = 3.0;

// The checks before a match: one to twelve figures, none twice, each range
// inside its parameter's range, the base engine complete. Empty when it may
// run; otherwise why not.
std::string CheckMatchSetup(const CTorqDoc& base, const MatchSetup& setup);

// Runs the match. base: a complete engine; the pull as read. It touches no
// program-wide record and shows no message: it may run on a thread of its
// own while no other thread changes base (progress is called on that thread).
MatchResult MatchToPull(const CTorqDoc& base, const DynoPull& pull, const MatchSetup& setup,
                        const StudyRunner& runner, const MatchProgressCallback& progress = {});

// The matched engine: a copy of base with the matched figures, made exactly
// as the match ran it; automatic valve sizes or lifts are off where the
// match freed a valve diameter or a lift. Not run.
void MakeMatchedEngine(const CTorqDoc& base, const MatchResult& result, CTorqDoc& engine);
