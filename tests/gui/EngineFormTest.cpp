// The engine form: its values, enabling rules, group pictures, popup menus
// (through the in-place editor, by mouse and by keyboard), the cam and
// airflow file commands, the custom cam type, layout and printing.

#include "base/ErrCode.h"
#include "model/MenuCommands.h"
#include "model/TorqDoc.h"
#include "views/AirFlowDlg.h"
#include "views/CamTypeDlg.h"
#include "views/EngineFormMenus.h"
#include "views/EngineFormView.h"
#include "widgets/StatusText.h"
#include "widgets/TorqSpecEdit.h"

#include "EngineBuilds.h"
#include "RecordingPresenter.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>

#include <algorithm>
#include <initializer_list>
#include <map>
#include <set>
#include <vector>

namespace {

// An entry's text as shown: without the shortcut column and the mnemonic marks.
QString EntryText(const QAction* action)
{
    const QString text = action->text().section(QLatin1Char('\t'), 0, 0);
    QString shown;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size()) ++i;
        shown += text[i];
    }
    return shown;
}

QAction* FindAction(const QMenu* menu, const QString& text)
{
    for (QAction* action : menu->actions()) {
        if (action->menu() != nullptr) {
            if (QAction* found = FindAction(action->menu(), text)) return found;
        } else if (EntryText(action) == text) {
            return action;
        }
    }
    return nullptr;
}

void CollectCommands(const QMenu* menu, std::multiset<int>& commands)
{
    for (const QAction* action : menu->actions()) {
        if (action->menu() != nullptr) {
            CollectCommands(action->menu(), commands);
        } else if (!action->isSeparator()) {
            commands.insert(action->data().toInt());
        }
    }
}

QStringList SubmenuTitles(const QMenu* menu)
{
    QStringList titles;
    for (const QAction* action : menu->actions()) {
        if (action->menu() != nullptr) titles << action->text();
    }
    return titles;
}

int InkIn(const QImage& image, const QRect& area)
{
    int ink = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) ink += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
    }
    return ink;
}

}  // namespace

class EngineFormTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void showsEveryParameterInTabOrder();
    void enablingRules_data();
    void enablingRules();
    void nitrousFollowsTheFuel();
    void groupPicturesFollowCompleteness();
    void autoValveSizesMakeDiametersChooseOnly();
    void menuChoiceThroughTheEditor();
    void compressionRatioMenuTicksTheCurrentRatio();
    void menusCoverTheChoiceTable();
    void keyboardOnly();
    void enterNeverPressesADefaultButton();
    void editOkRecalculatesCancelChangesNothing();
    void componentFiles();
    void customCamType();
    void customPortFlow();
    void layoutFitsTheLeftPane();
    void valuesStandInTheSameColumnsInEveryGroup();
    void printing();
    void documentGoesAway();

private:
    CTorqSpecEditCtrl* Ctrl(const CTorqSpec& parameter) const { return m_form->ControlFor(parameter); }
    CTorqSpecEditDlg* OpenEditor(CTorqSpecEditCtrl* control);
    bool Choose(CTorqSpecEditCtrl* control, const QString& entry);

    RecordingPresenter* m_presenter = nullptr;
    CTorqDoc* m_doc = nullptr;
    QMainWindow* m_window = nullptr;
    CEngineFormView* m_form = nullptr;
    QLineEdit* m_other = nullptr;
};

void EngineFormTest::init()
{
    m_presenter = new RecordingPresenter;
    m_presenter->SetDefaultAnswer(WarningAnswer::Ok);
    m_doc = new CTorqDoc;
    m_doc->SetTitle("Torq1");
    m_window = new QMainWindow;
    m_window->statusBar()->showMessage(QStringLiteral("Ready"));
    auto* central = new QWidget;
    auto* layout = new QHBoxLayout(central);
    m_form = new CEngineFormView(*m_doc);
    m_form->setFixedWidth(400);
    m_other = new QLineEdit;
    layout->addWidget(m_form);
    layout->addWidget(m_other);
    m_window->setCentralWidget(central);
    m_window->resize(1280, 800);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    m_window->activateWindow();
    QTRY_VERIFY(m_window->isActiveWindow());
}

void EngineFormTest::cleanup()
{
    delete m_window;
    delete m_doc;
    delete m_presenter;
    QCOMPARE(CTorqSpecEditDlg::OpenEditor(), nullptr);
}

