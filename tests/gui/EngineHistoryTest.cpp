// Undo and redo of the changes to an engine, driven as a user drives them:
// values typed and chosen in the form's editor, the dialogs opened from its
// menus, the calculators and the Engine menu. Each undo puts the engine back
// exactly; the modified mark follows the saved state; with Auto Run off the
// graphs and tables mark results that belong to the engine before a change.

#include "DialogTestSupport.h"
#include "GuiTestFixture.h"
#include "GuiTestSupport.h"
#include "TempFile.h"
#include "app/ChildFrame.h"
#include "app/MainFrame.h"
#include "commands/EngineHistory.h"
#include "dialogs/AirFlowMathDlg.h"
#include "dialogs/CamMathDlg.h"
#include "dialogs/CompRatioDlg.h"
#include "model/MenuCommands.h"
#include "views/AirFlowDlg.h"
#include "views/CamTypeDlg.h"
#include "views/Chart2dView.h"
#include "views/EngineFormView.h"
#include "views/ResultsTableView.h"
#include "views/StaleResultsNote.h"
#include "widgets/TorqSpecEdit.h"

#include <QAction>
#include <QApplication>
#include <QLineSeries>
#include <QMdiArea>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QUndoGroup>
#include <QUndoStack>
#include <QtTest>

#include <functional>
#include <memory>
#include <random>
#include <set>

namespace {

constexpr int kChevy454 = 33141;
constexpr int kCompression105 = 32879;  // 10.5:1

const QString kExamples = QStringLiteral(TORQWELL_SOURCE_DIR "/examples/");

// Every entry of a popup menu that applies a choice at once, without a dialog of its own.
void CollectChoices(const QMenu* menu, std::vector<QAction*>& choices)
{
    static const std::set<int> kWithDialogs = {Cmd::kCustomCamType, Cmd::kCustomPortFlow, Cmd::kSaveAirflow,
                                               Cmd::kSaveCam};
    for (QAction* action : menu->actions()) {
        if (action->menu() != nullptr) {
            CollectChoices(action->menu(), choices);
        } else if (!action->isSeparator() && action->isEnabled() &&
                   !kWithDialogs.contains(action->data().toInt())) {
            choices.push_back(action);
        }
    }
}

QAction* FindCommand(const QMenu* menu, int command)
{
    for (QAction* action : menu->actions()) {
        if (action->menu() != nullptr) {
            if (QAction* found = FindCommand(action->menu(), command)) return found;
        } else if (!action->isSeparator() && action->data().toInt() == command) {
            return action;
        }
    }
    return nullptr;
}

bool EditorClosed()
{
    return QTest::qWaitFor([] { return CTorqSpecEditDlg::OpenEditor() == nullptr; }, 3000);
}

// Runs work on the next modal dialog once it is up (the caller then opens it).
template <class Dialog>
void OnNextDialog(std::function<void(Dialog&)> work)
{
    QTimer::singleShot(0, qApp, [work] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        work(*dialog);
        if (dialog->isVisible()) dialog->reject();  // a refused Apply must not hang the test
    });
}

}  // namespace

class EngineHistoryTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void aTypedValueIsNamedUndoneAndRedoneExactly();
    void theModifiedMarkFollowsTheSavedState();
    void everyKindOfChangeUndoesToTheEngineBeforeIt();
    void aLongRandomSequenceUndoesToTheSavedFileByteForByte();
    void clearComponentsMarksTheEngineModifiedAndIsUndone();
    void withAutoRunOffResultsLookStaleUntilTheNextRun();
    void eachEngineWindowHasItsOwnHistory();

