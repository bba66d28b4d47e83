#include "task/ColorSwatch.h"

#include "chart/ChartLook.h"

#include <QColorDialog>
#include <QMouseEvent>
#include <QPainter>

namespace sarvanta {

TColorSwatch::TColorSwatch(QWidget* parent) : QWidget(parent) {
  setToolTip(
      "Click: colour. Right click: wider pen; with Ctrl: pen style; with Shift: brush style.");
  setCursor(Qt::PointingHandCursor);
}

void TColorSwatch::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  QPen pen(ToQColor(Swatch.PenColor), Swatch.PenWidth, ToQtPenStyle(Swatch.PenStyle));
  painter.setPen(pen);
  painter.setBrush(QBrush(ToQColor(Swatch.BrushColor), ToQtBrushStyle(Swatch.BrushStyle)));
  const int inset = 1 + Swatch.PenWidth / 2;
  painter.drawRoundedRect(rect().adjusted(inset, inset, -inset, -inset), 5, 5);
}

void TColorSwatch::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) {
    Swatch.RightClick(event->modifiers() & Qt::ControlModifier,
                      event->modifiers() & Qt::ShiftModifier);
  } else {
    const QColor current = ToQColor(Swatch.BrushColor);
    const QColor chosen =
        ChooseColor ? ChooseColor(current) : QColorDialog::getColor(current, this, "Colour");
    if (!chosen.isValid()) return;
    Swatch.BrushColor = ToTColor(chosen);
  }
  update();
  emit Changed();
}

}  // namespace sarvanta
