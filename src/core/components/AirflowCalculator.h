#pragma once

#include "CalculatorEntry.h"
#include "base/ErrCode.h"
#include "base/TorqSpec.h"

#include <cstdint>

// Converts an airflow measured at one pressure drop to the airflow at
// another, by the square-root law of flow through a restriction:
//
//   airflow = known airflow * sqrt(target pressure drop / known pressure drop)
//
// and in particular to the two carburettor rating standards, 2-barrel at
// 3.0 inHg and 4-barrel at 1.5 inHg. An English engine works in inches of
// water and of mercury, a metric one in centimetres of water and of mercury;
// either pressure may be shown in its water or its mercury unit
// (1 inH2O = 0.0738 inHg) and both are brought to water for the conversion.
class AirflowCalculator {
public:
    // Rating modes.
    static constexpr std::int32_t kNoStandard = 0;  // a free calculator: nothing reaches the engine
    static constexpr std::int32_t kTwoBarrel = 1;   // rated at 3.0 inHg
    static constexpr std::int32_t kFourBarrel = 2;  // rated at 1.5 inHg

    enum class Input { KnownAirflow, KnownPressure, TargetPressure };

    // 0 English, 1 metric. Starts as a 4-barrel rating with the known
    // pressure shown in water and the target in mercury.
    explicit AirflowCalculator(std::int32_t unitSystem);

    std::int32_t GetUnitSystem() const { return m_unitSystem; }
    std::int32_t GetMode() const { return m_mode; }
    // A rating mode sets the target to its pressure drop in the target's
    // current unit; every mode recalculates.
    void SetMode(std::int32_t mode);
    // The rating's pressure drop, inches of mercury (mode 1 or 2).
    float RatingPressureInHg() const;

    CFloatPtSpec& Parameter(Input input);
    const CFloatPtSpec& Parameter(Input input) const;
    // The field protocol; an accepted value recalculates.
    EntryResult Enter(Input input, std::string_view text);

    // Shows a pressure in its mercury unit (true) or its water unit.
    void ShowKnownPressureInMercury(bool mercury);
    void ShowTargetPressureInMercury(bool mercury);  // recalculates
    bool IsKnownPressureInMercury() const { return m_knownPressure.IsMetric(); }
    bool IsTargetPressureInMercury() const { return m_targetPressure.IsMetric(); }

    // With all three inputs valid: the converted airflow, cfm, to 1 decimal.
    // Otherwise the last result stays.
    void Recalculate();
    const CFloatPtSpec& Airflow() const { return m_airflow; }
    // The target pressure drop in inches of mercury, whatever unit it is shown in.
    float TargetPressureInHg() const;

    // The checks of Apply in a rating mode: 98 no known pressure drop, 97 no
    // known airflow, 99 a result outside the engine's "Induction Flow" range
    // (100 to 4000 cfm). 0 when the result may be applied.
    ErrorCode CheckApply() const;

private:
    float InWater(const CFloatPtSpec& pressure) const;

    std::int32_t m_unitSystem;
    std::int32_t m_mode = kFourBarrel;
    CFloatPtSpec m_knownAirflow;
    CFloatPtSpec m_knownPressure;   // water unit "English", mercury unit "metric"
    CFloatPtSpec m_targetPressure;  // likewise
    CFloatPtSpec m_airflow;
    CFloatPtSpec m_inductionFlow;  // the engine's range for a rated airflow
};
