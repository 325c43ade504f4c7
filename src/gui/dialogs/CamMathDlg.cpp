#include "dialogs/CamMathDlg.h"

#include "model/TorqDoc.h"
#include "widgets/TorqSpecEdit.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
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

    QWidget* basis = MakeBasisRow();
    auto* groups = new QHBoxLayout;
    groups->addWidget(MakeSpecsGroup(), 3);
    groups->addWidget(MakeEventsGroup(), 2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(basis);
    layout->addLayout(groups);
    layout->addWidget(MakeHelpRow());
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    QWidget* previous = nullptr;
    for (QWidget* widget :
         std::initializer_list<QWidget*>{m_seatToSeat, m_fiftyLift, m_edits[0], m_edits[1], m_edits[2],
                                         m_edits[3], m_edits[4], m_edits[5], m_apply, m_cancel}) {
        if (previous != nullptr) setTabOrder(previous, widget);
        previous = widget;
    }
    ShowBasis();
    ShowEvents();
    m_edits.front()->setFocus(Qt::OtherFocusReason);
}

// A card gives its durations seat to seat or at 0.050 in lifter rise, and
// the same figures are a different cam in each: the user says which, and an
// engine timed the other way takes the card's timing method with Apply.
QWidget* CCamMathDlg::MakeBasisRow()
{
    auto* row = new QWidget(this);
    auto* grid = new QGridLayout(row);
    grid->setContentsMargins(0, 0, 0, 0);
    m_seatToSeat = new QRadioButton(tr("&Seat-To-Seat"), row);
    m_fiftyLift = new QRadioButton(tr("0.0&50-Lift"), row);
    m_seatToSeat->setObjectName(QStringLiteral("cardSeatToSeat"));
    m_fiftyLift->setObjectName(QStringLiteral("cardFiftyLift"));
    auto* choice = new QButtonGroup(row);
    choice->addButton(m_seatToSeat, CamData::kSeatToSeat);
    choice->addButton(m_fiftyLift, CamData::kFiftyLift);
    if (QRadioButton* engine = BasisButton(m_calculator.GetCardTimingMethod())) engine->setChecked(true);
    connect(choice, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked) ChooseBasis(id);
    });
    m_basisNote = MakeLabel(QString(), row);
    m_basisNote->setObjectName(QStringLiteral("basisNote"));
    m_basisNote->setWordWrap(true);
    grid->addWidget(MakeLabel(tr("The card's durations are measured:"), row), 0, 0);
    grid->addWidget(m_seatToSeat, 0, 1);
    grid->addWidget(m_fiftyLift, 0, 2);
    grid->setColumnStretch(3, 1);
    grid->addWidget(m_basisNote, 1, 0, 1, 4);
    return row;
}

QRadioButton* CCamMathDlg::BasisButton(std::int32_t method) const
{
    if (method == CamData::kSeatToSeat) return m_seatToSeat;
    if (method == CamData::kFiftyLift) return m_fiftyLift;
    return nullptr;
}

void CCamMathDlg::ChooseBasis(std::int32_t method)
{
    m_calculator.SetCardTimingMethod(method);
    ShowBasis();
    ShowEvents();
}

void CCamMathDlg::ShowBasis()
{
    // The captions name the timing method the figures are measured at.
    const QString method = QStringLiteral(" @ ") + TextOf(m_calculator.TimingMethodText());
    m_specs->setTitle(tr("Enter Cam Timing Specs") + method);
    m_eventsGroup->setTitle(tr("Calculated Valve Timing Points") + method);
    const auto name = [](std::int32_t timing) {
        return timing == CamData::kSeatToSeat ? QString::fromLatin1(CamData::kSeatToSeatName)
                                              : QString::fromLatin1(CamData::kFiftyLiftName);
    };
    const auto measured = [](std::int32_t timing) {
        return timing == CamData::kSeatToSeat ? tr("seat to seat") : tr("at 0.050 in lifter rise");
    };
    const std::int32_t card = m_calculator.GetCardTimingMethod();
    const std::int32_t engine = m_calculator.GetEngineTimingMethod();
    if (card == 0) {
        m_basisNote->setText(tr("Choose how the card measures its durations."));
    } else if (engine == 0 || card == engine) {
        m_basisNote->setText(tr("Type durations measured %1, as the engine's cam is timed (%2). "
                                "A card timed the other way: choose its timing here.")
                                 .arg(measured(card), name(card)));
    } else {
        m_basisNote->setText(tr("Durations measured %1. Apply also switches the engine's cam timing "
                                "method from %2 to %3 (Edit > Undo takes it back).")
                                 .arg(measured(card), name(engine), name(card)));
    }
}

QGroupBox* CCamMathDlg::MakeSpecsGroup()
{
    m_specs = new QGroupBox(this);
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
    m_eventsGroup = new QGroupBox(this);
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
