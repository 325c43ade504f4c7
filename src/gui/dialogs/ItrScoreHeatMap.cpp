#include "dialogs/ItrScoreHeatMap.h"

#include "iterator/Iterator.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kKeyWidth = 14;  // pixels of the colour key right of the map
constexpr int kMarginPixels = 6;
const QColor kEmptyCell(205, 205, 205);
// From dark blue through teal and green to yellow: light means a good score.
const QColor kRamp[] = {QColor(40, 30, 110), QColor(30, 110, 140), QColor(60, 170, 90), QColor(250, 220, 40)};

QString ValueText(float value)
{
    return QString::number(double(value), 'g', 5);
}

}  // namespace

CItrScoreHeatMap::CItrScoreHeatMap(QWidget* parent)
    : QWidget(parent), m_xAxis(new QComboBox(this)), m_yAxis(new QComboBox(this)), m_note(new QLabel(this))
{
    auto* across = new QLabel(tr("&Across:"), this);
    across->setBuddy(m_xAxis);
    auto* down = new QLabel(tr("&Down:"), this);
    down->setBuddy(m_yAxis);
    auto* choices = new QHBoxLayout;
    choices->addWidget(across);
    choices->addWidget(m_xAxis, 1);
    choices->addWidget(down);
    choices->addWidget(m_yAxis, 1);
    m_note->setWordWrap(true);
    m_note->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(choices);
    layout->addWidget(m_note);
    layout->addStretch(1);
    setMinimumSize(260, 200);
    connect(m_xAxis, &QComboBox::currentIndexChanged, this, [this] { TakeGrid(); });
    connect(m_yAxis, &QComboBox::currentIndexChanged, this, [this] { TakeGrid(); });
    ListAxes();
}

QColor CItrScoreHeatMap::ScoreColour(float score, float lowest, float highest)
{
    const double share =
        highest > lowest ? std::clamp(double(score - lowest) / double(highest - lowest), 0.0, 1.0) : 1.0;
    const double position = share * (std::size(kRamp) - 1);
    const auto below = std::min(static_cast<std::size_t>(position), std::size(kRamp) - 2);
    const double t = position - double(below);
    const QColor& a = kRamp[below];
    const QColor& b = kRamp[below + 1];
    return QColor::fromRgbF(float(a.redF() + t * (b.redF() - a.redF())),
                            float(a.greenF() + t * (b.greenF() - a.greenF())),
                            float(a.blueF() + t * (b.blueF() - a.blueF())));
}

void CItrScoreHeatMap::ShowResults(const IteratorTest& iterator)
{
    const IteratorScoreMap& map = iterator.GetScoreMap();
    bool sameAxes = m_map == &map && m_axisTypes.size() == std::size_t(map.AxisCount());
    for (int axis = 0; sameAxes && axis < map.AxisCount(); ++axis)
        sameAxes = m_axisTypes[std::size_t(axis)] == map.GetAxis(axis).type;
    m_map = &map;
    m_torque = iterator.GetCriterion() == kMaxTorque;
    if (sameAxes) {
        TakeGrid();
    } else {
        ListAxes();  // takes the grid too
    }
}

// The swept parameters, the first across and the second down at first.
void CItrScoreHeatMap::ListAxes()
{
    const QSignalBlocker blockX(m_xAxis);
    const QSignalBlocker blockY(m_yAxis);
    m_xAxis->clear();
    m_yAxis->clear();
    m_axisTypes.clear();
    for (int axis = 0; axis < AxisCount(); ++axis) {
        m_axisTypes.push_back(m_map->GetAxis(axis).type);
        const QString name = QString::fromLatin1(IterationDataTypeName(m_map->GetAxis(axis).type));
        m_xAxis->addItem(name, axis);
        m_yAxis->addItem(name, axis);
    }
    m_xAxis->setCurrentIndex(0);
    m_yAxis->setCurrentIndex(AxisCount() > 1 ? 1 : 0);
    TakeGrid();
}

void CItrScoreHeatMap::TakeGrid()
{
    const int x = m_xAxis->currentData().toInt();
    const int y = m_yAxis->currentData().toInt();
    m_grid = {};
    if (AxisCount() < 2) {
        m_note->setText(
            tr("The heat map shows the best score over two swept parameters: "
               "set up a series that sweeps two or more."));
    } else if (x == y) {
        m_note->setText(tr("Choose two different parameters."));
    } else {
        m_grid = m_map->GetGrid(x, y);
        m_note->setText(m_grid.empty ? tr("No test has been run yet.") : QString());
    }
    m_note->setVisible(!m_note->text().isEmpty());
    update();
}

