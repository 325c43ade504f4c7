#pragma once

#include "sim/SimRecords.h"

// One pair of simulation records: what a run reads and what it writes.
struct SimWorkspace {
    SimInputs inputs{};
    SimResults results{};
};

// The program-wide pair of records that a document's runs use unless they
// are given their own (an iterator worker has its own). Its records keep
// the last run's inputs and results until the next run.
SimWorkspace& ProgramSimWorkspace();
