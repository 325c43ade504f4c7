#pragma once

#include "DocumentCommands.h"
#include "EngineValues.h"
#include "base/ErrCode.h"
#include "components/CompressionCalculator.h"

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
    // True while the observer holds an edit of the engine open that a
    // popup-menu choice belongs to (the engine form's in-place editor): the
    // choice then closes that edit, and the edit's end recalculates.
    virtual bool HoldsOpenEdit() const { return false; }
};

// Index constants of the part-type lists that the rules below name.
inline constexpr int kCustomHeadIndex = 17;  // "User Entered Airflow Data"
inline constexpr int kIndividualRunnerManifold = 4;
inline constexpr int kForcedInductionManifold = 7;
inline constexpr int kForcedInductionNoneIndex = 1;
inline constexpr int kGasolineIndex = 1;
inline constexpr int kSeatToSeatIndex = 1;
inline constexpr int kFiftyLiftIndex = 2;

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

struct SimResults;
// The eight result series of a run, as the document stores them: the
// engine speeds, then the seven curves in the order of SimResults.
void CopyRunResults(const SimResults& results, std::array<ResultSeriesValues, kResultSeriesCount>& series);

// One engine (its EngineValues: every parameter with its range and units, the
// cam and cylinder-head airflow data, the compression calculator's inputs,
// the automatic switches and the eight result series of the last run) with
// the document's own number, title, path, modified flag and views.
// The document answers the component commands of the engine form from the
// component choice table, keeps its derived values up to date, switches
// between the two unit systems, validates the engine and runs the simulation.
//
// Its members are defined by job: TorqDoc.cpp (values, results, copies,
// views), TorqDocCommands.cpp (the command rules and the document's own
// commands), TorqDocChoices.cpp (the choice table's rows),
// TorqDocComponentData.cpp (airflow and cam data from a dialog or a file),
// TorqDocCalculators.cpp (what the calculators hand back),
// TorqDocValidation.cpp and TorqDocRun.cpp (derived values and runs). The
// engine file is EngineFile.h.
class CTorqDoc {
public:
    CTorqDoc();
    ~CTorqDoc();
    CTorqDoc(const CTorqDoc&) = delete;
    CTorqDoc& operator=(const CTorqDoc&) = delete;

    // ---- short block
    CPartTypeSpec& ShortBlockType() { return m_values.shortBlockType; }
    CFloatPtSpec& Bore() { return m_values.bore; }
    CFloatPtSpec& Stroke() { return m_values.stroke; }
    CIntegerSpec& NumberOfCylinders() { return m_values.cylinders; }
    CFloatPtSpec& CylinderVolume() { return m_values.cylinderVolume; }
    CFloatPtSpec& TotalBlockVolume() { return m_values.totalBlockVolume; }
    // ---- cylinder heads
    CPartTypeSpec& CylinderHeadType() { return m_values.cylinderHeadType; }
    CFileSpec& AirflowFile() { return m_values.airflowFile; }
    CylHeadFlowData& FlowData() { return m_values.flowData; }
    CIntegerSpec& IntakeValveCount() { return m_values.intakeValves; }
    CIntegerSpec& ExhaustValveCount() { return m_values.exhaustValves; }
    CFloatPtSpec& IntakeValveDiameter() { return m_values.intakeValveDiameter; }
    CFloatPtSpec& ExhaustValveDiameter() { return m_values.exhaustValveDiameter; }
    // ---- compression
    CFloatPtSpec& CompressionRatio() { return m_values.compressionRatio; }
    CFloatPtSpec& CombustionSpace() { return m_values.combustionSpace; }
    // ---- induction
    CFloatPtSpec& InductionFlow() { return m_values.inductionFlow; }
    CFloatPtSpec& PressureDrop() { return m_values.pressureDrop; }
    CPartTypeSpec& ManifoldType() { return m_values.manifoldType; }
    CPartTypeSpec& FuelType() { return m_values.fuelType; }
    CFloatPtSpec& NitrousFlowRate() { return m_values.nitrousFlowRate; }
    CPartTypeSpec& ForcedInductionType() { return m_values.forcedInductionType; }
    CFloatPtSpec& BlowerFlowRate() { return m_values.blowerFlowRate; }
    CFloatPtSpec& BlowerPressureRatio() { return m_values.blowerPressureRatio; }
    CFloatPtSpec& BlowerEfficiency() { return m_values.blowerEfficiency; }
    CFloatPtSpec& BlowerRpm() { return m_values.blowerRpm; }
    CFloatPtSpec& BlowerSurgeFlowRate() { return m_values.blowerSurgeFlowRate; }
    CFloatPtSpec& BlowerInternalGearRatio() { return m_values.blowerInternalGearRatio; }
    CFloatPtSpec& BlowerBeltGearRatio() { return m_values.blowerBeltGearRatio; }
    CFloatPtSpec& BlowerBoostLevelLimit() { return m_values.blowerBoostLevelLimit; }
    CFloatPtSpec& IntercoolerEfficiency() { return m_values.intercoolerEfficiency; }
    // ---- exhaust and camshaft
    CPartTypeSpec& ExhaustSystem() { return m_values.exhaustSystem; }
    CFileSpec& CamDataFile() { return m_values.camDataFile; }
    CamData& Cam() { return m_values.cam; }
    // ---- compression calculator inputs
    CFloatPtSpec& ChamberVolume() { return m_values.chamberVolume; }
    CFloatPtSpec& GasketBore() { return m_values.gasketBore; }
    CFloatPtSpec& GasketThickness() { return m_values.gasketThickness; }
    CFloatPtSpec& PistonDistance() { return m_values.pistonDistance; }
    CFloatPtSpec& PistonDeckVolume() { return m_values.pistonDeckVolume; }
    CFloatPtSpec& GasketVolume() { return m_values.gasketVolume; }
    CFloatPtSpec& DeckVolume() { return m_values.deckVolume; }

