#include "StudyControls.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>

namespace {

constexpr int kLowestRpm = 2000;
constexpr int kHighestRpm = 11000;
constexpr int kRpmStep = 500;

QSpinBox* MakeRpmBox(int value, QWidget* parent)
{
    auto* box = new QSpinBox(parent);
    box->setRange(kLowestRpm, kHighestRpm);
    box->setSingleStep(kRpmStep);
    box->setSuffix(" rpm");
    box->setValue(value);
    return box;
}

}  // namespace

CStudyScoreControls::CStudyScoreControls(QWidget* parent)
    : QWidget(parent),
      m_criterion(new QComboBox(this)),
      m_minRpm(MakeRpmBox(kLowestRpm, this)),
      m_maxRpm(MakeRpmBox(kHighestRpm, this))
{
    m_criterion->addItem(tr("Peak Power"), int(StudyCriterion::PeakPower));
    m_criterion->addItem(tr("Peak Torque"), int(StudyCriterion::PeakTorque));
    m_criterion->addItem(tr("Average Power"), int(StudyCriterion::AveragePower));
    m_criterion->setObjectName("criterion");
    m_minRpm->setObjectName("minRpm");
    m_maxRpm->setObjectName("maxRpm");
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(tr("Score:"), this));
    layout->addWidget(m_criterion);
    layout->addWidget(new QLabel(tr("from"), this));
    layout->addWidget(m_minRpm);
    layout->addWidget(new QLabel(tr("to"), this));
    layout->addWidget(m_maxRpm);
    layout->addStretch();
    connect(m_criterion, &QComboBox::currentIndexChanged, this, &CStudyScoreControls::Changed);
    // The lower end stays below the upper: each box pushes the other.
    connect(m_minRpm, &QSpinBox::valueChanged, this, [this](int rpm) {
        if (m_maxRpm->value() <= rpm) m_maxRpm->setValue(std::min(kHighestRpm, rpm + kRpmStep));
        if (m_maxRpm->value() <= rpm) m_minRpm->setValue(m_maxRpm->value() - kRpmStep);
        emit Changed();
    });
    connect(m_maxRpm, &QSpinBox::valueChanged, this, [this](int rpm) {
        if (m_minRpm->value() >= rpm) m_minRpm->setValue(std::max(kLowestRpm, rpm - kRpmStep));
        if (m_minRpm->value() >= rpm) m_maxRpm->setValue(m_minRpm->value() + kRpmStep);
        emit Changed();
    });
}

StudyCriterion CStudyScoreControls::Criterion() const
{
    return static_cast<StudyCriterion>(m_criterion->currentData().toInt());
}

void CStudyScoreControls::SetCriterion(StudyCriterion criterion)
{
    m_criterion->setCurrentIndex(m_criterion->findData(int(criterion)));
}

SpeedBand CStudyScoreControls::Band() const
{
    return {static_cast<float>(m_minRpm->value()), static_cast<float>(m_maxRpm->value())};
}

void CStudyScoreControls::SetBand(SpeedBand band)
{
    m_maxRpm->setValue(static_cast<int>(band.maxRpm));
    m_minRpm->setValue(static_cast<int>(band.minRpm));
}

QString CStudyScoreControls::UnitOf(StudyCriterion criterion)
{
    return criterion == StudyCriterion::PeakTorque ? "ft-lbs" : "hp";
}
