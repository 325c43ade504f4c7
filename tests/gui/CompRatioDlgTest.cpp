// The compression ratio calculator: its fields, live figures, piston kinds,
// Apply into the engine and Cancel.

#include "dialogs/CompRatioDlg.h"
#include "dialogs/PistonPicture.h"
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

using Input = CCompRatioDlg::Input;

class CompRatioDlgTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void aFieldTakesRoundsRefusesOrIgnoresItsText();
    void theFiguresFollowTheTyping();
    void thePistonKindLaysOutTheRows();
    void applyShowsTheFirstGapAndStaysOpen();
    void applyStoresTheResultsAndTheEngineGuardsThem();
    void cancelLeavesTheEngineAsItWas();
    void aMetricEngineIsMeasuredInMillimetres();
    void keyboardOnly();

private:
    std::unique_ptr<CCompRatioDlg> Open();
    void TypeFlattopEngine(CCompRatioDlg& dialog);

    std::unique_ptr<RecordingPresenter> m_presenter;
    std::unique_ptr<CTorqDoc> m_doc;
};

void CompRatioDlgTest::init()
{
    m_presenter = std::make_unique<RecordingPresenter>();
    m_doc = std::make_unique<CTorqDoc>();
    QVERIFY(BuildChevy350(*m_doc));  // 10.0:1, 716.62 cc per cylinder
    m_doc->SetModified(false);
}

void CompRatioDlgTest::cleanup()
{
    m_doc.reset();
    m_presenter.reset();
}

std::unique_ptr<CCompRatioDlg> CompRatioDlgTest::Open()
{
    auto dialog = std::make_unique<CCompRatioDlg>(*m_doc);
    if (!ShowActive(*dialog)) return nullptr;
    return dialog;
}

void CompRatioDlgTest::TypeFlattopEngine(CCompRatioDlg& dialog)
{
    dialog.FlattopButton()->click();
    Enter(dialog.Edit(Input::ChamberVolume), QStringLiteral("64"));
    Enter(dialog.Edit(Input::GasketBore), QStringLiteral("4.100"));
    Enter(dialog.Edit(Input::GasketThickness), QStringLiteral("0.040"));
    Enter(dialog.Edit(Input::PistonDistance), QStringLiteral("0.025"));
}

void CompRatioDlgTest::aFieldTakesRoundsRefusesOrIgnoresItsText()
{
    auto dialog = Open();
    QVERIFY(dialog);
    QLineEdit* chamber = dialog->Edit(Input::ChamberVolume);

    // The help line shows the prompt while the field has the focus.
    chamber->setFocus();
    QApplication::processEvents();
    QCOMPARE(dialog->HelpLine()->text(),
             QStringLiteral("Enter Cylinder Head Chamber Volume Value Within Range: 0.10 to 500.00 cc"));

    Enter(chamber, QStringLiteral("64.004"));
    QCOMPARE(chamber->text(), QStringLiteral("64.00"));  // kept to the hundredth, and shown so
    QCOMPARE(dialog->HelpLine()->text().left(25), QStringLiteral("Enter Head Gasket Bore Di"));

    // Out of range: a beep, the focus back on the field, the value unchanged.
    const int beeps = RefusalBeepCount();
    Enter(chamber, QStringLiteral("600"));
    QCOMPARE(RefusalBeepCount(), beeps + 1);
    QCOMPARE(QApplication::focusWidget(), chamber);
    QVERIFY(!dialog->EntriesAccepted());
    QCOMPARE(dialog->Calculator().Parameter(Input::ChamberVolume).GetText(), std::string("64.00"));
    // Apply stops there: no message, still open, nothing stored.
    dialog->Apply();
    QApplication::processEvents();
    QVERIFY(dialog->isVisible());
    QVERIFY(m_presenter->Codes().empty());
    QVERIFY(!m_doc->ChamberVolume().IsSet());

    // A click on Apply takes the focus from the refused field first: refused again.
    TypeInto(chamber, QStringLiteral("501"));
    QTest::mouseClick(dialog->ApplyButton(), Qt::LeftButton);
    QApplication::processEvents();
    QVERIFY(dialog->isVisible());
    QVERIFY(m_presenter->Codes().empty());
    QCOMPARE(QApplication::focusWidget(), chamber);

    // An emptied field changes nothing and shows the value it keeps.
    Enter(chamber, QString());
    QVERIFY(dialog->EntriesAccepted());
    QCOMPARE(chamber->text(), QStringLiteral("64.00"));

    // Tabbing through a field without typing leaves it alone.
    Enter(dialog->Edit(Input::GasketBore), QStringLiteral("4.1234"));
    dialog->Edit(Input::GasketBore)->setFocus();
    QTest::keyClick(dialog->Edit(Input::GasketBore), Qt::Key_Tab);
    QCOMPARE(dialog->Calculator().Parameter(Input::GasketBore).GetValue(), 4.1234f);
}

