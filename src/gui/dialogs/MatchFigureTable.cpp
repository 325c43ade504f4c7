#include "MatchFigureTable.h"

#include "base/Units.h"
#include "base/Util.h"
#include "model/TorqDoc.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kMostDecimals = 4;

// Enough decimals to show the figure's lattice in the units shown (0.001 in,
// 0.0254 mm, 0.5 degree, 1 cfm).
int DecimalsFor(double shownResolution)
{
    const int decimals = static_cast<int>(std::ceil(-std::log10(shownResolution) - 1e-9));
    return std::clamp(decimals, 0, kMostDecimals);
}

QLabel* HeaderLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

}  // namespace

CMatchFigureTable::CMatchFigureTable(const CTorqDoc& engine, QWidget* parent)
    : QWidget(parent), m_engine(engine)
{
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(2);
    int column = 0;
    for (const QString& title :
         {tr("Free"), tr("Today"), tr("From"), tr("To"), tr("Found"), tr("Firm range")}) {
        grid->addWidget(HeaderLabel(title, this), 0, column++);
    }
    int gridRow = 1;
    for (const MatchFigureInfo& info : AllMatchFigures()) AddRow(gridRow++, info.figure);
    grid->setColumnStretch(5, 1);
}

QString CMatchFigureTable::Shown(MatchFigure figure, double english) const
{
    const CFloatPtSpec& spec = FigureParameter(m_engine, figure);
    const QString value = QString::fromStdString(
        FormatC(FindUnitInfo(spec.GetUnitCode())->format, ToShownUnits(m_engine, figure, english)));
    const QString unit = QString::fromStdString(TrimBlanks(spec.GetUnitsLabel()));
    return unit.isEmpty() ? value : value + QLatin1Char(' ') + unit;
}

void CMatchFigureTable::AddRow(int gridRow, MatchFigure figure)
{
    auto* grid = static_cast<QGridLayout*>(layout());
    const MatchFigureInfo& info = FigureInfo(figure);
    const CFloatPtSpec& spec = FigureParameter(m_engine, figure);
    Row& row = m_rows[static_cast<std::size_t>(figure)];
    row.figure = figure;
    row.free = new QCheckBox(QString::fromLatin1(info.label), this);
    row.free->setToolTip(QString::fromStdString(spec.GetPrompt()));
    row.today = new QLabel(Shown(figure, EnglishValue(m_engine, figure)), this);
    const FigureRange limits = ParameterRange(m_engine, figure);
    const FigureRange band = DefaultRange(m_engine, figure);
    const int decimals = DecimalsFor(ToShownUnits(m_engine, figure, info.resolution));
    const auto makeBox = [&](double english) {
        auto* box = new QDoubleSpinBox(this);
        box->setDecimals(decimals);
        box->setRange(ToShownUnits(m_engine, figure, limits.min), ToShownUnits(m_engine, figure, limits.max));
        box->setSingleStep(ToShownUnits(m_engine, figure, info.naturalStep));
        box->setValue(ToShownUnits(m_engine, figure, english));
        box->setEnabled(false);
        return box;
    };
    row.from = makeBox(band.min);
    row.to = makeBox(band.max);
    row.found = new QLabel(this);
    row.firm = new QLabel(this);
    connect(row.free, &QCheckBox::toggled, this, [this, figure](bool on) {
        const Row& changed = m_rows[static_cast<std::size_t>(figure)];
        changed.from->setEnabled(on);
        changed.to->setEnabled(on);
        emit TickedChanged();
    });
    int column = 0;
    for (QWidget* widget :
         std::initializer_list<QWidget*>{row.free, row.today, row.from, row.to, row.found, row.firm})
        grid->addWidget(widget, gridRow, column++);
}

std::vector<FigureRange> CMatchFigureTable::TickedRanges() const
{
    std::vector<FigureRange> ranges;
    for (const Row& row : m_rows) {
        if (!row.free->isChecked()) continue;
        ranges.push_back({row.figure, ToEnglishUnits(m_engine, row.figure, row.from->value()),
                          ToEnglishUnits(m_engine, row.figure, row.to->value())});
    }
    return ranges;
}

bool CMatchFigureTable::AnyTicked() const
{
    return std::any_of(m_rows.begin(), m_rows.end(), [](const Row& row) { return row.free->isChecked(); });
}

void CMatchFigureTable::ShowResult(const MatchResult& result)
{
    ClearResult();
    for (const MatchedFigure& matched : result.figures) {
        const Row& row = RowOf(matched.range.figure);
        QString found = Shown(matched.range.figure, matched.after);
        if (matched.atRangeEdge) found += tr(" (range end)");
        row.found->setText(found);
        row.firm->setText(result.firmRangesKnown
                              ? Shown(matched.range.figure, matched.firmFrom) + QStringLiteral(" - ") +
                                    Shown(matched.range.figure, matched.firmTo)
                              : tr("not worked out"));
    }
}

void CMatchFigureTable::ClearResult()
{
    for (const Row& row : m_rows) {
        row.found->clear();
        row.firm->clear();
    }
}
