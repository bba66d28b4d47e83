// One series of a chart (gui/chart): its kind, its (x, y) points and its look. The series holds
// the points itself; the chart that owns it redraws from them when the event loop next runs, so
// appending one point at a time costs no redraw per point.
#pragma once

#include "task/CurveSampling.h"

#include <QColor>
#include <QPointF>
#include <QString>
#include <vector>

namespace sarvanta {

class TChart;

// Line and FastLine are both polylines (FastLine without smoothing of its edges); Bar and
// HorizBar draw one bar per point (at x up to y, or at y across to x); Pie draws one slice per
// point of size |y|.
enum class TSeriesKind { Line, FastLine, Point, Area, Bar, HorizBar, Pie };

// The shapes of a point series' pointers, in the order of the "Poiners" list.
enum class TPointerStyle { Rectangle, Circle, Triangle, DownTriangle, Cross, DiagCross, Star };

// Owned by its chart (TChart::AddSeries); a pointer to it stays valid until the chart removes
// it or is destroyed. User-interface thread only.
class TSeries {
 public:
  TSeries(TChart* chart, TSeriesKind kind);

  TSeriesKind Kind() const { return kind_; }

  void Clear();
  void Append(double x, double y);
  // Removes `count` points from `first` on (the points that lie in the series).
  void Delete(int first, int count = 1);
  // Replaces every point by the curve's.
  void SetPoints(const std::vector<TCurvePoint>& points);
  int Count() const { return static_cast<int>(points_.size()); }
  const std::vector<QPointF>& Points() const { return points_; }

  QString Title() const { return title_; }
  void SetTitle(const QString& title);
  // The main colour: the line's, the fill's of areas, bars and pies, the pointers'.
  QColor Color() const { return color_; }
  void SetColor(const QColor& color);
  // The line of line series, the outline of areas, bars and pointers.
  Qt::PenStyle PenStyle() const { return penStyle_; }
  int PenWidth() const { return penWidth_; }
  void SetPen(Qt::PenStyle style, int width);
  // The fill pattern of areas, bars and pie slices.
  Qt::BrushStyle BrushStyle() const { return brushStyle_; }
  void SetBrushStyle(Qt::BrushStyle style);
  TPointerStyle PointerStyle() const { return pointerStyle_; }
  void SetPointerStyle(TPointerStyle style);

  // Set by every change; the owning chart clears them when it has redrawn the series.
  bool PointsChanged = true;
  bool LookChanged = true;

 private:
  void Changed(bool points);

  TChart* chart_;
  TSeriesKind kind_;
  std::vector<QPointF> points_;
  QString title_;
  QColor color_ = Qt::black;
  Qt::PenStyle penStyle_ = Qt::SolidLine;
  int penWidth_ = 1;
  Qt::BrushStyle brushStyle_ = Qt::SolidPattern;
  TPointerStyle pointerStyle_ = TPointerStyle::Rectangle;
};

}  // namespace sarvanta
