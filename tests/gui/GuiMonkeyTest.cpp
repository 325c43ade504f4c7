// A seeded random walk over the whole program, as a monkey at the keyboard
// and mouse would take it: the menus (opened and chosen as a user does), the
// engine form's values (typed, junk and extremes included, or chosen from
// their menus), every dialog that opens (its fields typed, its lists and
// buttons used, files chosen only in a scratch folder), tab switches,
// resizes, engines opened and closed, undo and redo, the iterator run and
// halted. The program must not crash, hang or report an internal
// consistency failure, and every open engine must still save and open again
// to the same bytes.
//
// Each run takes a new seed and prints it; a failing walk runs again with
//   TORQWELL_MONKEY_SEED=<seed> tests/test_gui_GuiMonkeyTest
// (TORQWELL_MONKEY_EVENTS sets the number of events, 10000 by default;
// TORQWELL_MONKEY_CHECK_EVERY how often the open engines are checked, every
// 1000 events by default; TORQWELL_MONKEY_VERBOSE prints every event).

#include "GuiTestFixture.h"
#include "GuiTestSupport.h"
#include "app/ChildFrame.h"
#include "app/MainFrame.h"
#include "app/SplitterTabWnd.h"
#include "app/TorqApp.h"
#include "model/EngineFile.h"
#include "model/MenuCommands.h"
#include "views/EngineFormView.h"
#include "widgets/TorqSpecEdit.h"

#include "TempFile.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractPrintDialog>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QGraphicsView>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QTabBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <thread>

namespace {

constexpr int kDefaultEvents = 10000;
constexpr int kCheckEvery = 1000;      // events between checks of the open engines
constexpr int kWatchdogSeconds = 120;  // no event for this long is a hang
constexpr int kMostDialogSteps = 40;   // then a dialog is closed
constexpr qsizetype kMostOpenEngines = 8;

// What the walk says about itself where a crash or a hang can still print it.
char g_seedLine[160] = "monkey: no seed yet\n";
char g_lastEvent[256] = "";
std::atomic<int> g_eventNumber{0};

extern "C" void PrintSeedAndEnd(int signal)
{
    // Only async-signal-safe calls: the lines were formatted beforehand.
    (void)!::write(STDERR_FILENO, g_seedLine, std::strlen(g_seedLine));
    (void)!::write(STDERR_FILENO, g_lastEvent, std::strlen(g_lastEvent));
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

// Passes every message on to the program's presenter (its message boxes,
// which the walk answers) and prints the seed before an internal
// consistency report ends the program.
class SeedReportingPresenter final : public MessagePresenter {
public:
    void SetShown(MessagePresenter* shown) { m_shown = shown; }
    void ShowMessage(MessageKind kind, int code, const ErrorMessage& message) override
    {
        if (kind == MessageKind::Assertion) {
            std::fputs(g_seedLine, stderr);
            std::fputs(g_lastEvent, stderr);
            std::fprintf(stderr, "monkey: internal consistency report: %s\n", message.text.c_str());
        }
        if (m_shown != nullptr) m_shown->ShowMessage(kind, code, message);
    }
    WarningAnswer AskWarning(int code, const ErrorMessage& message) override
    {
        return m_shown != nullptr ? m_shown->AskWarning(code, message) : WarningAnswer::Cancel;
    }

private:
    MessagePresenter* m_shown = nullptr;
};

// Keeps the messages of the engine checks quiet, but not an internal
// consistency report, which still ends the program with the seed printed.
class QuietCheckPresenter final : public MessagePresenter {
public:
    QuietCheckPresenter() : m_previous(InstallMessagePresenter(this)) {}
    ~QuietCheckPresenter() override { InstallMessagePresenter(m_previous); }
    QuietCheckPresenter(const QuietCheckPresenter&) = delete;
    QuietCheckPresenter& operator=(const QuietCheckPresenter&) = delete;
    void ShowMessage(MessageKind kind, int code, const ErrorMessage& message) override
    {
        if (kind == MessageKind::Assertion) m_previous->ShowMessage(kind, code, message);
    }
    WarningAnswer AskWarning(int, const ErrorMessage&) override { return WarningAnswer::Ok; }

private:
    MessagePresenter* m_previous;
};

// Texts typed into fields: numbers in and out of every range, extremes, junk.
const QStringList kTypedTexts = {"4",
                                 "4.125",
                                 "0",
                                 "-0",
                                 "1",
                                 "10.5",
                                 "350",
                                 "0.5",
                                 "110",
                                 "6500",
                                 "-1",
                                 "-273.15",
                                 "99999999",
                                 "1e38",
                                 "-1e38",
                                 "1e-45",
                                 "3.4e39",
                                 "nan",
                                 "inf",
                                 "-inf",
                                 "",
                                 " ",
                                 "abc",
                                 "1.2.3",
                                 "1,5",
                                 "٣.٥",
                                 "1e",
                                 "e5",
                                 "--1",
                                 "+2",
                                 "0x10",
                                 "12abc",
                                 "\t",
                                 "'",
                                 "\"",
                                 "%s%n",
                                 "NUL",
                                 "1/2",
                                 "2000",
                                 "11000",
                                 QString(300, '9'),
                                 QString(100, 'x'),
                                 "0.000001",
                                 "123456.789",
                                 "😀",
                                 "Motor f\u00fcr"};

// Names for files saved through a file dialog (always inside the scratch folder).
const QStringList kSavedNames = {"engine.trq",
                                 "x y.trq",
                                 "??.trq",
                                 "noext",
                                 "a.cam",
                                 "b.flw",
                                 "sheet.pdf",
                                 "sheet.png",
                                 "s.svg",
                                 "r.csv",
                                 "g.gme",
                                 "dos.trq",
                                 QString(200, 'n') + ".trq",
                                 "missing-folder/e.trq"};

// A click and a key press as QTest gives them, except that the release goes
// only to a widget that still exists: a press may open a menu or a dialog
// whose own event loop runs the next events, and the widget may be gone
// when it returns.
void Click(QWidget* widget, Qt::MouseButton button, QPoint at = {})
{
    const QPointer<QWidget> alive(widget);
    if (at.isNull()) at = widget->rect().center();
    QTest::mousePress(widget, button, {}, at);
    if (alive != nullptr) QTest::mouseRelease(widget, button, {}, at);
}

void Key(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers = {})
{
    const QPointer<QWidget> alive(widget);
    QTest::keyPress(widget, key, modifiers);
    if (alive != nullptr) QTest::keyRelease(widget, key, modifiers);
}

void Type(QWidget* widget, const QString& text)
{
    const QPointer<QWidget> alive(widget);
    for (const QChar c : text) {
        if (alive == nullptr) return;
        QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(c), {});
        if (alive != nullptr) QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(c), {});
    }
}

