// The best results' 3-D surface as it draws on a display with OpenGL
// (runs under Xvfb): its titles, colours, grid and view angles.

#include "IteratorGuiSupport.h"

#include "EngineBuilds.h"
#include "RecordingPresenter.h"
#include "dialogs/ItrBestSurface.h"
#include "dialogs/ItrRunDlg.h"

#include <Q3DCamera>
#include <Q3DScene>
#include <Q3DSurface>
#include <QRadioButton>
#include <QSurface3DSeries>
#include <QSurfaceDataProxy>
#include <QValue3DAxis>
#include <QtTest>

#include <cmath>

namespace {

QColor GradientEnd(const QSurface3DSeries& series, double at)
{
    for (const QGradientStop& stop : series.baseGradient().stops()) {
        if (stop.first == at) return stop.second;
    }
    return {};
}

}  // namespace

class ItrBestSurfaceGlTest : public QObject {
    Q_OBJECT
private slots:
    void theCameraFollowsTheAngles();
    void theSurfaceShowsTheKeptResultsWithTheCriterionsTitlesAndColours();
    void theViewButtonsTurnTheSurfaceAndHomeTurnsItBack();
};

void ItrBestSurfaceGlTest::theCameraFollowsTheAngles()
{
    // Without a roll the tilt is the camera's height and a turn its bearing.
    const SurfaceCamera home = CameraForAngles(SurfaceAngles{});
    QCOMPARE(home.vertical, 25.0f);
    const SurfaceCamera turned = CameraForAngles(SurfaceAngles{25.0f, 0.0f, 215.0f});
    QVERIFY(std::abs(turned.vertical - 25.0f) < 1e-4f);
    QVERIFY(std::abs(std::remainder(turned.horizontal - home.horizontal - 5.0f, 360.0f)) < 1e-3f);
    QVERIFY(turned.horizontal >= -180.0f && turned.horizontal <= 180.0f);
    // A quarter roll lays the tilt over: the camera is level with the surface.
    const SurfaceCamera rolled = CameraForAngles(SurfaceAngles{25.0f, 90.0f, 220.0f});
    QVERIFY(std::abs(rolled.vertical) < 1e-3f);
    // Tilted straight down on the surface.
    QVERIFY(std::abs(CameraForAngles(SurfaceAngles{90.0f, 0.0f, 0.0f}).vertical - 90.0f) < 1e-3f);
}

void ItrBestSurfaceGlTest::theSurfaceShowsTheKeptResultsWithTheCriterionsTitlesAndColours()
{
    QString whyNot;
    QVERIFY2(CItrBestSurface::CanShowSurface(whyNot), qPrintable(whyNot));
    RecordingPresenter presenter;
    OpenEngine chevy("Chevy.trq");
    QVERIFY(BuildChevy350(chevy.Doc()));
    IteratorTest iterator{IteratorTest::Detached{}};
    const CTorqDoc& baseline = chevy.Doc();
    // 12 tests: ten are kept.
    ConfigureSeries(iterator, baseline, {SweepOf(kItrStroke, baseline, 3.40f, 3.51f, 0.01f)});

    CItrRunDlg dialog(iterator, CDocumentRegistry::Instance(), CItrRunDlg::Options{true, 2});
    QVERIFY(ShowActive(dialog));
    Q3DSurface* surface = dialog.BestSurface()->Surface();
    QVERIFY(surface != nullptr);
    QVERIFY(dialog.BestSurface()->Note() == nullptr);
    QCOMPARE(surface->axisZ()->title(), QStringLiteral("Best Result#(X)"));
    QCOMPARE(surface->axisX()->title(), QStringLiteral("RPMx1000(Y)"));
    QCOMPARE(surface->axisY()->title(), QStringLiteral("HP(Z)"));
    QSurface3DSeries* series = surface->seriesList().value(0);
    QVERIFY(series != nullptr);
    QCOMPARE(GradientEnd(*series, 0.0), QColor(192, 192, 192));
    QCOMPARE(GradientEnd(*series, 1.0), QColor(128, 0, 0));
    // Before any test: one point at 0.
    QCOMPARE(series->dataProxy()->rowCount(), 1);
    QCOMPARE(series->dataProxy()->columnCount(), 1);

    dialog.RunButton()->click();
    QTRY_COMPARE_WITH_TIMEOUT(dialog.GetRunState(), CItrRunDlg::kDone, 60000);
    QCOMPARE(iterator.GetKeptCount(), 10);
    QSurfaceDataProxy* proxy = series->dataProxy();
    QCOMPARE(proxy->rowCount(), 10);
    QCOMPARE(proxy->columnCount(), 19);
    for (int row : {0, 4, 9}) {
        for (int column : {0, 7, 18}) {
            const QVector3D at = proxy->itemAt(row, column)->position();
            QCOMPARE(at.z(), float(row + 1));               // result number
            QCOMPARE(at.x(), 2.0f + 0.5f * float(column));  // thousands of rpm
            QCOMPARE(at.y(), iterator.GetBestPower(row)[column]);
        }
    }

    // Max Torque: the torque title and the greens.
    dialog.SetSetupRunner([](CItrSetupDlg& setup) {
        setup.MaxTorqueButton()->click();
        setup.accept();
        return setup.result();
    });
    dialog.SetupButton()->click();
    QCOMPARE(surface->axisY()->title(), QStringLiteral("Torque(Z)"));
    QCOMPARE(GradientEnd(*series, 0.0), QColor(0, 255, 0));
    QCOMPARE(GradientEnd(*series, 1.0), QColor(0, 128, 0));
    QCOMPARE(proxy->rowCount(), 1);  // the new series has not run yet
}

void ItrBestSurfaceGlTest::theViewButtonsTurnTheSurfaceAndHomeTurnsItBack()
{
    IteratorTest iterator{IteratorTest::Detached{}};
    CItrRunDlg dialog(iterator, CDocumentRegistry::Instance(), CItrRunDlg::Options{true, 1});
    QVERIFY(ShowActive(dialog));
    Q3DSurface* surface = dialog.BestSurface()->Surface();
    QVERIFY(surface != nullptr);
    const Q3DCamera* camera = surface->scene()->activeCamera();
    const SurfaceCamera home = CameraForAngles(SurfaceAngles{});
    QCOMPARE(camera->yRotation(), home.vertical);
    QCOMPARE(camera->xRotation(), home.horizontal);

    dialog.RotateButton(0)->click();  // X+
    QCOMPARE(dialog.BestSurface()->Angles(), (SurfaceAngles{30.0f, 0.0f, 220.0f}));
    QCOMPARE(camera->yRotation(), 30.0f);
    dialog.RotateButton(4)->click();  // Z+ turns back by 5 degrees
    dialog.RotateButton(4)->click();
    QCOMPARE(dialog.BestSurface()->Angles(), (SurfaceAngles{30.0f, 0.0f, 210.0f}));
    QVERIFY(std::abs(std::remainder(camera->xRotation() - home.horizontal - 10.0f, 360.0f)) < 1e-3f);
    dialog.RotateButton(2)->click();  // Y+
    QCOMPARE(dialog.BestSurface()->Angles().y, 5.0f);
    QVERIFY(camera->yRotation() < 30.0f);

    dialog.RotateButton(6)->click();  // Home
    QCOMPARE(dialog.BestSurface()->Angles(), SurfaceAngles{});
    QCOMPARE(camera->yRotation(), home.vertical);
    QCOMPARE(camera->xRotation(), home.horizontal);
}

QTEST_MAIN(ItrBestSurfaceGlTest)
#include "ItrBestSurface_gl.moc"
