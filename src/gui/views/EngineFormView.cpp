#include "views/EngineFormView.h"

#include "base/ErrCode.h"
#include "dialogs/AirFlowDlg.h"
#include "dialogs/CamTypeDlg.h"
#include "model/EnablingRules.h"
#include "model/MenuCommands.h"
#include "views/EngineHistory.h"
#include "views/TorqSpecEdit.h"

#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace {

// Where a value stands in its group's grid of two label/value pairs.
enum class Place {
    Full,       // label at the left, the value across the rest of the row
    Left,       // the left pair (an "(Auto)" label goes to the right of it)
    Right,      // the right pair, for short labels
    LongLabel,  // the left pair, with a label that takes two lines where one is too narrow
};

enum class AutoLabel { None, ValveSize, ValveLift };

constexpr int kGridSpacing = 6;

const char* const kGroupTitles[] = {"  SHORT BLOCK", "  CYLINDER HEADS", "  COMPRESSION",
                                    "  INDUCTION",   "  EXHAUST",        "  CAMSHAFT"};

// The two group pictures, made once for every form.
QImage MakeStatusImage(bool complete)
{
    constexpr int kSize = 14;
    QImage image(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(complete ? QColor(0, 140, 0) : QColor(200, 30, 30));
    painter.drawEllipse(QRectF(0.5, 0.5, kSize - 1, kSize - 1));
    painter.setPen(QPen(Qt::white, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    if (complete) {
        QPainterPath tick(QPointF(3.5, 7.5));
        tick.lineTo(6.0, 10.0);
        tick.lineTo(10.5, 4.0);
        painter.drawPath(tick);
    } else {
        painter.drawLine(QPointF(4.5, 4.5), QPointF(9.5, 9.5));
        painter.drawLine(QPointF(9.5, 4.5), QPointF(4.5, 9.5));
    }
    return image;
}

const QImage& StatusImage(bool complete)
{
    static const QImage images[2] = {MakeStatusImage(false), MakeStatusImage(true)};
    return images[complete ? 1 : 0];
}

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

// ---------------------------------------------------------------- binding table

struct CEngineFormView::Binding {
    EngineGroup group;
    const char* label;
    CTorqSpec& (*parameter)(CTorqDoc&);
    CTorqSpecEditCtrl::Style style;
    CTorqSpecEditCtrl::EditMode editMode;
    FormMenu menu;
    bool withUnits;
    int row;
    Place place;
    AutoLabel autoLabel = AutoLabel::None;
};

namespace {

using G = EngineGroup;
using M = FormMenu;
using P = Place;
using A = AutoLabel;
using enum CTorqSpecEditCtrl::Style;
using enum CTorqSpecEditCtrl::EditMode;

// Row of the camshaft group's "Nominal Timing" / "Actual Timing" headings;
// the etched line runs in the row above it.
constexpr int kCamHeadingRow = 12;

}  // namespace

#define PARAM(expression) [](CTorqDoc& d) -> CTorqSpec& { return d.expression; }

// The 53 values in tab order: group, label, parameter; then style, edit mode,
// popup menu, with units, row and place in the group.
// clang-format off
static const CEngineFormView::Binding kBindings[] = {
    {G::ShortBlock, "Block:", PARAM(ShortBlockType()),
     kNameStyle, kEditable, M::ShortBlocks, true, 0, P::Full},
    {G::ShortBlock, "Bore:", PARAM(Bore()),
     kValueStyle, kEditable, M::None, true, 1, P::Left},
    {G::ShortBlock, "Stroke:", PARAM(Stroke()),
     kValueStyle, kEditable, M::None, true, 1, P::Right},
    {G::ShortBlock, "Cylinders:", PARAM(NumberOfCylinders()),
     kCountStyle, kEditable, M::None, true, 2, P::Left},
    {G::ShortBlock, "Cyl Vol:", PARAM(CylinderVolume()),
     kValueStyle, kComputed, M::None, true, 3, P::Left},
    {G::ShortBlock, "Total Vol:", PARAM(TotalBlockVolume()),
     kValueStyle, kComputed, M::None, true, 3, P::Right},

    {G::CylinderHeads, "Cylinder Heads:", PARAM(CylinderHeadType()),
     kNameStyle, kChooseOnly, M::CylinderHeads, true, 0, P::Full},
    {G::CylinderHeads, "Airflow File:", PARAM(AirflowFile()),
     kNameStyle, kChooseOnly, M::AirflowFile, true, 1, P::Full},
    {G::CylinderHeads, "Intake Valves:", PARAM(IntakeValveCount()),
     kNameStyle, kComputed, M::None, true, 2, P::Left},
    {G::CylinderHeads, "Exhaust Valves:", PARAM(ExhaustValveCount()),
     kNameStyle, kComputed, M::None, true, 3, P::Left},
    {G::CylinderHeads, "Intake Valve:", PARAM(IntakeValveDiameter()),
     kValueStyle, kEditable, M::IntakeValveDiameters, true, 4, P::Left, A::ValveSize},
    {G::CylinderHeads, "Exhaust Valve:", PARAM(ExhaustValveDiameter()),
     kValueStyle, kEditable, M::ExhaustValveDiameters, true, 5, P::Left, A::ValveSize},

    {G::Compression, "Compression Ratio:", PARAM(CompressionRatio()),
     kCountStyle, kEditable, M::CompressionRatios, true, 0, P::LongLabel},
    {G::Compression, "Combustion Space:", PARAM(CombustionSpace()),
     kValueStyle, kComputed, M::None, true, 1, P::LongLabel},

    {G::Induction, "Induction Flow:", PARAM(InductionFlow()),
     kValueStyle, kEditable, M::Induction, true, 0, P::Left},
    {G::Induction, "@", PARAM(PressureDrop()),
     kNameStyle, kChooseOnly, M::PressureDrop, true, 0, P::Right},
    {G::Induction, "Manifold Type:", PARAM(ManifoldType()),
     kNameStyle, kChooseOnly, M::Manifolds, true, 1, P::Full},
    {G::Induction, "Fuel:", PARAM(FuelType()),
     kNameStyle, kChooseOnly, M::Fuels, true, 2, P::Full},
    {G::Induction, "N20:", PARAM(NitrousFlowRate()),
     kValueStyle, kEditable, M::None, true, 3, P::Left},
    {G::Induction, "Blower:", PARAM(ForcedInductionType()),
     kNameStyle, kChooseOnly, M::ForcedInduction, true, 4, P::Full},
    {G::Induction, "Flow:", PARAM(BlowerFlowRate()),
     kValueStyle, kEditable, M::None, true, 5, P::Left},
    {G::Induction, "Pressure Ratio:", PARAM(BlowerPressureRatio()),
     kValueStyle, kEditable, M::None, true, 6, P::Left},
    {G::Induction, "Eff:", PARAM(BlowerEfficiency()),
     kValueStyle, kEditable, M::None, true, 7, P::Left},
    {G::Induction, "Speed:", PARAM(BlowerRpm()),
     kValueStyle, kEditable, M::None, true, 7, P::Right},
    {G::Induction, "Surge Flow:", PARAM(BlowerSurgeFlowRate()),
     kValueStyle, kEditable, M::None, true, 8, P::Left},
    {G::Induction, "Internal Gear Ratio:", PARAM(BlowerInternalGearRatio()),
     kValueStyle, kEditable, M::None, true, 9, P::LongLabel},
    {G::Induction, "Belt Gear Ratio:", PARAM(BlowerBeltGearRatio()),
     kValueStyle, kEditable, M::None, true, 10, P::Left},
    {G::Induction, "Boost Limit:", PARAM(BlowerBoostLevelLimit()),
     kValueStyle, kEditable, M::None, true, 11, P::Left},
    {G::Induction, "Intercooler:", PARAM(IntercoolerEfficiency()),
     kNameStyle, kEditable, M::Intercooler, true, 12, P::Left},

    {G::Exhaust, "Exhaust System:", PARAM(ExhaustSystem()),
     kNameStyle, kChooseOnly, M::ExhaustSystems, true, 0, P::Full},

    {G::Camshaft, "Camshaft Type:", PARAM(Cam().CamType()),
     kNameStyle, kChooseOnly, M::CamTypes, false, 0, P::Full},
    {G::Camshaft, "Cam File:", PARAM(CamDataFile()),
     kNameStyle, kChooseOnly, M::CamFile, false, 1, P::Full},
    {G::Camshaft, "Lifter:", PARAM(Cam().LifterType()),
     kNameStyle, kChooseOnly, M::LifterTypes, false, 2, P::Left},
    {G::Camshaft, "Cam Specs @:", PARAM(Cam().TimingMethod()),
     kNameStyle, kChooseOnly, M::TimingMethods, false, 3, P::Left},
    {G::Camshaft, "Lobe Center:", PARAM(Cam().LobeCenter()),
     kValueStyle, kComputed, M::None, true, 4, P::Left},
    {G::Camshaft, "Valve Overlap:", PARAM(Cam().Overlap()),
     kValueStyle, kComputed, M::None, true, 5, P::Left},
    {G::Camshaft, "Timing@ Adv(+)/Ret(-):", PARAM(Cam().AdvanceRetard()),
     kValueStyle, kEditable, M::None, true, 6, P::LongLabel},
    {G::Camshaft, "Int Lift@Valve:", PARAM(Cam().IntakeLift()),
     kValueStyle, kEditable, M::IntakeValveLifts, true, 7, P::Left, A::ValveLift},
    {G::Camshaft, "Exh Lift@Valve:", PARAM(Cam().ExhaustLift()),
     kValueStyle, kEditable, M::ExhaustValveLifts, true, 8, P::Left, A::ValveLift},
    {G::Camshaft, "Int Duration:", PARAM(Cam().IntakeDuration()),
     kValueStyle, kComputed, M::None, true, 9, P::Left},
    {G::Camshaft, "Exh Duration:", PARAM(Cam().ExhaustDuration()),
     kValueStyle, kComputed, M::None, true, 10, P::Left},
    {G::Camshaft, "IVO  (BTDC):", PARAM(Cam().NominalIvo()),
     kValueStyle, kEditable, M::None, true, 13, P::Left},
    {G::Camshaft, "IVC  (ABDC):", PARAM(Cam().NominalIvc()),
     kValueStyle, kEditable, M::None, true, 14, P::Left},
    {G::Camshaft, "EVO (BBDC):", PARAM(Cam().NominalEvo()),
     kValueStyle, kEditable, M::None, true, 15, P::Left},
    {G::Camshaft, "EVC (ATDC):", PARAM(Cam().NominalEvc()),
     kValueStyle, kEditable, M::None, true, 16, P::Left},
    {G::Camshaft, "ICA  (ATDC):", PARAM(Cam().NominalIntakeCenterline()),
     kValueStyle, kComputed, M::None, true, 17, P::Left},
    {G::Camshaft, "ECA (BTDC):", PARAM(Cam().NominalExhaustCenterline()),
     kValueStyle, kComputed, M::None, true, 18, P::Left},
    {G::Camshaft, "IVO:", PARAM(Cam().ActualIvo()),
     kValueStyle, kComputed, M::None, true, 13, P::Right},
    {G::Camshaft, "IVC:", PARAM(Cam().ActualIvc()),
     kValueStyle, kComputed, M::None, true, 14, P::Right},
    {G::Camshaft, "EVO:", PARAM(Cam().ActualEvo()),
     kValueStyle, kComputed, M::None, true, 15, P::Right},
    {G::Camshaft, "EVC:", PARAM(Cam().ActualEvc()),
     kValueStyle, kComputed, M::None, true, 16, P::Right},
    {G::Camshaft, "ICA:", PARAM(Cam().ActualIntakeCenterline()),
     kValueStyle, kComputed, M::None, true, 17, P::Right},
    {G::Camshaft, "ECA:", PARAM(Cam().ActualExhaustCenterline()),
     kValueStyle, kComputed, M::None, true, 18, P::Right},
};
// clang-format on

#undef PARAM

static_assert(std::size(kBindings) == CEngineFormView::kControlCount);

// ---------------------------------------------------------------- CEngineFormGroup

CEngineFormGroup::CEngineFormGroup(const QString& title, QWidget* parent) : QWidget(parent), m_title(title)
{
    setAccessibleName(title.trimmed());
    setAccessibleDescription(QStringLiteral("incomplete"));
    UpdateMargins();
}

int CEngineFormGroup::TitleHeight() const
{
    QFont bold = font();
    bold.setBold(true);
    return std::max(QFontMetrics(bold).height(), StatusImage(true).height()) + 2;
}

void CEngineFormGroup::UpdateMargins()
{
    setContentsMargins(8, TitleHeight() + 2, 8, 6);
}

void CEngineFormGroup::SetComplete(bool complete)
{
    if (complete == m_complete) return;
    m_complete = complete;
    setAccessibleDescription(complete ? QStringLiteral("complete") : QStringLiteral("incomplete"));
    update(QRect(0, 0, width(), TitleHeight()));
}

void CEngineFormGroup::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    const int titleHeight = TitleHeight();
    // An etched frame whose top edge runs through the middle of the title band.
    const QRect frame = rect().adjusted(0, titleHeight / 2, -2, -2);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(frame);
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(frame.translated(1, 1));

    QFont bold = font();
    bold.setBold(true);
    const QString text = m_title.trimmed();
    const QImage& image = StatusImage(m_complete);
    const int left = 8;
    const int textLeft = left + image.width() + 4;
    const QRect band(left - 3, 0, textLeft - left + QFontMetrics(bold).horizontalAdvance(text) + 7,
                     titleHeight);
    painter.fillRect(band, palette().color(QPalette::Window));
    painter.drawImage(QPoint(left, (titleHeight - image.height()) / 2), image);
    painter.setFont(bold);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(QRect(textLeft, 0, band.right() - textLeft, titleHeight),
                     Qt::AlignLeft | Qt::AlignVCenter, text);
}

void CEngineFormGroup::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) UpdateMargins();
}

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

    // A hint above the groups, shown only while the form asks for one.
    m_hint = MakeLabel(QString(), m_form);
    m_hint->setObjectName(QStringLiteral("formHint"));
    m_hint->setWordWrap(true);
    m_hint->setStyleSheet(
        QStringLiteral("QLabel { background: #e8f0fb; color: #102040; border: 1px solid #7a96c0;"
                       " padding: 4px 6px; }"));
    m_hint->hide();
    stack->addWidget(m_hint);

    std::array<QGridLayout*, 6> grids{};
    for (std::size_t i = 0; i < m_groups.size(); ++i) {
        m_groups[i] = new CEngineFormGroup(QString::fromLatin1(kGroupTitles[i]), m_form);
        grids[i] = new QGridLayout(m_groups[i]);
        grids[i]->setContentsMargins(0, 0, 0, 0);  // the group's own margins frame it
        grids[i]->setHorizontalSpacing(kGridSpacing);
        grids[i]->setVerticalSpacing(0);
        grids[i]->setColumnStretch(1, 1);
        grids[i]->setColumnStretch(3, 1);
        stack->addWidget(m_groups[i]);
    }
    stack->addStretch(1);

    for (const Binding& binding : kBindings) {
        const auto group = static_cast<std::size_t>(binding.group);
        AddControl(binding, m_groups[group], grids[group]);
    }

    // The camshaft's valve events: nominal at the left, after advance/retard at the right.
    CEngineFormGroup* cam = m_groups[static_cast<std::size_t>(EngineGroup::Camshaft)];
    QGridLayout* camGrid = grids[static_cast<std::size_t>(EngineGroup::Camshaft)];
    auto* rule = new QFrame(cam);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    camGrid->addWidget(rule, kCamHeadingRow - 1, 0, 1, 4);
    m_rules.push_back(rule);
    for (const auto& [text, column] : {std::pair{"Nominal Timing", 0}, std::pair{"Actual Timing", 2}}) {
        QLabel* heading = MakeLabel(QString::fromLatin1(text), cam);
        camGrid->addWidget(heading, kCamHeadingRow, column, 1, 2);
        m_staticTexts.push_back(heading);
    }

    // Every group's label columns as wide as the widest one-line label of the
    // form, so that all values stand in the same two columns from group to
    // group; the few longer labels ("Compression Ratio:", "Timing@
    // Adv(+)/Ret(-):") take two lines rather than push the values out of the pane.
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

    for (std::size_t i = 1; i < m_controls.size(); ++i) setTabOrder(m_controls[i - 1], m_controls[i]);
    setWidget(m_form);
}