void DoubleClick(QWidget* widget, QPoint at)
{
    const QPointer<QWidget> alive(widget);
    Click(widget, Qt::LeftButton, at);
    if (alive == nullptr) return;
    QMouseEvent press(QEvent::MouseButtonDblClick, at, widget->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, {});
    QApplication::sendEvent(widget, &press);
    if (alive != nullptr) QTest::mouseRelease(widget, Qt::LeftButton, {}, at);
}

QString Describe(QObject* object)
{
    if (object == nullptr) return QStringLiteral("(none)");
    QString text = QString::fromLatin1(object->metaObject()->className());
    if (const auto* widget = qobject_cast<QWidget*>(object);
        widget != nullptr && !widget->windowTitle().isEmpty())
        text += " \"" + widget->windowTitle() + "\"";
    if (const auto* button = qobject_cast<QAbstractButton*>(object)) text += " \"" + button->text() + "\"";
    return text;
}

class MonkeyWalk : public QObject {
public:
    MonkeyWalk(CMainFrame& frame, std::uint32_t seed, int events, const QString& scratch)
        : m_frame(frame), m_random(seed), m_events(events), m_scratch(scratch)
    {
    }

    // Runs the walk to its end with every dialog closed; false when a check failed.
    bool Run()
    {
        ScheduleStep();
        m_loop.exec();
        return m_failure.isEmpty();
    }
    const QString& Failure() const { return m_failure; }
    int EventsDone() const { return m_done; }

