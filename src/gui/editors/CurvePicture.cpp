#include "editors/CurvePicture.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace sarvanta {

namespace {

// A twitch of peak 1 at u = 1 (u in units of the contraction time).
double Twitch(double u) { return u <= 0 ? 0 : std::pow(u, 2.0) * std::exp(2.0 - 2.0 * u); }

}  // namespace

TCurvePicture::TCurvePicture(TKind kind, QWidget* parent) : QWidget(parent), kind_(kind) {
  setMinimumSize(120, 70);
}

void TCurvePicture::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF area = QRectF(rect()).adjusted(8, 6, -6, -14);
  painter.fillRect(rect(), palette().base());
  painter.setPen(palette().text().color());
  painter.drawLine(area.bottomLeft(), area.bottomRight());
  painter.drawLine(area.bottomLeft(), area.topLeft());
  painter.drawText(QRectF(area.left(), area.bottom(), area.width(), 14), Qt::AlignRight, "t");
  QPainterPath path;
  const int steps = 200;
  const double span = kind_ == TKind::Twitch ? 5.0 : 12.0;
  for (int i = 0; i <= steps; ++i) {
    const double u = span * i / steps;
    double value = Twitch(u);
    if (kind_ == TKind::Fatigue) {
      // Impulses every 1.5 contraction times, each peak lower than the one before.
      value = 0;
      for (int k = 0; k < 8; ++k)
        value += (1.0 - 0.45 * (1 - std::exp(-0.4 * k))) * Twitch(u - 1.5 * k);
      value /= 1.6;
    }
    const QPointF point(area.left() + area.width() * u / span,
                        area.bottom() - area.height() * std::min(value, 1.0) * 0.9);
    if (i == 0)
      path.moveTo(point);
    else
      path.lineTo(point);
  }
  painter.setPen(QPen(Qt::red, 1.5));
  painter.drawPath(path);
}

}  // namespace sarvanta
