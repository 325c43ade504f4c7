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
    m_documents.erase(std::remove(m_documents.begin(), m_documents.end(), &document), m_documents.end());
}

CTorqDoc* CDocumentRegistry::Find(int documentNumber) const
{
    if (documentNumber <= 0) return nullptr;
    const auto found = std::find_if(m_documents.begin(), m_documents.end(), [documentNumber](const CTorqDoc* doc) {
        return doc->GetDocumentNumber() == documentNumber;
    });
    return found == m_documents.end() ? nullptr : *found;
}
