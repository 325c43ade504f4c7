#include "dialogs/ItrBestScoreChart.h"

#include "widgets/ChartLook.h"

#include <QChart>
#include <QLineSeries>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace {

const QColor kPowerColour(255, 0, 0);
const QColor kTorqueColour(0, 128, 0);

// The fewest tests the x axis spans, so that the first tests do not fill it.
constexpr double kLeastTestsShown = 10.0;
// Score units above and below a best score that has not moved yet.
constexpr double kLevelScoreMargin = 1.0;
// The score axis before any test, hp or lb-ft.
constexpr double kEmptyScoreAxis = 100.0;

}  // namespace

CItrBestScoreChart::CItrBestScoreChart(QWidget* parent)
    : CChartView(parent), m_axisX(MakeValueAxis()), m_axisY(MakeValueAxis()), m_line(new QLineSeries)
{
    auto* chart = new QChart;
    ApplyChartLook(*chart);
    chart->setMargins(QMargins(2, 2, 2, 2));
    m_axisX->setTitleText(tr("Tests Run"));
    m_axisX->setLabelFormat(QStringLiteral("%.0f"));
    m_axisY->setTickCount(3);
    chart->addAxis(m_axisX, Qt::AlignBottom);
    chart->addAxis(m_axisY, Qt::AlignLeft);
    chart->addSeries(m_line);
    m_line->attachAxis(m_axisX);
    m_line->attachAxis(m_axisY);
    setChart(chart);
    setRenderHint(QPainter::Antialiasing);
    setContextMenuPolicy(Qt::NoContextMenu);
    SetCriterion(0);
    ShowHistory({}, 0);
}

void CItrBestScoreChart::SetCriterion(int criterion)
{
    TORQ_ASSERT(criterion == 0 || criterion == 1);
    // Short: the chart is low, and the title stands along its height.
    m_axisY->setTitleText(criterion == 0 ? tr("Best HP") : tr("Best ft-lbs"));
    m_line->setPen(QPen(criterion == 0 ? kPowerColour : kTorqueColour, 2));
}

void CItrBestScoreChart::ShowHistory(const std::vector<IteratorSearch::BestRise>& rises,
                                     std::int64_t testsRun)
{
    QList<QPointF> points;
    points.reserve(2 * static_cast<qsizetype>(rises.size()) + 1);
    double lowest = 0.0;
    double highest = 0.0;
    for (std::size_t i = 0; i < rises.size(); ++i) {
        const auto tests = static_cast<double>(rises[i].testsRun);
        const double score = rises[i].score;
        if (i > 0) points.append(QPointF(tests, points.back().y()));  // level up to the rise
        points.append(QPointF(tests, score));
        lowest = i == 0 ? score : std::min(lowest, score);
        highest = i == 0 ? score : std::max(highest, score);
    }
    if (!rises.empty()) points.append(QPointF(static_cast<double>(testsRun), points.back().y()));
    m_line->replace(points);

    m_axisX->setRange(0.0, std::max(kLeastTestsShown, static_cast<double>(testsRun)));
    if (rises.empty()) {
        highest = kEmptyScoreAxis;
    } else if (highest - lowest < kLevelScoreMargin) {
        lowest -= kLevelScoreMargin;
        highest += kLevelScoreMargin;
    }
    m_axisY->setRange(std::floor(lowest), std::ceil(highest));
    m_axisX->applyNiceNumbers();
    m_axisY->applyNiceNumbers();
}
