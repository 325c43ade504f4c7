#include "Chart2dDlg.h"

#include "WeatherChoice.h"
#include "WeatherGroup.h"
#include "model/DocumentRegistry.h"
#include "model/TorqDoc.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QVBoxLayout>

namespace {

void SelectData(QComboBox* box, int value)
{
    const int index = box->findData(value);
    box->setCurrentIndex(index >= 0 ? index : 0);
}

}  // namespace

CChart2dDlg::CChart2dDlg(const CTorqDoc& ownDocument, const CDocumentRegistry& registry, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Graph Properties"));
    m_ownName = QString::fromStdString(ownDocument.GetTitle());
    m_ownNumber = ownDocument.GetDocumentNumber();
    QWidget* compareGroup = MakeCompareGroup(ownDocument, registry);
    QWidget* axesGroup = MakeAxesGroup();
    QWidget* lookGroup = MakeLookGroup(ownDocument);
    QWidget* differenceGroup = MakeDifferenceGroup();
    m_weather = new CWeatherGroup(ownDocument.GetUnitSystem() == kMetricUnits, this);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    // Engines and axes on the left; how the figures are shown on the right.
    auto* left = new QVBoxLayout;
    left->addWidget(compareGroup);
    left->addWidget(axesGroup);
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(lookGroup);
    right->addWidget(differenceGroup);
    right->addWidget(m_weather);
    right->addStretch(1);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addLayout(right);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(buttons);
}

// Up to seven other open engines to draw beside the own one, in two columns.
QWidget* CChart2dDlg::MakeCompareGroup(const CTorqDoc& ownDocument, const CDocumentRegistry& registry)
{
    auto* compareGroup = new QGroupBox(tr("Compare With Other Engines"), this);
    auto* compareLayout = new QGridLayout(compareGroup);
    constexpr int kRows = (kChartCompareCount + 1) / 2;
    for (std::size_t i = 0; i < m_compare.size(); ++i) {
        auto* box = new QComboBox(compareGroup);
        box->addItem(QStringLiteral("(None)"), 0);
        for (const CTorqDoc* doc : registry.Documents()) {
            if (doc == &ownDocument) continue;
            box->addItem(QString::fromStdString(doc->GetTitle()), doc->GetDocumentNumber());
        }
        box->setMinimumContentsLength(18);
        m_compare[i] = box;
        auto* label = new QLabel(tr("Engine &%1:").arg(i + 2), compareGroup);
        label->setBuddy(box);
        const int row = static_cast<int>(i) % kRows;
        const int column = static_cast<int>(i) / kRows * 2;
        compareLayout->addWidget(label, row, column);
        compareLayout->addWidget(box, row, column + 1);
        connect(box, &QComboBox::currentIndexChanged, this, &CChart2dDlg::ListBaselines);
    }
    compareLayout->setColumnStretch(1, 1);
    compareLayout->setColumnStretch(3, 1);
    return compareGroup;
}

// Values, or every engine's difference from one of the engines shown.
QWidget* CChart2dDlg::MakeDifferenceGroup()
{
    auto* group = new QGroupBox(tr("Curves"), this);
    auto* layout = new QFormLayout(group);
    m_difference = new QComboBox(group);
    for (DifferenceKind kind : {DifferenceKind::None, DifferenceKind::Units, DifferenceKind::Percent})
        m_difference->addItem(QString::fromLatin1(DifferenceKindName(kind)), static_cast<int>(kind));
    m_difference->setToolTip(
        tr("Each engine's power and torque less those of the engine chosen below, "
           "in their units or in per cent of its figures"));
    m_baseline = new QComboBox(group);
    auto* showLabel = new QLabel(tr("S&how:"), group);
    showLabel->setBuddy(m_difference);
    auto* fromLabel = new QLabel(tr("&From engine:"), group);
    fromLabel->setBuddy(m_baseline);
    layout->addRow(showLabel, m_difference);
    layout->addRow(fromLabel, m_baseline);
    connect(m_difference, &QComboBox::currentIndexChanged, this,
            [this] { m_baseline->setEnabled(m_difference->currentData().toInt() != 0); });
    ListBaselines();
    m_baseline->setEnabled(false);
    return group;
}

// The baseline is one of the engines the graph shows: the own one and those chosen above.
void CChart2dDlg::ListBaselines()
{
    const int chosen = m_baseline->currentData().toInt();
    const QSignalBlocker blocker(m_baseline);
    m_baseline->clear();
    m_baseline->addItem(m_ownName, m_ownNumber);
    for (const QComboBox* box : m_compare) {
        if (box == nullptr) continue;
        const int number = box->currentData().toInt();
        if (number != 0 && m_baseline->findData(number) < 0) m_baseline->addItem(box->currentText(), number);
    }
    const int index = m_baseline->findData(chosen);
    m_baseline->setCurrentIndex(index >= 0 ? index : 0);
}

