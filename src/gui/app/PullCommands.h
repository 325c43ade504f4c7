#pragma once

#include "study/DynoPull.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class CChildFrame;
class CMatchDlg;
class CTorqDoc;
class QAction;
class QMenu;
class QMenuBar;
class QWidget;

// The main window's commands on measured dyno pulls: Graph > "Add Measured
// Pull..." reads a pull (asking for the units its file does not name) and
// shows it beside the active engine's results, "Remove Measured Pull" takes
// one away, and Engine > "Match To Dyno..." matches the engine to one of its
// pulls. The pulls of an engine file are remembered beside the file's path
// in the settings and offered again when the file is opened again.
// Refusals and notes of the pull reader are shown as message boxes.
class CPullCommands : public QObject {
    Q_OBJECT
public:
    // What the commands need of the main window.
    struct Window {
        std::function<CChildFrame*()> activeChild;
        // An open file dialog; the chosen path, empty when cancelled.
        std::function<QString(const QString& title, const QStringList& nameFilters)> chooseFileToOpen;
        // Runs the engine when it has no results or changed since its last
        // run; false (with its message shown) when it cannot run.
        std::function<bool(CChildFrame&)> ensureResults;
        // Opens a new engine window with the engine.
        std::function<CChildFrame*(std::unique_ptr<CTorqDoc>)> addEngine;
    };

    // The dialogs and message boxes, replaceable so that tests answer them.
    // The units of a pull's columns where its file names none; false when cancelled.
    using UnitsChooser = std::function<bool(QWidget* parent, const QString& fileName, bool askPower,
                                            bool askTorque, PullReadOptions& options)>;
    // A refusal of the reader (warning) or its notes on what it skipped (information).
    using MessageShower = std::function<void(QWidget* parent, const QString& text, bool refusal)>;
    // Asks whether to add the remembered pulls of an engine file again.
    using OfferPrompt =
        std::function<bool(QWidget* parent, const QString& engineName, const QStringList& pullNames)>;
    using MatchDialogRunner = std::function<int(CMatchDlg&)>;

    CPullCommands(QWidget& window, Window hooks);

    void SetUnitsChooser(UnitsChooser chooser) { m_chooseUnits = std::move(chooser); }
    void SetMessageShower(MessageShower shower) { m_showMessage = std::move(shower); }
    void SetOfferPrompt(OfferPrompt prompt) { m_offer = std::move(prompt); }
    void SetMatchDialogRunner(MatchDialogRunner runner) { m_runMatchDialog = std::move(runner); }

    // The "&Graph" menu of the menu bar, and "Match To &Dyno..." in the Engine menu.
    void CreateGraphMenu(QMenuBar& bar);
    void AddMatchCommand(QMenu& engineMenu);
    // The commands wait for an engine window.
    void UpdateCommandStates(bool hasEngine);

    // "Add Measured Pull...": a file dialog, then AddPullFile on the active engine.
    bool AddMeasuredPull();
    // Reads the pull at path and adds it to the engine's pulls. With
    // askUnits, the units the file does not name are asked for; otherwise
    // the options' are taken. False, with the refusal shown, when the file
    // is not a pull; the reader's notes are shown too.
    bool AddPullFile(CChildFrame& child, const QString& path, PullReadOptions options, bool askUnits);
    void RemovePull(CChildFrame& child, int index);
    // "Match To Dyno...": the match dialog on the active engine (a pull is
    // asked for first when the engine has none).
    void MatchToDyno();

    // After an engine file was opened: offers its remembered pulls again.
    void OfferRememberedPulls(CChildFrame& child);
    // After an engine was saved or its pulls changed: remembers its pulls
    // beside its file's path (an engine without a file has nothing to remember).
    void RememberPullsOf(const CChildFrame& child);

    QMenu* GraphMenu() const { return m_graphMenu; }
    QMenu* RemoveMenu() const { return m_removeMenu; }
    QAction* AddPullAction() const { return m_addAction; }
    QAction* MatchAction() const { return m_matchAction; }

private:
    void RebuildRemoveMenu();

    QWidget& m_window;
    Window m_hooks;
    UnitsChooser m_chooseUnits;
    MessageShower m_showMessage;
    OfferPrompt m_offer;
    MatchDialogRunner m_runMatchDialog;
    QMenu* m_graphMenu = nullptr;
    QMenu* m_removeMenu = nullptr;
    QAction* m_addAction = nullptr;
    QAction* m_matchAction = nullptr;
};
