#include "dialogs/ItrSetupDlg.h"

#include "dialogs/ItrSeriesEstimate.h"
#include "iterator/RegistryDirectory.h"
#include "model/DocumentRegistry.h"
#include "study/SearchGrid.h"
#include "widgets/TorqSpecEdit.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr IterationDataType kNumericTypes[] = {kItrNone, kItrBore, kItrStroke, kItrCompression};
constexpr IterationDataType kCamTypes[] = {kItrNone, kItrIvo,        kItrIvc,        kItrEvo,
                                           kItrEvc,  kItrIntakeLift, kItrExhaustLift};
constexpr int kBandSpeedCount = 19;  // 2000 to 11000 rpm by 500
constexpr int kFieldWidthChars = 9;

const QString kHelpCaption = QStringLiteral("Help Text:");

// A budget: a whole number of tests, 1 or more, that a 64-bit count holds
// with room to spare; empty for none.
const QRegularExpression kBudgetPattern(QStringLiteral("[1-9][0-9]{0,14}"));

void FillRpmList(QComboBox& list)
{
    for (int i = 0; i < kBandSpeedCount; ++i) {
        const int rpm = 2000 + 500 * i;
        list.addItem(QString::number(rpm), rpm);
    }
}

void SelectItemData(QComboBox& list, int data)
{
    const int index = list.findData(data);
    TORQ_ASSERT(index >= 0);
    list.setCurrentIndex(index);
}

QLabel* ColumnHeading(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

}  // namespace

CItrSetupDlg::CItrSetupDlg(IteratorTest& iterator, const CDocumentRegistry& documents, QWidget* parent)
    : QDialog(parent), m_iterator(iterator)
{
    setWindowTitle(tr("Iterator Setup"));
    m_setup = IteratorSetup::FromIterator(iterator, RegistryDirectory(documents));
    CreateControls();
    FillBaselineList(documents);
    // A registered baseline that no longer validates is not offered: the
    // dialog starts without one rather than point at an engine it cannot list.
    if (m_setup.baseline != nullptr && std::find(m_listedEngines.begin(), m_listedEngines.end(),
                                                 m_setup.baseline) == m_listedEngines.end()) {
        m_setup.baseline = nullptr;
        for (IterationParam& slot : m_setup.params) slot.Clear();
    }
    ShowAll();
    SettingsChanged();
}

CItrSetupDlg::~CItrSetupDlg() = default;

// ---------------------------------------------------------------- controls

void CItrSetupDlg::CreateControls()
{
    m_baselineList = new QComboBox(this);
    m_baselineList->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_baselineList->setMinimumContentsLength(24);
    connect(m_baselineList, &QComboBox::activated, this, &CItrSetupDlg::OnBaselineChosen);
    auto* baselineRow = new QHBoxLayout;
    baselineRow->addWidget(new QLabel(tr("Baseline Engine:"), this));
    baselineRow->addWidget(m_baselineList, 1);

    auto* left = new QVBoxLayout;
    left->addLayout(baselineRow);
    left->addWidget(CreateRowGroup(tr("Numeric Parameters"), 0, kNumericRows));
    left->addWidget(CreateRowGroup(tr("Cam Parameters"), kNumericRows, kRowCount - kNumericRows));

    m_okButton = new QPushButton(tr("OK"), this);
    m_okButton->setDefault(true);
    m_cancelButton = new QPushButton(tr("Cancel"), this);
    m_resetAllButton = new QPushButton(tr("&Reset All"), this);
    connect(m_okButton, &QPushButton::clicked, this, &CItrSetupDlg::accept);
    connect(m_cancelButton, &QPushButton::clicked, this, &CItrSetupDlg::reject);
    connect(m_resetAllButton, &QPushButton::clicked, this, &CItrSetupDlg::OnResetAll);

    auto* right = new QVBoxLayout;
    right->addWidget(m_okButton);
    right->addWidget(m_cancelButton);
    right->addSpacing(12);
    right->addWidget(m_resetAllButton);
    right->addSpacing(12);
    right->addWidget(CreateCriterionGroup());
    right->addStretch(1);

    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addLayout(right);

    m_helpLine = new QLabel(kHelpCaption, this);
    m_helpLine->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_helpLine->setMinimumHeight(m_helpLine->sizeHint().height() + 4);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(CreateMethodGroup());
    layout->addWidget(m_helpLine);
}

