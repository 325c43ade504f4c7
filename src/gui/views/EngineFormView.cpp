#include "views/EngineFormView.h"

#include "base/ErrCode.h"
#include "commands/EngineHistory.h"
#include "model/EnablingRules.h"
#include "model/MenuCommands.h"
#include "widgets/TorqSpecEdit.h"

#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace {

using Place = EngineFormBinding::Place;
using AutoLabel = EngineFormBinding::AutoLabel;

constexpr int kGridSpacing = 6;

const char* const kGroupTitles[] = {"  SHORT BLOCK", "  CYLINDER HEADS", "  COMPRESSION",
                                    "  INDUCTION",   "  EXHAUST",        "  CAMSHAFT"};

// A value as a change's name gives it: the form's text, a number without
// the zeros its display format pads it with ("10.50" reads "10.5").
QString ValueNameOf(const CTorqSpec& parameter)
{
    QString text = QString::fromStdString(parameter.GetTextWithUnits()).trimmed();
    if (dynamic_cast<const CPartTypeSpec*>(&parameter) != nullptr) {
        return text.replace(QStringLiteral("&&"), QStringLiteral("&"));
    }
    if (dynamic_cast<const CFloatPtSpec*>(&parameter) == nullptr || !parameter.IsSet()) return text;
    const qsizetype numberEnd = text.indexOf(QLatin1Char(' '));
    QString number = text.left(numberEnd);
    const QString units = numberEnd < 0 ? QString() : text.mid(numberEnd);
    if (number.contains(QLatin1Char('.'))) {
        while (number.endsWith(QLatin1Char('0'))) number.chop(1);
        if (number.endsWith(QLatin1Char('.'))) number.chop(1);
    }
    return number + units;
}

QLabel* MakeLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

}  // namespace

// ---------------------------------------------------------------- CEngineFormView

CEngineFormView::CEngineFormView(CTorqDoc& document, QWidget* parent)
    : QScrollArea(parent), m_document(&document)
{
    setObjectName(QStringLiteral("engineForm"));
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // The keyboard goes from value to value; the sheet itself takes no focus.
    setFocusPolicy(Qt::NoFocus);
    BuildForm();
    m_document->AddObserver(this);
    UpdateView();
}

CEngineFormView::~CEngineFormView()
{
    if (m_document != nullptr) m_document->RemoveObserver(this);
}

void CEngineFormView::BuildForm()
{
    m_form = new QWidget;
    m_form->setObjectName(QStringLiteral("engineFormSheet"));
    auto* stack = new QVBoxLayout(m_form);
    stack->setContentsMargins(6, 6, 6, 6);
    stack->setSpacing(6);
    AddHint(*stack);
    const GroupGrids grids = AddGroups(*stack);
    stack->addStretch(1);

    for (const EngineFormBinding& binding : EngineFormBindings()) {
        const auto group = static_cast<std::size_t>(binding.group);
        AddControl(binding, m_groups[group], grids[group]);
    }
    AddCamTimingHeadings(*grids[static_cast<std::size_t>(EngineGroup::Camshaft)]);
    AlignLabelColumns(grids);

    for (std::size_t i = 1; i < m_controls.size(); ++i) setTabOrder(m_controls[i - 1], m_controls[i]);
    setWidget(m_form);
}

void CEngineFormView::AddHint(QVBoxLayout& stack)
{
    // A hint above the groups, shown only while the form asks for one.
    m_hint = MakeLabel(QString(), m_form);
    m_hint->setObjectName(QStringLiteral("formHint"));
    m_hint->setWordWrap(true);
    m_hint->setStyleSheet(
        QStringLiteral("QLabel { background: #e8f0fb; color: #102040; border: 1px solid #7a96c0;"
                       " padding: 4px 6px; }"));
    m_hint->hide();
    stack.addWidget(m_hint);
}

