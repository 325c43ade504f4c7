#pragma once

// The shard record: what "iterate --shard K/N" prints for "iterate-merge".
// A JSON document with the series (the engine file itself, the sweeps, the
// criterion, the band and the number of tests), which shard of how many it
// is, the instruction set it ran with, and each test that entered the
// shard's ten best with its seven result curves.

#include "IterateCommand.h"

#include <QJsonObject>
#include <QString>
#include <QTextStream>

#include <vector>

namespace cli::iterate {

struct ShardRecord {
    QJsonObject series;
    SeriesShare share;
    std::int32_t testsIssued = 0;  // tests of the whole series the shard went through
    QString instructionSet;
    bool fusedMultiplyAdd = false;
    std::vector<ShardEntry> entries;  // in test order
};

// Prints the record of the shard just run; engineFile is the baseline's
// file as it was read.
void PrintShardRecord(const IteratorTest& iterator, const IterateOptions& options,
                      const QByteArray& engineFile, const std::vector<ShardEntry>& entries, QTextStream& out);

// The whole of a file named on the command line; false when it cannot be read.
bool ReadWholeFile(const QString& path, QByteArray& bytes);

// Reads a record; false with a message naming what is wrong with it.
bool ReadShardRecord(const QString& path, ShardRecord& record, QString& problem);

// Whether two records are shards of the same series: the same engine file,
// sweeps (their values, however typed), criterion, band and test count.
bool SameSeries(const QJsonObject& a, const QJsonObject& b);

// The series' sweeps, criterion and band as iterate's options.
void SeriesOptions(const QJsonObject& series, IterateOptions& options);

// Writes the series' engine file into folder under its own name and
// returns its path; empty when it cannot be written.
QString WriteSeriesEngine(const QJsonObject& series, const QString& folder);

}  // namespace cli::iterate
