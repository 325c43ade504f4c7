#pragma once

class QChart;

// The look every chart of the program shares: the small view font, a grey
// frame around a white plot area, and no legend of Qt Charts' own (the graph
// draws its own legend, the iterator's small chart needs none).
void ApplyChartLook(QChart& chart);
