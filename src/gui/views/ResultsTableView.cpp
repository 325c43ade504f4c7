#include "ResultsTableView.h"

#include "ResultUnitsChoice.h"
#include "StaleResultsNote.h"
#include "WeatherChoice.h"
#include "report/MeasuredColumns.h"
#include "report/MeasuredPulls.h"
#include "report/Printouts.h"
#include "widgets/ViewFont.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QMenu>
#include <QMimeData>
#include <QPaintEvent>
#include <QPainter>
#include <QPrinter>
#include <QScrollBar>

namespace {

constexpr int kExtentChars = 90;  // scroll extent: 90 characters by 50 lines
constexpr int kExtentLines = 50;
constexpr int kScreenBackground = 192;

QString HtmlTable(const QString& tsv)
{
    const QStringList lines = tsv.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QString html = QStringLiteral("<table>\n");
    for (qsizetype row = 0; row < lines.size(); ++row) {
        const QString cell = row == 0 ? QStringLiteral("th") : QStringLiteral("td");
        html += QStringLiteral("<tr>");
        for (const QString& text : lines[row].split(QLatin1Char('\t'))) {
            html += QStringLiteral("<%1>%2</%1>").arg(cell, text.toHtmlEscaped());
        }
        html += QStringLiteral("</tr>\n");
    }
    return html + QStringLiteral("</table>\n");
}

}  // namespace

CResultsTableView::CResultsTableView(CTorqDoc& document, QWidget* parent)
    : QAbstractScrollArea(parent), m_document(&document), m_font(SmallViewFont())
{
    viewport()->setFont(m_font);
    viewport()->setAutoFillBackground(false);
    m_document->AddObserver(this);
    UpdateScrollBars();
}

CResultsTableView::~CResultsTableView()
{
    if (m_document != nullptr) m_document->RemoveObserver(this);
}

ResultsTableLayout CResultsTableView::ScreenLayout() const
{
    TORQ_ASSERT(m_document != nullptr);
    const QFontMetrics metrics(m_font);
    const ResultUnits units = DisplayedResultUnits(*m_document);
    ResultsTableLayout layout = ComputeResultsTableLayout(
        *m_document, metrics.height(), metrics.averageCharWidth(), units, ChosenCorrection(*m_document));
    if (const MeasuredPull* pull = ShownPull()) AddMeasuredColumns(layout, *m_document, *pull, units);
    return layout;
}

QSize CResultsTableView::ScrollExtent() const
{
    const QFontMetrics metrics(m_font);
    // Each measured column is ten characters wide, as the others are.
    const int chars = kExtentChars + (ShownPull() != nullptr ? 10 * kMeasuredColumnCount : 0);
    return {chars * metrics.averageCharWidth(), ContentTop() + kExtentLines * metrics.height()};
}

int CResultsTableView::ContentTop() const
{
    return m_stale && m_staleNote != nullptr ? m_staleNote->geometry().bottom() + 1 : 0;
}

void CResultsTableView::SetMeasuredPulls(CMeasuredPulls* measured)
{
    if (m_measured != nullptr) disconnect(m_measured, nullptr, this, nullptr);
    m_measured = measured;
    if (m_measured != nullptr) {
        connect(m_measured, &CMeasuredPulls::Changed, this, [this] {
            UpdateScrollBars();
            viewport()->update();
        });
    }
    UpdateScrollBars();
    viewport()->update();
}

void CResultsTableView::ShowMeasuredPull(const QString& path)
{
    m_shownPull = path;
    UpdateScrollBars();
    viewport()->update();
}

const MeasuredPull* CResultsTableView::ShownPull() const
{
    if (m_measured == nullptr || m_shownPull.isEmpty()) return nullptr;
    const int index = m_measured->IndexOf(m_shownPull);
    return index < 0 ? nullptr : &m_measured->Pulls()[static_cast<std::size_t>(index)];
}

void CResultsTableView::OnDocumentChanged(CTorqDoc& document, DocumentChange change)
{
    if (&document != m_document) return;
    if (change == DocumentChange::Destroyed) {
        m_document = nullptr;
        return;
    }
    if (change == DocumentChange::Updated) viewport()->update();
}

void CResultsTableView::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    // The background reaches 5 units past the client area to the right and bottom.
    const QRect background = viewport()->rect().adjusted(0, 0, 5, 5);
    painter.fillRect(background, QColor(kScreenBackground, kScreenBackground, kScreenBackground));
    if (m_document == nullptr) return;
    painter.setClipRect(event->rect());
    painter.translate(-horizontalScrollBar()->value(), ContentTop() - verticalScrollBar()->value());
    painter.setFont(m_font);
    PaintResultsTable(painter, ScreenLayout(), false);
    if (m_stale) {
        painter.resetTransform();
        painter.fillRect(background, QColor(kScreenBackground, kScreenBackground, kScreenBackground, 170));
    }
}