private:
    CTorqDoc& Doc() { return m_child->Document(); }
    CEngineFormView* Form() { return m_child->EngineSheet(); }
    QUndoStack* Stack() { return m_child->History()->Stack(); }
    QString UndoText() const { return m_frame->CommandAction(FrameCmd::kEditUndo)->text(); }
    void Trigger(int command) { m_frame->CommandAction(command)->trigger(); }
    // Triggers a command that must take effect at once.
    bool TriggerApplied(int command)
    {
        QAction* action = m_frame->CommandAction(command);
        if (!action->isEnabled()) return false;
        action->trigger();
        return true;
    }
    void Undo() { Trigger(FrameCmd::kEditUndo); }
    void Redo() { Trigger(FrameCmd::kEditRedo); }

    CTorqSpecEditDlg* OpenEditor(const char* parameter);
    bool Type(const char* parameter, const QString& text);
    bool Choose(const char* parameter, int command);
    bool SaveAs(const QString& path);
    void BuildSavedChevy350();
    void RandomStep(std::mt19937& random);

    std::unique_ptr<GuiTestFixture> m_fixture;
    std::unique_ptr<RecordingPresenter> m_presenter;
    std::unique_ptr<CMainFrame> m_frame;
    CChildFrame* m_child = nullptr;
    QString m_nextPath;
    QStringList m_askedToSave;
};

void EngineHistoryTest::init()
{
    m_fixture = std::make_unique<GuiTestFixture>();
    m_presenter = std::make_unique<RecordingPresenter>();
    m_presenter->SetDefaultAnswer(WarningAnswer::Ok);
    m_frame = std::make_unique<CMainFrame>(m_fixture->Folder());
    m_frame->SetFileNameChooser([this](QWidget*, const FileDialogRequest&) { return m_nextPath; });
    m_askedToSave.clear();
    m_frame->SetSaveChangesPrompt([this](QWidget*, const QString& title) {
        m_askedToSave << title;
        return QMessageBox::No;
    });
    m_frame->resize(1280, 800);
    m_child = m_frame->NewDocument();
    m_frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_frame.get()));
    // Component files open from the examples; saves go to the scratch folder.
    Form()->SetFileNameAsker([this](CEngineFormView::FileRequest request, const QString&) {
        switch (request) {
            case CEngineFormView::FileRequest::OpenAirflow:
                return kExamples + QStringLiteral("wedge-fully-ported.flw");
            case CEngineFormView::FileRequest::OpenCam:
                return kExamples + QStringLiteral("street-roller.cam");
            default:
                return m_fixture->FilePath(QStringLiteral("saved component"));
        }
    });
}

void EngineHistoryTest::cleanup()
{
    m_frame.reset();
    m_presenter.reset();
    QCOMPARE(CTorqSpecEditDlg::OpenEditor(), nullptr);
}

CTorqSpecEditDlg* EngineHistoryTest::OpenEditor(const char* parameter)
{
    CTorqSpecEditCtrl* control = Form()->Control(QString::fromLatin1(parameter));
    if (control == nullptr || !control->BeginEdit()) return nullptr;
    return CTorqSpecEditDlg::OpenEditor();
}

bool EngineHistoryTest::Type(const char* parameter, const QString& text)
{
    CTorqSpecEditDlg* editor = OpenEditor(parameter);
    if (editor == nullptr) return false;
    editor->TextBox()->setText(text);
    editor->OkButton()->click();
    return EditorClosed();
}

bool EngineHistoryTest::Choose(const char* parameter, int command)
{
    CTorqSpecEditDlg* editor = OpenEditor(parameter);
    if (editor == nullptr) return false;
    QAction* action = FindCommand(editor->Menu(), command);
    if (action == nullptr) {
        editor->reject();
        EditorClosed();
        return false;
    }
    action->trigger();
    return EditorClosed();
}

bool EngineHistoryTest::SaveAs(const QString& path)
{
    m_nextPath = path;
    return m_frame->SaveDocument(*m_child, true);
}

// The Chevy 350 as a user would have it after saving it.
void EngineHistoryTest::BuildSavedChevy350()
{
    QVERIFY(BuildChevy350(Doc()));
    Doc().UpdateAllViews();
    QVERIFY(SaveAs(m_fixture->FilePath(QStringLiteral("chevy.trq"))));
    QVERIFY(!Doc().IsModified());
}

