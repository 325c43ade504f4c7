#pragma once

// Shared by the iterator dialogs' test programs (header only: every test
// file is its own program).

#include "dialogs/ItrSetupDlg.h"
#include "model/DocumentRegistry.h"
#include "model/EngineFile.h"
#include "model/TorqDoc.h"
#include "widgets/TorqSpecEdit.h"

#include "IteratorSeries.h"

#include <QComboBox>
#include <QPushButton>
#include <QtTest>

#include <memory>
#include <string>

// An engine document that is open in the program for the object's lifetime.
class OpenEngine {
public:
    explicit OpenEngine(const std::string& title) : m_document(std::make_unique<CTorqDoc>())
    {
        m_document->SetTitle(title);
        CDocumentRegistry::Instance().Add(*m_document);
    }
    ~OpenEngine() { Close(); }
    OpenEngine(const OpenEngine&) = delete;
    OpenEngine& operator=(const OpenEngine&) = delete;

    CTorqDoc& Doc() { return *m_document; }
    // Gone from the open documents, as when its window closes.
    void Close()
    {
        if (m_document != nullptr) CDocumentRegistry::Instance().Remove(*m_document);
        m_document.reset();
    }

private:
    std::unique_ptr<CTorqDoc> m_document;
};

inline QString ExamplePath(const char* name)
{
    return QStringLiteral(TORQWELL_SOURCE_DIR "/examples/") + QLatin1String(name);
}

// Picks an item the way the user does, so that the list reports the choice.
inline void Choose(QComboBox* list, const QString& text)
{
    const int index = list->findText(text);
    QVERIFY2(index >= 0, qPrintable("no item " + text));
    list->setCurrentIndex(index);
    emit list->activated(index);
}

inline QStringList Items(const QComboBox* list)
{
    QStringList items;
    for (int i = 0; i < list->count(); ++i) items << list->itemText(i);
    return items;
}

// Types into a field as the user does (the whole text replaced), then gives
// the focus to another control, which commits the field.
inline void TypeInto(CEditFloatPt* field, const QString& text, QWidget* next)
{
    field->setFocus(Qt::MouseFocusReason);
    field->selectAll();
    QTest::keyClicks(field, text);
    next->setFocus(Qt::MouseFocusReason);
}

// One row of a series as typed into the setup dialog.
struct TypedRow {
    int row;
    QString type;
    QString min;
    QString max;
    QString step;
};

// Chooses the baseline and types the rows; the dialog must be shown and active.
inline void TypeSeries(CItrSetupDlg& setup, const QString& baseline, std::initializer_list<TypedRow> rows)
{
    Choose(setup.BaselineList(), baseline);
    for (const TypedRow& row : rows) {
        Choose(setup.DataTypeList(row.row), row.type);
        TypeInto(setup.EntryField(row.row, CItrSetupDlg::kMin), row.min, setup.OkButton());
        TypeInto(setup.EntryField(row.row, CItrSetupDlg::kMax), row.max, setup.OkButton());
        TypeInto(setup.EntryField(row.row, CItrSetupDlg::kStep), row.step, setup.OkButton());
    }
}

// Shows a dialog and waits until it has the keyboard focus.
inline bool ShowActive(QWidget& dialog)
{
    dialog.show();
    dialog.activateWindow();
    return QTest::qWaitForWindowActive(&dialog);
}

// What the setup dialog's OK does with these rows (in rows 1..).
inline void ConfigureSeries(IteratorTest& iterator, const CTorqDoc& baseline,
                            const std::vector<IterationParam>& rows, int criterion = kMaxPower)
{
    IteratorSetup setup;
    setup.Reset();
    setup.baseline = &baseline;
    setup.criterion = criterion;
    int index = 0;
    for (const IterationParam& row : rows) setup.params[static_cast<std::size_t>(index++)] = row;
    ApplySetup(iterator, setup);
}
