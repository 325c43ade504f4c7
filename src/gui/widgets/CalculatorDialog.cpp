#include "widgets/CalculatorDialog.h"

#include "widgets/TorqSpecEdit.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

CCalculatorDialog::CCalculatorDialog(QWidget* parent) : QDialog(parent), m_helpLine(new QLabel(this))
{
    m_helpLine->setObjectName(QStringLiteral("helpLine"));
    m_helpLine->setTextFormat(Qt::PlainText);
    m_helpLine->setWordWrap(true);
    // Room for the longest prompt on two lines, so that the dialog keeps its size.
    m_helpLine->setMinimumHeight(2 * fontMetrics().lineSpacing());
    m_helpLine->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    connect(qApp, &QApplication::focusChanged, this, &CCalculatorDialog::FocusChanged);
}

CCalculatorDialog::~CCalculatorDialog()
{
    disconnect(qApp, &QApplication::focusChanged, this, &CCalculatorDialog::FocusChanged);
}

void CCalculatorDialog::BindField(QLineEdit* edit, Commit commit, Show show, Prompt prompt)
{
    m_fields.insert(edit, Field{std::move(commit), std::move(show), std::move(prompt)});
    RefreshField(edit);
}

void CCalculatorDialog::SetHelpText(QWidget* widget, const QString& text)
{
    m_helpTexts.insert(widget, text);
}

void CCalculatorDialog::RefreshField(QLineEdit* edit)
{
    const auto found = m_fields.constFind(edit);
    if (found == m_fields.constEnd()) return;
    // A refused text stays for the user to correct.
    if (edit->isModified()) return;
    edit->setText(found->show());
}

void CCalculatorDialog::RefreshFields()
{
    for (auto it = m_fields.constBegin(); it != m_fields.constEnd(); ++it) RefreshField(it.key());
}

QWidget* CCalculatorDialog::MakeHelpRow()
{
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* caption = new QLabel(tr("Help Text:"), row);
    caption->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    layout->addWidget(caption, 0, Qt::AlignTop);
    m_helpLine->setParent(row);
    layout->addWidget(m_helpLine, 1);
    return row;
}

QLabel* CCalculatorDialog::MakeValueLabel(QWidget* parent, const QString& widest)
{
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(widest) + 10);
    return label;
}

void CCalculatorDialog::SetFieldWidth(QLineEdit* edit, const QString& widest)
{
    edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(widest) + 14);
    edit->setMaximumWidth(edit->fontMetrics().horizontalAdvance(widest) * 2 + 14);
}

bool CCalculatorDialog::Contains(const QWidget* widget) const
{
    return widget != nullptr && (widget == this || isAncestorOf(widget));
}

void CCalculatorDialog::FocusChanged(QWidget* from, QWidget* to)
{
    if (Contains(from)) {
        m_helpLine->clear();
        auto* edit = qobject_cast<QLineEdit*>(from);
        const bool commits = Contains(to) && to != m_cancelButton;
        if (edit != nullptr && m_fields.contains(edit) && commits) CommitField(edit);
    }
    if (!Contains(to)) return;
    if (auto* edit = qobject_cast<QLineEdit*>(to); edit != nullptr && m_fields.contains(edit)) {
        m_helpLine->setText(m_fields.value(edit).prompt());
        // After the click that brought the focus has placed the cursor.
        QTimer::singleShot(0, edit, [edit] {
            if (edit->hasFocus()) edit->selectAll();
        });
    } else if (m_helpTexts.contains(to)) {
        m_helpLine->setText(m_helpTexts.value(to));
    }
    OnFocusMoved(Contains(from) ? from : nullptr, to);
}

void CCalculatorDialog::OnFocusMoved(QWidget* /*from*/, QWidget* /*to*/) {}

void CCalculatorDialog::CommitField(QLineEdit* edit)
{
    if (!edit->isModified()) return;
    switch (m_fields.value(edit).commit(edit->text().toStdString())) {
        case EntryResult::Refused:
            m_entriesAccepted = false;
            ReturnToRefused(edit);
            return;
        case EntryResult::Empty:
            m_entriesAccepted = true;
            edit->setModified(false);
            RefreshField(edit);
            return;
        case EntryResult::Accepted:
            m_entriesAccepted = true;
            edit->setModified(false);
            RefreshField(edit);
            OnEntryTaken(edit);
            return;
    }
}

void CCalculatorDialog::ReturnToRefused(QLineEdit* edit)
{
    // Posted: the focus is still on its way to where the user sent it.
    m_returnPending = true;
    QPointer<QLineEdit> field(edit);
    QTimer::singleShot(0, this, [this, field] {
        m_returnPending = false;
        BeepRefusal();
        if (field == nullptr) return;
        field->setFocus(Qt::OtherFocusReason);
        field->selectAll();
    });
}

bool CCalculatorDialog::CommitEntries()
{
    if (m_returnPending) return false;
    // The dialog's own focus field, also while another window is active.
    auto* edit = qobject_cast<QLineEdit*>(focusWidget());
    if (edit != nullptr && m_fields.contains(edit)) CommitField(edit);
    return m_entriesAccepted && !m_returnPending;
}
