#pragma once

class QChart;
class QValueAxis;

// The look every chart of the program shares: the small view font, a grey
// frame around a white plot area, and no legend of Qt Charts' own (the graph
// draws its own legend, the iterator's small chart needs none).
void ApplyChartLook(QChart& chart);

// A value axis in that look: small labels in "%g", a bold title.
QValueAxis* MakeValueAxis();
