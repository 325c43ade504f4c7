#pragma once

#include "DocumentCommands.h"

#include <optional>

class CTorqDoc;
struct ComponentChoice;

// The menu identifiers of the desktop program's menus: the engine form's
// popup menus, the Engine menu and the frame's commands. The document does
// not take them: a menu entry maps its identifier to the document's typed
// command (DocumentCommandOf) at this boundary. Ranges are inclusive;
// within a range the identifiers rise by one from entry to entry, as the
// component choice table's rows of the group carry them.
namespace Cmd {

struct Range {
    int first;
    int last;
    constexpr bool Contains(int command) const { return command >= first && command <= last; }
    constexpr int Count() const { return last - first + 1; }
};

// Component choices: the entries of a group of the component choice table.
inline constexpr Range kShortBlocks{33100, 33304};
inline constexpr Range kStandardHeads{32795, 32810};
inline constexpr int kCustomPortFlow = 32811;  // "Custom Port Flow...": the airflow data dialog
inline constexpr Range kCylinderHeads{32795, 32811};
inline constexpr Range kIntakeValveDiameters{33045, 33057};
inline constexpr Range kExhaustValveDiameters{33058, 33070};
inline constexpr Range kIntakeValveLifts{33071, 33081};
inline constexpr Range kExhaustValveLifts{33082, 33092};
inline constexpr Range kCompressionRatios{32874, 32890};
inline constexpr Range kInduction{32844, 32860};
inline constexpr Range kManifolds{32837, 32843};
inline constexpr int kForcedInductionManifold = 32843;
inline constexpr Range kForcedInduction{32964, 33034};
inline constexpr int kForcedInductionNone = 32964;
inline constexpr int kCustomTurbo = 32998;
inline constexpr int kCustomCentrifugalBlower = 33009;
inline constexpr int kCustomRootsBlower = 33034;
inline constexpr Range kIntercoolers{33310, 33325};
inline constexpr int kIntercoolerNone = 33310;
inline constexpr Range kFuels{32826, 32836};
inline constexpr int kFuelGasoline = 32826;
inline constexpr Range kExhaustSystems{32861, 32867};
inline constexpr int kExhaustStock = 32861;
inline constexpr Range kCamTypes{32891, 32896};
inline constexpr Range kCamProfiles{32891, 32895};
inline constexpr int kCustomCamType = 32896;  // "Custom Cam Type...": the description dialog
inline constexpr Range kTimingMethods{32900, 32901};
inline constexpr int kTimingSeatToSeat = 32900;
inline constexpr int kTimingFiftyLift = 32901;
inline constexpr Range kLifterTypes{32897, 32899};

// The document's commands that are no table rows, then the frame's and the dialogs'.
inline constexpr int kPressureDrop15 = 33326;  // 1.5 inHg
inline constexpr int kPressureDrop30 = 33327;  // 3.0 inHg
inline constexpr int kOneIntakeValve = 32914;
inline constexpr int kTwoIntakeValves = 32915;
inline constexpr int kOneExhaustValve = 32916;
inline constexpr int kTwoExhaustValves = 32917;
inline constexpr int kAutoValveSizes = 32904;
inline constexpr int kAutoValveLift = 32905;
inline constexpr int kAutoRun = 32906;
inline constexpr int kEnglishUnits = 32871;
inline constexpr int kMetricUnits = 32872;
inline constexpr int kRun = 32902;
inline constexpr int kClearComponents = 57632;
inline constexpr int kOpenAirflow = 32918;
inline constexpr int kSaveAirflow = 32919;
inline constexpr int kOpenCam = 32920;
inline constexpr int kSaveCam = 32921;
inline constexpr int kCamMath = 32869;
inline constexpr int kCompressionRatioMath = 32873;
inline constexpr int kAirflowMath = 32870;
inline constexpr int kIteratorTesting = 32963;
inline constexpr int kRunIterator = 33336;
inline constexpr int kCreateNewDocs = 33328;
inline constexpr int kPrint = 57607;
inline constexpr int kPrintPreview = 57609;
inline constexpr int kSaveAs = 57604;
inline constexpr int kExportGameText = 33308;
inline constexpr int kExportDosRecord = 33307;
inline constexpr int kAbout = 57664;
inline constexpr int kUserManual = 33305;
inline constexpr int kProductInfo = 33306;

}  // namespace Cmd

// The row of the component choice table that a menu entry picks (the user
// airflow head's entry included); nullptr for any other entry.
const ComponentChoice* TryFindComponentChoice(int menuCommand);
// The row of an entry that must be in the table (internal consistency check).
const ComponentChoice& FindComponentChoice(int menuCommand);

// The typed command of a menu entry; nullopt for an entry that is no command
// of the document (a dialog, a file, the frame's commands, the user airflow head).
std::optional<DocumentCommand> DocumentCommandOf(int menuCommand);
// The menu entry of a document command.
int MenuCommandOf(const DocumentCommand& command);

// A menu entry applied to the document as its typed command; NotHandled for
// an entry that is no command of the document.
CommandResult ApplyMenuCommand(CTorqDoc& doc, int menuCommand);
// The document's state of the entry's command; enabled and unchecked for
// an entry that is no command of the document.
CommandState MenuCommandState(const CTorqDoc& doc, int menuCommand);