CTorqSpecEditDlg* EngineFormTest::OpenEditor(CTorqSpecEditCtrl* control)
{
    control->setFocus();
    QTest::keyClick(control, Qt::Key_Return);
    return CTorqSpecEditDlg::OpenEditor();
}

bool EngineFormTest::Choose(CTorqSpecEditCtrl* control, const QString& entry)
{
    CTorqSpecEditDlg* editor = OpenEditor(control);
    if (editor == nullptr) return false;
    QAction* action = FindAction(editor->Menu(), entry);
    if (action == nullptr) {
        editor->reject();
        return false;
    }
    action->trigger();
    return QTest::qWaitFor([] { return CTorqSpecEditDlg::OpenEditor() == nullptr; }, 2000);
}

void EngineFormTest::showsEveryParameterInTabOrder()
{
    QCOMPARE(QApplication::focusWidget(), m_form->Controls().front());  // the short block first
    QCOMPARE(int(m_form->Controls().size()), CEngineFormView::kControlCount);
    std::set<const CTorqSpec*> bound;
    for (const CTorqSpecEditCtrl* control : m_form->Controls()) {
        bound.insert(control->Parameter());
        QVERIFY(m_form->LabelOf(control) != nullptr && !m_form->LabelOf(control)->text().isEmpty());
    }
    QCOMPARE(int(bound.size()), CEngineFormView::kControlCount);

    QVERIFY(BuildChevy350(*m_doc));
    const std::map<const CTorqSpec*, QString> expected = {
        {&m_doc->ShortBlockType(), "Chevy 350"},
        {&m_doc->Bore(), "4.000 in"},
        {&m_doc->NumberOfCylinders(), "8"},
        {&m_doc->CylinderVolume(), "716.62 cc"},
        {&m_doc->TotalBlockVolume(), "349.8 ci"},
        {&m_doc->CompressionRatio(), "10.00"},
        {&m_doc->PressureDrop(), "1.50 inHg"},
        {&m_doc->AirflowFile(), "***"},
        {&m_doc->Cam().CamType(), "High Performance Street"},
        {&m_doc->Cam().NominalIvo(), "31.0 Deg"},  // cam events name their degrees
        {&m_doc->Cam().IntakeLift(), "0.500 in"},
        {&m_doc->ExhaustSystem(), "Small-Tube Headers With Mufflers"},
    };
    for (const auto& [parameter, text] : expected) QCOMPARE(Ctrl(*parameter)->Text(), text);

    // Tab walks the values that can be edited in the order of the form's table.
    std::vector<CTorqSpecEditCtrl*> walked;
    QWidget* widget = m_form->Controls().front();
    for (int i = 0; i < 400 && walked.size() < m_form->Controls().size();
         ++i, widget = widget->nextInFocusChain()) {
        auto* control = qobject_cast<CTorqSpecEditCtrl*>(widget);
        if (control != nullptr && std::find(walked.begin(), walked.end(), control) == walked.end()) {
            walked.push_back(control);
        }
    }
    QCOMPARE(walked, m_form->Controls());
}

void EngineFormTest::enablingRules_data()
{
    QTest::addColumn<int>("manifold");
    QTest::addColumn<int>("unit");
    // Flow, pressure ratio, efficiency, speed, surge, internal gear, belt gear, boost limit.
    QTest::addColumn<QString>("figures");
    QTest::newRow("dual plane with a turbo chosen") << 32838 << 32973 << "00000000";
    QTest::newRow("none") << 32843 << 32964 << "00000000";
    QTest::newRow("turbocharger") << 32843 << 32973 << "11101001";
    QTest::newRow("centrifugal") << 32843 << 32999 << "11110111";
    QTest::newRow("roots") << 32843 << 33010 << "10100011";
}

void EngineFormTest::enablingRules()
{
    QFETCH(int, manifold);
    QFETCH(int, unit);
    QFETCH(QString, figures);
    QVERIFY(ApplyMenuChoices(*m_doc, {32843, unit, 32863, manifold}));
    CTorqDoc& d = *m_doc;
    const CTorqSpec* figureSpecs[] = {&d.BlowerFlowRate(),      &d.BlowerPressureRatio(),
                                      &d.BlowerEfficiency(),    &d.BlowerRpm(),
                                      &d.BlowerSurgeFlowRate(), &d.BlowerInternalGearRatio(),
                                      &d.BlowerBeltGearRatio(), &d.BlowerBoostLevelLimit()};
    QString shown;
    for (const CTorqSpec* parameter : figureSpecs) shown += Ctrl(*parameter)->isEnabled() ? '1' : '0';
    QCOMPARE(shown, figures);

    const bool blower = manifold == Cmd::kForcedInductionManifold;
    QCOMPARE(Ctrl(d.ForcedInductionType())->isEnabled(), blower);
    QCOMPARE(Ctrl(d.IntercoolerEfficiency())->isEnabled(), blower);
    QCOMPARE(m_form->LabelOf(Ctrl(d.IntercoolerEfficiency()))->isEnabled(), blower);
    CTorqSpecEditCtrl* exhaust = Ctrl(d.ExhaustSystem());
    QCOMPARE(exhaust->isEnabled(), !blower);
    QCOMPARE(exhaust->Text(), blower ? QStringLiteral("Forced Induction Exhaust")
                                     : QStringLiteral("Small-Tube Headers With Mufflers"));
    QVERIFY(d.ExhaustSystem().IsValid());  // only the form hides it
}

