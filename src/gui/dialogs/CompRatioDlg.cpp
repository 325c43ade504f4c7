#include "dialogs/CompRatioDlg.h"

#include "dialogs/PistonPicture.h"
#include "model/DocumentCalculators.h"
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

using Input = CompressionCalculator::Input;

constexpr Input kInputs[] = {Input::ChamberVolume, Input::GasketBore, Input::GasketThickness,
                             Input::PistonDistance, Input::PistonVolume};
const char* const kInputLabels[] = {"Head Chamber Volume:", "Head Gasket Bore:", "Head Gasket Thickness:",
                                    "Piston Down Bore @ TDC:", "Volume above piston:"};
const char* const kFlattopDistanceLabel = "Piston Down Bore @ TDC:";
const char* const kDomedDistanceLabel = "Piston Down From TDC:";
// Grid rows: each input under its marker, a result under the inputs it comes from.
constexpr int kInputRows[] = {0, 1, 2, 4, 5};
constexpr int kGasketVolumeRow = 3;
constexpr int kDeckVolumeRow = 6;

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

// A document value with its units, empty when unset.
QString EngineValue(const CTorqSpec& parameter)
{
    return parameter.IsSet() ? TextOf(parameter.GetTextWithUnits()) : QString();
}

}  // namespace

CCompRatioDlg::CCompRatioDlg(CTorqDoc& doc, QWidget* parent)
    : CCalculatorDialog(parent), m_doc(doc), m_calculator(CompressionCalculatorFor(doc))
{
    setObjectName(QStringLiteral("compressionRatioCalculator"));
    setWindowTitle(tr("Compression Ratio Calculator"));

    QLayout* kindRow = MakePistonKindRow();
    m_picture = new CPistonPicture(this);
    auto* middle = new QHBoxLayout;
    middle->addWidget(MakeInputs(), 1);
    middle->addWidget(m_picture, 0, Qt::AlignTop);

    auto* groups = new QHBoxLayout;
    groups->addWidget(MakeNewRatioGroup(), 1);
    groups->addWidget(MakeEngineGroup(), 1);

    QWidget* buttons = MakeButtons();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(kindRow);
    layout->addLayout(middle);
    layout->addLayout(groups);
    layout->addWidget(MakeHelpRow());
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    SetReadingOrder();

    LayOut();
    ShowResults();
    QRadioButton* current =
        m_calculator.GetPistonKind() == CompressionCalculator::kFlattopPiston ? m_flattop : m_domed;
    current->setChecked(true);
    current->setFocus(Qt::OtherFocusReason);
    connect(m_flattop->group(), &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked) ChoosePistonKind(id);
    });
}

QLayout* CCompRatioDlg::MakePistonKindRow()
{
    m_flattop = new QRadioButton(tr("Piston - Flattop, Without Valve Reliefs"), this);
    m_domed = new QRadioButton(tr("Piston - Has Dome, Dish, or Valve Reliefs"), this);
    auto* kinds = new QButtonGroup(this);
    kinds->addButton(m_flattop, CompressionCalculator::kFlattopPiston);
    kinds->addButton(m_domed, CompressionCalculator::kDomedPiston);
    auto* kindRow = new QHBoxLayout;
    kindRow->addWidget(m_flattop);
    kindRow->addWidget(m_domed);
    kindRow->addStretch(1);
    return kindRow;
}

QWidget* CCompRatioDlg::MakeButtons()
{
    auto* buttons = new QDialogButtonBox(this);
    m_apply = buttons->addButton(tr("Apply"), QDialogButtonBox::AcceptRole);
    m_cancel = buttons->addButton(QDialogButtonBox::Cancel);
    m_apply->setDefault(true);
    SetCancelButton(m_cancel);
    connect(m_apply, &QPushButton::clicked, this, &CCompRatioDlg::Apply);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    return buttons;
}

// Reading order: the piston kind, the five measurements, Apply, Cancel.
void CCompRatioDlg::SetReadingOrder()
{
    setTabOrder(m_flattop, m_domed);
    QWidget* previous = m_domed;
    for (CEditFloatPt* edit : m_edits) {
        setTabOrder(previous, edit);
        previous = edit;
    }
    setTabOrder(previous, m_apply);
    setTabOrder(m_apply, m_cancel);
}

