// The engine form's printout: the form as it shows on the screen, then the
// cylinder-head airflow data on a page of its own, each page under a header.

#include "report/PageHeader.h"
#include "report/Printouts.h"
#include "views/EngineFormView.h"
#include "views/ValveEventView.h"
#include "widgets/TorqSpecEdit.h"

#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

namespace {

constexpr double kPrintPoints = 10.0;
constexpr double kLargestFormPoints = 12.0;
// One logical unit of the printed page is one pixel of the form on the
// screen, printed at 0.6667 of the screen's pixels per inch: the printout is
// half as large again as the form on the screen.
constexpr double kScreenInchFraction = 0.6667;

QFont PrintFont(double points)
{
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);  // any sans face where Arial is missing
    font.setPointSizeF(points);
    return font;
}

// Logical units to device pixels, from an origin half an inch inside the
// paper's top left corner.
struct PageMapping {
    QPointF origin;
    double scaleX = 1.0;
    double scaleY = 1.0;

    QPointF Map(double x, double y) const { return origin + QPointF(x * scaleX, y * scaleY); }
    QRectF Map(const QRectF& rect) const
    {
        return {Map(rect.left(), rect.top()), QSizeF(rect.width() * scaleX, rect.height() * scaleY)};
    }
};

struct DeviceInches {
    double x;
    double y;
};

DeviceInches InchesOf(const QPainter& painter)
{
    const QPaintDevice* device = painter.device();
    return {double(device->logicalDpiX()), double(device->logicalDpiY())};
}

// The mapping for content of the given logical size: half as large again as
// on the screen, made smaller when it would not fit inside half-inch margins
// and, with fillWidth, larger until it fills the width between them. The
// factor it was changed by goes to shrink (below 1 smaller, above 1 larger).
PageMapping MapPage(const QPainter& painter, const QRect& paper, const QWidget& screenWidget,
                    QSizeF contentSize, double& shrink, bool fillWidth = false)
{
    const DeviceInches inch = InchesOf(painter);
    PageMapping mapping;
    mapping.origin = QPointF(paper.left() + inch.x / 2, paper.top() + inch.y / 2);
    mapping.scaleX = inch.x / (screenWidget.logicalDpiX() * kScreenInchFraction);
    mapping.scaleY = inch.y / (screenWidget.logicalDpiY() * kScreenInchFraction);
    const double roomX = paper.width() - inch.x;
    const double roomY = paper.height() - inch.y;
    shrink = 1.0;
    if (contentSize.width() > 0 && contentSize.height() > 0) {
        const double fitX = roomX / (contentSize.width() * mapping.scaleX);
        const double fitY = roomY / (contentSize.height() * mapping.scaleY);
        shrink = std::min({fillWidth ? fitX : 1.0, fitX, fitY});
    }
    mapping.scaleX *= shrink;
    mapping.scaleY *= shrink;
    return mapping;
}

QRect RectIn(const QWidget* widget, const QWidget* ancestor, const QRect& local)
{
    return {widget->mapTo(ancestor, local.topLeft()), local.size()};
}

// Lays out a form that has not been shown (a sheet never brought to the
// front): every layout places its items now, parents before children.
void LayOutHidden(QWidget* form)
{
    if (form->isVisible()) return;
    const QSize hint = form->sizeHint();
    form->resize(std::max(form->width(), hint.width()), hint.height());
    if (form->layout() != nullptr) form->layout()->setGeometry(form->contentsRect());
    for (QWidget* child : form->findChildren<QWidget*>()) {
        if (child->layout() != nullptr) child->layout()->setGeometry(child->contentsRect());
    }
}

}  // namespace

void CEngineFormView::PrintPage(QPainter& painter, const QRect& paperRect, int page, int pageCount,
                                const QString& title) const
{
    painter.save();
    painter.setBackgroundMode(Qt::TransparentMode);
    DrawPageHeader(painter, paperRect, InchesOf(painter).y, {title, TodayText(), page, pageCount});
    if (page == kFormPage) {
        PrintForm(painter, paperRect);
    } else if (page == kAirflowPage) {
        PrintAirflow(painter, paperRect);
    }
    painter.restore();
}