void EngineFormTest::nitrousFollowsTheFuel()
{
    CTorqSpecEditCtrl* nitrous = Ctrl(m_doc->NitrousFlowRate());
    QVERIFY(!nitrous->isEnabled());              // gasoline
    QVERIFY(ApplyMenuChoices(*m_doc, {32829}));  // gasoline with 4 lbs/min nitrous
    QVERIFY(nitrous->isEnabled());
    QCOMPARE(nitrous->Text(), QStringLiteral("4.0 lbs/min"));
    QVERIFY(ApplyMenuChoices(*m_doc, {32833}));  // methanol
    QVERIFY(m_doc->NitrousFlowRate().SetFromText("5", false));
    m_form->UpdateView();
    QVERIFY(!nitrous->isEnabled());
    QCOMPARE(nitrous->Text(), QStringLiteral("5.0 lbs/min"));
    QCOMPARE(m_doc->NitrousFlowRate().GetValue(), 5.0f);
}

void EngineFormTest::groupPicturesFollowCompleteness()
{
    // The picture at the group's top left: green when complete, red when not.
    auto shownGreen = [this](EngineGroup group) {
        CEngineFormGroup* box = m_form->Group(group);
        const QImage image = box->grab().toImage();
        const QColor inside = image.pixelColor(10, box->TitleHeight() / 2);  // beside the tick or cross
        return inside.green() > inside.red();
    };
    const EngineGroup groups[] = {EngineGroup::ShortBlock,  EngineGroup::CylinderHeads,
                                  EngineGroup::Compression, EngineGroup::Induction,
                                  EngineGroup::Exhaust,     EngineGroup::Camshaft};
    for (EngineGroup group : groups) QVERIFY(!shownGreen(group) && !m_form->IsGroupShownComplete(group));
    QVERIFY(ApplyMenuChoices(*m_doc, {33135}));
    QVERIFY(shownGreen(EngineGroup::ShortBlock));
    QVERIFY(!shownGreen(EngineGroup::CylinderHeads));
    QVERIFY(BuildChevy350(*m_doc));
    for (EngineGroup group : groups) QVERIFY(shownGreen(group));
    m_doc->ClearComponents();
    for (EngineGroup group : groups) QVERIFY(!shownGreen(group));
}

void EngineFormTest::autoValveSizesMakeDiametersChooseOnly()
{
    QVERIFY(BuildChevy350(*m_doc));
    CTorqSpecEditCtrl* intake = Ctrl(m_doc->IntakeValveDiameter());
    CTorqSpecEditCtrl* exhaust = Ctrl(m_doc->ExhaustValveDiameter());
    QCOMPARE(intake->Text(), QStringLiteral("2.020 in"));
    QVERIFY(Choose(intake, QStringLiteral("Auto Calculate Valve Size")));
    QVERIFY(m_doc->IsAutoValveSizes());
    for (CTorqSpecEditCtrl* control : {intake, exhaust}) {
        QCOMPARE(control->GetEditMode(), int(CTorqSpecEditCtrl::kChooseOnly));
        QCOMPARE(m_form->AutoLabelOf(control)->text(), QStringLiteral("(Auto)"));
    }
    QVERIFY(intake->Text() != QStringLiteral("2.020 in"));  // sized for the bore by the edit's end

    CTorqSpecEditDlg* editor = OpenEditor(exhaust);
    QVERIFY(editor->TextBox()->isReadOnly());
    QVERIFY(FindAction(editor->Menu(), QStringLiteral("Auto Calculate Valve Size"))->isChecked());
    editor->reject();
    QVERIFY(Choose(exhaust, QStringLiteral("1.60 in")));
    QVERIFY(!m_doc->IsAutoValveSizes());
    for (CTorqSpecEditCtrl* control : {intake, exhaust}) {
        QCOMPARE(control->GetEditMode(), int(CTorqSpecEditCtrl::kEditable));
        QCOMPARE(m_form->AutoLabelOf(control)->text(), QString());
    }
    QCOMPARE(exhaust->Text(), QStringLiteral("1.600 in"));
}

