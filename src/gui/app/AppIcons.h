#pragma once

#include <QIcon>
#include <QPixmap>

// The program's pictures, drawn in code so that they stay sharp at any scale.
enum class ToolIcon { New, Open, Save, Print, Run };

QIcon MakeToolIcon(ToolIcon icon);
QIcon MakeAppIcon();
// The start-up picture: product name, version and maker.
QPixmap MakeSplashPixmap();
