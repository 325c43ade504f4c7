#include "widgets/TorqSpecEdit.h"

#include "base/ErrCode.h"
#include "base/LineFile.h"
#include "base/TorqSpec.h"
#include "model/TorqDoc.h"
#include "widgets/StatusText.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QMetaObject>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QToolButton>

namespace {

// The longest name a parameter keeps through a save and a reload.
constexpr int kMaxTypedLength = static_cast<int>(kMaxNameLineLength);

// Room for the focus frame around the value field: 2 pixels at the left and
// top, 3 at the right and bottom.
constexpr int kFrameLeft = 2;
constexpr int kFrameTop = 2;
constexpr int kFrameRight = 3;
constexpr int kFrameBottom = 3;
// Distance from the field's left edge to the editor's left edge.
constexpr int kEditorLeftOffset = 8;

const QColor kEditableColour(0, 0, 128);  // navy: the user edits or chooses this value
const QColor kComputedColour(0, 100, 0);  // dark green: the program computes this value

// A choice name shows a doubled '&' as one, as menus do.
QString DisplayTextOf(const CTorqSpec& parameter, bool withUnits)
{
    QString text =
        QString::fromStdString(withUnits ? parameter.GetTextWithUnits() : parameter.GetText()).trimmed();
    if (dynamic_cast<const CPartTypeSpec*>(&parameter) != nullptr) {
        text.replace(QStringLiteral("&&"), QStringLiteral("&"));
    }
    return text;
}

QIcon MarkIcon(bool tick)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(tick ? QColor(0, 128, 0) : QColor(176, 0, 0), 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    if (tick) {
        QPainterPath path(QPointF(3, 8.5));
        path.lineTo(6.5, 12);
        path.lineTo(13, 4);
        painter.drawPath(path);
    } else {
        painter.drawLine(QPointF(4, 4), QPointF(12, 12));
        painter.drawLine(QPointF(12, 4), QPointF(4, 12));
    }
    return QIcon(pixmap);
}

CTorqSpecEditDlg* g_openEditor = nullptr;

}  // namespace

// ---------------------------------------------------------------- CTorqSpecEditCtrl

CTorqSpecEditCtrl::CTorqSpecEditCtrl(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_Hover, false);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    UpdateFocusPolicy();
}

CTorqSpecEditCtrl::~CTorqSpecEditCtrl()
{
    if (m_editor != nullptr) {
        // The editor goes with its control; nobody waits for its end any more.
        disconnect(m_editor, nullptr, this, nullptr);
        delete m_editor;
    }
}

void CTorqSpecEditCtrl::Bind(int style, CTorqSpec& parameter, int editMode, MenuFiller menu,
                             CTorqDoc* document)
{
    TORQ_ASSERT(m_parameter == nullptr);  // each control binds once
    TORQ_ASSERT(style >= kNameStyle && style <= kValueStyle);
    m_style = style;
    m_parameter = &parameter;
    m_menuFiller = std::move(menu);
    m_document = document;
    SetEditMode(editMode);
    setAccessibleName(QString::fromUtf8(parameter.GetName()));
}

void CTorqSpecEditCtrl::Unbind()
{
    if (m_editor != nullptr) m_editor->reject();
    m_parameter = nullptr;
    m_document = nullptr;
    m_menuFiller = nullptr;
}

void CTorqSpecEditCtrl::SetEditMode(int editMode)
{
    TORQ_ASSERT(editMode >= kEditable && editMode <= kComputed);
    if (editMode == m_editMode) return;
    m_editMode = editMode;
    UpdateFocusPolicy();
    update();
}

void CTorqSpecEditCtrl::UpdateFocusPolicy()
{
    // A computed value is never edited, so the keyboard passes it by.
    setFocusPolicy(m_editMode == kComputed ? Qt::NoFocus : Qt::StrongFocus);
}

void CTorqSpecEditCtrl::FillMenu(QMenu& menu) const
{
    if (m_menuFiller) m_menuFiller(menu);
}

void CTorqSpecEditCtrl::Refresh(bool withUnits)
{
    TORQ_ASSERT(m_parameter != nullptr);
    ShowText(DisplayTextOf(*m_parameter, withUnits));
}

void CTorqSpecEditCtrl::ShowText(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed == m_text) return;
    m_text = trimmed;
    setToolTip(m_style == kNameStyle ? m_text : QString());
    setAccessibleDescription(m_text);
    update();
}

