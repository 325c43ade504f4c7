#include "ChartLegend.h"

#include "widgets/ViewFont.h"

#include <QGridLayout>
#include <QLabel>
#include <QPixmap>
#include <QResizeEvent>
#include <QVBoxLayout>

#include <map>
#include <set>

namespace {

const QSize kSwatchSize(30, 12);
// The wrapped legend may take up to half of the graph's height.
constexpr int kMostShareOfGraph = 2;

// Engine and file names rarely have blanks; a zero-width space after each
// '-', '_', '.' and '/' lets the text wrap there too.
QString WithBreakHints(QString text)
{
    for (const QChar separator : {QLatin1Char('-'), QLatin1Char('_'), QLatin1Char('.'), QLatin1Char('/')}) {
        text.replace(separator, QString(separator) + QChar(0x200B));
    }
    return text;
}

}  // namespace

CChartLegend::CChartLegend(QWidget* parent)
    : QWidget(parent), m_grid(new QGridLayout), m_note(new QLabel(this)), m_dayNote(new QLabel(this))
{
    setFont(SmallViewFont());
    setAutoFillBackground(true);
    QPalette grey = palette();
    grey.setColor(QPalette::Window, kChartGrey);
    grey.setColor(QPalette::WindowText, Qt::black);
    setPalette(grey);
    m_grid->setContentsMargins(0, 0, 0, 0);
    m_grid->setHorizontalSpacing(6);
    m_grid->setVerticalSpacing(2);
    m_note->setWordWrap(true);
    QPalette noteColour = m_note->palette();
    noteColour.setColor(QPalette::WindowText, QColor(128, 0, 0));
    m_note->setPalette(noteColour);
    m_note->hide();
    // Tiled windows make the graph short: the legend then goes compact.
    if (parent != nullptr) parent->installEventFilter(this);
    m_dayNote->setWordWrap(true);
    QPalette dayColour = m_dayNote->palette();
    dayColour.setColor(QPalette::WindowText, kChartDayNoteColour);
    m_dayNote->setPalette(dayColour);
    m_dayNote->hide();
    // The height follows the width (wrapped texts): the graph above takes the rest.
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 2, 8, 4);
    layout->setSpacing(2);
    layout->addLayout(m_grid);
    layout->addWidget(m_note);
    layout->addWidget(m_dayNote);
}

// The entries go once the event under way is done: a press on an entry of an
// engine window that is not active activates the window, whose views are
// brought up to date while Qt is still delivering that press to the entry.
void CChartLegend::Clear()
{
    // A compact entry shows one label for swatch and name: each label goes once.
    std::set<QLabel*> labels;
    for (const Entry& entry : m_entries) labels.insert({entry.swatch, entry.text});
    for (QLabel* label : labels) {
        m_grid->removeWidget(label);
        label->hide();
        label->deleteLater();
    }
    m_entries.clear();
    m_names.clear();
}

void CChartLegend::SetPicture(const ChartPicture& picture)
{
    m_picture = picture;
    m_compact = WantsCompact();
    Rebuild();
}

void CChartLegend::Rebuild()
{
    Clear();
    // Wrapped: swatch, text, swatch, text; compact: two swatches and the name.
    const int stretches[2][4] = {{0, 1, 0, 1}, {0, 0, 1, 0}};
    for (int column = 0; column < 4; ++column) m_grid->setColumnStretch(column, stretches[m_compact][column]);
    for (const ChartCurve& curve : m_picture.curves) {
        if (m_compact) {
            AddCompactEntry(curve);
        } else {
            AddWrappedEntry(curve);
        }
    }
    m_note->setText(m_picture.clipNote);
    m_note->setVisible(!m_picture.clipNote.isEmpty());
    m_dayNote->setText(m_picture.dayNote);
    m_dayNote->setVisible(!m_picture.dayNote.isEmpty());
    m_shownHeight = -1;
    ElideNames();
    updateGeometry();
}

