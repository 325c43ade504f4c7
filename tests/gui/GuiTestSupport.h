#pragma once

// Shared by the GUI test programs (header only: every test file is its own
// program).

#include "EngineBuilds.h"
#include "RecordingPresenter.h"
#include "model/TorqDoc.h"

#include <deque>
#include <initializer_list>
#include <vector>

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