void CompRatioDlgTest::theFiguresFollowTheTyping()
{
    auto dialog = Open();
    QVERIFY(dialog);
    QCOMPARE(dialog->SweptVolumeText()->text(), QStringLiteral("716.62 cc"));
    QCOMPARE(dialog->RatioText()->text(), QString());
    TypeFlattopEngine(*dialog);
    QCOMPARE(dialog->GasketVolumeText()->text(), QStringLiteral("8.65"));
    QCOMPARE(dialog->DeckVolumeText()->text(), QStringLiteral("5.15"));
    QCOMPARE(dialog->TotalVolumeText()->text(), QStringLiteral("77.80 cc"));
    QCOMPARE(dialog->RatioText()->text(), QStringLiteral("10.21"));

    Enter(dialog->Edit(Input::PistonDistance), QStringLiteral("-0.025"));
    QCOMPARE(dialog->DeckVolumeText()->text(), QStringLiteral("-5.15"));

    // A total of exactly zero: the ratio is infinite.
    dialog->DomedButton()->click();
    Enter(dialog->Edit(Input::ChamberVolume), QStringLiteral("10"));
    Enter(dialog->Edit(Input::GasketThickness), QStringLiteral("0"));
    Enter(dialog->Edit(Input::PistonDistance), QStringLiteral("0.1"));
    Enter(dialog->Edit(Input::PistonVolume), QStringLiteral("10.59"));
    QCOMPARE(dialog->DeckVolumeText()->text(), QStringLiteral("-10.00"));
    QCOMPARE(dialog->RatioText()->text(), QStringLiteral("Infinity"));
    dialog->Apply();
    QCOMPARE(m_presenter->LastCode(), int(Msg::CompressionRatioNotComputed));
}

void CompRatioDlgTest::thePistonKindLaysOutTheRows()
{
    auto dialog = Open();
    QVERIFY(dialog);
    // The engine's kind is chosen at opening: a new engine has flattops.
    QVERIFY(dialog->FlattopButton()->isChecked());
    QVERIFY(!dialog->Picture()->IsDomed());
    for (QWidget* widget : dialog->PistonVolumeRow()) QVERIFY(!widget->isVisible());
    QCOMPARE(dialog->DistanceLabel()->text(), QStringLiteral("Piston Down Bore @ TDC:"));
    const int flattopDeckRow = dialog->DeckVolumeLabel()->y();

    Enter(dialog->Edit(Input::PistonDistance), QStringLiteral("-0.2"));
    dialog->DomedButton()->click();
    QApplication::processEvents();
    QVERIFY(dialog->Picture()->IsDomed());
    QCOMPARE(dialog->DistanceLabel()->text(), QStringLiteral("Piston Down From TDC:"));
    for (QWidget* widget : dialog->PistonVolumeRow()) QVERIFY(widget->isVisible());
    // The deck volume had taken the measured volume's place.
    QCOMPARE(dialog->PistonVolumeRow().at(1)->y(), flattopDeckRow);
    QVERIFY(dialog->DeckVolumeLabel()->y() > flattopDeckRow);
    // A flattop above the deck cannot be a domed piston's distance.
    QCOMPARE(dialog->Edit(Input::PistonDistance)->text(), QString());

    Enter(dialog->Edit(Input::PistonDistance), QStringLiteral("0.3"));
    dialog->FlattopButton()->click();
    QCOMPARE(dialog->Edit(Input::PistonDistance)->text(), QStringLiteral("0.300"));
}

void CompRatioDlgTest::applyShowsTheFirstGapAndStaysOpen()
{
    auto dialog = Open();
    QVERIFY(dialog);
    dialog->Apply();
    Enter(dialog->Edit(Input::ChamberVolume), QStringLiteral("28.33"));
    Enter(dialog->Edit(Input::GasketBore), QStringLiteral("4.1"));
    dialog->Apply();
    Enter(dialog->Edit(Input::GasketThickness), QStringLiteral("0.04"));
    Enter(dialog->Edit(Input::PistonDistance), QStringLiteral("0.025"));
    QCOMPARE(dialog->RatioText()->text(), QStringLiteral("18.01"));
    dialog->Apply();
    QCOMPARE(m_presenter->Codes(), (std::vector<int>{Msg::ChamberVolumeRequired, Msg::GasketThicknessRequired,
                                                     Msg::CompressionRatioOutOfRange}));
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
    QVERIFY(!m_doc->IsCompressionFromCalculator());

    Enter(dialog->Edit(Input::ChamberVolume), QStringLiteral("28.35"));
    QCOMPARE(dialog->RatioText()->text(), QStringLiteral("18.00"));
    dialog->Apply();
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(m_doc->CompressionRatio().GetText(), std::string("18.00"));
}