    // Every open engine validates or names its first missing part; it saves
    // twice to the same bytes, and opened again as the program opens a file
    // it saves to the same engine (the result blocks aside: a file's results
    // are not read, they come from a run).
    bool CheckEngines()
    {
        for (CChildFrame* child : m_frame.ChildFrames()) {
            CTorqDoc& doc = child->Document();
            const QString name = QString::fromStdString(doc.GetTitle()).left(60);
            ErrorCode code = 0;
            if (!doc.Validate(code)) {
                // Incomplete: the program saves no such engine.
                if (!IsKnownErrorCode(code))
                    return Fail(name + ": validation gave the unknown message " + QString::number(code));
                continue;
            }
            const std::string saved = QDir(m_scratch).filePath("check-saved.trq").toStdString();
            const std::string again = QDir(m_scratch).filePath("check-again.trq").toStdString();
            const std::string reopened = QDir(m_scratch).filePath("check-reopened.trq").toStdString();
            const QuietCheckPresenter quiet;
            // A copy is saved: the check leaves the walk's engines as they are.
            CTorqDoc copy;
            doc.CopyTo(copy);
            if (!WriteEngineFile(copy, saved) || !WriteEngineFile(copy, again))
                return Fail(name + " could not be saved");
            if (!SameText(name + " saved twice", ReadWholeFile(saved), ReadWholeFile(again))) return false;
            CTorqDoc opened;
            if (!OpenEngineDocument(opened, saved)) return Fail(name + " did not open again once saved");
            if (!WriteEngineFile(opened, reopened)) return Fail(name + " opened again could not be saved");
            if (!SameText(name + " saved, opened and saved again", EngineItems(ReadWholeFile(saved)),
                          EngineItems(ReadWholeFile(reopened))))
                return false;
        }
        return true;
    }

    // Every shown mark of every graph stands at a place: an item put where
    // a value maps to no number cannot be indexed by its scene, stays in the
    // index after it goes, and a later click reads freed memory.
    bool CheckGraphs()
    {
        for (const QGraphicsView* view : m_frame.findChildren<QGraphicsView*>()) {
            if (view->scene() == nullptr) continue;
            for (const QGraphicsItem* item : view->scene()->items()) {
                if (!item->isVisible()) continue;
                const QRectF at = item->sceneBoundingRect();
                if (std::isfinite(at.x()) && std::isfinite(at.y()) && std::isfinite(at.width()) &&
                    std::isfinite(at.height()))
                    continue;
                QString kind = QStringLiteral("an item of kind %1").arg(item->type());
                if (const auto* text = dynamic_cast<const QGraphicsTextItem*>(item))
                    kind = QStringLiteral("the text \"%1\"").arg(text->toPlainText().left(40));
                else if (const QGraphicsObject* object = item->toGraphicsObject())
                    kind = QString::fromLatin1(object->metaObject()->className());
                return Fail(QStringLiteral("%1 of a graph stands at no place (z %2, parent %3)")
                                .arg(kind)
                                .arg(item->zValue())
                                .arg(item->parentItem() != nullptr ? item->parentItem()->type() : -1));
            }
        }
        return true;
    }

private:
    // An engine file without its two result blocks (they follow the count line "19").
    static std::string EngineItems(const std::string& text) { return text.substr(0, text.rfind("\n19\n")); }

    bool SameText(const QString& what, const std::string& first, const std::string& second)
    {
        if (first == second) return true;
        const QStringList a = QString::fromStdString(first).split('\n');
        const QStringList b = QString::fromStdString(second).split('\n');
        qsizetype line = 0;
        while (line < std::min(a.size(), b.size()) && a[line] == b[line]) ++line;
        return Fail(QString("%1 is not the same file: line %2 \"%3\" became \"%4\"")
                        .arg(what)
                        .arg(line + 1)
                        .arg(a.value(line), b.value(line)));
    }

    int Pick(int count)
    {
        return count <= 1 ? 0 : std::uniform_int_distribution<int>(0, count - 1)(m_random);
    }
    bool Chance(int percent) { return Pick(100) < percent; }
    template <typename T>
    T PickFrom(const QList<T>& list)
    {
        return list.at(Pick(int(list.size())));
    }

    bool Fail(const QString& what)
    {
        if (m_failure.isEmpty()) m_failure = QString("event %1: %2").arg(m_done).arg(what);
        return false;
    }

    void Note(const QString& what)
    {
        std::snprintf(g_lastEvent, sizeof g_lastEvent, "monkey: event %d: %s\n", m_done,
                      what.toLocal8Bit().constData());
        g_eventNumber.store(m_done, std::memory_order_relaxed);
        if (m_verbose) std::fputs(g_lastEvent, stderr);
    }

    // The next event comes from the event loop that runs then: a dialog's or
    // a menu's own (a timer does not fire again in its own slot's nested loop,
    // so each event has a timer of its own).
    void ScheduleStep()
    {
        QTimer::singleShot(0, this, [this] { Step(); });
    }