void EngineFormTest::menuChoiceThroughTheEditor()
{
    m_doc->SetModified(false);
    CTorqSpecEditCtrl* block = Ctrl(m_doc->ShortBlockType());
    CTorqSpecEditDlg* editor = OpenEditor(block);
    QVERIFY(editor != nullptr);
    QVERIFY(SubmenuTitles(editor->Menu()).contains(QStringLiteral("Chevy")));
    FindAction(editor->Menu(), QStringLiteral("Chevy 350"))->trigger();
    QTRY_COMPARE(CTorqSpecEditDlg::OpenEditor(), nullptr);
    QVERIFY(m_doc->IsModified());
    QCOMPARE(block->Text(), QStringLiteral("Chevy 350"));
    QCOMPARE(Ctrl(m_doc->CylinderVolume())->Text(), QStringLiteral("716.62 cc"));  // recalculated
    QCOMPARE(QApplication::focusWidget(), Ctrl(m_doc->Bore()));                    // focus moved on

    // A head chosen while its editor is open waits for the edit's end to recalculate.
    QVERIFY(Choose(Ctrl(m_doc->CylinderHeadType()), QStringLiteral("4-Valve Head/Stock Ports And Valves")));
    QCOMPARE(Ctrl(m_doc->IntakeValveCount())->Text(), QStringLiteral("2"));
    QVERIFY(!m_form->HoldsOpenEdit());
}

void EngineFormTest::compressionRatioMenuTicksTheCurrentRatio()
{
    CTorqSpecEditCtrl* ratio = Ctrl(m_doc->CompressionRatio());
    const auto ticked = [this, ratio] {
        CTorqSpecEditDlg* editor = OpenEditor(ratio);
        QStringList checked;
        if (editor == nullptr) return QStringList{"(no editor)"};
        for (const QAction* action : editor->Menu()->actions()) {
            if (action->isChecked()) checked << EntryText(action);
        }
        editor->reject();
        return checked;
    };
    QCOMPARE(ticked(), QStringList{});  // no ratio yet
    QVERIFY(Choose(ratio, QStringLiteral("10.5:1")));
    QTRY_COMPARE(CTorqSpecEditDlg::OpenEditor(), nullptr);
    QCOMPARE(ticked(), QStringList{"10.5:1"});
    QTRY_COMPARE(CTorqSpecEditDlg::OpenEditor(), nullptr);
    QVERIFY(m_doc->CompressionRatio().SetFromText("10.6", false));  // between two entries
    QCOMPARE(ticked(), QStringList{});
    QTRY_COMPARE(CTorqSpecEditDlg::OpenEditor(), nullptr);
}