void CompRatioDlgTest::applyStoresTheResultsAndTheEngineGuardsThem()
{
    auto dialog = Open();
    QVERIFY(dialog);
    TypeFlattopEngine(*dialog);
    // Enter in a field presses Apply, the field's text taken first.
    TypeInto(dialog->Edit(Input::PistonDistance), QStringLiteral("0.025"));
    QTest::keyClick(dialog->Edit(Input::PistonDistance), Qt::Key_Return);
    QCOMPARE(dialog->result(), int(QDialog::Accepted));

    QVERIFY(m_doc->IsCompressionFromCalculator());
    QVERIFY(m_doc->IsModified());
    QCOMPARE(m_doc->CompressionRatio().GetText(), std::string("10.21"));
    QCOMPARE(m_doc->CombustionSpace().GetText(), std::string("77.80"));
    QCOMPARE(m_doc->GasketVolume().GetText(), std::string("8.65"));
    QCOMPARE(m_doc->PistonDistance().GetText(), std::string("0.025"));
    QCOMPARE(m_doc->GetPistonKind(), int(CompressionCalculator::kFlattopPiston));
    QVERIFY(m_doc->HasResults());  // recalculated and run

    // From now on a new bore, stroke or ratio asks first; Cancel keeps all.
    QVERIFY(!m_doc->ConfirmChangeAgainstCalculator(m_doc->Stroke()));
    QVERIFY(!m_doc->ConfirmChangeAgainstCalculator(m_doc->CompressionRatio()));
    QCOMPARE(m_presenter->Codes(),
             (std::vector<int>{Msg::BoreStrokeAgainstCalculator, Msg::CompressionRatioAgainstCalculator}));
    QCOMPARE(m_doc->CompressionRatio().GetText(), std::string("10.21"));

    // The calculator reopens with what was applied.
    CCompRatioDlg again(*m_doc);
    QCOMPARE(again.Edit(Input::GasketThickness)->text(), QStringLiteral("0.040"));
    QCOMPARE(again.RatioText()->text(), QStringLiteral("10.21"));
}

void CompRatioDlgTest::cancelLeavesTheEngineAsItWas()
{
    const std::string before = EngineFileText(*m_doc);
    auto dialog = Open();
    QVERIFY(dialog);
    TypeFlattopEngine(*dialog);
    dialog->DomedButton()->click();
    Enter(dialog->Edit(Input::PistonVolume), QStringLiteral("12"));
    TypeInto(dialog->Edit(Input::ChamberVolume), QStringLiteral("70"));
    QTest::keyClick(dialog->Edit(Input::ChamberVolume), Qt::Key_Escape);
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
    QVERIFY(!dialog->isVisible());
    QVERIFY(!m_doc->IsModified());
    QCOMPARE(EngineFileText(*m_doc), before);
}

void CompRatioDlgTest::aMetricEngineIsMeasuredInMillimetres()
{
    m_doc->SetUnitSystem(kMetricUnits);
    auto dialog = Open();
    QVERIFY(dialog);
    QCOMPARE(dialog->UnitsLabel(Input::GasketBore)->text(), QStringLiteral("mm"));
    QCOMPARE(dialog->UnitsLabel(Input::PistonDistance)->text(), QStringLiteral("mm"));
    QCOMPARE(dialog->UnitsLabel(Input::ChamberVolume)->text(), QStringLiteral("cc"));
    auto* bore = dialog->findChild<QLabel*>(QStringLiteral("engine Bore"));
    QVERIFY(bore != nullptr);
    QCOMPARE(bore->text(), QStringLiteral("101.60 mm"));

    dialog->FlattopButton()->click();
    Enter(dialog->Edit(Input::ChamberVolume), QStringLiteral("64"));
    Enter(dialog->Edit(Input::GasketBore), QStringLiteral("104.14"));
    Enter(dialog->Edit(Input::GasketThickness), QStringLiteral("1.016"));
    Enter(dialog->Edit(Input::PistonDistance), QStringLiteral("0.635"));
    QCOMPARE(dialog->GasketVolumeText()->text(), QStringLiteral("8.65"));
    QCOMPARE(dialog->DeckVolumeText()->text(), QStringLiteral("5.15"));
    QCOMPARE(dialog->RatioText()->text(), QStringLiteral("10.21"));
    dialog->Apply();
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(m_doc->GasketBore().GetTextWithUnits(), std::string("104.14 mm"));
    QCOMPARE(m_doc->GetUnitSystem(), int(kMetricUnits));
}

void CompRatioDlgTest::keyboardOnly()
{
    auto dialog = Open();
    QVERIFY(dialog);
    QCOMPARE(QApplication::focusWidget(), dialog->FlattopButton());
    QVERIFY(dialog->ApplyButton()->isDefault());
    std::vector<QWidget*> visited;
    for (int i = 0; i < 6; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.push_back(QApplication::focusWidget());
    }
    // The piston kinds are one stop; then the four flattop measurements and Apply.
    const std::vector<QWidget*> expected = {dialog->Edit(Input::ChamberVolume),
                                            dialog->Edit(Input::GasketBore),
                                            dialog->Edit(Input::GasketThickness),
                                            dialog->Edit(Input::PistonDistance),
                                            dialog->ApplyButton(),
                                            dialog->CancelButton()};
    QCOMPARE(visited, expected);
}

QTEST_MAIN(CompRatioDlgTest)
#include "CompRatioDlgTest.moc"