void EngineHistoryTest::aTypedValueIsNamedUndoneAndRedoneExactly()
{
    BuildSavedChevy350();
    const EngineValues saved = Doc().Values();
    QCOMPARE(UndoText(), QStringLiteral("&Undo"));
    QVERIFY(!m_frame->CommandAction(FrameCmd::kEditUndo)->isEnabled());

    QVERIFY(Type("Compression Ratio", QStringLiteral("10.5")));
    QCOMPARE(Doc().CompressionRatio().GetValue(), 10.5f);
    QCOMPARE(UndoText(), QStringLiteral("&Undo Compression Ratio 10.5"));
    QVERIFY(m_frame->CommandAction(FrameCmd::kEditUndo)->isEnabled());
    const EngineValues edited = Doc().Values();
    QVERIFY(Doc().HasResults() && !(edited.results == saved.results));

    Undo();
    QVERIFY(Doc().Values() == saved);
    QCOMPARE(Form()->Control(QStringLiteral("Compression Ratio"))->Text(), QStringLiteral("10.00"));
    QCOMPARE(m_frame->CommandAction(FrameCmd::kEditRedo)->text(),
             QStringLiteral("&Redo Compression Ratio 10.5"));
    Redo();
    QVERIFY(Doc().Values() == edited);
    QCOMPARE(m_child->RightGraph()->Y1Series(0)->points()[10].y(), double(Doc().GetResult(kSeriesPower, 10)));

    // OK on an unchanged value is no change to take back.
    QVERIFY(Type("Compression Ratio", QStringLiteral("10.5")));
    QCOMPARE(Stack()->count(), 1);
    // A '&' in a name shows as itself, not as a mnemonic.
    QVERIFY(Type("Short Block Type", QStringLiteral("R&D Block")));
    QCOMPARE(UndoText(), QStringLiteral("&Undo Short Block Type R&&D Block"));
}

void EngineHistoryTest::theModifiedMarkFollowsTheSavedState()
{
    BuildSavedChevy350();
    const auto marked = [this] {
        return Doc().IsModified() && m_child->isWindowModified() && m_frame->isWindowModified();
    };
    const auto unmarked = [this] {
        return !Doc().IsModified() && !m_child->isWindowModified() && !m_frame->isWindowModified();
    };
    QVERIFY(unmarked());
    QVERIFY(Type("Bore", QStringLiteral("4.03")));
    QVERIFY(marked());
    Undo();
    QVERIFY(unmarked());  // back at the saved engine
    Redo();
    QVERIFY(marked());

    QVERIFY(SaveAs(m_fixture->FilePath(QStringLiteral("bored.trq"))));
    QVERIFY(unmarked());
    Undo();
    QVERIFY(marked());  // before the save
    Redo();
    QVERIFY(unmarked());

    // A new change after undoing past the save never reaches the saved state again.
    Undo();
    QVERIFY(Type("Stroke", QStringLiteral("3.75")));
    QVERIFY(marked());
    Undo();
    QVERIFY(marked());
    QVERIFY(m_frame->close());
    QCOMPARE(m_askedToSave, QStringList{"bored.trq"});
}

