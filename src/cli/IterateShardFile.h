#pragma once

// The shard record on the command line: printed by "iterate --shard K/N",
// read by "iterate-merge" (its form and checks: iterator/ShardRecord.h).

#include "IterateCommand.h"

#include "iterator/ShardRecord.h"

#include <QString>
#include <QTextStream>

#include <string>
#include <vector>

namespace cli::iterate {

// Prints the record of the shard just run; engineFile is the baseline's
// file as it was read.
void PrintShardRecord(const IteratorTest& iterator, const IterateOptions& options,
                      const std::string& engineFile, const std::vector<ShardEntry>& entries,
                      QTextStream& out);

// Reads the record a command-line argument names: a regular file of at most
// 1 GiB, whole and sound. False with a message naming the file.
bool ReadShardRecordFile(const QString& path, ShardRecord& record, QString& problem);

// The series' sweeps, criterion and band as iterate's options. False when a
// sweep as typed is no sweep (problem says which).
bool SeriesOptions(const ShardSeries& series, IterateOptions& options, QString& problem);

// Writes the series' engine file into folder under its own name (its bytes)
// and returns its path as an argument; empty when it cannot be written.
QString WriteSeriesEngine(const ShardSeries& series, const std::string& folder);

}  // namespace cli::iterate