QRect CTorqSpecEditCtrl::FieldRect() const
{
    return rect().adjusted(kFrameLeft, kFrameTop, -kFrameRight, -kFrameBottom);
}

QSize CTorqSpecEditCtrl::sizeHint() const
{
    const QFontMetrics metrics = fontMetrics();
    const int height = metrics.height() + 2 + kFrameTop + kFrameBottom;
    int width = 0;
    switch (m_style) {
        case kNameStyle:
            width = metrics.horizontalAdvance(QStringLiteral("Canted/Rectangular Pro-Stock"));
            break;
        case kCountStyle:
            width = metrics.horizontalAdvance(QStringLiteral("00.00"));
            break;
        default:
            width = metrics.horizontalAdvance(QStringLiteral("100000 rpm"));
            break;
    }
    // The text stands 4 pixels inside the field at the left and 3 at the right.
    return {width + 7 + kFrameLeft + kFrameRight, height};
}

QSize CTorqSpecEditCtrl::minimumSizeHint() const
{
    const QSize hint = sizeHint();
    // Names give way (they are cut with "..."); numbers keep their room.
    if (m_style == kNameStyle)
        return {fontMetrics().horizontalAdvance(QStringLiteral("Chevy 350")), hint.height()};
    return hint;
}

bool CTorqSpecEditCtrl::BeginEdit()
{
    TORQ_ASSERT(m_parameter != nullptr);  // a control used before binding
    if (m_editMode == kComputed || !isEnabled() || CTorqSpecEditDlg::OpenEditor() != nullptr) return false;
    ShowStatusText(this, QString::fromStdString(m_parameter->GetPrompt()));
    m_editor = new CTorqSpecEditDlg(*this);
    connect(m_editor, &QDialog::finished, this, &CTorqSpecEditCtrl::OnEditorFinished);
    m_editor->setWindowModality(Qt::ApplicationModal);
    m_editor->show();
    m_editor->activateWindow();
    return true;
}

void CTorqSpecEditCtrl::CloseEditor()
{
    if (m_editor == nullptr) return;
    m_editor->ShowCurrentValue();
    m_editor->TakeChoice();
    QMetaObject::invokeMethod(m_editor.data(), &CTorqSpecEditDlg::CloseAfterChoice, Qt::QueuedConnection);
}

CTorqSpecEditCtrl::ApplyResult CTorqSpecEditCtrl::ApplyText(const QString& text)
{
    TORQ_ASSERT(m_parameter != nullptr);
    const std::string typed = text.trimmed().toStdString();
    if (!m_parameter->SetFromText(typed, true)) return ApplyResult::Refused;
    if (m_document != nullptr && !m_document->ConfirmChangeAgainstCalculator(*m_parameter)) {
        return ApplyResult::Declined;
    }
    const bool stored = m_parameter->SetFromText(typed, false);
    TORQ_ASSERT(stored);  // the check above accepted the same text
    return ApplyResult::Stored;
}

void CTorqSpecEditCtrl::OnEditorFinished(int result)
{
    CTorqSpecEditDlg* editor = m_editor;
    m_editor = nullptr;
    if (editor != nullptr) editor->deleteLater();
    if (focusPolicy() != Qt::NoFocus && isEnabled() && isVisible()) {
        if (window() != nullptr) window()->activateWindow();
        setFocus(Qt::OtherFocusReason);
    }
    ShowStatusText(this, QString::fromLatin1(kEditHintStatusText));
    emit EditDone(this, result == QDialog::Accepted);
}

QColor CTorqSpecEditCtrl::TextColour() const
{
    if (!isEnabled()) return palette().color(QPalette::Disabled, QPalette::WindowText);
    return m_editMode == kComputed ? kComputedColour : kEditableColour;
}

void CTorqSpecEditCtrl::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    const QRect field = FieldRect();
    painter.fillRect(field, palette().color(QPalette::Button));
    // A sunken edge: shadow at the top and left, light at the bottom and right.
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(field.topLeft(), field.topRight());
    painter.drawLine(field.topLeft(), field.bottomLeft());
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(field.bottomLeft(), field.bottomRight());
    painter.drawLine(field.topRight(), field.bottomRight());

    const QRect textRect = field.adjusted(4, 1, -3, -1);
    const QString shown = fontMetrics().elidedText(m_text, Qt::ElideRight, textRect.width());
    painter.setPen(TextColour());
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, shown);

    if (hasFocus()) {
        painter.setPen(Qt::black);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void CTorqSpecEditCtrl::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    event->accept();
    if (m_parameter == nullptr || m_editMode == kComputed) return;
    if (!hasFocus()) setFocus(Qt::MouseFocusReason);
    BeginEdit();
}

