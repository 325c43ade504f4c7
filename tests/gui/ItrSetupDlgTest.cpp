// The iterator setup dialog: the baseline list, the rows and their step
// counts, refused values, OK's checks in their order, and what reaches the
// iterator.

#include "IteratorGuiSupport.h"

#include "EngineBuilds.h"
#include "RecordingPresenter.h"
#include "model/MenuCommands.h"

#include <QLabel>
#include <QRadioButton>
#include <QtTest>

class ItrSetupDlgTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void theBaselineListOffersTheValidEnginesAndRefusesAutomaticValves();
    void choosingBoreShowsTheBaselineBoreAStepAndNoStepsYet();
    void aMetricBaselineStepsInMillimetres();
    void stepCountsFollowTheFieldsAsTheyLoseTheFocus();
    void aRefusedValueBeepsTakesTheFocusBackAndHoldsOk();
    void okChecksInOrderAndStopsAtTheFirstFailure();
    void okAppliesTheSettingsAndCancelLeavesTheIteratorAlone();
    void okWithoutABaselineClearsTheIterator();
    void reopeningShowsTheSeriesAndResetAllClearsIt();

private:
    std::unique_ptr<RecordingPresenter> m_presenter;
    std::unique_ptr<IteratorTest> m_iterator;
    std::unique_ptr<OpenEngine> m_chevy;
};

void ItrSetupDlgTest::init()
{
    m_presenter = std::make_unique<RecordingPresenter>();
    m_iterator = std::make_unique<IteratorTest>(IteratorTest::Detached{});
    m_chevy = std::make_unique<OpenEngine>("Chevy.trq");
    QVERIFY(BuildChevy350(m_chevy->Doc()));
}

void ItrSetupDlgTest::cleanup()
{
    m_chevy.reset();
    m_iterator.reset();
    m_presenter.reset();
}

void ItrSetupDlgTest::theBaselineListOffersTheValidEnginesAndRefusesAutomaticValves()
{
    OpenEngine empty("Torq2");
    OpenEngine turbo("Turbo");
    QVERIFY(BuildTurboFour(turbo.Doc()));
    OpenEngine autoLift("AutoLift");
    QVERIFY(BuildChevy350(autoLift.Doc()));
    QVERIFY(ApplyMenuChoices(autoLift.Doc(), {Cmd::kAutoValveLift}));

    CItrSetupDlg setup(*m_iterator, CDocumentRegistry::Instance());
    // The incomplete engine is left out; the order is the program's.
    QCOMPARE(Items(setup.BaselineList()), (QStringList{"(None)", "Chevy.trq", "Turbo", "AutoLift"}));
    QCOMPARE(setup.BaselineList()->currentText(), QStringLiteral("(None)"));
    QVERIFY(!setup.DataTypeList(0)->isEnabled());

    // Engines that size their own valves or lifts are listed but refused.
    for (const char* title : {"Turbo", "AutoLift"}) {
        m_presenter->Clear();
        Choose(setup.BaselineList(), QString::fromLatin1(title));
        QCOMPARE(m_presenter->Codes(), std::vector<int>{Msg::IteratorAutoSizesOn});
        QCOMPARE(setup.BaselineList()->currentText(), QStringLiteral("(None)"));
        QVERIFY(setup.Setup().baseline == nullptr);
        QVERIFY(!setup.DataTypeList(7)->isEnabled());
    }

    Choose(setup.BaselineList(), QStringLiteral("Chevy.trq"));
    QVERIFY(setup.Setup().baseline == &m_chevy->Doc());
    QVERIFY(setup.DataTypeList(0)->isEnabled() && setup.DataTypeList(7)->isEnabled());
    QCOMPARE(Items(setup.DataTypeList(1)), (QStringList{"(None)", "Bore", "Stroke", "Compression"}));
    QCOMPARE(Items(setup.DataTypeList(2)),
             (QStringList{"(None)", "IVO", "IVC", "EVO", "EVC", "Int Lift", "Exh Lift"}));
    // Choosing the same engine again keeps the rows.
    Choose(setup.DataTypeList(0), QStringLiteral("Stroke"));
    Choose(setup.BaselineList(), QStringLiteral("Chevy.trq"));
    QCOMPARE(setup.Setup().params[0].dataType, kItrStroke);
    // Another engine starts over.
    OpenEngine second("Second");
    QVERIFY(BuildChevy350(second.Doc()));
    CItrSetupDlg again(*m_iterator, CDocumentRegistry::Instance());
    Choose(again.BaselineList(), QStringLiteral("Chevy.trq"));
    Choose(again.DataTypeList(0), QStringLiteral("Stroke"));
    Choose(again.BaselineList(), QStringLiteral("Second"));
    QCOMPARE(again.Setup().params[0].dataType, kItrNone);
    QVERIFY(again.EntryField(0, CItrSetupDlg::kMin)->isHidden());
}

