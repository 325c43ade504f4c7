#include "ManualBook.h"

#include <QCommandLineParser>
#include <QGuiApplication>

#include <cstdio>

// Writes the user manual as a PDF book:
//   torqwell-manual-pdf --output Trqmanual.pdf --footer "Torqwell 3.10 User Manual" docs/manual/README.md
int main(int argc, char* argv[])
{
    QGuiApplication application(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Writes the user manual, its contents page and the chapters it "
                       "links to, as one PDF book."));
    parser.addHelpOption();
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("The PDF file to write."), QStringLiteral("file"));
    const QCommandLineOption footer(QStringLiteral("footer"),
                                    QStringLiteral("The text at the foot of every page."),
                                    QStringLiteral("text"), QStringLiteral("Torqwell User Manual"));
    const QCommandLineOption generated(QStringLiteral("generated"),
                                       QStringLiteral("The folder of the page parts the build writes."),
                                       QStringLiteral("folder"));
    parser.addOption(output);
    parser.addOption(footer);
    parser.addOption(generated);
    parser.addPositionalArgument(QStringLiteral("CONTENTS.md"),
                                 QStringLiteral("The manual's contents page."));
    parser.process(application);
    if (parser.positionalArguments().size() != 1 || !parser.isSet(output)) {
        std::fputs(qPrintable(parser.helpText()), stderr);
        return 2;
    }

    ManualBook book;
    book.SetGeneratedFolder(parser.value(generated));
    if (!book.Load(parser.positionalArguments().constFirst()) ||
        !book.WritePdf(parser.value(output), parser.value(footer))) {
        std::fprintf(stderr, "torqwell-manual-pdf: %s\n", qPrintable(book.Error()));
        return 1;
    }
    std::printf("%s: %d pages, %lld chapters\n", qPrintable(parser.value(output)), book.PageCount(),
                static_cast<long long>(book.ChapterFiles().size()));
    return 0;
}
