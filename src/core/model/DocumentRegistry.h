#pragma once

#include <functional>
#include <vector>

class CTorqDoc;

// The engine documents that are open in the program, in the order they were
// opened. A document is found again by its document number, so that a view
// holding only the number learns when the document was closed; a view that
// shows another engine can also be told at once when that engine closes.
class CDocumentRegistry {
public:
    // Told the number of a document that has just left the list.
    using RemovalListener = std::function<void(int documentNumber)>;

    // The program's one list of open documents.
    static CDocumentRegistry& Instance();

    void Add(CTorqDoc& document);
    // Takes the document off the list, then tells every listener.
    void Remove(const CTorqDoc& document);

    // Returns a key for RemoveRemovalListener.
    int AddRemovalListener(RemovalListener listener);
    void RemoveRemovalListener(int key);
    // Null when no open document has that number.
    CTorqDoc* Find(int documentNumber) const;
    const std::vector<CTorqDoc*>& Documents() const { return m_documents; }

private:
    struct Listener {
        int key;
        RemovalListener call;
    };

    std::vector<CTorqDoc*> m_documents;
    std::vector<Listener> m_listeners;
    int m_nextListenerKey = 1;
};