    // Read-only views of the same, for code that only looks.
    const CPartTypeSpec& ShortBlockType() const { return m_values.shortBlockType; }
    const CFloatPtSpec& Bore() const { return m_values.bore; }
    const CFloatPtSpec& Stroke() const { return m_values.stroke; }
    const CIntegerSpec& NumberOfCylinders() const { return m_values.cylinders; }
    const CFloatPtSpec& CylinderVolume() const { return m_values.cylinderVolume; }
    const CFloatPtSpec& TotalBlockVolume() const { return m_values.totalBlockVolume; }
    const CPartTypeSpec& CylinderHeadType() const { return m_values.cylinderHeadType; }
    const CFileSpec& AirflowFile() const { return m_values.airflowFile; }
    const CylHeadFlowData& FlowData() const { return m_values.flowData; }
    const CIntegerSpec& IntakeValveCount() const { return m_values.intakeValves; }
    const CIntegerSpec& ExhaustValveCount() const { return m_values.exhaustValves; }
    const CFloatPtSpec& IntakeValveDiameter() const { return m_values.intakeValveDiameter; }
    const CFloatPtSpec& ExhaustValveDiameter() const { return m_values.exhaustValveDiameter; }
    const CFloatPtSpec& CompressionRatio() const { return m_values.compressionRatio; }
    const CFloatPtSpec& CombustionSpace() const { return m_values.combustionSpace; }
    const CFloatPtSpec& InductionFlow() const { return m_values.inductionFlow; }
    const CFloatPtSpec& PressureDrop() const { return m_values.pressureDrop; }
    const CPartTypeSpec& ManifoldType() const { return m_values.manifoldType; }
    const CPartTypeSpec& FuelType() const { return m_values.fuelType; }
    const CFloatPtSpec& NitrousFlowRate() const { return m_values.nitrousFlowRate; }
    const CPartTypeSpec& ForcedInductionType() const { return m_values.forcedInductionType; }
    const CFloatPtSpec& BlowerFlowRate() const { return m_values.blowerFlowRate; }
    const CFloatPtSpec& BlowerPressureRatio() const { return m_values.blowerPressureRatio; }
    const CFloatPtSpec& BlowerEfficiency() const { return m_values.blowerEfficiency; }
    const CFloatPtSpec& BlowerRpm() const { return m_values.blowerRpm; }
    const CFloatPtSpec& BlowerSurgeFlowRate() const { return m_values.blowerSurgeFlowRate; }
    const CFloatPtSpec& BlowerInternalGearRatio() const { return m_values.blowerInternalGearRatio; }
    const CFloatPtSpec& BlowerBeltGearRatio() const { return m_values.blowerBeltGearRatio; }
    const CFloatPtSpec& BlowerBoostLevelLimit() const { return m_values.blowerBoostLevelLimit; }
    const CFloatPtSpec& IntercoolerEfficiency() const { return m_values.intercoolerEfficiency; }
    const CPartTypeSpec& ExhaustSystem() const { return m_values.exhaustSystem; }
    const CFileSpec& CamDataFile() const { return m_values.camDataFile; }
    const CamData& Cam() const { return m_values.cam; }
    const CFloatPtSpec& ChamberVolume() const { return m_values.chamberVolume; }
    const CFloatPtSpec& GasketBore() const { return m_values.gasketBore; }
    const CFloatPtSpec& GasketThickness() const { return m_values.gasketThickness; }
    const CFloatPtSpec& PistonDistance() const { return m_values.pistonDistance; }
    const CFloatPtSpec& PistonDeckVolume() const { return m_values.pistonDeckVolume; }
    const CFloatPtSpec& GasketVolume() const { return m_values.gasketVolume; }
    const CFloatPtSpec& DeckVolume() const { return m_values.deckVolume; }

