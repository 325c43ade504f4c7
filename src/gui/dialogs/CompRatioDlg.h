#pragma once

#include "components/CompressionCalculator.h"
#include "widgets/CalculatorDialog.h"

#include <array>

class CEditFloatPt;
class CMarkerBadge;
class CPistonPicture;
class CTorqDoc;
class QLabel;
class QLayout;
class QPushButton;
class QRadioButton;

// "Compression Ratio Calculator": the builder's measurements of chamber,
// head gasket and piston give the gasket and deck volumes, the total
// combustion volume and the compression ratio as they are typed. "Apply"
// stores the inputs and results in the engine (which from then on warns
// before a bore, stroke or ratio change would invalidate them); Cancel
// leaves the engine as it was.
//
// The document's short block must be complete (CTorqDoc::CanOpenCompressionCalculator).
class CCompRatioDlg : public CCalculatorDialog {
    Q_OBJECT
public:
    using Input = CompressionCalculator::Input;

    explicit CCompRatioDlg(CTorqDoc& doc, QWidget* parent = nullptr);

    const CompressionCalculator& Calculator() const { return m_calculator; }
    CEditFloatPt* Edit(Input input) const { return m_edits[Index(input)]; }
    QLabel* UnitsLabel(Input input) const { return m_units[Index(input)]; }
    QLabel* DistanceLabel() const { return m_distanceLabel; }
    QRadioButton* FlattopButton() const { return m_flattop; }
    QRadioButton* DomedButton() const { return m_domed; }
    CPistonPicture* Picture() const { return m_picture; }
    QPushButton* ApplyButton() const { return m_apply; }
    QPushButton* CancelButton() const { return m_cancel; }
    // The shown results.
    QLabel* GasketVolumeText() const { return m_gasketVolume; }
    QLabel* DeckVolumeText() const { return m_deckVolume; }
    QLabel* DeckVolumeLabel() const { return m_deckLabel; }
    QLabel* SweptVolumeText() const { return m_sweptVolume; }
    QLabel* TotalVolumeText() const { return m_totalVolume; }
    QLabel* RatioText() const { return m_ratio; }
    // The widgets of the measured-volume row (shown for domed pistons only).
    QList<QWidget*> PistonVolumeRow() const;

    void Apply();

protected:
    void OnEntryTaken(QLineEdit* edit) override;

private:
    static std::size_t Index(Input input) { return static_cast<std::size_t>(input); }

    QLayout* MakePistonKindRow();
    QWidget* MakeInputs();
    QWidget* MakeNewRatioGroup();
    QWidget* MakeEngineGroup();
    QWidget* MakeButtons();
    void SetReadingOrder();
    void ChoosePistonKind(std::int32_t pistonKind);
    void LayOut();
    void ShowResults();

    CTorqDoc& m_doc;
    CompressionCalculator m_calculator;
    std::array<CEditFloatPt*, 5> m_edits{};
    std::array<QLabel*, 5> m_labels{};
    std::array<QLabel*, 5> m_units{};
    CMarkerBadge* m_volumeMarker = nullptr;
    QLabel* m_distanceLabel = nullptr;
    QRadioButton* m_flattop = nullptr;
    QRadioButton* m_domed = nullptr;
    CPistonPicture* m_picture = nullptr;
    QLabel* m_gasketVolume = nullptr;
    QLabel* m_deckLabel = nullptr;
    QLabel* m_deckVolume = nullptr;
    QLabel* m_deckUnits = nullptr;
    QLabel* m_sweptVolume = nullptr;
    QLabel* m_totalVolume = nullptr;
    QLabel* m_ratio = nullptr;
    QPushButton* m_apply = nullptr;
    QPushButton* m_cancel = nullptr;
};