QWidget* CItrSetupDlg::CreateRowGroup(const QString& title, int firstRow, int rowCount)
{
    auto* group = new QGroupBox(title, this);
    auto* grid = new QGridLayout(group);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(3);
    grid->addWidget(ColumnHeading(tr("Parameter"), group), 0, 0);
    grid->addWidget(ColumnHeading(tr("Min Value"), group), 0, 1);
    grid->addWidget(ColumnHeading(tr("Max Value"), group), 0, 3);
    grid->addWidget(ColumnHeading(tr("Step Value"), group), 0, 4);
    grid->addWidget(ColumnHeading(tr("Units"), group), 0, 5);
    grid->addWidget(ColumnHeading(tr("#Steps"), group), 0, 6);
    for (int i = 0; i < rowCount; ++i) CreateRow(*grid, firstRow + i, i + 1);
    grid->setColumnStretch(0, 1);
    return group;
}

// One parameter's row: its data type, Min "To" Max, Step, units and the
// number of steps, in grid row gridRow.
void CItrSetupDlg::CreateRow(QGridLayout& grid, int row, int gridRow)
{
    QWidget* group = grid.parentWidget();
    const int fieldWidth = fontMetrics().horizontalAdvance(QLatin1Char('0')) * kFieldWidthChars;
    Row& controls = m_rows[static_cast<std::size_t>(row)];
    controls.dataType = new QComboBox(group);
    if (row < kNumericRows) {
        for (IterationDataType type : kNumericTypes)
            controls.dataType->addItem(IterationDataTypeName(type), type);
    } else {
        for (IterationDataType type : kCamTypes)
            controls.dataType->addItem(IterationDataTypeName(type), type);
    }
    connect(controls.dataType, &QComboBox::activated, this,
            [this, row](int index) { OnDataTypeChosen(row, index); });
    grid.addWidget(controls.dataType, gridRow, 0);

    for (int f = kMin; f <= kStep; ++f) {
        auto* field = new CEditFloatPt(group);
        field->setFixedWidth(fieldWidth);
        field->installEventFilter(this);
        controls.fields[static_cast<std::size_t>(f)] = field;
    }
    controls.to = new QLabel(tr("To"), group);
    controls.units = new QLabel(group);
    controls.units->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("ft-lbs")));
    controls.steps = new QLabel(group);
    controls.steps->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    controls.steps->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("000000")));
    grid.addWidget(controls.fields[kMin], gridRow, 1);
    grid.addWidget(controls.to, gridRow, 2);
    grid.addWidget(controls.fields[kMax], gridRow, 3);
    grid.addWidget(controls.fields[kStep], gridRow, 4);
    grid.addWidget(controls.units, gridRow, 5);
    grid.addWidget(controls.steps, gridRow, 6);
    // An empty row keeps its place, so that the rows never jump.
    for (QWidget* widget :
         std::initializer_list<QWidget*>{controls.fields[kMin], controls.fields[kMax], controls.fields[kStep],
                                         controls.to, controls.units, controls.steps}) {
        QSizePolicy policy = widget->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        widget->setSizePolicy(policy);
    }
}

QWidget* CItrSetupDlg::CreateCriterionGroup()
{
    auto* group = new QGroupBox(tr("Best Result Criterion"), this);
    m_maxPower = new QRadioButton(tr("Max Power"), group);
    m_maxTorque = new QRadioButton(tr("Max Torque"), group);
    connect(m_maxPower, &QRadioButton::toggled, this, [this](bool on) {
        if (on) m_setup.criterion = kMaxPower;
    });
    connect(m_maxTorque, &QRadioButton::toggled, this, [this](bool on) {
        if (on) m_setup.criterion = kMaxTorque;
    });
    m_minRpmList = new QComboBox(group);
    m_maxRpmList = new QComboBox(group);
    FillRpmList(*m_minRpmList);
    FillRpmList(*m_maxRpmList);
    connect(m_minRpmList, &QComboBox::activated, this,
            [this](int index) { m_setup.minRpm = m_minRpmList->itemData(index).toFloat(); });
    connect(m_maxRpmList, &QComboBox::activated, this,
            [this](int index) { m_setup.maxRpm = m_maxRpmList->itemData(index).toFloat(); });

    auto* grid = new QGridLayout(group);
    grid->addWidget(m_maxPower, 0, 0, 1, 2);
    grid->addWidget(m_maxTorque, 1, 0, 1, 2);
    grid->addWidget(new QLabel(tr("Min RPM:"), group), 2, 0);
    grid->addWidget(m_minRpmList, 2, 1);
    grid->addWidget(new QLabel(tr("Max RPM:"), group), 3, 0);
    grid->addWidget(m_maxRpmList, 3, 1);
    return group;
}