void ItrSetupDlgTest::choosingBoreShowsTheBaselineBoreAStepAndNoStepsYet()
{
    CItrSetupDlg setup(*m_iterator, CDocumentRegistry::Instance());
    QVERIFY(ShowActive(setup));
    Choose(setup.BaselineList(), QStringLiteral("Chevy.trq"));
    QVERIFY(setup.EntryField(0, CItrSetupDlg::kMin)->isHidden());
    Choose(setup.DataTypeList(0), QStringLiteral("Bore"));
    QCOMPARE(setup.EntryField(0, CItrSetupDlg::kMin)->text(), QStringLiteral("4.000"));
    QCOMPARE(setup.EntryField(0, CItrSetupDlg::kMax)->text(), QStringLiteral("4.000"));
    QCOMPARE(setup.EntryField(0, CItrSetupDlg::kStep)->text(), QStringLiteral("0.010"));
    QCOMPARE(setup.UnitsLabel(0)->text(), QStringLiteral("in"));
    QCOMPARE(setup.StepsLabel(0)->text(), QStringLiteral("0"));
    QVERIFY(setup.EntryField(0, CItrSetupDlg::kMin)->isVisible());

    // Min equal to Max: no steps, refused at OK.
    setup.OkButton()->click();
    QCOMPARE(m_presenter->Codes(), std::vector<int>{Msg::IteratorTooFewSteps});
    QVERIFY(setup.isVisible());
    QVERIFY(m_iterator->GetBaseline() == nullptr);

    // Back to "(None)": the row empties and hides.
    Choose(setup.DataTypeList(0), QStringLiteral("(None)"));
    QCOMPARE(setup.Setup().params[0].dataType, kItrNone);
    QVERIFY(setup.EntryField(0, CItrSetupDlg::kStep)->isHidden());
    QVERIFY(setup.StepsLabel(0)->isHidden());
}

void ItrSetupDlgTest::aMetricBaselineStepsInMillimetres()
{
    OpenEngine metric("Metric");
    QVERIFY(BuildChevy350(metric.Doc()));
    QVERIFY(ApplyMenuChoices(metric.Doc(), {Cmd::kMetricUnits}));
    CItrSetupDlg setup(*m_iterator, CDocumentRegistry::Instance());
    Choose(setup.BaselineList(), QStringLiteral("Metric"));
    Choose(setup.DataTypeList(1), QStringLiteral("Stroke"));
    QCOMPARE(setup.UnitsLabel(1)->text(), QStringLiteral("mm"));
    QCOMPARE(setup.Setup().params[1].stepValue.GetValue(), 0.254f);
    QCOMPARE(setup.EntryField(1, CItrSetupDlg::kMin)->text(),
             QString::fromStdString(metric.Doc().Stroke().GetText()));
    // Valve events are degrees in both unit systems.
    Choose(setup.DataTypeList(2), QStringLiteral("EVC"));
    QCOMPARE(setup.EntryField(2, CItrSetupDlg::kStep)->text(), QStringLiteral("1.0"));
}