namespace {

// Where the groups go on paper: the form's one tall column of groups is cut
// in two columns side by side (the first groups left, the rest right, cut
// where the taller column is shortest), so that the form fills the page's
// width. Each group moves by its offset; everything inside moves with it.
struct PrintedGroups {
    std::vector<QPoint> offsets;
    QSize size;
};

PrintedGroups PlaceGroupsInTwoColumns(const std::array<CEngineFormGroup*, 6>& groups)
{
    constexpr int kColumnGap = 12;
    const QPoint origin = groups.front()->geometry().topLeft();
    int best = 1;
    int bestHeight = std::numeric_limits<int>::max();
    for (std::size_t split = 1; split < groups.size(); ++split) {
        int left = 0;
        int right = 0;
        for (std::size_t i = 0; i < groups.size(); ++i) (i < split ? left : right) += groups[i]->height();
        if (std::max(left, right) < bestHeight) {
            bestHeight = std::max(left, right);
            best = static_cast<int>(split);
        }
    }
    PrintedGroups placed;
    int columnWidth = 0;
    for (const CEngineFormGroup* group : groups) columnWidth = std::max(columnWidth, group->width());
    QPoint next = origin;
    int height = 0;
    for (std::size_t i = 0; i < groups.size(); ++i) {
        if (static_cast<int>(i) == best) next = QPoint(origin.x() + columnWidth + kColumnGap, origin.y());
        placed.offsets.push_back(next - groups[i]->geometry().topLeft());
        next.ry() += groups[i]->height();
        height = std::max(height, next.y());
    }
    placed.size = QSize(origin.x() + 2 * columnWidth + kColumnGap, height);
    return placed;
}

// The airflow page's pen: texts at their top-left positions in logical
// units, rules one unit wide.
struct AirflowPage {
    QPainter& painter;
    const PageMapping& mapping;
    const QFontMetricsF& metrics;

