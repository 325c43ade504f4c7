#pragma once

#include "components/CompressionCalculator.h"

class CTorqDoc;

// The compression calculator started on a document's figures: its piston
// kind, bore, swept volume, compression ratio and combustion space, and the
// calculator inputs saved with it. The short block must be complete
// (CTorqDoc::CanOpenCompressionCalculator); the document changes only
// through CTorqDoc::ApplyCompressionCalculator.
CompressionCalculator CompressionCalculatorFor(const CTorqDoc& doc);
