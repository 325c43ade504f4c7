#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

class CTorqDoc;

// The engine record of the older DOS programs: one packed little-endian
// record of 815 bytes (16-bit signed integers, 32-bit IEEE floats) with the
// engine's main choices and dimensions and the seven result curves, saved
// with the extension ".trq". The menu command runs in three steps around the
// platform's save dialog:
//
//   CheckDosRecordExport   the engine must fit the older format
//   ProposedDosRecordName  the name the dialog proposes
//   ExportDosRecordFile    the file the user chose, in its DOS 8.3 form

inline constexpr std::size_t kDosRecordSize = 815;
using DosRecord = std::array<std::uint8_t, kDosRecordSize>;

// Byte offsets of the record's fields.
namespace DosRecordOffset {
inline constexpr std::size_t kSignature = 0;        // 32 bytes of text
inline constexpr std::size_t kCamTypeName = 32;     // 50 bytes, zero-terminated
inline constexpr std::size_t kShortBlockName = 82;  // 25 bytes, zero-terminated
inline constexpr std::size_t kManifoldType = 109;
inline constexpr std::size_t kHeadType = 113;
inline constexpr std::size_t kExhaustSystem = 117;
inline constexpr std::size_t kTimingMethod = 119;
inline constexpr std::size_t kLifterType = 121;
inline constexpr std::size_t kBore = 127;
inline constexpr std::size_t kStroke = 131;
inline constexpr std::size_t kCylinders = 135;
inline constexpr std::size_t kIntakeValve = 137;
inline constexpr std::size_t kExhaustValve = 141;
inline constexpr std::size_t kCompressionRatio = 145;
inline constexpr std::size_t kInductionFlow = 149;
inline constexpr std::size_t kFlowBasis = 151;
inline constexpr std::size_t kEvo = 153;
inline constexpr std::size_t kEvc = 157;
inline constexpr std::size_t kIvo = 161;
inline constexpr std::size_t kIvc = 165;
inline constexpr std::size_t kIntakeLift = 169;
inline constexpr std::size_t kExhaustLift = 173;
inline constexpr std::size_t kAdvance = 177;
inline constexpr std::size_t kPower = 179;  // then torque, manifold pressure, volumetric
                                            // efficiency, IMEP, BMEP, FMEP: 76 bytes each
inline constexpr std::size_t kCompressionKind = 711;
inline constexpr std::size_t kFuelType = 715;
inline constexpr std::size_t kChamberVolume = 717;
inline constexpr std::size_t kKindDeckVolume = 721;
inline constexpr std::size_t kGasketBore = 725;
inline constexpr std::size_t kPistonDistance = 729;
inline constexpr std::size_t kGasketVolume = 733;
inline constexpr std::size_t kDeckVolume = 737;
inline constexpr std::size_t kGasketThickness = 741;
inline constexpr std::size_t kNitrousFlow = 757;
}  // namespace DosRecordOffset

// Checks 1 to 8 in order: the engine's validation (its code), English units
// (87), results (79), no automatic valve sizes or lifts (80), pressure drop
// exactly 1.5 inHg (81), a head of the table (82), 2 + 2 valves for the
// 4-valve heads and 1 + 1 for the others (83, 84), no forced induction (85).
// Shows the first failure and gives false.
bool CheckDosRecordExport(CTorqDoc& doc);

// DosFileName of the document title with ".trq" ("Untitled" stands in for a
// document that has no title yet).
std::string ProposedDosRecordName(const CTorqDoc& doc);

// Writes folder / DosFileName(chosenFileName, ".trq"). A chosen name that
// the 8.3 form changes and whose 8.3 form names an existing file gives 78 and
// writes nothing; file errors show 43, 44 or 46. The checks are the caller's
// (CheckDosRecordExport before the dialog).
bool ExportDosRecordFile(CTorqDoc& doc, const std::string& folder, const std::string& chosenFileName);

// The record of the document's engine and its last results.
DosRecord BuildDosRecord(const CTorqDoc& doc);

// Builds the record and writes it as one block. The file appears only once
// it is complete: a failure leaves an existing file untouched and nothing
// else behind. Errors 43, 44 and 46 are shown and give false.
bool WriteGameEngineFile(const std::string& path, const CTorqDoc& doc);
