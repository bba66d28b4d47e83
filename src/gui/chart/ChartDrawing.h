// How a TSeries is drawn by the charting library (internal to gui/chart: windows include
// Chart.h only).
#pragma once

#include "chart/Series.h"

#include <QImage>
#include <QtCharts/QAbstractSeries>
#include <vector>

namespace sarvanta {

// A new, empty drawn series for the kind; the caller hands it to a QChart, which owns it.
QAbstractSeries* CreateDrawnSeries(TSeriesKind kind);

// Moves the series' points (when they changed) and its look into the drawn series.
void DrawSeries(const TSeries& series, QAbstractSeries* drawn);

// The outline of one bar per point, as a polyline along the base: each bar is as wide as
// 70 % of the smallest gap between neighbouring positions (1 for a single point). Vertical
// bars stand at x from 0 to y; horizontal bars lie at y from 0 to x. Points with an infinite
// or undefined coordinate get no bar.
std::vector<QPointF> BarOutline(const std::vector<QPointF>& points, bool horizontal);

// A pointer of the given shape, `size` pixels square, filled with the colour.
QImage PointerImage(TPointerStyle style, const QColor& color, int size);

}  // namespace sarvanta