void ItrSetupDlgTest::stepCountsFollowTheFieldsAsTheyLoseTheFocus()
{
    CItrSetupDlg setup(*m_iterator, CDocumentRegistry::Instance());
    QVERIFY(ShowActive(setup));
    Choose(setup.BaselineList(), QStringLiteral("Chevy.trq"));
    Choose(setup.DataTypeList(0), QStringLiteral("Bore"));

    CEditFloatPt* max = setup.EntryField(0, CItrSetupDlg::kMax);
    CEditFloatPt* step = setup.EntryField(0, CItrSetupDlg::kStep);
    max->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(max->selectedText(), max->text());  // the whole text, ready to be replaced
    QVERIFY(setup.HelpLine()->text().startsWith(QStringLiteral("Enter Bore Value Within Range:")));
    QTest::keyClicks(max, QStringLiteral("4.10"));
    QCOMPARE(setup.StepsLabel(0)->text(), QStringLiteral("0"));  // not before the field is left
    step->setFocus(Qt::TabFocusReason);
    QCOMPARE(setup.StepsLabel(0)->text(), QStringLiteral("11"));
    QVERIFY(setup.HelpLine()->text().startsWith(QStringLiteral("Enter Bore Step Value Within Range: 0.010")));

    // 4.00 to 4.10 by 0.03: 4.00, 4.03, 4.06, 4.09 and 4.10.
    TypeInto(step, QStringLiteral("0.03"), setup.OkButton());
    QCOMPARE(setup.StepsLabel(0)->text(), QStringLiteral("5"));
    QCOMPARE(setup.Setup().params[0].numberOfSteps, 5);
    TypeInto(max, QStringLiteral("4.06"), setup.OkButton());
    QCOMPARE(setup.StepsLabel(0)->text(), QStringLiteral("3"));
}

void ItrSetupDlgTest::aRefusedValueBeepsTakesTheFocusBackAndHoldsOk()
{
    CItrSetupDlg setup(*m_iterator, CDocumentRegistry::Instance());
    QVERIFY(ShowActive(setup));
    TypeSeries(setup, QStringLiteral("Chevy.trq"), {{0, "Bore", "4.00", "4.02", "0.01"}});
    CEditFloatPt* step = setup.EntryField(0, CItrSetupDlg::kStep);
    const int beeps = RefusalBeepCount();

    // A step of 2 inches lies outside the step's range.
    TypeInto(step, QStringLiteral("2"), setup.EntryField(0, CItrSetupDlg::kMin));
    QVERIFY(!setup.IsOkAllowed());
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(step));
    QCOMPARE(RefusalBeepCount(), beeps + 1);
    QCOMPARE(step->selectedText(), QStringLiteral("2"));
    QCOMPARE(setup.Setup().params[0].stepValue.GetValue(), 0.01f);  // the last accepted value

    // OK does nothing while the value stands, even after a click moved the focus.
    setup.OkButton()->setFocus(Qt::MouseFocusReason);
    setup.OkButton()->click();
    QVERIFY(setup.isVisible());
    QVERIFY(m_iterator->GetBaseline() == nullptr);
    QVERIFY(m_presenter->Codes().empty());
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(step));

    QTest::keyClicks(step, QStringLiteral("0.005"));
    QCOMPARE(step->text(), QStringLiteral("0.005"));  // still short of the smallest step
    setup.OkButton()->setFocus(Qt::MouseFocusReason);
    setup.OkButton()->click();
    QVERIFY(setup.isVisible());
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(step));
    QCOMPARE(RefusalBeepCount(), beeps + 3);

    QTest::keyClicks(step, QStringLiteral("0.01"));
    setup.OkButton()->setFocus(Qt::MouseFocusReason);
    setup.OkButton()->click();
    QCOMPARE(setup.result(), int(QDialog::Accepted));
    QCOMPARE(m_iterator->GetTotalTests(), 3);
}

