#pragma once

#include <QString>

class QWidget;

// Texts of the message pane of the main window's status bar.
inline constexpr const char* kReadyStatusText = "Ready";
inline constexpr const char* kEditHintStatusText = "Press Enter or Left Click to edit this parameter";

// Shows the text in the status bar of the main window that holds the widget
// (or that holds the widget's parent, for a top-level editor). Does nothing
// when there is no such window or it has no status bar.
void ShowStatusText(const QWidget* widget, const QString& text);

// The text the status bar of that main window shows now; empty without one.
QString CurrentStatusText(const QWidget* widget);