    // ---- switches and plain state
    int GetForcedInductionClass() const { return m_values.forcedInductionClass; }
    void SetForcedInductionClass(int forcedInductionClass);
    bool IsCompressionFromCalculator() const { return m_values.calculatorUsed; }
    void SetCompressionFromCalculator(bool used) { m_values.calculatorUsed = used; }
    int GetPistonKind() const { return m_values.pistonKind; }
    // Stores the kind and gives "Piston Distance" the kind's range.
    void SetPistonKind(int pistonKind);
    int GetUnitSystem() const { return m_values.unitSystem; }
    bool IsAutoValveSizes() const { return m_values.autoValveSizes; }
    void SetAutoValveSizes(bool on) { m_values.autoValveSizes = on; }
    bool IsAutoRun() const { return m_values.autoRun; }
    void SetAutoRun(bool on) { m_values.autoRun = on; }
    int GetDocumentNumber() const { return m_documentNumber; }

    // Everything the engine consists of, by value (not the number, title or path).
    const EngineValues& Values() const { return m_values; }
    // Puts the engine back exactly as the values were taken (an undone
    // change): every parameter, the switches and the results with their
    // staleness. The views are not told; the caller updates them.
    void RestoreValues(const EngineValues& values);

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
    // The results were computed for the engine before a later change (Auto
    // Run off); a run, or clearing the results, makes them current again.
    bool AreResultsStale() const { return m_values.resultsStale; }
    void SetResultsStale(bool stale) { m_values.resultsStale = stale; }

    // ---- operations
    // Recomputes the derived values (volumes, automatic valve sizes and
    // lifts, cam events) and, with Auto Run on, runs the simulation; with
    // Auto Run off the results it has are marked out of date.
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
    // Clears the engine (as a new document) and marks it modified: the
    // components it had are work the user may still want to save.
    void ClearComponents();
    // Before bore, stroke or compression ratio change against the
    // compression calculator's results: Msg::BoreStrokeAgainstCalculator or
    // Msg::CompressionRatioAgainstCalculator. False on Cancel.
    bool ConfirmChangeAgainstCalculator(const CTorqSpec& parameter);
    void ClearCalculatorInputs();
    // Copies the engine's values, exactly (not the number, title, path or views).
    void CopyTo(CTorqDoc& other) const;

