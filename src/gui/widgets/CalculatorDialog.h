#pragma once

#include "components/CalculatorEntry.h"

#include <QDialog>
#include <QHash>
#include <QPointer>
#include <QPushButton>
#include <QString>

#include <functional>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// What the calculator and airflow data dialogs share: number fields bound to
// the parameters of a calculator, and a help line.
//
// A field shows its prompt in the help line while it has the focus and
// selects its text on entering. When the focus leaves a field whose text the
// user changed, the trimmed text is offered to the parameter (an empty text
// changes nothing): a taken value is shown again as the parameter holds it
// and OnEntryTaken lets the dialog recalculate; a refused one beeps, puts
// the focus back on the field and holds up Apply / OK until corrected.
// A field left unchanged is not offered again, so tabbing through never
// rounds a value to its shown decimals nor refuses a shown "***".
// Moving to Cancel, or out of the dialog, commits nothing.
class CCalculatorDialog : public QDialog {
    Q_OBJECT
public:
    // False from a refused entry until that field takes a value (or is emptied).
    bool EntriesAccepted() const { return m_entriesAccepted; }
    QLabel* HelpLine() const { return m_helpLine; }

protected:
    using Commit = std::function<EntryResult(const std::string& text)>;
    using Show = std::function<QString()>;
    using Prompt = std::function<QString()>;

    explicit CCalculatorDialog(QWidget* parent);
    ~CCalculatorDialog() override;

    // Binds a field: commit takes the text, show gives the text the field
    // shows for the parameter, prompt the help line's text.
    void BindField(QLineEdit* edit, Commit commit, Show show, Prompt prompt);
    // A widget that only shows a help text while it has the focus.
    void SetHelpText(QWidget* widget, const QString& text);
    // Shows every bound field's value again (a field being corrected keeps its text).
    void RefreshFields();
    void RefreshField(QLineEdit* edit);
    // The buttons the focus may move to without committing the field it leaves.
    void SetCancelButton(QPushButton* button) { m_cancelButton = button; }
    // The "Help Text:" row: a caption and the help line.
    QWidget* MakeHelpRow();
    // A calculated value: right-aligned in a sunken frame as wide as `widest`.
    static QLabel* MakeValueLabel(QWidget* parent, const QString& widest);
    // A number field as wide as `widest`.
    static void SetFieldWidth(QLineEdit* edit, const QString& widest);

    // Commits the field that has the focus. False when an entry is refused,
    // or a refused entry is on its way back to its field: stop there.
    bool CommitEntries();

    // A field's value was taken; the dialog recalculates and shows its results.
    virtual void OnEntryTaken(QLineEdit* edit) = 0;
    // The focus moved inside the dialog (from may be null).
    virtual void OnFocusMoved(QWidget* from, QWidget* to);

private:
    struct Field {
        Commit commit;
        Show show;
        Prompt prompt;
    };

    void FocusChanged(QWidget* from, QWidget* to);
    bool Contains(const QWidget* widget) const;
    void CommitField(QLineEdit* edit);
    void ReturnToRefused(QLineEdit* edit);

    QHash<QLineEdit*, Field> m_fields;
    QHash<QWidget*, QString> m_helpTexts;
    QLabel* m_helpLine;
    QPointer<QPushButton> m_cancelButton;
    bool m_entriesAccepted = true;
    bool m_returnPending = false;
};
