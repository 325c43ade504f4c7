#include "views/AirFlowDlg.h"

#include "base/LineFile.h"
#include "model/TorqDoc.h"
#include "widgets/TorqSpecEdit.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

using Side = CylHeadFlowEditor::Side;

const char* const kDescriptionHelp = "Enter a Text Description for this Airflow Data";
const char* const kPointCountHelp = "Select the Number of Intake and Exhaust Airflow Data Points";

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

CFloatPtSpec& Lift(CylHeadFlowData& data, Side side, int point)
{
    return side == Side::Intake ? data.IntakeLift(point) : data.ExhaustLift(point);
}

CFloatPtSpec& Airflow(CylHeadFlowData& data, Side side, int point)
{
    return side == Side::Intake ? data.IntakeAirflow(point) : data.ExhaustAirflow(point);
}

CFloatPtSpec& TestDiameter(CylHeadFlowData& data, Side side)
{
    return side == Side::Intake ? data.IntakeTestDiameter() : data.ExhaustTestDiameter();
}

CFloatPtSpec& TestPressure(CylHeadFlowData& data, Side side)
{
    return side == Side::Intake ? data.IntakeTestPressureDrop() : data.ExhaustTestPressureDrop();
}

constexpr Side kSides[] = {Side::Intake, Side::Exhaust};

}  // namespace

CAirFlowDlg::CAirFlowDlg(CTorqDoc& doc, QWidget* parent)
    : CCalculatorDialog(parent), m_doc(doc), m_editor(doc.FlowData(), doc.AirflowFile())
{
    setObjectName(QStringLiteral("airflowData"));
    m_baseCaption = tr("Cylinder Head Airflow Data");

    auto* tests = new QHBoxLayout;
    tests->addWidget(MakeTestGroup(Side::Intake));
    tests->addWidget(MakeTestGroup(Side::Exhaust));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MakeHeader());
    layout->addLayout(tests);
    layout->addWidget(MakePointTable());
    layout->addWidget(MakeHelpRow());
    layout->addWidget(MakeButtons());
    layout->setSizeConstraint(QLayout::SetFixedSize);

    SetTabOrder();
    UpdateCaption();
    ShowData();
    EnableRows();
    m_description->setFocus(Qt::OtherFocusReason);
}

CEditFloatPt* CAirFlowDlg::LiftEdit(Side side, int point) const
{
    return m_lifts[SideIndex(side)][std::size_t(point)];
}

CEditFloatPt* CAirFlowDlg::AirflowEdit(Side side, int point) const
{
    return m_airflows[SideIndex(side)][std::size_t(point)];
}

CEditFloatPt* CAirFlowDlg::MakeNumberField(const ParameterOf& parameter, QWidget* parent)
{
    auto* edit = new CEditFloatPt(parent);
    edit->setObjectName(QString::fromUtf8(parameter(m_editor.Data()).GetName()));
    SetFieldWidth(edit, QStringLiteral("000.000"));
    // Unset points show "***", the program's mark for a missing value.
    BindField(
        edit,
        [this, parameter](const std::string& text) { return EnterNumber(parameter(m_editor.Data()), text); },
        [this, parameter] { return TextOf(parameter(m_editor.Data()).GetText()); },
        [this, parameter] { return TextOf(parameter(m_editor.Data()).GetPrompt()); });
    return edit;
}

