// The cam timing calculator: fields, events as typed, the timing method in
// the captions, automatic lift, Apply into the engine's cam, and Cancel.

#include "dialogs/CamMathDlg.h"
#include "model/MenuCommands.h"
#include "model/TorqDoc.h"
#include "widgets/TorqSpecEdit.h"

#include "DialogTestSupport.h"
#include "EngineBuilds.h"
#include "RecordingPresenter.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include <memory>
#include <vector>

using Input = CCamMathDlg::Input;

namespace {

enum Event { kIvo, kIvc, kEvo, kEvc };

}  // namespace

class CamMathDlgTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void fieldsShowTheirHelpAndRefuseOutOfRange();
    void aCamCardGivesTheEventsAndApplyStoresThem();
    void fiftyLiftEventsOutOfRangeStayEmpty();
    void automaticLiftsAreShownButNotTyped();
    void cancelLeavesTheEngineAsItWas();
    void aMetricEngineTypesLiftsInMillimetres();
    void keyboardOnly();

private:
    std::unique_ptr<CCamMathDlg> Open();
    void TypeCard(CCamMathDlg& dialog, const QString& intakeDuration);

    std::unique_ptr<RecordingPresenter> m_presenter;
    std::unique_ptr<CTorqDoc> m_doc;
};

void CamMathDlgTest::init()
{
    m_presenter = std::make_unique<RecordingPresenter>();
    m_doc = std::make_unique<CTorqDoc>();
    QVERIFY(BuildChevy350(*m_doc));  // high-performance street cam, 0.500 in lifts
    m_doc->SetModified(false);
}

void CamMathDlgTest::cleanup()
{
    m_doc.reset();
    m_presenter.reset();
}

std::unique_ptr<CCamMathDlg> CamMathDlgTest::Open()
{
    auto dialog = std::make_unique<CCamMathDlg>(*m_doc);
    if (!ShowActive(*dialog)) return nullptr;
    return dialog;
}

void CamMathDlgTest::TypeCard(CCamMathDlg& dialog, const QString& intakeDuration)
{
    Enter(dialog.Edit(Input::LobeCenter), QStringLiteral("110"));
    Enter(dialog.Edit(Input::IntakeCenterline), QStringLiteral("106"));
    Enter(dialog.Edit(Input::IntakeDuration), intakeDuration);
    Enter(dialog.Edit(Input::ExhaustDuration), QStringLiteral("280"));
}

void CamMathDlgTest::fieldsShowTheirHelpAndRefuseOutOfRange()
{
    auto dialog = Open();
    QVERIFY(dialog);
    // The profile's own figures come in, with its events.
    QCOMPARE(dialog->Edit(Input::LobeCenter)->text(), QStringLiteral("108.0"));
    QCOMPARE(dialog->EventText(kIvo)->text(), QStringLiteral("31.0"));

    QCOMPARE(QApplication::focusWidget(), dialog->Edit(Input::LobeCenter));
    QCOMPARE(dialog->HelpLine()->text(), QString());  // angles have no help text
    dialog->Edit(Input::IntakeLift)->setFocus();
    QApplication::processEvents();
    QCOMPARE(dialog->HelpLine()->text(),
             QStringLiteral("Enter Intake Valve Lift Value Within Range: 0.200 to 1.500 in"));

    const int beeps = RefusalBeepCount();
    Enter(dialog->Edit(Input::IntakeDuration), QStringLiteral("721"));
    QCOMPARE(RefusalBeepCount(), beeps + 1);
    QCOMPARE(QApplication::focusWidget(), dialog->Edit(Input::IntakeDuration));
    dialog->Apply();
    QVERIFY(dialog->isVisible());
    QCOMPARE(m_doc->Cam().IntakeDuration().GetText(), std::string("278.0"));
}

void CamMathDlgTest::aCamCardGivesTheEventsAndApplyStoresThem()
{
    auto dialog = Open();
    QVERIFY(dialog);
    QCOMPARE(dialog->SpecsGroup()->title(), QStringLiteral("Enter Cam Timing Specs @ Seat-To-Seat"));
    QCOMPARE(dialog->EventsGroup()->title(), QStringLiteral("Calculated Valve Timing Points @ Seat-To-Seat"));
    TypeCard(*dialog, QStringLiteral("280"));
    QCOMPARE(dialog->EventText(kIvo)->text(), QStringLiteral("34.0"));
    QCOMPARE(dialog->EventText(kIvc)->text(), QStringLiteral("66.0"));
    QCOMPARE(dialog->EventText(kEvo)->text(), QStringLiteral("74.0"));
    QCOMPARE(dialog->EventText(kEvc)->text(), QStringLiteral("26.0"));
    QCOMPARE(m_doc->Cam().NominalIvo().GetText(), std::string("31.0"));  // not yet

    dialog->Apply();
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(m_doc->Cam().NominalIvo().GetText(), std::string("34.0"));
    QCOMPARE(m_doc->Cam().NominalEvc().GetText(), std::string("26.0"));
    QCOMPARE(m_doc->Cam().Overlap().GetText(), std::string("60.0"));
    QVERIFY(m_doc->IsModified());
    QVERIFY(m_doc->HasResults());
}

