#pragma once

#include "model/TorqDoc.h"
#include "views/EngineFormBindings.h"
#include "views/EngineFormGroup.h"
#include "views/EngineFormMenus.h"

#include <QScrollArea>
#include <QString>

#include <array>
#include <functional>
#include <vector>

class CValveEventView;
class QDialog;
class QFrame;
class QGridLayout;
class QLabel;
class QPainter;
class QPrinter;
class QVBoxLayout;

// The Engine sheet of an engine window: every component parameter of one
// engine in six groups (short block, cylinder heads, compression, induction,
// exhaust, camshaft), each value a CTorqSpecEditCtrl that opens the in-place
// editor; under the camshaft's values a diagram of its valve events. A
// group's picture shows whether it is complete. An edit that ends
// with OK moves the focus on, marks the engine modified, recalculates it and
// updates every view of it.
//
// The form registers itself with its document and leaves it when destroyed,
// or when the document tells it that it is going away.
//
// Printing, from the shell's File > Print / Print Preview while the Engine
// sheet is active:
//     QPrinter printer;                       // or the printer of QPrintDialog
//     form->Print(&printer, windowTitle);     // also from QPrintPreviewDialog::paintRequested
// Page 1 is the form, page 2 the cylinder-head airflow data; each page has a
// header with the title, "Torqwell  Version 3.10" and " Page n of m". The
// form prints half as large again as on the screen, in 10-point Arial (or the
// system's sans face); where that would not fit the page, form and texts are
// made smaller together.
class CEngineFormView : public QScrollArea, public DocumentObserver {
    Q_OBJECT
public:
    static constexpr int kControlCount = kEngineFormValueCount;
    static constexpr int kFormPage = 1;
    static constexpr int kAirflowPage = 2;

    explicit CEngineFormView(CTorqDoc& document, QWidget* parent = nullptr);
    ~CEngineFormView() override;

    // Null once the document has gone.
    CTorqDoc* Document() const { return m_document; }

    // Refreshes every value, the edit modes of the automatic valve sizes and
    // lifts, the enabling rules, the group pictures and the "(Auto)" labels.
    // The first update puts the focus on the short block.
    void UpdateView();

    void OnDocumentChanged(CTorqDoc& document, DocumentChange change) override;
    // One of the form's values has its in-place editor open: a popup-menu
    // choice made in it closes it, and the edit's end recalculates.
    bool HoldsOpenEdit() const override { return ControlWithOpenEditor() != nullptr; }

    // ---- printing
    int PrintPageCount() const { return kAirflowPage; }
    // Draws one page. paperRect is the whole sheet in the painter's device
    // coordinates (for a QPrinter that is not full-page, the paper rectangle
    // moved by minus the printable area's top left); distances from the
    // paper's edges are measured from it.
    void PrintPage(QPainter& painter, const QRect& paperRect, int page, int pageCount,
                   const QString& title) const;
    // Prints the printer's page range (all pages when it has none) with the
    // title, cut to 31 characters, as the job's name. False when the printer
    // cannot be started (the user has been told).
    bool Print(QPrinter* printer, const QString& title);

    // ---- what the form shows (also for tests)
    const std::vector<CTorqSpecEditCtrl*>& Controls() const { return m_controls; }
    CTorqSpecEditCtrl* ControlFor(const CTorqSpec& parameter) const;
    // The control bound to the parameter of that name, or null.
    CTorqSpecEditCtrl* Control(const QString& parameterName) const;
    // The label in front of a control, and the "(Auto)" label beside it (null for most).
    QLabel* LabelOf(const CTorqSpecEditCtrl* control) const;
    QLabel* AutoLabelOf(const CTorqSpecEditCtrl* control) const;
    bool IsGroupShownComplete(EngineGroup group) const;
    CEngineFormGroup* Group(EngineGroup group) const { return m_groups[static_cast<std::size_t>(group)]; }
    QWidget* FormWidget() const { return m_form; }
    CValveEventView* ValveEvents() const { return m_valveEvents; }

    // A line of help above the groups (hidden while the text is empty).
    void SetHint(const QString& text);
    QString Hint() const;

    // ---- the popup menus' commands (EngineFormCommands.cpp)
    enum class FileRequest { OpenAirflow, SaveAirflow, OpenCam, SaveCam };
    // Returns the chosen path, or an empty text when the user cancels. The
    // default shows a QFileDialog; tests put their own in its place.
    using FileNameAsker = std::function<QString(FileRequest request, const QString& proposedName)>;
    void SetFileNameAsker(FileNameAsker asker) { m_fileNameAsker = std::move(asker); }

    // A command of a value's popup menu: component choices go to the
    // document; the file commands, the custom cam type and the custom port
    // flow open their dialogs.
    void OnMenuCommand(int command);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void BuildForm();
    using GroupGrids = std::array<QGridLayout*, 6>;
    void AddHint(QVBoxLayout& stack);
    GroupGrids AddGroups(QVBoxLayout& stack);
    CTorqSpecEditCtrl* AddControl(const EngineFormBinding& binding, QWidget* group, QGridLayout* grid);
    void AddCamTimingHeadings(QGridLayout& camGrid);
    void AddValveEventDiagram(QGridLayout& camGrid);
    void AlignLabelColumns(const GroupGrids& grids);
    void ApplyEnablingRules();
    void SetControlEnabled(std::size_t index, bool enabled);
    void UpdateGroupStatus();
    void OnEditDone(CTorqSpecEditCtrl* control, bool ok);
    QString ChangeName(const CTorqSpecEditCtrl& control, int command) const;
    void FocusNextAfter(CTorqSpecEditCtrl* control);
    void DetachDocument();
    CTorqSpecEditCtrl* ControlWithOpenEditor() const;

    // Popup-menu commands (EngineFormCommands.cpp).
    void OpenComponentFile(FileRequest request);
    void SaveComponentFile(FileRequest request);
    void CenterOverWindow(QDialog& dialog) const;
    void AskCustomCamType();
    void EditAirflowData();
    QString AskFileName(FileRequest request, const QString& proposedName);
    QWidget* DialogParent();
    void AfterComponentChange();

    // Printing (EngineFormPrinter.cpp).
    void PrintForm(QPainter& painter, const QRect& paperRect) const;
    void PrintAirflow(QPainter& painter, const QRect& paperRect) const;

    CTorqDoc* m_document;
    QWidget* m_form = nullptr;
    QLabel* m_hint = nullptr;
    std::vector<CTorqSpecEditCtrl*> m_controls;        // in binding order, which is the tab order
    std::vector<const EngineFormBinding*> m_bindings;  // parallel to m_controls
    std::vector<QLabel*> m_labels;                     // parallel to m_controls
    std::vector<QLabel*> m_autoLabels;                 // parallel to m_controls; null where there is none
    std::vector<QLabel*> m_staticTexts;                // headings that belong to no control
    std::vector<QFrame*> m_rules;                      // etched lines
    std::array<CEngineFormGroup*, 6> m_groups{};
    CValveEventView* m_valveEvents = nullptr;
    bool m_firstUpdate = true;
    bool m_shownOnce = false;
    int m_editCommand = 0;  // the popup entry chosen during the open edit
    FileNameAsker m_fileNameAsker;
};
