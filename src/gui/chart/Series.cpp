#include "chart/Series.h"

#include "chart/Chart.h"

#include <algorithm>

namespace sarvanta {

TSeries::TSeries(TChart* chart, TSeriesKind kind) : chart_(chart), kind_(kind) {}

void TSeries::Changed(bool points) {
  if (points)
    PointsChanged = true;
  else
    LookChanged = true;
  chart_->SeriesChanged();
}

void TSeries::Clear() {
  points_.clear();
  Changed(true);
}

void TSeries::Append(double x, double y) {
  points_.emplace_back(x, y);
  Changed(true);
}

void TSeries::Delete(int first, int count) {
  const int size = Count();
  first = std::clamp(first, 0, size);
  const int last = std::clamp(first + std::max(count, 0), first, size);
  points_.erase(points_.begin() + first, points_.begin() + last);
  Changed(true);
}

void TSeries::SetPoints(const std::vector<TCurvePoint>& points) {
  points_.clear();
  points_.reserve(points.size());
  for (const TCurvePoint& point : points)
    points_.emplace_back(static_cast<double>(point.X), static_cast<double>(point.Y));
  Changed(true);
}

void TSeries::SetTitle(const QString& title) {
  title_ = title;
  Changed(false);
}

void TSeries::SetColor(const QColor& color) {
  color_ = color;
  Changed(false);
}

void TSeries::SetPen(Qt::PenStyle style, int width) {
  penStyle_ = style;
  penWidth_ = std::max(width, 0);
  Changed(false);
}

void TSeries::SetBrushStyle(Qt::BrushStyle style) {
  brushStyle_ = style;
  Changed(false);
}

void TSeries::SetPointerStyle(TPointerStyle style) {
  pointerStyle_ = style;
  Changed(false);
}

}  // namespace sarvanta