QWidget* CAirFlowDlg::MakeHeader()
{
    auto* header = new QWidget(this);
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(0, 0, 0, 0);
    m_description = new QLineEdit(header);
    m_description->setObjectName(QStringLiteral("description"));
    // The description is a name line of the airflow and engine files.
    m_description->setMaxLength(int(kMaxNameLineLength));
    m_description->setMinimumWidth(m_description->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 40);
    BindField(
        m_description,
        [this](const std::string& text) {
            m_editor.Data().SetDescription(text);
            return EntryResult::Accepted;
        },
        [this] { return TextOf(m_editor.Data().GetDescription()); }, [] { return tr(kDescriptionHelp); });
    auto* descriptionLabel = MakeLabel(tr("Description:"), header);
    descriptionLabel->setBuddy(m_description);

    m_points = new QSpinBox(header);
    m_points->setObjectName(QStringLiteral("pointCount"));
    m_points->setRange(CylHeadFlowData::kMinPoints, CylHeadFlowData::kMaxPoints);
    m_points->setValue(m_editor.Data().GetPointCount());
    // Points come and go one at a time through the arrows (and the arrow keys).
    if (auto* text = m_points->findChild<QLineEdit*>()) text->setReadOnly(true);
    SetHelpText(m_points, tr(kPointCountHelp));
    connect(m_points, &QSpinBox::valueChanged, this, &CAirFlowDlg::StepPointCount);
    auto* pointsLabel = MakeLabel(tr("Data Points:"), header);
    pointsLabel->setBuddy(m_points);

    row->addWidget(descriptionLabel);
    row->addWidget(m_description, 1);
    row->addSpacing(12);
    row->addWidget(pointsLabel);
    row->addWidget(m_points);
    return header;
}

QWidget* CAirFlowDlg::MakeTestGroup(Side side)
{
    const std::size_t s = SideIndex(side);
    auto* group =
        new QGroupBox(side == Side::Intake ? tr("Intake Valve Test") : tr("Exhaust Valve Test"), this);
    auto* grid = new QGridLayout(group);
    m_diameters[s] =
        MakeNumberField([side](CylHeadFlowData& d) -> CFloatPtSpec& { return TestDiameter(d, side); }, group);
    m_pressures[s] =
        MakeNumberField([side](CylHeadFlowData& d) -> CFloatPtSpec& { return TestPressure(d, side); }, group);
    m_diameterUnits[s] = MakeLabel(QString(), group);
    m_pressureUnits[s] = MakeLabel(QString(), group);
    grid->addWidget(MakeLabel(tr("Test Diameter:"), group), 0, 0);
    grid->addWidget(m_diameters[s], 0, 1);
    grid->addWidget(m_diameterUnits[s], 0, 2);
    grid->addWidget(MakeLabel(tr("Test Pressure Drop:"), group), 1, 0);
    grid->addWidget(m_pressures[s], 1, 1);
    grid->addWidget(m_pressureUnits[s], 1, 2);
    grid->setColumnStretch(3, 1);
    return group;
}

QWidget* CAirFlowDlg::MakePointTable()
{
    auto* group = new QGroupBox(tr("Airflow Data Points"), this);
    auto* grid = new QGridLayout(group);
    grid->setVerticalSpacing(3);
    const QString titles[] = {tr("Point"), tr("Intake Lift"), tr("Intake Airflow"), tr("Exhaust Lift"),
                              tr("Exhaust Airflow")};
    for (int column = 0; column < 5; ++column) {
        QLabel* title = MakeLabel(titles[column], group);
        title->setAlignment(Qt::AlignCenter);
        grid->addWidget(title, 0, column);
    }
    for (Side side : kSides) {
        const std::size_t s = SideIndex(side);
        m_liftUnits[s] = MakeLabel(QString(), group);
        m_airflowUnits[s] = MakeLabel(QString(), group);
        const int column = side == Side::Intake ? 1 : 3;
        for (QLabel* units : {m_liftUnits[s], m_airflowUnits[s]}) units->setAlignment(Qt::AlignCenter);
        grid->addWidget(m_liftUnits[s], 1, column);
        grid->addWidget(m_airflowUnits[s], 1, column + 1);
    }
    for (int point = 0; point < kMaxPoints; ++point) {
        const int row = point + 2;
        m_pointLabels[std::size_t(point)] = MakeLabel(QString::number(point + 1), group);
        m_pointLabels[std::size_t(point)]->setAlignment(Qt::AlignCenter);
        grid->addWidget(m_pointLabels[std::size_t(point)], row, 0);
        for (Side side : kSides) {
            const std::size_t s = SideIndex(side);
            const int column = side == Side::Intake ? 1 : 3;
            m_lifts[s][std::size_t(point)] = MakeNumberField(
                [side, point](CylHeadFlowData& d) -> CFloatPtSpec& { return Lift(d, side, point); }, group);
            m_airflows[s][std::size_t(point)] = MakeNumberField(
                [side, point](CylHeadFlowData& d) -> CFloatPtSpec& { return Airflow(d, side, point); },
                group);
            grid->addWidget(m_lifts[s][std::size_t(point)], row, column);
            grid->addWidget(m_airflows[s][std::size_t(point)], row, column + 1);
        }
    }
    return group;
}

