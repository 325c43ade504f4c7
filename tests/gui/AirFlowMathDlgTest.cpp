// The airflow conversion calculator: fields, rating modes, units, Apply into
// the engine, the free calculator's OK, and Cancel.

#include "dialogs/AirFlowMathDlg.h"
#include "model/TorqDoc.h"
#include "widgets/TorqSpecEdit.h"

#include "DialogTestSupport.h"
#include "EngineBuilds.h"
#include "RecordingPresenter.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <memory>
#include <vector>

using Input = CAirFlowMathDlg::Input;

class AirFlowMathDlgTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void fieldsTakeOrRefuseAndTheResultFollows();
    void aRatingFixesTheTargetAndTheButtons();
    void theUnitButtonsConvertThePressures();
    void applyChecksThenRatesTheEngine();
    void withoutAStandardOkChangesNothing();
    void cancelLeavesTheEngineAsItWas();
    void aMetricEngineWorksInCentimetres();

private:
    std::unique_ptr<CAirFlowMathDlg> Open();

    std::unique_ptr<RecordingPresenter> m_presenter;
    std::unique_ptr<CTorqDoc> m_doc;
};

void AirFlowMathDlgTest::init()
{
    m_presenter = std::make_unique<RecordingPresenter>();
    m_doc = std::make_unique<CTorqDoc>();
    QVERIFY(BuildChevy350(*m_doc));  // 750 cfm at 1.5 inHg
    m_doc->SetModified(false);
}

void AirFlowMathDlgTest::cleanup()
{
    m_doc.reset();
    m_presenter.reset();
}

std::unique_ptr<CAirFlowMathDlg> AirFlowMathDlgTest::Open()
{
    auto dialog = std::make_unique<CAirFlowMathDlg>(*m_doc);
    if (!ShowActive(*dialog)) return nullptr;
    return dialog;
}

void AirFlowMathDlgTest::fieldsTakeOrRefuseAndTheResultFollows()
{
    auto dialog = Open();
    QVERIFY(dialog);
    QCOMPARE(QApplication::focusWidget(), dialog->ModeButton(AirflowCalculator::kFourBarrel));
    QLineEdit* pressure = dialog->Edit(Input::KnownPressure);
    pressure->setFocus();
    QApplication::processEvents();
    QCOMPARE(dialog->HelpLine()->text(),
             QStringLiteral("Enter Known Pressure Drop Value Within Range: 0.1 to 100.0 inH2O"));

    const int beeps = RefusalBeepCount();
    Enter(pressure, QStringLiteral("0.05"));
    QCOMPARE(RefusalBeepCount(), beeps + 1);
    QCOMPARE(QApplication::focusWidget(), pressure);
    QVERIFY(!dialog->Calculator().Parameter(Input::KnownPressure).IsSet());

    Enter(pressure, QStringLiteral("20"));
    Enter(dialog->Edit(Input::KnownAirflow), QStringLiteral("600"));
    QCOMPARE(dialog->AirflowText()->text(), QStringLiteral("604.9"));
    // An emptied field keeps its value and the result.
    Enter(pressure, QString());
    QCOMPARE(pressure->text(), QStringLiteral("20.0"));
    QCOMPARE(dialog->AirflowText()->text(), QStringLiteral("604.9"));
}

void AirFlowMathDlgTest::aRatingFixesTheTargetAndTheButtons()
{
    auto dialog = Open();
    QVERIFY(dialog);
    QLineEdit* target = dialog->Edit(Input::TargetPressure);
    QVERIFY(dialog->ModeButton(AirflowCalculator::kFourBarrel)->isChecked());
    QCOMPARE(target->text(), QStringLiteral("1.50"));
    QCOMPARE(dialog->UnitsLabel(Input::TargetPressure)->text(), QStringLiteral("inHg"));
    QVERIFY(!target->isEnabled());
    QCOMPARE(dialog->ApplyButton()->text(), QStringLiteral("Apply"));
    QVERIFY(dialog->CancelButton()->isVisible());

    dialog->ModeButton(AirflowCalculator::kTwoBarrel)->click();
    QCOMPARE(target->text(), QStringLiteral("3.00"));

    dialog->ModeButton(AirflowCalculator::kNoStandard)->click();
    QVERIFY(target->isEnabled());
    QCOMPARE(dialog->ApplyButton()->text(), QStringLiteral("OK"));
    QVERIFY(!dialog->CancelButton()->isVisible());
    QCOMPARE(dialog->ModeButton(AirflowCalculator::kTwoBarrel)->text(),
             QStringLiteral("2-Barrel Rating at 3.0 inHg Pressure Drop"));
}

void AirFlowMathDlgTest::theUnitButtonsConvertThePressures()
{
    auto dialog = Open();
    QVERIFY(dialog);
    QCOMPARE(dialog->KnownUnitButton(false)->text(), QStringLiteral("Inches Water (inH2O)"));
    QVERIFY(dialog->KnownUnitButton(false)->isChecked());
    QVERIFY(dialog->TargetUnitButton(true)->isChecked());
    dialog->ModeButton(AirflowCalculator::kTwoBarrel)->click();
    Enter(dialog->Edit(Input::KnownAirflow), QStringLiteral("600"));

    // 28 inH2O typed in mercury gives the same rating.
    dialog->KnownUnitButton(true)->click();
    QCOMPARE(dialog->UnitsLabel(Input::KnownPressure)->text(), QStringLiteral("inHg"));
    Enter(dialog->Edit(Input::KnownPressure), QStringLiteral("2.0664"));
    QCOMPARE(dialog->AirflowText()->text(), QStringLiteral("722.9"));
    dialog->KnownUnitButton(false)->click();
    QCOMPARE(dialog->Edit(Input::KnownPressure)->text(), QStringLiteral("28.0"));

    // The rating in water: 40.65 inH2O, and the same result.
    dialog->TargetUnitButton(false)->click();
    QCOMPARE(dialog->UnitsLabel(Input::TargetPressure)->text(), QStringLiteral("inH2O"));
    QCOMPARE(dialog->Edit(Input::TargetPressure)->text(), QStringLiteral("40.7"));
    QCOMPARE(dialog->AirflowText()->text(), QStringLiteral("722.9"));
}

