#pragma once

#include "CalculatorEntry.h"
#include "base/ErrCode.h"
#include "base/TorqSpec.h"

#include <cstdint>
#include <string>

// The engine's figures the calculator starts from, in the engine's units:
// its piston kind, bore and swept "Cylinder Volume", its "Compression
// Ratio" and "Combustion Space" (whose ranges the result must fit), and
// the calculator inputs saved with it. The calculator copies them.
struct CompressionEngineFigures {
    std::int32_t pistonKind;  // 1 domed/dished, 2 flattop
    const CFloatPtSpec& bore;
    const CFloatPtSpec& cylinderVolume;  // cc
    const CFloatPtSpec& compressionRatio;
    const CFloatPtSpec& combustionSpace;  // cc
    const CFloatPtSpec& chamberVolume;
    const CFloatPtSpec& gasketBore;
    const CFloatPtSpec& gasketThickness;
    const CFloatPtSpec& pistonDistance;
    const CFloatPtSpec& pistonDeckVolume;
};

// The calculator's results as its Apply hands them to the engine.
struct CompressionCalculatorResult {
    int pistonKind;              // 1 domed/dished, 2 flattop
    CFloatPtSpec chamberVolume;  // the calculator's copies, in the engine's units
    CFloatPtSpec gasketBore;
    CFloatPtSpec gasketThickness;
    CFloatPtSpec pistonDistance;
    CFloatPtSpec pistonDeckVolume;
    CFloatPtSpec gasketVolume;
    CFloatPtSpec deckVolume;
    float combustionSpace;   // cc
    float compressionRatio;  // the new ratio
};

// The compression ratio of an engine from what a builder measures on the
// parts: the head's chamber volume, the head gasket's bore and compressed
// thickness, the piston's distance from the block deck at TDC and, for a
// piston with a dome, dish or valve reliefs, the volume measured above it.
//
//   gasket volume     = V(gasket bore, gasket thickness)
//   deck volume       = V(bore, piston distance)                 flattop
//                     = measured volume - V(bore, piston distance) domed
//   total combustion  = chamber + (gasket + deck)
//   compression ratio = (total + swept) / total
//
// with V(d, h) the volume of a cylinder slice in cc from inches. Every
// figure is rounded to 2 decimals, as it is shown.
//
// The calculator works on copies of the engine's calculator inputs, its
// bore and its swept cylinder volume, in the engine's unit system; the
// engine changes only through Result() handed to
// CTorqDoc::ApplyCompressionCalculator (model/DocumentCalculators.h starts
// the calculator on a document).
class CompressionCalculator {
public:
    // Piston kinds (the document's numbering).
    static constexpr std::int32_t kDomedPiston = 1;    // dome, dish or valve reliefs: volume measured
    static constexpr std::int32_t kFlattopPiston = 2;  // flat top without reliefs
    // The piston's distance from the block deck at TDC, inches: a flattop
    // may stand above the deck (negative), a domed piston is measured from
    // TDC down.
    static constexpr float kFlattopDistanceMinIn = -0.5f;
    static constexpr float kDomedDistanceMinIn = 0.1f;
    static constexpr float kDistanceMaxIn = 2.0f;

    enum class Input { ChamberVolume, GasketBore, GasketThickness, PistonDistance, PistonVolume };

    // The engine's short block must be complete (CTorqDoc::CanOpenCompressionCalculator).
    explicit CompressionCalculator(const CompressionEngineFigures& engine);

    std::int32_t GetPistonKind() const { return m_pistonKind; }
    // Stores the kind, gives the piston distance the kind's range (a distance
    // outside it is reset) and recalculates.
    void SetPistonKind(std::int32_t pistonKind);

    CFloatPtSpec& Parameter(Input input);
    const CFloatPtSpec& Parameter(Input input) const;
    // The field protocol: chamber and measured volume are kept to 2 decimals;
    // an accepted value recalculates.
    EntryResult Enter(Input input, std::string_view text);

    // Volume of a cylinder slice, cc, from diameter and height in inches,
    // in 32-bit floats in the order pi * d * d * h / 4 * cc-per-cubic-inch.
    static float SliceVolumeCc(float diameterIn, float heightIn);

    void Recalculate();

    const CFloatPtSpec& GasketVolume() const { return m_gasketVolume; }
    const CFloatPtSpec& DeckVolume() const { return m_deckVolume; }
    const CFloatPtSpec& TotalVolume() const { return m_totalVolume; }
    const CFloatPtSpec& SweptVolume() const { return m_sweptVolume; }
    // A total of exactly zero leaves no ratio: it is infinite.
    bool IsRatioInfinite() const { return m_totalVolume.IsValid() && m_totalVolume.GetValue() == 0.0f; }
    // "Infinity", the ratio's value text, or empty while there is none.
    std::string RatioText() const;

    // The checks of Apply in order: 90 chamber, 91 gasket bore, 92 gasket
    // thickness, 93 / 94 piston distance (flattop / domed), 95 measured
    // volume (domed), 96 no ratio, 89 a ratio outside the document's
    // "Compression Ratio" range, and 96 again for a total the document's
    // "Combustion Space" cannot hold. 0 when the result may be applied.
    ErrorCode CheckApply() const;
    // What the document stores on Apply; CheckApply must have passed.
    CompressionCalculatorResult Result() const;

private:
    float EnglishBoreIn() const;

    std::int32_t m_pistonKind;
    CFloatPtSpec m_bore;         // the document's, in its units
    CFloatPtSpec m_sweptVolume;  // the document's "Cylinder Volume", cc
    CFloatPtSpec m_engineRatio;  // the document's "Compression Ratio": its range decides 89
    CFloatPtSpec m_engineSpace;  // the document's "Combustion Space": its range must hold the total
    CFloatPtSpec m_chamberVolume;
    CFloatPtSpec m_gasketBore;
    CFloatPtSpec m_gasketThickness;
    CFloatPtSpec m_pistonDistance;
    CFloatPtSpec m_pistonVolume;  // measured above a domed piston at the piston distance
    CFloatPtSpec m_gasketVolume;
    CFloatPtSpec m_deckVolume;
    CFloatPtSpec m_totalVolume;
    CFloatPtSpec m_newRatio;
};
