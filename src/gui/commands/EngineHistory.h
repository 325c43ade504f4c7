#pragma once

#include "model/EngineValues.h"

#include <QObject>
#include <QString>

#include <memory>

class CTorqDoc;
class QUndoStack;

// The undo history of one engine document. Every change the user makes to
// the engine (an edit on the form with the popup choices made in it, a
// calculator's Apply, a switch or unit system of the Engine menu, Clear
// Components) ends with Record under the change's name. The history keeps
// the engine's values as they stood before and after each change, so that
// Undo and Redo put the engine back exactly, results and their staleness
// included, without running it again: an undone change is an assignment of
// the values, a few microseconds, and the time goes to redrawing the views.
//
// The document's modified flag follows the stack's clean state: saving marks
// the present state clean, undoing back to it clears the mark, and an engine
// that comes modified (made by the iterator) has no clean state until saved.
//
// Views and dialogs do not own the history: they end a change with
// RecordEngineChange, which finds the document's history, or marks the
// document modified where it has none (a view or dialog shown on its own).
class CEngineHistory : public QObject {
    Q_OBJECT
public:
    explicit CEngineHistory(CTorqDoc& document, QObject* parent = nullptr);
    ~CEngineHistory() override;
    CEngineHistory(const CEngineHistory&) = delete;
    CEngineHistory& operator=(const CEngineHistory&) = delete;

    // The history of a document, or null.
    static CEngineHistory* Of(const CTorqDoc& document);

    CTorqDoc& Document() const { return m_document; }
    QUndoStack* Stack() const { return m_stack; }

    // Ends one change under its name as it reads ("Compression Ratio 10.5",
    // a '&' is shown as itself). A change that left the engine as it was is
    // not kept, and its Recalculate does not make the results out of date.
    void Record(const QString& name);
    // Takes what changed without being a change of its own into the present
    // state, so that undoing the next change comes back to it: the results of
    // a run, or a save's own runs.
    void TakeCurrentState();
    // The document has been saved: the present state is the clean one.
    void MarkSaved();

signals:
    // The document's modified flag has changed with the stack's clean state.
    void ModifiedChanged();

private:
    class Change;

    void Restore(const std::shared_ptr<EngineValues>& state);
    void FollowCleanState(bool clean);

    CTorqDoc& m_document;
    QUndoStack* m_stack;
    // The engine as the last change, undo, redo or TakeCurrentState left it;
    // shared with the changes before and after it.
    std::shared_ptr<EngineValues> m_current;
};

// Ends a change of the document: recorded in its history, or, without one,
// the document is marked modified.
void RecordEngineChange(CTorqDoc& document, const QString& name);
