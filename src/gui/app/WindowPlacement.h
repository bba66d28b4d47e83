// Where windows appear: a top-level window's first place and size, and model windows in
// cascade.
#pragma once

#include <QList>
#include <QRect>
#include <QSize>

class QWidget;

namespace sarvanta {

// Moves the window so that its frame is centred on the primary screen's available area.
void CenterOnScreen(QWidget& window);

// The size of a window at its first start: three quarters of the primary screen's available
// area, never smaller than `minimum` (nor, when the screen allows, larger than it).
QSize FirstStartSize(const QSize& minimum);

// Places for `count` windows in cascade inside an area of `area`: each two thirds of the area
// (at least 280 by 363 where the area allows), every next one `step` further down and right,
// starting again at the top left when the next would leave the area.
QList<QRect> CascadeRects(const QSize& area, int count, int step);

}  // namespace sarvanta
