#pragma once

#include <QFont>
#include <QLocale>
#include <QPageSize>
#include <QRectF>
#include <QString>

class QPainter;

inline constexpr const char* kReportProductName = "Torqwell";
inline constexpr const char* kReportProductVersion = "3.10";

// What the header of every printed page says: the engine's name, the date,
// and the page number of the page count.
struct PageHeaderText {
    QString title;
    QString date;  // as printed; TodayText() unless a test fixes it
    int page = 1;
    int pageCount = 1;
};

// Today's date as the printouts show it (ISO: 2026-12-08, read the same everywhere).
QString TodayText();

// The paper of the user's country, for the dyno sheet and the printouts
// alike: US Letter in the United States and Canada, ISO A4 elsewhere. Qt
// gives a locale's territory and measurement system but no paper size, and
// the measurement system will not do (Canada measures in metric and prints
// on Letter), so the territory decides.
QPageSize::PageSizeId LocalePaperSize(const QLocale& locale = QLocale());

// A sans-serif font of the given size in the painter's logical units, so that
// text keeps its size on any device whatever the device's resolution.
QFont ReportFont(double pixels, bool bold = false);

// A one-unit black rule across the page half an inch below the paper's top
// edge, from half an inch inside its left edge to half an inch inside its
// right; on it the title (left), "Torqwell  Version 3.10" (centred) and the
// date with " Page n of m" (right), their baseline raised by five quarters of
// the text height. paper is the whole sheet in the painter's logical units;
// unitsPerInch says how long an inch is in them. Returns the rule's y.
double DrawPageHeader(QPainter& painter, const QRectF& paper, double unitsPerInch,
                      const PageHeaderText& text);
