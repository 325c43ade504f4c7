#include "dialogs/AirFlowMathDlg.h"

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

// The rating buttons name the ratings in the engine's units.
QString RatingText(int mode, bool metric)
{
    if (mode == AirflowCalculator::kTwoBarrel) {
        return metric ? QStringLiteral("2-Barrel Rating at 7.6 cmHg Pressure Drop")
                      : QStringLiteral("2-Barrel Rating at 3.0 inHg Pressure Drop");
    }
    return metric ? QStringLiteral("4-Barrel Rating at 3.8 cmHg Pressure Drop")
                  : QStringLiteral("4-Barrel Rating at 1.5 inHg Pressure Drop");
}

QString WaterText(bool metric)
{
    return metric ? QStringLiteral("cm Water (cmH2O)") : QStringLiteral("Inches Water (inH2O)");
}

QString MercuryText(bool metric)
{
    return metric ? QStringLiteral("cm Mercury (cmHg)") : QStringLiteral("Inches Mercury (inHg)");
}

}  // namespace

CAirFlowMathDlg::CAirFlowMathDlg(CTorqDoc& doc, QWidget* parent)
    : CCalculatorDialog(parent), m_doc(doc), m_calculator(doc.GetUnitSystem())
{
    setObjectName(QStringLiteral("airflowMathCalculator"));
    setWindowTitle(tr("Airflow Math Calculator"));

    auto* buttons = new QDialogButtonBox(this);
    m_apply = buttons->addButton(tr("Apply"), QDialogButtonBox::AcceptRole);
    m_cancel = buttons->addButton(QDialogButtonBox::Cancel);
    m_apply->setDefault(true);
    SetCancelButton(m_cancel);
    connect(m_apply, &QPushButton::clicked, this, &CAirFlowMathDlg::Apply);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* pressures = new QHBoxLayout;
    pressures->addWidget(MakeKnownGroup(), 1);
    pressures->addWidget(MakeTargetGroup(), 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MakeModeGroup());
    layout->addLayout(pressures);
    layout->addWidget(MakeHelpRow());
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Reading order: rating, known pressure and its unit, known airflow,
    // target pressure and its unit, the buttons.
    const std::array<QWidget*, 12> order = {m_modes[0],
                                            m_modes[1],
                                            m_modes[2],
                                            Edit(Input::KnownPressure),
                                            m_knownUnits[0],
                                            m_knownUnits[1],
                                            Edit(Input::KnownAirflow),
                                            Edit(Input::TargetPressure),
                                            m_targetUnits[0],
                                            m_targetUnits[1],
                                            m_apply,
                                            m_cancel};
    for (std::size_t i = 0; i + 1 < order.size(); ++i) setTabOrder(order[i], order[i + 1]);

    // Checking the rating applies it (ChooseMode) and shows every value.
    const int mode = m_calculator.GetMode();
    m_modes[std::size_t(mode)]->setChecked(true);
    m_knownUnits[m_calculator.IsKnownPressureInMercury() ? 1 : 0]->setChecked(true);
    m_targetUnits[m_calculator.IsTargetPressureInMercury() ? 1 : 0]->setChecked(true);
    m_modes[std::size_t(mode)]->setFocus(Qt::OtherFocusReason);
    HelpLine()->clear();
}

CEditFloatPt* CAirFlowMathDlg::MakeField(Input input, QWidget* parent)
{
    auto* edit = new CEditFloatPt(parent);
    edit->setObjectName(QString::fromUtf8(m_calculator.Parameter(input).GetName()));
    SetFieldWidth(edit, QStringLiteral("0000.000"));
    m_edits[Index(input)] = edit;
    m_units[Index(input)] = MakeLabel(QString(), parent);
    BindField(
        edit, [this, input](const std::string& text) { return m_calculator.Enter(input, text); },
        [this, input] { return TextOf(EditText(m_calculator.Parameter(input))); },
        [this, input] { return TextOf(m_calculator.Parameter(input).GetPrompt()); });
    return edit;
}

QWidget* CAirFlowMathDlg::MakeModeGroup()
{
    const bool metric = m_calculator.GetUnitSystem() == kMetricUnits;
    auto* group = new QGroupBox(tr("Airflow Ratings Standard"), this);
    auto* box = new QVBoxLayout(group);
    auto* choices = new QButtonGroup(this);
    for (int mode = AirflowCalculator::kNoStandard; mode <= AirflowCalculator::kFourBarrel; ++mode) {
        const QString text =
            mode == AirflowCalculator::kNoStandard ? tr("No Ratings Standard") : RatingText(mode, metric);
        m_modes[std::size_t(mode)] = new QRadioButton(text, group);
        choices->addButton(m_modes[std::size_t(mode)], mode);
        box->addWidget(m_modes[std::size_t(mode)]);
    }
    connect(choices, &QButtonGroup::idToggled, this, [this](int mode, bool checked) {
        if (checked) ChooseMode(mode);
    });
    return group;
}

