#include "GuiTestFixture.h"

#include <QCoreApplication>
#include <QSettings>

GuiTestFixture::GuiTestFixture()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Parvane Software"));
    QCoreApplication::setApplicationName(QStringLiteral("TorqwellTest"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings.path());
    QSettings().clear();
}