// The series and the range of each axis.
QWidget* CChart2dDlg::MakeAxesGroup()
{
    auto* axesGroup = new QGroupBox(tr("Axes"), this);
    auto* axesLayout = new QGridLayout(axesGroup);
    axesLayout->addWidget(new QLabel(tr("Data"), axesGroup), 0, 1);
    axesLayout->addWidget(new QLabel(tr("Range"), axesGroup), 0, 2);
    const std::array<QString, kChartAxisCount> axisLabels{tr("&X axis:"), tr("Y&1 axis:"), tr("Y&2 axis:")};
    for (ChartAxis axis : kChartAxes) {
        auto* series = new QComboBox(axesGroup);
        // Only the second y axis can be left empty.
        for (int index = axis == ChartAxis::Y2 ? 0 : 1; index < kChartSeriesCount; ++index) {
            series->addItem(QString::fromLatin1(GetChartSeries(index).menuName), index);
        }
        auto* range = new QComboBox(axesGroup);
        for (int kind = 0; kind < kChartRangeKinds; ++kind)
            range->addItem(QString::fromLatin1(GetRangeKindName(kind)), kind);
        auto* label = new QLabel(axisLabels[Index(axis)], axesGroup);
        label->setBuddy(series);
        const int row = static_cast<int>(axis) + 1;
        axesLayout->addWidget(label, row, 0);
        axesLayout->addWidget(series, row, 1);
        axesLayout->addWidget(range, row, 2);
        m_series[Index(axis)] = series;
        m_range[Index(axis)] = range;
    }
    return axesGroup;
}

// A colour for every engine, and the units of a metric engine's results.
QWidget* CChart2dDlg::MakeLookGroup(const CTorqDoc& ownDocument)
{
    auto* lookGroup = new QGroupBox(tr("Appearance"), this);
    auto* lookLayout = new QFormLayout(lookGroup);
    m_colourEachEngine = new QCheckBox(tr("&Colour each engine"), lookGroup);
    m_colourEachEngine->setToolTip(tr(
        "Every engine in a colour of its own that colour-blind eyes tell apart: power solid, torque dashed"));
    lookLayout->addRow(m_colourEachEngine);
    m_units = new QComboBox(lookGroup);
    for (ResultUnits units : {ResultUnits::English, ResultUnits::MetricKpa, ResultUnits::MetricBar}) {
        m_units->addItem(QString::fromUtf8(ResultUnitsName(units)), static_cast<int>(units));
    }
    // Only a metric engine shows its results in other units.
    m_units->setEnabled(ownDocument.GetUnitSystem() == kMetricUnits);
    if (!m_units->isEnabled()) m_units->setToolTip(tr("For an engine in Foreign/Metric Units"));
    auto* unitsLabel = new QLabel(tr("Result &units:"), lookGroup);
    unitsLabel->setBuddy(m_units);
    lookLayout->addRow(unitsLabel, m_units);
    return lookGroup;
}

void CChart2dDlg::SetOptions(const ChartOptions& options)
{
    for (std::size_t i = 0; i < m_compare.size(); ++i) SelectData(m_compare[i], options.comparedDocuments[i]);
    for (ChartAxis axis : kChartAxes) {
        SelectData(m_series[Index(axis)], options.axes[axis].series);
        SelectData(m_range[Index(axis)], options.axes[axis].rangeKind);
    }
    m_colourEachEngine->setChecked(options.colourEachEngine);
    SelectData(m_units, static_cast<int>(options.resultUnits));
    m_weather->SetCorrection(options.correction);
    ListBaselines();
    SelectData(m_difference, static_cast<int>(options.difference));
    SelectData(m_baseline, options.differenceBaseline);
}

ChartOptions CChart2dDlg::Options() const
{
    ChartOptions options;
    for (std::size_t i = 0; i < m_compare.size(); ++i) {
        options.comparedDocuments[i] = m_compare[i]->currentData().toInt();
    }
    for (ChartAxis axis : kChartAxes) {
        options.axes[axis] = ChartAxisDescription::Make(m_series[Index(axis)]->currentData().toInt(),
                                                        m_range[Index(axis)]->currentData().toInt());
    }
    options.colourEachEngine = m_colourEachEngine->isChecked();
    options.resultUnits = static_cast<ResultUnits>(m_units->currentData().toInt());
    options.correction = m_weather->Correction();
    options.difference = static_cast<DifferenceKind>(m_difference->currentData().toInt());
    options.differenceBaseline =
        options.difference == DifferenceKind::None ? 0 : m_baseline->currentData().toInt();
    return options;
}

void CChart2dDlg::accept()
{
    QString problem;
    QWidget* field = nullptr;
    if (!m_weather->Check(problem, field)) {
        QMessageBox::warning(this, windowTitle(), problem);
        if (field != nullptr) field->setFocus(Qt::OtherFocusReason);
        return;
    }
    // The day typed is offered again the next time a day is chosen.
    const ResultCorrection correction = m_weather->Correction();
    if (!correction.IsModelDay()) RememberTypedDay(correction.day);
    QDialog::accept();
}
