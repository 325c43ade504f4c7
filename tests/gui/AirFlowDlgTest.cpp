// The airflow data dialog: its fields, the point count, "Calc Others",
// "Reset All", airflow files opened and saved on the working copy, OK into
// the engine and Cancel.

#include "model/TorqDoc.h"
#include "views/AirFlowDlg.h"
#include "widgets/TorqSpecEdit.h"

#include "DialogTestSupport.h"
#include "EngineBuilds.h"
#include "GuiTestFixture.h"
#include "RecordingPresenter.h"

#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

#include <memory>
#include <vector>

using Side = CAirFlowDlg::Side;

class AirFlowDlgTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void opensOnTheEnginesDataWithRowsForItsPoints();
    void fieldsShowTheirHelpAndRefuseOutOfRange();
    void aNewPointContinuesTheSeries();
    void calcOthersWorksFromTheLiftThatHasTheFocus();
    void resetAllAsksFirst();
    void filesOpenAndSaveTheWorkingCopy();
    void okChecksThenNamesTheHead();
    void cancelForgetsEvenAnOpenedFile();
    void aMetricEngineShowsMillimetresAndCentimetresOfWater();

private:
    std::unique_ptr<CAirFlowDlg> Open();
    // Steps the point count with the arrow keys.
    static void StepPoints(CAirFlowDlg& dialog, int steps);

    std::unique_ptr<RecordingPresenter> m_presenter;
    std::unique_ptr<CTorqDoc> m_doc;
    std::unique_ptr<GuiTestFixture> m_fixture;
    std::vector<std::pair<bool, QString>> m_asked;  // save?, proposed name
    QString m_answer;
};

void AirFlowDlgTest::init()
{
    m_presenter = std::make_unique<RecordingPresenter>();
    m_doc = std::make_unique<CTorqDoc>();
    QVERIFY(BuildChevy350(*m_doc));  // wedge heads: 8 preset points
    m_doc->SetModified(false);
    m_fixture = std::make_unique<GuiTestFixture>();
    m_asked.clear();
    m_answer.clear();
}

void AirFlowDlgTest::cleanup()
{
    m_doc.reset();
    m_presenter.reset();
    m_fixture.reset();
}

std::unique_ptr<CAirFlowDlg> AirFlowDlgTest::Open()
{
    auto dialog = std::make_unique<CAirFlowDlg>(*m_doc);
    dialog->SetFileAsker([this](bool save, const QString& proposed) {
        m_asked.emplace_back(save, proposed);
        return m_answer;
    });
    if (!ShowActive(*dialog)) return nullptr;
    return dialog;
}

void AirFlowDlgTest::StepPoints(CAirFlowDlg& dialog, int steps)
{
    dialog.PointCountBox()->setFocus();
    for (int i = 0; i < std::abs(steps); ++i)
        QTest::keyClick(dialog.PointCountBox(), steps > 0 ? Qt::Key_Up : Qt::Key_Down);
}

void AirFlowDlgTest::opensOnTheEnginesDataWithRowsForItsPoints()
{
    auto dialog = Open();
    QVERIFY(dialog);
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Cylinder Head Airflow Data"));
    QCOMPARE(dialog->DescriptionEdit()->text(), QStringLiteral("Wedge/Stock Ports And Valves"));
    QCOMPARE(dialog->PointCountBox()->value(), 8);
    QCOMPARE(dialog->TestPressureEdit(Side::Intake)->text(), QStringLiteral("25.0"));
    QCOMPARE(dialog->PressureUnits(Side::Exhaust)->text(), QStringLiteral("inH2O"));
    QCOMPARE(dialog->LiftUnits(Side::Intake)->text(), QStringLiteral("in"));
    QCOMPARE(dialog->LiftEdit(Side::Intake, 0)->text(), QStringLiteral("0.200"));
    for (int point = 0; point < 10; ++point) {
        QCOMPARE(dialog->LiftEdit(Side::Exhaust, point)->isEnabled(), point < 8);
        QCOMPARE(dialog->AirflowEdit(Side::Intake, point)->isEnabled(), point < 8);
    }
    QCOMPARE(dialog->AirflowEdit(Side::Intake, 9)->text(), QStringLiteral("***"));
    QVERIFY(!dialog->CalcOthersButton()->isEnabled());

    // An engine with an airflow file shows its name in the caption.
    m_doc->AirflowFile().SetFromText("ported.flw", false);
    CAirFlowDlg named(*m_doc);
    QCOMPARE(named.windowTitle(), QStringLiteral("Cylinder Head Airflow Data - [ported.flw]"));
}