void EngineHistoryTest::everyKindOfChangeUndoesToTheEngineBeforeIt()
{
    BuildSavedChevy350();
    struct Step {
        QString name;
        std::function<bool()> change;
    };
    const std::vector<Step> steps = {
        {"Short Block Type Chevy 454", [this] { return Choose("Short Block Type", kChevy454); }},
        {"Compression Ratio 10.5", [this] { return Choose("Compression Ratio", kCompression105); }},
        {"Auto Calculate Valve Sizes On",
         [this] { return Choose("Intake Valve Diameter", Cmd::kAutoValveSizes); }},
        {"Number of Intake Valves per Cylinder 2",
         [this] { return Choose("Cylinder Head Type", Cmd::kTwoIntakeValves); }},
        {"Airflow File wedge-fully-ported.flw", [this] { return Choose("Airflow File", Cmd::kOpenAirflow); }},
        {"Cam Data File street-roller.cam", [this] { return Choose("Cam Data File", Cmd::kOpenCam); }},
        {"Camshaft Type Bracket Grind",
         [this] {
             OnNextDialog<CCamTypeDlg>([](CCamTypeDlg& dialog) {
                 dialog.DescriptionEdit()->setText(QStringLiteral("Bracket Grind"));
                 dialog.accept();
             });
             return Choose("Camshaft Type", Cmd::kCustomCamType);
         }},
        {"Cylinder Head Type Bench-Flowed Heads",
         [this] {
             OnNextDialog<CAirFlowDlg>([](CAirFlowDlg& dialog) {
                 Enter(dialog.DescriptionEdit(), QStringLiteral("Bench-Flowed Heads"));
                 dialog.OkButton()->click();
             });
             return Choose("Cylinder Head Type", Cmd::kCustomPortFlow);
         }},
        {"Compression Ratio Math",
         [this] {
             OnNextDialog<CCompRatioDlg>([](CCompRatioDlg& dialog) {
                 using Input = CCompRatioDlg::Input;
                 dialog.FlattopButton()->click();
                 Enter(dialog.Edit(Input::ChamberVolume), QStringLiteral("64"));
                 Enter(dialog.Edit(Input::GasketBore), QStringLiteral("4.100"));
                 Enter(dialog.Edit(Input::GasketThickness), QStringLiteral("0.040"));
                 Enter(dialog.Edit(Input::PistonDistance), QStringLiteral("0.025"));
                 dialog.Apply();
             });
             return TriggerApplied(Cmd::kCompressionRatioMath);
         }},
        {"Airflow Math",
         [this] {
             OnNextDialog<CAirFlowMathDlg>([](CAirFlowMathDlg& dialog) {
                 using Input = CAirFlowMathDlg::Input;
                 Enter(dialog.Edit(Input::KnownAirflow), QStringLiteral("600"));
                 Enter(dialog.Edit(Input::KnownPressure), QStringLiteral("20"));
                 dialog.Apply();
             });
             return TriggerApplied(Cmd::kAirflowMath);
         }},
        {"Cam Math",
         [this] {
             OnNextDialog<CCamMathDlg>([](CCamMathDlg& dialog) {
                 using Input = CCamMathDlg::Input;
                 Enter(dialog.Edit(Input::LobeCenter), QStringLiteral("110"));
                 Enter(dialog.Edit(Input::IntakeCenterline), QStringLiteral("106"));
                 Enter(dialog.Edit(Input::IntakeDuration), QStringLiteral("270"));
                 Enter(dialog.Edit(Input::ExhaustDuration), QStringLiteral("280"));
                 dialog.Apply();
             });
             return TriggerApplied(Cmd::kCamMath);
         }},
        {"Auto Run Off", [this] { return TriggerApplied(Cmd::kAutoRun); }},
        {"Foreign/Metric Units", [this] { return TriggerApplied(Cmd::kMetricUnits); }},
        {"Clear Components", [this] { return TriggerApplied(Cmd::kClearComponents); }},
    };
    for (const Step& step : steps) {
        const EngineValues before = Doc().Values();
        const int count = Stack()->count();
        QVERIFY2(step.change(), qPrintable(step.name));
        QVERIFY2(m_presenter->Codes().empty() || m_presenter->LastCode() >= 101, qPrintable(step.name));
        QCOMPARE(Stack()->count(), count + 1);
        QCOMPARE(Stack()->undoText(), step.name);
        const EngineValues after = Doc().Values();
        QVERIFY2(!(after == before), qPrintable(step.name));
        Undo();
        QVERIFY2(Doc().Values() == before, qPrintable(step.name));
        Redo();
        QVERIFY2(Doc().Values() == after, qPrintable(step.name));
    }
    QCOMPARE(Doc().CompressionRatio().IsSet(), false);  // cleared at the end
}

