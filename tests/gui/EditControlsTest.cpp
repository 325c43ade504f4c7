// The parameter edit controls: the numeric key filter, the value control and
// its in-place editor (open, type, refuse, accept, cancel, menu), on their own.

#include "base/ErrCode.h"
#include "model/MenuCommands.h"
#include "model/TorqDoc.h"
#include "widgets/StatusText.h"
#include "widgets/TorqSpecEdit.h"

#include "RecordingPresenter.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>

#include <vector>

namespace {

void Type(QWidget* widget, const QString& keys)
{
    for (const QChar c : keys) QTest::keyClick(widget, c.toLatin1());
}

}  // namespace

class EditControlsTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void floatFilter_data();
    void floatFilter();
    void floatEditingKeysAndPaste();

    void editorOpensOverTheControl();
    void typedValueRefusedThenAcceptedThenCancelled();
    void calculatorWarningDecidesTheChange();
    void chooseOnlyAndComputedModes();
    void menuChoiceByKeyboardClosesWithOk();
    void oneEditorAtATime();
    void hostileTextIsRefusedOrStored();
    void aDecimalCommaIsRefusedWithAHintOnTheDecimalPoint();

private:
    RecordingPresenter* m_presenter = nullptr;
    CTorqDoc* m_doc = nullptr;
    QMainWindow* m_window = nullptr;
    CTorqSpecEditCtrl* m_bore = nullptr;
    CTorqSpecEditCtrl* m_stroke = nullptr;
    std::vector<int> m_chosen;
};

void EditControlsTest::init()
{
    m_presenter = new RecordingPresenter;
    m_doc = new CTorqDoc;
    m_window = new QMainWindow;
    m_window->statusBar()->showMessage(QStringLiteral("Ready"));
    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    m_bore = new CTorqSpecEditCtrl(central);
    m_stroke = new CTorqSpecEditCtrl(central);
    layout->addWidget(m_bore);
    layout->addWidget(m_stroke);
    layout->addStretch();
    m_window->setCentralWidget(central);
    m_chosen.clear();
    // The stroke offers two choices whose actions record the command.
    m_bore->Bind(CTorqSpecEditCtrl::kValueStyle, m_doc->Bore(), CTorqSpecEditCtrl::kEditable, {}, m_doc);
    m_stroke->Bind(
        CTorqSpecEditCtrl::kValueStyle, m_doc->Stroke(), CTorqSpecEditCtrl::kEditable,
        [this](QMenu& menu) {
            for (int command : {11, 12}) {
                QAction* action = menu.addAction(QString::number(command));
                connect(action, &QAction::triggered, this, [this, command] {
                    m_chosen.push_back(command);
                    m_stroke->CloseEditor();
                });
            }
        },
        m_doc);
    m_bore->Refresh(true);
    m_stroke->Refresh(true);
    m_window->resize(300, 200);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    m_bore->setFocus();
}

void EditControlsTest::cleanup()
{
    delete m_window;
    delete m_doc;
    delete m_presenter;
    QCOMPARE(CTorqSpecEditDlg::OpenEditor(), nullptr);
}

void EditControlsTest::floatFilter_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<bool>("selectAll");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("beeps");
    QTest::newRow("comma is a point") << "" << false << "1,5"
                                      << "1.5" << 0;
    QTest::newRow("second point") << "1.5" << false << "."
                                  << "1.5" << 1;
    QTest::newRow("second comma") << "1.5" << false << ","
                                  << "1.5" << 1;
    QTest::newRow("point over all") << "1.5" << true << ".25"
                                    << ".25" << 0;
    QTest::newRow("second minus") << "-4" << false << "-"
                                  << "-4" << 1;
    QTest::newRow("minus over all") << "-4" << true << "-7"
                                    << "-7" << 0;
    QTest::newRow("letters, blanks, plus") << "2" << false << "a +e"
                                           << "2" << 4;
    QTest::newRow("digits pass") << "" << false << "0123456789"
                                 << "0123456789" << 0;
}

void EditControlsTest::floatFilter()
{
    QFETCH(QString, start);
    QFETCH(bool, selectAll);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    QFETCH(int, beeps);
    CEditFloatPt edit;
    edit.setText(start);
    if (selectAll) edit.selectAll();
    const int before = RefusalBeepCount();
    Type(&edit, typed);
    QCOMPARE(edit.text(), expected);
    QCOMPARE(RefusalBeepCount() - before, beeps);
}

