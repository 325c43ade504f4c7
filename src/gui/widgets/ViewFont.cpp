#include "ViewFont.h"

#include <QFontDatabase>
#include <QFontInfo>

QFont SmallViewFont()
{
    QFont font(QStringLiteral("MS Sans Serif"), 8);
    if (QFontInfo(font).family() == font.family()) return font;
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont);
}
