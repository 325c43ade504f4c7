#include "dialogs/ItrBestSurface.h"

#include "iterator/Iterator.h"
#include "widgets/ViewFont.h"

#include <qutils.h>
#include <Q3DCamera>
#include <Q3DScene>
#include <Q3DSurface>
#include <Q3DTheme>
#include <QGuiApplication>
#include <QLabel>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QSurface3DSeries>
#include <QSurfaceDataProxy>
#include <QVBoxLayout>
#include <QValue3DAxis>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kDegrees = 180.0 / std::numbers::pi;
constexpr float kFirstSpeedThousands = 2.0f;  // the grid's engine speeds, thousands of rpm
constexpr float kSpeedStepThousands = 0.5f;

// The camera's horizontal angle when the surface is turned by Z = 0 and not
// rolled: the rpm axis runs across the view and the results recede from it.
constexpr float kHorizontalAtZeroTurn = -90.0f;

constexpr int kLabelFontPoints = 36;
constexpr float kFacingViewerDegrees = 90.0f;  // labels turn this far towards the camera
constexpr float kValueAxisStep = 100.0f;       // hp or lb-ft

const QColor kGrey(192, 192, 192);
const QColor kMidGrey(128, 128, 128);

QLinearGradient SurfaceGradient(int criterion)
{
    // Low values in the first colour, the highest in the second.
    const QColor low = criterion == kMaxPower ? QColor(192, 192, 192) : QColor(0, 255, 0);
    const QColor high = criterion == kMaxPower ? QColor(128, 0, 0) : QColor(0, 128, 0);
    QLinearGradient gradient;
    gradient.setColorAt(0.0, low);
    gradient.setColorAt(1.0, high);
    return gradient;
}

float NormalisedDegrees(double degrees)
{
    double turned = std::fmod(degrees + 180.0, 360.0);
    if (turned < 0) turned += 360.0;
    return static_cast<float>(turned - 180.0);
}

}  // namespace

// The surface turned by Rz(Z) Ry(Y) Rx(X) about its own axes (x results,
// y rpm, z value, the tilt outermost) is seen by a fixed viewer from the
// -y side; in the surface's own frame the viewer then stands in the
// direction c = Rz(-Z) Ry(-Y) Rx(-X) (0, -1, 0):
//     c = Rz(-Z) (-sin X sin Y, -cos X, sin X cos Y)
// The camera's vertical angle is the elevation of c, its horizontal angle
// the bearing of c about the value axis. Without a roll that is simply
// vertical = X and horizontal = -90 - Z.
SurfaceCamera CameraForAngles(const SurfaceAngles& angles)
{
    const double x = angles.x / kDegrees;
    const double y = angles.y / kDegrees;
    const double z = angles.z / kDegrees;
    const double a = -std::sin(x) * std::sin(y);
    const double b = -std::cos(x);
    const double up = std::sin(x) * std::cos(y);
    const double cx = a * std::cos(z) + b * std::sin(z);
    const double cy = -a * std::sin(z) + b * std::cos(z);
    const double bearing = std::atan2(cy, cx) * kDegrees;  // -90 for no turn
    const double elevation = std::asin(std::clamp(up, -1.0, 1.0)) * kDegrees;
    return {NormalisedDegrees(bearing + 90.0 + kHorizontalAtZeroTurn), static_cast<float>(elevation)};
}

bool CItrBestSurface::CanShowSurface(QString& whyNot)
{
    bool software = false;
    return ProbeOpenGl(whyNot, software);
}

bool CItrBestSurface::ProbeOpenGl(QString& whyNot, bool& software)
{
    // These platforms draw into memory only; a surface on them crashes.
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) {
        whyNot = tr("the display platform \"%1\" draws no OpenGL windows").arg(platform);
        return false;
    }
    QOpenGLContext context;
    if (!context.create()) {
        whyNot = tr("no OpenGL context can be created");
        return false;
    }
    QOffscreenSurface surface;
    surface.setFormat(context.format());
    surface.create();
    if (!surface.isValid() || !context.makeCurrent(&surface)) {
        whyNot = tr("the OpenGL context cannot be made current");
        return false;
    }
    const bool recentEnough = context.isOpenGLES() || context.format().majorVersion() >= 2;
    const auto* renderer = reinterpret_cast<const char*>(context.functions()->glGetString(GL_RENDERER));
    const QString rendererName = QString::fromLatin1(renderer != nullptr ? renderer : "").toLower();
    software = rendererName.contains(QLatin1String("llvmpipe")) ||
               rendererName.contains(QLatin1String("softpipe")) ||
               rendererName.contains(QLatin1String("swiftshader")) ||
               rendererName.contains(QLatin1String("software"));
    context.doneCurrent();
    if (!recentEnough) {
        whyNot = tr("OpenGL 2 or later is needed");
        return false;
    }
    return true;
}

