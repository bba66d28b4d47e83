// The summary page's colour swatch: a rounded rectangle in the look new summary series get.
// A click (any button but the right one) picks the brush colour; the right button steps the pen
// style back with Ctrl, the brush style back with Shift, and widens the pen otherwise.
#pragma once

#include "task/SeriesColors.h"

#include <QWidget>
#include <functional>

namespace sarvanta {

class TColorSwatch : public QWidget {
  Q_OBJECT

 public:
  explicit TColorSwatch(QWidget* parent = nullptr);

  TSwatch Swatch;
  // Picks a colour; the colour dialog unless replaced (tests pick one themselves). An invalid
  // colour means the choice was cancelled.
  std::function<QColor(const QColor& current)> ChooseColor;

  QSize sizeHint() const override { return {48, 24}; }

 signals:
  void Changed();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace sarvanta
