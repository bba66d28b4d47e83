// The view that shows a TChart's drawing (internal to gui/chart): it reports double clicks and
// mouse moves, and draws the box faces of the three-dimensional look.
#pragma once

#include <QtCharts/QChartView>
#include <functional>

namespace sarvanta {

class TChartView : public QChartView {
 public:
  TChartView(QChart* chart, QWidget* parent);

  std::function<void()> OnDblClick;
  std::function<void(const QPoint&)> OnMouseMove;
  std::function<void()> OnResize;
  // Depth in pixels of the box drawn around the plot area; 0 draws none.
  int BoxDepth = 0;

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void drawForeground(QPainter* painter, const QRectF& rect) override;
};

}  // namespace sarvanta