CTorqSpecEditCtrl* CEngineFormView::AddControl(const Binding& binding, QWidget* group, QGridLayout* grid)
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
        const Binding& binding = *m_bindings[i];
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

// ---------------------------------------------------------------- menu commands

void CEngineFormView::OnMenuCommand(int command)
{
    if (m_document == nullptr) return;
    // The edit that the entry belongs to ends with the entry's change.
    if (m_document->IsParameterEditorOpen()) m_editCommand = command;
    switch (command) {
        case Cmd::kOpenAirflow:
            OpenComponentFile(FileRequest::OpenAirflow);
            break;
        case Cmd::kSaveAirflow:
            SaveComponentFile(FileRequest::SaveAirflow);
            break;
        case Cmd::kOpenCam:
            OpenComponentFile(FileRequest::OpenCam);
            break;
        case Cmd::kSaveCam:
            SaveComponentFile(FileRequest::SaveCam);
            break;
        case Cmd::kCustomCamType:
            AskCustomCamType();
            break;
        case Cmd::kCustomPortFlow:
            EditAirflowData();
            break;
        default:
            ApplyMenuCommand(*m_document, command);
            break;
    }
}

void CEngineFormView::AfterComponentChange()
{
    // As after a menu choice: an open editor shows the change and closes.
    m_document->UpdateAllViews(m_document->IsParameterEditorOpen() ? DocumentChange::ChoiceApplied
                                                                   : DocumentChange::Updated);
}