QWidget* CAirFlowDlg::MakeButtons()
{
    auto* box = new QWidget(this);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    m_calcOthers = new QPushButton(tr("Calc O&thers"), box);
    m_resetAll = new QPushButton(tr("Reset All"), box);
    m_saveAs = new QPushButton(tr("Save &As..."), box);
    m_open = new QPushButton(tr("&Open..."), box);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, box);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_cancel = buttons->button(QDialogButtonBox::Cancel);
    m_ok->setDefault(true);
    for (QPushButton* button : {m_calcOthers, m_resetAll, m_saveAs, m_open}) {
        button->setAutoDefault(false);
        row->addWidget(button);
    }
    row->addStretch(1);
    row->addWidget(buttons);
    // Enabled only while a lift has the focus.
    m_calcOthers->setEnabled(false);
    SetCancelButton(m_cancel);
    connect(m_calcOthers, &QPushButton::clicked, this, &CAirFlowDlg::CalcOthers);
    connect(m_resetAll, &QPushButton::clicked, this, &CAirFlowDlg::ResetAll);
    connect(m_saveAs, &QPushButton::clicked, this, &CAirFlowDlg::SaveAs);
    connect(m_open, &QPushButton::clicked, this, &CAirFlowDlg::Open);
    connect(m_ok, &QPushButton::clicked, this, &CAirFlowDlg::Ok);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    return box;
}