// Every combination or a search, the search's budget, and how long every
// combination would take.
QWidget* CItrSetupDlg::CreateMethodGroup()
{
    auto* group = new QGroupBox(tr("Run"), this);
    m_everyCombination = new QRadioButton(tr("Run every combination"), group);
    m_search = new QRadioButton(tr("Search for the best"), group);
    connect(m_everyCombination, &QRadioButton::toggled, this, [this](bool on) {
        if (on) m_setup.method = IteratorMethod::EveryCombination;
        ShowMethod();
    });
    connect(m_search, &QRadioButton::toggled, this, [this](bool on) {
        if (on) m_setup.method = IteratorMethod::Search;
        ShowMethod();
    });
    m_budgetField = new QLineEdit(group);
    m_budgetField->setValidator(new QRegularExpressionValidator(kBudgetPattern, m_budgetField));
    m_budgetField->setPlaceholderText(tr("as many as it needs"));
    m_budgetField->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("as many as it needs")) + 16);
    connect(m_budgetField, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_setup.budget = text.isEmpty() ? 0 : text.toLongLong(); });
    m_estimate = new CItrSeriesEstimate(group);

    auto* choices = new QHBoxLayout;
    choices->addWidget(m_everyCombination);
    choices->addSpacing(12);
    choices->addWidget(m_search);
    choices->addWidget(new QLabel(tr("in at most"), group));
    choices->addWidget(m_budgetField);
    choices->addWidget(new QLabel(tr("tests"), group));
    choices->addStretch(1);
    auto* layout = new QVBoxLayout(group);
    layout->addLayout(choices);
    layout->addWidget(m_estimate);
    return group;
}

void CItrSetupDlg::SetThreadCount(int threads)
{
    m_estimate->SetThreadCount(threads);
    SettingsChanged();
}

void CItrSetupDlg::FillBaselineList(const CDocumentRegistry& documents)
{
    m_baselineList->addItem(QStringLiteral("(None)"));
    for (const CTorqDoc* document : documents.Documents()) {
        ErrorCode code = 0;
        if (!document->Validate(code)) continue;
        m_listedEngines.push_back(document);
        m_baselineList->addItem(QString::fromStdString(document->GetTitle()));
    }
}

// ---------------------------------------------------------------- accessors

QComboBox* CItrSetupDlg::DataTypeList(int row) const
{
    TORQ_ASSERT(row >= 0 && row < kRowCount);
    return m_rows[static_cast<std::size_t>(row)].dataType;
}

CEditFloatPt* CItrSetupDlg::EntryField(int row, Field field) const
{
    TORQ_ASSERT(row >= 0 && row < kRowCount && field >= kMin && field <= kStep);
    return m_rows[static_cast<std::size_t>(row)].fields[static_cast<std::size_t>(field)];
}

QLabel* CItrSetupDlg::UnitsLabel(int row) const
{
    TORQ_ASSERT(row >= 0 && row < kRowCount);
    return m_rows[static_cast<std::size_t>(row)].units;
}

QLabel* CItrSetupDlg::StepsLabel(int row) const
{
    TORQ_ASSERT(row >= 0 && row < kRowCount);
    return m_rows[static_cast<std::size_t>(row)].steps;
}

CFloatPtSpec& CItrSetupDlg::FieldParameter(int row, Field field)
{
    IterationParam& slot = m_setup.params[static_cast<std::size_t>(row)];
    switch (field) {
        case kMin:
            return slot.minValue;
        case kMax:
            return slot.maxValue;
        case kStep:
            return slot.stepValue;
    }
    ReportAssertion(__FILE__, __LINE__);
}

bool CItrSetupDlg::FindField(const QObject* object, int& row, Field& field) const
{
    for (row = 0; row < kRowCount; ++row) {
        for (int f = kMin; f <= kStep; ++f) {
            if (m_rows[static_cast<std::size_t>(row)].fields[static_cast<std::size_t>(f)] == object) {
                field = static_cast<Field>(f);
                return true;
            }
        }
    }
    return false;
}

