#pragma once

#include <QString>

class QWidget;

// The page of the user manual about a window, a dialog or a sheet: that of
// the nearest of the widget and its parents that the manual describes
// ("04-calculators.md#compression-ratio-calculator" for the compression
// ratio calculator or any field in it), or the page about the main window.
QString HelpPageFor(const QWidget* widget);