void AirFlowDlgTest::fieldsShowTheirHelpAndRefuseOutOfRange()
{
    auto dialog = Open();
    QVERIFY(dialog);
    QCOMPARE(QApplication::focusWidget(), dialog->DescriptionEdit());
    QCOMPARE(dialog->HelpLine()->text(), QStringLiteral("Enter a Text Description for this Airflow Data"));
    QTest::keyClick(dialog->DescriptionEdit(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), dialog->PointCountBox());
    QCOMPARE(dialog->HelpLine()->text(),
             QStringLiteral("Select the Number of Intake and Exhaust Airflow Data Points"));

    CEditFloatPt* lift = dialog->LiftEdit(Side::Intake, 2);
    lift->setFocus();
    QApplication::processEvents();
    QCOMPARE(dialog->HelpLine()->text(),
             QStringLiteral("Enter Intake Valve Lift Value Within Range: 0.010 to 1.500 in"));
    const int beeps = RefusalBeepCount();
    Enter(lift, QStringLiteral("1.6"));
    QCOMPARE(RefusalBeepCount(), beeps + 1);
    QCOMPARE(QApplication::focusWidget(), lift);
    // The point count waits until the entry is corrected.
    dialog->PointCountBox()->setValue(9);
    QCOMPARE(dialog->PointCountBox()->value(), 8);
    QCOMPARE(dialog->Editor().Data().GetPointCount(), 8);
    Enter(lift, QStringLiteral("0.45"));
    QCOMPARE(dialog->Editor().Data().IntakeLift(2).GetText(), std::string("0.450"));
    StepPoints(*dialog, +1);
    QCOMPARE(dialog->Editor().Data().GetPointCount(), 9);

    // A description is stored trimmed.
    Enter(dialog->DescriptionEdit(), QStringLiteral("  Ported Wedge  "));
    QCOMPARE(dialog->Editor().Data().GetDescription(), std::string("Ported Wedge"));
    QCOMPARE(dialog->DescriptionEdit()->text(), QStringLiteral("Ported Wedge"));
}

void AirFlowDlgTest::aNewPointContinuesTheSeries()
{
    auto dialog = Open();
    QVERIFY(dialog);
    StepPoints(*dialog, -4);
    QCOMPARE(dialog->PointCountBox()->value(), 4);
    QVERIFY(!dialog->LiftEdit(Side::Intake, 4)->isEnabled());
    QCOMPARE(dialog->LiftEdit(Side::Intake, 4)->text(), QStringLiteral("***"));
    const char* lifts[] = {"0.2", "0.3", "0.4", "0.5"};
    const char* flows[] = {"100", "150", "190", "210"};
    for (int point = 0; point < 4; ++point) {
        Enter(dialog->LiftEdit(Side::Intake, point), QString::fromLatin1(lifts[point]));
        Enter(dialog->AirflowEdit(Side::Intake, point), QString::fromLatin1(flows[point]));
    }
    StepPoints(*dialog, +1);
    QCOMPARE(dialog->LiftEdit(Side::Intake, 4)->text(), QStringLiteral("0.600"));
    QCOMPARE(dialog->AirflowEdit(Side::Intake, 4)->text(), QStringLiteral("210.0"));
    QVERIFY(dialog->LiftEdit(Side::Intake, 4)->isEnabled());

    // Dropped and raised again: the series goes on, the old point is gone.
    Enter(dialog->LiftEdit(Side::Intake, 4), QStringLiteral("0.9"));
    StepPoints(*dialog, -1);
    StepPoints(*dialog, +1);
    QCOMPARE(dialog->LiftEdit(Side::Intake, 4)->text(), QStringLiteral("0.600"));

    // Equal last lifts have no step to continue.
    Enter(dialog->LiftEdit(Side::Exhaust, 4), dialog->LiftEdit(Side::Exhaust, 3)->text());
    StepPoints(*dialog, +1);
    QCOMPARE(m_presenter->Codes(), std::vector<int>{Msg::ExhaustLiftsNotAscending});
    QCOMPARE(dialog->PointCountBox()->value(), 5);
}