CItrBestSurface::CItrBestSurface(bool allowSurface, QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    QString whyNot = tr("it is switched off");
    bool software = false;
    if (allowSurface && ProbeOpenGl(whyNot, software)) {
        CreateSurface(software);
        layout->addWidget(QWidget::createWindowContainer(m_surface, this));
    } else {
        m_note = new QLabel(tr("The 3-D view of the best results needs OpenGL: %1.\n"
                               "The results are listed under \"Keep Result\".")
                                .arg(whyNot),
                            this);
        m_note->setAlignment(Qt::AlignCenter);
        m_note->setWordWrap(true);
        m_note->setAutoFillBackground(true);
        QPalette palette = m_note->palette();
        palette.setColor(QPalette::Window, kGrey);
        m_note->setPalette(palette);
        layout->addWidget(m_note);
    }
    SetCriterion(kMaxPower);
    ShowNoResults();
    Home();
}

CItrBestSurface::~CItrBestSurface()
{
    // The data goes before the surface that shows it.
    if (m_series != nullptr) m_series->dataProxy()->resetArray(nullptr);
}

void CItrBestSurface::CreateSurface(bool softwareRenderer)
{
    // Drawn by the processor, smoothing the edges costs the simulation more
    // than it is worth; drawn by a graphics card it costs nothing.
    const QSurfaceFormat format = qDefaultSurfaceFormat(!softwareRenderer);
    m_surface = new Q3DSurface(&format);
    m_surface->setShadowQuality(QAbstract3DGraph::ShadowQualityNone);
    auto* theme = m_surface->activeTheme();
    theme->setType(Q3DTheme::ThemeUserDefined);
    theme->setBackgroundEnabled(true);
    theme->setBackgroundColor(kGrey);
    theme->setWindowColor(kGrey);
    theme->setLabelBackgroundEnabled(true);
    theme->setLabelBackgroundColor(Qt::white);
    theme->setLabelTextColor(Qt::black);
    theme->setGridEnabled(true);
    theme->setGridLineColor(kMidGrey);
    theme->setLightColor(Qt::white);
    // Labels are drawn from this font and scaled with the graph: a large
    // size keeps them sharp.
    QFont labelFont = SmallViewFont();
    labelFont.setPointSize(kLabelFontPoints);
    theme->setFont(labelFont);
    theme->setColorStyle(Q3DTheme::ColorStyleRangeGradient);

    // Qt's vertical axis carries the value; the results run along its z axis.
    m_surface->axisZ()->setTitle(QStringLiteral("Best Result#(X)"));
    m_surface->axisZ()->setRange(1.0f, float(kGridRows));
    m_surface->axisZ()->setSegmentCount(kGridRows - 1);
    m_surface->axisZ()->setLabelFormat(QStringLiteral("%d"));
    m_surface->axisX()->setTitle(QStringLiteral("RPMx1000(Y)"));
    m_surface->axisX()->setRange(kFirstSpeedThousands,
                                 kFirstSpeedThousands + kSpeedStepThousands * (kGridColumns - 1));
    m_surface->axisX()->setSegmentCount(9);
    m_surface->axisX()->setLabelFormat(QStringLiteral("%.0f"));
    m_surface->axisY()->setLabelFormat(QStringLiteral("%.0f"));
    // Labels and titles turn to face the viewer whatever the angle: drawn
    // flat along the floor they cannot be read at the dialog's size.
    for (QValue3DAxis* axis : {m_surface->axisX(), m_surface->axisY(), m_surface->axisZ()}) {
        axis->setTitleVisible(true);
        axis->setTitleFixed(false);
        axis->setLabelAutoRotation(kFacingViewerDegrees);
    }

    m_series = new QSurface3DSeries;
    m_series->setDrawMode(QSurface3DSeries::DrawSurfaceAndWireframe);
    m_series->setFlatShadingEnabled(false);
    m_series->setColorStyle(Q3DTheme::ColorStyleRangeGradient);
    m_surface->addSeries(m_series);

    Q3DCamera* camera = m_surface->scene()->activeCamera();
    connect(camera, &Q3DCamera::xRotationChanged, this, &CItrBestSurface::TakeAnglesFromCamera);
    connect(camera, &Q3DCamera::yRotationChanged, this, &CItrBestSurface::TakeAnglesFromCamera);
}