    // One event; inside a dialog's own event loop the next ones act on it.
    void Step()
    {
        if (m_finished) return;
        ScheduleStep();
        if (!m_failure.isEmpty()) return Finish();
        QWidget* popup = QApplication::activePopupWidget();
        QWidget* modal = QApplication::activeModalWidget();
        const bool ending = m_done >= m_events;
        CheckGraphs();
        if (popup != nullptr) {
            ++m_done;
            return ending ? Escape(popup) : OnPopup(popup);
        }
        if (modal != nullptr) {
            ++m_done;
            return ending ? CloseDialog(modal) : OnDialog(modal);
        }
        if (ending) return Finish();
        if (m_done > 0 && m_done % m_checkEvery == 0 && m_done != m_lastCheck) {
            m_lastCheck = m_done;
            if (!CheckEngines()) return Finish();
        }
        ++m_done;
        OnMainWindow();
        CheckGraphs();
    }

    void Finish()
    {
        if (QApplication::activeModalWidget() == nullptr && QApplication::activePopupWidget() == nullptr) {
            m_finished = true;
            m_loop.quit();
        } else if (QWidget* modal = QApplication::activeModalWidget())
            CloseDialog(modal);
        else
            Escape(QApplication::activePopupWidget());
    }

    // ---------------------------------------------------------------- the main window

    void OnMainWindow()
    {
        // Many open engines slow every redraw and add nothing the walk has not
        // seen: past a few, one is closed.
        if (m_frame.ChildFrames().size() > kMostOpenEngines) {
            Note("close engine (many open)");
            m_frame.CommandAction(FrameCmd::kFileClose)->trigger();
            return;
        }
        const int roll = Pick(100);
        if (roll < 25) return OpenMenu();
        if (roll < 47) return EditValue();
        if (roll < 55) return SwitchTab();
        if (roll < 60) return Resize();
        if (roll < 66) return ClickToolBar();
        if (roll < 72) return UndoOrRedo();
        if (roll < 80)
            return PressKey(QApplication::focusWidget() != nullptr ? QApplication::focusWidget()
                                                                   : static_cast<QWidget*>(&m_frame));
        if (roll < 92) return ClickSomewhere();
        if (roll < 96) return OpenOrCloseEngine();
        return StartIterator();
    }

    CChildFrame* ActiveChild() const { return m_frame.ActiveChild(); }

    void OpenMenu()
    {
        QMenuBar* bar = m_frame.menuBar();
        QList<QAction*> menus;
        for (QAction* action : bar->actions()) {
            if (action->menu() != nullptr && action->isVisible()) menus << action;
        }
        QAction* chosen = PickFrom(menus);
        Note("menu " + chosen->text());
        Click(bar, Qt::LeftButton, bar->actionGeometry(chosen).center());
    }

    void EditValue()
    {
        CChildFrame* child = ActiveChild();
        auto* form = child != nullptr ? qobject_cast<CEngineFormView*>(child->EngineSheet()) : nullptr;
        if (form == nullptr || form->Controls().empty()) return OpenOrCloseEngine();
        child->LeftPane()->setCurrentWidget(form);
        CTorqSpecEditCtrl* control = form->Controls()[std::size_t(Pick(int(form->Controls().size())))];
        Note("value " + (control->Parameter() != nullptr
                             ? QString::fromStdString(control->Parameter()->GetName())
                             : QStringLiteral("(unbound)")));
        form->ensureWidgetVisible(control);
        if (Chance(70)) {
            Click(control, Qt::LeftButton, control->FieldRect().center());
        } else {
            control->setFocus(Qt::TabFocusReason);
            Key(control, Chance(50) ? Qt::Key_Return : Qt::Key_F2);
        }
    }

    void SwitchTab()
    {
        CChildFrame* child = ActiveChild();
        if (child == nullptr) return OpenOrCloseEngine();
        CSplitterPaneTabWnd* pane = Chance(50) ? child->LeftPane() : child->RightPane();
        QTabBar* tabs = pane->tabBar();
        const int index = Pick(tabs->count());
        Note(QString("tab %1 of a pane").arg(index));
        Click(tabs, Qt::LeftButton, tabs->tabRect(index).center());
    }

    void Resize()
    {
        if (Chance(60) || ActiveChild() == nullptr) {
            const QSize size(60 + Pick(1600), 40 + Pick(1200));
            Note(QString("main window %1 x %2").arg(size.width()).arg(size.height()));
            m_frame.showNormal();
            m_frame.resize(size);
        } else {
            CChildFrame* child = ActiveChild();
            const int how = Pick(4);
            Note(QString("engine window state %1").arg(how));
            if (how == 0) child->showMaximized();
            if (how == 1) child->showMinimized();
            if (how == 2) child->showNormal();
            if (how == 3) child->resize(20 + Pick(1000), 20 + Pick(800));
        }
    }