CEngineFormView::GroupGrids CEngineFormView::AddGroups(QVBoxLayout& stack)
{
    GroupGrids grids{};
    for (std::size_t i = 0; i < m_groups.size(); ++i) {
        m_groups[i] = new CEngineFormGroup(QString::fromLatin1(kGroupTitles[i]), m_form);
        grids[i] = new QGridLayout(m_groups[i]);
        grids[i]->setContentsMargins(0, 0, 0, 0);  // the group's own margins frame it
        grids[i]->setHorizontalSpacing(kGridSpacing);
        grids[i]->setVerticalSpacing(0);
        grids[i]->setColumnStretch(1, 1);
        grids[i]->setColumnStretch(3, 1);
        stack.addWidget(m_groups[i]);
    }
    return grids;
}

// The camshaft's valve events: nominal at the left, after advance/retard at the right.
void CEngineFormView::AddCamTimingHeadings(QGridLayout& camGrid)
{
    CEngineFormGroup* cam = m_groups[static_cast<std::size_t>(EngineGroup::Camshaft)];
    auto* rule = new QFrame(cam);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    camGrid.addWidget(rule, kCamHeadingRow - 1, 0, 1, 4);
    m_rules.push_back(rule);
    for (const auto& [text, column] : {std::pair{"Nominal Timing", 0}, std::pair{"Actual Timing", 2}}) {
        QLabel* heading = MakeLabel(QString::fromLatin1(text), cam);
        camGrid.addWidget(heading, kCamHeadingRow, column, 1, 2);
        m_staticTexts.push_back(heading);
    }
}

// Every group's label columns as wide as the widest one-line label of the
// form, so that all values stand in the same two columns from group to
// group; the few longer labels ("Compression Ratio:", "Timing@
// Adv(+)/Ret(-):") take two lines rather than push the values out of the pane.
void CEngineFormView::AlignLabelColumns(const GroupGrids& grids)
{
    int leftWidth = 0;
    int rightWidth = 0;
    for (std::size_t i = 0; i < m_controls.size(); ++i) {
        const int width = m_labels[i]->sizeHint().width();
        if (m_bindings[i]->place == Place::Right) {
            rightWidth = std::max(rightWidth, width);
        } else if (m_bindings[i]->place != Place::LongLabel) {
            leftWidth = std::max(leftWidth, width);
        }
    }
    for (std::size_t i = 0; i < m_controls.size(); ++i) {
        if (m_bindings[i]->place == Place::LongLabel) m_labels[i]->setFixedWidth(leftWidth);
    }
    for (QGridLayout* grid : grids) {
        grid->setColumnMinimumWidth(0, leftWidth);
        grid->setColumnMinimumWidth(2, rightWidth);
    }
}

CTorqSpecEditCtrl* CEngineFormView::AddControl(const EngineFormBinding& binding, QWidget* group,
                                               QGridLayout* grid)
{
    auto* control = new CTorqSpecEditCtrl(group);
    control->setObjectName(QString::fromUtf8(binding.parameter(*m_document).GetName()));
    CTorqSpecEditCtrl::MenuFiller filler;
    if (binding.menu != FormMenu::None) {
        filler = [this, menu = binding.menu](QMenu& popup) {
            if (m_document == nullptr) return;
            FillFormMenu(popup, menu, *m_document, [this](int command) { OnMenuCommand(command); });
        };
    }
    control->Bind(binding.style, binding.parameter(*m_document), binding.editMode, std::move(filler),
                  m_document);
    connect(control, &CTorqSpecEditCtrl::EditDone, this, &CEngineFormView::OnEditDone);
    // A value that gets the focus scrolls into view before its editor opens over it.
    connect(control, &CTorqSpecEditCtrl::FocusGained, this,
            [this](CTorqSpecEditCtrl* focused) { ensureWidgetVisible(focused); });

    QLabel* label = MakeLabel(QString::fromLatin1(binding.label), group);
    label->setBuddy(control);

    // An "(Auto)" label stands right of its value, in the right pair's label column.
    QLabel* autoLabel = nullptr;
    if (binding.autoLabel != AutoLabel::None) {
        autoLabel = MakeLabel(QString(), group);
        grid->addWidget(autoLabel, binding.row, 2, 1, 2);
    }

    const int row = binding.row;
    switch (binding.place) {
        case Place::Full:
            grid->addWidget(label, row, 0);
            grid->addWidget(control, row, 1, 1, 3);
            break;
        case Place::Left:
            grid->addWidget(label, row, 0);
            grid->addWidget(control, row, 1);
            break;
        case Place::Right:
            label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            grid->addWidget(label, row, 2);
            grid->addWidget(control, row, 3);
            break;
        case Place::LongLabel:
            label->setWordWrap(true);
            grid->addWidget(label, row, 0);
            grid->addWidget(control, row, 1);
            break;
    }

    m_controls.push_back(control);
    m_bindings.push_back(&binding);
    m_labels.push_back(label);
    m_autoLabels.push_back(autoLabel);
    return control;
}

