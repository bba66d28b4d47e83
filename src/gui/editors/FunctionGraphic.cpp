#include "editors/FunctionGraphic.h"

#include "chart/Chart.h"
#include "chart/Series.h"

namespace sarvanta {

TFunctionGraphic::TFunctionGraphic(QWidget* parent) : TFunctionWindow(parent, {"X", "Y", ""}) {
  setObjectName("FunctionGraphic");
  setWindowTitle("Function");
  bbOK->setDefault(true);
  StatusBar->setSizeGripEnabled(true);
  Arrange(nullptr, nullptr, {});
  resize(720, 440);
}

void TFunctionGraphic::ShowFunction(const QString& title, const QString& xName,
                                    const QString& xUnit, const QString& yName,
                                    const QString& yUnit, long double minimum, long double maximum,
                                    long double step, TRealFunction function) {
  SetFunction(title, xName, xUnit, yName, yUnit, minimum, maximum, step, std::move(function));
  exec();
  // The function reads objects of the caller, which may be gone after this call.
  function_ = nullptr;
}

void TFunctionGraphic::SetFunction(const QString& title, const QString& xName, const QString& xUnit,
                                   const QString& yName, const QString& yUnit, long double minimum,
                                   long double maximum, long double step, TRealFunction function) {
  range_.SetMin(minimum);
  range_.SetMax(maximum);
  range_.SetStep(step);
  function_ = std::move(function);
  xName_ = xName;
  xUnit_ = xUnit;
  yName_ = yName;
  yUnit_ = yUnit;
  series_->SetTitle(xName + "[" + xUnit + "]");
  series_->Clear();
  PlotShown(TDerivative::None);
  cFunction->SetTitle(title);
}

void TFunctionGraphic::PlotShown(TDerivative derivative) {
  if (function_) Plot(function_, derivative);
}

void TFunctionGraphic::RangeExit() {
  if (ReadRange()) PlotShown(TDerivative::None);
}

void TFunctionGraphic::bbDerivativeClick() {
  if (ReadRange()) PlotShown(TDerivative::First);
}

void TFunctionGraphic::bbSecondClick() {
  if (ReadRange()) PlotShown(TDerivative::Second);
}

void TFunctionGraphic::cFunctionMouseMove(double x, double y) {
  StatusPanels[0]->setText(xName_ + "=" + ReadOut(x, 6) + " " + xUnit_);
  StatusPanels[1]->setText(yName_ + "=" + ReadOut(y, 3) + " " + yUnit_);
}

}  // namespace sarvanta