void CTorqSpecEditCtrl::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const Qt::KeyboardModifiers chord = event->modifiers() & ~Qt::KeypadModifier;
    if (enter && chord == Qt::NoModifier && m_parameter != nullptr) {
        // Enter edits the value; it never reaches a default button.
        event->accept();
        BeginEdit();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CTorqSpecEditCtrl::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    update();
    ShowStatusText(this, QString::fromLatin1(kEditHintStatusText));
    emit FocusGained(this);
}

void CTorqSpecEditCtrl::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    update();
    if (m_editor == nullptr) ShowStatusText(this, QString::fromLatin1(kReadyStatusText));
}

void CTorqSpecEditCtrl::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::FontChange) update();
}

// ---------------------------------------------------------------- CTorqSpecEditDlg

CTorqSpecEditDlg::CTorqSpecEditDlg(CTorqSpecEditCtrl& control)
    : QDialog(&control, Qt::Dialog | Qt::FramelessWindowHint),
      m_control(control),
      m_textBox(new QLineEdit(this)),
      m_menuButton(new QToolButton(this)),
      m_okButton(new QPushButton(this)),
      m_cancelButton(new QPushButton(this)),
      m_menu(new QMenu(this))
{
    TORQ_ASSERT(g_openEditor == nullptr);  // one editor at a time
    g_openEditor = this;
    setObjectName(QStringLiteral("parameterEditor"));
    setWindowTitle(QString::fromUtf8(control.Parameter()->GetName()));

    SetUpTextBox();
    SetUpMenuButton();
    SetUpOkAndCancel();
    LayOutInRow();

    ShowCurrentValue();
    m_textBox->setReadOnly(control.GetEditMode() != CTorqSpecEditCtrl::kEditable);
    adjustSize();
    PlaceOverControl();
}

void CTorqSpecEditDlg::SetUpTextBox()
{
    m_textBox->setObjectName(QStringLiteral("textBox"));
    m_textBox->setMaxLength(kMaxTypedLength);
    m_textBox->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("Canted/Rectangular Ports")));
    m_textBox->setAccessibleName(QString::fromUtf8(m_control.Parameter()->GetName()));
}

void CTorqSpecEditDlg::SetUpMenuButton()
{
    m_menuButton->setObjectName(QStringLiteral("menuButton"));
    m_menuButton->setArrowType(Qt::DownArrow);
    m_menuButton->setPopupMode(QToolButton::InstantPopup);
    m_menuButton->setFocusPolicy(Qt::StrongFocus);
    m_menuButton->setToolTip(tr("Choices (Alt+Down)"));
    m_menuButton->setAccessibleName(tr("Choices"));
    m_control.FillMenu(*m_menu);
    m_menuButton->setMenu(m_menu);
    m_menuButton->setEnabled(!m_menu->isEmpty());
}

void CTorqSpecEditDlg::SetUpOkAndCancel()
{
    m_okButton->setObjectName(QStringLiteral("okButton"));
    m_okButton->setIcon(MarkIcon(true));
    m_okButton->setToolTip(tr("OK"));
    m_okButton->setAccessibleName(tr("OK"));
    m_okButton->setDefault(true);
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    m_cancelButton->setIcon(MarkIcon(false));
    m_cancelButton->setToolTip(tr("Cancel"));
    m_cancelButton->setAccessibleName(tr("Cancel"));
    m_cancelButton->setAutoDefault(false);
    const int buttonWidth = m_okButton->sizeHint().height() + 6;
    m_okButton->setFixedWidth(buttonWidth);
    m_cancelButton->setFixedWidth(buttonWidth);
    connect(m_okButton, &QPushButton::clicked, this, &CTorqSpecEditDlg::accept);
    connect(m_cancelButton, &QPushButton::clicked, this, &CTorqSpecEditDlg::reject);
}

// Text box, menu button, OK and Cancel in one row, in that tab order, each
// watched for the editor's keys.
void CTorqSpecEditDlg::LayOutInRow()
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(3);
    layout->addWidget(m_textBox, 1);
    layout->addWidget(m_menuButton);
    layout->addWidget(m_okButton);
    layout->addWidget(m_cancelButton);
    setTabOrder(m_textBox, m_menuButton);
    setTabOrder(m_menuButton, m_okButton);
    setTabOrder(m_okButton, m_cancelButton);

    m_textBox->installEventFilter(this);
    m_menuButton->installEventFilter(this);
    m_okButton->installEventFilter(this);
    m_cancelButton->installEventFilter(this);
}

