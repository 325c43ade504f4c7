#pragma once

#include "study/StudyScore.h"

#include <QWidget>

class QComboBox;
class QSpinBox;

// The score a study ranks by and the engine speeds it is scored over, as
// both study dialogs ask for them: "Peak Power", "Peak Torque" or "Average
// Power", and a band within 2000-11000 rpm.
class CStudyScoreControls : public QWidget {
    Q_OBJECT
public:
    explicit CStudyScoreControls(QWidget* parent = nullptr);

    StudyCriterion Criterion() const;
    void SetCriterion(StudyCriterion criterion);
    // The band; the lower end is kept below the upper.
    SpeedBand Band() const;
    void SetBand(SpeedBand band);

    // "hp" or "ft-lbs".
    static QString UnitOf(StudyCriterion criterion);

signals:
    void Changed();

private:
    QComboBox* m_criterion;
    QSpinBox* m_minRpm;
    QSpinBox* m_maxRpm;
};
