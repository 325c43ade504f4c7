#pragma once

#include "dialogs/ItrRunDlg.h"
#include "study/IteratorSearch.h"

#include <QObject>

#include <functional>
#include <string>

class CChildFrame;
class CDocumentRegistry;
class QTimer;
class QWidget;

// The main window's two iterator commands. "Run the Iterator" asks warning
// 201 when the baseline's cam timing method has changed since it was
// registered, then runs the iterator dialog; when the dialog ends with OK,
// timer 1 starts. "Create New Docs", posted at each 100 ms tick of timer 1,
// turns the next ticked best result into a new engine document and starts
// the timer again, so that the main window stays live between documents.
// The commands keep the search of the iterator's combinations as long as
// the iterator: a search halted and closed goes on when the dialog opens again.
class CIteratorCommands : public QObject {
    Q_OBJECT
public:
    static constexpr int kTimer1Ms = 100;

    // Makes a new engine window as File New does; null when it cannot.
    using DocumentMaker = std::function<CChildFrame*()>;
    // Runs the iterator dialog modally; returns its result.
    using RunDialog = std::function<int(CItrRunDlg&)>;

    // window: the main window, which owns the commands and their dialog.
    CIteratorCommands(QWidget& window, IteratorTest& iterator, DocumentMaker makeDocument);

    void SetDocumentMaker(DocumentMaker maker) { m_makeDocument = std::move(maker); }
    void SetRunDialog(RunDialog run) { m_runDialog = std::move(run); }
    void SetRunDialogOptions(CItrRunDlg::Options options) { m_options = options; }

    // "Run the Iterator".
    void RunIterator();
    // "Create New Docs": at most one document, from the first ticked result.
    void CreateBestDocuments();
    // Timer 1 is waiting to post the next "Create New Docs".
    bool IsMakingDocuments() const;

    // "Best<n>-" and the baseline's title up to its first '.'.
    static std::string BestDocumentTitle(int resultIndex, const std::string& baselineTitle);
    // The title itself when no open engine has it, else with " (2)", " (3)"
    // and so on: the first that none has. An engine saved under a name has
    // it with or without its ".trq".
    static std::string UnusedTitle(const std::string& title, const CDocumentRegistry& open);

    const IteratorSearch& Search() const { return m_search; }

private:
    QWidget& m_window;
    IteratorTest& m_iterator;
    DocumentMaker m_makeDocument;
    RunDialog m_runDialog;
    CItrRunDlg::Options m_options;
    IteratorSearch m_search;
    QTimer* m_timer1;
    // Taken when the dialog ends with OK: the documents are named after the
    // engine the results came from, even once it is closed.
    std::string m_baselineTitle = "(None)";
};
