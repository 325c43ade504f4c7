#include "IterateShardFile.h"

#include "model/TorqDoc.h"
#include "sim/EngineSim.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

#include <fstream>
#include <iterator>
#include <string>
#include <utility>

namespace cli::iterate {

namespace {

constexpr const char* kRecordFormat = "torqwell iterator shard";
constexpr int kRecordVersion = 1;

// The seven curves of an entry, by their names in the record.
using CurveMember = SpeedCurve SimResults::*;
constexpr std::pair<const char*, CurveMember> kCurves[] = {
    {"power", &SimResults::power},
    {"torque", &SimResults::torque},
    {"manifold_pressure", &SimResults::manifoldPressure},
    {"volumetric_efficiency", &SimResults::volumetricEfficiency},
    {"imep", &SimResults::imep},
    {"bmep", &SimResults::bmep},
    {"fmep", &SimResults::fmep},
};

QString CriterionName(std::int32_t criterion)
{
    return criterion == kMaxPower ? "power" : "torque";
}

// The series as the record keeps it. Numbers are written as the doubles
// that the floats are, which JSON gives back exactly.
QJsonObject SeriesObject(const IteratorTest& iterator, const IterateOptions& options,
                         const QByteArray& engine)
{
    QJsonArray sweeps;
    for (std::size_t i = 0; i < options.sweeps.size(); ++i) {
        const SweepText& typed = options.sweeps[i];
        IterationParam slot;
        iterator.GetSlot(static_cast<int>(i), slot);
        sweeps.append(
            QJsonObject{{"sweep", typed.name + "=" + typed.min + ":" + typed.max + ":" + typed.step},
                        {"min", double(slot.minValue.GetValue())},
                        {"max", double(slot.maxValue.GetValue())},
                        {"step", double(slot.stepValue.GetValue())},
                        {"steps", slot.numberOfSteps}});
    }
    float minRpm = 0.0f;
    float maxRpm = 0.0f;
    iterator.GetScoringBand(minRpm, maxRpm);
    return QJsonObject{{"engine_file", QFileInfo(options.engineFile).fileName()},
                       {"engine", QString::fromLatin1(engine.toBase64())},
                       {"sweeps", sweeps},
                       {"criterion", CriterionName(iterator.GetCriterion())},
                       {"band", QJsonArray{double(minRpm), double(maxRpm)}},
                       {"total_tests", iterator.GetTotalTests()}};
}

QJsonObject EntryObject(const ShardEntry& entry)
{
    QJsonObject object{{"test", entry.testNumber}};
    for (const auto& [name, member] : kCurves) {
        QJsonArray values;
        for (float value : entry.results.*member) values.append(double(value));
        object[name] = values;
    }
    return object;
}

bool ReadEntry(const QJsonValue& value, ShardEntry& entry)
{
    const QJsonObject object = value.toObject();
    if (!object["test"].isDouble()) return false;
    entry.testNumber = object["test"].toInt();
    for (const auto& [name, member] : kCurves) {
        const QJsonArray values = object[name].toArray();
        if (values.size() != kSpeedPointCount) return false;
        for (int i = 0; i < kSpeedPointCount; ++i) {
            if (!values[i].isDouble()) return false;
            (entry.results.*member)[std::size_t(i)] = float(values[i].toDouble());
        }
    }
    return true;
}

// The entries: each of the share, in increasing test order, within the series.
bool EntriesFitTheShare(const ShardRecord& record)
{
    const std::int32_t total = record.series["total_tests"].toInt();
    std::int32_t previous = 0;
    for (const ShardEntry& entry : record.entries) {
        if (entry.testNumber <= previous || entry.testNumber > total ||
            !record.share.Contains(entry.testNumber))
            return false;
        previous = entry.testNumber;
    }
    return true;
}

// A series object with the sweeps as typed left out.
QJsonObject WithoutTypedSweeps(QJsonObject series)
{
    QJsonArray sweeps = series["sweeps"].toArray();
    for (qsizetype i = 0; i < sweeps.size(); ++i) {
        QJsonObject sweep = sweeps[i].toObject();
        sweep["name"] = sweep["sweep"].toString().section('=', 0, 0);
        sweep.remove("sweep");
        sweeps[i] = sweep;
    }
    series["sweeps"] = sweeps;
    return series;
}

}  // namespace

bool ReadWholeFile(const QString& path, QByteArray& bytes)
{
    std::ifstream file(LocalPath(path), std::ios::binary);
    if (!file) return false;
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad()) return false;
    bytes = QByteArray::fromStdString(text);
    return true;
}