    void Text(int x, int y, const QString& value) const
    {
        painter.drawText(mapping.Map(x, y) + QPointF(0, metrics.ascent()), value);
    }
    void Rule(int x0, int x1, int y) const { painter.drawLine(mapping.Map(x0, y), mapping.Map(x1, y)); }
};

QString WithUnits(const CTorqSpec& parameter)
{
    return QString::fromStdString(parameter.GetTextWithUnits()).trimmed();
}

QString UnitsOf(const CFloatPtSpec& parameter)
{
    return QString::fromUtf8(parameter.GetUnitsLabel());
}

// The title, the description, each side's test conditions and the column
// headings of the points; h is the height of a line of text.
void PrintAirflowHeadings(const AirflowPage& page, const CylHeadFlowData& flow, int h)
{
    page.Text(30, 8, QStringLiteral("CYLINDER HEAD AIRFLOW DATA"));
    page.Text(30, 30, QStringLiteral("Description: ") + QString::fromStdString(flow.GetDescription()));

    page.Text(30, 60, QStringLiteral("Intake Valve"));
    page.Text(218, 60, QStringLiteral("Exhaust Valve"));
    const int sideRuleY = h * 9 / 8 + 60;
    page.Rule(30, 168, sideRuleY);
    page.Rule(218, 356, sideRuleY);

    page.Text(30, 80, QStringLiteral("Test Diameter:"));
    page.Text(102, 80, WithUnits(flow.IntakeTestDiameter()));
    page.Text(30, 95, QStringLiteral("Pressure Drop:"));
    page.Text(102, 95, WithUnits(flow.IntakeTestPressureDrop()));
    page.Text(218, 80, QStringLiteral("Test Diameter:"));
    page.Text(289, 80, WithUnits(flow.ExhaustTestDiameter()));
    page.Text(218, 95, QStringLiteral("Pressure Drop:"));
    page.Text(289, 95, WithUnits(flow.ExhaustTestPressureDrop()));

    page.Text(30, 119, QStringLiteral("Lift: ") + UnitsOf(flow.IntakeLift(0)));
    page.Text(120, 119, QStringLiteral("Flow: ") + UnitsOf(flow.IntakeAirflow(0)));
    page.Text(218, 119, QStringLiteral("Lift: ") + UnitsOf(flow.ExhaustLift(0)));
    page.Text(308, 119, QStringLiteral("Flow: ") + UnitsOf(flow.ExhaustAirflow(0)));
    const int columnRuleY = h * 9 / 8 + 119;
    page.Rule(30, 78, columnRuleY);
    page.Rule(120, 168, columnRuleY);
    page.Rule(218, 266, columnRuleY);
    page.Rule(308, 356, columnRuleY);
}

// The points in use; the unused rest would only print "***".
void PrintAirflowPoints(const AirflowPage& page, const CylHeadFlowData& flow)
{
    const auto textOf = [](const CTorqSpec& parameter) {
        return QString::fromStdString(parameter.GetText());
    };
    for (int point = 0; point < std::min(flow.GetPointCount(), CylHeadFlowData::kMaxPoints); ++point) {
        const int y = 137 + 24 * point;
        page.Text(30, y, textOf(flow.IntakeLift(point)));
        page.Text(120, y, textOf(flow.IntakeAirflow(point)));
        page.Text(218, y, textOf(flow.ExhaustLift(point)));
        page.Text(308, y, textOf(flow.ExhaustAirflow(point)));
    }
}

// Where the form's widgets land on paper, and what draws them there.
struct FormSheet {
    QPainter& painter;
    const PageMapping& mapping;
    const QFontMetricsF& metrics;
    std::function<QRect(const QWidget*, const QRect&)> printed;  // a widget's rectangle on paper
};

// The labels the form shows, each in its place with its own alignment.
void PrintLabels(const FormSheet& sheet, const QWidget* form, const std::vector<QLabel*>& labels)
{
    for (const QLabel* label : labels) {
        if (label == nullptr || label->text().isEmpty() || !label->isVisibleTo(form)) continue;
        const QRectF where = sheet.mapping.Map(QRectF(sheet.printed(label, label->rect())));
        const Qt::Alignment horizontal = label->alignment() & Qt::AlignHorizontal_Mask;
        const int wrap = label->wordWrap() ? int(Qt::TextWordWrap) : 0;
        sheet.painter.drawText(where, int(horizontal | Qt::AlignVCenter) | wrap, label->text());
    }
}

// Each value's text in its field, cut short where the field ends.
void PrintFieldTexts(const FormSheet& sheet, const std::vector<CTorqSpecEditCtrl*>& controls)
{
    const PageMapping& mapping = sheet.mapping;
    for (const CTorqSpecEditCtrl* control : controls) {
        const QRectF field = mapping.Map(QRectF(sheet.printed(control, control->FieldRect())));
        const QRectF textArea = field.adjusted(4 * mapping.scaleX, 0, -2 * mapping.scaleX, 0);
        const QString text = sheet.metrics.elidedText(control->Text(), Qt::ElideRight, textArea.width());
        sheet.painter.drawText(textArea, int(Qt::AlignLeft | Qt::AlignVCenter), text);
    }
}

}  // namespace

