#include "DocumentRegistry.h"

#include "TorqDoc.h"

#include <algorithm>

CDocumentRegistry& CDocumentRegistry::Instance()
{
    static CDocumentRegistry registry;
    return registry;
}

void CDocumentRegistry::Add(CTorqDoc& document)
{
    TORQ_ASSERT(Find(document.GetDocumentNumber()) == nullptr);
    m_documents.push_back(&document);
}

void CDocumentRegistry::Remove(const CTorqDoc& document)
{
    const auto gone = std::remove(m_documents.begin(), m_documents.end(), &document);
    if (gone == m_documents.end()) return;
    m_documents.erase(gone, m_documents.end());
    // A listener may add or remove listeners: call a copy of the list.
    const std::vector<Listener> listeners = m_listeners;
    for (const Listener& listener : listeners) {
        const bool stillListening =
            std::any_of(m_listeners.begin(), m_listeners.end(),
                        [&listener](const Listener& l) { return l.key == listener.key; });
        if (stillListening) listener.call(document.GetDocumentNumber());
    }
}

int CDocumentRegistry::AddRemovalListener(RemovalListener listener)
{
    const int key = m_nextListenerKey++;
    m_listeners.push_back({key, std::move(listener)});
    return key;
}

void CDocumentRegistry::RemoveRemovalListener(int key)
{
    std::erase_if(m_listeners, [key](const Listener& listener) { return listener.key == key; });
}

CTorqDoc* CDocumentRegistry::Find(int documentNumber) const
{
    if (documentNumber <= 0) return nullptr;
    const auto found = std::find_if(
        m_documents.begin(), m_documents.end(),
        [documentNumber](const CTorqDoc* doc) { return doc->GetDocumentNumber() == documentNumber; });
    return found == m_documents.end() ? nullptr : *found;
}
