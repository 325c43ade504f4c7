#pragma once

#include <QString>
#include <QWidget>

#include <vector>

// A horizontal bar for each change, in the order given (biggest gain
// first): green to the right for a gain, red to the left for a loss, its
// label ("ivc 67.0 -> 69.0") on the left and its value at the end of the
// bar. A click on a bar says which.
class CSensitivityChart : public QWidget {
    Q_OBJECT
public:
    struct Bar {
        QString label;
        double value;  // in the shown unit: hp, ft-lbs or %
        QString valueText;
    };

    explicit CSensitivityChart(QWidget* parent = nullptr);

    void SetBars(std::vector<Bar> bars, const QString& unit);
    int BarCount() const { return static_cast<int>(m_bars.size()); }
    // The bar under a point of the widget, or -1.
    int BarAt(QPoint point) const;
    QRect BarRect(int bar) const;

    QSize sizeHint() const override;

signals:
    void BarClicked(int bar, QPoint globalPosition);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    int LabelWidth() const;
    double Scale() const;  // pixels per unit
    int ZeroX() const;

    std::vector<Bar> m_bars;
    QString m_unit;
};
