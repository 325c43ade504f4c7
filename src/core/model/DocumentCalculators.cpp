#include "DocumentCalculators.h"

#include "TorqDoc.h"

CompressionCalculator CompressionCalculatorFor(const CTorqDoc& doc)
{
    return CompressionCalculator(CompressionEngineFigures{
        doc.GetPistonKind(),
        doc.Bore(),
        doc.CylinderVolume(),
        doc.CompressionRatio(),
        doc.CombustionSpace(),
        doc.ChamberVolume(),
        doc.GasketBore(),
        doc.GasketThickness(),
        doc.PistonDistance(),
        doc.PistonDeckVolume(),
    });
}
