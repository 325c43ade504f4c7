#pragma once

#include <QString>
#include <QWidget>

#include <vector>

class IteratorTest;
class Q3DSurface;
class QLabel;
class QSurface3DSeries;

// The view angles of the best-results surface, in degrees: X tilts the
// surface towards the viewer, Z turns it about its vertical (value) axis,
// Y rolls it about its rpm axis. The surface starts at X 25, Y 0, Z 220.
struct SurfaceAngles {
    float x = 25.0f;
    float y = 0.0f;
    float z = 220.0f;
    bool operator==(const SurfaceAngles&) const = default;
};

// Where the camera of a surface turned by these angles stands: its
// horizontal and vertical angle around the surface, in degrees. The camera
// cannot roll, so a roll shows as the tilt and turn it gives the view.
struct SurfaceCamera {
    float horizontal;  // -180..180
    float vertical;    // -90..90
};
SurfaceCamera CameraForAngles(const SurfaceAngles& angles);

// The run dialog's 3-D view of the kept best results: one row per result
// (1 to 10), one column per engine speed (2000 to 11000 rpm), the height
// their power or torque, coloured from grey to dark red (power) or from
// green to dark green (torque).
//
// The surface needs OpenGL. Where no OpenGL context can be made (or when the
// caller does without the surface) a note takes its place; the angles and
// the data are kept all the same.
class CItrBestSurface : public QWidget {
    Q_OBJECT
public:
    static constexpr int kGridRows = 10;
    static constexpr int kGridColumns = 19;

    // Whether a surface can be drawn on this display; why not, when it cannot.
    static bool CanShowSurface(QString& whyNot);

    // allowSurface false always shows the note (for programs and tests
    // that run without a display able to draw it).
    explicit CItrBestSurface(bool allowSurface, QWidget* parent = nullptr);
    ~CItrBestSurface() override;

    // 0 Max Power, 1 Max Torque: the value axis's title and the colours.
    void SetCriterion(int criterion);
    // The kept results of the iterator as the grid (zeros below the kept count).
    void ShowResults(const IteratorTest& iterator);
    // Before any test: a 1 x 1 grid holding 0.
    void ShowNoResults();

    // Adds to the angles (degrees) and turns the view.
    void Rotate(float dx, float dy, float dz);
    // Back to the start angles.
    void Home();
    const SurfaceAngles& Angles() const { return m_angles; }

    // The surface, or null when the note stands in its place.
    Q3DSurface* Surface() const { return m_surface; }
    QLabel* Note() const { return m_note; }
    QString ValueAxisTitle() const { return m_valueTitle; }
    // The grid last shown: its rows (results) of power or torque values.
    const std::vector<std::vector<float>>& Grid() const { return m_grid; }

private:
    // software: whether OpenGL is drawn by the processor.
    static bool ProbeOpenGl(QString& whyNot, bool& software);
    void CreateSurface(bool softwareRenderer);
    void ApplyAngles();
    void TakeAnglesFromCamera();
    void ShowGrid();

    SurfaceAngles m_angles;
    QString m_valueTitle;
    std::vector<std::vector<float>> m_grid;
    Q3DSurface* m_surface = nullptr;  // owned by its window container
    QSurface3DSeries* m_series = nullptr;
    QLabel* m_note = nullptr;
    bool m_applyingAngles = false;
};