void ItrSetupDlgTest::okChecksInOrderAndStopsAtTheFirstFailure()
{
    CItrSetupDlg setup(*m_iterator, CDocumentRegistry::Instance());
    QVERIFY(ShowActive(setup));
    Choose(setup.BaselineList(), QStringLiteral("Chevy.trq"));

    // No row at all: too few tests.
    setup.OkButton()->click();
    QCOMPARE(m_presenter->LastCode(), int(Msg::IteratorTooFewTests));

    // 101 x 101 x 31 x 31 x 31 passes 300 million at the fifth row, before
    // the duplicated IVO of the sixth row is looked at.
    TypeSeries(setup, QStringLiteral("Chevy.trq"),
               {{0, "Bore", "3.00", "4.00", "0.01"},
                {1, "Stroke", "3.00", "4.00", "0.01"},
                {2, "IVO", "10", "40", "1"},
                {3, "IVC", "50", "80", "1"},
                {4, "EVO", "50", "80", "1"},
                {5, "IVO", "10", "40", "1"}});
    m_presenter->Clear();
    setup.OkButton()->click();
    QCOMPARE(m_presenter->Codes(), std::vector<int>{Msg::IteratorTooManyTests});

    // Under the limit the duplicate is found, although it has steps enough.
    TypeInto(setup.EntryField(4, CItrSetupDlg::kMax), QStringLiteral("51"), setup.OkButton());
    setup.OkButton()->click();
    QCOMPARE(m_presenter->LastCode(), int(Msg::IteratorDataTypeDuplicated));

    // A row with one step only comes before the duplicate.
    TypeInto(setup.EntryField(3, CItrSetupDlg::kMax), QStringLiteral("50"), setup.OkButton());
    setup.OkButton()->click();
    QCOMPARE(m_presenter->LastCode(), int(Msg::IteratorTooFewSteps));

    // Rows put right, a band without width.
    Choose(setup.DataTypeList(5), QStringLiteral("(None)"));
    Choose(setup.DataTypeList(3), QStringLiteral("(None)"));
    Choose(setup.MinRpmList(), QStringLiteral("6000"));
    Choose(setup.MaxRpmList(), QStringLiteral("6000"));
    setup.OkButton()->click();
    QCOMPARE(m_presenter->LastCode(), int(Msg::IteratorRpmRangeInverted));

    // The baseline stopped validating while the dialog was open.
    Choose(setup.MaxRpmList(), QStringLiteral("7000"));
    m_chevy->Doc().Bore().MarkUnset();
    setup.OkButton()->click();
    QCOMPARE(m_presenter->LastCode(), int(Msg::IteratorBaselineRequired));

    QCOMPARE(m_presenter->Codes(),
             (std::vector<int>{Msg::IteratorTooManyTests, Msg::IteratorDataTypeDuplicated,
                               Msg::IteratorTooFewSteps, Msg::IteratorRpmRangeInverted,
                               Msg::IteratorBaselineRequired}));
    QVERIFY(setup.isVisible());
    QVERIFY(m_iterator->GetBaseline() == nullptr);
}

void ItrSetupDlgTest::okAppliesTheSettingsAndCancelLeavesTheIteratorAlone()
{
    for (const bool confirm : {false, true}) {
        CItrSetupDlg setup(*m_iterator, CDocumentRegistry::Instance());
        QVERIFY(ShowActive(setup));
        TypeSeries(setup, QStringLiteral("Chevy.trq"),
                   {{1, "Compression", "9", "10", "0.5"}, {6, "Int Lift", "0.45", "0.55", "0.05"}});
        setup.MaxTorqueButton()->click();
        Choose(setup.MinRpmList(), QStringLiteral("3000"));
        Choose(setup.MaxRpmList(), QStringLiteral("6000"));
        if (!confirm) {
            setup.reject();
            QVERIFY(m_iterator->GetBaseline() == nullptr);
            QCOMPARE(m_iterator->GetTotalTests(), 0);
            continue;
        }
        setup.OkButton()->click();
        QCOMPARE(setup.result(), int(QDialog::Accepted));
    }
    QVERIFY(m_presenter->Codes().empty());
    QVERIFY(m_iterator->GetBaseline() == &m_chevy->Doc());
    QCOMPARE(m_iterator->GetCriterion(), int(kMaxTorque));
    float minRpm = 0;
    float maxRpm = 0;
    m_iterator->GetScoringBand(minRpm, maxRpm);
    QCOMPARE(minRpm, 3000.0f);
    QCOMPARE(maxRpm, 6000.0f);
    IterationParam slot;
    m_iterator->GetSlot(1, slot);
    QCOMPARE(slot.dataType, kItrCompression);
    QCOMPARE(slot.minValue.GetValue(), 9.0f);
    QCOMPARE(slot.stepValue.GetValue(), 0.5f);
    m_iterator->GetSlot(6, slot);
    QCOMPARE(slot.dataType, kItrIntakeLift);
    m_iterator->GetSlot(0, slot);
    QCOMPARE(slot.dataType, kItrNone);
    // A new series, ready to run: 3 compressions x 3 lifts.
    QCOMPARE(m_iterator->GetTotalTests(), 9);
    QCOMPARE(m_iterator->GetTestsRun(), 0);
    ErrorCode code = 0;
    QVERIFY(m_iterator->IsReady(code));
}

