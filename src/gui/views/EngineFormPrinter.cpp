// The engine form's printout: the form as it shows on the screen, then the
// cylinder-head airflow data on a page of its own, each page under a header.

#include "views/EngineFormView.h"
#include "views/TorqSpecEdit.h"

#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>

#include <algorithm>

namespace {

constexpr const char* kProductName = "Torqwell";
constexpr const char* kProductVersion = "3.10";
constexpr double kPrintPoints = 10.0;
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

// The mapping for content of the given logical size, made smaller when it
// would not fit inside half-inch margins. The factor it was made smaller by
// goes to shrink (1 when it fits).
PageMapping MapPage(const QPainter& painter, const QRect& paper, const QWidget& screenWidget,
                    QSizeF contentSize, double& shrink)
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
        shrink = std::min({1.0, roomX / (contentSize.width() * mapping.scaleX),
                           roomY / (contentSize.height() * mapping.scaleY)});
    }
    mapping.scaleX *= shrink;
    mapping.scaleY *= shrink;
    return mapping;
}

// A black rule half an inch below the paper's top edge, from half an inch
// inside the left edge to half an inch inside the right; above it the title
// (left), product and version (centred) and the page number (right), their
// baseline raised by five quarters of the text height.
void DrawPageHeader(QPainter& painter, const QRect& paper, int page, int pageCount, const QString& title)
{
    const DeviceInches inch = InchesOf(painter);
    const QFont font = PrintFont(kPrintPoints);
    painter.setFont(font);
    const QFontMetricsF metrics(font, painter.device());
    const double ruleY = paper.top() + inch.y / 2;
    const double left = paper.left() + inch.x / 2;
    const double right = paper.right() - inch.x / 2;
    painter.setPen(QPen(Qt::black, 0));
    painter.drawLine(QPointF(left, ruleY), QPointF(right, ruleY));

    const double baseline = ruleY - metrics.height() * 5 / 4;
    painter.drawText(QPointF(left, baseline), title);
    const QString product =
        QStringLiteral("%1  Version %2").arg(QLatin1String(kProductName), QLatin1String(kProductVersion));
    painter.drawText(QPointF((left + right - metrics.horizontalAdvance(product)) / 2, baseline), product);
    const QString pageText = QString::asprintf(" Page %d of %d", page, pageCount);
    painter.drawText(QPointF(right - metrics.horizontalAdvance(pageText), baseline), pageText);
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
    DrawPageHeader(painter, paperRect, page, pageCount, title);
    if (page == kFormPage) {
        PrintForm(painter, paperRect);
    } else if (page == kAirflowPage) {
        PrintAirflow(painter, paperRect);
    }
    painter.restore();
}

