#include "views/CamTypeDlg.h"

#include "base/ErrCode.h"
#include "base/LineFile.h"
#include "base/TorqSpec.h"

#include <QDialogButtonBox>
#include <QFocusEvent>
#include <QFormLayout>
#include <QLineEdit>
#include <QTimer>
#include <QVBoxLayout>

CCamTypeDlg::CCamTypeDlg(const QString& currentName, QWidget* parent)
    : QDialog(parent), m_edit(new QLineEdit(this))
{
    setWindowTitle(tr("Enter a Custom Cam Description"));
    m_edit->setObjectName(QStringLiteral("description"));
    // The description is stored as a name line of the engine and cam files.
    m_edit->setMaxLength(static_cast<int>(kMaxNameLineLength));
    m_edit->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('x')) * 40);
    if (!currentName.isEmpty()) m_edit->setText(currentName);
    m_edit->installEventFilter(this);

    auto* form = new QFormLayout;
    form->addRow(tr("Description:"), m_edit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CCamTypeDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CCamTypeDlg::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    m_edit->setFocus(Qt::OtherFocusReason);
    m_edit->selectAll();
}

void CCamTypeDlg::accept()
{
    const QString text = m_edit->text().trimmed();
    if (text.isEmpty()) {
        ShowErrorMessage(Msg::CamDescriptionRequired);
        m_edit->setFocus(Qt::OtherFocusReason);
        return;
    }
    m_description = text;
    QDialog::accept();
}

bool CCamTypeDlg::eventFilter(QObject* watched, QEvent* event)
{
    // Whatever brings the focus to the description selects all of it, so
    // that typing replaces the old name.
    if (watched == m_edit && event->type() == QEvent::FocusIn) {
        QTimer::singleShot(0, m_edit, &QLineEdit::selectAll);
    }
    return QDialog::eventFilter(watched, event);
}
