#pragma once

#include <QDialog>
#include <QLineEdit>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

class CTorqDoc;
class CTorqSpec;
class CTorqSpecEditDlg;
class QMenu;
class QPushButton;
class QToolButton;

// The message beep of every refused input. The count (since the program
// started) lets a test see that a refusal was heard.
void BeepRefusal();
int RefusalBeepCount();

// An edit box for decimal numbers. Typed keys are filtered: digits and
// Backspace pass; '.' and ',' both insert '.', once (or over the whole text
// when it is all selected); '-' once (or over the whole text); any other
// character is refused with a beep. Editing keys (arrows, Delete, Home, End,
// Tab) and the clipboard shortcuts work as usual, and pasted or dropped text
// must obey the same rules (a ',' in it becomes '.').
class CEditFloatPt : public QLineEdit {
    Q_OBJECT
public:
    explicit CEditFloatPt(QWidget* parent = nullptr);

    // Whether text may stand in the box: digits, at most one '.' and at most
    // one '-' (',' counts as '.').
    static bool IsNumberText(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool IsAllSelected() const;
};

// The value of one engine parameter on the engine form. The control shows
// the parameter's text; a left click, or Enter while it has the focus, opens
// the in-place editor (CTorqSpecEditDlg) over it, unless the value is computed.
//
// Edit modes: 0 editable (the user may type a value), 1 choose only (a value
// is chosen from the popup menu), 2 computed (display only, never edited and
// never in the tab order).
//
// The control frames itself in black while it has the keyboard focus; the
// frame lies 2 pixels outside the value field at the left and top and 3 at
// the right and bottom, inside the widget's own rectangle.
class CTorqSpecEditCtrl : public QWidget {
    Q_OBJECT
public:
    enum EditMode { kEditable = 0, kChooseOnly = 1, kComputed = 2 };
    // Style numbers: 0 a name (long text, cut with "..." when it does not
    // fit), 1 a count or ratio, 2 a value with units.
    enum Style { kNameStyle = 0, kCountStyle = 1, kValueStyle = 2 };

    // Fills the parameter's popup menu; called each time an editor opens so
    // that check marks and unit labels are current. The actions do their
    // work themselves (they are connected by whoever fills the menu).
    using MenuFiller = std::function<void(QMenu&)>;

    // What the apply step made of a typed text.
    enum class ApplyResult {
        Stored,    // the parameter holds the new value
        Refused,   // the parameter does not accept the text: beep, keep editing
        Declined,  // the document did not agree to the change: close as cancelled
    };

    explicit CTorqSpecEditCtrl(QWidget* parent = nullptr);
    ~CTorqSpecEditCtrl() override;

    // Binds the control once. The document (may be null) is asked before a
    // typed value is stored.
    void Bind(int style, CTorqSpec& parameter, int editMode, MenuFiller menu, CTorqDoc* document);
    // Drops the parameter and the document (they are going away); the last
    // text stays on show.
    void Unbind();

    CTorqSpec* Parameter() const { return m_parameter; }
    int GetEditMode() const { return m_editMode; }
    void SetEditMode(int editMode);
    bool HasMenu() const { return static_cast<bool>(m_menuFiller); }
    void FillMenu(QMenu& menu) const;

    // Shows the parameter's text (with or without its units), replacing the
    // shown text only when the two differ after trimming.
    void Refresh(bool withUnits);
    // Shows a text of the form's own instead of the parameter's.
    void ShowText(const QString& text);
    // The text shown (a doubled '&' in a choice name shows as one).
    QString Text() const { return m_text; }

    // The rectangle of the value field, inside the room left for the focus frame.
    QRect FieldRect() const;

    // Opens the in-place editor (non-blocking; the editor is application
    // modal). False when the value is computed, the control is disabled or an
    // editor is open already.
    bool BeginEdit();
    bool IsEditorOpen() const { return m_editor != nullptr; }
    CTorqSpecEditDlg* Editor() const { return m_editor; }
    // Posts the close request to the open editor: it closes with OK once the
    // current event is done. Used after a popup-menu choice was applied.
    void CloseEditor();

    // The apply step of the editor's OK: checks the text with the parameter,
    // asks the document, then stores it.
    ApplyResult ApplyText(const QString& text);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // The editor has closed; ok is true only when it ended with OK.
    void EditDone(CTorqSpecEditCtrl* control, bool ok);
    void FocusGained(CTorqSpecEditCtrl* control);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void OnEditorFinished(int result);
    void UpdateFocusPolicy();
    QColor TextColour() const;

    int m_style = kValueStyle;
    int m_editMode = kComputed;
    CTorqSpec* m_parameter = nullptr;  // owned by the document
    CTorqDoc* m_document = nullptr;
    MenuFiller m_menuFiller;
    QString m_text;
    QPointer<CTorqSpecEditDlg> m_editor;
};

// The in-place editor of one value: a text box (read-only unless the value
// is editable), a button that drops the parameter's popup menu, OK and
// Cancel. It opens with its left edge 8 pixels left of the value field and
// centred on it vertically. Only one editor exists at a time.
//
// Keyboard: the text box has the focus (the menu button when the value is
// choose-only); Enter is OK, Escape is Cancel; Space, Down or F4 on the menu
// button (Alt+Down anywhere) drops the menu.
class CTorqSpecEditDlg : public QDialog {
    Q_OBJECT
public:
    explicit CTorqSpecEditDlg(CTorqSpecEditCtrl& control);
    ~CTorqSpecEditDlg() override;

    // The one open editor, or null.
    static CTorqSpecEditDlg* OpenEditor();

    CTorqSpecEditCtrl& Control() const { return m_control; }
    QLineEdit* TextBox() const { return m_textBox; }
    QToolButton* MenuButton() const { return m_menuButton; }
    QPushButton* OkButton() const { return m_okButton; }
    QPushButton* CancelButton() const { return m_cancelButton; }
    QMenu* Menu() const { return m_menu; }

    // Puts the parameter's current value text into the text box.
    void ShowCurrentValue();
    // Drops the popup menu under the menu button (returns when it closes).
    void DropMenu();
    // Closes with OK without applying the text box (a choice was taken).
    void CloseAfterChoice();
    // A choice from the menu has changed the engine: however the editor
    // closes now, it closes with OK.
    void TakeChoice() { m_choiceTaken = true; }

    void accept() override;
    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void SetUpTextBox();
    void SetUpMenuButton();
    void SetUpOkAndCancel();
    void LayOutInRow();
    void PlaceOverControl();
    void ShowRefusalHint();

    CTorqSpecEditCtrl& m_control;
    QLineEdit* m_textBox;
    QToolButton* m_menuButton;
    QPushButton* m_okButton;
    QPushButton* m_cancelButton;
    QMenu* m_menu;
    bool m_closing = false;
    bool m_choiceTaken = false;
};