// ---------------------------------------------------------------- display

void CItrSetupDlg::ShowAll()
{
    if (m_setup.baseline == nullptr) {
        m_baselineList->setCurrentIndex(0);
    } else {
        const auto found = std::find(m_listedEngines.begin(), m_listedEngines.end(), m_setup.baseline);
        TORQ_ASSERT(found != m_listedEngines.end());
        m_baselineList->setCurrentIndex(static_cast<int>(found - m_listedEngines.begin()) + 1);
    }
    for (int row = 0; row < kRowCount; ++row) {
        ShowRow(row);
        DataTypeList(row)->setEnabled(m_setup.baseline != nullptr);
    }
    TORQ_ASSERT(m_setup.criterion == kMaxPower || m_setup.criterion == kMaxTorque);
    (m_setup.criterion == kMaxPower ? m_maxPower : m_maxTorque)->setChecked(true);
    SelectItemData(*m_minRpmList, static_cast<int>(m_setup.minRpm));
    SelectItemData(*m_maxRpmList, static_cast<int>(m_setup.maxRpm));
    const bool search = m_setup.method == IteratorMethod::Search;
    (search ? m_search : m_everyCombination)->setChecked(true);
    m_budgetField->setText(m_setup.budget > 0 ? QString::number(m_setup.budget) : QString());
    ShowMethod();
}

void CItrSetupDlg::ShowMethod()
{
    m_budgetField->setEnabled(m_setup.method == IteratorMethod::Search);
}

// The rows or the baseline changed: how long they take is measured again.
void CItrSetupDlg::SettingsChanged()
{
    m_estimate->SetSetup(m_setup);
}

void CItrSetupDlg::ShowRow(int row)
{
    const IterationParam& slot = m_setup.params[static_cast<std::size_t>(row)];
    Row& controls = m_rows[static_cast<std::size_t>(row)];
    SelectItemData(*controls.dataType, slot.dataType);
    const bool used = slot.dataType != kItrNone;
    const CFloatPtSpec* parameters[] = {&slot.minValue, &slot.maxValue, &slot.stepValue};
    for (std::size_t f = 0; f < 3; ++f) {
        controls.fields[f]->setText(used ? QString::fromStdString(parameters[f]->GetText()) : QString());
        controls.fields[f]->setVisible(used);
    }
    controls.units->setText(used ? QString::fromLatin1(slot.minValue.GetUnitsLabel()) : QString());
    controls.steps->setText(used ? QString::number(slot.numberOfSteps) : QString());
    for (QLabel* label : {controls.to, controls.units, controls.steps}) label->setVisible(used);
}

// ---------------------------------------------------------------- choices

void CItrSetupDlg::OnBaselineChosen(int index)
{
    TORQ_ASSERT(index >= 0 && index <= static_cast<int>(m_listedEngines.size()));
    const CTorqDoc* engine = index == 0 ? nullptr : m_listedEngines[static_cast<std::size_t>(index - 1)];
    if (engine != nullptr && engine == m_setup.baseline) return;
    m_setup.Reset();
    if (engine != nullptr) {
        const ErrorCode refusal = CheckBaselineChoice(*engine);
        if (refusal != 0) {
            ShowErrorMessage(refusal);
        } else {
            m_setup.baseline = engine;
        }
    }
    m_refusedField = nullptr;
    ShowAll();
    SettingsChanged();
}

void CItrSetupDlg::OnDataTypeChosen(int row, int index)
{
    const auto type = static_cast<IterationDataType>(DataTypeList(row)->itemData(index).toInt());
    TORQ_ASSERT(IsIterationDataType(type));
    IterationParam& slot = m_setup.params[static_cast<std::size_t>(row)];
    slot.Clear();
    if (type != kItrNone) {
        TORQ_ASSERT(m_setup.baseline != nullptr);
        slot.ChooseDataType(type, *m_setup.baseline);
    }
    const Row& controls = m_rows[static_cast<std::size_t>(row)];
    if (std::find(controls.fields.begin(), controls.fields.end(), m_refusedField) != controls.fields.end()) {
        m_refusedField = nullptr;
    }
    ShowRow(row);
    SettingsChanged();
}

