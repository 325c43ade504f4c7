#pragma once

#include <vector>

class CTorqDoc;

// The engine documents that are open in the program, in the order they were
// opened. A document is found again by its document number, so that a view
// holding only the number learns when the document was closed.
class CDocumentRegistry {
public:
    // The program's one list of open documents.
    static CDocumentRegistry& Instance();

    void Add(CTorqDoc& document);
    void Remove(const CTorqDoc& document);
    // Null when no open document has that number.
    CTorqDoc* Find(int documentNumber) const;
    const std::vector<CTorqDoc*>& Documents() const { return m_documents; }

private:
    std::vector<CTorqDoc*> m_documents;
};