void CEngineFormView::OpenComponentFile(FileRequest request)
{
    const QString path = AskFileName(request, QString());
    if (path.isEmpty() || m_document == nullptr) return;
    const std::string nativePath = QFile::encodeName(path).toStdString();
    const std::string fileName = QFileInfo(path).fileName().toStdString();
    const bool opened = request == FileRequest::OpenAirflow
                            ? m_document->OpenAirflowFile(nativePath, fileName)
                            : m_document->OpenCamFile(nativePath, fileName);
    if (opened) AfterComponentChange();
}

void CEngineFormView::SaveComponentFile(FileRequest request)
{
    const bool airflow = request == FileRequest::SaveAirflow;
    // Only complete data is worth a file: the first gap is reported instead.
    ErrorCode code = 0;
    const bool complete =
        airflow ? m_document->FlowData().CheckComplete(code) : m_document->Cam().CheckComplete(code);
    if (!complete) {
        ShowErrorMessage(code);
        return;
    }
    const CFileSpec& current = airflow ? m_document->AirflowFile() : m_document->CamDataFile();
    const QString proposed = current.IsSet() ? QString::fromStdString(current.GetText()) : QString();
    const QString path = AskFileName(request, proposed);
    if (path.isEmpty() || m_document == nullptr) return;
    const std::string nativePath = QFile::encodeName(path).toStdString();
    const std::string fileName = QFileInfo(path).fileName().toStdString();
    const bool saved = airflow ? m_document->SaveAirflowFile(nativePath, fileName)
                               : m_document->SaveCamFile(nativePath, fileName);
    if (saved) AfterComponentChange();
}

