// The kept results of a series or a search as the command line prints them:
// a table for people, JSON for scripts.

#include "IterateCommand.h"

#include "iterator/IteratorRunner.h"
#include "model/TorqDoc.h"

#include <QStringList>

#include <algorithm>

namespace cli {
namespace iterate {

RunCounts RunCounts::OfSeries(const IteratorTest& iterator)
{
    return {iterator.GetTotalTests(), iterator.GetTestsRun(), false};
}

float PeakOf(const ResultSeriesValues& values)
{
    return *std::max_element(values.begin(), values.end());
}

QString FormatTable(const IteratorTest& iterator, const RunCounts& counts,
                    const std::vector<SweepText>& sweeps)
{
    float minRpm = 0.0f;
    float maxRpm = 0.0f;
    iterator.GetScoringBand(minRpm, maxRpm);
    QString text = QString("Total tests: %1\nTests run:   %2\n").arg(counts.totalTests).arg(counts.testsRun);
    text += QString("Best results by peak %1 between %2 and %3 rpm:\n\n")
                .arg(iterator.GetCriterion() == kMaxPower ? "power" : "torque")
                .arg(double(minRpm), 0, 'f', 0)
                .arg(double(maxRpm), 0, 'f', 0);
    text += QString("%1%2%3").arg("No.", -7).arg("Test", 10).arg("Score", 10);
    for (const SweepText& sweep : sweeps) text += QString("%1").arg(sweep.name, 12);
    text += QString("%1%2\n").arg("Peak hp", 10).arg("Peak ft-lbs", 12);
    for (int i = 0; i < iterator.GetKeptCount(); ++i) {
        const CTorqDoc& engine = iterator.GetBestEngine(i);
        text += QString("%1%2%3")
                    .arg(QString("No. %1").arg(i + 1), -7)
                    .arg(iterator.GetBestTestNumber(i), 10)
                    .arg(double(iterator.GetBestScore(i)), 10, 'f', 2);
        for (const SweepText& sweep : sweeps) {
            text +=
                QString("%1").arg(QString::fromStdString(SweptParameter(engine, sweep.type).GetText()), 12);
        }
        text += QString("%1%2\n")
                    .arg(double(PeakOf(engine.GetResultSeries(kSeriesPower))), 10, 'f', 2)
                    .arg(double(PeakOf(engine.GetResultSeries(kSeriesTorque))), 12, 'f', 2);
    }
    return text;
}

// Written by hand to keep the keys in their documented order; every number
// with the 9 significant digits that give back a 32-bit float.
QString FormatJson(const IteratorTest& iterator, const RunCounts& counts,
                   const std::vector<SweepText>& sweeps)
{
    float minRpm = 0.0f;
    float maxRpm = 0.0f;
    iterator.GetScoringBand(minRpm, maxRpm);
    QString text = QString(
                       "{\"total_tests\": %1, \"tests_run\": %2, \"method\": \"%3\", \"criterion\": \"%4\", "
                       "\"band\": [%5, %6], \"best\": [")
                       .arg(counts.totalTests)
                       .arg(counts.testsRun)
                       .arg(counts.search ? "search" : "series")
                       .arg(iterator.GetCriterion() == kMaxPower ? "power" : "torque")
                       .arg(RoundTripText(minRpm), RoundTripText(maxRpm));
    for (int i = 0; i < iterator.GetKeptCount(); ++i) {
        const CTorqDoc& engine = iterator.GetBestEngine(i);
        QStringList values;
        for (const SweepText& sweep : sweeps) {
            values << QString("\"%1\": %2")
                          .arg(sweep.name, RoundTripText(SweptParameter(engine, sweep.type).GetValue()));
        }
        text += QString(
                    "%1{\"no\": %2, \"test\": %3, \"score\": %4, \"values\": {%5}, \"peak_power\": %6, "
                    "\"peak_torque\": %7}")
                    .arg(i == 0 ? "" : ", ")
                    .arg(i + 1)
                    .arg(iterator.GetBestTestNumber(i))
                    .arg(RoundTripText(iterator.GetBestScore(i)), values.join(", "),
                         RoundTripText(PeakOf(engine.GetResultSeries(kSeriesPower))),
                         RoundTripText(PeakOf(engine.GetResultSeries(kSeriesTorque))));
    }
    return text + "]}\n";
}

void PrintResults(const IteratorTest& iterator, const RunCounts& counts, const IterateOptions& options,
                  QTextStream& out)
{
    out << (options.format == IterateFormat::Json ? FormatJson(iterator, counts, options.sweeps)
                                                  : FormatTable(iterator, counts, options.sweeps));
    out.flush();
}

}  // namespace iterate
}  // namespace cli
