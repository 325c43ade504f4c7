#include "study/MatchSolve.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// r(d) = r0 + J d for J = [[1, 0, 0], [0, 2, 0], [1, 1, 0], [0, 0, 0]]: the
// third figure changes nothing.
Matrix LinearJacobian()
{
    Matrix jacobian(4, 3);
    jacobian(0, 0) = 1.0;
    jacobian(1, 1) = 2.0;
    jacobian(2, 0) = 1.0;
    jacobian(2, 1) = 1.0;
    return jacobian;
}

TEST(MatchSolve, WithoutDampingTheStepIsTheLeastSquaresSolutionAndAFigureThatChangesNothingStays)
{
    // r0 = -J (1, -0.5, *) exactly: the step must be (1, -0.5, 0).
    const std::vector<double> residuals = {-1.0, 1.0, -0.5, 0.0};
    const std::vector<double> step = DampedGaussNewtonStep(LinearJacobian(), residuals, 0.0);
    ASSERT_EQ(step.size(), 3u);
    EXPECT_NEAR(step[0], 1.0, 1e-9);
    EXPECT_NEAR(step[1], -0.5, 1e-9);
    EXPECT_EQ(step[2], 0.0);
}

TEST(MatchSolve, DampingShortensTheStep)
{
    const std::vector<double> residuals = {-1.0, 1.0, -0.5, 0.0};
    const std::vector<double> free = DampedGaussNewtonStep(LinearJacobian(), residuals, 0.0);
    const std::vector<double> damped = DampedGaussNewtonStep(LinearJacobian(), residuals, 10.0);
    EXPECT_LT(std::abs(damped[0]), std::abs(free[0]) / 5.0);
    EXPECT_GT(damped[0], 0.0) << "the same direction";
}

TEST(MatchSolve, TwoFiguresThatActAlikeStillGiveAFiniteStep)
{
    Matrix jacobian(2, 2);
    jacobian(0, 0) = jacobian(0, 1) = 1.0;
    jacobian(1, 0) = jacobian(1, 1) = 2.0;
    const std::vector<double> step = DampedGaussNewtonStep(jacobian, {1.0, 2.0}, 0.0);
    EXPECT_TRUE(std::isfinite(step[0]) && std::isfinite(step[1]));
    EXPECT_NEAR(step[0] + step[1], -1.0, 1e-6);
}

}  // namespace
