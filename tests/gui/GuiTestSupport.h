#pragma once

// Shared by the GUI test programs (header only: every test file is its own
// program).

#include "RecordingPresenter.h"
#include "model/TorqDoc.h"

#include <QSettings>
#include <QTemporaryDir>

#include <deque>
#include <initializer_list>
#include <vector>

// Points the per-user settings at a temporary folder for the test's lifetime.
class TemporarySettings {
public:
    TemporarySettings()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_folder.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_folder.path());
    }
    QString Folder() const { return m_folder.path(); }

private:
    QTemporaryDir m_folder;
};

// Chevy 350 with wedge heads, 2.02/1.60 valves, 10:1, 750 cfm, dual-plane
// manifold, small-tube headers and a high-performance street cam, chosen
// through the popup-menu commands. False when a command was not applied.
inline bool ApplyChevy350Commands(CTorqDoc& doc)
{
    for (int command : {33135, 32798, 33052, 33065, 32878, 32854, 32838, 32863, 32892, 32897, 33075, 33086}) {
        if (doc.OnCommand(command) != CommandResult::Applied) return false;
    }
    return true;
}

// 19 results of a made-up run: speeds 2000..11000 and given values per series.
inline void SetResults(CTorqDoc& doc, float scale)
{
    for (int series = 1; series <= kResultSeriesCount; ++series) {
        ResultSeriesValues values{};
        for (int i = 0; i < kResultPointCount; ++i) {
            values[i] = series == kSeriesEngineSpeed ? 2000.0f + 500.0f * i : scale * series * (i + 1);
        }
        doc.SetResultSeries(series, values);
    }
}
