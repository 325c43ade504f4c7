#pragma once

#include <cstddef>
#include <vector>

// The little linear algebra of the match's least-squares steps: a dense
// row-major matrix and the damped Gauss-Newton (Levenberg-Marquardt) step.

class Matrix {
public:
    Matrix(std::size_t rows, std::size_t columns)
        : m_rows(rows), m_columns(columns), m_values(rows * columns, 0.0)
    {
    }

    std::size_t Rows() const { return m_rows; }
    std::size_t Columns() const { return m_columns; }
    double& operator()(std::size_t row, std::size_t column) { return m_values[row * m_columns + column]; }
    double operator()(std::size_t row, std::size_t column) const
    {
        return m_values[row * m_columns + column];
    }

private:
    std::size_t m_rows;
    std::size_t m_columns;
    std::vector<double> m_values;
};

// The step d that minimises |r + J d|^2 + lambda |D d|^2, D^2 the diagonal of
// J^T J (Marquardt's scaling, so that each figure is damped in its own
// units):
//     (J^T J + lambda diag(J^T J)) d = -J^T r
// solved by Cholesky. A figure whose column is all 0 (it cannot move, or
// moving it changes nothing) does not move. residuals.size() == J.Rows().
std::vector<double> DampedGaussNewtonStep(const Matrix& jacobian, const std::vector<double>& residuals,
                                          double lambda);