QLabel* CChartLegend::MakeSwatch(const ChartCurve& curve)
{
    auto* swatch = new QLabel(this);
    swatch->setPixmap(QPixmap::fromImage(LegendSwatchImage(curve.style, kSwatchSize, devicePixelRatioF())));
    swatch->setFixedSize(kSwatchSize);
    QString tip = curve.engineName + QStringLiteral("\n") + curve.legend;
    if (!curve.tip.isEmpty()) tip += QStringLiteral("\n") + curve.tip;
    swatch->setToolTip(tip);
    return swatch;
}

void CChartLegend::AddWrappedEntry(const ChartCurve& curve)
{
    QLabel* swatch = MakeSwatch(curve);
    auto* text = new QLabel(WithBreakHints(curve.legend), this);
    QSizePolicy policy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);  // wrapped text: the height follows the width
    text->setSizePolicy(policy);
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    text->setMinimumWidth(40);
    text->setToolTip(swatch->toolTip());
    // One row per engine: the Y1 entry left, the Y2 entry right.
    const int column = curve.y2 ? 2 : 0;
    m_grid->addWidget(swatch, curve.set, column, Qt::AlignTop);
    m_grid->addWidget(text, curve.set, column + 1);
    m_entries.push_back({swatch, text, curve.style, curve.legend});
}

// One line per engine: its swatches side by side, then its name.
void CChartLegend::AddCompactEntry(const ChartCurve& curve)
{
    QLabel* swatch = MakeSwatch(curve);
    m_grid->addWidget(swatch, curve.set, curve.y2 ? 1 : 0, Qt::AlignVCenter);
    QLabel* name = nullptr;
    for (const auto& [label, fullName] : m_names) {
        if (label->property("set").toInt() == curve.set) name = label;
    }
    if (name == nullptr) {
        name = new QLabel(this);
        name->setProperty("set", curve.set);
        name->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        name->setToolTip(curve.engineName);
        m_grid->addWidget(name, curve.set, 2);
        name->installEventFilter(this);
        m_names.emplace_back(name, curve.engineName);
    }
    m_entries.push_back({swatch, name, curve.style, curve.legend});
}

void CChartLegend::ElideNames()
{
    for (const auto& [label, name] : m_names) {
        const int room = label->width() > 0 ? label->width() : width() / 2;
        label->setText(label->fontMetrics().elidedText(name, Qt::ElideMiddle, room));
    }
}

int CChartLegend::WrappedRowsHeight(int width) const
{
    // Two entries a row, each a swatch and its wrapped text.
    const QFontMetrics metrics(font());
    const int textWidth = std::max(40, (width - 16 - 2 * kSwatchSize.width() - 3 * 6) / 2);
    std::map<int, int> rows;
    for (const ChartCurve& curve : m_picture.curves) {
        const QRect text = metrics.boundingRect(QRect(0, 0, textWidth, 10000),
                                                Qt::TextWordWrap | Qt::TextWrapAnywhere, curve.legend);
        rows[curve.set] = std::max(rows[curve.set], std::max(text.height(), kSwatchSize.height()) + 2);
    }
    int height = 0;
    for (const auto& [set, rowHeight] : rows) height += rowHeight;
    return height;
}

bool CChartLegend::WantsCompact() const
{
    const QWidget* graph = parentWidget();
    if (graph == nullptr || graph->height() <= 0 || width() <= 0) return false;
    return WrappedRowsHeight(width()) * kMostShareOfGraph > graph->height();
}

int CChartLegend::HeightFor(int width) const
{
    return layout()->hasHeightForWidth() ? layout()->heightForWidth(width) : layout()->sizeHint().height();
}

QSize CChartLegend::sizeHint() const
{
    const int width = this->width() > 0 ? this->width() : 400;
    return {width, HeightFor(width)};
}

QSize CChartLegend::minimumSizeHint() const
{
    return {0, sizeHint().height()};
}

void CChartLegend::FollowSize()
{
    if (WantsCompact() != m_compact) {
        m_compact = !m_compact;
        Rebuild();
        return;
    }
    const int height = HeightFor(width());
    if (height != m_shownHeight) {
        m_shownHeight = height;
        updateGeometry();
    }
}

void CChartLegend::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    FollowSize();
}

bool CChartLegend::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize) {
        if (watched == parentWidget()) FollowSize();
        if (m_compact && watched != parentWidget()) ElideNames();
    }
    return QWidget::eventFilter(watched, event);
}