void ItrSetupDlgTest::okWithoutABaselineClearsTheIterator()
{
    {
        CItrSetupDlg setup(*m_iterator, CDocumentRegistry::Instance());
        QVERIFY(ShowActive(setup));
        TypeSeries(setup, QStringLiteral("Chevy.trq"), {{0, "Bore", "4.00", "4.02", "0.01"}});
        setup.MaxTorqueButton()->click();
        setup.OkButton()->click();
    }
    QCOMPARE(m_iterator->GetTotalTests(), 3);
    CItrSetupDlg setup(*m_iterator, CDocumentRegistry::Instance());
    QVERIFY(ShowActive(setup));
    Choose(setup.BaselineList(), QStringLiteral("(None)"));
    setup.OkButton()->click();
    QCOMPARE(setup.result(), int(QDialog::Accepted));
    QVERIFY(m_iterator->GetBaseline() == nullptr);
    QCOMPARE(m_iterator->GetTotalTests(), 0);
    QCOMPARE(m_iterator->GetCriterion(), int(kMaxPower));
    ErrorCode code = 0;
    QVERIFY(!m_iterator->IsReady(code));
    QCOMPARE(code, ErrorCode(Msg::IteratorBaselineRequired));
}

void ItrSetupDlgTest::reopeningShowsTheSeriesAndResetAllClearsIt()
{
    {
        CItrSetupDlg setup(*m_iterator, CDocumentRegistry::Instance());
        QVERIFY(ShowActive(setup));
        TypeSeries(setup, QStringLiteral("Chevy.trq"),
                   {{0, "Stroke", "3.40", "3.50", "0.05"}, {5, "EVC", "20", "30", "5"}});
        setup.MaxTorqueButton()->click();
        Choose(setup.MaxRpmList(), QStringLiteral("8000"));
        setup.OkButton()->click();
    }
    CItrSetupDlg setup(*m_iterator, CDocumentRegistry::Instance());
    QCOMPARE(setup.BaselineList()->currentText(), QStringLiteral("Chevy.trq"));
    QCOMPARE(setup.DataTypeList(0)->currentText(), QStringLiteral("Stroke"));
    QCOMPARE(setup.EntryField(0, CItrSetupDlg::kMax)->text(), QStringLiteral("3.500"));
    QCOMPARE(setup.StepsLabel(0)->text(), QStringLiteral("3"));
    QCOMPARE(setup.DataTypeList(5)->currentText(), QStringLiteral("EVC"));
    QCOMPARE(setup.UnitsLabel(5)->text(),
             QString::fromLatin1(m_chevy->Doc().Cam().NominalEvc().GetUnitsLabel()));
    QVERIFY(setup.MaxTorqueButton()->isChecked());
    QCOMPARE(setup.MaxRpmList()->currentText(), QStringLiteral("8000"));

    setup.ResetAllButton()->click();
    QCOMPARE(setup.BaselineList()->currentText(), QStringLiteral("(None)"));
    for (int row = 0; row < CItrSetupDlg::kRowCount; ++row) {
        QCOMPARE(setup.DataTypeList(row)->currentText(), QStringLiteral("(None)"));
        QVERIFY(!setup.DataTypeList(row)->isEnabled());
        QVERIFY(setup.EntryField(row, CItrSetupDlg::kMin)->isHidden());
    }
    QVERIFY(setup.MaxPowerButton()->isChecked());
    QCOMPARE(setup.MinRpmList()->currentText(), QStringLiteral("2000"));
    QCOMPARE(setup.MaxRpmList()->currentText(), QStringLiteral("11000"));
    // Nothing reaches the iterator before OK.
    QCOMPARE(m_iterator->GetTotalTests(), 9);

    // A registered baseline that no longer validates is not offered.
    m_chevy->Doc().Stroke().MarkUnset();
    CItrSetupDlg broken(*m_iterator, CDocumentRegistry::Instance());
    QCOMPARE(Items(broken.BaselineList()), QStringList{"(None)"});
    QCOMPARE(broken.DataTypeList(0)->currentText(), QStringLiteral("(None)"));
    QVERIFY(broken.MaxTorqueButton()->isChecked());
}

QTEST_MAIN(ItrSetupDlgTest)
#include "ItrSetupDlgTest.moc"