void CamMathDlgTest::fiftyLiftEventsOutOfRangeStayEmpty()
{
    QCOMPARE(ApplyMenuCommand(*m_doc, Cmd::kTimingFiftyLift), CommandResult::Applied);
    m_presenter->Clear();  // the note about re-measuring the cam
    auto dialog = Open();
    QVERIFY(dialog);
    QCOMPARE(dialog->SpecsGroup()->title(), QStringLiteral("Enter Cam Timing Specs @ 0.050-Lift"));
    TypeCard(*dialog, QStringLiteral("360"));
    QCOMPARE(dialog->EventText(kIvo)->text(), QString());
    QCOMPARE(dialog->EventText(kIvc)->text(), QString());
    QCOMPARE(dialog->EventText(kEvo)->text(), QStringLiteral("74.0"));
    dialog->Apply();
    QCOMPARE(m_presenter->Codes(), std::vector<int>{Msg::CamIvoRequired});
    QVERIFY(dialog->isVisible());
}

void CamMathDlgTest::automaticLiftsAreShownButNotTyped()
{
    QCOMPARE(ApplyMenuCommand(*m_doc, Cmd::kAutoValveLift), CommandResult::Applied);
    m_doc->Recalculate();
    auto dialog = Open();
    QVERIFY(dialog);
    QVERIFY(!dialog->Edit(Input::IntakeLift)->isEnabled());
    QVERIFY(!dialog->Edit(Input::ExhaustLift)->isEnabled());
    QVERIFY(!dialog->Edit(Input::IntakeLift)->text().isEmpty());
    TypeCard(*dialog, QStringLiteral("280"));
    dialog->Apply();
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QVERIFY(m_doc->Cam().IsAutoValveLift());
}

void CamMathDlgTest::cancelLeavesTheEngineAsItWas()
{
    const std::string before = EngineFileText(*m_doc);
    auto dialog = Open();
    QVERIFY(dialog);
    TypeCard(*dialog, QStringLiteral("300"));
    Enter(dialog->Edit(Input::ExhaustLift), QStringLiteral("0.6"));
    QTest::mouseClick(dialog->CancelButton(), Qt::LeftButton);
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
    QVERIFY(!m_doc->IsModified());
    QCOMPARE(EngineFileText(*m_doc), before);
}

void CamMathDlgTest::aMetricEngineTypesLiftsInMillimetres()
{
    m_doc->SetUnitSystem(kMetricUnits);
    auto dialog = Open();
    QVERIFY(dialog);
    QCOMPARE(dialog->LiftUnits(Input::IntakeLift)->text(), QStringLiteral("mm"));
    QCOMPARE(dialog->Edit(Input::IntakeLift)->text(), QStringLiteral("12.70"));
    Enter(dialog->Edit(Input::ExhaustLift), QStringLiteral("13.97"));
    dialog->Apply();
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(m_doc->Cam().ExhaustLift().GetTextWithUnits(), std::string("13.97 mm"));
    m_doc->SetUnitSystem(kEnglishUnits);
    QCOMPARE(m_doc->Cam().ExhaustLift().GetText(), std::string("0.550"));
}

void CamMathDlgTest::keyboardOnly()
{
    auto dialog = Open();
    QVERIFY(dialog);
    const std::vector<QWidget*> expected = {dialog->Edit(Input::IntakeCenterline),
                                            dialog->Edit(Input::IntakeDuration),
                                            dialog->Edit(Input::ExhaustDuration),
                                            dialog->Edit(Input::IntakeLift),
                                            dialog->Edit(Input::ExhaustLift),
                                            dialog->ApplyButton(),
                                            dialog->CancelButton()};
    std::vector<QWidget*> visited;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.push_back(QApplication::focusWidget());
    }
    QCOMPARE(visited, expected);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
}

QTEST_MAIN(CamMathDlgTest)
#include "CamMathDlgTest.moc"
