#include "ChartLegend.h"

#include "widgets/ViewFont.h"

#include <QGridLayout>
#include <QLabel>
#include <QPixmap>
#include <QResizeEvent>
#include <QVBoxLayout>

namespace {

const QSize kSwatchSize(30, 12);

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
    : QWidget(parent), m_grid(new QGridLayout), m_note(new QLabel(this))
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
    m_grid->setColumnStretch(1, 1);
    m_grid->setColumnStretch(3, 1);
    m_note->setWordWrap(true);
    QPalette noteColour = m_note->palette();
    noteColour.setColor(QPalette::WindowText, QColor(128, 0, 0));
    m_note->setPalette(noteColour);
    m_note->hide();
    // The height follows the width (wrapped texts): the graph above takes the rest.
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 2, 8, 4);
    layout->setSpacing(2);
    layout->addLayout(m_grid);
    layout->addWidget(m_note);
}

// The entries go once the event under way is done: a press on an entry of an
// engine window that is not active activates the window, whose views are
// brought up to date while Qt is still delivering that press to the entry.
void CChartLegend::Clear()
{
    for (const Entry& entry : m_entries) {
        for (QLabel* label : {entry.swatch, entry.text}) {
            m_grid->removeWidget(label);
            label->hide();
            label->deleteLater();
        }
    }
    m_entries.clear();
}

void CChartLegend::SetPicture(const ChartPicture& picture)
{
    Clear();
    const double ratio = devicePixelRatioF();
    for (const ChartCurve& curve : picture.curves) {
        auto* swatch = new QLabel(this);
        swatch->setPixmap(QPixmap::fromImage(LegendSwatchImage(curve.style, kSwatchSize, ratio)));
        swatch->setFixedSize(kSwatchSize);
        auto* text = new QLabel(WithBreakHints(curve.legend), this);
        QSizePolicy policy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        policy.setHeightForWidth(true);  // wrapped text: the height follows the width
        text->setSizePolicy(policy);
        text->setWordWrap(true);
        text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        text->setMinimumWidth(40);
        QString tip = curve.engineName + QStringLiteral("\n") + curve.legend;
        if (!curve.tip.isEmpty()) tip += QStringLiteral("\n") + curve.tip;
        text->setToolTip(tip);
        swatch->setToolTip(tip);
        // One row per engine: the Y1 entry left, the Y2 entry right.
        const int column = curve.y2 ? 2 : 0;
        m_grid->addWidget(swatch, curve.set, column, Qt::AlignTop);
        m_grid->addWidget(text, curve.set, column + 1);
        m_entries.push_back({swatch, text, curve.style, curve.legend});
    }
    m_note->setText(picture.clipNote);
    m_note->setVisible(!picture.clipNote.isEmpty());
    m_shownHeight = -1;
    updateGeometry();
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

void CChartLegend::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int height = HeightFor(event->size().width());
    if (height != m_shownHeight) {
        m_shownHeight = height;
        updateGeometry();
    }
}