void CAirFlowDlg::SetTabOrder()
{
    // Reading order: description, points, the test figures, the table row
    // by row, then the buttons.
    std::vector<QWidget*> order = {m_description, m_points};
    for (Side side : kSides) {
        order.push_back(m_diameters[SideIndex(side)]);
        order.push_back(m_pressures[SideIndex(side)]);
    }
    for (std::size_t point = 0; point < std::size_t(kMaxPoints); ++point) {
        for (Side side : kSides) {
            order.push_back(m_lifts[SideIndex(side)][point]);
            order.push_back(m_airflows[SideIndex(side)][point]);
        }
    }
    for (QWidget* button : {static_cast<QWidget*>(m_calcOthers), static_cast<QWidget*>(m_resetAll),
                            static_cast<QWidget*>(m_saveAs), static_cast<QWidget*>(m_open),
                            static_cast<QWidget*>(m_ok), static_cast<QWidget*>(m_cancel)}) {
        order.push_back(button);
    }
    for (std::size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

void CAirFlowDlg::ShowData()
{
    const CylHeadFlowData& data = m_editor.Data();
    for (Side side : kSides) {
        const std::size_t s = SideIndex(side);
        const CFloatPtSpec& diameter =
            side == Side::Intake ? data.IntakeTestDiameter() : data.ExhaustTestDiameter();
        const CFloatPtSpec& pressure =
            side == Side::Intake ? data.IntakeTestPressureDrop() : data.ExhaustTestPressureDrop();
        const CFloatPtSpec& lift = side == Side::Intake ? data.IntakeLift(0) : data.ExhaustLift(0);
        const CFloatPtSpec& airflow = side == Side::Intake ? data.IntakeAirflow(0) : data.ExhaustAirflow(0);
        m_diameterUnits[s]->setText(QString::fromUtf8(diameter.GetUnitsLabel()));
        m_pressureUnits[s]->setText(QString::fromUtf8(pressure.GetUnitsLabel()));
        m_liftUnits[s]->setText(QString::fromUtf8(lift.GetUnitsLabel()));
        m_airflowUnits[s]->setText(QString::fromUtf8(airflow.GetUnitsLabel()));
    }
    RefreshFields();
}

void CAirFlowDlg::EnableRows()
{
    const int count = m_editor.Data().GetPointCount();
    for (int point = 0; point < kMaxPoints; ++point) {
        const bool used = point < count;
        m_pointLabels[std::size_t(point)]->setEnabled(used);
        for (Side side : kSides) {
            LiftEdit(side, point)->setEnabled(used);
            AirflowEdit(side, point)->setEnabled(used);
        }
    }
}

void CAirFlowDlg::UpdateCaption()
{
    const QString name = TextOf(m_editor.FileName());
    setWindowTitle(name.isEmpty() ? m_baseCaption
                                  : m_baseCaption + QStringLiteral(" - [") + name + QLatin1Char(']'));
}

void CAirFlowDlg::OnEntryTaken(QLineEdit* /*edit*/) {}

void CAirFlowDlg::OnFocusMoved(QWidget* /*from*/, QWidget* to)
{
    if (to == m_calcOthers) return;  // on its way to be pressed
    for (Side side : kSides) {
        for (int point = 0; point < kMaxPoints; ++point) {
            if (LiftEdit(side, point) == to) {
                m_lastLiftSide = side;
                m_lastLiftPoint = point;
                m_calcOthers->setEnabled(true);
                return;
            }
        }
    }
    m_calcOthers->setEnabled(false);
}

void CAirFlowDlg::StepPointCount(int value)
{
    const int count = m_editor.Data().GetPointCount();
    if (value == count) return;
    // A refused entry holds up the point count as it holds up OK.
    const ErrorCode code = EntriesAccepted() ? m_editor.StepPointCount(value - count) : 0;
    const QSignalBlocker blocker(m_points);
    m_points->setValue(m_editor.Data().GetPointCount());
    if (code != 0) ShowErrorMessage(code);
    ShowData();
    EnableRows();
}

void CAirFlowDlg::CalcOthers()
{
    if (!CommitEntries() || m_lastLiftPoint < 0) return;
    if (const ErrorCode code = m_editor.CalcOthers(m_lastLiftSide, m_lastLiftPoint); code != 0) {
        ShowErrorMessage(code);
    }
    ShowData();
    LiftEdit(m_lastLiftSide, m_lastLiftPoint)->setFocus(Qt::OtherFocusReason);
}

void CAirFlowDlg::ResetAll()
{
    if (!CommitEntries()) return;
    if (AskWarningMessage(Msg::FlowDataReset) != WarningAnswer::Ok) return;
    m_editor.ResetAll();
    ShowData();
    UpdateCaption();
}

QString CAirFlowDlg::AskFileName(bool save, const QString& proposedName)
{
    if (m_fileAsker) return m_fileAsker(save, proposedName);
    QFileDialog dialog(this);
    dialog.setNameFilters({QStringLiteral("Airflow Files (*.flw)"), QStringLiteral("All Files (*)")});
    dialog.setDefaultSuffix(QStringLiteral("flw"));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (save && !proposedName.isEmpty()) dialog.selectFile(proposedName);
    if (dialog.exec() != QDialog::Accepted) return {};
    return dialog.selectedFiles().value(0);
}

void CAirFlowDlg::SaveAs()
{
    if (!CommitEntries()) return;
    // Only complete data is worth a file: the first gap is reported instead.
    if (const ErrorCode code = m_editor.CheckComplete(); code != 0) {
        ShowErrorMessage(code);
        return;
    }
    const QString path = AskFileName(true, TextOf(m_editor.FileName()));
    if (path.isEmpty()) return;
    const std::string nativePath = QFile::encodeName(path).toStdString();
    if (m_editor.Save(nativePath, QFileInfo(path).fileName().toStdString())) UpdateCaption();
}

void CAirFlowDlg::Open()
{
    if (!CommitEntries()) return;
    const QString path = AskFileName(false, QString());
    if (path.isEmpty()) return;
    const std::string nativePath = QFile::encodeName(path).toStdString();
    if (!m_editor.Open(nativePath, QFileInfo(path).fileName().toStdString())) return;
    const QSignalBlocker blocker(m_points);
    m_points->setValue(m_editor.Data().GetPointCount());
    ShowData();
    EnableRows();
    UpdateCaption();
}

void CAirFlowDlg::Ok()
{
    if (!CommitEntries()) return;
    if (const ErrorCode code = m_editor.CheckComplete(); code != 0) {
        ShowErrorMessage(code);
        return;
    }
    m_doc.SetModified();
    m_doc.ApplyUserAirflowData(m_editor.Data(), m_editor.AirflowFile());
    accept();
}
