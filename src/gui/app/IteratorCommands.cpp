#include "IteratorCommands.h"

#include "ChildFrame.h"
#include "iterator/RegistryDirectory.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

namespace {

constexpr std::int32_t kSeatToSeatMethod = 1;

// Shows the wait cursor for as long as it lives.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

CIteratorCommands::CIteratorCommands(QWidget& window, IteratorTest& iterator, DocumentMaker makeDocument)
    : QObject(&window),
      m_window(window),
      m_iterator(iterator),
      m_makeDocument(std::move(makeDocument)),
      m_runDialog([](CItrRunDlg& dialog) { return dialog.exec(); }),
      m_timer1(new QTimer(this))
{
    m_timer1->setSingleShot(true);
    m_timer1->setInterval(kTimer1Ms);
    // The tick posts "Create New Docs", so the document is made from the event loop.
    connect(m_timer1, &QTimer::timeout, this, [this] {
        QMetaObject::invokeMethod(this, &CIteratorCommands::CreateBestDocuments, Qt::QueuedConnection);
    });
}

bool CIteratorCommands::IsMakingDocuments() const
{
    return m_timer1->isActive();
}

std::string CIteratorCommands::BestDocumentTitle(int resultIndex, const std::string& baselineTitle)
{
    return "Best" + std::to_string(resultIndex + 1) + "-" + baselineTitle.substr(0, baselineTitle.find('.'));
}

void CIteratorCommands::RunIterator()
{
    const RegistryDirectory open(CDocumentRegistry::Instance());
    if (m_iterator.BaselineTimingChanged(open)) {
        if (AskWarningMessage(Msg::IteratorBaselineTimingChanged) != WarningAnswer::Ok) return;
        m_iterator.ResetAll();
    }
    // Results still waiting to become documents wait in the dialog, ticked;
    // its OK makes them, its Close leaves them.
    m_timer1->stop();
    CItrRunDlg dialog(m_iterator, CDocumentRegistry::Instance(), m_options, &m_window);
    if (m_runDialog(dialog) != QDialog::Accepted) return;
    m_iterator.GetBaselineTitle(m_baselineTitle);
    m_timer1->start();
}

void CIteratorCommands::CreateBestDocuments()
{
    int index = 0;
    while (index < kBestResultCount && !m_iterator.GetKeepFlag(index)) ++index;
    if (index == kBestResultCount) return;  // timer 1 stays off

    const WaitCursor waiting;
    m_iterator.SetKeepFlag(index, false);
    if (CChildFrame* child = m_makeDocument()) {
        CTorqDoc& document = child->Document();
        const CTorqDoc& best = m_iterator.GetBestEngine(index);
        if (best.Cam().TimingMethod().GetIndex() == kSeatToSeatMethod) {
            document.Cam().ApplySeatToSeatRanges();
        } else {
            document.Cam().ApplyFiftyLiftRanges();
        }
        best.CopyTo(document);
        document.SetTitle(BestDocumentTitle(index, m_baselineTitle));
        document.SetModified(true);
        document.Recalculate();
        document.UpdateAllViews();
    } else {
        ShowErrorMessage(Msg::IteratorBestDocumentFailed);
    }
    m_timer1->start();
}
