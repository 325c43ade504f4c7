// The number box of the calculator and iterator dialogs (CEditFloatPt) and
// the beep of every refused input; declared in TorqSpecEdit.h with the
// value controls.

#include "widgets/TorqSpecEdit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QValidator>

namespace {

bool IsAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Guards what reaches an edit box by paste, drop or input method: the typed
// keys are filtered before this, with their own beep.
class FloatTextValidator final : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& input, int& /*position*/) const override
    {
        input.replace(QLatin1Char(','), QLatin1Char('.'));
        return CEditFloatPt::IsNumberText(input) ? Acceptable : Invalid;
    }
};

int g_refusalBeeps = 0;

}  // namespace

void BeepRefusal()
{
    ++g_refusalBeeps;
    QApplication::beep();
}

int RefusalBeepCount()
{
    return g_refusalBeeps;
}

CEditFloatPt::CEditFloatPt(QWidget* parent) : QLineEdit(parent)
{
    setValidator(new FloatTextValidator(this));
    // A paste or drop the rules refuse is dropped whole; say so.
    connect(this, &QLineEdit::inputRejected, this, [] { BeepRefusal(); });
}

bool CEditFloatPt::IsNumberText(const QString& text)
{
    int points = 0;
    int minuses = 0;
    for (const QChar c : text) {
        if (c == QLatin1Char('.') || c == QLatin1Char(',')) {
            ++points;
        } else if (c == QLatin1Char('-')) {
            ++minuses;
        } else if (!IsAsciiDigit(c)) {
            return false;
        }
    }
    return points <= 1 && minuses <= 1;
}

bool CEditFloatPt::IsAllSelected() const
{
    return hasSelectedText() && selectionStart() == 0 && selectedText().size() == text().size();
}

void CEditFloatPt::keyPressEvent(QKeyEvent* event)
{
    const QString typed = event->text();
    const bool chord = (event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier | Qt::AltModifier)) != 0;
    // Editing keys, Backspace, Enter and the shortcuts work as in any edit box.
    if (chord || typed.size() != 1 || !typed.at(0).isPrint()) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const QChar c = typed.at(0);
    if (IsAsciiDigit(c)) {
        QLineEdit::keyPressEvent(event);
    } else if (c == QLatin1Char('.') || c == QLatin1Char(',')) {
        if (!text().contains(QLatin1Char('.')) || IsAllSelected()) {
            insert(QStringLiteral("."));
        } else {
            BeepRefusal();
        }
        event->accept();
    } else if (c == QLatin1Char('-')) {
        if (!text().contains(QLatin1Char('-')) || IsAllSelected()) {
            QLineEdit::keyPressEvent(event);
        } else {
            BeepRefusal();
            event->accept();
        }
    } else {
        BeepRefusal();
        event->accept();
    }
}
