#pragma once

#include <QPointF>
#include <QString>
#include <QWidget>

#include <vector>

// The airflow dialog's picture of the flow bench's figures: airflow against
// valve lift, the intake blue and the exhaust dark red, each point a dot
// joined in the order typed (so a lift typed below the one before shows as
// a step back). The axes start at 0 and end at a round figure above the
// largest point. It only draws what it is given.
class CAirflowPlot : public QWidget {
    Q_OBJECT
public:
    explicit CAirflowPlot(QWidget* parent = nullptr);

    // Points are (lift, airflow) in the units named.
    void SetCurves(std::vector<QPointF> intake, std::vector<QPointF> exhaust, const QString& liftUnits,
                   const QString& airflowUnits);
    const std::vector<QPointF>& IntakePoints() const { return m_intake; }
    const std::vector<QPointF>& ExhaustPoints() const { return m_exhaust; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<QPointF> m_intake;
    std::vector<QPointF> m_exhaust;
    QString m_liftUnits;
    QString m_airflowUnits;
};

// A round figure (1, 2 or 5 times a power of ten, times a whole number of
// them) at or above a value, for the end of an axis; 1 for nothing above 0.
double RoundAxisEnd(double largest);
