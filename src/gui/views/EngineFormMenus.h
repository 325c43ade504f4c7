#pragma once

#include <functional>

class CTorqDoc;
class QMenu;

// The popup menus of the engine form's values. Every entry carries its
// command identifier in its data(); the component choices come from the
// component choice table, long lists grouped into submenus (short blocks by
// make, forced-induction units by kind and maker).
enum class FormMenu {
    None,
    ShortBlocks,
    CylinderHeads,
    AirflowFile,
    IntakeValveDiameters,
    ExhaustValveDiameters,
    CompressionRatios,
    Induction,
    PressureDrop,
    Manifolds,
    Fuels,
    ForcedInduction,
    Intercooler,
    ExhaustSystems,
    CamTypes,
    CamFile,
    LifterTypes,
    TimingMethods,
    IntakeValveLifts,
    ExhaustValveLifts,
};

// Fills the menu (check marks and enabling from the document's state, sizes
// in its unit system). A triggered entry calls choose(command).
void FillFormMenu(QMenu& menu, FormMenu which, const CTorqDoc& document,
                  const std::function<void(int)>& choose);