void CEngineFormView::PrintForm(QPainter& painter, const QRect& paperRect) const
{
    LayOutHidden(m_form);
    const PrintedGroups placed = PlaceGroupsInTwoColumns(m_groups);
    // A widget's rectangle on paper: where it is in the form, moved with its group.
    const auto printed = [&](const QWidget* widget, const QRect& local) {
        QRect rect = RectIn(widget, m_form, local);
        for (std::size_t i = 0; i < m_groups.size(); ++i) {
            if (m_groups[i] == widget || m_groups[i]->isAncestorOf(widget))
                return rect.translated(placed.offsets[i]);
        }
        return rect;
    };
    const QSize content = placed.size;
    double shrink = 1.0;
    // The form fills the width between the margins (or the height, when that is less).
    const PageMapping mapping = MapPage(painter, paperRect, *m_form, QSizeF(content), shrink, true);

    // The size at which the screen's texts fill their places, at most 12 points.
    const double screenPoints = QFontInfo(m_form->font()).pointSizeF();
    const double printedScreenPoints = screenPoints / kScreenInchFraction * shrink;
    const QFont font = PrintFont(std::min(kLargestFormPoints, printedScreenPoints));
    painter.setFont(font);
    const QFontMetricsF metrics(font, painter.device());
    const double textHeight = metrics.height() / mapping.scaleY;  // logical units
    painter.setPen(QPen(Qt::black, 0));
    painter.setBrush(Qt::NoBrush);

    // A group: its title, and a frame whose top edge runs at the title's height.
    for (const CEngineFormGroup* group : m_groups) {
        const QRect area = printed(group, group->rect());
        painter.drawText(mapping.Map(area.left(), area.top()) + QPointF(0, metrics.ascent()), group->Title());
        painter.drawRect(mapping.Map(
            QRectF(area.left(), area.top() + textHeight, area.width() - 2, area.height() - textHeight - 2)));
    }

    const FormSheet sheet{painter, mapping, metrics, printed};
    for (const std::vector<QLabel*>* labels : {&m_labels, &m_autoLabels, &m_staticTexts})
        PrintLabels(sheet, m_form, *labels);

    // An etched line prints as a line along its top edge.
    for (const QFrame* rule : m_rules) {
        const QRect line = printed(rule, rule->rect());
        painter.drawLine(mapping.Map(line.left(), line.top()), mapping.Map(line.right(), line.top()));
    }

    PrintFieldTexts(sheet, m_controls);

    // The valve events where the camshaft group shows them, drawn in the
    // form's units (a pixel of the screen) with the printed text's size.
    const QRect diagram = printed(m_valveEvents, m_valveEvents->rect());
    painter.save();
    painter.translate(mapping.Map(diagram.left(), diagram.top()));
    painter.scale(mapping.scaleX, mapping.scaleY);
    m_valveEvents->Paint(painter, QRectF(QPointF(0, 0), QSizeF(diagram.size())), textHeight * 0.8);
    painter.restore();
}

// The airflow data's report, in logical units: the texts at their top-left
// positions, the rules one unit wide.
void CEngineFormView::PrintAirflow(QPainter& painter, const QRect& paperRect) const
{
    if (m_document == nullptr) return;
    const CylHeadFlowData& flow = m_document->FlowData();
    constexpr int kRightmost = 356;
    constexpr int kLastRowTop = 137 + 24 * 9;
    double shrink = 1.0;
    const QFont font = PrintFont(kPrintPoints);
    const QFontMetricsF fullSize(font, painter.device());
    const PageMapping probe = MapPage(painter, paperRect, *m_form, QSizeF(), shrink);
    const double rowHeight = fullSize.height() / probe.scaleY;
    const PageMapping mapping =
        MapPage(painter, paperRect, *m_form, QSizeF(kRightmost + 1, kLastRowTop + rowHeight), shrink);

    const QFont scaledFont = PrintFont(kPrintPoints * shrink);
    painter.setFont(scaledFont);
    const QFontMetricsF metrics(scaledFont, painter.device());
    const int h = static_cast<int>(std::lround(metrics.height() / mapping.scaleY));
    painter.setPen(QPen(Qt::black, mapping.scaleY));

    const AirflowPage page{painter, mapping, metrics};
    PrintAirflowHeadings(page, flow, h);
    PrintAirflowPoints(page, flow);
}

bool CEngineFormView::Print(QPrinter* printer, const QString& title)
{
    printer->setDocName(title.left(31));
    QPainter painter;
    if (!painter.begin(printer)) {
        QMessageBox::critical(this, tr("Print"), tr("The printer could not be started."));
        return false;
    }
    ForgetEarlierPrintTransform(painter);
    const int count = PrintPageCount();
    int first = 1;
    int last = count;
    if (printer->printRange() == QPrinter::PageRange && printer->fromPage() > 0) {
        first = std::max(1, printer->fromPage());
        last = std::min(count, std::max(first, printer->toPage()));
    }
    QRect paper = printer->paperRect(QPrinter::DevicePixel).toRect();
    if (!printer->fullPage()) paper.translate(-printer->pageRect(QPrinter::DevicePixel).toRect().topLeft());
    for (int page = first; page <= last; ++page) {
        if (page > first) printer->newPage();
        PrintPage(painter, paper, page, count, title);
    }
    return painter.end();
}