QRectF CItrScoreHeatMap::MapArea() const
{
    const QFontMetricsF metrics(font());
    const double top = m_xAxis->geometry().bottom() + kMarginPixels + metrics.height();
    const double left = kMarginPixels + metrics.horizontalAdvance(QStringLiteral("00000.0")) + 4;
    const double right =
        width() - kMarginPixels - kKeyWidth - metrics.horizontalAdvance(QStringLiteral("0000.0")) - 8;
    const double bottom = height() - kMarginPixels - 2 * metrics.height();
    return {QPointF(left, top), QPointF(right, bottom)};
}

void CItrScoreHeatMap::paintEvent(QPaintEvent*)
{
    if (m_grid.columns == 0 || m_grid.rows == 0) return;
    QPainter painter(this);
    const QFontMetricsF metrics(font());
    const QRectF area = MapArea();
    if (area.width() < 20 || area.height() < 20) return;
    const int x = m_xAxis->currentData().toInt();
    const int y = m_yAxis->currentData().toInt();
    const double cellWidth = area.width() / m_grid.columns;
    const double cellHeight = area.height() / m_grid.rows;
    // Row 0 (the first value of the sweep down) at the foot, as on a graph.
    for (int row = 0; row < m_grid.rows; ++row) {
        for (int column = 0; column < m_grid.columns; ++column) {
            const float score = m_grid.At(column, row);
            const QRectF cell(area.left() + column * cellWidth, area.bottom() - (row + 1) * cellHeight,
                              cellWidth, cellHeight);
            painter.fillRect(
                cell.adjusted(0, 0, 0.5, 0.5),
                std::isnan(score) ? kEmptyCell : ScoreColour(score, m_grid.lowest, m_grid.highest));
        }
    }
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(area);

    // The sweeps' first and last values along the edges, the parameters' names between them.
    const QString xFirst = ValueText(m_map->CellLowValue(x, 0));
    const QString xLast = ValueText(m_map->CellHighValue(x, m_grid.columns - 1));
    const double under = area.bottom() + metrics.ascent() + 2;
    painter.drawText(QPointF(area.left(), under), xFirst);
    painter.drawText(QPointF(area.right() - metrics.horizontalAdvance(xLast), under), xLast);
    const QString xName = m_xAxis->currentText();
    painter.drawText(
        QPointF(area.center().x() - metrics.horizontalAdvance(xName) / 2, under + metrics.height()), xName);
    const QString yFirst = ValueText(m_map->CellLowValue(y, 0));
    const QString yLast = ValueText(m_map->CellHighValue(y, m_grid.rows - 1));
    painter.drawText(QPointF(area.left() - metrics.horizontalAdvance(yFirst) - 4, area.bottom()), yFirst);
    painter.drawText(
        QPointF(area.left() - metrics.horizontalAdvance(yLast) - 4, area.top() + metrics.ascent()), yLast);
    painter.drawText(QPointF(area.left(), area.top() - metrics.descent() - 2), m_yAxis->currentText());

    // The key: the ramp from the lowest score at its foot to the highest at its top.
    if (m_grid.empty) return;
    const QRectF key(area.right() + 8, area.top(), kKeyWidth, area.height());
    QLinearGradient ramp(key.bottomLeft(), key.topLeft());
    for (std::size_t i = 0; i < std::size(kRamp); ++i)
        ramp.setColorAt(double(i) / (std::size(kRamp) - 1), kRamp[i]);
    painter.fillRect(key, ramp);
    painter.drawRect(key);
    const QString unit = m_torque ? tr("lb-ft") : tr("hp");
    painter.drawText(QPointF(key.right() + 3, key.top() + metrics.ascent()),
                     QString::number(double(m_grid.highest), 'f', 1));
    painter.drawText(QPointF(key.right() + 3, key.bottom()), QString::number(double(m_grid.lowest), 'f', 1));
    painter.drawText(QPointF(key.right() + 3, key.center().y() + metrics.ascent() / 2), unit);
}
