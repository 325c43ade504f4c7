#include "GuiTestSupport.h"
#include "EngineBuilds.h"
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

private:
    std::unique_ptr<TemporarySettings> m_settings;
    std::unique_ptr<CTorqDoc> m_doc;
};

void PrintoutsTest::init()
{
    m_settings = std::make_unique<TemporarySettings>();
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
    if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty()) QSKIP("pdftoppm is not installed");
    CEngineFormView form(*m_doc);
    CChart2dView graph(*m_doc);
    CResultsTableView table(*m_doc);
    form.resize(500, 700);
    QTemporaryDir folder;
    if (qEnvironmentVariableIsSet("TORQWELL_KEEP_PRINTOUTS")) folder.setAutoRemove(false), qInfo() << folder.path();
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

QTEST_MAIN(PrintoutsTest)
#include "PrintoutsTest.moc"
