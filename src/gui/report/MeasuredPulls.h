#pragma once

#include "model/ResultUnits.h"
#include "study/DynoPull.h"
#include "study/PullComparison.h"
#include "study/ReferenceLibrary.h"

#include <QObject>
#include <QString>

#include <optional>
#include <vector>

class CTorqDoc;

// What was measured on a real dyno, shown beside an engine's results: the
// pulls the user added (the graph draws them, the table can put them beside
// the model's power and torque, the dyno sheet carries them) and, for a
// reference engine, the peaks its source published.

struct MeasuredPull {
    QString path;             // absolute, as it was read
    PullReadOptions options;  // the units chosen where the file names none
    DynoPull pull;

    // "pull.csv"
    QString FileName() const;
    // "Measured: pull.csv", the pull's legend on the graph.
    QString Legend() const;
};

// The peaks a reference engine's source published (hp and lb-ft at rpm).
struct PublishedMarks {
    QString engineName;  // "GM Goodwrench 350, stock"
    QString source;
    PublishedPeaks peaks;

    // "Published: GM Goodwrench 350, stock"
    QString Legend() const;
};

// The measured figures beside one engine window.
class CMeasuredPulls : public QObject {
    Q_OBJECT
public:
    explicit CMeasuredPulls(QObject* parent = nullptr);

    const std::vector<MeasuredPull>& Pulls() const { return m_pulls; }
    bool IsEmpty() const { return m_pulls.empty(); }
    // Adds a pull after the others; a pull of the same file takes the place
    // of the one read before.
    void Add(MeasuredPull pull);
    void Remove(int index);
    // The index of the pull read from path, -1 for none.
    int IndexOf(const QString& path) const;

    const std::optional<PublishedMarks>& Published() const { return m_published; }
    void SetPublished(PublishedMarks marks);
    void ClearPublished();

signals:
    void Changed();

private:
    std::vector<MeasuredPull> m_pulls;
    std::optional<PublishedMarks> m_published;
};

// The engine's last run beside a pull: the differences at the model's speed
// points the pull covers, and their root-mean-square.
PullComparison CompareWithRun(const CTorqDoc& engine, const DynoPull& pull);

// "RMS difference 4.2 hp, 3.1 ft-lbs (1.3 % of peak) over 13 speeds" in the
// units shown; "The pull covers none of the model's speeds" when it covers none.
QString RmsSummary(const PullComparison& comparison, ResultUnits units);

// The text of a difference in the units shown, with its sign: "+4.2", "-0.8".
QString DifferenceText(double modelDifference, int series, ResultUnits units);