void EngineFormTest::menusCoverTheChoiceTable()
{
    auto range = [](int first, int last) {
        std::multiset<int> commands;
        for (int command = first; command <= last; ++command) commands.insert(command);
        return commands;
    };
    auto plus = [](std::multiset<int> commands, std::initializer_list<int> more) {
        commands.insert(more);
        return commands;
    };
    const std::vector<std::pair<FormMenu, std::multiset<int>>> expected = {
        {FormMenu::ShortBlocks, range(33100, 33304)},
        {FormMenu::CylinderHeads, plus(range(32795, 32811), {32914, 32915, 32916, 32917})},
        {FormMenu::AirflowFile, {32918, 32919}},
        {FormMenu::IntakeValveDiameters, plus(range(33045, 33057), {32904})},
        {FormMenu::ExhaustValveDiameters, plus(range(33058, 33070), {32904})},
        {FormMenu::CompressionRatios, range(32874, 32890)},
        {FormMenu::Induction, range(32844, 32860)},
        {FormMenu::PressureDrop, {33326, 33327}},
        {FormMenu::Manifolds, range(32837, 32843)},
        {FormMenu::Fuels, range(32826, 32836)},
        {FormMenu::ForcedInduction, range(32964, 33034)},
        {FormMenu::Intercooler, range(33310, 33325)},
        {FormMenu::ExhaustSystems, range(32861, 32867)},
        {FormMenu::CamTypes, range(32891, 32896)},
        {FormMenu::CamFile, {32920, 32921}},
        {FormMenu::LifterTypes, range(32897, 32899)},
        {FormMenu::TimingMethods, {32900, 32901}},
        {FormMenu::IntakeValveLifts, plus(range(33071, 33081), {32905})},
        {FormMenu::ExhaustValveLifts, plus(range(33082, 33092), {32905})},
    };
    for (const auto& [which, commands] : expected) {
        QMenu menu;
        FillFormMenu(menu, which, *m_doc, [](int) {});
        std::multiset<int> found;
        CollectCommands(&menu, found);
        QCOMPARE(found, commands);
    }

    QMenu units;
    FillFormMenu(units, FormMenu::ForcedInduction, *m_doc, [](int) {});
    QCOMPARE(SubmenuTitles(&units),
             QStringList({"&Turbochargers", "&Centrifugal Blowers", "&Roots Blowers"}));
    const QList<QAction*> kinds = units.actions();
    auto makers = [&](const QString& kind) {
        for (QAction* action : kinds) {
            if (action->text() == kind) return SubmenuTitles(action->menu());
        }
        return QStringList();
    };
    QCOMPARE(makers("&Turbochargers"),
             QStringList({"Air Research", "Garrett", "Rajay", "Roto-master", "Schwitzer", "Warner-Ishi"}));
    QCOMPARE(makers("&Roots Blowers"), QStringList({"B&&M", "BDS", "Weiand"}));
    QVERIFY(FindAction(&units, "Roto-master HI-FLO R11") != nullptr);

    // The cam type entries read as menu entries, not as stored names.
    QMenu cams;
    FillFormMenu(cams, FormMenu::CamTypes, *m_doc, [](int) {});
    QVERIFY(FindAction(&cams, "Dual Purpose Street/Track Profile") != nullptr);
    QVERIFY(FindAction(&cams, "Custom Cam Type...") != nullptr);
    // Automatic valve sizes need a standard head.
    QMenu sizes;
    FillFormMenu(sizes, FormMenu::IntakeValveDiameters, *m_doc, [](int) {});
    QVERIFY(!FindAction(&sizes, "Auto Calculate Valve Size")->isEnabled());
}