void EditControlsTest::floatEditingKeysAndPaste()
{
    CEditFloatPt edit;
    edit.setText(QStringLiteral("12.5"));
    QTest::keyClick(&edit, Qt::Key_Home);
    QTest::keyClick(&edit, Qt::Key_Delete);
    QTest::keyClick(&edit, Qt::Key_End);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClick(&edit, Qt::Key_Left);
    QTest::keyClick(&edit, '7');
    QCOMPARE(edit.text(), QStringLiteral("27."));
    QTest::keyClick(&edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&edit, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("27."));

    // A paste obeys the typed rules: a comma becomes a point, anything else is refused whole.
    edit.clear();
    QApplication::clipboard()->setText(QStringLiteral("3,25"));
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(edit.text(), QStringLiteral("3.25"));
    for (const QString& bad : {QStringLiteral("abc"), QStringLiteral("1.2"), QStringLiteral("--1")}) {
        const int before = RefusalBeepCount();
        QApplication::clipboard()->setText(bad);
        QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(edit.text(), QStringLiteral("3.25"));
        QCOMPARE(RefusalBeepCount() - before, 1);
    }
}

void EditControlsTest::editorOpensOverTheControl()
{
    QTest::keyClick(m_bore, Qt::Key_Return);
    CTorqSpecEditDlg* editor = CTorqSpecEditDlg::OpenEditor();
    QVERIFY(editor != nullptr);
    QCOMPARE(m_bore->Editor(), editor);
    QVERIFY(m_bore->IsEditorOpen());
    QCOMPARE(CurrentStatusText(m_bore), QString::fromStdString(m_doc->Bore().GetPrompt()));
    QCOMPARE(editor->TextBox()->text(), QStringLiteral("***"));
    QVERIFY(!editor->TextBox()->isReadOnly());
    QVERIFY(!editor->MenuButton()->isEnabled());  // bore has no choices
    QVERIFY(editor->Menu()->isEmpty());

    // 8 pixels left of the value field, centred on it (the field is lower than the editor).
    const QRect field(m_bore->mapToGlobal(m_bore->FieldRect().topLeft()), m_bore->FieldRect().size());
    QVERIFY(field.height() < editor->height());
    QCOMPARE(editor->x(), field.left() - 8);
    QVERIFY(qAbs(editor->geometry().center().y() - field.center().y()) <= 1);
    editor->reject();
}

void EditControlsTest::typedValueRefusedThenAcceptedThenCancelled()
{
    QSignalSpy done(m_bore, &CTorqSpecEditCtrl::EditDone);
    QVERIFY(m_bore->BeginEdit());
    CTorqSpecEditDlg* editor = m_bore->Editor();

    // Out of range, and not a number: beep, keep the editor open.
    for (const QString& refused : {QStringLiteral("9"), QStringLiteral("four")}) {
        const int before = RefusalBeepCount();
        editor->TextBox()->selectAll();
        Type(editor->TextBox(), refused);
        QTest::keyClick(editor->TextBox(), Qt::Key_Return);
        QCOMPARE(RefusalBeepCount() - before, 1);
        QCOMPARE(CTorqSpecEditDlg::OpenEditor(), editor);
        QVERIFY(!m_doc->Bore().IsSet());
    }
    QCOMPARE(done.count(), 0);

    editor->TextBox()->selectAll();
    Type(editor->TextBox(), QStringLiteral(" 4.125 "));
    QTest::keyClick(editor->TextBox(), Qt::Key_Return);
    QCOMPARE(CTorqSpecEditDlg::OpenEditor(), nullptr);
    QCOMPARE(done.count(), 1);
    QCOMPARE(done.at(0).at(1).toBool(), true);
    QCOMPARE(m_doc->Bore().GetValue(), 4.125f);
    QVERIFY(!m_bore->IsEditorOpen());
    QCOMPARE(CurrentStatusText(m_bore), QString::fromLatin1(kEditHintStatusText));
    m_bore->Refresh(true);
    QCOMPARE(m_bore->Text(), QStringLiteral("4.125 in"));

    // Cancel keeps the value; the same value again still ends with OK.
    QVERIFY(m_bore->BeginEdit());
    QCOMPARE(m_bore->Editor()->TextBox()->text(), QStringLiteral("4.125"));
    Type(m_bore->Editor()->TextBox(), QStringLiteral("5"));
    QTest::keyClick(m_bore->Editor()->TextBox(), Qt::Key_Escape);
    QCOMPARE(done.count(), 2);
    QCOMPARE(done.at(1).at(1).toBool(), false);
    QCOMPARE(m_doc->Bore().GetValue(), 4.125f);
    QVERIFY(m_bore->BeginEdit());
    QTest::mouseClick(m_bore->Editor()->OkButton(), Qt::LeftButton);
    QCOMPARE(done.count(), 3);
    QCOMPARE(done.at(2).at(1).toBool(), true);
    QCOMPARE(m_doc->Bore().GetValue(), 4.125f);
}

