#pragma once

#include <QFont>

// The font of the table and graph texts: "MS Sans Serif" at 8 points where
// that face exists, the system's general font where it does not.
QFont SmallViewFont();