void EngineFormTest::keyboardOnly()
{
    QCOMPARE(QApplication::focusWidget(), Ctrl(m_doc->ShortBlockType()));
    QCOMPARE(CurrentStatusText(m_form), QString::fromLatin1(kEditHintStatusText));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), Ctrl(m_doc->Bore()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    CTorqSpecEditDlg* editor = CTorqSpecEditDlg::OpenEditor();
    QVERIFY(editor != nullptr);
    QCOMPARE(CurrentStatusText(m_form), QString::fromStdString(m_doc->Bore().GetPrompt()));
    QTRY_COMPARE(QApplication::focusWidget(), editor->TextBox());
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("4.1"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(CTorqSpecEditDlg::OpenEditor(), nullptr);
    QCOMPARE(Ctrl(m_doc->Bore())->Text(), QStringLiteral("4.100 in"));
    QTRY_COMPARE(QApplication::focusWidget(), Ctrl(m_doc->Stroke()));

    // On to the manifold, then choose from its menu with the arrow keys.
    CTorqSpecEditCtrl* manifold = Ctrl(m_doc->ManifoldType());
    for (int i = 0; i < 20 && QApplication::focusWidget() != manifold; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(QApplication::focusWidget(), manifold);
    QTest::keyClick(manifold, Qt::Key_Enter);
    editor = CTorqSpecEditDlg::OpenEditor();
    QVERIFY(editor != nullptr);
    QTRY_COMPARE(QApplication::focusWidget(), editor->MenuButton());  // choose only: the menu first
    QTimer::singleShot(0, this, [] {
        QWidget* popup = QApplication::activePopupWidget();
        QVERIFY(popup != nullptr);
        QTest::keyClick(popup, Qt::Key_Down);
        QTest::keyClick(popup, Qt::Key_Down);
        QTest::keyClick(popup, Qt::Key_Return);
    });
    QTest::keyClick(editor->MenuButton(), Qt::Key_Space);
    QTRY_COMPARE(CTorqSpecEditDlg::OpenEditor(), nullptr);
    QCOMPARE(manifold->Text(), QStringLiteral("Dual-Plane Manifold"));
    QTRY_COMPARE(QApplication::focusWidget(), Ctrl(m_doc->FuelType()));

    m_other->setFocus();
    QCOMPARE(CurrentStatusText(m_form), QString::fromLatin1(kReadyStatusText));
}

void EngineFormTest::enterNeverPressesADefaultButton()
{
    QDialog dialog;
    auto* layout = new QVBoxLayout(&dialog);
    CTorqDoc doc;
    auto* form = new CEngineFormView(doc);
    auto* button = new QPushButton(QStringLiteral("Default"));
    button->setDefault(true);
    layout->addWidget(form);
    layout->addWidget(button);
    QSignalSpy clicked(button, &QPushButton::clicked);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    CTorqSpecEditCtrl* block = form->ControlFor(doc.ShortBlockType());
    block->setFocus();
    QTest::keyClick(block, Qt::Key_Return);
    QVERIFY(block->IsEditorOpen());
    QCOMPARE(clicked.count(), 0);
    block->Editor()->reject();
    QVERIFY(dialog.isVisible());
}

void EngineFormTest::editOkRecalculatesCancelChangesNothing()
{
    QVERIFY(BuildChevy350(*m_doc));
    m_doc->SetModified(false);
    const QString volume = Ctrl(m_doc->CylinderVolume())->Text();
    CTorqSpecEditDlg* editor = OpenEditor(Ctrl(m_doc->Bore()));
    editor->TextBox()->setText(QStringLiteral("4.5"));
    QTest::keyClick(editor->TextBox(), Qt::Key_Escape);
    QCOMPARE(m_doc->Bore().GetValue(), 4.0f);
    QVERIFY(!m_doc->IsModified());
    QCOMPARE(Ctrl(m_doc->CylinderVolume())->Text(), volume);

    editor = OpenEditor(Ctrl(m_doc->Bore()));
    editor->TextBox()->setText(QStringLiteral("4.030"));
    QTest::keyClick(editor->TextBox(), Qt::Key_Return);
    QVERIFY(m_doc->IsModified());
    QCOMPARE(Ctrl(m_doc->CylinderVolume())->Text(), QStringLiteral("727.41 cc"));
    QVERIFY(m_doc->HasResults());  // auto run
}

void EngineFormTest::componentFiles()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    std::vector<std::pair<CEngineFormView::FileRequest, QString>> asked;
    QString answer;
    m_form->SetFileNameAsker([&](CEngineFormView::FileRequest request, const QString& proposed) {
        asked.emplace_back(request, proposed);
        return answer;
    });

    // Incomplete data is not saved: the first gap is reported before any dialog.
    m_form->OnMenuCommand(Cmd::kSaveAirflow);
    m_form->OnMenuCommand(Cmd::kSaveCam);
    QCOMPARE(m_presenter->Codes(),
             (std::vector<int>{Msg::AirflowDescriptionRequired, Msg::CamshaftRequired}));
    QVERIFY(asked.empty());

    QVERIFY(BuildChevy350(*m_doc));
    answer = folder.filePath(QStringLiteral("wedge.flw"));
    QVERIFY(Choose(Ctrl(m_doc->AirflowFile()), QStringLiteral("Save Airflow File As...")));
    QVERIFY(QFile::exists(answer));
    QCOMPARE(Ctrl(m_doc->AirflowFile())->Text(), QStringLiteral("wedge.flw"));
    answer = folder.filePath(QStringLiteral("street.cam"));
    QVERIFY(Choose(Ctrl(m_doc->CamDataFile()), QStringLiteral("Save Cam File As...")));
    QCOMPARE(Ctrl(m_doc->CamDataFile())->Text(), QStringLiteral("street.cam"));
    m_form->OnMenuCommand(Cmd::kSaveCam);  // proposes the current name
    QCOMPARE(asked.back().second, QStringLiteral("street.cam"));

    // Opening the airflow file makes the head a custom one named by the file's description.
    QVERIFY(ApplyMenuChoices(*m_doc, {32809}));
    answer = folder.filePath(QStringLiteral("wedge.flw"));
    QVERIFY(Choose(Ctrl(m_doc->AirflowFile()), QStringLiteral("Open Airflow File...")));
    QCOMPARE(m_doc->CylinderHeadType().GetIndex(), kCustomHeadIndex);
    QCOMPARE(Ctrl(m_doc->CylinderHeadType())->Text(), QStringLiteral("Wedge/Stock Ports And Valves"));
    QCOMPARE(asked.back().first, CEngineFormView::FileRequest::OpenAirflow);

    // A cancelled dialog keeps the editor open; nothing changes.
    answer.clear();
    CTorqSpecEditDlg* editor = OpenEditor(Ctrl(m_doc->CamDataFile()));
    FindAction(editor->Menu(), QStringLiteral("Open Cam File..."))->trigger();
    QCOMPARE(CTorqSpecEditDlg::OpenEditor(), editor);
    editor->reject();
}

void EngineFormTest::customCamType()
{
    CTorqSpecEditCtrl* camType = Ctrl(m_doc->Cam().CamType());
    CTorqSpecEditDlg* editor = OpenEditor(camType);
    QVERIFY(editor != nullptr);
    int shownBlank = 0;
    QTimer::singleShot(0, this, [&] {
        auto* dialog = qobject_cast<CCamTypeDlg*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        dialog->DescriptionEdit()->setText(QStringLiteral("   "));
        dialog->accept();  // refused: error 28, still open
        const std::vector<int> codes = m_presenter->Codes();
        shownBlank = int(std::count(codes.begin(), codes.end(), int(Msg::CamDescriptionRequired)));
        QVERIFY(dialog->isVisible());
        dialog->DescriptionEdit()->setText(QStringLiteral("  My Grind "));
        dialog->accept();
    });
    FindAction(editor->Menu(), QStringLiteral("Custom Cam Type..."))->trigger();
    QCOMPARE(shownBlank, 1);
    QTRY_COMPARE(CTorqSpecEditDlg::OpenEditor(), nullptr);
    QCOMPARE(m_doc->Cam().CamType().GetIndex(), 6);
    QCOMPARE(camType->Text(), QStringLiteral("My Grind"));
}

void EngineFormTest::customPortFlow()
{
    QVERIFY(BuildChevy350(*m_doc));
    m_doc->SetModified(false);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    std::vector<CEngineFormView::FileRequest> asked;
    m_form->SetFileNameAsker([&](CEngineFormView::FileRequest request, const QString&) {
        asked.push_back(request);
        return folder.filePath(QStringLiteral("ported.flw"));
    });
    CTorqSpecEditDlg* editor = OpenEditor(Ctrl(m_doc->CylinderHeadType()));
    QVERIFY(editor != nullptr);
    bool opened = false;
    QTimer::singleShot(0, this, [&] {
        auto* dialog = qobject_cast<CAirFlowDlg*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        opened = true;
        dialog->DescriptionEdit()->setFocus();
        dialog->DescriptionEdit()->selectAll();
        QTest::keyClicks(dialog->DescriptionEdit(), QStringLiteral("Ported Wedge"));
        dialog->SaveAs();  // the form's own file question
        dialog->Ok();
    });
    FindAction(editor->Menu(), QStringLiteral("Custom Port Flow..."))->trigger();
    QVERIFY(opened);
    QTRY_COMPARE(CTorqSpecEditDlg::OpenEditor(), nullptr);
    QCOMPARE(asked, std::vector<CEngineFormView::FileRequest>{CEngineFormView::FileRequest::SaveAirflow});
    QCOMPARE(m_doc->CylinderHeadType().GetIndex(), kCustomHeadIndex);
    QCOMPARE(Ctrl(m_doc->CylinderHeadType())->Text(), QStringLiteral("Ported Wedge"));
    QCOMPARE(Ctrl(m_doc->AirflowFile())->Text(), QStringLiteral("ported.flw"));
    QVERIFY(m_doc->IsModified());
}

void EngineFormTest::layoutFitsTheLeftPane()
{
    for (auto build : {&BuildChevy350, &BuildTurboFour}) {
        m_doc->ClearComponents();
        QVERIFY(build(*m_doc));
        QApplication::processEvents();
        QVERIFY(!m_form->horizontalScrollBar()->isVisible());
        QVERIFY(m_form->verticalScrollBar()->isVisible());
        for (const CTorqSpecEditCtrl* control : m_form->Controls()) {
            const int room = control->FieldRect().width() - 7;
            QVERIFY2(control->fontMetrics().horizontalAdvance(control->Text()) <= room,
                     control->objectName().toUtf8());
            // A label's text fits its room, on one line or, for the long ones, on two.
            const QLabel* label = m_form->LabelOf(control);
            if (label->wordWrap()) {
                QVERIFY2(label->heightForWidth(label->width()) <= label->height(), label->text().toUtf8());
            } else {
                QVERIFY2(label->sizeHint().width() <= label->width(), label->text().toUtf8());
            }
        }
    }
}

void EngineFormTest::valuesStandInTheSameColumnsInEveryGroup()
{
    QVERIFY(BuildTurboFour(*m_doc));
    QApplication::processEvents();
    // A value alone in its row stands in the left column, as the short block's does;
    // a second value in a row stands in the right column.
    const auto leftEdge = [this](const QWidget* widget) {
        return widget->mapTo(m_form->FormWidget(), QPoint()).x();
    };
    const int leftColumn = leftEdge(Ctrl(m_doc->ShortBlockType()));
    const int rightColumn = leftEdge(Ctrl(m_doc->Stroke()));
    QVERIFY(rightColumn > leftColumn);
    std::map<std::pair<const QWidget*, int>, std::vector<int>> rows;  // (group, top) -> left edges
    for (const CTorqSpecEditCtrl* control : m_form->Controls()) {
        rows[{control->parentWidget(), control->geometry().top()}].push_back(leftEdge(control));
    }
    for (const auto& [row, edges] : rows) {
        QVERIFY(edges.size() <= 2);
        QCOMPARE(*std::min_element(edges.begin(), edges.end()), leftColumn);
        if (edges.size() == 2) QCOMPARE(*std::max_element(edges.begin(), edges.end()), rightColumn);
    }
    // The long labels take two lines in the label column rather than push their values over.
    for (const char* name : {"Compression Ratio", "Blower Internal Gear Ratio", "Camshaft Advance/Retard"}) {
        const CTorqSpecEditCtrl* control = m_form->Control(QString::fromLatin1(name));
        QVERIFY2(control != nullptr, name);
        QCOMPARE(leftEdge(control), leftColumn);
        const QLabel* label = m_form->LabelOf(control);
        QVERIFY2(label->height() >= label->heightForWidth(label->width()), name);
        QVERIFY2(label->geometry().right() < control->geometry().left(), name);
    }
}

void EngineFormTest::printing()
{
    QVERIFY(BuildTurboFour(*m_doc));
    QCOMPARE(m_form->PrintPageCount(), 2);
    // A letter sheet at 100 dots per inch: the header above the half-inch
    // rule, the content below it.
    QImage sheet(850, 1100, QImage::Format_RGB32);
    sheet.setDotsPerMeterX(3937);
    sheet.setDotsPerMeterY(3937);
    std::vector<QImage> pages;
    for (int page = 1; page <= 2; ++page) {
        sheet.fill(Qt::white);
        QPainter painter(&sheet);
        m_form->PrintPage(painter, sheet.rect(), page, 2, QStringLiteral("Torq1"));
        painter.end();
        pages.push_back(sheet.copy());
        QVERIFY(InkIn(sheet, QRect(50, 10, 750, 38)) > 100);    // title, product, page number
        QVERIFY(InkIn(sheet, QRect(50, 50, 750, 1)) > 600);     // the rule
        QVERIFY(InkIn(sheet, QRect(50, 60, 750, 990)) > 2000);  // form / airflow data
        QCOMPARE(InkIn(sheet, QRect(0, 1060, 850, 40)), 0);     // nothing in the bottom margin
    }
    QVERIFY(pages[0] != pages[1]);

    // A form never shown (a sheet in the back) prints all the same.
    CEngineFormView hidden(*m_doc);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    hidden.PrintPage(painter, sheet.rect(), 1, 2, QStringLiteral("Torq1"));
    painter.end();
    QVERIFY(InkIn(sheet, QRect(50, 60, 750, 990)) > 2000);

    QTemporaryDir folder;
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(folder.filePath(QStringLiteral("engine.pdf")));
    QVERIFY(m_form->Print(&printer, QStringLiteral("A title that is longer than thirty-one characters")));
    QCOMPARE(printer.docName(), QStringLiteral("A title that is longer than thi"));
    QFile pdf(printer.outputFileName());
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    QVERIFY(bytes.startsWith("%PDF"));
    QCOMPARE(bytes.count("/Type /Page\n"), 2);
}

void EngineFormTest::documentGoesAway()
{
    QVERIFY(BuildChevy350(*m_doc));
    CTorqSpecEditDlg* editor = OpenEditor(Ctrl(m_doc->Bore()));
    QVERIFY(editor != nullptr);
    delete m_doc;
    m_doc = nullptr;
    QCOMPARE(m_form->Document(), nullptr);
    QCOMPARE(CTorqSpecEditDlg::OpenEditor(), nullptr);
    m_form->UpdateView();
    QCOMPARE(m_form->Controls().front()->Text(), QStringLiteral("Chevy 350"));
}

QTEST_MAIN(EngineFormTest)
#include "EngineFormTest.moc"
