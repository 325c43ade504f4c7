#pragma once

#include "base/ErrCode.h"
#include "base/TorqSpec.h"
#include "components/Cam.h"
#include "components/CylHeadFlow.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class CTorqDoc;
struct SimWorkspace;

// The six component groups of the engine form, in the order Validate tests them.
enum class EngineGroup { ShortBlock, CylinderHeads, Compression, Induction, Exhaust, Camshaft };

// What a document tells the views that show it.
enum class DocumentChange {
    Updated,        // update all views: values, results, group status
    ChoiceApplied,  // a popup-menu choice was applied: an open parameter editor closes
    Destroyed,      // the document is going away: drop every reference to it
};

class DocumentObserver {
public:
    virtual ~DocumentObserver() = default;
    virtual void OnDocumentChanged(CTorqDoc& document, DocumentChange change) = 0;
};

// Forced-induction class of the chosen unit.
enum ForcedInductionClass : std::int32_t {
    kNoForcedInduction = 0,
    kTurbocharger = 1,
    kCentrifugalBlower = 2,
    kRootsBlower = 3,
};

// Index constants of the part-type lists that the rules below name.
inline constexpr int kCustomHeadIndex = 17;       // "User Entered Airflow Data"
inline constexpr int kForcedInductionManifold = 7;
inline constexpr int kForcedInductionNoneIndex = 1;
inline constexpr int kGasolineIndex = 1;
inline constexpr int kSeatToSeatIndex = 1;
inline constexpr int kFiftyLiftIndex = 2;
inline constexpr int kResultSeriesCount = 8;
inline constexpr int kResultPointCount = 19;

// Result series numbers (1-based, as the graph menus number them).
enum ResultSeries : int {
    kSeriesEngineSpeed = 1,
    kSeriesPower = 2,
    kSeriesTorque = 3,
    kSeriesManifoldPressure = 4,
    kSeriesVolumetricEfficiency = 5,
    kSeriesImep = 6,
    kSeriesBmep = 7,
    kSeriesFmep = 8,
};

using ResultSeriesValues = std::array<float, kResultPointCount>;

struct SimResults;
// The eight result series of a run, as the document stores them: the
// engine speeds, then the seven curves in the order of SimResults.
void CopyRunResults(const SimResults& results, std::array<ResultSeriesValues, kResultSeriesCount>& series);

// What a menu shows for a command: whether it can be chosen and its check mark.
struct CommandState {
    bool enabled = true;
    bool checked = false;
};

// The outcome of a component command.
enum class CommandResult {
    NotHandled,  // not a command of the engine document
    Applied,     // the engine changed
    Refused,     // the user declined a warning; nothing changed
};

// The compression-ratio calculator's results as its Apply hands them over.
struct CompressionCalculatorResult {
    int pistonKind;              // 1 domed/dished, 2 flattop
    CFloatPtSpec chamberVolume;  // the calculator's copies, in the document's units
    CFloatPtSpec gasketBore;
    CFloatPtSpec gasketThickness;
    CFloatPtSpec pistonDistance;
    CFloatPtSpec pistonDeckVolume;
    CFloatPtSpec gasketVolume;
    CFloatPtSpec deckVolume;
    float combustionSpace;   // cc
    float compressionRatio;  // the new ratio
};

// One engine: every parameter of the engine with its range and units, the
// cam and cylinder-head airflow data, the compression calculator's inputs,
// the automatic switches, and the eight result series of the last run.
// The document answers the component commands of the engine form from the
// component choice table, keeps its derived values up to date, switches
// between the two unit systems, validates the engine and runs the simulation.
class CTorqDoc {
public:
    CTorqDoc();
    ~CTorqDoc();
    CTorqDoc(const CTorqDoc&) = delete;
    CTorqDoc& operator=(const CTorqDoc&) = delete;