void EditControlsTest::calculatorWarningDecidesTheChange()
{
    QVERIFY(ApplyMenuCommand(*m_doc, 33135) == CommandResult::Applied);  // Chevy 350
    QSignalSpy done(m_bore, &CTorqSpecEditCtrl::EditDone);
    struct Case {
        WarningAnswer answer;
        float bore;
        bool ok;
    };
    for (const Case& c : {Case{WarningAnswer::Cancel, 4.0f, false}, Case{WarningAnswer::Ok, 4.03f, true}}) {
        m_doc->SetCompressionFromCalculator(true);
        m_presenter->Clear();
        m_presenter->AnswerNextWarning(c.answer);
        QVERIFY(m_bore->BeginEdit());
        m_bore->Editor()->TextBox()->setText(QStringLiteral("4.03"));
        m_bore->Editor()->accept();
        QCOMPARE(m_presenter->Codes(), std::vector<int>{Msg::BoreStrokeAgainstCalculator});
        QCOMPARE(CTorqSpecEditDlg::OpenEditor(), nullptr);
        QCOMPARE(done.takeLast().at(1).toBool(), c.ok);
        QCOMPARE(m_doc->Bore().GetValue(), c.bore);
        QCOMPARE(m_doc->IsCompressionFromCalculator(), !c.ok);
    }
}

void EditControlsTest::chooseOnlyAndComputedModes()
{
    m_doc->Bore().SetFromText("4", false);
    m_bore->SetEditMode(CTorqSpecEditCtrl::kChooseOnly);
    QSignalSpy done(m_bore, &CTorqSpecEditCtrl::EditDone);
    QVERIFY(m_bore->BeginEdit());
    QLineEdit* box = m_bore->Editor()->TextBox();
    QVERIFY(box->isReadOnly());
    Type(box, QStringLiteral("5"));
    QCOMPARE(box->text(), QStringLiteral("4.000"));
    m_bore->Editor()->accept();
    QCOMPARE(done.count(), 1);
    QVERIFY(done.at(0).at(1).toBool());
    QCOMPARE(m_doc->Bore().GetValue(), 4.0f);

    // A computed value is passed by the keyboard and never opens an editor.
    m_bore->SetEditMode(CTorqSpecEditCtrl::kComputed);
    QCOMPARE(m_bore->focusPolicy(), Qt::NoFocus);
    QTest::mouseClick(m_bore, Qt::LeftButton);
    QVERIFY(!m_bore->BeginEdit());
    QCOMPARE(CTorqSpecEditDlg::OpenEditor(), nullptr);
}

void EditControlsTest::menuChoiceByKeyboardClosesWithOk()
{
    QSignalSpy done(m_stroke, &CTorqSpecEditCtrl::EditDone);
    m_stroke->setFocus();
    QTest::keyClick(m_stroke, Qt::Key_Enter);
    CTorqSpecEditDlg* editor = m_stroke->Editor();
    QVERIFY(editor != nullptr);
    QTRY_VERIFY(editor->isActiveWindow());
    QCOMPARE(QApplication::focusWidget(), editor->TextBox());
    QVERIFY(editor->MenuButton()->isEnabled());
    // Text typed before the choice is not applied: the choice closes the editor.
    editor->TextBox()->setText(QStringLiteral("zzz"));
    const int beeps = RefusalBeepCount();
    QTest::keyClick(editor->TextBox(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), editor->MenuButton());
    QTimer::singleShot(0, this, [] {
        QWidget* popup = QApplication::activePopupWidget();
        QVERIFY(popup != nullptr);
        QTest::keyClick(popup, Qt::Key_Down);
        QTest::keyClick(popup, Qt::Key_Down);
        QTest::keyClick(popup, Qt::Key_Return);
    });
    QTest::keyClick(editor->MenuButton(), Qt::Key_Down);  // returns when the menu has closed
    QTRY_COMPARE(done.count(), 1);
    QCOMPARE(m_chosen, std::vector<int>{12});
    QVERIFY(done.at(0).at(1).toBool());
    QCOMPARE(RefusalBeepCount(), beeps);
    QVERIFY(!m_doc->Stroke().IsSet());
}