void CResultsTableView::SetStale(bool stale)
{
    if (stale == m_stale) return;
    m_stale = stale;
    if (m_stale && m_staleNote == nullptr) m_staleNote = new CStaleResultsNote(this);
    if (m_staleNote != nullptr) m_staleNote->setVisible(m_stale);
    UpdateScrollBars();
    viewport()->update();
}

void CResultsTableView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void CResultsTableView::scrollContentsBy(int, int)
{
    viewport()->update();
}

void CResultsTableView::UpdateScrollBars()
{
    const QSize extent = ScrollExtent();
    const QSize page = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, extent.width() - page.width()));
    horizontalScrollBar()->setPageStep(page.width());
    horizontalScrollBar()->setSingleStep(QFontMetrics(m_font).averageCharWidth());
    verticalScrollBar()->setRange(0, std::max(0, extent.height() - page.height()));
    verticalScrollBar()->setPageStep(page.height());
    verticalScrollBar()->setSingleStep(QFontMetrics(m_font).height());
}

QMimeData* CResultsTableView::CreateCopyData() const
{
    auto* data = new QMimeData;
    if (m_document == nullptr) return data;
    const ResultUnits units = DisplayedResultUnits(*m_document);
    const ResultCorrection correction = ChosenCorrection(*m_document);
    const QString tsv = WithMeasuredColumns(
        QString::fromStdString(FormatResultsTableTsv(*m_document, units, correction)), ScreenLayout());
    data->setText(tsv);
    data->setHtml(HtmlTable(tsv));
    return data;
}

void CResultsTableView::Copy() const
{
    QApplication::clipboard()->setMimeData(CreateCopyData());
}

QMenu* CResultsTableView::CreateContextMenu(QWidget* parent)
{
    auto* menu = new QMenu(parent);
    QAction* copy = menu->addAction(tr("&Copy"), this, &CResultsTableView::Copy);
    copy->setShortcut(QKeySequence::Copy);
    if (m_document == nullptr) return menu;
    menu->addSeparator();
    QMenu* unitsMenu = menu->addMenu(tr("Result &Units"));
    // Only a metric engine has a choice; an English one shows its own units.
    const bool metric = m_document->GetUnitSystem() == kMetricUnits;
    auto* group = new QActionGroup(unitsMenu);
    for (ResultUnits units : {ResultUnits::English, ResultUnits::MetricKpa, ResultUnits::MetricBar}) {
        QAction* action = unitsMenu->addAction(QString::fromUtf8(ResultUnitsName(units)));
        action->setCheckable(true);
        action->setChecked(DisplayedResultUnits(*m_document) == units);
        action->setEnabled(metric || units == ResultUnits::English);
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, units] {
            if (m_document != nullptr) ChooseResultUnits(*m_document, units);
        });
    }
    if (!metric) unitsMenu->setToolTip(tr("Metric units are there for an engine in Foreign/Metric Units"));
    AddMeasuredPullMenu(*menu);
    return menu;
}

// "Measured Pull Columns": none, or one of the engine's pulls beside the results.
void CResultsTableView::AddMeasuredPullMenu(QMenu& menu)
{
    QMenu* pulls = menu.addMenu(tr("&Measured Pull Columns"));
    auto* group = new QActionGroup(pulls);
    const auto add = [&](const QString& text, const QString& path) {
        QAction* action = pulls->addAction(text);
        action->setCheckable(true);
        action->setChecked(ShownPull() != nullptr ? ShownPull()->path == path : path.isEmpty());
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, path] { ShowMeasuredPull(path); });
    };
    add(tr("(None)"), QString());
    if (m_measured == nullptr || m_measured->IsEmpty()) {
        pulls->setToolTip(tr("Graph > Add Measured Pull... reads a pull to show here"));
        return;
    }
    for (const MeasuredPull& pull : m_measured->Pulls()) {
        QString text = pull.FileName();
        add(text.replace(QLatin1Char('&'), QStringLiteral("&&")), pull.path);
    }
}

void CResultsTableView::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = CreateContextMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void CResultsTableView::PaintPrintPage(QPainter& painter, const QRectF& paper, const QString& date) const
{
    TORQ_ASSERT(m_document != nullptr);
    const PageHeaderText header{QString::fromStdString(m_document->GetTitle()), date, 1, 1};
    PaintTablePrintout(painter, paper, *m_document, DisplayedResultUnits(*m_document), header,
                       ChosenCorrection(*m_document), ShownPull());
}

void CResultsTableView::Print(QPrinter& printer) const
{
    QPainter painter(&printer);
    if (!painter.isActive()) return;
    ForgetEarlierPrintTransform(painter);
    QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    if (!printer.fullPage()) paper.translate(-printer.pageRect(QPrinter::DevicePixel).topLeft());
    PaintPrintPage(painter, UseReportUnits(painter, paper, printer.resolution()));
}
