#include "dialogs/CamMathDlg.h"

#include "model/TorqDoc.h"
#include "widgets/TorqSpecEdit.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

using Input = CamCalculator::Input;

struct CardRow {
    Input input;
    const char* label;
    const char* units;  // null for the lifts: their units follow the engine's unit system
};

constexpr CardRow kCardRows[] = {
    {Input::LobeCenter, "Lobe Center Angle:", "(cam degrees)"},
    {Input::IntakeCenterline, "Intake Centerline:", "(crank degrees)"},
    {Input::IntakeDuration, "Intake Duration:", "(crank degrees)"},
    {Input::ExhaustDuration, "Exhaust Duration:", "(crank degrees)"},
    {Input::IntakeLift, "Intake Lift @ Valve:", nullptr},
    {Input::ExhaustLift, "Exhaust Lift @ Valve:", nullptr},
};

const char* const kEventLabels[] = {
    "IVO (degrees BTDC):", "IVC (degrees ABDC):", "EVO (degrees BBDC):", "EVC (degrees ATDC):"};

QString TextOf(const std::string& text)
{
    return QString::fromStdString(text);
}

QLabel* MakeLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

bool IsLift(Input input)
{
    return input == Input::IntakeLift || input == Input::ExhaustLift;
}

}  // namespace

CCamMathDlg::CCamMathDlg(CTorqDoc& doc, QWidget* parent)
    : CCalculatorDialog(parent), m_doc(doc), m_calculator(doc.Cam())
{
    setObjectName(QStringLiteral("camMathCalculator"));
    setWindowTitle(tr("Cam Math Calculator"));

    auto* buttons = new QDialogButtonBox(this);
    m_apply = buttons->addButton(tr("Apply"), QDialogButtonBox::AcceptRole);
    m_cancel = buttons->addButton(QDialogButtonBox::Cancel);
    m_apply->setDefault(true);
    SetCancelButton(m_cancel);
    connect(m_apply, &QPushButton::clicked, this, &CCamMathDlg::Apply);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* groups = new QHBoxLayout;
    groups->addWidget(MakeSpecsGroup(), 3);
    groups->addWidget(MakeEventsGroup(), 2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(groups);
    layout->addWidget(MakeHelpRow());
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    QWidget* previous = nullptr;
    for (QWidget* widget : std::initializer_list<QWidget*>{m_edits[0], m_edits[1], m_edits[2], m_edits[3],
                                                           m_edits[4], m_edits[5], m_apply, m_cancel}) {
        if (previous != nullptr) setTabOrder(previous, widget);
        previous = widget;
    }
    ShowEvents();
    m_edits.front()->setFocus(Qt::OtherFocusReason);
}

QGroupBox* CCamMathDlg::MakeSpecsGroup()
{
    // The caption names the timing method the figures are measured at.
    const QString method = QStringLiteral(" @ ") + TextOf(m_calculator.TimingMethodText());
    m_specs = new QGroupBox(tr("Enter Cam Timing Specs") + method, this);
    auto* grid = new QGridLayout(m_specs);
    int row = 0;
    for (const CardRow& card : kCardRows) {
        const Input input = card.input;
        auto* edit = new CEditFloatPt(m_specs);
        edit->setObjectName(QString::fromUtf8(m_calculator.Parameter(input).GetName()));
        SetFieldWidth(edit, QStringLiteral("-000.000"));
        m_edits[Index(input)] = edit;
        QLabel* label = MakeLabel(tr(card.label), m_specs);
        label->setBuddy(edit);
        QLabel* units = MakeLabel(card.units != nullptr
                                      ? tr(card.units)
                                      : QString::fromUtf8(m_calculator.Parameter(input).GetUnitsLabel()),
                                  m_specs);
        if (IsLift(input)) {
            m_liftUnits[input == Input::IntakeLift ? 0 : 1] = units;
            // Under automatic lift the engine computes the lifts.
            edit->setEnabled(m_calculator.AreLiftsTyped());
        }
        grid->addWidget(label, row, 0);
        grid->addWidget(edit, row, 1);
        grid->addWidget(units, row++, 2);
        BindField(
            edit, [this, input](const std::string& text) { return m_calculator.Enter(input, text); },
            [this, input] { return TextOf(EditText(m_calculator.Parameter(input))); },
            [this, input] {
                return IsLift(input) ? TextOf(m_calculator.Parameter(input).GetPrompt()) : QString();
            });
    }
    grid->setColumnStretch(3, 1);
    return m_specs;
}

QGroupBox* CCamMathDlg::MakeEventsGroup()
{
    const QString method = QStringLiteral(" @ ") + TextOf(m_calculator.TimingMethodText());
    m_eventsGroup = new QGroupBox(tr("Calculated Valve Timing Points") + method, this);
    auto* grid = new QGridLayout(m_eventsGroup);
    for (std::size_t i = 0; i < m_events.size(); ++i) {
        m_events[i] = MakeValueLabel(m_eventsGroup, QStringLiteral("-000.0"));
        m_events[i]->setObjectName(QString::fromLatin1(kEventLabels[i]).section(QLatin1Char(' '), 0, 0));
        grid->addWidget(MakeLabel(tr(kEventLabels[i]), m_eventsGroup), int(i), 0);
        grid->addWidget(m_events[i], int(i), 1);
    }
    grid->setRowStretch(int(m_events.size()), 1);
    return m_eventsGroup;
}

void CCamMathDlg::ShowEvents()
{
    const CamData& cam = m_calculator.Cam();
    const CFloatPtSpec* events[] = {&cam.NominalIvo(), &cam.NominalIvc(), &cam.NominalEvo(),
                                    &cam.NominalEvc()};
    for (std::size_t i = 0; i < m_events.size(); ++i) m_events[i]->setText(TextOf(EditText(*events[i])));
}

void CCamMathDlg::OnEntryTaken(QLineEdit* /*edit*/)
{
    ShowEvents();
}

void CCamMathDlg::Apply()
{
    if (!CommitEntries()) return;
    if (const ErrorCode code = m_calculator.CheckApply(); code != 0) {
        ShowErrorMessage(code);
        return;
    }
    m_doc.SetModified();
    m_doc.ApplyCamMath(m_calculator.Cam());
    accept();
}
