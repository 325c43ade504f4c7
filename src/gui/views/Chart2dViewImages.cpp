// The graph as a picture: an image or an SVG drawing at the view's size, on
// the clipboard or in a file (Copy Image, Save Image As...), and on the printer.

#include "views/Chart2dView.h"

#include "report/ChartPainter.h"
#include "report/Printouts.h"
#include "report/ReportFile.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QSvgGenerator>

namespace {

// Asks for the file of "Save Image As..."; empty when the user cancels.
QString AskImageFile(QWidget* parent)
{
    const QString svgFilter = QObject::tr("SVG Image (*.svg)");
    QString chosenFilter;
    QString path = QFileDialog::getSaveFileName(
        parent, QObject::tr("Save Image As"), QString(),
        QObject::tr("PNG Image (*.png)") + QStringLiteral(";;") + svgFilter, &chosenFilter);
    // A name typed without an extension takes the chosen type's.
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty()) {
        path += chosenFilter == svgFilter ? QStringLiteral(".svg") : QStringLiteral(".png");
    }
    return path;
}

}  // namespace

QImage CChart2dView::RenderImage(double devicePixelRatio) const
{
    const QSize size = this->size().expandedTo(QSize(320, 240));
    QImage image(size * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    PaintChart(painter, QRectF(QPointF(0, 0), QSizeF(size)), m_picture, ReportFont(11));
    return image;
}

QByteArray CChart2dView::RenderSvg() const
{
    const QSize size = this->size().expandedTo(QSize(320, 240));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    generator.setResolution(int(kReportUnitsPerInch));
    generator.setTitle(m_slots[0].name + QStringLiteral(" - graph"));
    {
        QPainter painter(&generator);
        PaintChart(painter, QRectF(QPointF(0, 0), QSizeF(size)), m_picture, ReportFont(11));
    }
    return bytes;
}

void CChart2dView::CopyImage() const
{
    QApplication::clipboard()->setImage(RenderImage());
}

bool CChart2dView::SaveImage(const QString& path, QString& error) const
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    QByteArray bytes;
    if (suffix == QLatin1String("svg")) {
        bytes = RenderSvg();
    } else if (suffix == QLatin1String("png")) {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        RenderImage().save(&buffer, "PNG");
    } else {
        error = tr("Cannot write %1: a graph image is saved as .png or .svg.").arg(path);
        return false;
    }
    return WriteFileAtomically(path, bytes, error);
}

void CChart2dView::AskAndSaveImage()
{
    const QString path = AskImageFile(this);
    if (path.isEmpty()) return;
    QString error;
    if (!SaveImage(path, error)) QMessageBox::warning(this, tr("Save Image As"), error);
}

void CChart2dView::PaintPrintPage(QPainter& painter, const QRectF& target)
{
    PaintChart(painter, target, m_picture, ReportFont(12));
}

void CChart2dView::PaintPrintout(QPainter& painter, const QRectF& paper, const QString& date) const
{
    const PageHeaderText header{m_slots[0].name, date, 1, 1};
    PaintGraphPrintout(painter, paper, m_picture, header);
}

void CChart2dView::Print(QPrinter& printer)
{
    QPainter painter(&printer);
    if (!painter.isActive()) return;
    ForgetEarlierPrintTransform(painter);
    QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    if (!printer.fullPage()) paper.translate(-printer.pageRect(QPrinter::DevicePixel).topLeft());
    PaintPrintout(painter, UseReportUnits(painter, paper, printer.resolution()));
}
