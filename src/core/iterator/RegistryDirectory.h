#pragma once

#include "Iterator.h"
#include "model/DocumentRegistry.h"

// The iterator's view of the program's open documents: a document is open
// while the registry lists it.
class RegistryDirectory final : public DocumentDirectory {
public:
    explicit RegistryDirectory(const CDocumentRegistry& registry = CDocumentRegistry::Instance())
        : m_registry(registry)
    {
    }
    bool IsOpen(const CTorqDoc* document) const override;

private:
    const CDocumentRegistry& m_registry;
};
