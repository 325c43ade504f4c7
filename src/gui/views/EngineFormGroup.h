#pragma once

#include <QString>
#include <QWidget>

// A titled frame of the engine form with the group's status picture (complete
// or incomplete) at its top left, in the room the title's two leading blanks leave.
class CEngineFormGroup : public QWidget {
    Q_OBJECT
public:
    CEngineFormGroup(const QString& title, QWidget* parent);

    const QString& Title() const { return m_title; }
    // Sets the status picture; an unchanged status is not drawn again.
    void SetComplete(bool complete);
    bool IsShownComplete() const { return m_complete; }
    // Height of the title band; the frame's top edge runs through its middle.
    int TitleHeight() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void UpdateMargins();

    QString m_title;
    bool m_complete = false;
};
