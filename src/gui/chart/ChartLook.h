// The summary swatch's colours and styles in Qt's terms (colours are stored with red in the
// lowest byte, as the summary chart's colour rules count them).
#pragma once

#include "task/SeriesColors.h"

#include <QColor>
#include <Qt>

namespace sarvanta {

inline QColor ToQColor(TColor color) {
  return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>((color >> 16) & 0xFF));
}

inline TColor ToTColor(const QColor& color) {
  return static_cast<TColor>(color.red()) | static_cast<TColor>(color.green()) << 8 |
         static_cast<TColor>(color.blue()) << 16;
}

inline Qt::PenStyle ToQtPenStyle(TPenStyle style) {
  switch (style) {
    case TPenStyle::Dash:
      return Qt::DashLine;
    case TPenStyle::Dot:
      return Qt::DotLine;
    case TPenStyle::DashDot:
      return Qt::DashDotLine;
    case TPenStyle::DashDotDot:
      return Qt::DashDotDotLine;
    case TPenStyle::Clear:
      return Qt::NoPen;
    default:  // solid and inside frame
      return Qt::SolidLine;
  }
}

inline Qt::BrushStyle ToQtBrushStyle(TBrushStyle style) {
  switch (style) {
    case TBrushStyle::Clear:
      return Qt::NoBrush;
    case TBrushStyle::Horizontal:
      return Qt::HorPattern;
    case TBrushStyle::Vertical:
      return Qt::VerPattern;
    case TBrushStyle::FDiagonal:
      return Qt::FDiagPattern;
    case TBrushStyle::BDiagonal:
      return Qt::BDiagPattern;
    case TBrushStyle::Cross:
      return Qt::CrossPattern;
    case TBrushStyle::DiagCross:
      return Qt::DiagCrossPattern;
    default:
      return Qt::SolidPattern;
  }
}

}  // namespace sarvanta
