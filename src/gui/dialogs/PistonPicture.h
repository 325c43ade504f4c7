#pragma once

#include <QWidget>

class QPainter;

// A section through one cylinder at TDC, drawn to the widget's size: the
// head with its chamber (marker 1), the head gasket with its bore (2) and
// compressed thickness (3), the block and the piston standing a distance
// below the deck (4). A flattop piston has a flat crown; a piston with a
// dome, dish or valve reliefs shows its dome and the volume measured above
// it (5).
class CPistonPicture : public QWidget {
    Q_OBJECT
public:
    explicit CPistonPicture(QWidget* parent = nullptr);

    void SetDomed(bool domed);
    bool IsDomed() const { return m_domed; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

    // A numbered marker: a white disc with a dark ring and the number.
    static void DrawMarker(QPainter& painter, const QPointF& centre, qreal radius, int number);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void DrawSection(QPainter& painter) const;

    bool m_domed = false;
};

// The marker of a picture's number beside the field it stands for.
class CMarkerBadge : public QWidget {
    Q_OBJECT
public:
    CMarkerBadge(int number, QWidget* parent = nullptr);

    int Number() const { return m_number; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_number;
};