void EditControlsTest::oneEditorAtATime()
{
    QVERIFY(m_bore->BeginEdit());
    QVERIFY(!m_stroke->BeginEdit());
    QVERIFY(m_bore->IsEditorOpen());
    QVERIFY(!m_stroke->IsEditorOpen());
    m_bore->Editor()->reject();
    QVERIFY(m_stroke->BeginEdit());
    m_stroke->Editor()->reject();
}

void EditControlsTest::hostileTextIsRefusedOrStored()
{
    CTorqSpecEditCtrl cylinders;
    CTorqSpecEditCtrl block;
    CTorqSpecEditCtrl file;
    cylinders.Bind(CTorqSpecEditCtrl::kCountStyle, m_doc->NumberOfCylinders(), 0, {}, m_doc);
    block.Bind(CTorqSpecEditCtrl::kNameStyle, m_doc->ShortBlockType(), 0, {}, m_doc);
    file.Bind(CTorqSpecEditCtrl::kNameStyle, m_doc->AirflowFile(), 0, {}, m_doc);
    const QString texts[] = {"",
                             "   ",
                             "-",
                             "1e999",
                             "nan",
                             "4abc",
                             QString::fromUtf8("\u0663"),
                             "99999999999999999999",
                             QString(78, QLatin1Char('x'))};
    // A number must be the whole text ("4abc" is no bore, "1e999" no count);
    // a name takes any text that is not blank.
    struct Case {
        CTorqSpecEditCtrl* control;
        bool isName;
    };
    const Case cases[] = {{m_bore, false}, {&cylinders, false}, {&block, true}, {&file, true}};
    for (const auto& [control, isName] : cases) {
        for (const QString& text : texts) {
            const bool expected = isName && !text.trimmed().isEmpty();
            QVERIFY(control->BeginEdit());
            CTorqSpecEditDlg* editor = control->Editor();
            editor->TextBox()->setText(text);
            const int beeps = RefusalBeepCount();
            editor->accept();
            QVERIFY2(
                (CTorqSpecEditDlg::OpenEditor() == nullptr) == expected,
                qPrintable(text + QLatin1Char(' ') + QString::fromUtf8(control->Parameter()->GetName())));
            QCOMPARE(RefusalBeepCount() - beeps, expected ? 0 : 1);
            if (!expected) editor->reject();
        }
    }
    QCOMPARE(m_doc->NumberOfCylinders().IsSet(), false);
    QCOMPARE(m_doc->Bore().IsSet(), false);
    QCOMPARE(m_doc->ShortBlockType().GetChoiceName(), std::string(78, 'x'));
}

void EditControlsTest::aDecimalCommaIsRefusedWithAHintOnTheDecimalPoint()
{
    m_window->show();
    QVERIFY(m_bore->BeginEdit());
    CTorqSpecEditDlg* editor = m_bore->Editor();
    editor->TextBox()->setText(QStringLiteral("4,03"));
    const int beeps = RefusalBeepCount();
    editor->accept();
    QCOMPARE(RefusalBeepCount() - beeps, 1);
    QVERIFY(CTorqSpecEditDlg::OpenEditor() != nullptr);
    QVERIFY2(CurrentStatusText(m_bore).contains(QStringLiteral("decimal point is \".\"")),
             qPrintable(CurrentStatusText(m_bore)));
    QVERIFY(!m_doc->Bore().IsSet());

    editor->TextBox()->setText(QStringLiteral("4.03"));
    editor->accept();
    QVERIFY(CTorqSpecEditDlg::OpenEditor() == nullptr);
    QCOMPARE(m_doc->Bore().GetValue(), 4.03f);
}

QTEST_MAIN(EditControlsTest)
#include "EditControlsTest.moc"