void CEngineFormView::AskCustomCamType()
{
    const CPartTypeSpec& camType = m_document->Cam().CamType();
    const QString current = camType.IsSet() ? QString::fromStdString(camType.GetChoiceName()) : QString();
    CCamTypeDlg dialog(current, DialogParent());
    if (dialog.exec() != QDialog::Accepted || m_document == nullptr) return;
    m_document->ApplyCustomCamType(dialog.Description().toStdString());
}

void CEngineFormView::EditAirflowData()
{
    CAirFlowDlg dialog(*m_document, DialogParent());
    dialog.SetFileAsker([this](bool save, const QString& proposedName) {
        return AskFileName(save ? FileRequest::SaveAirflow : FileRequest::OpenAirflow, proposedName);
    });
    // On OK the dialog hands the data to the engine, which names the head.
    dialog.exec();
}

QWidget* CEngineFormView::DialogParent()
{
    // Over the open editor, so that the dialog is not hidden behind it.
    if (CTorqSpecEditDlg* editor = CTorqSpecEditDlg::OpenEditor()) return editor;
    return this;
}

QString CEngineFormView::AskFileName(FileRequest request, const QString& proposedName)
{
    if (m_fileNameAsker) return m_fileNameAsker(request, proposedName);
    const bool airflow = request == FileRequest::OpenAirflow || request == FileRequest::SaveAirflow;
    const bool open = request == FileRequest::OpenAirflow || request == FileRequest::OpenCam;
    QFileDialog dialog(DialogParent());
    dialog.setNameFilters(
        {airflow ? QStringLiteral("Airflow Files (*.flw)") : QStringLiteral("Cam Data Files (*.cam)"),
         QStringLiteral("All Files (*)")});
    dialog.setDefaultSuffix(airflow ? QStringLiteral("flw") : QStringLiteral("cam"));
    dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (m_document != nullptr && !m_document->GetPathName().empty()) {
        dialog.setDirectory(QFileInfo(QString::fromStdString(m_document->GetPathName())).absolutePath());
    }
    if (!open && !proposedName.isEmpty()) dialog.selectFile(proposedName);
    if (dialog.exec() != QDialog::Accepted) return {};
    return dialog.selectedFiles().value(0);
}
