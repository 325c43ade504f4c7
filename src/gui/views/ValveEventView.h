#pragma once

#include "model/ValveEventDiagram.h"

#include <QWidget>

class CamData;
class QPainter;

// The camshaft group's picture of the valve events: both valves' lift
// against crank angle as the model runs them, the overlap and the four
// events (ValveEventPainter). It follows the cam each time the form shows
// its values again.
class CValveEventView : public QWidget {
    Q_OBJECT
public:
    explicit CValveEventView(QWidget* parent = nullptr);

    // The cam to draw and whether its lifts show in millimetres.
    void ShowCam(const CamData& cam, bool metric);
    const ValveEventDiagram& Diagram() const { return m_diagram; }

    // The picture into any rectangle, with a font of the given pixel size in
    // the painter's units (the printout's).
    void Paint(QPainter& painter, const QRectF& area, double fontPixels) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ValveEventDiagram m_diagram;
    bool m_metric = false;
};