void AirFlowDlgTest::calcOthersWorksFromTheLiftThatHasTheFocus()
{
    auto dialog = Open();
    QVERIFY(dialog);
    StepPoints(*dialog, +2);
    QCOMPARE(dialog->Editor().Data().GetPointCount(), 10);
    CEditFloatPt* second = dialog->LiftEdit(Side::Intake, 1);
    second->setFocus();
    QApplication::processEvents();
    QVERIFY(dialog->CalcOthersButton()->isEnabled());
    dialog->AirflowEdit(Side::Intake, 1)->setFocus();
    QApplication::processEvents();
    QVERIFY(!dialog->CalcOthersButton()->isEnabled());

    // 0.2 then 0.35: every following lift 0.15 on, held at 1.5.
    TypeInto(second, QStringLiteral("0.35"));
    QVERIFY(dialog->CalcOthersButton()->isEnabled());
    QTest::mouseClick(dialog->CalcOthersButton(), Qt::LeftButton);
    QStringList shown;
    for (int point = 0; point < 10; ++point) shown << dialog->LiftEdit(Side::Intake, point)->text();
    QCOMPARE(shown, QStringList({"0.200", "0.350", "0.500", "0.650", "0.800", "0.950", "1.100", "1.250",
                                 "1.400", "1.500"}));
    QCOMPARE(QApplication::focusWidget(), second);

    // A lift equal to the one before has no step: 51, nothing changes.
    TypeInto(dialog->LiftEdit(Side::Intake, 3), QStringLiteral("0.5"));
    QTest::keyClick(dialog->LiftEdit(Side::Intake, 3), Qt::Key_T, Qt::AltModifier);  // Calc O&thers
    QTRY_COMPARE(m_presenter->Codes(), std::vector<int>{Msg::IntakeLiftsNotAscending});
    QCOMPARE(dialog->LiftEdit(Side::Intake, 4)->text(), QStringLiteral("0.800"));
}

void AirFlowDlgTest::resetAllAsksFirst()
{
    m_doc->AirflowFile().SetFromText("ported.flw", false);
    auto dialog = Open();
    QVERIFY(dialog);
    m_presenter->AnswerNextWarning(WarningAnswer::Cancel);
    QTest::mouseClick(dialog->ResetAllButton(), Qt::LeftButton);
    QCOMPARE(dialog->DescriptionEdit()->text(), QStringLiteral("Wedge/Stock Ports And Valves"));
    m_presenter->AnswerNextWarning(WarningAnswer::Ok);
    QTest::mouseClick(dialog->ResetAllButton(), Qt::LeftButton);
    QCOMPARE(m_presenter->Codes(), (std::vector<int>{Msg::FlowDataReset, Msg::FlowDataReset}));
    QCOMPARE(dialog->DescriptionEdit()->text(), QString());
    QCOMPARE(dialog->LiftEdit(Side::Intake, 0)->text(), QStringLiteral("0.050"));
    QCOMPARE(dialog->AirflowEdit(Side::Exhaust, 7)->text(), QStringLiteral("100.0"));
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Cylinder Head Airflow Data"));
    QVERIFY(m_doc->AirflowFile().IsSet());  // the engine's own name stays until OK
}

void AirFlowDlgTest::filesOpenAndSaveTheWorkingCopy()
{
    auto dialog = Open();
    QVERIFY(dialog);
    Enter(dialog->DescriptionEdit(), QStringLiteral("Bench Sheet"));
    Enter(dialog->AirflowEdit(Side::Intake, 0), QStringLiteral("131"));
    m_answer = m_fixture->FilePath(QStringLiteral("bench.flw"));
    QTest::mouseClick(dialog->SaveAsButton(), Qt::LeftButton);
    QVERIFY(QFile::exists(m_answer));
    QCOMPARE(m_asked.back(), std::make_pair(true, QString()));
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Cylinder Head Airflow Data - [bench.flw]"));
    QVERIFY(!m_doc->AirflowFile().IsSet());  // the engine hears of it on OK only

    // Change the copy, then open the file again over it.
    Enter(dialog->AirflowEdit(Side::Intake, 0), QStringLiteral("99"));
    StepPoints(*dialog, -2);
    QTest::mouseClick(dialog->OpenButton(), Qt::LeftButton);
    QCOMPARE(m_asked.back().first, false);
    QCOMPARE(dialog->AirflowEdit(Side::Intake, 0)->text(), QStringLiteral("131.0"));
    QCOMPARE(dialog->PointCountBox()->value(), 8);
    QVERIFY(dialog->LiftEdit(Side::Intake, 7)->isEnabled());

    // Saving again proposes the name; a cancelled question changes nothing.
    m_answer.clear();
    QTest::mouseClick(dialog->SaveAsButton(), Qt::LeftButton);
    QCOMPARE(m_asked.back(), std::make_pair(true, QStringLiteral("bench.flw")));

    // Incomplete data is not saved: the gap is shown before any question.
    const std::size_t questions = m_asked.size();
    Enter(dialog->DescriptionEdit(), QString(" "));
    QTest::mouseClick(dialog->SaveAsButton(), Qt::LeftButton);
    QCOMPARE(m_presenter->Codes(), std::vector<int>{Msg::AirflowDescriptionRequired});
    QCOMPARE(m_asked.size(), questions);

    // A file that cannot be read leaves the copy alone.
    m_answer = QStringLiteral(TORQWELL_SOURCE_DIR "/tests/data/corrupt/airflow-47.flw");
    QTest::mouseClick(dialog->OpenButton(), Qt::LeftButton);
    QCOMPARE(m_presenter->LastCode(), int(Msg::FileInvalidValue));
    QCOMPARE(dialog->AirflowEdit(Side::Intake, 0)->text(), QStringLiteral("131.0"));
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Cylinder Head Airflow Data - [bench.flw]"));
}

