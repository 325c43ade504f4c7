#include "MatchSolve.h"

#include "base/ErrCode.h"

#include <cmath>

namespace {

// Solves A x = b for a symmetric positive definite A (Cholesky, A = L L^T).
// False when A is not positive definite.
bool SolveCholesky(Matrix a, std::vector<double> b, std::vector<double>& x)
{
    const std::size_t n = a.Rows();
    for (std::size_t j = 0; j < n; ++j) {
        double diagonal = a(j, j);
        for (std::size_t k = 0; k < j; ++k) diagonal -= a(j, k) * a(j, k);
        if (!(diagonal > 0.0)) return false;
        a(j, j) = std::sqrt(diagonal);
        for (std::size_t i = j + 1; i < n; ++i) {
            double value = a(i, j);
            for (std::size_t k = 0; k < j; ++k) value -= a(i, k) * a(j, k);
            a(i, j) = value / a(j, j);
        }
    }
    // L y = b, then L^T x = y.
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t k = 0; k < i; ++k) b[i] -= a(i, k) * b[k];
        b[i] /= a(i, i);
    }
    x.assign(n, 0.0);
    for (std::size_t i = n; i-- > 0;) {
        double value = b[i];
        for (std::size_t k = i + 1; k < n; ++k) value -= a(k, i) * x[k];
        x[i] = value / a(i, i);
    }
    return true;
}

}  // namespace

std::vector<double> DampedGaussNewtonStep(const Matrix& jacobian, const std::vector<double>& residuals,
                                          double lambda)
{
    TORQ_ASSERT(residuals.size() == jacobian.Rows());
    const std::size_t n = jacobian.Columns();
    // Only the columns that move take part; the others stay at 0.
    std::vector<std::size_t> moving;
    for (std::size_t j = 0; j < n; ++j) {
        double square = 0.0;
        for (std::size_t r = 0; r < jacobian.Rows(); ++r) square += jacobian(r, j) * jacobian(r, j);
        if (square > 0.0) moving.push_back(j);
    }
    std::vector<double> step(n, 0.0);
    if (moving.empty()) return step;
    const std::size_t m = moving.size();
    Matrix normal(m, m);
    std::vector<double> gradient(m, 0.0);
    for (std::size_t a = 0; a < m; ++a) {
        for (std::size_t r = 0; r < jacobian.Rows(); ++r)
            gradient[a] -= jacobian(r, moving[a]) * residuals[r];
        for (std::size_t b = 0; b < m; ++b) {
            double sum = 0.0;
            for (std::size_t r = 0; r < jacobian.Rows(); ++r)
                sum += jacobian(r, moving[a]) * jacobian(r, moving[b]);
            normal(a, b) = sum;
        }
    }
    // Damping grows until the system is safely positive definite (two
    // figures that act exactly alike make J^T J singular).
    std::vector<double> solution;
    for (double damping = lambda; damping < 1e12; damping = std::max(damping * 10.0, 1e-9)) {
        Matrix damped = normal;
        for (std::size_t a = 0; a < m; ++a) damped(a, a) += damping * normal(a, a);
        if (SolveCholesky(damped, gradient, solution)) break;
        solution.clear();
    }
    for (std::size_t a = 0; a < solution.size(); ++a) step[moving[a]] = solution[a];
    return step;
}