void CItrSetupDlg::OnResetAll()
{
    m_setup.Reset();
    m_refusedField = nullptr;
    m_helpLine->setText(kHelpCaption);
    ShowAll();
    SettingsChanged();
}

// ---------------------------------------------------------------- fields

bool CItrSetupDlg::eventFilter(QObject* watched, QEvent* event)
{
    int row = 0;
    Field field = kMin;
    if ((event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) &&
        FindField(watched, row, field)) {
        auto& edit = *EntryField(row, field);
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (event->type() == QEvent::FocusIn) {
            OnFieldFocusIn(edit);
        } else if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
                   !m_movingFocusToOk) {
            // Switching to another window or opening a menu leaves the field
            // where it is; anything else within the dialog commits it.
            CommitField(edit);
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CItrSetupDlg::OnFieldFocusIn(CEditFloatPt& field)
{
    // After the click that brought the focus has placed the cursor.
    QTimer::singleShot(0, &field, &QLineEdit::selectAll);
    int row = 0;
    Field which = kMin;
    FindField(&field, row, which);
    if (m_setup.params[static_cast<std::size_t>(row)].dataType == kItrNone) return;
    const QString prompt = QString::fromStdString(FieldParameter(row, which).GetPrompt());
    m_helpLine->setText(prompt.isEmpty() ? kHelpCaption : prompt);
}

bool CItrSetupDlg::CommitField(CEditFloatPt& field)
{
    int row = 0;
    Field which = kMin;
    const bool isField = FindField(&field, row, which);
    TORQ_ASSERT(isField);
    IterationParam& slot = m_setup.params[static_cast<std::size_t>(row)];
    if (slot.dataType == kItrNone) return true;  // an empty row's fields are hidden
    if (!FieldParameter(row, which).SetFromText(field.text().trimmed().toStdString(), false)) {
        RefuseField(field);
        return false;
    }
    if (m_refusedField == &field) m_refusedField = nullptr;
    slot.ComputeSteps();
    StepsLabel(row)->setText(QString::number(slot.numberOfSteps));
    SettingsChanged();
    return true;
}

// The refusal is answered once the focus change that revealed it is over:
// a beep, and the focus back on the field with its text selected.
void CItrSetupDlg::RefuseField(CEditFloatPt& field)
{
    m_okAllowed = false;
    m_refusedField = &field;
    if (m_refusalPending) return;  // one beep for one refusal
    m_refusalPending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_refusalPending = false;
            if (!isVisible() || m_refusedField == nullptr) return;
            BeepRefusal();
            m_refusedField->setFocus(Qt::OtherFocusReason);
            m_refusedField->selectAll();
        },
        Qt::QueuedConnection);
}

// ---------------------------------------------------------------- OK

void CItrSetupDlg::accept()
{
    m_okAllowed = true;
    // The field being edited commits first; a click on OK has committed it already.
    int row = 0;
    Field which = kMin;
    if (FindField(focusWidget(), row, which)) CommitField(*EntryField(row, which));
    if (m_refusedField != nullptr) {
        RefuseField(*m_refusedField);
        return;
    }
    m_movingFocusToOk = true;
    m_okButton->setFocus(Qt::OtherFocusReason);
    m_movingFocusToOk = false;

    if (m_setup.baseline != nullptr) {
        const ErrorCode code = CheckSetupFor(m_setup);
        if (code != 0) {
            ShowErrorMessage(code);
            return;
        }
        if (m_setup.method == IteratorMethod::Search && RefuseLargeSearch()) return;
    }
    ApplySetup(m_iterator, m_setup);
    QDialog::accept();
}

// A search numbers its combinations exactly in a double (as JSON keeps
// them): a grid past that is refused, with how large it is.
bool CItrSetupDlg::RefuseLargeSearch()
{
    IteratorTest sample{IteratorTest::Detached{}};
    ApplySearchSetup(sample, m_setup);
    const SearchGrid grid(sample);
    if (grid.IsSearchable()) return false;
    QMessageBox::warning(this, QStringLiteral("Iterator Testing Error"),
                         tr("A search takes at most %1 combinations; these settings make %2.\n"
                            "Increase the step values and try again.")
                             .arg(SearchGrid::kMostPoints)
                             .arg(double(grid.CountedPoints()), 0, 'g', 3));
    return true;
}