void PrintShardRecord(const IteratorTest& iterator, const IterateOptions& options,
                      const QByteArray& engineFile, const std::vector<ShardEntry>& entries, QTextStream& out)
{
    QJsonArray entryArray;
    for (const ShardEntry& entry : entries) entryArray.append(EntryObject(entry));
    const QJsonObject record{
        {"format", kRecordFormat},
        {"version", kRecordVersion},
        {"series", SeriesObject(iterator, options, engineFile)},
        {"shard", QJsonArray{options.share.index, options.share.count}},
        {"tests_issued", iterator.GetTestsRun()},
        {"instruction_set", QString(EngineSimInstructionSet())},
        {"fused_multiply_add", EngineSimFusesMultiplyAdd()},
        {"entries", entryArray},
    };
    out << QJsonDocument(record).toJson(QJsonDocument::Indented);
    out.flush();
}

bool ReadShardRecord(const QString& path, ShardRecord& record, QString& problem)
{
    QByteArray text;
    if (!ReadWholeFile(path, text)) {
        problem = "cannot read '" + path + "'";
        return false;
    }
    const QJsonObject object = QJsonDocument::fromJson(text).object();
    if (object["format"].toString() != kRecordFormat || object["version"].toInt() != kRecordVersion) {
        problem = "'" + path + "' is not a shard record of torqwell-cli iterate --shard";
        return false;
    }
    record.series = object["series"].toObject();
    const QJsonArray shard = object["shard"].toArray();
    record.share = {shard[0].toInt(), shard[1].toInt()};
    record.testsIssued = object["tests_issued"].toInt();
    record.instructionSet = object["instruction_set"].toString();
    record.fusedMultiplyAdd = object["fused_multiply_add"].toBool();
    record.entries.clear();
    const QJsonArray entries = object["entries"].toArray();
    bool entriesRead = shard.size() == 2 && record.share.count >= 1 && record.share.index >= 1 &&
                       record.share.index <= record.share.count && record.series["total_tests"].toInt() >= 2;
    for (qsizetype i = 0; entriesRead && i < entries.size(); ++i) {
        ShardEntry entry;
        entriesRead = ReadEntry(entries[i], entry);
        record.entries.push_back(entry);
    }
    if (!entriesRead || !EntriesFitTheShare(record)) {
        problem = "'" + path + "' is damaged: its shard or its entries do not fit its series";
        return false;
    }
    return true;
}

bool SameSeries(const QJsonObject& a, const QJsonObject& b)
{
    return WithoutTypedSweeps(a) == WithoutTypedSweeps(b);
}

void SeriesOptions(const QJsonObject& series, IterateOptions& options)
{
    options.sweeps.clear();
    for (const QJsonValue& sweep : series["sweeps"].toArray()) {
        SweepText text;
        QString problem;
        if (ParseSweep(sweep.toObject()["sweep"].toString(), text, problem)) options.sweeps.push_back(text);
    }
    options.setup.Reset();
    options.setup.criterion = series["criterion"].toString() == "torque" ? kMaxTorque : kMaxPower;
    const QJsonArray band = series["band"].toArray();
    options.setup.minRpm = float(band[0].toDouble());
    options.setup.maxRpm = float(band[1].toDouble());
}

QString WriteSeriesEngine(const QJsonObject& series, const QString& folder)
{
    const QString name = QFileInfo(series["engine_file"].toString()).fileName();
    const QString path = QDir(folder).filePath(name.isEmpty() ? QString("engine.trq") : name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return {};
    const QByteArray engine = QByteArray::fromBase64(series["engine"].toString().toLatin1());
    return file.write(engine) == engine.size() && file.flush() ? path : QString();
}

}  // namespace cli::iterate