// One change a user could make, chosen at random: a popup entry in the
// form's editor, a typed value, or a command of the Engine menu.
void EngineHistoryTest::RandomStep(std::mt19937& random)
{
    const auto pick = [&random](std::size_t count) {
        return std::uniform_int_distribution<std::size_t>(0, count - 1)(random);
    };
    std::vector<CTorqSpecEditCtrl*> editable;
    for (CTorqSpecEditCtrl* control : Form()->Controls()) {
        if (control->isEnabled() && control->GetEditMode() != CTorqSpecEditCtrl::kComputed) {
            editable.push_back(control);
        }
    }
    const std::size_t kind = pick(10);
    if (kind < 6) {  // a popup choice
        CTorqSpecEditCtrl* control = editable[pick(editable.size())];
        if (!control->HasMenu() || !control->BeginEdit()) return;
        CTorqSpecEditDlg* editor = CTorqSpecEditDlg::OpenEditor();
        std::vector<QAction*> choices;
        CollectChoices(editor->Menu(), choices);
        if (choices.empty()) {
            editor->reject();
        } else {
            choices[pick(choices.size())]->trigger();
        }
        QVERIFY(EditorClosed());
    } else if (kind < 8) {  // a typed number within the parameter's range
        CTorqSpecEditCtrl* control = editable[pick(editable.size())];
        QString text;
        if (const auto* number = dynamic_cast<const CFloatPtSpec*>(control->Parameter())) {
            std::uniform_real_distribution<double> value(number->GetMinimum(), number->GetMaximum());
            text = QString::number(value(random), 'f', 2);
        } else if (const auto* count = dynamic_cast<const CIntegerSpec*>(control->Parameter())) {
            text = QString::number(
                std::uniform_int_distribution<int>(count->GetMinimum(), count->GetMaximum())(random));
        }
        if (text.isEmpty() || control->GetEditMode() != CTorqSpecEditCtrl::kEditable || !control->BeginEdit())
            return;
        CTorqSpecEditDlg* editor = CTorqSpecEditDlg::OpenEditor();
        editor->TextBox()->setText(text);
        editor->OkButton()->click();
        if (CTorqSpecEditDlg::OpenEditor() != nullptr) editor->reject();  // rounded out of range: refused
        QVERIFY(EditorClosed());
    } else {
        static constexpr int kEngineCommands[] = {
            Cmd::kAutoRun,      Cmd::kMetricUnits, Cmd::kEnglishUnits,
            Cmd::kRun,          Cmd::kAutoRun,     Cmd::kMetricUnits,
            Cmd::kEnglishUnits, Cmd::kRun,         Cmd::kClearComponents};
        Trigger(kEngineCommands[pick(std::size(kEngineCommands))]);
    }
}

void EngineHistoryTest::aLongRandomSequenceUndoesToTheSavedFileByteForByte()
{
    m_presenter->SetDefaultAnswer(WarningAnswer::Ok);
    BuildSavedChevy350();
    const QString savedPath = m_fixture->FilePath(QStringLiteral("chevy.trq"));
    const EngineValues saved = Doc().Values();

    std::mt19937 random(15);
    constexpr int kSteps = 300;
    for (int step = 0; step < kSteps; ++step) {
        RandomStep(random);
        if (QTest::currentTestFailed()) return;
    }
    const int changes = Stack()->count();
    qInfo("%d steps made %d changes", kSteps, changes);
    QVERIFY(changes > kSteps / 2);
    const EngineValues last = Doc().Values();

    while (Stack()->canUndo()) Undo();
    QVERIFY(Doc().Values() == saved);
    QVERIFY(!Doc().IsModified() && !m_child->isWindowModified());
    QVERIFY(SaveAs(m_fixture->FilePath(QStringLiteral("undone.trq"))));
    QCOMPARE(ReadWholeFile(m_fixture->FilePath(QStringLiteral("undone.trq")).toStdString()),
             ReadWholeFile(savedPath.toStdString()));

    while (Stack()->canRedo()) Redo();
    QVERIFY(Doc().Values() == last);
}

void EngineHistoryTest::clearComponentsMarksTheEngineModifiedAndIsUndone()
{
    BuildSavedChevy350();
    CChildFrame* opened = m_frame->OpenDocumentFile(m_fixture->FilePath(QStringLiteral("chevy.trq")));
    QCOMPARE(opened, m_child);  // the window that has it open
    const EngineValues saved = Doc().Values();

    Trigger(Cmd::kClearComponents);
    QVERIFY(!Doc().ShortBlockType().IsSet());
    QVERIFY(Doc().IsModified() && m_child->isWindowModified());
    QCOMPARE(UndoText(), QStringLiteral("&Undo Clear Components"));

    Undo();
    QVERIFY(Doc().Values() == saved);
    QVERIFY(!Doc().IsModified() && !m_child->isWindowModified());
    // Cleared again, the engine is not closed without a question.
    Redo();
    QVERIFY(m_frame->close());
    QCOMPARE(m_askedToSave, QStringList{"chevy.trq"});
}