    void ClickToolBar()
    {
        QList<QWidget*> buttons;
        const auto* toolBar = m_frame.findChild<QToolBar*>(QStringLiteral("MainToolBar"));
        if (toolBar == nullptr) return OpenMenu();
        for (QAction* action : toolBar->actions()) {
            QWidget* button = toolBar->widgetForAction(action);
            if (button != nullptr && button->isVisible() && button->isEnabled()) buttons << button;
        }
        if (buttons.isEmpty()) return OpenMenu();
        QWidget* button = PickFrom(buttons);
        Note("toolbar " + Describe(button) + " " + button->toolTip());
        Click(button, Qt::LeftButton);
    }

    void UndoOrRedo()
    {
        const bool undo = Chance(60);
        Note(undo ? "undo" : "redo");
        Key(&m_frame, undo ? Qt::Key_Z : Qt::Key_Y, Qt::ControlModifier);
    }

    void OpenOrCloseEngine()
    {
        const int roll = Pick(10);
        if (roll < 3) {
            Note("new engine");
            m_frame.CommandAction(FrameCmd::kFileNew)->trigger();
        } else if (roll < 7) {
            const QStringList examples = m_frame.ExampleFiles();
            if (examples.isEmpty()) return;
            const QString example = PickFrom(examples);
            Note("example " + example);
            m_frame.OpenExample(example);
        } else {
            Note("close engine");
            m_frame.CommandAction(FrameCmd::kFileClose)->trigger();
        }
    }

    void StartIterator()
    {
        Note("iterator testing");
        m_frame.CommandAction(Cmd::kIteratorTesting)->trigger();
    }

