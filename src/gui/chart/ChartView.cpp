#include "chart/ChartView.h"

#include <QMouseEvent>
#include <QPainter>

namespace sarvanta {

TChartView::TChartView(QChart* chart, QWidget* parent) : QChartView(chart, parent) {
  setMouseTracking(true);
  setRenderHint(QPainter::Antialiasing);
  setFrameShape(QFrame::NoFrame);
}

void TChartView::mouseDoubleClickEvent(QMouseEvent* event) {
  QChartView::mouseDoubleClickEvent(event);
  if (OnDblClick) OnDblClick();
}

void TChartView::mouseMoveEvent(QMouseEvent* event) {
  QChartView::mouseMoveEvent(event);
  if (OnMouseMove) OnMouseMove(event->position().toPoint());
}

void TChartView::resizeEvent(QResizeEvent* event) {
  QChartView::resizeEvent(event);
  if (OnResize) OnResize();
}

void TChartView::drawForeground(QPainter* painter, const QRectF& rect) {
  QChartView::drawForeground(painter, rect);
  if (BoxDepth <= 0 || !chart()) return;
  // The plot area is the box's front; its top and right faces recede up and to the right,
  // outside the plot area, so that they never hide a series.
  const QRectF front = chart()->mapRectToScene(chart()->plotArea());
  const QPointF depth(BoxDepth, -BoxDepth);
  const QPolygonF top(
      {front.topLeft(), front.topLeft() + depth, front.topRight() + depth, front.topRight()});
  const QPolygonF right({front.topRight(), front.topRight() + depth, front.bottomRight() + depth,
                         front.bottomRight()});
  painter->save();
  painter->setRenderHint(QPainter::Antialiasing);
  painter->setPen(QPen(QColor(128, 128, 128), 1));
  painter->setBrush(QColor(224, 224, 224));
  painter->drawPolygon(top);
  painter->setBrush(QColor(200, 200, 200));
  painter->drawPolygon(right);
  painter->setBrush(Qt::NoBrush);
  painter->drawRect(front);
  painter->restore();
}

}  // namespace sarvanta