void CEngineFormView::UpdateView()
{
    if (m_document == nullptr) return;
    CTorqDoc& document = *m_document;
    const int sizeMode =
        document.IsAutoValveSizes() ? CTorqSpecEditCtrl::kChooseOnly : CTorqSpecEditCtrl::kEditable;
    const int liftMode =
        document.Cam().IsAutoValveLift() ? CTorqSpecEditCtrl::kChooseOnly : CTorqSpecEditCtrl::kEditable;
    for (std::size_t i = 0; i < m_controls.size(); ++i) {
        const EngineFormBinding& binding = *m_bindings[i];
        if (binding.autoLabel == AutoLabel::ValveSize) m_controls[i]->SetEditMode(sizeMode);
        if (binding.autoLabel == AutoLabel::ValveLift) m_controls[i]->SetEditMode(liftMode);
        m_controls[i]->Refresh(binding.withUnits);
        if (QLabel* autoLabel = m_autoLabels[i]) {
            const bool automatic = binding.autoLabel == AutoLabel::ValveSize
                                       ? document.IsAutoValveSizes()
                                       : document.Cam().IsAutoValveLift();
            autoLabel->setText(automatic ? QStringLiteral("(Auto)") : QString());
        }
    }
    ApplyEnablingRules();
    UpdateGroupStatus();

    if (m_firstUpdate) {
        m_firstUpdate = false;
        m_controls.front()->setFocus(Qt::OtherFocusReason);
    }
}

void CEngineFormView::SetHint(const QString& text)
{
    m_hint->setText(text);
    m_hint->setVisible(!text.isEmpty());
}

QString CEngineFormView::Hint() const
{
    return m_hint->isHidden() ? QString() : m_hint->text();
}

void CEngineFormView::showEvent(QShowEvent* event)
{
    QScrollArea::showEvent(event);
    // A form created while hidden gives the short block the focus when it
    // first appears.
    if (!m_shownOnce) {
        m_shownOnce = true;
        m_controls.front()->setFocus(Qt::OtherFocusReason);
    }
}

void CEngineFormView::SetControlEnabled(std::size_t index, bool enabled)
{
    m_controls[index]->setEnabled(enabled);
    m_labels[index]->setEnabled(enabled);
}

void CEngineFormView::ApplyEnablingRules()
{
    const CTorqDoc& document = *m_document;
    for (std::size_t i = 0; i < m_controls.size(); ++i) {
        SetControlEnabled(i, IsParameterEnabled(document, *m_controls[i]->Parameter()));
    }
    if (ShowsForcedInductionExhaust(document)) {
        ControlFor(document.ExhaustSystem())->ShowText(QString::fromLatin1(kForcedInductionExhaustText));
    }
}

void CEngineFormView::UpdateGroupStatus()
{
    for (std::size_t i = 0; i < m_groups.size(); ++i) {
        m_groups[i]->SetComplete(m_document->IsGroupComplete(static_cast<EngineGroup>(i)));
    }
}

bool CEngineFormView::IsGroupShownComplete(EngineGroup group) const
{
    return m_groups[static_cast<std::size_t>(group)]->IsShownComplete();
}

CTorqSpecEditCtrl* CEngineFormView::ControlFor(const CTorqSpec& parameter) const
{
    for (CTorqSpecEditCtrl* control : m_controls) {
        if (control->Parameter() == &parameter) return control;
    }
    return nullptr;
}