    // ---- short block
    CPartTypeSpec& ShortBlockType() { return m_shortBlockType; }
    CFloatPtSpec& Bore() { return m_bore; }
    CFloatPtSpec& Stroke() { return m_stroke; }
    CIntegerSpec& NumberOfCylinders() { return m_cylinders; }
    CFloatPtSpec& CylinderVolume() { return m_cylinderVolume; }
    CFloatPtSpec& TotalBlockVolume() { return m_totalBlockVolume; }
    // ---- cylinder heads
    CPartTypeSpec& CylinderHeadType() { return m_cylinderHeadType; }
    CFileSpec& AirflowFile() { return m_airflowFile; }
    CylHeadFlowData& FlowData() { return m_flowData; }
    CIntegerSpec& IntakeValveCount() { return m_intakeValves; }
    CIntegerSpec& ExhaustValveCount() { return m_exhaustValves; }
    CFloatPtSpec& IntakeValveDiameter() { return m_intakeValveDiameter; }
    CFloatPtSpec& ExhaustValveDiameter() { return m_exhaustValveDiameter; }
    // ---- compression
    CFloatPtSpec& CompressionRatio() { return m_compressionRatio; }
    CFloatPtSpec& CombustionSpace() { return m_combustionSpace; }
    // ---- induction
    CFloatPtSpec& InductionFlow() { return m_inductionFlow; }
    CFloatPtSpec& PressureDrop() { return m_pressureDrop; }
    CPartTypeSpec& ManifoldType() { return m_manifoldType; }
    CPartTypeSpec& FuelType() { return m_fuelType; }
    CFloatPtSpec& NitrousFlowRate() { return m_nitrousFlowRate; }
    CPartTypeSpec& ForcedInductionType() { return m_forcedInductionType; }
    CFloatPtSpec& BlowerFlowRate() { return m_blowerFlowRate; }
    CFloatPtSpec& BlowerPressureRatio() { return m_blowerPressureRatio; }
    CFloatPtSpec& BlowerEfficiency() { return m_blowerEfficiency; }
    CFloatPtSpec& BlowerRpm() { return m_blowerRpm; }
    CFloatPtSpec& BlowerSurgeFlowRate() { return m_blowerSurgeFlowRate; }
    CFloatPtSpec& BlowerInternalGearRatio() { return m_blowerInternalGearRatio; }
    CFloatPtSpec& BlowerBeltGearRatio() { return m_blowerBeltGearRatio; }
    CFloatPtSpec& BlowerBoostLevelLimit() { return m_blowerBoostLevelLimit; }
    CFloatPtSpec& IntercoolerEfficiency() { return m_intercoolerEfficiency; }
    // ---- exhaust and camshaft
    CPartTypeSpec& ExhaustSystem() { return m_exhaustSystem; }
    CFileSpec& CamDataFile() { return m_camDataFile; }
    CamData& Cam() { return m_cam; }
    // ---- compression calculator inputs
    CFloatPtSpec& ChamberVolume() { return m_chamberVolume; }
    CFloatPtSpec& GasketBore() { return m_gasketBore; }
    CFloatPtSpec& GasketThickness() { return m_gasketThickness; }
    CFloatPtSpec& PistonDistance() { return m_pistonDistance; }
    CFloatPtSpec& PistonDeckVolume() { return m_pistonDeckVolume; }
    CFloatPtSpec& GasketVolume() { return m_gasketVolume; }
    CFloatPtSpec& DeckVolume() { return m_deckVolume; }

    // Read-only views of the same, for code that only looks.
    const CPartTypeSpec& ShortBlockType() const { return m_shortBlockType; }
    const CFloatPtSpec& Bore() const { return m_bore; }
    const CFloatPtSpec& Stroke() const { return m_stroke; }
    const CIntegerSpec& NumberOfCylinders() const { return m_cylinders; }
    const CFloatPtSpec& CylinderVolume() const { return m_cylinderVolume; }
    const CFloatPtSpec& TotalBlockVolume() const { return m_totalBlockVolume; }
    const CPartTypeSpec& CylinderHeadType() const { return m_cylinderHeadType; }
    const CFileSpec& AirflowFile() const { return m_airflowFile; }
    const CylHeadFlowData& FlowData() const { return m_flowData; }
    const CIntegerSpec& IntakeValveCount() const { return m_intakeValves; }
    const CIntegerSpec& ExhaustValveCount() const { return m_exhaustValves; }
    const CFloatPtSpec& IntakeValveDiameter() const { return m_intakeValveDiameter; }
    const CFloatPtSpec& ExhaustValveDiameter() const { return m_exhaustValveDiameter; }
    const CFloatPtSpec& CompressionRatio() const { return m_compressionRatio; }
    const CFloatPtSpec& CombustionSpace() const { return m_combustionSpace; }
    const CFloatPtSpec& InductionFlow() const { return m_inductionFlow; }
    const CFloatPtSpec& PressureDrop() const { return m_pressureDrop; }
    const CPartTypeSpec& ManifoldType() const { return m_manifoldType; }
    const CPartTypeSpec& FuelType() const { return m_fuelType; }
    const CFloatPtSpec& NitrousFlowRate() const { return m_nitrousFlowRate; }
    const CPartTypeSpec& ForcedInductionType() const { return m_forcedInductionType; }
    const CFloatPtSpec& BlowerFlowRate() const { return m_blowerFlowRate; }
    const CFloatPtSpec& BlowerPressureRatio() const { return m_blowerPressureRatio; }
    const CFloatPtSpec& BlowerEfficiency() const { return m_blowerEfficiency; }
    const CFloatPtSpec& BlowerRpm() const { return m_blowerRpm; }
    const CFloatPtSpec& BlowerSurgeFlowRate() const { return m_blowerSurgeFlowRate; }
    const CFloatPtSpec& BlowerInternalGearRatio() const { return m_blowerInternalGearRatio; }
    const CFloatPtSpec& BlowerBeltGearRatio() const { return m_blowerBeltGearRatio; }
    const CFloatPtSpec& BlowerBoostLevelLimit() const { return m_blowerBoostLevelLimit; }
    const CFloatPtSpec& IntercoolerEfficiency() const { return m_intercoolerEfficiency; }
    const CPartTypeSpec& ExhaustSystem() const { return m_exhaustSystem; }
    const CFileSpec& CamDataFile() const { return m_camDataFile; }
    const CamData& Cam() const { return m_cam; }
    const CFloatPtSpec& ChamberVolume() const { return m_chamberVolume; }
    const CFloatPtSpec& GasketBore() const { return m_gasketBore; }
    const CFloatPtSpec& GasketThickness() const { return m_gasketThickness; }
    const CFloatPtSpec& PistonDistance() const { return m_pistonDistance; }
    const CFloatPtSpec& PistonDeckVolume() const { return m_pistonDeckVolume; }
    const CFloatPtSpec& GasketVolume() const { return m_gasketVolume; }
    const CFloatPtSpec& DeckVolume() const { return m_deckVolume; }

