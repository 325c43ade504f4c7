#include "EngineBuilds.h"
#include "GuiTestFixture.h"
#include "GuiTestSupport.h"
#include "model/DocumentRegistry.h"
#include "report/Printouts.h"
#include "views/Chart2dView.h"
#include "views/EngineFormView.h"
#include "views/ResultsTableView.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QSvgGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

// Pages of a PDF as pictures, drawn by poppler's pdftoppm at 50 dots per inch.
std::vector<QImage> RenderPdf(const QString& pdf, const QString& folder, const QString& stem)
{
    std::vector<QImage> pages;
    const QString prefix = QDir(folder).filePath(stem);
    if (QProcess::execute(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("50"),
                                                       QStringLiteral("-png"), pdf, prefix}) != 0) {
        return pages;
    }
    for (int page = 1;; ++page) {
        QImage image(QStringLiteral("%1-%2.png").arg(prefix).arg(page));
        if (image.isNull()) break;
        pages.push_back(image.convertToFormat(QImage::Format_RGB32));
    }
    return pages;
}

// How many pixels of a picture are darker than light grey.
int Ink(const QImage& image)
{
    int ink = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 160) ++ink;
        }
    }
    return ink;
}

// A page drawn as SVG, whose texts can be read back; letter size at 96 per inch.
template <typename Draw>
QByteArray SvgPage(Draw draw)
{
    QByteArray svg;
    QBuffer buffer(&svg);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setResolution(96);
    generator.setSize(QSize(816, 1056));
    generator.setViewBox(QRect(0, 0, 816, 1056));
    QPainter painter(&generator);
    draw(painter, QRect(0, 0, 816, 1056));
    painter.end();
    return svg;
}

void PrintTo(QPrinter& printer, const QString& file)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
}

}  // namespace

class PrintoutsTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void theFormPrintsTheSameAfterAGraphAndATableWerePrinted();
    void everyPrintedPageCarriesTheEngineTheDateAndThePage();
    void theFormFillsThePageWidth();
    void theAirflowPageListsOnlyThePointsInUse();

private:
    std::unique_ptr<GuiTestFixture> m_fixture;
    std::unique_ptr<CTorqDoc> m_doc;
};

void PrintoutsTest::init()
{
    m_fixture = std::make_unique<GuiTestFixture>();
    m_doc = std::make_unique<CTorqDoc>();
    m_doc->SetTitle("Chevy 350 Street");
    QVERIFY(BuildChevy350(*m_doc));
    CDocumentRegistry::Instance().Add(*m_doc);
}

void PrintoutsTest::cleanup()
{
    CDocumentRegistry::Instance().Remove(*m_doc);
    m_doc.reset();
}

void PrintoutsTest::theFormPrintsTheSameAfterAGraphAndATableWerePrinted()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
        QSKIP("pdftoppm is not installed");
    CEngineFormView form(*m_doc);
    CChart2dView graph(*m_doc);
    CResultsTableView table(*m_doc);
    form.resize(500, 700);
    QTemporaryDir folder;
    if (qEnvironmentVariableIsSet("TORQWELL_KEEP_PRINTOUTS"))
        folder.setAutoRemove(false), qInfo() << folder.path();
    // One printer for the whole session, as the main window keeps it.
    QPrinter printer(QPrinter::HighResolution);
    PrintTo(printer, folder.filePath(QStringLiteral("form-first.pdf")));
    QVERIFY(form.Print(&printer, QStringLiteral("Chevy 350 Street")));
    PrintTo(printer, folder.filePath(QStringLiteral("graph.pdf")));
    graph.Print(printer);
    PrintTo(printer, folder.filePath(QStringLiteral("table.pdf")));
    table.Print(printer);
    PrintTo(printer, folder.filePath(QStringLiteral("form-again.pdf")));
    QVERIFY(form.Print(&printer, QStringLiteral("Chevy 350 Street")));

    const auto first = RenderPdf(folder.filePath(QStringLiteral("form-first.pdf")), folder.path(), "first");
    const auto again = RenderPdf(folder.filePath(QStringLiteral("form-again.pdf")), folder.path(), "again");
    QCOMPARE(first.size(), std::size_t{2});
    QCOMPARE(again.size(), first.size());
    for (std::size_t page = 0; page < first.size(); ++page) {
        QVERIFY2(Ink(first[page]) > 1000, "the page carries the form");
        QCOMPARE(again[page].size(), first[page].size());
        QVERIFY2(again[page] == first[page], qPrintable(QStringLiteral("page %1 differs").arg(page + 1)));
    }
}