    // A click (left, right or double) on a random visible widget of the window.
    void ClickSomewhere()
    {
        QList<QWidget*> widgets;
        for (QWidget* widget : m_frame.findChildren<QWidget*>()) {
            if (widget->isVisible() && widget->width() > 0 && widget->height() > 0) widgets << widget;
        }
        if (widgets.isEmpty()) return;
        QWidget* widget = PickFrom(widgets);
        const QPoint at(Pick(widget->width()), Pick(widget->height()));
        const int kind = Pick(10);
        QString chain;
        for (QObject* up = widget; up != nullptr; up = up->parent())
            chain += QString(up->metaObject()->className()) + "<";
        Note(QString("%1 click on %2 at %3,%4")
                 .arg(kind < 6   ? "left"
                      : kind < 9 ? "right"
                                 : "double")
                 .arg(Describe(widget) + " " + widget->objectName() + " " + chain)
                 .arg(at.x())
                 .arg(at.y()));
        if (kind < 6) {
            Click(widget, Qt::LeftButton, at);
        } else if (kind < 9) {
            // The right button, and the context menu event the platform sends with it.
            const QPointer<QWidget> alive(widget);
            Click(widget, Qt::RightButton, at);
            if (alive == nullptr) return;
            QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, at, widget->mapToGlobal(at));
            QApplication::sendEvent(widget, &menuEvent);
        } else {
            DoubleClick(widget, at);
        }
    }

    void PressKey(QWidget* widget)
    {
        static const Qt::Key keys[] = {Qt::Key_Tab,   Qt::Key_Backtab, Qt::Key_Return, Qt::Key_Escape,
                                       Qt::Key_Up,    Qt::Key_Down,    Qt::Key_Left,   Qt::Key_Right,
                                       Qt::Key_Space, Qt::Key_Delete,  Qt::Key_F2,     Qt::Key_F4,
                                       Qt::Key_A,     Qt::Key_1,       Qt::Key_Period, Qt::Key_PageDown};
        static const Qt::KeyboardModifiers modifiers[] = {Qt::NoModifier,      Qt::NoModifier,
                                                          Qt::NoModifier,      Qt::ShiftModifier,
                                                          Qt::ControlModifier, Qt::AltModifier};
        const Qt::Key key = keys[Pick(int(std::size(keys)))];
        const Qt::KeyboardModifiers modifier = modifiers[Pick(int(std::size(modifiers)))];
        // Ctrl+Q or Alt+F4 would end the program, not the walk.
        if ((key == Qt::Key_F4 && modifier == Qt::AltModifier)) return;
        Note(QString("key %1 (modifiers %2) to %3").arg(key).arg(int(modifier)).arg(Describe(widget)));
        Key(widget, key, modifier);
    }

    // ---------------------------------------------------------------- menus and popups

    void OnPopup(QWidget* popup)
    {
        auto* menu = qobject_cast<QMenu*>(popup);
        if (menu == nullptr || Chance(10)) return Escape(popup);
        QList<QAction*> choices;
        for (QAction* action : menu->actions()) {
            if (!action->isSeparator() && action->isVisible() && action->isEnabled() &&
                action != m_frame.CommandAction(FrameCmd::kAppExit))
                choices << action;
        }
        if (choices.isEmpty()) return Escape(popup);
        QAction* action = PickFrom(choices);
        Note("menu entry " + action->text());
        menu->setActiveAction(action);
        Key(menu, Qt::Key_Return);
    }

    void Escape(QWidget* widget)
    {
        Note("escape from " + Describe(widget));
        Key(widget, Qt::Key_Escape);
        if (widget->isVisible() && qobject_cast<QMenu*>(widget) != nullptr) widget->close();
    }

    // ---------------------------------------------------------------- dialogs

    void OnDialog(QWidget* dialog)
    {
        int& steps = m_dialogSteps[dialog];
        if (++steps > kMostDialogSteps || Chance(8)) return CloseDialog(dialog);
        if (auto* files = qobject_cast<QFileDialog*>(dialog)) return OnFileDialog(files);
        if (qobject_cast<QAbstractPrintDialog*>(dialog) != nullptr ||
            qobject_cast<QPrintPreviewDialog*>(dialog) != nullptr ||
            qobject_cast<QPageSetupDialog*>(dialog) != nullptr) {
            // Printing would reach a printer or write a file outside the scratch folder.
            return CloseDialog(dialog);
        }
        if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
            QAbstractButton* button = PickFrom(box->buttons());
            Note("message box \"" + box->text().left(60) + "\": " + button->text());
            return button->click();
        }
        if (auto* editor = qobject_cast<CTorqSpecEditDlg*>(dialog)) return OnEditor(editor);
        OnDialogWidget(dialog);
    }

    void OnEditor(CTorqSpecEditDlg* editor)
    {
        const int roll = Pick(10);
        if (roll < 5 && editor->TextBox()->isEnabled() && !editor->TextBox()->isReadOnly()) {
            const QString text = PickFrom(kTypedTexts);
            Note("typed \"" + text.left(40) + "\" into the value editor");
            editor->TextBox()->selectAll();
            Type(editor->TextBox(), text);
            Key(editor->TextBox(), Qt::Key_Return);
        } else if (roll < 8 && editor->MenuButton()->isVisible() && editor->MenuButton()->isEnabled()) {
            Note("the value editor's menu");
            // The menu drops in an event loop of its own: the next events choose from it.
            Click(editor->MenuButton(), Qt::LeftButton);
        } else {
            Note(roll == 8 ? "value editor OK" : "value editor escape");
            Key(editor->TextBox(), roll == 8 ? Qt::Key_Return : Qt::Key_Escape);
        }
    }

    // Files only ever in the scratch folder: a name of the list saved there,
    // or one of its files (or something that is none) opened.
    void OnFileDialog(QFileDialog* dialog)
    {
        if (Chance(40)) return CloseDialog(dialog);
        dialog->setDirectory(m_scratch);
        QString path;
        if (dialog->acceptMode() == QFileDialog::AcceptSave) {
            path = QDir(m_scratch).filePath(PickFrom(kSavedNames));
        } else {
            QStringList names = QDir(m_scratch).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
            names << "not-there.trq";
            path = QDir(m_scratch).filePath(PickFrom(names));
        }
        Note("file dialog " + dialog->windowTitle() + ": " + QFileInfo(path).fileName().left(40));
        dialog->selectFile(path);
        QMetaObject::invokeMethod(dialog, "accept");
        // A name the dialog would not take leaves it open: the next event closes it.
    }

    void OnDialogWidget(QWidget* dialog)
    {
        QList<QWidget*> widgets;
        for (QWidget* widget : dialog->findChildren<QWidget*>()) {
            const bool interactive = qobject_cast<QLineEdit*>(widget) != nullptr ||
                                     qobject_cast<QAbstractButton*>(widget) != nullptr ||
                                     qobject_cast<QComboBox*>(widget) != nullptr ||
                                     qobject_cast<QAbstractSpinBox*>(widget) != nullptr ||
                                     qobject_cast<QAbstractItemView*>(widget) != nullptr ||
                                     qobject_cast<QTabBar*>(widget) != nullptr;
            if (interactive && widget->isVisible() && widget->isEnabled()) widgets << widget;
        }
        if (widgets.isEmpty() || Chance(5)) {
            const QSize size(100 + Pick(900), 80 + Pick(700));
            Note(QString("dialog %1 resized").arg(Describe(dialog)));
            dialog->resize(size);
            return;
        }
        QWidget* widget = PickFrom(widgets);
        if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            const QString text = PickFrom(kTypedTexts);
            Note("typed \"" + text.left(40) + "\" into " + Describe(edit) + " of " + Describe(dialog));
            edit->setFocus(Qt::TabFocusReason);
            edit->selectAll();
            Type(edit, text);
            Key(edit, Chance(80) ? Qt::Key_Tab : Qt::Key_Return);
        } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            const int index = Pick(combo->count());
            Note(QString("choice %1 of %2 in %3").arg(index).arg(Describe(combo)).arg(Describe(dialog)));
            combo->setFocus(Qt::TabFocusReason);
            combo->setCurrentIndex(index);
            Key(combo, Qt::Key_Tab);
        } else if (auto* tabs = qobject_cast<QTabBar*>(widget)) {
            const int index = Pick(tabs->count());
            Note(QString("tab %1 of %2").arg(index).arg(Describe(dialog)));
            Click(tabs, Qt::LeftButton, tabs->tabRect(index).center());
        } else if (auto* view = qobject_cast<QAbstractItemView*>(widget)) {
            const QPoint at(Pick(view->viewport()->width()), Pick(view->viewport()->height()));
            const QString text = PickFrom(kTypedTexts);
            Note("typed \"" + text.left(40) + "\" into a cell of " + Describe(dialog));
            Click(view->viewport(), Qt::LeftButton, at);
            Key(view, Qt::Key_F2);
            if (QWidget* editor = QApplication::focusWidget()) Type(editor, text);
            Key(QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : view, Qt::Key_Return);
        } else if (auto* spin = qobject_cast<QAbstractSpinBox*>(widget)) {
            Note("spin box of " + Describe(dialog));
            Key(spin, Chance(50) ? Qt::Key_Up : Qt::Key_Down);
        } else {
            Note("click " + Describe(widget) + " of " + Describe(dialog));
            Click(widget, Qt::LeftButton, QPoint(widget->width() / 2, widget->height() / 2));
        }
    }

    void CloseDialog(QWidget* dialog)
    {
        Note("close " + Describe(dialog));
        m_dialogSteps.remove(dialog);
        if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
            // The answer that changes nothing; else the only one there is.
            QAbstractButton* button = box->button(QMessageBox::Cancel);
            if (button == nullptr) button = box->button(QMessageBox::No);
            if (button == nullptr) button = box->escapeButton();
            if (button == nullptr && !box->buttons().isEmpty()) button = box->buttons().constFirst();
            if (button != nullptr) return button->click();
        }
        if (auto* plain = qobject_cast<QDialog*>(dialog)) return plain->reject();
        dialog->close();
    }

    CMainFrame& m_frame;
    std::mt19937 m_random;
    int m_events;
    int m_done = 0;
    int m_lastCheck = 0;
    QString m_scratch;
    QString m_failure;
    QHash<QWidget*, int> m_dialogSteps;
    bool m_finished = false;
    bool m_verbose = qEnvironmentVariableIsSet("TORQWELL_MONKEY_VERBOSE");
    int m_checkEvery = std::max(1, qEnvironmentVariableIntValue("TORQWELL_MONKEY_CHECK_EVERY") > 0
                                       ? qEnvironmentVariableIntValue("TORQWELL_MONKEY_CHECK_EVERY")
                                       : kCheckEvery);
    QEventLoop m_loop;
};

