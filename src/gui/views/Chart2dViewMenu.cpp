// The graph's right-click menu (series and ranges of the axes, Properties...,
// Copy Image, Save Image As...) and the graph options dialog it opens.

#include "views/Chart2dView.h"

#include "views/Chart2dDlg.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>

QMenu* CChart2dView::CreateContextMenu(QWidget* parent)
{
    auto* menu = new QMenu(parent);
    const auto addSeriesMenu = [this, menu](const QString& text, ChartAxis axis, int first) {
        QMenu* sub = menu->addMenu(text);
        for (int series = first; series < kChartSeriesCount; ++series) {
            QAction* action = sub->addAction(QString::fromLatin1(GetChartSeries(series).menuName));
            action->setCheckable(true);
            action->setChecked(Axis(axis).series == series);
            connect(action, &QAction::triggered, this, [this, axis, series] { SetAxisSeries(axis, series); });
        }
    };
    const auto addRangeMenu = [this, menu](const QString& text, ChartAxis axis) {
        QMenu* sub = menu->addMenu(text);
        for (int kind = 0; kind < kChartRangeKinds; ++kind) {
            QAction* action = sub->addAction(QString::fromLatin1(GetRangeKindName(kind)));
            action->setCheckable(true);
            action->setChecked(Axis(axis).rangeKind == kind);
            connect(action, &QAction::triggered, this, [this, axis, kind] { SetAxisRange(axis, kind); });
        }
    };
    addSeriesMenu(QStringLiteral("X    Data"), ChartAxis::X, 1);
    addSeriesMenu(QStringLiteral("Y1  Data"), ChartAxis::Y1, 1);
    addSeriesMenu(QStringLiteral("Y2  Data"), ChartAxis::Y2, 0);
    menu->addSeparator();
    addRangeMenu(QStringLiteral("X    Range"), ChartAxis::X);
    addRangeMenu(QStringLiteral("Y1  Range"), ChartAxis::Y1);
    addRangeMenu(QStringLiteral("Y2  Range"), ChartAxis::Y2);
    menu->addSeparator();
    connect(menu->addAction(QStringLiteral("&Properties...")), &QAction::triggered, this,
            &CChart2dView::RunPropertiesDialog);
    menu->addSeparator();
    connect(menu->addAction(QStringLiteral("Copy Image")), &QAction::triggered, this,
            &CChart2dView::CopyImage);
    connect(menu->addAction(QStringLiteral("Save Image As...")), &QAction::triggered, this,
            &CChart2dView::AskAndSaveImage);
    return menu;
}

void CChart2dView::contextMenuEvent(QContextMenuEvent* event)
{
    // From the keyboard the menu opens over the middle of the plot.
    ShowContextMenu(event->reason() == QContextMenuEvent::Keyboard ? mapToGlobal(rect().center())
                                                                   : event->globalPos());
}

void CChart2dView::ShowContextMenu(const QPoint& globalPos)
{
    QMenu* menu = CreateContextMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(globalPos);
}

void CChart2dView::keyPressEvent(QKeyEvent* event)
{
    const bool menuKey = event->key() == Qt::Key_Menu ||
                         (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier);
    if (!menuKey) {
        QWidget::keyPressEvent(event);
        return;
    }
    ShowContextMenu(mapToGlobal(rect().center()));
}

void CChart2dView::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    update();
}

void CChart2dView::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    update();
}

void CChart2dView::paintEvent(QPaintEvent*)
{
    // The frame around the graph while it has the keyboard focus.
    if (!hasFocus()) return;
    QPainter painter(this);
    QPen pen(palette().color(QPalette::Highlight), kFocusFramePixels);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    const qreal half = kFocusFramePixels / 2.0;
    painter.drawRect(QRectF(rect()).adjusted(half, half, -half, -half));
}

void CChart2dView::RunPropertiesDialog()
{
    if (m_document == nullptr) return;
    CChart2dDlg dialog(*m_document, m_registry, this);
    dialog.SetOptions(Options());
    if (dialog.exec() != QDialog::Accepted) return;
    ApplyOptions(dialog.Options());
}