CTorqSpecEditCtrl* CEngineFormView::Control(const QString& parameterName) const
{
    for (CTorqSpecEditCtrl* control : m_controls) {
        if (control->objectName() == parameterName) return control;
    }
    return nullptr;
}

QLabel* CEngineFormView::LabelOf(const CTorqSpecEditCtrl* control) const
{
    const auto found = std::find(m_controls.begin(), m_controls.end(), control);
    return found == m_controls.end() ? nullptr : m_labels[std::size_t(found - m_controls.begin())];
}

QLabel* CEngineFormView::AutoLabelOf(const CTorqSpecEditCtrl* control) const
{
    const auto found = std::find(m_controls.begin(), m_controls.end(), control);
    return found == m_controls.end() ? nullptr : m_autoLabels[std::size_t(found - m_controls.begin())];
}

CTorqSpecEditCtrl* CEngineFormView::ControlWithOpenEditor() const
{
    for (CTorqSpecEditCtrl* control : m_controls) {
        if (control->IsEditorOpen()) return control;
    }
    return nullptr;
}

void CEngineFormView::OnDocumentChanged(CTorqDoc& document, DocumentChange change)
{
    if (&document != m_document) return;
    switch (change) {
        case DocumentChange::Updated:
            UpdateView();
            break;
        case DocumentChange::ChoiceApplied:
            // The choice is taken: the open editor shows it and closes with OK,
            // and the edit's end recalculates the engine.
            UpdateView();
            if (CTorqSpecEditCtrl* control = ControlWithOpenEditor()) control->CloseEditor();
            break;
        case DocumentChange::Destroyed:
            DetachDocument();
            break;
    }
}

void CEngineFormView::DetachDocument()
{
    if (m_document == nullptr) return;
    m_document->RemoveObserver(this);
    for (CTorqSpecEditCtrl* control : m_controls) control->Unbind();
    m_document = nullptr;
}

void CEngineFormView::OnEditDone(CTorqSpecEditCtrl* control, bool ok)
{
    const int command = std::exchange(m_editCommand, 0);
    if (!ok || m_document == nullptr) return;
    FocusNextAfter(control);
    m_document->Recalculate();
    RecordEngineChange(*m_document, ChangeName(*control, command));
    m_document->UpdateAllViews();
}

// What Edit > Undo calls the edit: the parameter and its new value as the
// form shows it ("Compression Ratio 10.5", "Bore 4.03 in"), or the switch
// that a popup entry turned.
QString CEngineFormView::ChangeName(const CTorqSpecEditCtrl& control, int command) const
{
    const auto onOff = [](const char* name, bool on) {
        return QString::fromLatin1(name) + (on ? QStringLiteral(" On") : QStringLiteral(" Off"));
    };
    const CTorqDoc& document = *m_document;
    const CTorqSpec* parameter = control.Parameter();
    switch (command) {
        case Cmd::kAutoValveSizes:
            return onOff("Auto Calculate Valve Sizes", document.IsAutoValveSizes());
        case Cmd::kAutoValveLift:
            return onOff("Auto Calculate Valve Lift", document.Cam().IsAutoValveLift());
        case Cmd::kOneIntakeValve:
        case Cmd::kTwoIntakeValves:
            parameter = &document.IntakeValveCount();
            break;
        case Cmd::kOneExhaustValve:
        case Cmd::kTwoExhaustValves:
            parameter = &document.ExhaustValveCount();
            break;
        default:
            break;
    }
    return QString::fromUtf8(parameter->GetName()) + QLatin1Char(' ') + ValueNameOf(*parameter);
}

void CEngineFormView::FocusNextAfter(CTorqSpecEditCtrl* control)
{
    const auto found = std::find(m_controls.begin(), m_controls.end(), control);
    if (found == m_controls.end()) return;
    const std::size_t count = m_controls.size();
    const auto index = std::size_t(found - m_controls.begin());
    for (std::size_t step = 1; step <= count; ++step) {
        CTorqSpecEditCtrl* next = m_controls[(index + step) % count];
        if (next->focusPolicy() != Qt::NoFocus && next->isEnabled()) {
            next->setFocus(Qt::TabFocusReason);
            ensureWidgetVisible(next);
            return;
        }
    }
}