// Ends the program with the seed printed when no event has come for a while.
class Watchdog {
public:
    Watchdog()
        : m_thread([this] {
              int last = -1;
              auto quiet = std::chrono::steady_clock::now();
              while (!m_stop.load()) {
                  std::this_thread::sleep_for(std::chrono::milliseconds(200));
                  const int now = g_eventNumber.load(std::memory_order_relaxed);
                  if (now != last) {
                      last = now;
                      quiet = std::chrono::steady_clock::now();
                  } else if (std::chrono::steady_clock::now() - quiet >
                             std::chrono::seconds(kWatchdogSeconds)) {
                      std::fprintf(stderr, "monkey: no event for %d s: the program hangs\n",
                                   kWatchdogSeconds);
                      std::fputs(g_seedLine, stderr);
                      std::fputs(g_lastEvent, stderr);
                      std::_Exit(3);
                  }
              }
          })
    {
    }
    ~Watchdog()
    {
        m_stop = true;
        m_thread.join();
    }

private:
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

std::uint32_t SeedOfThisRun()
{
    bool given = false;
    const std::uint32_t seed = qEnvironmentVariable("TORQWELL_MONKEY_SEED").toUInt(&given);
    if (given) return seed;
    return std::random_device{}();
}

}  // namespace

class GuiMonkeyTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void aRandomWalkOverTheWholeProgramLeavesEveryEngineWhole();

