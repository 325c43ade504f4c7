#pragma once

#include "CliSupport.h"

#include "study/EditStudy.h"

#include <QString>

class CTorqDoc;

// What the study commands (shootout, sensitivity) share: the score and its
// band, the output format, the threads, the engine they start from, and
// their numbers and texts in JSON and CSV.
namespace cli {

enum class StudyFormat { Table, Json, Csv };

struct StudyOptions {
    QString engineFile;
    StudyCriterion criterion = StudyCriterion::PeakPower;
    SpeedBand band{};
    StudyFormat format = StudyFormat::Table;
    int threads = 1;
};

// --criterion, --band, --threads, -f and the engine file.
void AddStudyOptions(CommandLine& line);

// --threads N, 1 to 256; every core when not given. False for anything else.
bool ParseStudyThreads(const QCommandLineParser& parser, int& threads);
// False with the usage error printed (status 2).
bool ParseStudyOptions(CommandLine& line, QTextStream& err, StudyOptions& options, int& status);

// Opens the engine and runs it as it is through the study (baseline). False
// with a message printed and status set: a file that cannot be read, an
// engine that does not run.
template <typename Study>
bool RunStudyBaseline(const CommandLine& line, QTextStream& err, Study& study, int& status)
{
    std::string failure;
    if (study.RunBaseline(failure)) return true;
    status = line.Error(err, "the engine as it is does not run: " + QString::fromStdString(failure));
    return false;
}

// The criterion's unit: "hp" or "ft-lbs".
QString CriterionUnit(StudyCriterion criterion);
// "power in 2000-11000 rpm"
QString CriterionText(const StudyOptions& options);

// A JSON string, quoted and escaped.
QString JsonText(const QString& text);
// A CSV field, quoted when it holds a comma or a quote.
QString CsvField(const QString& text);
// "{"score": S, "peak_power": P, ...}" with 9 significant digits, the
// figures of a run.
QString FiguresJson(const StudyFigures& figures);
// The table's "412.3 hp @ 5500" columns.
QString PeakText(const PeakPoint& peak);

}  // namespace cli
