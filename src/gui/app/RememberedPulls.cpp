#include "RememberedPulls.h"

#include <QFileInfo>
#include <QSettings>
#include <QStringList>

#include <algorithm>

namespace {

const QString kGroup = QStringLiteral("MeasuredPulls");
const QString kEngineKey = QStringLiteral("engine");
const QString kPullsKey = QStringLiteral("pulls");
const QString kPowerUnitsKey = QStringLiteral("powerUnits");
const QString kTorqueUnitsKey = QStringLiteral("torqueUnits");

struct EngineEntry {
    QString engine;
    QStringList pulls;
    QStringList powerUnits;
    QStringList torqueUnits;
};

QString PowerUnitName(PullPowerUnit unit)
{
    switch (unit) {
        case PullPowerUnit::Kilowatt:
            return QStringLiteral("kW");
        case PullPowerUnit::MetricHorsepower:
            return QStringLiteral("PS");
        case PullPowerUnit::Horsepower:
            break;
    }
    return QStringLiteral("hp");
}

QString TorqueUnitName(PullTorqueUnit unit)
{
    return unit == PullTorqueUnit::NewtonMetre ? QStringLiteral("Nm") : QStringLiteral("lb-ft");
}

// The same file, however its path was written.
QString Key(const QString& path)
{
    return QFileInfo(path).absoluteFilePath();
}

std::vector<EngineEntry> ReadEntries()
{
    QSettings settings;
    std::vector<EngineEntry> entries;
    const int count = settings.beginReadArray(kGroup);
    for (int i = 0; i < count; ++i) {
        settings.setArrayIndex(i);
        entries.push_back({settings.value(kEngineKey).toString(), settings.value(kPullsKey).toStringList(),
                           settings.value(kPowerUnitsKey).toStringList(),
                           settings.value(kTorqueUnitsKey).toStringList()});
    }
    settings.endArray();
    return entries;
}

void WriteEntries(const std::vector<EngineEntry>& entries)
{
    QSettings settings;
    settings.remove(kGroup);
    settings.beginWriteArray(kGroup, static_cast<int>(entries.size()));
    for (int i = 0; i < static_cast<int>(entries.size()); ++i) {
        const EngineEntry& entry = entries[static_cast<std::size_t>(i)];
        settings.setArrayIndex(i);
        settings.setValue(kEngineKey, entry.engine);
        settings.setValue(kPullsKey, entry.pulls);
        settings.setValue(kPowerUnitsKey, entry.powerUnits);
        settings.setValue(kTorqueUnitsKey, entry.torqueUnits);
    }
    settings.endArray();
}

}  // namespace

std::vector<RememberedPull> RememberedPullsOf(const QString& enginePath)
{
    const QString engine = Key(enginePath);
    for (const EngineEntry& entry : ReadEntries()) {
        if (entry.engine != engine) continue;
        std::vector<RememberedPull> pulls;
        for (qsizetype i = 0; i < entry.pulls.size(); ++i) {
            RememberedPull pull;
            pull.path = entry.pulls[i];
            // A unit the settings do not name stays the reader's default.
            if (i < entry.powerUnits.size())
                ParsePullPowerUnit(entry.powerUnits[i].toStdString(), pull.options.powerUnit);
            if (i < entry.torqueUnits.size())
                ParsePullTorqueUnit(entry.torqueUnits[i].toStdString(), pull.options.torqueUnit);
            pulls.push_back(pull);
        }
        return pulls;
    }
    return {};
}

void RememberPulls(const QString& enginePath, const std::vector<RememberedPull>& pulls)
{
    const QString engine = Key(enginePath);
    std::vector<EngineEntry> entries = ReadEntries();
    entries.erase(std::remove_if(entries.begin(), entries.end(),
                                 [&engine](const EngineEntry& entry) { return entry.engine == engine; }),
                  entries.end());
    if (!pulls.empty()) {
        EngineEntry entry{engine, {}, {}, {}};
        for (const RememberedPull& pull : pulls) {
            entry.pulls << pull.path;
            entry.powerUnits << PowerUnitName(pull.options.powerUnit);
            entry.torqueUnits << TorqueUnitName(pull.options.torqueUnit);
        }
        entries.insert(entries.begin(), entry);
        if (entries.size() > std::size_t(kMostRememberedEngines)) entries.resize(kMostRememberedEngines);
    }
    WriteEntries(entries);
}