    // ---- commands of the engine form's popup menus and the Engine menu
    // A choice of the component choice table: copies the row's values into
    // the engine (Apply(Choice{ChoiceGroup::CylinderHead, 3}) fits the
    // fourth listed head). Bore, stroke or ratio against the compression
    // calculator's results ask first (Refused on Cancel).
    CommandResult Apply(Choice choice);
    // One of the document's own commands; Refused while it is not enabled.
    CommandResult Apply(EngineCommand command);
    CommandResult Apply(const DocumentCommand& command);
    CommandState GetCommandState(EngineCommand command) const;
    // What the dialogs hand back on OK.
    void ApplyUserAirflowData(const CylHeadFlowData& flowData, const CFileSpec& airflowFile);
    void ApplyCustomCamType(const std::string& description);
    void ApplyCamMath(const CamData& cam);
    // Shows Msg::CalculatorShortBlockIncomplete when the short block is incomplete.
    bool CanOpenCompressionCalculator();
    void ApplyCompressionCalculator(const CompressionCalculatorResult& result);
    void ApplyAirflowMath(float inductionFlowCfm, float pressureDropInHg);
    // Airflow and cam files: load or save, then name the file in the engine.
    bool OpenAirflowFile(const std::string& path, const std::string& fileName);
    bool SaveAirflowFile(const std::string& path, const std::string& fileName);
    bool OpenCamFile(const std::string& path, const std::string& fileName);
    bool SaveCamFile(const std::string& path, const std::string& fileName);

    // ---- views
    void AddObserver(DocumentObserver* observer);
    void RemoveObserver(DocumentObserver* observer);
    void UpdateAllViews(DocumentChange change = DocumentChange::Updated);

    // Every float parameter that switches with the unit system (for tests and copies).
    std::vector<CFloatPtSpec*> UnitSwitchedParameters();

private:
    // A view holds an edit open that a choice belongs to (see DocumentObserver).
    bool IsEditOpen() const;
    void Clear();
    void ClearCalculatorParameters();
    // ---- the command rules and the commands they apply
    // How the views hear of a command's change.
    enum class CommandEnding {
        ShowInEditor,  // an open parameter editor shows the new value and closes; the edit's end recomputes
        Recalculate,   // recomputed at once, unless a parameter editor is waiting for the choice
        UpdateViews,   // every view updates
        None,          // the command has updated the views itself
    };
    struct ChoiceRule;
    struct EngineCommandRule;
    static const ChoiceRule& RuleFor(ChoiceGroup group);
    static const EngineCommandRule& RuleFor(EngineCommand command);
    void EndCommand(CommandEnding ending);
    void ApplyShortBlock(Choice choice);
    void ApplyRowUnits(int metricFlag);
    void ApplyCylinderHead(Choice choice);
    void ApplyValveCounts(int intakeValves, int exhaustValves);
    void ShowValveCountNote();
    void ApplyValveDiameter(Choice choice);
    void ApplyValveLift(Choice choice);
    void ApplyCompressionRatio(Choice choice);
    void ApplyInduction(Choice choice);
    void ApplyManifold(Choice choice);
    void ApplyFuel(Choice choice);
    void ApplyForcedInduction(Choice choice);
    void ApplyIntercooler(Choice choice);
    void ApplyExhaustSystem(Choice choice);
    void ApplyCamType(Choice choice);
    void SetCustomCamType(const std::string& description);
    void ApplyTimingMethod(Choice choice);
    void ApplyLifterType(Choice choice);
    void ApplyValveCount(EngineCommand command);
    void ApplyPressureDrop(EngineCommand command);
    void ToggleAutoValveSizes(EngineCommand command);
    void ToggleAutoValveLift(EngineCommand command);
    void ToggleAutoRun(EngineCommand command);
    void ApplyUnitsChoice(EngineCommand command);
    void ApplyRun(EngineCommand command);
    void ApplyClearComponents(EngineCommand command);
    // ---- validation, derived values, runs
    bool ValidateCylinderHeads(ErrorCode& code) const;
    bool ValidateInduction(ErrorCode& code) const;
    bool ValidateForcedInduction(ErrorCode& code) const;
    void RecalculateVolumes();
    void RecalculateValveSizes();
    void RecalculateValveLifts();
    void StoreRunResults(const SimWorkspace& workspace);

    EngineValues m_values;
    int m_documentNumber;

    std::string m_title;
    std::string m_pathName;
    bool m_modified = false;
    std::vector<DocumentObserver*> m_observers;
};
