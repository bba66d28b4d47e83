// The function window ("Function"): plots one real function of one real variable over an
// interval, or its numeric first or second derivative, for the property dialogs (a motor
// unit's or a muscle's force over time, a polynomial over an angle). It knows nothing of what
// it plots: the caller passes the function.
//
// One instance lives for the whole program and is shown modally. It keeps the function only
// while it is shown; the caller keeps what the function reads alive until ShowFunction returns.
// User-interface thread only.
#pragma once

#include "editors/FunctionWindow.h"

namespace sarvanta {

class TFunctionGraphic : public TFunctionWindow {
  Q_OBJECT

 public:
  explicit TFunctionGraphic(QWidget* parent = nullptr);

  // SetFunction, then shows the window modally; returns when it is closed.
  void ShowFunction(const QString& title, const QString& xName, const QString& xUnit,
                    const QString& yName, const QString& yUnit, long double minimum,
                    long double maximum, long double step, TRealFunction function);
  // Everything ShowFunction does before showing: stores the range, the function and the texts,
  // titles the series "<x name>[<x unit>]" and the chart with `title`, and plots the function.
  void SetFunction(const QString& title, const QString& xName, const QString& xUnit,
                   const QString& yName, const QString& yUnit, long double minimum,
                   long double maximum, long double step, TRealFunction function);

  // The boxes are read and the function, or its derivative, plotted again.
  void RangeExit() override;
  void bbDerivativeClick() override;
  void bbSecondClick() override;
  // "<x name>=<x> <x unit>" and "<y name>=<y> <y unit>".
  void cFunctionMouseMove(double x, double y) override;

 private:
  void PlotShown(TDerivative derivative);

  TRealFunction function_;
  QString xName_, xUnit_, yName_, yUnit_;
};

}  // namespace sarvanta