void AirFlowMathDlgTest::applyChecksThenRatesTheEngine()
{
    auto dialog = Open();
    QVERIFY(dialog);
    dialog->Apply();
    Enter(dialog->Edit(Input::KnownPressure), QStringLiteral("20.37"));
    dialog->Apply();
    Enter(dialog->Edit(Input::KnownAirflow), QStringLiteral("100"));
    QCOMPARE(dialog->AirflowText()->text(), QStringLiteral("99.9"));
    dialog->Apply();
    QCOMPARE(m_presenter->Codes(), (std::vector<int>{Msg::AirflowPressureDropRequired, Msg::AirflowRequired,
                                                     Msg::AirflowRatingOutOfRange}));
    QVERIFY(dialog->isVisible());
    QCOMPARE(m_doc->InductionFlow().GetText(), std::string("750.0"));

    dialog->ModeButton(AirflowCalculator::kTwoBarrel)->click();
    Enter(dialog->Edit(Input::KnownPressure), QStringLiteral("28"));
    TypeInto(dialog->Edit(Input::KnownAirflow), QStringLiteral("600"));
    QTest::keyClick(dialog->Edit(Input::KnownAirflow), Qt::Key_Return);  // Enter is Apply
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(m_doc->InductionFlow().GetTextWithUnits(), std::string("722.9 cfm"));
    QCOMPARE(m_doc->PressureDrop().GetTextWithUnits(), std::string("3.00 inHg"));
    QVERIFY(m_doc->IsModified());
    QVERIFY(m_doc->HasResults());
}

void AirFlowMathDlgTest::withoutAStandardOkChangesNothing()
{
    const std::string before = EngineFileText(*m_doc);
    auto dialog = Open();
    QVERIFY(dialog);
    dialog->ModeButton(AirflowCalculator::kNoStandard)->click();
    Enter(dialog->Edit(Input::KnownPressure), QStringLiteral("28"));
    Enter(dialog->Edit(Input::KnownAirflow), QStringLiteral("600"));
    Enter(dialog->Edit(Input::TargetPressure), QStringLiteral("1.0"));
    QCOMPARE(dialog->AirflowText()->text(), QStringLiteral("417.4"));
    QTest::mouseClick(dialog->ApplyButton(), Qt::LeftButton);  // "OK"
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
    QVERIFY(!dialog->isVisible());
    QVERIFY(m_presenter->Codes().empty());
    QCOMPARE(EngineFileText(*m_doc), before);
}

void AirFlowMathDlgTest::cancelLeavesTheEngineAsItWas()
{
    const std::string before = EngineFileText(*m_doc);
    auto dialog = Open();
    QVERIFY(dialog);
    dialog->ModeButton(AirflowCalculator::kTwoBarrel)->click();
    Enter(dialog->Edit(Input::KnownPressure), QStringLiteral("28"));
    Enter(dialog->Edit(Input::KnownAirflow), QStringLiteral("600"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
    QVERIFY(!m_doc->IsModified());
    QCOMPARE(EngineFileText(*m_doc), before);
}

void AirFlowMathDlgTest::aMetricEngineWorksInCentimetres()
{
    m_doc->SetUnitSystem(kMetricUnits);
    auto dialog = Open();
    QVERIFY(dialog);
    QCOMPARE(dialog->ModeButton(AirflowCalculator::kTwoBarrel)->text(),
             QStringLiteral("2-Barrel Rating at 7.6 cmHg Pressure Drop"));
    QCOMPARE(dialog->ModeButton(AirflowCalculator::kFourBarrel)->text(),
             QStringLiteral("4-Barrel Rating at 3.8 cmHg Pressure Drop"));
    QCOMPARE(dialog->KnownUnitButton(false)->text(), QStringLiteral("cm Water (cmH2O)"));
    QCOMPARE(dialog->TargetUnitButton(true)->text(), QStringLiteral("cm Mercury (cmHg)"));
    dialog->ModeButton(AirflowCalculator::kTwoBarrel)->click();
    QCOMPARE(dialog->Edit(Input::TargetPressure)->text(), QStringLiteral("7.620"));
    QCOMPARE(dialog->UnitsLabel(Input::TargetPressure)->text(), QStringLiteral("cmHg"));
    QCOMPARE(dialog->UnitsLabel(Input::KnownPressure)->text(), QStringLiteral("cmH2O"));

    // 28 inH2O is 71.12 cmH2O: the same rating, handed over in English units.
    Enter(dialog->Edit(Input::KnownPressure), QStringLiteral("71.12"));
    Enter(dialog->Edit(Input::KnownAirflow), QStringLiteral("600"));
    QCOMPARE(dialog->AirflowText()->text(), QStringLiteral("722.9"));
    dialog->Apply();
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(m_doc->PressureDrop().GetTextWithUnits(), std::string("3.00 inHg"));
    QCOMPARE(m_doc->InductionFlow().GetTextWithUnits(), std::string("722.9 cfm"));
    QCOMPARE(m_doc->GetUnitSystem(), int(kMetricUnits));
}

QTEST_MAIN(AirFlowMathDlgTest)
#include "AirFlowMathDlgTest.moc"
