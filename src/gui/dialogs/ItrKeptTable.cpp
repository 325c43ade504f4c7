#include "dialogs/ItrKeptTable.h"

#include "iterator/Iterator.h"
#include "model/TorqDoc.h"

#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// A cell that shows a text and sorts by a number.
class NumberItem : public QTableWidgetItem {
public:
    NumberItem(const QString& text, double value) : QTableWidgetItem(text), m_value(value)
    {
        setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    bool operator<(const QTableWidgetItem& other) const override
    {
        const auto* number = dynamic_cast<const NumberItem*>(&other);
        return number != nullptr ? m_value < number->m_value : QTableWidgetItem::operator<(other);
    }

private:
    double m_value;
};

}  // namespace

CItrKeptTable::CItrKeptTable(QWidget* parent) : QWidget(parent), m_table(new QTableWidget(this))
{
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->verticalHeader()->hide();
    // One line a result, every value whole: a wide table scrolls sideways.
    m_table->setWordWrap(false);
    m_table->setTextElideMode(Qt::ElideNone);
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);  // as the iterator keeps them
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_table);
}

void CItrKeptTable::ShowResults(const IteratorTest& iterator)
{
    const IteratorScoreMap& sweeps = iterator.GetScoreMap();
    const int kept = iterator.GetTestsRun() == 0 ? 0 : iterator.GetKeptCount();
    const bool torque = iterator.GetCriterion() == kMaxTorque;
    QStringList titles{tr("No."), torque ? tr("Torque (lb-ft)") : tr("Power (hp)"), tr("Test")};
    for (int axis = 0; axis < sweeps.AxisCount(); ++axis)
        titles << QString::fromLatin1(IterationDataTypeName(sweeps.GetAxis(axis).type));

    // Filled unsorted, then sorted again by the column the user chose.
    const int sortColumn = m_table->horizontalHeader()->sortIndicatorSection();
    const Qt::SortOrder order = m_table->horizontalHeader()->sortIndicatorOrder();
    m_table->setSortingEnabled(false);
    m_table->clear();
    m_table->setColumnCount(static_cast<int>(titles.size()));
    m_table->setHorizontalHeaderLabels(titles);
    m_table->setRowCount(kept);
    for (int i = 0; i < kept; ++i) {
        const float score = iterator.GetBestScore(i);
        m_table->setItem(i, 0, new NumberItem(tr("No. %1").arg(i + 1), i));
        m_table->setItem(i, 1, new NumberItem(QString::number(score, 'f', 1), score));
        const auto test = static_cast<double>(iterator.GetBestTestNumber(i));
        m_table->setItem(i, 2, new NumberItem(QString::number(iterator.GetBestTestNumber(i)), test));
        const CTorqDoc& engine = iterator.GetBestEngine(i);
        for (int axis = 0; axis < sweeps.AxisCount(); ++axis) {
            const CFloatPtSpec& value = SweptParameter(engine, sweeps.GetAxis(axis).type);
            m_table->setItem(
                i, 3 + axis,
                new NumberItem(QString::fromStdString(value.GetTextWithUnits()), value.GetValue()));
        }
    }
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(sortColumn >= 0 && sortColumn < m_table->columnCount() ? sortColumn : 0, order);
}