void PrintoutsTest::everyPrintedPageCarriesTheEngineTheDateAndThePage()
{
    CEngineFormView form(*m_doc);
    CChart2dView graph(*m_doc);
    CResultsTableView table(*m_doc);
    const QString today = TodayText();
    const QByteArray title = "Chevy 350 Street";
    for (int page = 1; page <= 2; ++page) {
        const QByteArray svg = SvgPage([&](QPainter& painter, const QRect& paper) {
            form.PrintPage(painter, paper, page, 2, QString::fromLatin1(title));
        });
        QVERIFY(svg.contains(title));
        QVERIFY(svg.contains(today.toLatin1()));
        QVERIFY(svg.contains(QStringLiteral("Page %1 of 2").arg(page).toLatin1()));
        QVERIFY(svg.contains("Torqwell  Version 3.10"));
    }
    const QByteArray graphPage = SvgPage([&](QPainter& painter, const QRect& paper) {
        graph.PaintPrintout(painter, paper, QStringLiteral("2026-04-25"));
    });
    // The graph says which engine it shows (legend) and its units (axis titles).
    for (const char* text : {"Chevy 350 Street", "2026-04-25", "Page 1 of 1", "Power (HP)-Chevy 350 Street",
                             "Torque (ft-lbs)", "Engine Speed (RPM)"}) {
        QVERIFY2(graphPage.contains(text), text);
    }
    const QByteArray tablePage = SvgPage([&](QPainter& painter, const QRect& paper) {
        table.PaintPrintPage(painter, paper, QStringLiteral("2026-04-25"));
    });
    for (const char* text : {"Engine: Chevy 350 Street", "2026-04-25", "Page 1 of 1", "(hp)", "(ft-lbs)"}) {
        QVERIFY2(tablePage.contains(text), text);
    }
}

void PrintoutsTest::theFormFillsThePageWidth()
{
    CEngineFormView form(*m_doc);
    // A letter sheet at 100 dots per inch: the margins end at 50 and 800.
    QImage sheet(850, 1100, QImage::Format_RGB32);
    sheet.setDotsPerMeterX(3937);
    sheet.setDotsPerMeterY(3937);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    form.PrintPage(painter, sheet.rect(), 1, 2, QStringLiteral("Torq1"));
    painter.end();
    int left = sheet.width();
    int right = 0;
    for (int y = 60; y < 1050; ++y) {
        for (int x = 0; x < sheet.width(); ++x) {
            if (qGray(sheet.pixel(x, y)) < 128) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    QVERIFY2(left >= 48 && left < 60, qPrintable(QString::number(left)));
    QVERIFY2(right > 780 && right <= 802, qPrintable(QString::number(right)));
}

void PrintoutsTest::theAirflowPageListsOnlyThePointsInUse()
{
    const CylHeadFlowData& flow = m_doc->FlowData();
    QVERIFY(flow.GetPointCount() > 0 && flow.GetPointCount() < CylHeadFlowData::kMaxPoints);
    CEngineFormView form(*m_doc);
    const QByteArray svg = SvgPage([&](QPainter& painter, const QRect& paper) {
        form.PrintPage(painter, paper, CEngineFormView::kAirflowPage, 2, QStringLiteral("Torq1"));
    });
    QVERIFY(svg.contains("CYLINDER HEAD AIRFLOW DATA"));
    QVERIFY2(!svg.contains("***"), "no line for a point not in use");
    const int last = flow.GetPointCount() - 1;
    QVERIFY(svg.contains(QByteArray::fromStdString(flow.IntakeAirflow(last).GetText())));
    QVERIFY(svg.contains(QByteArray::fromStdString(flow.ExhaustLift(last).GetText())));
}

QTEST_MAIN(PrintoutsTest)
#include "PrintoutsTest.moc"