    // ---- switches and plain state
    int GetForcedInductionClass() const { return m_forcedInductionClass; }
    void SetForcedInductionClass(int forcedInductionClass);
    bool IsCompressionFromCalculator() const { return m_calculatorUsed; }
    void SetCompressionFromCalculator(bool used) { m_calculatorUsed = used; }
    int GetPistonKind() const { return m_pistonKind; }
    // Stores the kind and gives "Piston Distance" the kind's range.
    void SetPistonKind(int pistonKind);
    int GetUnitSystem() const { return m_unitSystem; }
    bool IsAutoValveSizes() const { return m_autoValveSizes; }
    void SetAutoValveSizes(bool on) { m_autoValveSizes = on; }
    bool IsAutoRun() const { return m_autoRun; }
    void SetAutoRun(bool on) { m_autoRun = on; }
    int GetDocumentNumber() const { return m_documentNumber; }

    // ---- framework state: title, path, modified flag
    const std::string& GetTitle() const { return m_title; }
    void SetTitle(std::string title) { m_title = std::move(title); }
    const std::string& GetPathName() const { return m_pathName; }
    void SetPathName(std::string path) { m_pathName = std::move(path); }
    bool IsModified() const { return m_modified; }
    void SetModified(bool modified = true) { m_modified = modified; }

    // ---- results of the last run (series 1..8, point 0..18, English units)
    float GetResult(int series, int point) const;
    const ResultSeriesValues& GetResultSeries(int series) const;
    void SetResultSeries(int series, const ResultSeriesValues& values);
    void ClearResults();
    // Power at the first point above 0: the engine has been run.
    bool HasResults() const;

    // ---- operations
    // Recomputes the derived values (volumes, automatic valve sizes and
    // lifts, cam events) and, with Auto Run on, runs the simulation.
    void Recalculate();
    // 0 English, 1 metric: converts every parameter whose units differ.
    void SetUnitSystem(int unitSystem);
    // Validates in the fixed order; gives the first failing code.
    bool Validate(ErrorCode& code) const;
    bool ValidateShortBlock(ErrorCode& code) const;
    bool IsGroupComplete(EngineGroup group) const;
    // Validates, runs and stores the eight series (or clears them). With a
    // workspace the run uses those simulation records instead of the
    // program-wide ones, so that several engines can run at once.
    bool RunSimulation(bool showValidationError, bool showRunError, SimWorkspace* workspace = nullptr);
    // Clears the engine (as a new document) and marks it unmodified.
    void ClearComponents();
    // Before bore, stroke or compression ratio change against the
    // compression calculator's results: warning 203 / 202. False on Cancel.
    bool ConfirmChangeAgainstCalculator(const CTorqSpec& parameter);
    void ClearCalculatorInputs();
    // Copies everything the engine consists of (not the number, title or path).
    void CopyTo(CTorqDoc& other) const;