void CEngineFormView::PrintForm(QPainter& painter, const QRect& paperRect) const
{
    LayOutHidden(m_form);
    QRect content;
    for (const CEngineFormGroup* group : m_groups) content |= group->geometry();
    double shrink = 1.0;
    const PageMapping mapping =
        MapPage(painter, paperRect, *m_form, QSizeF(content.right() + 1, content.bottom() + 1), shrink);

    // 10 points unless the form had to be made smaller: then the size at
    // which the screen's texts still fit their places.
    const double screenPoints = QFontInfo(m_form->font()).pointSizeF();
    const double printedScreenPoints = screenPoints / kScreenInchFraction * shrink;
    const QFont font = PrintFont(std::min(kPrintPoints, printedScreenPoints));
    painter.setFont(font);
    const QFontMetricsF metrics(font, painter.device());
    const double textHeight = metrics.height() / mapping.scaleY;  // logical units
    painter.setPen(QPen(Qt::black, 0));
    painter.setBrush(Qt::NoBrush);

    // A group: its title, and a frame whose top edge runs at the title's height.
    for (const CEngineFormGroup* group : m_groups) {
        const QRect area = group->geometry();
        painter.drawText(mapping.Map(area.left(), area.top()) + QPointF(0, metrics.ascent()), group->Title());
        painter.drawRect(mapping.Map(
            QRectF(area.left(), area.top() + textHeight, area.width() - 2, area.height() - textHeight - 2)));
    }

    auto drawLabel = [&](const QLabel* label) {
        if (label == nullptr || label->text().isEmpty() || !label->isVisibleTo(m_form)) return;
        const QRectF where = mapping.Map(QRectF(RectIn(label, m_form, label->rect())));
        const Qt::Alignment horizontal = label->alignment() & Qt::AlignHorizontal_Mask;
        const int wrap = label->wordWrap() ? int(Qt::TextWordWrap) : 0;
        painter.drawText(where, int(horizontal | Qt::AlignVCenter) | wrap, label->text());
    };
    for (const QLabel* label : m_labels) drawLabel(label);
    for (const QLabel* label : m_autoLabels) drawLabel(label);
    for (const QLabel* label : m_staticTexts) drawLabel(label);

    // An etched line prints as a line along its top edge.
    for (const QFrame* rule : m_rules) {
        const QRect line = RectIn(rule, m_form, rule->rect());
        painter.drawLine(mapping.Map(line.left(), line.top()), mapping.Map(line.right(), line.top()));
    }

    for (const CTorqSpecEditCtrl* control : m_controls) {
        const QRectF field = mapping.Map(QRectF(RectIn(control, m_form, control->FieldRect())));
        const QRectF textArea = field.adjusted(4 * mapping.scaleX, 0, -2 * mapping.scaleX, 0);
        const QString text = metrics.elidedText(control->Text(), Qt::ElideRight, textArea.width());
        painter.drawText(textArea, int(Qt::AlignLeft | Qt::AlignVCenter), text);
    }
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
    const int h = static_cast<int>(metrics.height() / mapping.scaleY + 0.5);
    painter.setPen(QPen(Qt::black, mapping.scaleY));

    auto text = [&](int x, int y, const QString& value) {
        painter.drawText(mapping.Map(x, y) + QPointF(0, metrics.ascent()), value);
    };
    auto rule = [&](int x0, int x1, int y) { painter.drawLine(mapping.Map(x0, y), mapping.Map(x1, y)); };
    auto textOf = [](const CTorqSpec& parameter) { return QString::fromStdString(parameter.GetText()); };
    auto withUnits = [](const CTorqSpec& parameter) {
        return QString::fromStdString(parameter.GetTextWithUnits()).trimmed();
    };
    auto unitsOf = [](const CFloatPtSpec& parameter) { return QString::fromUtf8(parameter.GetUnitsLabel()); };

    text(30, 8, QStringLiteral("CYLINDER HEAD AIRFLOW DATA"));
    text(30, 30, QStringLiteral("Description: ") + QString::fromStdString(flow.GetDescription()));

    text(30, 60, QStringLiteral("Intake Valve"));
    text(218, 60, QStringLiteral("Exhaust Valve"));
    const int sideRuleY = h * 9 / 8 + 60;
    rule(30, 168, sideRuleY);
    rule(218, 356, sideRuleY);

    text(30, 80, QStringLiteral("Test Diameter:"));
    text(102, 80, withUnits(flow.IntakeTestDiameter()));
    text(30, 95, QStringLiteral("Pressure Drop:"));
    text(102, 95, withUnits(flow.IntakeTestPressureDrop()));
    text(218, 80, QStringLiteral("Test Diameter:"));
    text(289, 80, withUnits(flow.ExhaustTestDiameter()));
    text(218, 95, QStringLiteral("Pressure Drop:"));
    text(289, 95, withUnits(flow.ExhaustTestPressureDrop()));

    text(30, 119, QStringLiteral("Lift: ") + unitsOf(flow.IntakeLift(0)));
    text(120, 119, QStringLiteral("Flow: ") + unitsOf(flow.IntakeAirflow(0)));
    text(218, 119, QStringLiteral("Lift: ") + unitsOf(flow.ExhaustLift(0)));
    text(308, 119, QStringLiteral("Flow: ") + unitsOf(flow.ExhaustAirflow(0)));
    const int columnRuleY = h * 9 / 8 + 119;
    rule(30, 78, columnRuleY);
    rule(120, 168, columnRuleY);
    rule(218, 266, columnRuleY);
    rule(308, 356, columnRuleY);

    // All ten points; those not in use show "***".
    for (int point = 0; point < CylHeadFlowData::kMaxPoints; ++point) {
        const int y = 137 + 24 * point;
        text(30, y, textOf(flow.IntakeLift(point)));
        text(120, y, textOf(flow.IntakeAirflow(point)));
        text(218, y, textOf(flow.ExhaustLift(point)));
        text(308, y, textOf(flow.ExhaustAirflow(point)));
    }
}

bool CEngineFormView::Print(QPrinter* printer, const QString& title)
{
    printer->setDocName(title.left(31));
    QPainter painter;
    if (!painter.begin(printer)) {
        QMessageBox::critical(this, tr("Print"), tr("The printer could not be started."));
        return false;
    }
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