void AirFlowDlgTest::okChecksThenNamesTheHead()
{
    auto dialog = Open();
    QVERIFY(dialog);
    Enter(dialog->DescriptionEdit(), QString());
    QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
    QCOMPARE(m_presenter->Codes(), std::vector<int>{Msg::AirflowDescriptionRequired});
    QVERIFY(dialog->isVisible());

    // A preset head's name is not the user's: "Custom Airflow".
    TypeInto(dialog->DescriptionEdit(), QStringLiteral("Wedge/Stock Ports And Valves"));
    QTest::keyClick(dialog->DescriptionEdit(), Qt::Key_Return);
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(m_doc->CylinderHeadType().GetIndex(), kCustomHeadIndex);
    QCOMPARE(m_doc->CylinderHeadType().GetChoiceName(), std::string("Custom Airflow"));
    QVERIFY(!m_doc->AirflowFile().IsSet());
    QVERIFY(m_doc->IsModified());

    auto again = Open();
    QVERIFY(again);
    Enter(again->DescriptionEdit(), QStringLiteral("Ported Wedge"));
    Enter(again->AirflowEdit(Side::Exhaust, 7), QStringLiteral("140"));
    m_answer = m_fixture->FilePath(QStringLiteral("ported.flw"));
    QTest::mouseClick(again->SaveAsButton(), Qt::LeftButton);
    QTest::mouseClick(again->OkButton(), Qt::LeftButton);
    QCOMPARE(again->result(), int(QDialog::Accepted));
    QCOMPARE(m_doc->CylinderHeadType().GetChoiceName(), std::string("Ported Wedge"));
    QCOMPARE(m_doc->AirflowFile().GetText(), std::string("ported.flw"));
    QCOMPARE(m_doc->FlowData().ExhaustAirflow(7).GetText(), std::string("140.0"));
}

void AirFlowDlgTest::cancelForgetsEvenAnOpenedFile()
{
    const std::string before = EngineFileText(*m_doc);
    auto dialog = Open();
    QVERIFY(dialog);
    m_answer = QStringLiteral(TORQWELL_SOURCE_DIR "/examples/wedge-fully-ported.flw");
    QTest::mouseClick(dialog->OpenButton(), Qt::LeftButton);
    QCOMPARE(dialog->DescriptionEdit()->text(), QStringLiteral("Wedge/Fully Ported, Large Valves"));
    StepPoints(*dialog, +1);
    TypeInto(dialog->LiftEdit(Side::Intake, 0), QStringLiteral("0.25"));
    QTest::keyClick(dialog->LiftEdit(Side::Intake, 0), Qt::Key_Escape);
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
    QVERIFY(!m_doc->IsModified());
    QCOMPARE(EngineFileText(*m_doc), before);
}

void AirFlowDlgTest::aMetricEngineShowsMillimetresAndCentimetresOfWater()
{
    m_doc->SetUnitSystem(kMetricUnits);
    auto dialog = Open();
    QVERIFY(dialog);
    QCOMPARE(dialog->LiftUnits(Side::Exhaust)->text(), QStringLiteral("mm"));
    QCOMPARE(dialog->DiameterUnits(Side::Intake)->text(), QStringLiteral("mm"));
    QCOMPARE(dialog->PressureUnits(Side::Intake)->text(), QStringLiteral("cmH2O"));
    QCOMPARE(dialog->LiftEdit(Side::Intake, 0)->text(), QStringLiteral("5.08"));
    // A file opened here comes in in millimetres too.
    m_answer = QStringLiteral(TORQWELL_SOURCE_DIR "/examples/wedge-fully-ported.flw");
    QTest::mouseClick(dialog->OpenButton(), Qt::LeftButton);
    QCOMPARE(dialog->TestDiameterEdit(Side::Intake)->text(), QStringLiteral("51.82"));
    QCOMPARE(dialog->LiftUnits(Side::Intake)->text(), QStringLiteral("mm"));
    Enter(dialog->LiftEdit(Side::Intake, 0), QStringLiteral("6.35"));
    QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(m_doc->FlowData().GetUnitSystem(), int(kMetricUnits));
    m_doc->SetUnitSystem(kEnglishUnits);
    QCOMPARE(m_doc->FlowData().IntakeLift(0).GetText(), std::string("0.250"));
}

QTEST_MAIN(AirFlowDlgTest)
#include "AirFlowDlgTest.moc"
