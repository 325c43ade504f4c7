#include "commands/EngineHistory.h"

#include "base/ErrCode.h"
#include "model/TorqDoc.h"

#include <QHash>
#include <QUndoCommand>
#include <QUndoStack>

namespace {

QHash<const CTorqDoc*, CEngineHistory*>& Histories()
{
    static QHash<const CTorqDoc*, CEngineHistory*> histories;
    return histories;
}

}  // namespace

// One change: the engine's values before and after it. Neighbouring changes
// share the state between them.
class CEngineHistory::Change final : public QUndoCommand {
public:
    Change(CEngineHistory& history, const QString& name, std::shared_ptr<EngineValues> before,
           std::shared_ptr<EngineValues> after)
        : m_history(history), m_before(std::move(before)), m_after(std::move(after))
    {
        // The action's text takes '&' as a mnemonic.
        setText(QString(name).replace(QLatin1Char('&'), QStringLiteral("&&")));
    }

    void undo() override { m_history.Restore(m_before); }

    void redo() override
    {
        // Pushing the change redoes it; the engine is already so.
        if (m_pushed) {
            m_history.Restore(m_after);
        } else {
            m_pushed = true;
        }
    }

private:
    CEngineHistory& m_history;
    std::shared_ptr<EngineValues> m_before;
    std::shared_ptr<EngineValues> m_after;
    bool m_pushed = false;
};

CEngineHistory::CEngineHistory(CTorqDoc& document, QObject* parent)
    : QObject(parent),
      m_document(document),
      m_stack(new QUndoStack(this)),
      m_current(std::make_shared<EngineValues>(document.Values()))
{
    TORQ_ASSERT(!Histories().contains(&document));  // one history per document
    Histories().insert(&document, this);
    // An engine that comes modified has never been saved as it is.
    if (document.IsModified()) m_stack->resetClean();
    connect(m_stack, &QUndoStack::cleanChanged, this, &CEngineHistory::FollowCleanState);
}

CEngineHistory::~CEngineHistory()
{
    // The stack clears itself as it goes; nothing is restored by that.
    disconnect(m_stack, nullptr, this, nullptr);
    delete m_stack;
    Histories().remove(&m_document);
}

CEngineHistory* CEngineHistory::Of(const CTorqDoc& document)
{
    return Histories().value(&document, nullptr);
}

void CEngineHistory::Record(const QString& name)
{
    // Ending an edit recalculates; with Auto Run off that marks the results
    // out of date. An edit that changed nothing keeps them as they were.
    const bool stale = m_document.AreResultsStale();
    m_document.SetResultsStale(m_current->resultsStale);
    if (m_document.Values() == *m_current) {
        if (stale != m_current->resultsStale) m_document.UpdateAllViews();
        return;
    }
    m_document.SetResultsStale(stale);

    auto after = std::make_shared<EngineValues>(m_document.Values());
    m_stack->push(new Change(*this, name, m_current, after));
    m_current = std::move(after);
    // A push always leaves the clean state behind.
    FollowCleanState(m_stack->isClean());
}

void CEngineHistory::TakeCurrentState()
{
    *m_current = m_document.Values();
}

void CEngineHistory::MarkSaved()
{
    TakeCurrentState();
    m_stack->setClean();
    FollowCleanState(true);
}

void CEngineHistory::Restore(const std::shared_ptr<EngineValues>& state)
{
    m_current = state;
    m_document.RestoreValues(*state);
    m_document.UpdateAllViews();
}

void CEngineHistory::FollowCleanState(bool clean)
{
    if (m_document.IsModified() == !clean) return;
    m_document.SetModified(!clean);
    emit ModifiedChanged();
}

void RecordEngineChange(CTorqDoc& document, const QString& name)
{
    if (CEngineHistory* history = CEngineHistory::Of(document)) {
        history->Record(name);
    } else {
        document.SetModified();
    }
}