QWidget* CAirFlowMathDlg::MakeKnownGroup()
{
    const bool metric = m_calculator.GetUnitSystem() == kMetricUnits;
    auto* group = new QGroupBox(tr("Known Airflow"), this);
    auto* grid = new QGridLayout(group);
    grid->addWidget(MakeLabel(tr("Pressure Drop:"), group), 0, 0);
    grid->addWidget(MakeField(Input::KnownPressure, group), 0, 1);
    grid->addWidget(m_units[Index(Input::KnownPressure)], 0, 2);
    m_knownUnits = {new QRadioButton(WaterText(metric), group), new QRadioButton(MercuryText(metric), group)};
    auto* units = new QButtonGroup(this);
    for (std::size_t i = 0; i < 2; ++i) {
        units->addButton(m_knownUnits[i], int(i));
        grid->addWidget(m_knownUnits[i], int(i) + 1, 1, 1, 2);
    }
    grid->addWidget(MakeLabel(tr("Airflow Rate:"), group), 3, 0);
    grid->addWidget(MakeField(Input::KnownAirflow, group), 3, 1);
    grid->addWidget(m_units[Index(Input::KnownAirflow)], 3, 2);
    grid->setColumnStretch(3, 1);
    connect(units, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (!checked) return;
        m_calculator.ShowKnownPressureInMercury(id == 1);
        ShowValues();
    });
    return group;
}

QWidget* CAirFlowMathDlg::MakeTargetGroup()
{
    const bool metric = m_calculator.GetUnitSystem() == kMetricUnits;
    auto* group = new QGroupBox(tr("Converted Airflow"), this);
    auto* grid = new QGridLayout(group);
    grid->addWidget(MakeLabel(tr("Pressure Drop:"), group), 0, 0);
    grid->addWidget(MakeField(Input::TargetPressure, group), 0, 1);
    grid->addWidget(m_units[Index(Input::TargetPressure)], 0, 2);
    m_targetUnits = {new QRadioButton(WaterText(metric), group),
                     new QRadioButton(MercuryText(metric), group)};
    auto* units = new QButtonGroup(this);
    for (std::size_t i = 0; i < 2; ++i) {
        units->addButton(m_targetUnits[i], int(i));
        grid->addWidget(m_targetUnits[i], int(i) + 1, 1, 1, 2);
    }
    m_airflow = MakeValueLabel(group, QStringLiteral("000000.0"));
    m_airflow->setObjectName(QStringLiteral("airflow"));
    m_airflowUnits = MakeLabel(QString(), group);
    grid->addWidget(MakeLabel(tr("Airflow Rate:"), group), 3, 0);
    grid->addWidget(m_airflow, 3, 1);
    grid->addWidget(m_airflowUnits, 3, 2);
    grid->setColumnStretch(3, 1);
    connect(units, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (!checked) return;
        m_calculator.ShowTargetPressureInMercury(id == 1);
        ShowValues();
    });
    return group;
}

void CAirFlowMathDlg::ChooseMode(int mode)
{
    m_calculator.SetMode(mode);
    const bool free = mode == AirflowCalculator::kNoStandard;
    // A rating fixes the target; without one the dialog only calculates.
    Edit(Input::TargetPressure)->setEnabled(free);
    m_apply->setText(free ? tr("OK") : tr("Apply"));
    m_cancel->setVisible(!free);
    ShowValues();
}

void CAirFlowMathDlg::ShowValues()
{
    RefreshFields();
    for (Input input : {Input::KnownAirflow, Input::KnownPressure, Input::TargetPressure}) {
        m_units[Index(input)]->setText(QString::fromUtf8(m_calculator.Parameter(input).GetUnitsLabel()));
    }
    const CFloatPtSpec& airflow = m_calculator.Airflow();
    m_airflow->setText(TextOf(EditText(airflow)));
    m_airflowUnits->setText(QString::fromUtf8(airflow.GetUnitsLabel()));
}

void CAirFlowMathDlg::OnEntryTaken(QLineEdit* /*edit*/)
{
    ShowValues();
}

void CAirFlowMathDlg::Apply()
{
    if (m_calculator.GetMode() == AirflowCalculator::kNoStandard) {
        reject();  // a free calculation changes nothing
        return;
    }
    if (!CommitEntries()) return;
    if (const ErrorCode code = m_calculator.CheckApply(); code != 0) {
        ShowErrorMessage(code);
        return;
    }
    m_doc.SetModified();
    m_doc.ApplyAirflowMath(m_calculator.Airflow().GetValue(), m_calculator.RatingPressureInHg());
    accept();
}
