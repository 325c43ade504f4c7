#include "Chart2dDlg.h"

#include "model/DocumentRegistry.h"
#include "model/TorqDoc.h"

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

    auto* compareGroup = new QGroupBox(tr("Compare With Other Engines"), this);
    auto* compareLayout = new QFormLayout(compareGroup);
    const std::array<QString, kChartSlotCount - 1> compareLabels{tr("Engine &2:"), tr("Engine &3:"),
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

    auto* axesGroup = new QGroupBox(tr("Axes"), this);
    auto* axesLayout = new QGridLayout(axesGroup);
    axesLayout->addWidget(new QLabel(tr("Data"), axesGroup), 0, 1);
    axesLayout->addWidget(new QLabel(tr("Range"), axesGroup), 0, 2);
    const std::array<QString, 3> axisLabels{tr("&X axis:"), tr("Y&1 axis:"), tr("Y&2 axis:")};
    for (std::size_t axis = 0; axis < 3; ++axis) {
        auto* series = new QComboBox(axesGroup);
        // Only the second y axis can be left empty.
        for (int index = axis == 2 ? 0 : 1; index < kChartSeriesCount; ++index) {
            series->addItem(QString::fromLatin1(GetChartSeries(index).menuName), index);
        }
        auto* range = new QComboBox(axesGroup);
        for (int kind = 0; kind < kChartRangeKinds; ++kind) range->addItem(QString::fromLatin1(GetRangeKindName(kind)), kind);
        auto* label = new QLabel(axisLabels[axis], axesGroup);
        label->setBuddy(series);
        const int row = static_cast<int>(axis) + 1;
        axesLayout->addWidget(label, row, 0);
        axesLayout->addWidget(series, row, 1);
        axesLayout->addWidget(range, row, 2);
        m_series[axis] = series;
        m_range[axis] = range;
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(compareGroup);
    layout->addWidget(axesGroup);
    layout->addWidget(buttons);
}

void CChart2dDlg::SetAxes(const ChartAxisDescription& x, const ChartAxisDescription& y1,
                          const ChartAxisDescription& y2)
{
    const std::array<const ChartAxisDescription*, 3> axes{&x, &y1, &y2};
    for (std::size_t axis = 0; axis < 3; ++axis) {
        SelectData(m_series[axis], axes[axis]->series);
        SelectData(m_range[axis], axes[axis]->rangeKind);
    }
}

ChartAxisDescription CChart2dDlg::AxisChoice(ChartAxis axis) const
{
    return ChartAxisDescription::Make(m_series[Index(axis)]->currentData().toInt(),
                                      m_range[Index(axis)]->currentData().toInt());
}

void CChart2dDlg::SetComparedDocuments(const std::array<int, kChartSlotCount - 1>& documentNumbers)
{
    for (std::size_t i = 0; i < m_compare.size(); ++i) SelectData(m_compare[i], documentNumbers[i]);
}

std::array<int, kChartSlotCount - 1> CChart2dDlg::ComparedDocuments() const
{
    std::array<int, kChartSlotCount - 1> numbers{};
    for (std::size_t i = 0; i < m_compare.size(); ++i) numbers[i] = m_compare[i]->currentData().toInt();
    return numbers;
}