CTorqSpecEditDlg::~CTorqSpecEditDlg()
{
    if (g_openEditor == this) g_openEditor = nullptr;
}

CTorqSpecEditDlg* CTorqSpecEditDlg::OpenEditor()
{
    return g_openEditor;
}

void CTorqSpecEditDlg::ShowCurrentValue()
{
    if (const CTorqSpec* parameter = m_control.Parameter())
        m_textBox->setText(DisplayTextOf(*parameter, false));
    m_textBox->selectAll();
}

void CTorqSpecEditDlg::PlaceOverControl()
{
    const QRect field = m_control.FieldRect();
    const QPoint fieldTopLeft = m_control.mapToGlobal(field.topLeft());
    int top = fieldTopLeft.y();
    if (field.height() < height()) top += (field.height() - height()) / 2;
    move(fieldTopLeft.x() - kEditorLeftOffset, top);
}

void CTorqSpecEditDlg::DropMenu()
{
    if (m_menuButton->isEnabled()) m_menuButton->showMenu();
}

void CTorqSpecEditDlg::CloseAfterChoice()
{
    done(QDialog::Accepted);
}

// A decimal comma is the likeliest reason a number is refused where the
// user's own locale writes one: say which decimal point the program reads.
void CTorqSpecEditDlg::ShowRefusalHint()
{
    const CTorqSpec* parameter = m_control.Parameter();
    const bool numeric = dynamic_cast<const CFloatPtSpec*>(parameter) != nullptr ||
                         dynamic_cast<const CIntegerSpec*>(parameter) != nullptr;
    const QString prompt = QString::fromStdString(parameter->GetPrompt());
    if (numeric && m_textBox->text().contains(QLatin1Char(','))) {
        ShowStatusText(&m_control, QStringLiteral("The decimal point is \".\" (9.5, not 9,5). ") + prompt);
    } else {
        ShowStatusText(&m_control, prompt);
    }
}

void CTorqSpecEditDlg::accept()
{
    if (m_control.GetEditMode() == CTorqSpecEditCtrl::kEditable) {
        switch (m_control.ApplyText(m_textBox->text())) {
            case CTorqSpecEditCtrl::ApplyResult::Refused:
                BeepRefusal();
                ShowRefusalHint();
                m_textBox->setFocus(Qt::OtherFocusReason);
                return;
            case CTorqSpecEditCtrl::ApplyResult::Declined:
                reject();
                return;
            case CTorqSpecEditCtrl::ApplyResult::Stored:
                break;
        }
    }
    QDialog::accept();
}

void CTorqSpecEditDlg::done(int result)
{
    // A posted close may arrive after the user has closed the editor already.
    if (m_closing) return;
    m_closing = true;
    if (g_openEditor == this) g_openEditor = nullptr;
    // The close that follows a choice may come while the menu is dropped
    // again (its own event loop runs it): the menu goes with its editor, so
    // that no choice is taken from it once the edit is over, which would
    // change the engine without the edit's end (recalculated, run, recorded
    // for Undo).
    if (m_menu->isVisible()) m_menu->close();
    // Once a choice has changed the engine, the edit ends as done whatever
    // closes the editor (Escape pressed before the posted close came): it is
    // recalculated, run and recorded for Undo like any other.
    QDialog::done(m_choiceTaken ? QDialog::Accepted : result);
}

bool CTorqSpecEditDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool altDown = key->key() == Qt::Key_Down && (key->modifiers() & Qt::AltModifier) != 0;
        const bool onMenuButton =
            watched == m_menuButton && (key->key() == Qt::Key_Down || key->key() == Qt::Key_F4);
        if (altDown || onMenuButton) {
            DropMenu();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CTorqSpecEditDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_textBox->isReadOnly()) {
        m_textBox->setFocus(Qt::OtherFocusReason);
        m_textBox->selectAll();
    } else if (m_menuButton->isEnabled()) {
        m_menuButton->setFocus(Qt::OtherFocusReason);
    } else {
        m_okButton->setFocus(Qt::OtherFocusReason);
    }
}

void CTorqSpecEditDlg::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    // The editor has no window frame of its own: draw a plain border.
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Shadow));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