void CItrBestSurface::SetCriterion(int criterion)
{
    TORQ_ASSERT(criterion == kMaxPower || criterion == kMaxTorque);
    m_valueTitle = criterion == kMaxPower ? QStringLiteral("HP(Z)") : QStringLiteral("Torque(Z)");
    if (m_surface == nullptr) return;
    m_surface->axisY()->setTitle(m_valueTitle);
    m_series->setBaseGradient(SurfaceGradient(criterion));
}

void CItrBestSurface::ShowResults(const IteratorTest& iterator)
{
    const bool power = iterator.GetCriterion() == kMaxPower;
    m_grid.assign(kGridRows, std::vector<float>(kGridColumns, 0.0f));
    for (int i = 0; i < iterator.GetKeptCount() && i < kGridRows; ++i) {
        const ResultSeriesValues& values = power ? iterator.GetBestPower(i) : iterator.GetBestTorque(i);
        std::copy(values.begin(), values.end(), m_grid[static_cast<std::size_t>(i)].begin());
    }
    ShowGrid();
}

void CItrBestSurface::ShowNoResults()
{
    m_grid.assign(1, std::vector<float>(1, 0.0f));
    ShowGrid();
}

namespace {

// The value axis runs from 0 to the next whole hundred above the highest
// value, so that a surface of positive results never shows negative labels.
float ValueAxisMaximum(const std::vector<std::vector<float>>& grid)
{
    float highest = 0.0f;
    for (const std::vector<float>& row : grid) {
        for (float value : row) highest = std::max(highest, value);
    }
    return std::max(kValueAxisStep, std::ceil(highest / kValueAxisStep) * kValueAxisStep);
}

}  // namespace

void CItrBestSurface::ShowGrid()
{
    if (m_series == nullptr) return;
    m_surface->axisY()->setRange(0.0f, ValueAxisMaximum(m_grid));
    auto* array = new QSurfaceDataArray;
    array->reserve(static_cast<qsizetype>(m_grid.size()));
    for (std::size_t row = 0; row < m_grid.size(); ++row) {
        const std::vector<float>& values = m_grid[row];
        auto* dataRow = new QSurfaceDataRow(static_cast<qsizetype>(values.size()));
        for (std::size_t column = 0; column < values.size(); ++column) {
            const float speed = kFirstSpeedThousands + kSpeedStepThousands * float(column);
            (*dataRow)[static_cast<qsizetype>(column)].setPosition(
                QVector3D(speed, values[column], float(row + 1)));
        }
        array->append(dataRow);
    }
    m_series->dataProxy()->resetArray(array);
}

void CItrBestSurface::Rotate(float dx, float dy, float dz)
{
    m_angles.x += dx;
    m_angles.y += dy;
    m_angles.z += dz;
    ApplyAngles();
}

void CItrBestSurface::Home()
{
    m_angles = SurfaceAngles{};
    ApplyAngles();
}

void CItrBestSurface::ApplyAngles()
{
    if (m_surface == nullptr) return;
    const SurfaceCamera camera = CameraForAngles(m_angles);
    m_applyingAngles = true;
    m_surface->scene()->activeCamera()->setCameraPosition(camera.horizontal, camera.vertical);
    m_applyingAngles = false;
}

// The user turned the surface with the mouse: the buttons go on from there.
void CItrBestSurface::TakeAnglesFromCamera()
{
    if (m_applyingAngles) return;
    const Q3DCamera* camera = m_surface->scene()->activeCamera();
    m_angles.x = camera->yRotation();
    m_angles.y = 0.0f;
    m_angles.z = kHorizontalAtZeroTurn - camera->xRotation();
}
