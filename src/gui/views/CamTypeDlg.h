#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;

// Asks for the description of a custom camshaft ("Custom Cam Type..."). OK
// with a description that is empty after trimming shows error 28 and keeps
// the dialog open; otherwise Description() is the trimmed text.
class CCamTypeDlg : public QDialog {
    Q_OBJECT
public:
    explicit CCamTypeDlg(const QString& currentName, QWidget* parent = nullptr);

    QString Description() const { return m_description; }
    QLineEdit* DescriptionEdit() const { return m_edit; }

    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* m_edit;
    QString m_description;
};
