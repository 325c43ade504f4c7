#pragma once

// The cycle model's input record as text, one field a line ("bore 4.03",
// "intakeFlow 130 177 ..."), so that the inputs the engine document gives
// the model can be recorded in tests/data/sim-inputs and run by the cycle
// model's tests alone. Floats are written with nine significant figures,
// which read back as the same float. Header only.

#include "sim/LaneRecords.h"
#include "sim/SimRecords.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <istream>
#include <sstream>
#include <string>

// clang-format off
#define SIM_INPUTS_TEXT_FIELDS(X) \
    X(manifoldType) X(headType) X(exhaustSystem) X(camType) X(timingAt050) X(lifterType) X(bore) X(stroke) \
    X(cylinders) X(intakeValveDia) X(exhaustValveDia) X(compressionRatio) X(inductionCfm) X(ratingBarrels) \
    X(exhaustOpening) X(exhaustClosing) X(intakeOpening) X(intakeClosing) X(intakeLift) X(exhaustLift) \
    X(camAdvance) X(fuelType) X(nitrousFlow) X(intakeValves) X(exhaustValves) X(flowTestIntakeDia) \
    X(flowTestIntakeDrop) X(flowTestExhaustDia) X(flowTestExhaustDrop) X(intakeFlow) X(intakeFlowLift) \
    X(exhaustFlow) X(exhaustFlowLift) X(boostKind) X(blowerPressureRatio) X(blowerFlow) X(blowerEfficiency) \
    X(blowerRpm) X(boostLimit) X(intercoolerEfficiency) X(internalGearRatio) X(beltGearRatio) X(surgeFlow)
// clang-format on

namespace sim_inputs_text {

#define SIM_INPUTS_TEXT_COUNT(name) +kValuesIn<decltype(SimInputs::name)>
static_assert(ValueCount<SimInputs>() == 0 SIM_INPUTS_TEXT_FIELDS(SIM_INPUTS_TEXT_COUNT),
              "every field of SimInputs is in SIM_INPUTS_TEXT_FIELDS");
#undef SIM_INPUTS_TEXT_COUNT

inline void Write(std::string& out, std::int16_t value)
{
    out += ' ' + std::to_string(value);
}

inline void Write(std::string& out, float value)
{
    char text[32];
    std::snprintf(text, sizeof text, " %.9g", static_cast<double>(value));
    out += text;
}

template <std::size_t N>
void Write(std::string& out, const float (&values)[N])
{
    for (float v : values) Write(out, v);
}

inline bool Read(std::istream& in, std::int16_t& value)
{
    return static_cast<bool>(in >> value);
}

inline bool Read(std::istream& in, float& value)
{
    return static_cast<bool>(in >> value);
}

template <std::size_t N>
bool Read(std::istream& in, float (&values)[N])
{
    for (float& v : values)
        if (!Read(in, v)) return false;
    return true;
}

}  // namespace sim_inputs_text

inline std::string SimInputsText(const SimInputs& in)
{
    std::string text;
#define SIM_INPUTS_TEXT_WRITE(name)        \
    text += #name;                         \
    sim_inputs_text::Write(text, in.name); \
    text += '\n';
    SIM_INPUTS_TEXT_FIELDS(SIM_INPUTS_TEXT_WRITE)
#undef SIM_INPUTS_TEXT_WRITE
    return text;
}

// Reads every field; false on a missing, unknown or unreadable one.
inline bool ReadSimInputs(std::istream& text, SimInputs& in)
{
    std::memset(&in, 0, sizeof in);
    std::string line;
    int fields = 0;
    while (std::getline(text, line)) {
        std::istringstream values(line);
        std::string name;
        if (!(values >> name)) continue;
        bool known = false;
#define SIM_INPUTS_TEXT_READ(field)                                 \
    if (name == #field) {                                           \
        if (!sim_inputs_text::Read(values, in.field)) return false; \
        known = true;                                               \
    }
        SIM_INPUTS_TEXT_FIELDS(SIM_INPUTS_TEXT_READ)
#undef SIM_INPUTS_TEXT_READ
        if (!known) return false;
        ++fields;
    }
#define SIM_INPUTS_TEXT_ONE(name) +1
    return fields == 0 SIM_INPUTS_TEXT_FIELDS(SIM_INPUTS_TEXT_ONE);
#undef SIM_INPUTS_TEXT_ONE
}

// The recorded inputs of an example engine: tests/data/sim-inputs/NAME.txt.
inline std::filesystem::path RecordedSimInputsPath(const std::string& engineName)
{
    return std::filesystem::path(TORQWELL_SOURCE_DIR) / "tests/data/sim-inputs" / (engineName + ".txt");
}
