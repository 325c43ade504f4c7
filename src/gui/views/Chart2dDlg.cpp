#include "Chart2dDlg.h"

#include "model/DocumentRegistry.h"
#include "model/TorqDoc.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
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
    QWidget* compareGroup = MakeCompareGroup(ownDocument, registry);
    QWidget* axesGroup = MakeAxesGroup();
    QWidget* lookGroup = MakeLookGroup(ownDocument);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(compareGroup);
    layout->addWidget(axesGroup);
    layout->addWidget(lookGroup);
    layout->addWidget(buttons);
}

// Up to three other open engines to draw beside the own one.
QWidget* CChart2dDlg::MakeCompareGroup(const CTorqDoc& ownDocument, const CDocumentRegistry& registry)
{
    auto* compareGroup = new QGroupBox(tr("Compare With Other Engines"), this);
    auto* compareLayout = new QFormLayout(compareGroup);
    const std::array<QString, kChartCompareCount> compareLabels{tr("Engine &2:"), tr("Engine &3:"),
                                                                tr("Engine &4:")};
    for (std::size_t i = 0; i < m_compare.size(); ++i) {
        auto* box = new QComboBox(compareGroup);
        box->addItem(QStringLiteral("(None)"), 0);
        for (const CTorqDoc* doc : registry.Documents()) {
            if (doc == &ownDocument) continue;
            box->addItem(QString::fromStdString(doc->GetTitle()), doc->GetDocumentNumber());
        }
        box->setMinimumContentsLength(24);
        m_compare[i] = box;
        compareLayout->addRow(compareLabels[i], box);
    }
    return compareGroup;
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
    return options;
}