QWidget* CCompRatioDlg::MakeInputs()
{
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setColumnStretch(4, 1);
    for (std::size_t i = 0; i < std::size(kInputs); ++i) {
        const Input input = kInputs[i];
        const int row = kInputRows[i];
        auto* marker = new CMarkerBadge(int(i) + 1, box);
        auto* edit = new CEditFloatPt(box);
        edit->setObjectName(QString::fromUtf8(m_calculator.Parameter(input).GetName()));
        SetFieldWidth(edit, QStringLiteral("-000.000"));
        m_labels[i] = MakeLabel(tr(kInputLabels[i]), box);
        m_labels[i]->setBuddy(edit);
        m_units[i] = MakeLabel(QString::fromUtf8(m_calculator.Parameter(input).GetUnitsLabel()), box);
        m_edits[i] = edit;
        grid->addWidget(marker, row, 0);
        grid->addWidget(m_labels[i], row, 1);
        grid->addWidget(edit, row, 2);
        grid->addWidget(m_units[i], row, 3);
        if (input == Input::PistonVolume) m_volumeMarker = marker;
        if (input == Input::PistonDistance) m_distanceLabel = m_labels[i];
        BindField(
            edit, [this, input](const std::string& text) { return m_calculator.Enter(input, text); },
            [this, input] { return TextOf(EditText(m_calculator.Parameter(input))); },
            [this, input] { return TextOf(m_calculator.Parameter(input).GetPrompt()); });
    }
    const QString widest = QStringLiteral("-00000.00");
    m_gasketVolume = MakeValueLabel(box, widest);
    m_gasketVolume->setObjectName(QStringLiteral("gasketVolume"));
    grid->addWidget(MakeLabel(tr("Head Gasket Volume:"), box), kGasketVolumeRow, 1);
    grid->addWidget(m_gasketVolume, kGasketVolumeRow, 2);
    grid->addWidget(MakeLabel(QStringLiteral("cc"), box), kGasketVolumeRow, 3);
    m_deckLabel = MakeLabel(tr("Deck Volume @ TDC:"), box);
    m_deckVolume = MakeValueLabel(box, widest);
    m_deckVolume->setObjectName(QStringLiteral("deckVolume"));
    m_deckUnits = MakeLabel(QStringLiteral("cc"), box);
    grid->addWidget(m_deckLabel, kDeckVolumeRow, 1);
    grid->addWidget(m_deckVolume, kDeckVolumeRow, 2);
    grid->addWidget(m_deckUnits, kDeckVolumeRow, 3);
    grid->setRowStretch(kDeckVolumeRow + 1, 1);
    return box;
}

QWidget* CCompRatioDlg::MakeNewRatioGroup()
{
    auto* group = new QGroupBox(tr("Calculated New Compression Ratio"), this);
    auto* grid = new QGridLayout(group);
    const QString widest = QStringLiteral("-00000.00 cc");
    m_sweptVolume = MakeValueLabel(group, widest);
    m_totalVolume = MakeValueLabel(group, widest);
    m_ratio = MakeValueLabel(group, widest);
    m_sweptVolume->setObjectName(QStringLiteral("sweptVolume"));
    m_totalVolume->setObjectName(QStringLiteral("totalVolume"));
    m_ratio->setObjectName(QStringLiteral("newRatio"));
    int row = 0;
    for (const auto& [text, value] :
         {std::pair{"Swept Cylinder Vol:", m_sweptVolume}, std::pair{"Total Combustion Vol:", m_totalVolume},
          std::pair{"Compression Ratio:", m_ratio}}) {
        grid->addWidget(MakeLabel(tr(text), group), row, 0);
        grid->addWidget(value, row++, 1);
    }
    grid->setRowStretch(row, 1);
    return group;
}

QWidget* CCompRatioDlg::MakeEngineGroup()
{
    auto* group = new QGroupBox(tr("Current Engine Specs"), this);
    auto* grid = new QGridLayout(group);
    const CTorqDoc& doc = m_doc;
    int row = 0;
    for (const auto& [text, parameter] : {std::pair<const char*, const CTorqSpec*>{"Bore:", &doc.Bore()},
                                          {"Stroke:", &doc.Stroke()},
                                          {"Cylinder Vol:", &doc.CylinderVolume()},
                                          {"Combustion Vol:", &doc.CombustionSpace()},
                                          {"Total Vol:", &doc.TotalBlockVolume()},
                                          {"Compression Ratio:", &doc.CompressionRatio()}}) {
        QLabel* value = MakeValueLabel(group, QStringLiteral("00000.00 cc"));
        value->setText(EngineValue(*parameter));
        value->setObjectName(QStringLiteral("engine ") + QString::fromUtf8(parameter->GetName()));
        grid->addWidget(MakeLabel(tr(text), group), row, 0);
        grid->addWidget(value, row++, 1);
    }
    return group;
}

QList<QWidget*> CCompRatioDlg::PistonVolumeRow() const
{
    const std::size_t i = Index(Input::PistonVolume);
    return {m_volumeMarker, m_labels[i], m_edits[i], m_units[i]};
}

void CCompRatioDlg::ChoosePistonKind(std::int32_t pistonKind)
{
    m_calculator.SetPistonKind(pistonKind);
    LayOut();
    ShowResults();
}

void CCompRatioDlg::LayOut()
{
    // A flattop has no measured volume: its row goes, and the deck volume
    // moves up into its place.
    const bool domed = m_calculator.GetPistonKind() == CompressionCalculator::kDomedPiston;
    m_picture->SetDomed(domed);
    m_distanceLabel->setText(tr(domed ? kDomedDistanceLabel : kFlattopDistanceLabel));
    for (QWidget* widget : PistonVolumeRow()) widget->setVisible(domed);
    RefreshFields();
}

void CCompRatioDlg::ShowResults()
{
    const CompressionCalculator& c = m_calculator;
    m_gasketVolume->setText(TextOf(EditText(c.GasketVolume())));
    m_deckVolume->setText(TextOf(EditText(c.DeckVolume())));
    m_sweptVolume->setText(c.SweptVolume().IsSet() ? TextOf(c.SweptVolume().GetTextWithUnits()) : QString());
    m_totalVolume->setText(c.TotalVolume().IsSet() ? TextOf(c.TotalVolume().GetTextWithUnits()) : QString());
    m_ratio->setText(TextOf(c.RatioText()));
}

void CCompRatioDlg::OnEntryTaken(QLineEdit* /*edit*/)
{
    ShowResults();
}

void CCompRatioDlg::Apply()
{
    if (!CommitEntries()) return;
    if (const ErrorCode code = m_calculator.CheckApply(); code != 0) {
        ShowErrorMessage(code);
        return;
    }
    m_doc.SetModified();
    m_doc.ApplyCompressionCalculator(m_calculator.Result());
    accept();
}
