#include "chart/ChartDrawing.h"

#include <QPainter>
#include <QPainterPath>
#include <QtCharts/QAreaSeries>
#include <QtCharts/QLineSeries>
#include <QtCharts/QPieSeries>
#include <QtCharts/QPieSlice>
#include <QtCharts/QScatterSeries>
#include <algorithm>
#include <cmath>

namespace sarvanta {

namespace {

constexpr int PointerSize = 9;

bool IsArea(TSeriesKind kind) {
  return kind == TSeriesKind::Area || kind == TSeriesKind::Bar || kind == TSeriesKind::HorizBar;
}

// The charting library draws nothing sensible for infinite or undefined values: they are left
// out (a sampled function may yield them where it is undefined).
QList<QPointF> FinitePoints(const std::vector<QPointF>& points) {
  QList<QPointF> finite;
  finite.reserve(static_cast<qsizetype>(points.size()));
  for (const QPointF& point : points)
    if (std::isfinite(point.x()) && std::isfinite(point.y())) finite.append(point);
  return finite;
}

QPen OutlinePen(const TSeries& series) {
  return QPen(series.Color().darker(160), series.PenWidth(), series.PenStyle());
}

void DrawArea(const TSeries& series, QAreaSeries* area) {
  if (series.PointsChanged) {
    QList<QPointF> upper = FinitePoints(series.Points());
    QList<QPointF> lower;
    if (series.Kind() == TSeriesKind::Area) {
      if (!upper.isEmpty()) lower = {{upper.front().x(), 0}, {upper.back().x(), 0}};
    } else {
      const std::vector<QPointF> outline =
          BarOutline(series.Points(), series.Kind() == TSeriesKind::HorizBar);
      upper = QList<QPointF>(outline.begin(), outline.end());
      // The base closes the outline: the polygon runs along the bars and back along it.
      if (!upper.isEmpty()) lower = {upper.front(), upper.back()};
    }
    area->upperSeries()->replace(upper);
    area->lowerSeries()->replace(lower);
  }
  area->setName(series.Title());
  area->setBrush(QBrush(series.Color(), series.BrushStyle()));
  area->setPen(OutlinePen(series));
}

void DrawPie(const TSeries& series, QPieSeries* pie) {
  pie->setName(series.Title());
  if (series.PointsChanged) {
    pie->clear();
    for (const QPointF& point : FinitePoints(series.Points()))
      pie->append(QString::number(point.x(), 'g', 6), std::fabs(point.y()));
  }
  // Slices take shades of the series colour in turn, so that neighbours stand apart.
  const QList<QPieSlice*> slices = pie->slices();
  for (qsizetype i = 0; i < slices.size(); ++i) {
    const QColor shade = (i % 3 == 0)   ? series.Color()
                         : (i % 3 == 1) ? series.Color().lighter(150)
                                        : series.Color().darker(150);
    slices[i]->setBrush(QBrush(shade, series.BrushStyle()));
    slices[i]->setPen(OutlinePen(series));
  }
}

void DrawXY(const TSeries& series, QXYSeries* xy) {
  if (series.PointsChanged) xy->replace(FinitePoints(series.Points()));
  xy->setName(series.Title());
  if (series.Kind() == TSeriesKind::Point) {
    xy->setLightMarker(PointerImage(series.PointerStyle(), series.Color(), PointerSize));
    xy->setColor(series.Color());
    static_cast<QScatterSeries*>(xy)->setMarkerSize(PointerSize);
    static_cast<QScatterSeries*>(xy)->setBorderColor(series.Color().darker(160));
    return;
  }
  xy->setPen(QPen(series.Color(), series.PenWidth(), series.PenStyle()));
}

}  // namespace

QAbstractSeries* CreateDrawnSeries(TSeriesKind kind) {
  if (kind == TSeriesKind::Pie) return new QPieSeries;
  if (kind == TSeriesKind::Point) return new QScatterSeries;
  if (IsArea(kind)) {
    auto* area = new QAreaSeries;
    area->setUpperSeries(new QLineSeries(area));
    area->setLowerSeries(new QLineSeries(area));
    return area;
  }
  return new QLineSeries;
}

void DrawSeries(const TSeries& series, QAbstractSeries* drawn) {
  switch (series.Kind()) {
    case TSeriesKind::Pie:
      DrawPie(series, static_cast<QPieSeries*>(drawn));
      break;
    case TSeriesKind::Area:
    case TSeriesKind::Bar:
    case TSeriesKind::HorizBar:
      DrawArea(series, static_cast<QAreaSeries*>(drawn));
      break;
    default:
      DrawXY(series, static_cast<QXYSeries*>(drawn));
  }
}

std::vector<QPointF> BarOutline(const std::vector<QPointF>& points, bool horizontal) {
  auto position = [horizontal](const QPointF& p) { return horizontal ? p.y() : p.x(); };
  auto value = [horizontal](const QPointF& p) { return horizontal ? p.x() : p.y(); };
  std::vector<QPointF> finite;
  for (const QPointF& point : points)
    if (std::isfinite(point.x()) && std::isfinite(point.y())) finite.push_back(point);
  std::vector<double> positions;
  for (const QPointF& point : finite) positions.push_back(position(point));
  std::sort(positions.begin(), positions.end());
  double gap = 0;
  for (size_t i = 1; i < positions.size(); ++i) {
    const double d = positions[i] - positions[i - 1];
    if (d > 0 && (gap == 0 || d < gap)) gap = d;
  }
  const double half = 0.35 * (gap > 0 ? gap : 1);
  auto at = [horizontal](double along, double height) {
    return horizontal ? QPointF(height, along) : QPointF(along, height);
  };
  std::vector<QPointF> outline;
  outline.reserve(finite.size() * 4);
  for (const QPointF& point : finite) {
    const double p = position(point);
    outline.push_back(at(p - half, 0));
    outline.push_back(at(p - half, value(point)));
    outline.push_back(at(p + half, value(point)));
    outline.push_back(at(p + half, 0));
  }
  return outline;
}

QImage PointerImage(TPointerStyle style, const QColor& color, int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(color.darker(160), 1));
  painter.setBrush(color);
  const double s = size - 1;
  const double m = s / 2;
  switch (style) {
    case TPointerStyle::Rectangle:
      painter.drawRect(QRectF(0.5, 0.5, s - 1, s - 1));
      break;
    case TPointerStyle::Circle:
      painter.drawEllipse(QRectF(0.5, 0.5, s - 1, s - 1));
      break;
    case TPointerStyle::Triangle:
      painter.drawPolygon(QPolygonF({{m, 0.5}, {s - 0.5, s - 0.5}, {0.5, s - 0.5}}));
      break;
    case TPointerStyle::DownTriangle:
      painter.drawPolygon(QPolygonF({{0.5, 0.5}, {s - 0.5, 0.5}, {m, s - 0.5}}));
      break;
    case TPointerStyle::Cross:
      painter.setPen(QPen(color, 2));
      painter.drawLine(QPointF(m, 0), QPointF(m, s));
      painter.drawLine(QPointF(0, m), QPointF(s, m));
      break;
    case TPointerStyle::DiagCross:
      painter.setPen(QPen(color, 2));
      painter.drawLine(QPointF(0, 0), QPointF(s, s));
      painter.drawLine(QPointF(0, s), QPointF(s, 0));
      break;
    case TPointerStyle::Star: {
      QPolygonF star;
      for (int i = 0; i < 10; ++i) {
        const double radius = (i % 2 == 0) ? m : m * 0.45;
        const double angle = -M_PI / 2 + i * M_PI / 5;
        star << QPointF(m + radius * std::cos(angle), m + radius * std::sin(angle));
      }
      painter.drawPolygon(star);
      break;
    }
  }
  return image;
}

}  // namespace sarvanta
