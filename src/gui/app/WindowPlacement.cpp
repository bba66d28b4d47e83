#include "app/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace sarvanta {

void CenterOnScreen(QWidget& window) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  QRect frame = window.frameGeometry();
  frame.moveCenter(screen->availableGeometry().center());
  window.move(frame.topLeft());
}

QSize FirstStartSize(const QSize& minimum) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return minimum;
  const QSize available = screen->availableGeometry().size();
  return QSize(std::max(minimum.width(), available.width() * 3 / 4),
               std::max(minimum.height(), available.height() * 3 / 4));
}

QList<QRect> CascadeRects(const QSize& area, int count, int step) {
  const int width = std::min(area.width(), std::max(area.width() * 2 / 3, 280));
  const int height = std::min(area.height(), std::max(area.height() * 2 / 3, 363));
  const int room = std::min(area.width() - width, area.height() - height);
  const int perRun = step > 0 ? std::max(room / step, 0) + 1 : 1;
  QList<QRect> places;
  for (int i = 0; i < count; ++i) {
    const int offset = (i % perRun) * step;
    places.append(QRect(offset, offset, width, height));
  }
  return places;
}

}  // namespace sarvanta