private:
    std::unique_ptr<GuiTestFixture> m_fixture;
    QTemporaryDir m_scratch;
};

void GuiMonkeyTest::initTestCase()
{
    m_fixture = std::make_unique<GuiTestFixture>();
    QVERIFY(m_scratch.isValid());
    for (int signal : {SIGSEGV, SIGABRT, SIGFPE, SIGBUS, SIGILL}) std::signal(signal, PrintSeedAndEnd);
}

void GuiMonkeyTest::aRandomWalkOverTheWholeProgramLeavesEveryEngineWhole()
{
    const std::uint32_t seed = SeedOfThisRun();
    bool eventsGiven = false;
    int events = qEnvironmentVariable("TORQWELL_MONKEY_EVENTS").toInt(&eventsGiven);
    if (!eventsGiven || events <= 0) events = kDefaultEvents;
    std::snprintf(g_seedLine, sizeof g_seedLine,
                  "monkey: seed %u, %d events (replay: TORQWELL_MONKEY_SEED=%u)\n", seed, events, seed);
    std::fputs(g_seedLine, stdout);
    std::fflush(stdout);

    // The engines of the examples, as files of the scratch folder: a walk
    // that opens and saves them never touches the source tree.
    const QString scratch = m_scratch.path();
    CTorqApp app({false, 0, scratch});
    QVERIFY(app.InitInstance({"torqwell"}));
    CMainFrame* frame = app.MainFrame();
    for (const QString& example : frame->ExampleFiles()) {
        QFile::copy(QDir(frame->ExampleFolder()).filePath(example), QDir(scratch).filePath(example));
    }
    QVERIFY(QDir(scratch).mkdir("a-folder.trq"));
    QFile junk(QDir(scratch).filePath("junk.trq"));
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray("3.10\n\xff\x00\x01 not an engine\n", 24));
    junk.close();
    // The desktop's own programs (the manual's PDF viewer) are not started.
    QList<QUrl> opened;
    frame->SetDocumentOpener([&opened](const QUrl& url) {
        opened << url;
        return true;
    });
    SeedReportingPresenter presenter;
    MessagePresenter* shown = InstallMessagePresenter(&presenter);
    presenter.SetShown(shown);
    struct PutBack {
        MessagePresenter* presenter;
        ~PutBack() { InstallMessagePresenter(presenter); }
    } putBack{shown};

    frame->resize(1280, 900);
    QVERIFY(QTest::qWaitForWindowExposed(frame));
    {
        const Watchdog watchdog;
        MonkeyWalk walk(*frame, seed, events, scratch);
        const bool walked = walk.Run();
        QVERIFY2(walked, qPrintable(QString::fromLatin1(g_seedLine) + walk.Failure()));
        QVERIFY2(walk.CheckEngines(), qPrintable(QString::fromLatin1(g_seedLine) + walk.Failure()));
        std::printf("monkey: %d events, %lld engines open at the end\n", walk.EventsDone(),
                    static_cast<long long>(frame->ChildFrames().size()));
    }
    frame->SetSaveChangesPrompt([](QWidget*, const QString&) { return QMessageBox::No; });
    QVERIFY(frame->close());
}

// The walk's own watchdog tells a hang from a long walk; Qt Test's limit of
// five minutes per test function would end a long walk on a busy machine.
int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QTEST_FUNCTION_TIMEOUT")) qputenv("QTEST_FUNCTION_TIMEOUT", "3600000");
    QApplication application(argc, argv);
    GuiMonkeyTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "GuiMonkeyTest.moc"