void EngineHistoryTest::withAutoRunOffResultsLookStaleUntilTheNextRun()
{
    BuildSavedChevy350();
    const auto shownStale = [this] {
        int stale = 0;
        for (CChart2dView* graph : {m_child->LeftGraph(), m_child->RightGraph()}) {
            const auto* note = graph->findChild<CStaleResultsNote*>();
            const bool noteShown = note != nullptr && note->isVisibleTo(graph);
            const bool grey = graph->Y1Series(0)->pen().color() != QColor(255, 0, 0);
            stale += graph->IsStale() && noteShown && grey;
        }
        for (CResultsTableView* table : {m_child->LeftTable(), m_child->RightTable()}) {
            const auto* note = table->findChild<CStaleResultsNote*>();
            stale += table->IsStale() && note != nullptr && note->isVisibleTo(table);
        }
        return stale;
    };
    QCOMPARE(shownStale(), 0);
    // Auto Run on: every change runs the engine again.
    QVERIFY(Type("Compression Ratio", QStringLiteral("10.5")));
    QCOMPARE(shownStale(), 0);

    Trigger(Cmd::kAutoRun);
    QVERIFY(!Doc().IsAutoRun());
    const ResultSeriesValues power = Doc().GetResultSeries(kSeriesPower);
    QVERIFY(Type("Compression Ratio", QStringLiteral("11")));
    QCOMPARE(shownStale(), 4);
    QCOMPARE(Doc().GetResultSeries(kSeriesPower), power);  // the 10.5:1 engine's results, marked
    QCOMPARE(CStaleResultsNote::Text(), QStringLiteral("Results out of date \u2014 Engine > Run!"));

    Trigger(Cmd::kRun);
    QCOMPARE(shownStale(), 0);
    const ResultSeriesValues ranPower = Doc().GetResultSeries(kSeriesPower);
    QVERIFY(ranPower != power);
    // OK on the value as it stands changes nothing: the results stay current.
    const int changes = Stack()->count();
    QVERIFY(Type("Compression Ratio", QStringLiteral("11")));
    QCOMPARE(Stack()->count(), changes);
    QCOMPARE(shownStale(), 0);

    // Undo and redo bring back each state's results with their staleness.
    Undo();  // back to 10.5:1 with its own results
    QCOMPARE(Doc().CompressionRatio().GetValue(), 10.5f);
    QCOMPARE(shownStale(), 0);
    QCOMPARE(Doc().GetResultSeries(kSeriesPower), power);
    Redo();  // 11:1 with the results of its run
    QCOMPARE(shownStale(), 0);
    QCOMPARE(Doc().GetResultSeries(kSeriesPower), ranPower);
    QVERIFY(Type("Bore", QStringLiteral("4.03")));
    QCOMPARE(shownStale(), 4);
    Undo();
    QCOMPARE(shownStale(), 0);
}

void EngineHistoryTest::eachEngineWindowHasItsOwnHistory()
{
    BuildSavedChevy350();
    CChildFrame* first = m_child;
    QVERIFY(Type("Bore", QStringLiteral("4.03")));
    m_child = m_frame->NewDocument();
    QCOMPARE(UndoText(), QStringLiteral("&Undo"));
    QVERIFY(Choose("Short Block Type", kChevy454));
    QCOMPARE(UndoText(), QStringLiteral("&Undo Short Block Type Chevy 454"));

    m_frame->MdiArea()->setActiveSubWindow(first);
    QCOMPARE(UndoText(), QStringLiteral("&Undo Bore 4.03 in"));
    Undo();
    QCOMPARE(first->Document().Bore().GetValue(), 4.0f);
    QVERIFY(m_child->Document().ShortBlockType().IsSet());  // the other engine keeps its change

    // A closed window's history goes with it.
    m_child->close();
    QTRY_COMPARE(m_frame->ChildFrames().size(), 1);
    QTRY_COMPARE(m_frame->UndoGroup()->stacks().size(), 1);
}

QTEST_MAIN(EngineHistoryTest)
#include "EngineHistoryTest.moc"