    // ---- commands of the engine form's popup menus and the Engine menu
    CommandResult OnCommand(int command);
    CommandState GetCommandState(int command) const;
    // What the dialogs hand back on OK.
    void ApplyUserAirflowData(const CylHeadFlowData& flowData, const CFileSpec& airflowFile);
    void ApplyCustomCamType(const std::string& description);
    void ApplyCamMath(const CamData& cam);
    bool CanOpenCompressionCalculator();  // shows error 88 when the short block is incomplete
    void ApplyCompressionCalculator(const CompressionCalculatorResult& result);
    void ApplyAirflowMath(float inductionFlowCfm, float pressureDropInHg);
    // Airflow and cam files: load or save, then name the file in the engine.
    bool OpenAirflowFile(const std::string& path, const std::string& fileName);
    bool SaveAirflowFile(const std::string& path, const std::string& fileName);
    bool OpenCamFile(const std::string& path, const std::string& fileName);
    bool SaveCamFile(const std::string& path, const std::string& fileName);

    // The GUI tells the document while a parameter editor is open, so that a
    // cylinder head choice leaves recalculation to the end of the edit.
    void SetParameterEditorOpen(bool open) { m_parameterEditorOpen = open; }
    bool IsParameterEditorOpen() const { return m_parameterEditorOpen; }

    // ---- views
    void AddObserver(DocumentObserver* observer);
    void RemoveObserver(DocumentObserver* observer);
    void UpdateAllViews(DocumentChange change = DocumentChange::Updated);

    // Every float parameter that switches with the unit system (for tests and copies).
    std::vector<CFloatPtSpec*> UnitSwitchedParameters();

private:
    void Clear();
    void ClearCalculatorParameters();
    void ApplyRowUnits(int metricFlag);
    bool ApplyShortBlock(int command);
    void ApplyCylinderHead(int command);
    void ApplyValveCounts(int intakeValves, int exhaustValves);
    void ApplyManifold(int command);
    void ApplyFuel(int command);
    void ApplyForcedInduction(int command);
    void ApplyCamType(int command);
    void ApplyTimingMethod(int command);
    void ShowValveCountNote();
    bool ValidateCylinderHeads(ErrorCode& code) const;
    bool ValidateInduction(ErrorCode& code) const;
    bool ValidateForcedInduction(ErrorCode& code) const;
    void RecalculateVolumes();
    void RecalculateValveSizes();
    void RecalculateValveLifts();
    void StoreRunResults(const SimWorkspace& workspace);

    CPartTypeSpec m_shortBlockType;
    CFloatPtSpec m_bore;
    CFloatPtSpec m_stroke;
    CIntegerSpec m_cylinders;
    CFloatPtSpec m_cylinderVolume;
    CFloatPtSpec m_totalBlockVolume;
    CPartTypeSpec m_cylinderHeadType;
    CFileSpec m_airflowFile;
    CylHeadFlowData m_flowData;
    CIntegerSpec m_intakeValves;
    CIntegerSpec m_exhaustValves;
    CFloatPtSpec m_intakeValveDiameter;
    CFloatPtSpec m_exhaustValveDiameter;
    CFloatPtSpec m_compressionRatio;
    CFloatPtSpec m_combustionSpace;
    CFloatPtSpec m_inductionFlow;
    CFloatPtSpec m_pressureDrop;
    CPartTypeSpec m_manifoldType;
    CPartTypeSpec m_fuelType;
    CFloatPtSpec m_nitrousFlowRate;
    CPartTypeSpec m_forcedInductionType;
    std::int32_t m_forcedInductionClass = kNoForcedInduction;
    CFloatPtSpec m_blowerFlowRate;
    CFloatPtSpec m_blowerPressureRatio;
    CFloatPtSpec m_blowerEfficiency;
    CFloatPtSpec m_blowerRpm;
    CFloatPtSpec m_blowerSurgeFlowRate;
    CFloatPtSpec m_blowerInternalGearRatio;
    CFloatPtSpec m_blowerBeltGearRatio;
    CFloatPtSpec m_blowerBoostLevelLimit;
    CFloatPtSpec m_intercoolerEfficiency;
    CPartTypeSpec m_exhaustSystem;
    CFileSpec m_camDataFile;
    CamData m_cam;

    bool m_calculatorUsed = false;
    std::int32_t m_pistonKind = 2;
    CFloatPtSpec m_chamberVolume;
    CFloatPtSpec m_gasketBore;
    CFloatPtSpec m_gasketThickness;
    CFloatPtSpec m_pistonDistance;
    CFloatPtSpec m_pistonDeckVolume;
    CFloatPtSpec m_gasketVolume;
    CFloatPtSpec m_deckVolume;

    std::array<ResultSeriesValues, kResultSeriesCount> m_results{};
    std::int32_t m_unitSystem = kEnglishUnits;
    bool m_autoValveSizes = false;
    bool m_autoRun = true;
    int m_documentNumber;

    std::string m_title;
    std::string m_pathName;
    bool m_modified = false;
    bool m_parameterEditorOpen = false;
    std::vector<DocumentObserver*> m_observers;
};
